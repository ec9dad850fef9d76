#include "sample_program.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace lumera {
namespace {

struct SampleRow {
  int segment;  // 1..10
  int command;  // 1..255
  std::uint8_t code, param1, param2;
  // A leading digit picks the row's colour in the grid.
  std::string_view comment;
};

// Segment 1 calls the procedures of segments 2 and 3 ("Wejdź" follows a
// call); code 3 sets the outputs row of the editor's output buttons.
constexpr std::array kRows = {
    SampleRow{1, 1, 3, 0x00, 5, "0 Start: wszystkie wyjścia wyłączone"},
    SampleRow{1, 2, 1, 1, 10, "1 Pompa (wyjście 1) włączona"},
    SampleRow{1, 3, 27, 1, 2, "6 Procedura migania, segment 2 (Wejdź)"},
    SampleRow{1, 4, 3, 0x05, 20, "4 Wyjścia 1 i 3 włączone (stan wyjść)"},
    SampleRow{1, 5, 15, 0, 30, "Przerwa"},
    SampleRow{1, 6, 27, 1, 3, "6 Procedura rozjaśniania, segment 3 (Wejdź)"},
    SampleRow{1, 7, 2, 1, 5, "7 Pompa wyłączona"},
    SampleRow{1, 8, 22, 1, 0, "9 Od początku: skok do komendy 1"},
    SampleRow{2, 1, 3, 0x01, 5, "2 Miganie: wyjście 1"},
    SampleRow{2, 2, 8, 1, 5, "Obrót w lewo"},
    SampleRow{2, 3, 8, 1, 5, ""},
    SampleRow{2, 4, 8, 1, 5, ""},
    SampleRow{2, 5, 28, 0, 0, "3 Powrót do segmentu 1"},
    SampleRow{3, 1, 11, 4, 40, "5 Rozpal wyjście 4"},
    SampleRow{3, 2, 10, 4, 60, "8 Pełna jasność"},
    SampleRow{3, 3, 12, 4, 40, "Wygaś wyjście 4"},
    SampleRow{3, 4, 28, 0, 0, "3 Powrót do segmentu 1"},
};

}  // namespace

void FillSampleProgram(ProgramStore& store) {
  for (const SampleRow& row : kRows) {
    store.SetCommand(row.segment - 1, row.command - 1,
                     Command{row.code, row.param1, row.param2});
    if (!row.comment.empty()) {
      store.SetComment(row.segment - 1, row.command - 1, row.comment);
    }
  }
}

}  // namespace lumera
