#include "core/print/listing.h"

#include <cstdio>

#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

// The printout tells a listed segment from an empty one by its first code
// alone: 64 and above (0xFF in particular) is not listed, while 45..63 gives
// a page with nothing but its header.
constexpr std::uint8_t kFirstUnlistedCode = 64;

bool BeginsWithDigit(std::string_view text) {
  return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

void FillParam(const CommandDef& def, int number, std::uint8_t value,
               std::string& label, std::string& text) {
  const ParamDef& param = def.Param(number);
  if (param.kind == ParamKind::kNone) {
    label.assign(1, ' ');
    text.assign(1, ' ');
    return;
  }
  label.assign(param.label);
  text.assign(1, ':');
  text.append(FormatParam(def, number, value, ParamContext::kGridRow));
}

ListingRow CommandRow(const CommandDef& def, const Command& command, int number,
                      std::string_view comment) {
  ListingRow row;
  row.kind = ListingRowKind::kCommand;
  row.command_number = number;
  row.name = std::string(def.name);
  FillParam(def, 1, command.param1, row.label1, row.value1);
  FillParam(def, 2, command.param2, row.label2, row.value2);
  row.comment = comment.empty() ? std::string(" ") : std::string(comment);
  char number_text[16];
  std::snprintf(number_text, sizeof number_text, "%03i: ", number);
  // Appended piece by piece: one long chain of operator+ trips a false
  // overlap warning of GCC 12 at -O3.
  std::string& text = row.text;
  text.append(number_text)
      .append(row.name)
      .append(" ")
      .append(row.label1)
      .append(row.value1)
      .append("   ")
      .append(row.label2)
      .append(row.value2)
      .append(" ")
      .append(row.comment);
  return row;
}

ListingRow HeadingRow(int number, std::string_view comment) {
  ListingRow row;
  row.kind = ListingRowKind::kHeading;
  row.command_number = number;
  row.text = std::string(comment.substr(1));
  row.comment = row.text;
  row.rule_above = true;
  row.rule_below = true;
  return row;
}

Command CommandAt(const ProgramImage& image, int segment, int index) {
  const std::size_t offset = CommandOffset(segment, index);
  return Command{image[offset], image[offset + 1], image[offset + 2]};
}

}  // namespace

std::string ListingHeader(int segment, const ListingOptions& options) {
  char text[64];
  std::snprintf(text, sizeof text,
                "PROGRAM numer:%i    Sterownik:%i    PLIK: ", segment,
                options.controller_address);
  return std::string(text) + options.program_file_name;
}

std::vector<ListingPage> ListSegment(const ProgramImage& image,
                                     const CommentLookup& comments, int segment,
                                     const ListingOptions& options) {
  std::vector<ListingPage> pages;
  if (segment < 1 || segment > kSegmentCount) return pages;
  const int index = segment - 1;
  if (CommandAt(image, index, 0).code >= kFirstUnlistedCode) return pages;

  bool page_open = false;
  int row = 0;
  for (int k = 0; k < kCommandsPerSegment; ++k) {
    if (row == 0 && !page_open) {
      ListingPage page;
      page.segment = segment;
      page.header = ListingHeader(segment, options);
      pages.push_back(std::move(page));
      page_open = true;
    }
    const Command command = CommandAt(image, index, k);
    const CommandDef* def = CommandDefForCode(command.code);
    if (def == nullptr) break;
    std::string_view comment =
        comments ? comments(index, k) : std::string_view{};
    const bool listed =
        !options.entries_only || (!comment.empty() && comment[0] == '9');
    if (listed) {
      std::vector<ListingRow>& rows = pages.back().rows;
      if (BeginsWithDigit(comment)) {
        rows.push_back(HeadingRow(k + 1, comment));
        ++row;
        comment = {};
      }
      rows.push_back(CommandRow(*def, command, k + 1, comment));
      ++row;
    }
    if (row >= kListingRowsPerPage) {
      page_open = false;
      row = 0;
    }
  }
  if (page_open) pages.back().closing_rule = true;
  return pages;
}

std::vector<ListingPage> ListProgram(const ProgramImage& image,
                                     const CommentLookup& comments,
                                     const ListingOptions& options) {
  std::vector<ListingPage> pages;
  for (int segment = 1; segment <= kSegmentCount; ++segment) {
    for (ListingPage& page : ListSegment(image, comments, segment, options)) {
      pages.push_back(std::move(page));
    }
  }
  return pages;
}

}  // namespace lumera
