// lumera-cli print: the PDF it writes, seen through poppler's tools, against
// the core's listing rows and a reference picture of its first page.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/model/program_file.h"
#include "core/print/listing.h"
#include "core/workspace.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = LUMERA_PRINT_DATA_DIR;
constexpr int kReferenceDpi = 50;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (fs::temp_directory_path() / "lumera-print-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct Ran {
  int exit_code = -1;
  std::string err;
};

// Runs `program` with `args` in `folder`; standard output is dropped.
Ran RunIn(const TempFolder& folder, std::string program,
          std::vector<std::string> args) {
  const fs::path err_file = folder.path() / ".err";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.path().c_str()) != 0) _exit(126);
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    if (!freopen(err_file.c_str(), "w", stderr)) _exit(126);
    setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    std::vector<char*> argv{program.data()};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  Ran run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(err_file)};
  fs::remove(err_file);
  return run;
}

Ran Cli(const TempFolder& folder, std::vector<std::string> args) {
  return RunIn(folder, LUMERA_CLI_PATH, std::move(args));
}

bool HavePoppler() {
  return std::system("pdftotext -v >/dev/null 2>&1") == 0 &&
         std::system("pdftoppm -v >/dev/null 2>&1") == 0;
}

// Runs of blanks as one, none at the ends: what pdftotext keeps of a row.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The pages' lines as pdftotext reads them in drawing order.
std::vector<std::vector<std::string>> PdfPages(const TempFolder& folder,
                                               const std::string& pdf) {
  Ran run = RunIn(folder, "pdftotext", {"-raw", "-enc", "UTF-8", pdf, "t.txt"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  std::vector<std::vector<std::string>> pages;
  std::istringstream text(ReadAll(folder.path() / "t.txt"));
  for (std::string page; std::getline(text, page, '\f');) {
    std::vector<std::string> lines;
    std::istringstream in(page);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    pages.push_back(lines);
  }
  // pdftotext ends the last page with a form feed too.
  if (!pages.empty() && pages.back().empty()) pages.pop_back();
  return pages;
}

std::vector<std::vector<std::string>> CorePages(const TempFolder& folder,
                                                int segment,
                                                bool entries_only) {
  auto ws = std::make_unique<Workspace>();
  EXPECT_TRUE(LoadProgramFile(ws->store, folder.path() / "sample.prg"));
  const ProgramStore& store = ws->store;
  const CommentLookup comments = [&store](int s, int k) {
    const std::string* text = store.Comment(s, k);
    return text ? std::string_view(*text) : std::string_view{};
  };
  const ListingOptions options{entries_only, 7, "sample.prg"};
  const auto listing =
      segment ? ListSegment(store.image(), comments, segment, options)
              : ListProgram(store.image(), comments, options);
  std::vector<std::vector<std::string>> pages;
  for (const ListingPage& page : listing) {
    std::vector<std::string> lines{Squeezed(page.header)};
    for (const ListingRow& row : page.rows) lines.push_back(Squeezed(row.text));
    pages.push_back(lines);
  }
  return pages;
}

void CopySample(const TempFolder& folder) {
  for (const char* name : {"sample.prg", "sample.cmt"}) {
    fs::copy_file(kDataDir / name, folder.path() / name);
  }
}

TEST(CliPrint, PdfTextsAreTheListingRows) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  TempFolder folder;
  CopySample(folder);
  struct Case {
    std::vector<std::string> options;
    int segment;  // 0: "DRUKUJ", all segments
    bool entries_only;
  };
  const Case cases[] = {{{}, 0, false},
                        {{"--segment", "1"}, 1, false},
                        {{"--entries-only"}, 0, true}};
  for (const Case& c : cases) {
    std::vector<std::string> args{"--device",   "7",     "print",
                                  "sample.prg", "--pdf", "out.pdf"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Ran run = Cli(folder, args);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const auto expected = CorePages(folder, c.segment, c.entries_only);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(PdfPages(folder, "out.pdf"), expected)
        << "segment " << c.segment << " entries only " << c.entries_only;
  }
}

// The drawing itself: frame, rules, rows and their letters where they were
// when the reference was made. Rendered small, so antialiasing of a font
// update stays within the tolerance while a moved rule or row does not.
TEST(CliPrint, FirstPageLooksLikeTheReference) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  TempFolder folder;
  CopySample(folder);
  ASSERT_EQ(
      Cli(folder, {"--device", "7", "print", "sample.prg", "--pdf", "out.pdf"})
          .exit_code,
      0);
  const Ran render =
      RunIn(folder, "pdftoppm",
            {"-r", std::to_string(kReferenceDpi), "-gray", "-png",
             "-singlefile", "-f", "1", "-l", "1", "out.pdf", "page"});
  ASSERT_EQ(render.exit_code, 0) << render.err;
  const fs::path page_file = folder.path() / "page.png";
  const fs::path reference_file = kDataDir / "listing_reference.png";
  if (std::getenv("LUMERA_UPDATE_REFERENCE") != nullptr) {
    fs::copy_file(page_file, reference_file,
                  fs::copy_options::overwrite_existing);
  }
  const QImage page = QImage(QString::fromStdString(page_file.string()))
                          .convertToFormat(QImage::Format_Grayscale8);
  const QImage reference =
      QImage(QString::fromStdString(reference_file.string()))
          .convertToFormat(QImage::Format_Grayscale8);
  ASSERT_FALSE(reference.isNull()) << reference_file;
  ASSERT_EQ(page.size(), reference.size());
  long long total = 0;
  int far_off = 0;
  int ink = 0;
  for (int y = 0; y < page.height(); ++y) {
    const uchar* a = page.constScanLine(y);
    const uchar* b = reference.constScanLine(y);
    for (int x = 0; x < page.width(); ++x) {
      const int diff = std::abs(a[x] - b[x]);
      total += diff;
      far_off += diff > 96;
      ink += b[x] < 128;
    }
  }
  const double pixels = static_cast<double>(page.width()) * page.height();
  EXPECT_GT(ink, 0.01 * pixels) << "the reference is a blank page";
  EXPECT_LT(total / pixels, 2.0);
  EXPECT_LT(far_off, ink / 50) << "of " << ink << " dark pixels";
}

TEST(CliPrint, UnwritablePdfLeavesNothingBehind) {
  TempFolder folder;
  CopySample(folder);
  fs::create_directory(folder.path() / "taken");
  std::ofstream(folder.path() / "taken" / "keep") << "x";
  for (const std::string target : {"missing/out.pdf", "taken"}) {
    const Ran run = Cli(folder, {"print", "sample.prg", "--pdf", target});
    EXPECT_EQ(run.exit_code, 1) << target;
    EXPECT_NE(run.err.find("Błąd zapisu pliku !\n" + target + "\n"),
              std::string::npos)
        << run.err;
  }
  EXPECT_FALSE(fs::exists(folder.path() / "missing"));
  EXPECT_TRUE(fs::is_directory(folder.path() / "taken"));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"sample.cmt", "sample.prg", "taken"}));
}

TEST(CliPrint, ProgramWithoutPagesWritesNoPdf) {
  TempFolder folder;
  auto ws = std::make_unique<Workspace>();
  ASSERT_TRUE(SaveProgramFile(ws->store, folder.path() / "empty.prg"));
  const Ran run = Cli(folder, {"print", "empty.prg", "--pdf", "out.pdf"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("Brak komend do wydruku."), std::string::npos);
  EXPECT_FALSE(fs::exists(folder.path() / "out.pdf"));
  EXPECT_EQ(Cli(folder, {"print", "empty.prg"}).exit_code, 2);
}

}  // namespace
}  // namespace lumera
