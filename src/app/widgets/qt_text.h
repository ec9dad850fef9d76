// The core's texts are UTF-8; Qt's are QString.
#pragma once

#include <QString>
#include <string_view>

namespace lumera {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace lumera
