#include "print_qt/pdf_listing.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "print_qt/listing_painter.h"

namespace lumera {
namespace {

constexpr int kPdfResolution = 600;  // dots per inch of the page units
constexpr qreal kPdfMarginMm = 10;

}  // namespace

std::string_view RenderListingPdf(const std::vector<ListingPage>& pages,
                                  QByteArray& pdf) {
  pdf.clear();
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  std::string_view warning;
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
        QPageLayout::Millimeter));
    PainterListingDevice device(writer);
    warning = PrintPages(pages, device, kPaperRowPitch);
  }
  buffer.close();
  return warning;
}

}  // namespace lumera
