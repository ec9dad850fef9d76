#include "cli/pdf_output.h"

#include <QByteArray>
#include <QGuiApplication>
#include <memory>
#include <span>

#include "core/model/atomic_file.h"
#include "core/model/program_file.h"
#include "print_qt/pdf_listing.h"

namespace lumera {

bool PdfOutputAvailable() { return true; }

bool WritePdfListing(const std::vector<ListingPage>& pages,
                     const std::filesystem::path& path, std::string& error) {
  // The fonts need a GUI application; a shell may have no display, so the
  // offscreen platform serves unless the user chose another. Not on
  // Windows: there the native platform always serves, and only it knows the
  // system's fonts (offscreen reads a fonts folder of Qt's own, and the PDF
  // would have no text).
  int argc = 1;
  char name[] = "lumera-cli";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  if (QGuiApplication::instance() == nullptr) {
#ifndef _WIN32
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  QByteArray pdf;
  const std::string_view warning = RenderListingPdf(pages, pdf);
  if (!warning.empty()) {
    error = std::string(warning);
    return false;
  }
  const std::span<const std::uint8_t> bytes(
      reinterpret_cast<const std::uint8_t*>(pdf.constData()),
      static_cast<std::size_t>(pdf.size()));
  FileWriteError failure;
  if (WriteFileAtomically(path, bytes, &failure) != AtomicWriteResult::kOk) {
    error = std::string(kProgramSaveFailedText) + "\n" +
            FileWriteErrorText(failure);
    return false;
  }
  return true;
}

}  // namespace lumera
