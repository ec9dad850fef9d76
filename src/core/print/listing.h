// The program listing as data: pages of rows with their texts and rules,
// independent of any printer. The application draws it on paper; the command
// line prints its texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/program_types.h"

namespace lumera {

inline constexpr int kListingRowsPerPage = 58;

enum class ListingRowKind : std::uint8_t {
  kHeading,  // a comment that begins with a digit, printed above its command
  kCommand,
};

// One row of a page. For a command row the column texts are kept apart as
// well as joined, so a printer may place them in columns of its own.
struct ListingRow {
  ListingRowKind kind = ListingRowKind::kCommand;
  int command_number = 0;  // 1..255, in its segment
  std::string name;
  std::string label1;
  std::string value1;  // ":%d", ":%02Xh", or " " for an unused parameter
  std::string label2;
  std::string value2;
  std::string comment;  // " " when none or shown as the heading above
  std::string text;     // the whole row as printed
  // Headings are ruled above and below; a rule below one row is the rule
  // above the next.
  bool rule_above = false;
  bool rule_below = false;
};

struct ListingPage {
  int segment = 0;  // 1..10
  std::string header;
  std::vector<ListingRow> rows;
  // The last page of a segment is closed by a rule under its last row (at row
  // index rows.size()); a page that filled up is not.
  bool closing_rule = false;
};

struct ListingOptions {
  bool entries_only = false;  // only commands whose comment begins with "9"
  int controller_address = 1;
  std::string program_file_name;
};

// Comment of command index 0..254 of segment index 0..9 (UTF-8); empty when
// the command has none.
using CommentLookup = std::function<std::string_view(int segment, int command)>;

// The pages of one segment (1..10). A segment whose first command code is 64
// or above is not listed at all (no pages).
std::vector<ListingPage> ListSegment(const ProgramImage& image,
                                     const CommentLookup& comments, int segment,
                                     const ListingOptions& options);

// The pages of all ten segments in ascending order.
std::vector<ListingPage> ListProgram(const ProgramImage& image,
                                     const CommentLookup& comments,
                                     const ListingOptions& options);

// The page header "PROGRAM numer:..." for a segment 1..10.
std::string ListingHeader(int segment, const ListingOptions& options);

}  // namespace lumera
