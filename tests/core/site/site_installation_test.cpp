#include "core/site/site_installation.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/site/sha256.h"
#include "core/site/site_journal.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

class SiteInstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("lumera-site-installation-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "a.prg") << "program a";
    std::ofstream(dir_ / "a2.prg") << "program a2";
    site_file_ = dir_ / "hala.site";
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Journal(const std::vector<std::string>& lines) {
    std::ofstream out(JournalPathFor(site_file_), std::ios::binary);
    for (const std::string& line : lines) out << line << "\n";
  }
  static std::string Line(const char* time, const char* line, int controller,
                          const char* job, const char* outcome) {
    JournalEntry entry;
    entry.time = time;
    entry.line = line;
    entry.controller = controller;
    entry.job = job;
    entry.outcome = outcome;
    return JournalLine(entry);
  }

  fs::path dir_;
  fs::path site_file_;
};

TEST_F(SiteInstallationTest, RowsInSiteOrderWithSumsAndTheJournalsLastWord) {
  const SiteParseResult parsed = ParseSite(
      "[line a]\nport = COM1\ncontrollers = 2, 1\nprogram = a.prg\n"
      "program.2 = a2.prg\n[line b]\nport = COM2\ncontrollers = 1\n",
      dir_, false);
  ASSERT_TRUE(parsed.site);
  Journal({Line("2026-01-01T10:00:00Z", "a", 1, "upload", "zweryfikowany"),
           Line("2026-01-01T10:00:05Z", "b", 1, "clock-set", "ok"),
           Line("2026-01-02T09:00:00Z", "a", 1, "upload", "błąd: x")});
  std::vector<SiteInstallationRow> rows = InstallationRows(*parsed.site);
  const SiteJournalView journal = ReadSiteJournalView(site_file_);
  ApplyJournal(journal, rows);

  EXPECT_TRUE(journal.readable);
  ASSERT_EQ(journal.rows.size(), 3u);
  EXPECT_EQ(journal.rows.front().time, "2026-01-02T09:00:00Z");  // newest
  struct Expected {
    const char* line;
    int controller;
    std::string sum;
    const char* outcome;
    const char* time;
  };
  const std::vector<Expected> expected = {
      {"a", 2, Sha256Hex(std::string_view("program a2")), "", ""},
      {"a", 1, Sha256Hex(std::string_view("program a")), "błąd: x",
       "2026-01-02T09:00:00Z"},
      {"b", 1, "", "ok", "2026-01-01T10:00:05Z"},
  };
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].line, expected[i].line);
    EXPECT_EQ(rows[i].controller, expected[i].controller);
    EXPECT_EQ(rows[i].program_sha256, expected[i].sum);
    EXPECT_EQ(rows[i].journal_outcome, expected[i].outcome);
    EXPECT_EQ(rows[i].journal_time, expected[i].time);
    EXPECT_FALSE(rows[i].outcome);  // no run yet
  }
}

// A line torn or spoilt on the disk must not end the window that shows it.
TEST_F(SiteInstallationTest, DamagedJournalIsNoCrash) {
  Journal({Line("2026-01-01T10:00:00Z", "a", 1, "upload", "ok"),
           R"({"controller":"1","job":"upload","outcome":"\uZZZZ"})"});
  SiteJournalView view;
  EXPECT_NO_THROW(view = ReadSiteJournalView(site_file_));
  // Either the good line is read or the journal is said to be unreadable.
  if (view.readable) {
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows.front().outcome, "ok");
  }
}

}  // namespace
}  // namespace lumera
