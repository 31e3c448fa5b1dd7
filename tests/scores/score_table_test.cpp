#include "scores/score_table.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/scores/scores_fixture.hpp"

namespace scores_test {
namespace {

using scores::ScoreTable;

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void expectDefault(const ScoreTable& table, std::size_t from) {
  for (std::size_t i = from; i < ScoreTable::kEntries; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(table.entry(i).nameText(), u"PLAYER");
    EXPECT_EQ(table.entry(i).score, 100 - i);
    EXPECT_EQ(table.entry(i).pendingUpload, 0);
  }
}

using ScoreTableTest = ScoresTest;

TEST_F(ScoreTableTest, NewScoreGoesBelowEqualScoresAndPushesTheLastOut) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"NEW", 57));
  EXPECT_EQ(table.entry(43).nameText(), u"PLAYER");
  EXPECT_EQ(table.entry(43).score, 57u);
  EXPECT_EQ(table.entry(44).nameText(), u"NEW");
  EXPECT_EQ(table.entry(44).score, 57u);
  EXPECT_EQ(table.entry(44).pendingUpload, 1);
  EXPECT_EQ(table.entry(45).score, 56u);
  EXPECT_EQ(table.entry(99).score, 2u);
  EXPECT_EQ(table.lowestScore(), 2u);

  ASSERT_TRUE(table.insertScore(u"NEWER", 57));
  EXPECT_EQ(table.entry(44).nameText(), u"NEW");
  EXPECT_EQ(table.entry(45).nameText(), u"NEWER");

  ASSERT_TRUE(table.insertScore(u"TOP", 1000));
  EXPECT_EQ(table.entry(0).nameText(), u"TOP");
  EXPECT_EQ(table.entry(1).score, 100u);
}

TEST_F(ScoreTableTest, RefusesZeroEmptyNamesAndTheLowestScore) {
  struct Case {
    std::u16string name;
    std::uint32_t score;
  };
  const Case cases[] = {{u"ANNA", 0}, {u"", 50}, {std::u16string(u"\0B", 2), 50}, {u"ANNA", 1}};
  ScoreTable table;
  const auto before = scores::encodeScoreFile(table, 0, 1);
  for (const Case& c : cases) {
    EXPECT_FALSE(table.insertScore(c.name, c.score)) << c.score;
  }
  EXPECT_EQ(scores::encodeScoreFile(table, 0, 1), before);
  EXPECT_TRUE(table.insertScore(u"ANNA", 2));
  EXPECT_EQ(table.entry(99).nameText(), u"ANNA");
}

TEST_F(ScoreTableTest, ScoresCompareUnsigned) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"TWO", 2000000000u));
  ASSERT_TRUE(table.insertScore(u"THREE", 3000000000u));
  EXPECT_EQ(table.entry(0).nameText(), u"THREE");
  EXPECT_EQ(table.entry(1).nameText(), u"TWO");
  for (int i = 0; i < 98; ++i) ASSERT_TRUE(table.insertScore(u"FILL", 2000000000u));
  EXPECT_EQ(table.lowestScore(), 2000000000u);
  EXPECT_FALSE(table.insertScore(u"SAME", 2000000000u));
  EXPECT_TRUE(table.insertScore(u"MORE", 3000000000u));
  EXPECT_EQ(table.entry(1).nameText(), u"MORE");
  EXPECT_EQ(table.entry(2).nameText(), u"TWO");
}

TEST_F(ScoreTableTest, NamesAreCutAtEightCharacters) {
  ScoreTable table;
  ASSERT_TRUE(table.insertScore(u"ABCDEFGHIJ", 500));
  EXPECT_EQ(table.entry(0).nameText(), u"ABCDEFGH");
  EXPECT_EQ(table.entry(0).name[8], u'\0');
}

