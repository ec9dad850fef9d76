#include "app/print/print_listing.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

#include "app/print/print_service_answer.h"
#include "core/print/printout.h"
#include "core/session/workspace.h"
#include "print_qt/listing_painter.h"

namespace lumera {
namespace {

// The printer the dialog chose is asked again as the document starts: it may
// have been stopped or removed since, and the print service would then take
// the pages without a word and never print them.
bool PrinterTakesJobs(const QPrinter& printer) {
  if (!printer.isValid()) return false;
  if (printer.outputFormat() != QPrinter::NativeFormat) return true;
  const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
  return !info.isNull() &&
         (info.state() == QPrinter::Idle || info.state() == QPrinter::Active);
}

// A painter always puts at least one page on its device; a printout without
// pages must not send the printer a blank sheet, so its document is not
// opened on the device at all.
class PrinterListingDevice : public PainterListingDevice {
 public:
  PrinterListingDevice(QPrinter& printer, bool has_pages)
      : PainterListingDevice(printer),
        printer_(printer),
        has_pages_(has_pages) {}

  bool StartDoc() override {
    if (!PrinterTakesJobs(printer_)) return false;
    return !has_pages_ || PainterListingDevice::StartDoc();
  }
  bool EndDoc() override {
    if (!has_pages_) return true;
    if (!PainterListingDevice::EndDoc()) return false;
    return printer_.outputFormat() != QPrinter::NativeFormat ||
           PrintServiceTookLastJob();
  }

 private:
  QPrinter& printer_;
  bool has_pages_;
};

}  // namespace

std::vector<ListingPage> ListingPagesOf(const Workspace& workspace,
                                        PrintScope scope) {
  const ShellSettings& settings = workspace.settings;
  ListingOptions options;
  options.entries_only = settings.EntriesOnly();
  options.controller_address = settings.controller_address;
  options.program_file_name = settings.program_file_name;
  const ProgramStore& store = workspace.store;
  const CommentLookup comments = [&store](int segment, int command) {
    const std::string* text = store.Comment(segment, command);
    return text ? std::string_view(*text) : std::string_view{};
  };
  if (scope == PrintScope::kAllSegments) {
    return ListProgram(store.image(), comments, options);
  }
  return ListSegment(store.image(), comments, settings.current_segment,
                     options);
}

std::string_view PrintListingOn(QPrinter& printer, const Workspace& workspace,
                                PrintScope scope) {
  const std::vector<ListingPage> pages = ListingPagesOf(workspace, scope);
  PrinterListingDevice device(printer, !pages.empty());
  return PrintPages(pages, device, kPaperRowPitch);
}

}  // namespace lumera
