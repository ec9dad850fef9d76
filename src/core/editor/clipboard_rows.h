// Grid rows on the clipboard: our own payload with the exact bytes and
// comments, and plain text, one row a line: the HEX text, a tab and the
// comment. Both read back here; anything that does not read is refused
// whole.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/program_types.h"

namespace lumera {

inline constexpr std::string_view kRowsMimeType = "application/x-lumera-rows";

struct ClipboardRow {
  Command command;
  std::string comment;  // UTF-8, one line; empty for none
  friend bool operator==(const ClipboardRow&, const ClipboardRow&) = default;
};

// The payload of kRowsMimeType.
std::string RowsToPayload(std::span<const ClipboardRow> rows);
// The rows, or false (rows untouched) for a payload that is not ours or is
// damaged.
bool RowsFromPayload(std::string_view payload, std::vector<ClipboardRow>& rows);

// "01,01,05\tkomentarz\n" per row.
std::string RowsToText(std::span<const ClipboardRow> rows);

struct TextRowsResult {
  std::vector<ClipboardRow> rows;  // empty when refused
  int bad_line = 0;                // 1-based; 0 when every line parsed
  std::string message;             // what the status line says on a refusal
};

// Every line must be a grid HEX text ("XX,XX,XX" of a command the catalogue
// has), optionally followed by a tab and a comment the comment cell would
// take. Line ends may be LF or CR LF; a last line end is optional. The first
// line that does not parse refuses the whole text.
TextRowsResult RowsFromText(std::string_view text);

// The status line after a paste of `offered` rows of which `pasted` fitted
// and which renumbered `fixed_references` references; with those counted,
// the reason rows were left out gives way, so that the line stays short.
std::string PasteStatusText(int pasted, int offered, int fixed_references = 0);

}  // namespace lumera
