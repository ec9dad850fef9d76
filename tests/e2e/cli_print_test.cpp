// lumera-cli print: its PDF read back with poppler's pdftotext and pdftoppm,
// against the core's listing rows and a reference picture of its first page.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/model/program_file.h"
#include "core/print/listing.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = LUMERA_PRINT_DATA_DIR;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A folder with the sample program, in which commands run.
class Folder {
 public:
  Folder() {
    std::string pattern =
        (fs::temp_directory_path() / "lumera-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    for (const char* name : {"sample.prg", "sample.cmt"}) {
      fs::copy_file(kDataDir / name, path_ / name);
    }
  }
  ~Folder() { fs::remove_all(path_); }
  // Runs `command` here; its standard error lands in `err`.
  int Run(const std::string& command, std::string* err = nullptr) const {
    const std::string line = "cd '" + path_.string() + "' && " + command +
                             " >/dev/null 2>'" + path_.string() + ".err'";
    const int status = std::system(line.c_str());
    if (err) *err = ReadAll(path_.string() + ".err");
    fs::remove(path_.string() + ".err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const std::string kCli = LUMERA_CLI_PATH;

bool HavePoppler() {
  return std::system("pdftotext -v 2>/dev/null && pdftoppm -v 2>/dev/null") ==
         0;
}

// A page's lines, runs of blanks as one and none at the end, as pdftotext
// reads them.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out + "\n";
}

std::string CoreText(const Folder& folder, int segment, bool entries_only) {
  auto ws = std::make_unique<Workspace>();
  EXPECT_TRUE(LoadProgramFile(ws->store, folder.path() / "sample.prg"));
  const ProgramStore& store = ws->store;
  const CommentLookup comments = [&store](int s, int k) {
    const std::string* text = store.Comment(s, k);
    return text ? std::string_view(*text) : std::string_view{};
  };
  const ListingOptions options{entries_only, 7, "sample.prg"};
  std::string text;
  for (const ListingPage& page :
       segment ? ListSegment(store.image(), comments, segment, options)
               : ListProgram(store.image(), comments, options)) {
    text += Squeezed(page.header);
    for (const ListingRow& row : page.rows) text += Squeezed(row.text);
    text += "\f";
  }
  return text;
}

TEST(CliPrint, PdfTextsAreTheListingRows) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  Folder folder;
  struct Case {
    std::string options;
    int segment;  // 0: all segments, as "DRUKUJ"
    bool entries_only;
  };
  for (const Case& c : {Case{"", 0, false}, Case{"--segment 2", 2, false},
                        Case{"--entries-only", 0, true}}) {
    std::string err;
    ASSERT_EQ(folder.Run(kCli + " --device 7 print sample.prg --pdf o.pdf " +
                             c.options,
                         &err),
              0)
        << err;
    ASSERT_EQ(folder.Run("pdftotext -raw -enc UTF-8 o.pdf o.txt"), 0);
    EXPECT_EQ(ReadAll(folder.path() / "o.txt"),
              CoreText(folder, c.segment, c.entries_only))
        << c.options;
  }
}

// The drawing: frame, rules and rows where they were when the reference was
// made (LUMERA_UPDATE_REFERENCE=1 makes it anew). Rendered small, so that
// antialiasing stays within the tolerance while a moved rule or row, or
// another font size, does not.
TEST(CliPrint, FirstPageLooksLikeTheReference) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  Folder folder;
  ASSERT_EQ(folder.Run(kCli + " --device 7 print sample.prg --pdf o.pdf"), 0);
  ASSERT_EQ(folder.Run("pdftoppm -r 50 -gray -png -singlefile -f 1 -l 1 "
                       "o.pdf page"),
            0);
  const fs::path reference_file = kDataDir / "listing_reference.png";
  if (getenv("LUMERA_UPDATE_REFERENCE") != nullptr) {
    fs::copy_file(folder.path() / "page.png", reference_file,
                  fs::copy_options::overwrite_existing);
  }
  const auto gray = [](const fs::path& file) {
    return QImage(QString::fromStdString(file.string()))
        .convertToFormat(QImage::Format_Grayscale8);
  };
  const QImage page = gray(folder.path() / "page.png");
  const QImage reference = gray(reference_file);
  ASSERT_FALSE(reference.isNull()) << reference_file;
  ASSERT_EQ(page.size(), reference.size());
  long long total = 0;
  int far_off = 0;
  int ink = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      const int diff =
          std::abs(page.constScanLine(y)[x] - reference.constScanLine(y)[x]);
      total += diff;
      far_off += diff > 96;
      ink += reference.constScanLine(y)[x] < 128;
    }
  }
  const double pixels = static_cast<double>(page.width()) * page.height();
  EXPECT_GT(ink, 0.01 * pixels) << "the reference is a blank page";
  EXPECT_LT(total / pixels, 2.0);
  EXPECT_LT(far_off, ink / 50) << "of " << ink << " dark pixels";
}

TEST(CliPrint, PdfThatCannotBeWrittenLeavesNothingBehind) {
  Folder folder;
  fs::create_directory(folder.path() / "taken");
  auto ws = std::make_unique<Workspace>();
  ASSERT_TRUE(SaveProgramFile(ws->store, folder.path() / "empty.prg"));
  struct Case {
    std::string args;
    std::string err;
  };
  for (const Case& c :
       {Case{"sample.prg --pdf missing/o.pdf",
             "Błąd zapisu pliku !\nmissing/o.pdf: No such file or directory\n"},
        Case{"sample.prg --pdf taken",
             "Błąd zapisu pliku !\ntaken: Is a directory\n"},
        Case{"empty.prg --pdf o.pdf", "Brak komend do wydruku.\n"}}) {
    std::string err;
    EXPECT_EQ(folder.Run(kCli + " print " + c.args, &err), 1) << c.args;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"empty.cmt", "empty.prg", "sample.cmt",
                                      "sample.prg", "taken"}));
  EXPECT_TRUE(fs::is_empty(folder.path() / "taken"));
}

}  // namespace
}  // namespace lumera
