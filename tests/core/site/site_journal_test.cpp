#include "core/site/site_journal.h"

#include <gtest/gtest.h>

#include <string>

#include "core/site/sha256.h"

namespace lumera {
namespace {

TEST(Sha256Test, KnownSumsAcrossBlockBoundariesAndPieces) {
  const struct {
    std::string input;
    const char* sum;
  } known[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 55 bytes: the padding byte and the length just fill the block.
      {std::string(55, 'a'),
       "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      // 56 bytes: the length no longer fits the first block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(63, 'a'),
       "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {std::string(64, 'a'),
       "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      // 55 in the second block.
      {std::string(119, 'a'),
       "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
  };
  for (const auto& k : known) {
    EXPECT_EQ(Sha256Hex(std::string_view(k.input)), k.sum)
        << k.input.size() << " bytes";
  }
  // A million bytes fed in uneven pieces.
  Sha256 sum;
  const std::string piece(997, 'a');
  std::size_t left = 1000000;
  while (left > 0) {
    const std::size_t n = std::min(left, piece.size());
    sum.Update(std::string_view(piece).substr(0, n));
    left -= n;
  }
  const Sha256Digest digest = sum.Finish();
  EXPECT_EQ(digest[0], 0xcd);
  EXPECT_EQ(digest[31], 0xd0);
}

JournalEntry Entry(const char* line, int controller, const char* job,
                   const char* sha, const char* outcome, const char* run) {
  JournalEntry e;
  e.line = line;
  e.controller = controller;
  e.job = job;
  e.program_sha256 = sha;
  e.outcome = outcome;
  e.run = run;
  return e;
}

TEST(SiteJournalTest, LineReadsBackWithQuotesAndLineEnds) {
  JournalEntry e = Entry("hala \"a\"", 12, "upload", "ab", "błąd: x\\y\nz",
                         "2026-01-01T00:00:00Z");
  e.port = "tcp:192.0.2.10:4001";
  e.user = "jan";
  const std::string line = JournalLine(e);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  const std::optional<JournalEntry> back = ParseJournalLine(line);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->line, e.line);
  EXPECT_EQ(back->controller, 12);
  EXPECT_EQ(back->outcome, e.outcome);
  EXPECT_EQ(back->port, e.port);
  EXPECT_EQ(back->run, e.run);
  EXPECT_FALSE(ParseJournalLine("{\"controller\":1,\"job\":\"upl"));
}

TEST(SiteJournalTest, ResumeLeavesOutOnlyWhatTheLastRunVerified) {
  const char* ok = "zweryfikowany";
  const std::vector<JournalEntry> journal = {
      // An older run of upload: not the one resumed.
      Entry("a", 9, "upload", "S", ok, "R1"),
      Entry("a", 1, "upload", "S", ok, "R2"),
      Entry("a", 2, "upload", "OLD", ok, "R2"),  // another program since
      Entry("a", 3, "upload", "S", ok, "R2"),
      Entry("a", 3, "upload", "S", "błąd: x", "R2"),  // failed later
      Entry("a", 4, "upload", "S", "błąd: x", "R2"),
      Entry("a", 4, "upload", "S", ok, "R2"),  // resumed and done
      Entry("b", 1, "clock-set", "", ok, "R3"),
  };
  std::map<std::pair<std::string, int>, std::string> sums;
  const std::string line_a = "a";
  for (int n : {1, 2, 3, 4, 9}) sums.emplace(std::make_pair(line_a, n), "S");
  const ResumePoint upload = FindResumePoint(journal, "upload", sums);
  EXPECT_EQ(upload.run, "R2");
  EXPECT_EQ(upload.finished,
            (std::set<std::pair<std::string, int>>{{"a", 1}, {"a", 4}}));
  const ResumePoint clock = FindResumePoint(journal, "clock-set", {});
  EXPECT_EQ(clock.finished, (std::set<std::pair<std::string, int>>{{"b", 1}}));
  EXPECT_TRUE(FindResumePoint(journal, "verify", sums).run.empty());
}

}  // namespace
}  // namespace lumera
