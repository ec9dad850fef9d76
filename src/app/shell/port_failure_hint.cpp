#include "app/shell/port_failure_hint.h"

#include <cerrno>

namespace lumera {

QString PortFailureHint(const PortFailure& failure,
                        std::string_view port_name) {
  QString hint = QString::fromStdString(failure.reason);
  if (hint.isEmpty()) {
    hint = QString::fromUtf8(port_name.data(),
                             static_cast<qsizetype>(port_name.size()));
  }
  if (failure.system_error == EACCES || failure.system_error == EPERM) {
    hint += QStringLiteral(
        "\nSerial devices belong to the dialout group: add your user to it "
        "(sudo usermod -aG dialout $USER) and log in again.");
  }
  return hint;
}

}  // namespace lumera
