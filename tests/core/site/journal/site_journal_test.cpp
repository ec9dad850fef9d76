#include "core/site/journal/site_journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/site/journal/journal_file.h"

namespace lumera {
namespace {

JournalEntry Entry(const char* line, int controller, const char* job,
                   const char* sha, const char* outcome, const char* run,
                   JournalEvent event = JournalEvent::kOutcome) {
  JournalEntry e;
  e.event = event;
  e.line = line;
  e.controller = controller;
  e.job = job;
  e.program_sha256 = sha;
  e.outcome = outcome;
  e.run = run;
  return e;
}

JournalEntry Begun(const char* line, int controller, const char* run) {
  return Entry(line, controller, "upload", "S", "", run, JournalEvent::kBegun);
}

JournalEntry Start(const char* job, const char* run) {
  JournalEntry e;
  e.event = JournalEvent::kStart;
  e.job = job;
  e.run = run;
  e.programs = {{"programs/a \"1\".prg", "S"}, {"b.prg", "T"}};
  return e;
}

TEST(SiteJournalTest, EachKindOfLineReadsBackAsWritten) {
  JournalEntry outcome = Entry("hala \"a\"", 12, "upload", "ab",
                               "błąd: x\\y\nz\x01", "2026-01-01T00:00:00Z");
  outcome.port = "tcp:192.0.2.10:4001";
  outcome.user = "jan";
  for (const JournalEntry& e :
       {outcome, Begun("a", 254, "R"), Start("upload", "R")}) {
    const std::string line = JournalLine(e);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::optional<JournalEntry> back = ParseJournalLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->event, e.event);
    EXPECT_EQ(JournalLine(*back), line);
  }
}

// What the journal's reader keeps of a file, line by line: "E" an entry
// (its event, line/controller and outcome), "-" a line skipped with a
// warning.
struct ReadCase {
  const char* name;
  std::string text;
  std::vector<std::string> kept;
  std::vector<int> skipped;
};

std::string Kept(const JournalEntry& e) {
  const char* kinds[] = {"start", "begun", "outcome"};
  std::string text = kinds[static_cast<int>(e.event)];
  if (e.event == JournalEvent::kStart) {
    for (const auto& [file, sum] : e.programs) text += " " + file + "=" + sum;
    return text + " " + e.run;
  }
  return text + " " + e.line + "/" + std::to_string(e.controller) + " " +
         e.outcome;
}

// Each line with its end.
std::string Joined(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(SiteJournalTest, ReaderKeepsEveryLineOfItsOwnAndSkipsTheRest) {
  const std::string a =
      R"({"line":"a","controller":1,"job":"upload","outcome":"zweryfikowany","run":"R"})";
  const std::string b =
      R"({"event":"begun","line":"a","controller":2,"job":"upload","run":"R"})";
  const auto outcome = [](std::string_view text) {
    return R"({"line":"a","controller":3,"job":"upload","outcome":")" +
           std::string(text) + R"("})";
  };
  const std::string kA = "outcome a/1 zweryfikowany";
  const std::string kB = "begun a/2 ";
  const std::vector<ReadCase> cases = {
      {"lines as earlier versions wrote them are outcomes",
       a + "\n" +
           R"({"time":"t","user":"u","host":"h","line":"b","port":"COM1","controller":9,"job":"clock-set","program_sha256":"","outcome":"błąd: x","run":"R"})" +
           "\n",
       {kA, "outcome b/9 błąd: x"},
       {}},
      {"a start line with its programs",
       R"({"event":"start","run":"R","job":"upload","programs":{"p.prg":"S","q\u0020r.prg":"T"}})"
       "\n",
       {"start p.prg=S q r.prg=T R"},
       {}},
      {"torn last line", a + "\n" + b.substr(0, 30), {kA}, {2}},
      {"torn line, then the next line on a line of its own",
       a + "\n" + b.substr(0, 30) + "\n" + b + "\n",
       {kA, kB},
       {2}},
      {"blank lines and CR LF ends",
       "\n" + a + "\r\n  \n" + b + "\r\n",
       {kA, kB},
       {}},
      {"foreign lines",
       Joined({"hello", "[1]", "{}", a + " x", R"({"controller":1})",
               R"({"job":"upload"})",
               R"({"event":"paused","controller":1,"job":"upload"})", a}),
       {kA},
       {1, 2, 3, 4, 5, 6, 7}},
      {"values of the wrong kind or out of range",
       Joined({R"({"controller":"1","job":"upload"})",
               R"({"controller":0,"job":"upload"})",
               R"({"controller":255,"job":"upload"})",
               R"({"controller":01,"job":"upload"})",
               R"({"controller":12345678901,"job":"upload"})",
               R"({"controller":-1,"job":"upload"})",
               R"({"controller":1.5,"job":"upload"})",
               R"({"controller":1,"job":7})",
               R"({"controller":1,"controller":2,"job":"upload"})",
               R"({"event":"start","job":"upload","run":"R","programs":"p"})"}),
       {},
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"bad escapes",
       outcome(R"(\uZZZZ)") + "\n" + outcome(R"(\u12)") + "\n" +
           outcome(R"(\x)") + "\n" + outcome(R"(\udc00)") + "\n" +
           outcome(R"(\ud800\u0041)") + "\n" + outcome("\x01") + "\n" +
           outcome(R"(\)"),
       {},
       {1, 2, 3, 4, 5, 6, 7}},
      {"good escapes",
       outcome(R"(\"\\\/\b\f\n\r\t\u00f3\ud83d\ude00)") + "\n",
       {"outcome a/3 \"\\/\b\f\n\r\tó\xF0\x9F\x98\x80"},
       {}},
      {"a line too long to be one of ours",
       "{\"x\":\"" + std::string(1 << 21, 'x') + "\"}\n" + a + "\n",
       {kA},
       {1}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const JournalContents whole = ParseJournal(c.text);
    std::vector<std::string> kept;
    for (const JournalEntry& e : whole.entries) kept.push_back(Kept(e));
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(whole.skipped_lines, c.skipped);
    // Read in small pieces, the same.
    JournalReader reader;
    for (std::size_t i = 0; i < c.text.size(); i += 7) {
      reader.Feed(std::string_view(c.text).substr(i, 7));
    }
    EXPECT_EQ(reader.Finish().skipped_lines, c.skipped);
  }
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the file held each time the writer waited for the disk.
class SyncRecordingWriter : public JournalWriter {
 public:
  using JournalWriter::JournalWriter;
  std::vector<std::string> at_sync;

 private:
  bool SyncFile() override {
    at_sync.push_back(FileText(path()));
    return JournalWriter::SyncFile();
  }
};

// A line is on the disk before the step it records acts: written whole, then
// synced, each on a line of its own after a torn one.
TEST(SiteJournalTest, TornLastLineStaysAndTheNextLineStartsOnItsOwn) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("lumera-journal-" + std::to_string(::getpid()) + ".journal");
  const std::string torn = R"({"time":"2026-01-01T00:00:00Z","us)";
  std::ofstream(path, std::ios::binary) << torn;
  const JournalEntry entry = Begun("a", 7, "R");
  const std::string line = JournalLine(entry) + "\n";
  {
    SyncRecordingWriter writer(path);
    ASSERT_TRUE(writer.Append(entry));
    ASSERT_TRUE(writer.Append(entry));
    EXPECT_EQ(writer.at_sync,
              (std::vector<std::string>{torn + "\n" + line,
                                        torn + "\n" + line + line}));
  }
  EXPECT_EQ(FileText(path), torn + "\n" + line + line);
  const std::optional<JournalContents> read = ReadJournalFile(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->entries.size(), 2u);
  EXPECT_EQ(read->skipped_lines, std::vector<int>{1});
  std::filesystem::remove(path);
  // No journal yet: nothing to read, and nothing wrong.
  ASSERT_TRUE(ReadJournalFile(path));
  EXPECT_TRUE(ReadJournalFile(path)->entries.empty());
}

