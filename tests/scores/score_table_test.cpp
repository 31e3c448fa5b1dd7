// The score table: where a new score goes, and "ScoreList.sav" byte by byte.
#include "scores/score_table.hpp"

#include <filesystem>

#include "tests/scores/scores_fixture.hpp"

namespace scores_test {
namespace {

using scores::ScoreTable;
using testing_support::readBytes;
using testing_support::writeBytes;

void expectDefault(const ScoreTable& table, std::size_t from) {
  for (std::size_t i = from; i < ScoreTable::kEntries; ++i) {
    const scores::ScoreEntry& e = table.entry(i);
    EXPECT_TRUE(e.nameText() == u"PLAYER" && e.score == 100 - i && e.pendingUpload == 0) << "entry " << i;
  }
}

using ScoreTableTest = ScoresTest;

TEST_F(ScoreTableTest, NewScoreGoesBelowEqualScoresAndPushesTheLastOut) {
  ScoreTable table;
  const auto before = scores::encodeScoreFile(table, 0, 1);
  const std::pair<std::u16string_view, std::uint32_t> refused[] = {{u"ANNA", 0}, {u"", 50}, {{u"\0B", 2}, 50}, {u"ANNA", 1}};
  for (const auto& [name, score] : refused) {
    EXPECT_FALSE(table.insertScore(name, score)) << score;  // no score, no name, not above the lowest
  }
  EXPECT_EQ(scores::encodeScoreFile(table, 0, 1), before);
  ASSERT_TRUE(table.insertScore(u"NEW", 57));
  ASSERT_TRUE(table.insertScore(u"NEWER", 57));
  ASSERT_TRUE(table.insertScore(u"ABCDEFGHIJ", 1000));
  EXPECT_EQ(table.entry(0).nameText(), u"ABCDEFGH");  // cut at 8, terminated
  EXPECT_EQ(table.entry(0).name[8], u'\0');
  EXPECT_EQ(table.entry(44).nameText(), u"PLAYER");  // the old 57
  EXPECT_EQ(table.entry(45).nameText(), u"NEW");
  EXPECT_EQ(table.entry(45).pendingUpload, 1);
  EXPECT_EQ(table.entry(46).nameText(), u"NEWER");
  EXPECT_EQ(table.entry(47).score, 56u);
  EXPECT_EQ(table.lowestScore(), 4u);
  // Unsigned: 3,000,000,000 beats 2,000,000,000.
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(table.insertScore(u"TWO", 2000000000u));
  EXPECT_FALSE(table.insertScore(u"SAME", 2000000000u));
  EXPECT_TRUE(table.insertScore(u"THREE", 3000000000u));
  EXPECT_EQ(table.entry(0).nameText(), u"THREE");
  EXPECT_EQ(table.entry(1).nameText(), u"TWO");
}

TEST_F(ScoreTableTest, FirstRunGivesDefaultsAndTheFileHoldsTheWholeLayout) {
  ScoreTable table;
  table.entry(0).score = 0;
  scores::loadScores(table);
  expectDefault(table, 0);
  EXPECT_EQ(shell::process().musicOn, 0);
  EXPECT_EQ(shell::process().soundOn, 1);
  EXPECT_EQ(std::filesystem::file_size(scoreFile()), 0u);  // created empty

  ASSERT_TRUE(table.insertScore(u"Zo\u00EB", 700));
  shell::process().musicOn = 1;
  shell::process().soundOn = 0;
  ASSERT_TRUE(scores::saveScores(table));
  const auto file = [](const std::u16string& first, std::uint8_t unused, std::uint8_t picture) {
    std::vector<std::uint8_t> bytes = {1, 0};
    appendRecord(bytes, 1, first, 700, unused, picture);
    for (std::uint32_t i = 0; i < 99; ++i) appendRecord(bytes, 0, u"PLAYER", 100 - i);
    return bytes;
  };
  EXPECT_EQ(readBytes(scoreFile()), file(u"Zo\u00EB", 0, 0));  // 3,202 bytes

  // A nine-unit name without terminator, the unused byte and the picture fields of a file
  // are not kept.
  writeBytes(scoreFile(), file(u"ABCDEFGHI", 0xEE, 0xCC));
  shell::resetProcessState();
  ScoreTable again;
  scores::loadScores(again);
  EXPECT_EQ(again.entry(0).nameText(), u"ABCDEFGH");
  ASSERT_TRUE(scores::saveScores(again));
  EXPECT_EQ(readBytes(scoreFile()), file(u"ABCDEFGH", 0, 0));
}

TEST_F(ScoreTableTest, ShortFilesKeepWhatTheyHold) {
  std::vector<std::uint8_t> threeAndAHalf = {1, 0};
  for (std::uint32_t i = 0; i < 3; ++i) appendRecord(threeAndAHalf, 1, u"KEPT", 900 - i);
  threeAndAHalf.insert(threeAndAHalf.end(), 10, 0x41);
  const struct {
    std::vector<std::uint8_t> bytes;
    std::uint8_t musicOn, soundOn;
    std::size_t fromFile;
  } cases[] = {{{}, 0, 1, 0}, {{1}, 1, 1, 0}, {{1, 0}, 1, 0, 0}, {threeAndAHalf, 1, 0, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    shell::resetProcessState();  // music off, sound on
    writeBytes(scoreFile(), c.bytes);
    ScoreTable table;
    table.insertScore(u"GONE", 5000);
    scores::loadScores(table);
    EXPECT_EQ(shell::process().musicOn, c.musicOn);
    EXPECT_EQ(shell::process().soundOn, c.soundOn);
    for (std::size_t i = 0; i < c.fromFile; ++i) {
      EXPECT_TRUE(table.entry(i).nameText() == u"KEPT" && table.entry(i).score == 900 - i && table.entry(i).pendingUpload);
    }
    expectDefault(table, c.fromFile);
  }
}

TEST_F(ScoreTableTest, UnreadableFileGivesDefaultsWithBothOptionsOn) {
  std::filesystem::create_directory(scoreFile());
  shell::process().soundOn = 0;
  ScoreTable table;
  table.insertScore(u"GONE", 5000);
  scores::loadScores(table);
  EXPECT_EQ(shell::process().musicOn, 1);
  EXPECT_EQ(shell::process().soundOn, 1);
  expectDefault(table, 0);
  EXPECT_FALSE(scores::saveScores(table));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saveFolder.path()), {}), 1);  // nothing left behind
}

TEST_F(ScoreTableTest, SavingWritesBesideAndRenames) {
  writeBytes(scoreFile(), {1, 1, 2, 3});
  std::filesystem::create_hard_link(scoreFile(), saveFolder.file("old-table"));
  ASSERT_TRUE(scores::saveScores(ScoreTable()));
  EXPECT_EQ(readBytes(saveFolder.file("old-table")), (std::vector<std::uint8_t>{1, 1, 2, 3}));
  EXPECT_EQ(readBytes(scoreFile()).size(), 3202u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saveFolder.path()), {}), 2);
}

}  // namespace
}  // namespace scores_test
