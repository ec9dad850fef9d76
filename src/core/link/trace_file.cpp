#include "core/link/trace_file.h"

namespace lumera {
namespace {

std::FILE* OpenForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"w");
#else
  return std::fopen(path.c_str(), "w");
#endif
}

}  // namespace

TraceFile::TraceFile(const std::filesystem::path& path)
    : file_(OpenForWriting(path)) {}

TraceFile::~TraceFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void TraceFile::Record(const TraceRecord& record) {
  if (file_ == nullptr) return;
  FormatTraceLine(record, line_);
  line_.text[line_.size] = '\n';
  std::fwrite(line_.text.data(), 1, line_.size + 1, file_);
  std::fflush(file_);
}

}  // namespace lumera
