#include "core/editor/editor_view.h"

#include <string_view>

namespace lumera {
namespace {

std::string Caption(std::string_view word, int segment) {
  std::string text(word);
  text += ':';
  text += std::to_string(segment);
  return text;
}

}  // namespace

SegmentCaptions SegmentCaptionsFor(int segment) {
  return SegmentCaptions{Caption("Pobierz", segment),
                         Caption("Wyślij", segment),
                         Caption("Drukuj", segment)};
}

}  // namespace lumera