// Which controllers --resume leaves out of the last run of the command.
struct ResumeCase {
  const char* name;
  std::vector<JournalEntry> journal;
  std::string run;
  std::set<ControllerKey> finished;
};

TEST(SiteJournalTest, ResumeLeavesOutOnlyWhatTheLastRunVerified) {
  const char* ok = "zweryfikowany";
  const std::vector<ResumeCase> cases = {
      {"lines as earlier versions wrote them",
       {Entry("a", 9, "upload", "S", ok, "R1"),
        Entry("a", 1, "upload", "S", ok, "R2"),
        Entry("a", 2, "upload", "OLD", ok, "R2"),  // another program since
        Entry("a", 3, "upload", "S", ok, "R2"),
        Entry("a", 3, "upload", "S", "błąd: x", "R2"),  // failed later
        Entry("a", 4, "upload", "S", "błąd: x", "R2"),
        Entry("a", 4, "upload", "S", ok, "R2"),  // resumed and done
        Entry("b", 1, "clock-set", "", ok, "R3")},
       "R2",
       {{"a", 1}, {"a", 4}}},
      {"a run killed before its first controller is the last run",
       {Start("upload", "R1"), Begun("a", 1, "R1"),
        Entry("a", 1, "upload", "S", ok, "R1"), Start("upload", "R2")},
       "R2",
       {}},
      {"begun without an outcome: killed while writing",
       {Start("upload", "R1"), Begun("a", 1, "R1"),
        Entry("a", 1, "upload", "S", ok, "R1"), Begun("a", 2, "R1")},
       "R1",
       {{"a", 1}}},
      {"verified, then begun again by a resume that was killed",
       {Start("upload", "R1"), Begun("a", 1, "R1"),
        Entry("a", 1, "upload", "S", ok, "R1"), Start("upload", "R1"),
        Begun("a", 1, "R1")},
       "R1",
       {}},
      {"a resumed chain adds up",
       {Start("upload", "R1"), Begun("a", 1, "R1"),
        Entry("a", 1, "upload", "S", ok, "R1"), Start("upload", "R1"),
        Begun("a", 2, "R1"), Entry("a", 2, "upload", "S", ok, "R1")},
       "R1",
       {{"a", 1}, {"a", 2}}},
      {"another command's run does not count",
       {Start("upload", "R1"), Begun("a", 1, "R1"),
        Entry("a", 1, "upload", "S", ok, "R1"), Start("clock-set", "R2"),
        Entry("a", 1, "clock-set", "", ok, "R2")},
       "R1",
       {{"a", 1}}},
      {"never ran", {Start("clock-set", "R2")}, "", {}},
  };
  std::map<ControllerKey, std::string> sums;
  for (int n : {1, 2, 3, 4, 9}) sums[{"a", n}] = "S";
  for (const ResumeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ResumePoint point = FindResumePoint(c.journal, "upload", sums);
    EXPECT_EQ(point.run, c.run);
    EXPECT_EQ(point.finished, c.finished);
  }
  const ResumePoint clock = FindResumePoint(cases[0].journal, "clock-set", {});
  EXPECT_EQ(clock.finished, (std::set<ControllerKey>{{"b", 1}}));
}

}  // namespace
}  // namespace lumera
