#include "core/editor/clipboard_rows.h"

#include <cstdint>
#include <optional>

#include "core/editor/cell_input.h"
#include "core/editor/reference_renumbering.h"
#include "core/model/command_catalogue.h"
#include "core/model/command_hex.h"

namespace lumera {
namespace {

// "LRW" and a version byte, then a row count (2 bytes, little end first)
// and per row the three bytes, the comment length (2 bytes) and the comment.
constexpr std::string_view kPayloadMagic = "LRW\x01";
constexpr std::size_t kHexTextLength = 8;  // "XX,XX,XX"

void PutU16(std::string& out, std::size_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

std::optional<std::size_t> TakeU16(std::string_view& in) {
  if (in.size() < 2) return std::nullopt;
  const std::size_t value =
      static_cast<std::uint8_t>(in[0]) |
      (static_cast<std::size_t>(static_cast<std::uint8_t>(in[1])) << 8);
  in.remove_prefix(2);
  return value;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') ||
         (c >= 'a' && c <= 'f');
}

// The grid's HEX text, and nothing looser: ParseCommandHex takes any
// character as a digit.
bool IsHexText(std::string_view text) {
  if (text.size() != kHexTextLength) return false;
  for (std::size_t i = 0; i < kHexTextLength; ++i) {
    const bool separator = i == 2 || i == 5;
    if (separator ? text[i] != ',' : !IsHexDigit(text[i])) return false;
  }
  return true;
}

// A row the grid can show: a known code and a comment its cell would take.
bool ShowableRow(const ClipboardRow& row) {
  return FindCommandDef(row.command.code).has_value() &&
         CheckCommentText(row.comment) == CommentCheck::kAccepted;
}

TextRowsResult Refuse(int line, std::string_view reason) {
  TextRowsResult result;
  result.bad_line = line;
  result.message = "Nie wklejono: wiersz " + std::to_string(line) +
                   " schowka " + std::string(reason) + ".";
  return result;
}

}  // namespace

std::string RowsToPayload(std::span<const ClipboardRow> rows) {
  std::string out(kPayloadMagic);
  PutU16(out, rows.size());
  for (const ClipboardRow& row : rows) {
    out += static_cast<char>(row.command.code);
    out += static_cast<char>(row.command.param1);
    out += static_cast<char>(row.command.param2);
    PutU16(out, row.comment.size());
    out += row.comment;
  }
  return out;
}

bool RowsFromPayload(std::string_view payload,
                     std::vector<ClipboardRow>& rows) {
  if (payload.substr(0, kPayloadMagic.size()) != kPayloadMagic) return false;
  payload.remove_prefix(kPayloadMagic.size());
  const std::optional<std::size_t> count = TakeU16(payload);
  if (!count || *count > static_cast<std::size_t>(kCommandsPerSegment)) {
    return false;
  }
  std::vector<ClipboardRow> read;
  read.reserve(*count);
  for (std::size_t n = 0; n < *count; ++n) {
    if (payload.size() < kCommandSize) return false;
    ClipboardRow row;
    row.command = Command{static_cast<std::uint8_t>(payload[0]),
                          static_cast<std::uint8_t>(payload[1]),
                          static_cast<std::uint8_t>(payload[2])};
    payload.remove_prefix(kCommandSize);
    const std::optional<std::size_t> length = TakeU16(payload);
    if (!length || payload.size() < *length) return false;
    row.comment = std::string(payload.substr(0, *length));
    payload.remove_prefix(*length);
    if (!ShowableRow(row)) return false;
    read.push_back(std::move(row));
  }
  if (!payload.empty()) return false;
  rows = std::move(read);
  return true;
}

std::string RowsToText(std::span<const ClipboardRow> rows) {
  std::string text;
  for (const ClipboardRow& row : rows) {
    text += FormatCommandHex(row.command);
    text += '\t';
    text += row.comment;
    text += '\n';
  }
  return text;
}

TextRowsResult RowsFromText(std::string_view text) {
  TextRowsResult result;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    const std::string_view hex = line.substr(0, tab);
    if (!IsHexText(hex)) {
      return Refuse(number, "nie zaczyna się tekstem HEX (XX,XX,XX)");
    }
    ClipboardRow row;
    row.command = ParseCommandHex(hex);
    if (!FindCommandDef(row.command.code)) {
      return Refuse(number, "ma nieznany kod rozkazu");
    }
    if (tab != std::string_view::npos) {
      row.comment = std::string(line.substr(tab + 1));
    }
    if (CheckCommentText(row.comment) != CommentCheck::kAccepted) {
      return Refuse(number, "ma komentarz, którego nie można zapisać");
    }
    result.rows.push_back(std::move(row));
  }
  return result;
}

std::string PasteStatusText(int pasted, int offered, int fixed_references) {
  std::string text = "Wklejono wierszy: " + std::to_string(pasted);
  if (pasted < offered) {
    text += " z " + std::to_string(offered);
    if (fixed_references == 0) {
      text += " (segment mieści najwyżej 255 rozkazów)";
    }
  }
  text += ".";
  if (fixed_references > 0) {
    // Appended piecewise: GCC 12 takes " " + text for an overlapping copy.
    text += ' ';
    text += ReferenceFixStatusText(fixed_references);
  }
  return text;
}

}  // namespace lumera