TEST_F(ScoreTableTest, FirstRunGivesDefaultsAndSavesTheWholeLayout) {
  ScoreTable table;
  table.entry(0).score = 0;
  scores::loadScores(table);
  expectDefault(table, 0);
  EXPECT_EQ(app::process().musicOn, 0);
  EXPECT_EQ(app::process().soundOn, 1);
  EXPECT_TRUE(std::filesystem::exists(scoreFile()));
  EXPECT_EQ(std::filesystem::file_size(scoreFile()), 0u);

  ASSERT_TRUE(table.insertScore(u"Zo\u00EB", 700));
  app::process().musicOn = 1;
  app::process().soundOn = 0;
  ASSERT_TRUE(scores::saveScores(table));

  std::vector<std::uint8_t> expected = {1, 0};
  appendRecord(expected, 1, u"Zo\u00EB", 700);
  for (std::uint32_t i = 0; i < 99; ++i) appendRecord(expected, 0, u"PLAYER", 100 - i);
  const auto written = readBytes(scoreFile());
  EXPECT_EQ(written.size(), 3202u);
  EXPECT_EQ(written, expected);

  app::resetProcessState();
  ScoreTable again;
  scores::loadScores(again);
  EXPECT_EQ(scores::encodeScoreFile(again, app::process().musicOn, app::process().soundOn), expected);
}

TEST_F(ScoreTableTest, ShortFilesKeepWhatTheyHold) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::uint8_t musicOn, soundOn;
    std::size_t entriesFromFile;
  };
  std::vector<std::uint8_t> threeAndAHalf = {1, 0};
  for (std::uint32_t i = 0; i < 3; ++i) appendRecord(threeAndAHalf, 1, u"KEPT", 900 - i);
  threeAndAHalf.insert(threeAndAHalf.end(), 10, 0x41);
  const Case cases[] = {
      {"empty: start-up options", {}, 0, 1, 0},
      {"one byte: sound keeps its start-up value", {1}, 1, 1, 0},
      {"two bytes: options only", {1, 0}, 1, 0, 0},
      {"three entries and part of a fourth", threeAndAHalf, 1, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app::resetProcessState();
    writeBytes(scoreFile(), c.bytes);
    ScoreTable table;
    table.insertScore(u"GONE", 5000);
    scores::loadScores(table);
    EXPECT_EQ(app::process().musicOn, c.musicOn);
    EXPECT_EQ(app::process().soundOn, c.soundOn);
    for (std::size_t i = 0; i < c.entriesFromFile; ++i) {
      EXPECT_EQ(table.entry(i).nameText(), u"KEPT");
      EXPECT_EQ(table.entry(i).score, 900 - i);
      EXPECT_EQ(table.entry(i).pendingUpload, 1);
    }
    expectDefault(table, c.entriesFromFile);
  }
}

TEST_F(ScoreTableTest, NineCharacterNameInTheFileIsCutAndTerminated) {
  std::vector<std::uint8_t> bytes = {0, 1};
  appendRecord(bytes, 0, u"ABCDEFGHI", 77, 0xEE, 0xCC);
  writeBytes(scoreFile(), bytes);
  ScoreTable table;
  scores::loadScores(table);
  EXPECT_EQ(table.entry(0).nameText(), u"ABCDEFGH");
  EXPECT_EQ(table.entry(0).score, 77u);
  ASSERT_TRUE(scores::saveScores(table));
  const auto written = readBytes(scoreFile());
  ASSERT_EQ(written.size(), 3202u);
  std::vector<std::uint8_t> record0;
  appendRecord(record0, 0, u"ABCDEFGH", 77);
  EXPECT_TRUE(std::equal(record0.begin(), record0.end(), written.begin() + 2));
}

TEST_F(ScoreTableTest, UnreadableFileGivesDefaultsAndOptionsOn) {
  std::filesystem::create_directory(scoreFile());
  app::process().musicOn = 0;
  app::process().soundOn = 0;
  ScoreTable table;
  table.insertScore(u"GONE", 5000);
  scores::loadScores(table);
  EXPECT_EQ(app::process().musicOn, 1);
  EXPECT_EQ(app::process().soundOn, 1);
  expectDefault(table, 0);
  EXPECT_FALSE(scores::saveScores(table));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saveFolder.path()), {}), 1);
}

TEST_F(ScoreTableTest, SavingWritesBesideAndRenames) {
  const std::vector<std::uint8_t> old = {1, 1, 2, 3};
  writeBytes(scoreFile(), old);
  const std::string link = saveFolder.file("old-table");
  std::filesystem::create_hard_link(scoreFile(), link);
  ScoreTable table;
  ASSERT_TRUE(scores::saveScores(table));
  EXPECT_EQ(readBytes(link), old);
  EXPECT_EQ(readBytes(scoreFile()).size(), 3202u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saveFolder.path()), {}), 2);
}

}  // namespace
}  // namespace scores_test
