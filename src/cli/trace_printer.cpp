#include "cli/trace_printer.h"

namespace lumera {

void TracePrinter::Record(const TraceRecord& record) {
  FormatTraceLine(record, line_);
  out_.write(line_.text.data(), static_cast<std::streamsize>(line_.size));
  out_.put('\n');
  out_.flush();
}

}  // namespace lumera
