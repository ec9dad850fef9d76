#include "print_qt/listing_painter.h"

#include <QFontMetricsF>
#include <QPen>
#include <QString>
#include <algorithm>

namespace lumera {
namespace {

// Three quarters of the row pitch: a text's ascent and descent (about 1.12
// of its size in this face) stay clear of the rules above and below it.
constexpr int kFontPixelHeight = kPaperRowPitch * 3 / 4;
constexpr qreal kPenWidth = 2;

}  // namespace

QFont ListingFont() {
  QFont font;
  font.setFamilies(
      {QString::fromUtf8(kListingFontFace.data(), kListingFontFace.size()),
       QStringLiteral("Liberation Sans Narrow")});
  font.setPixelSize(kFontPixelHeight);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  // Outlines in the document, so the page scales without hinting artefacts.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferOutline);
  return font;
}

PainterListingDevice::~PainterListingDevice() {
  // An abandoned printout still hands what it drew to the device.
  if (painter_.isActive()) painter_.end();
}

bool PainterListingDevice::StartDoc() {
  if (!painter_.begin(&device_)) return false;
  // The frame's lines are stroked on both sides of their coordinates: the
  // whole stroke stays inside the printable area.
  const qreal scale = std::min(
      device_.width() / static_cast<qreal>(kPageFrameRight + kPenWidth),
      device_.height() / static_cast<qreal>(kPageFrameBottom + kPenWidth));
  painter_.scale(scale, scale);
  painter_.translate(kPenWidth / 2, kPenWidth / 2);
  QPen pen(Qt::black, kPenWidth);
  pen.setCapStyle(Qt::SquareCap);
  painter_.setPen(pen);
  const QFont font = ListingFont();
  painter_.setFont(font);
  ascent_ = QFontMetricsF(font, &device_).ascent();
  // A long comment ends at the frame instead of running off the page.
  painter_.setClipRect(QRectF(0, 0, kPageFrameRight, kPageFrameBottom));
  painter_.setClipping(false);
  return true;
}

bool PainterListingDevice::StartPage() {
  // The painter opened the first page with the document.
  if (pages_started_++ == 0) return true;
  return device_.newPage();
}

void PainterListingDevice::DrawLine(const PageLine& line) {
  painter_.setClipping(false);
  painter_.drawLine(QLineF(line.x1, line.y1, line.x2, line.y2));
}

void PainterListingDevice::DrawText(const PageText& text) {
  // The page gives the text's top-left corner; the painter wants its
  // baseline.
  painter_.setClipping(true);
  painter_.drawText(QPointF(text.x, text.y + ascent_),
                    QString::fromUtf8(text.text.data(), static_cast<qsizetype>(
                                                            text.text.size())));
}

bool PainterListingDevice::EndPage() { return painter_.isActive(); }

bool PainterListingDevice::EndDoc() { return painter_.end(); }

}  // namespace lumera
