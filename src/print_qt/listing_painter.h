// Draws a listing's pages with a QPainter, so that paper (QPrinter) and PDF
// (QPdfWriter) print the same pages. The page's frame of 2300 x 3290 units
// is scaled, keeping its proportions, to fill the device's printable area
// from its top-left corner; rows take the paper pitch (kPaperRowPitch).
#pragma once

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>

#include "core/print/printout.h"

namespace lumera {

// The listing's font: "Arial Narrow", or its metric twin "Liberation Sans
// Narrow" where it is missing, sized to the paper's row pitch, in page
// units.
QFont ListingFont();

class PainterListingDevice : public ListingDevice {
 public:
  explicit PainterListingDevice(QPagedPaintDevice& device) : device_(device) {}
  ~PainterListingDevice() override;

  bool StartDoc() override;
  bool StartPage() override;
  void DrawLine(const PageLine& line) override;
  void DrawText(const PageText& text) override;
  bool EndPage() override;
  bool EndDoc() override;

 private:
  QPagedPaintDevice& device_;
  QPainter painter_;
  int pages_started_ = 0;
  qreal ascent_ = 0;
};

}  // namespace lumera
