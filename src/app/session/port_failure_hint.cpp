#include "app/session/port_failure_hint.h"

#include "app/widgets/qt_text.h"

namespace lumera {

QString PortFailureHint(const PortFailure& failure,
                        std::string_view port_name) {
  const std::string description = DescribePortFailure(failure);
  return description.empty() ? ToQString(port_name)
                             : QString::fromStdString(description);
}

}  // namespace lumera
