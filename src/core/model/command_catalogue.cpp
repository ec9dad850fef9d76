#include "core/model/command_catalogue.h"

#include <algorithm>
#include <cstdio>

namespace lumera {
namespace {

constexpr ParamKind kN = ParamKind::kNone;
constexpr ParamKind kD = ParamKind::kDecimal;
constexpr ParamKind kH = ParamKind::kHex;
constexpr ParamKind kS = ParamKind::kSigned;

// Hex parameters carry no range; 0..255 documents the byte they hold.
constexpr std::array<CommandDef, kCatalogueSize> kCatalogue{{
    {1,
     "Włącz wskazane wyjście",
     0,
     {"Wyjście", kD, 1, 4, 1},
     {"Czas", kD, 0, 255, 5}},
    {2,
     "Wyłącz wskazane wyjście",
     1,
     {"Wyjście", kD, 1, 4, 1},
     {"Czas", kD, 0, 255, 5}},
    {3,
     "Ustaw wyjścia na stan",
     2,
     {"Stan", kH, 0, 255, 0},
     {"Czas", kD, 0, 255, 5}},
    {4,
     "Przesuń wyjścia w lewo z wyłączeniem",
     3,
     {"Bity", kD, 1, 3, 1},
     {"Czas", kD, 0, 255, 5}},
    {5,
     "Przesuń wyjścia w prawo z wyłączeniem",
     4,
     {"Bity", kD, 1, 3, 1},
     {"Czas", kD, 0, 255, 5}},
    {6,
     "Przesuń wyjścia w lewo z załączeniem",
     5,
     {"Bity", kD, 1, 3, 1},
     {"Czas", kD, 0, 255, 5}},
    {7,
     "Przesuń wyjścia w prawo z załączeniem",
     6,
     {"Bity", kD, 1, 3, 1},
     {"Czas", kD, 0, 255, 5}},
    {8,
     "Obróć wyjścia w lewo",
     7,
     {"Bity", kD, 1, 3, 1},
     {"Czas", kD, 0, 255, 5}},
    {9,
     "Obróć wyjścia w prawo",
     8,
     {"Bity", kD, 1, 3, 1},
     {"Czas", kD, 0, 255, 5}},
    {10,
     "Ustaw poziom na wyjściu",
     9,
     {"Wyjście", kD, 1, 4, 1},
     {"Poziom", kD, 1, 60, 5}},
    {13,
     "Ustaw poziom na wyjściu w czasie z Rejestru 8",
     10,
     {"Wyjście", kS, -15, 4, 1},
     {"Poziom", kD, 1, 60, 10}},
    {11,
     "Rozpal wyjście w czasie",
     11,
     {"Wyjście", kS, -15, 4, 1},
     {"Czas", kD, 0, 255, 5}},
    {12,
     "Wygaś wyjście w czasie",
     12,
     {"Wyjście", kS, -15, 4, 1},
     {"Czas", kD, 0, 255, 5}},
    {14,
     "Wygaś wszystkie wyjścia",
     13,
     {"       ", kN, 0, 0, 0},
     {"       ", kN, 0, 0, 0}},
    {17,
     "Zapamiętaj stan wyjść w Rejestrze",
     14,
     {"Rejestr", kD, 1, 8, 1},
     {"Czas", kD, 0, 255, 0}},
    {18,
     "Ustaw stan wyjść według Rejestru",
     15,
     {"Rejestr", kD, 1, 8, 1},
     {"Czas", kD, 0, 255, 0}},
    {19,
     "Zapamiętaj poziom wyjścia w Rejestrze",
     16,
     {"Rejestr", kD, 1, 8, 1},
     {"Wyjście", kD, 1, 4, 1}},
    {20,
     "Ustaw poziom wyjścia według Rejestru",
     17,
     {"Rejestr", kD, 1, 8, 1},
     {"Wyjście", kD, 0, 4, 1}},
    {16,
     "Ładuj timer wartością Rejestru",
     18,
     {"Timer", kD, 1, 2, 1},
     {"Rejestr", kD, 1, 8, 1}},
    {21,
     "Skocz do komendy,gdy Timer nie zero",
     19,
     {"Timer", kD, 1, 2, 1},
     {"Rozkaz", kN, 0, 0, 0}},
    {22,
     "Skocz do komendy",
     20,
     {"Rozkaz", kD, 1, 255, 1},
     {"Czas", kD, 0, 255, 0}},
    {23,
     "Przeskocz komendy (+/-)",
     21,
     {"Przesunięcie", kS, -255, 255, 1},
     {"Czas", kD, 0, 255, 0}},
    {24,
     "Skocz do komendy w programie",
     22,
     {"Rozkaz", kD, 1, 255, 1},
     {"Program", kD, 1, 10, 1}},
    {25,
     "Skocz do komendy,gdy Rejestr nie zero",
     23,
     {"Komenda", kD, 1, 255, 1},
     {"Rejestr", kD, 1, 8, 1}},
    {26,
     "-1 i skocz do komendy,gdy Rejestr nie zero",
     24,
     {"Komenda", kD, 1, 255, 1},
     {"Rejestr", kD, 1, 8, 1}},
    {27,
     "Wołaj procedurę: segment/komenda",
     25,
     {"Komenda", kD, 1, 255, 1},
     {"Segment", kD, 1, 10, 1}},
    {28,
     "Powrot z procedury",
     26,
     {"    ", kN, 0, 0, 0},
     {"    ", kN, 0, 0, 0}},
    {29,
     "Wyślij do sterownika: SKOCZ segment/komenda",
     27,
     {"Komenda", kD, 1, 255, 1},
     {"Segment", kD, 1, 10, 1}},
    {30,
     "Wyślij do sterownika: WYWOŁAJ segment/komenda",
     28,
     {"Komenda", kD, 1, 255, 1},
     {"Segment", kD, 1, 10, 1}},
    {31,
     "Selekcja sterowników",
     29,
     {"Wynik", kH, 0, 255, 1},
     {"Maska", kH, 0, 255, 1}},
    {32, "Selekcja Tasku", 30, {"Task", kD, 1, 8, 1}, {"Czas", kD, 0, 255, 0}},
    {33,
     "Uruchom wskazany Task od segment/komenda",
     31,
     {"Komenda", kD, 1, 255, 1},
     {"Segment", kD, 1, 10, 1}},
    {34,
     "Zakończ Task i ustaw linię",
     32,
     {"Task", kD, 1, 8, 1},
     {"Wyjście", kD, 0, 255, 1}},
    {35,
     "Wpisz wartość do Rejestru dla Tasku",
     33,
     {"Rejestr", kD, 1, 8, 1},
     {"Wartość", kD, 0, 255, 1}},
    {36,
     "Dodaj (+/-) wartość do Rejestru dla Tasku",
     34,
     {"Rejestr", kD, 1, 8, 1},
     {"Wartość", kD, -127, 127, 1}},
    {43,
     "Wpisz Rejestr do Rejestru",
     35,
     {"Z rejestru", kD, 1, 8, 1},
     {"Do rejestru", kD, 1, 8, 1}},
    {37,
     "Ustaw mnożnik czasu dla Tasku",
     36,
     {"Mnożnik", kD, 1, 255, 1},
     {"       ", kN, 0, 0, 0}},
    {38,
     "Modyfikuj mnożnik czasu (+/-) dla Tasku",
     37,
     {"Zmiana", kS, -127, 127, 1},
     {"      ", kN, 0, 0, 0}},
    {15, "Nic nie rób", 38, {"      ", kN, 0, 0, 0}, {"Czas", kD, 0, 255, 1}},
    {0,
     "Zatrzymaj program - STOP",
     39,
     {"       ", kN, 0, 0, 0},
     {"       ", kN, 0, 0, 0}},
    {39,
     "ZigBee: ustaw Adres",
     40,
     {"Starszy", kH, 0, 255, 0},
     {"Młodszy", kH, 0, 255, 1}},
    {40,
     "ZigBee: ustaw Maskę",
     41,
     {"Starszy", kH, 0, 255, 255},
     {"Młodszy", kH, 0, 255, 255}},
    {41,
     "ZigBee: ustaw Wynik",
     42,
     {"Starszy", kH, 0, 255, 255},
     {"Młodszy", kH, 0, 255, 255}},
    {42,
     "Czekaj czas od Numeru Sterownika",
     43,
     {"       ", kN, 0, 0, 0},
     {"       ", kN, 0, 0, 0}},
    {44,
     "Czekaj na wskazaną godzinę",
     44,
     {"Godzina", kD, 0, 23, 12},
     {"Minuty", kD, 0, 59, 0}},
}};

// Table-wide facts the rest of the program relies on.
constexpr bool IconsFollowPositions() {
  for (int i = 0; i < kCatalogueSize; ++i) {
    if (kCatalogue[i].icon_index != i) return false;
  }
  return true;
}
static_assert(IconsFollowPositions());

}  // namespace

const std::array<CommandDef, kCatalogueSize>& CommandCatalogue() {
  return kCatalogue;
}

std::optional<int> FindCommandDef(std::uint8_t code) {
  for (int i = 0; i < kCatalogueSize; ++i) {
    if (kCatalogue[i].code == code) return i;
  }
  return std::nullopt;
}

const CommandDef* CommandDefAt(int index) {
  if (index < 0 || index >= kCatalogueSize) return nullptr;
  return &kCatalogue[index];
}

const CommandDef* CommandDefForCode(std::uint8_t code) {
  const std::optional<int> index = FindCommandDef(code);
  return index ? &kCatalogue[*index] : nullptr;
}

std::string FormatParam(const CommandDef& def, int number, std::uint8_t value,
                        ParamContext context) {
  char text[8];
  switch (def.Param(number).kind) {
    case ParamKind::kNone:
      return context == ParamContext::kGridRow ? "   " : "    ";
    case ParamKind::kDecimal:
      std::snprintf(text, sizeof text, "%i", static_cast<int>(value));
      return text;
    case ParamKind::kHex:
      std::snprintf(text, sizeof text, "%02Xh", static_cast<unsigned>(value));
      return text;
    case ParamKind::kSigned:
      std::snprintf(text, sizeof text, "%d",
                    static_cast<int>(static_cast<std::int8_t>(value)));
      return text;
  }
  return {};
}

std::uint8_t ClampParam(const CommandDef& def, int number, std::int64_t value) {
  const ParamDef& param = def.Param(number);
  switch (param.kind) {
    case ParamKind::kNone:
      return 0;
    case ParamKind::kHex:
      break;
    case ParamKind::kSigned:
      value = std::clamp<std::int64_t>(value, -127, 127);
      [[fallthrough]];
    case ParamKind::kDecimal:
      // Raise to min first, then lower to max, so a table whose min exceeds
      // its max still gives max, as the bounding rule reads.
      if (value < param.min) value = param.min;
      if (value > param.max) value = param.max;
      break;
  }
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) & 0xFFu);
}

}  // namespace lumera
