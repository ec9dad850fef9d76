#include "core/site/run/site_installation.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/model/sha256.h"
#include "core/site/journal/journal_file.h"

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
  }
  void TearDown() override { fs::remove_all(dir_); }

  SiteJournalView ReadJournalOf(const char* lines) {
    std::ofstream(JournalPathFor(dir_ / "hala.site"), std::ios::binary)
        << lines;
    return ReadSiteJournalView(dir_ / "hala.site");
  }

  fs::path dir_;
};

TEST_F(SiteInstallationTest, RowsInSiteOrderWithSumsAndTheJournalsLastWord) {
  const SiteParseResult parsed = ParseSite(
      "[line a]\nport = COM1\ncontrollers = 2, 1\nprogram = a.prg\n"
      "program.2 = a2.prg\n[line b]\nport = COM2\ncontrollers = 1\n",
      dir_, false);
  ASSERT_TRUE(parsed.site);
  const SiteJournalView journal = ReadJournalOf(
      R"({"time":"T1","line":"a","controller":1,"job":"upload","outcome":"zweryfikowany"}
{"time":"T2","line":"b","controller":1,"job":"clock-set","outcome":"ok"}
{"time":"T3","line":"a","controller":1,"job":"upload","outcome":"błąd: x"}
{"time":"T4","line":"b","controller":1,"job":"upload","outcome":"\uZZZZ"}
)");
  // The line spoilt on the disk is skipped; the rest still shows.
  ASSERT_TRUE(journal.readable);
  std::vector<SiteInstallationRow> rows = InstallationRows(*parsed.site);
  ApplyJournal(journal, rows);
  ASSERT_EQ(journal.rows.size(), 3u);
  EXPECT_EQ(journal.rows.front().time, "T3");  // newest first

  std::vector<std::string> shown;
  for (const SiteInstallationRow& row : rows) {
    shown.push_back(row.line + "/" + std::to_string(row.controller) + " " +
                    row.program_sha256 + " " + row.journal_outcome + " " +
                    row.journal_time);
  }
  const auto sum = [](std::string_view bytes) { return Sha256Hex(bytes); };
  EXPECT_EQ(shown,
            (std::vector<std::string>{"a/2 " + sum("program a2") + "  ",
                                      "a/1 " + sum("program a") + " błąd: x T3",
                                      "b/1  ok T2"}));
}

// "Wznów" takes up the command of the journal's newest line, when that
// command writes; its tool tip says which.
TEST_F(SiteInstallationTest, ResumeTakesUpTheNewestWritingCommand) {
  const struct {
    const char* journal;
    std::optional<SiteCommand> command;
    const char* tip;
  } cases[] = {
      {"", std::nullopt, "Dziennik nie zawiera zadania do wznowienia"},
      {R"({"time":"T1","line":"a","controller":1,"job":"upload","outcome":"ok"}
{"time":"T2","line":"a","controller":1,"job":"clock-set","outcome":"ok"}
)",
       SiteCommand::kClockSet,
       "Wznawia ostatnie zadanie z dziennika (Ustaw zegary): sterowniki "
       "niezweryfikowane i nieosiągnięte"},
      {R"({"time":"T2","line":"a","controller":1,"job":"clock-set","outcome":"ok"}
{"time":"T1","line":"a","controller":1,"job":"upload","outcome":"ok"}
)",
       SiteCommand::kUpload, "Wznawia ostatnie zadanie z dziennika (Wyślij)"},
      {R"({"time":"T1","line":"a","controller":1,"job":"status","outcome":"ok"}
)",
       std::nullopt, "Dziennik nie zawiera"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.journal);
    const SiteJournalView journal = ReadJournalOf(c.journal);
    EXPECT_EQ(ResumeCommandOf(journal), c.command);
    EXPECT_TRUE(ResumeToolTip(journal).starts_with(c.tip))
        << ResumeToolTip(journal);
  }
}

}  // namespace
}  // namespace lumera
