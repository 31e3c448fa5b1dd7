#include "tools/levels/level_format.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/support/scratch_folder.hpp"

namespace {

using tools::BrickMap;
using tools::LevelGrid;

std::string sourceLevels() {
  const char* source = std::getenv("ZEBROLITE_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/data/levels";
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream out;
  out << file.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

// One comment line, then 16 rows: a stone row at the top (row 0 is line 2) and the given rows.
std::string levelText(const std::vector<std::pair<int, std::string>>& rows) {
  std::string text = "# test level\n";
  for (int row = 0; row < 16; ++row) {
    std::string line = row == 0 ? "S0 S1 S2 S3 S4 S5 S6 S7 S8 S9 S0 S1" : ".. .. .. .. .. .. .. .. .. .. .. ..";
    for (const auto& [at, replacement] : rows) {
      if (at == row) line = replacement;
    }
    text += line + "\n";
  }
  return text;
}

std::vector<std::string> parseErrors(const std::string& text, bool withRules) {
  tools::LevelText level;
  std::vector<std::string> errors;
  if (tools::parseLevelText(text, "t.txt", level, errors) && withRules) tools::checkLevelRules(level, "t.txt", errors);
  return errors;
}

void fillFolder(const std::string& folder) {
  for (int level = 1; level <= 50; ++level) writeFile(folder + tools::levelFileName(level), levelText({}));
}

TEST(LevelFormat, TheShippedLevelsRoundTripByteForByte) {
  testing_support::ScratchFolder scratch;
  std::vector<std::string> errors;
  ASSERT_TRUE(tools::compileLevelFolder(sourceLevels(), scratch.file("a.dat"), errors)) << errors.front();
  const std::string first = readFile(scratch.file("a.dat"));
  EXPECT_EQ(first.size(), 38400u);
  ASSERT_TRUE(tools::decompileBrickMapFile(scratch.file("a.dat"), scratch.file("texts"), errors));
  ASSERT_TRUE(tools::compileLevelFolder(scratch.file("texts"), scratch.file("b.dat"), errors));
  EXPECT_EQ(readFile(scratch.file("b.dat")), first);
  // Written beside and renamed: nothing of the writing is left.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.dat", "texts"}));
}

TEST(LevelFormat, EveryExpressibleValueSurvivesTextAndBytes) {
  std::vector<std::int32_t> values = {0};
  for (int kind = 1; kind <= 6; ++kind) {
    for (int colour = 0; colour <= 9; ++colour) values.push_back(kind * 10 + colour);
  }
  BrickMap map{};
  for (std::size_t level = 0; level < map.size(); ++level) {
    for (std::size_t cell = 0; cell < map[level].size(); ++cell) map[level][cell] = values[(level * 7 + cell) % values.size()];
  }
  std::vector<std::string> errors;
  BrickMap decoded{};
  ASSERT_TRUE(tools::decodeBrickMap(tools::encodeBrickMap(map), "m.dat", decoded, errors));
  for (std::size_t level = 0; level < map.size(); ++level) {
    tools::LevelText text;
    ASSERT_TRUE(tools::parseLevelText(tools::formatLevelText(static_cast<int>(level) + 1, decoded[level]), "t", text, errors));
    EXPECT_EQ(text.cells, map[level]);
  }
}

TEST(LevelFormat, CellsAreLittleEndianAtLevelRowAndColumn) {
  BrickMap map{};
  map[1][3 * 12 + 4] = 67;
  map[49][15 * 12 + 11] = 0x01020304;
  const std::vector<std::uint8_t> bytes = tools::encodeBrickMap(map);
  ASSERT_EQ(bytes.size(), 38400u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 928, bytes.begin() + 932), (std::vector<std::uint8_t>{67, 0, 0, 0}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()), (std::vector<std::uint8_t>{4, 3, 2, 1}));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 38400 - 5);
}

struct BadText {
  const char* name;
  std::string text;
  std::string expected;
};

void PrintTo(const BadText& bad, std::ostream* out) { *out << bad.name; }

class LevelTextErrors : public ::testing::TestWithParam<BadText> {};

TEST_P(LevelTextErrors, NameTheFileAndLine) {
  const std::vector<std::string> errors = parseErrors(GetParam().text, true);
  ASSERT_EQ(errors.size(), 1u) << (errors.empty() ? "" : errors[0]);
  EXPECT_EQ(errors[0].rfind(GetParam().expected, 0), 0u) << errors[0];
}

const std::string kRow = "S0 S0 S0 S0 S0 S0 S0 S0 S0 S0 S0 ";
std::string withoutRow(int row) {
  std::string text = levelText({});
  std::size_t at = 0;
  for (int line = 0; line <= row; ++line) at = text.find('\n', at) + 1;
  return text.erase(at, text.find('\n', at) + 1 - at);
}

std::vector<BadText> badTexts() {
  return {BadText{"UnknownLetter", levelText({{5, kRow + "X3"}}), "t.txt:7: unknown cell 'X3' (cell 12 of the row)"},
        BadText{"LowerCase", levelText({{5, kRow + "s3"}}), "t.txt:7: unknown cell 's3'"},
        BadText{"ColourNotADigit", levelText({{2, kRow + "GX"}}), "t.txt:4: 'GX' (cell 12 of the row): the second character"},
        BadText{"EmptyWithColour", levelText({{2, kRow + ".5"}}), "t.txt:4: '.5' (cell 12 of the row): an empty cell has no picture to take row 5 of"},
        BadText{"NotAPair", levelText({{9, kRow + "S10"}}), "t.txt:11: 'S10' (cell 12 of the row) is not a pair"},
        // What is not printable ASCII is shown as hex, and a long token only in part.
        BadText{"Binary", levelText({{2, kRow + "S\x1B"}}), "t.txt:4: 'S\\x1B' (cell 12 of the row): the second character"},
        BadText{"NotUtf8Printed", levelText({{2, kRow + "\xC3\xA9"}}), "t.txt:4: unknown cell '\\xC3\\xA9' (cell 12 of the row)"},
        BadText{"MegabyteLong", levelText({{5, kRow + std::string(1 << 20, 'S')}}),
                "t.txt:7: '" + std::string(32, 'S') + "...' (cell 12 of the row) is not a pair of characters"},
        BadText{"ShortRow", levelText({{3, "S0 S0 S0 S0 S0 S0 S0 S0 S0 S0 S0"}}), "t.txt:5: row 3 has 11 cells; a row has 12"},
        BadText{"LongRow", levelText({{15, kRow + "S0 S0"}}), "t.txt:17: row 15 has 13 cells"},
        BadText{"FifteenRows", withoutRow(8) + "# trailing comment\n", "t.txt:17: the grid ends after 15 rows"},
        BadText{"SeventeenRows", levelText({}) + "\n" + kRow + "S0\n", "t.txt:19: more than 16 rows"},
        BadText{"TooFewBricks", levelText({{0, "S0 S0 S0 S0 S0 .. .. .. .. .. .. .."}}), "t.txt:17: only 5 bricks"},
        BadText{"OnlyStable", levelText({{0, "B0 B0 B0 B0 B0 B0 B0 .. .. .. .. .."}}), "t.txt:17: no brick that must be broken"},
        BadText{"ShutInByStable",
                levelText({{0, "B9 B9 B9 .. .. .. .. .. .. .. .. .."},
                           {1, "B9 G0 B9 .. .. .. S0 S0 S0 S0 S0 S0"},
                           {2, "B9 B9 B9 .. .. .. .. .. .. .. .. .."}}),
                "t.txt:3: the gem brick in cell 2 of the row cannot be reached"},
        BadText{"CorridorOneRowHigh",
                levelText({{4, ".. .. .. .. .. .. .. B9 B9 B9 .. .."},
                           {5, ".. .. .. .. .. .. .. B9 S5 S5 .. .."},
                           {6, ".. .. .. .. .. .. .. B9 B9 B9 .. .."}}),
                "t.txt:7: the stone brick in cell 9 of the row cannot be reached"}};
}

INSTANTIATE_TEST_SUITE_P(LevelFormat, LevelTextErrors, ::testing::ValuesIn(badTexts()),
                         [](const ::testing::TestParamInfo<BadText>& param) { return param.param.name; });

TEST(LevelFormat, AcceptsCommentsBlankLinesCarriageReturnsAndOpenings) {
  std::string text = levelText({{0, "S0 S0 S0 S0 S0 S0 S0 S0 S0 S0 S0 S0   # the top row"}});
  text.insert(0, "\r\n\n");
  EXPECT_TRUE(parseErrors(text, true).empty());
  // A vault is opened by a fire brick in its wall; a shaft one column wide lets the ball in.
  const std::string vault = levelText({{0, "B9 B9 B9 .. .. .. .. .. .. .. .. .."},
                                       {1, "B9 G0 B9 .. .. .. .. .. .. .. .. .."},
                                       {2, "B9 F0 B9 .. .. .. .. .. .. B9 G3 B9"},
                                       {3, "S0 S0 S0 S0 S0 S0 .. .. .. B9 S0 B9"}});
  EXPECT_TRUE(parseErrors(vault, true).empty()) << parseErrors(vault, true).front();
}

TEST(LevelFormat, FolderErrorsNameTheFileAndNothingIsWritten) {
  testing_support::ScratchFolder scratch;
  const std::string folder = scratch.file("levels/");
  std::filesystem::create_directory(folder);
  fillFolder(folder);
  writeFile(folder + "README.md", "not a level");
  writeFile(scratch.file("out.dat"), "old");
  std::vector<std::string> errors;
  ASSERT_TRUE(tools::compileLevelFolder(folder, scratch.file("out.dat"), errors));
  EXPECT_EQ(readFile(scratch.file("out.dat")).size(), 38400u);

  writeFile(scratch.file("out.dat"), "old");
  std::filesystem::remove(folder + "level07.txt");
  writeFile(folder + "level51.txt", levelText({}));
  writeFile(folder + "level3.txt", levelText({}));
  writeFile(folder + "level12.txt", levelText({{4, kRow + "Q1"}}));
  EXPECT_FALSE(tools::compileLevelFolder(folder, scratch.file("out.dat"), errors));
  EXPECT_EQ(errors, (std::vector<std::string>{
                        folder + "level3.txt: not one of the 50 levels; they are named level01.txt .. level50.txt",
                        folder + "level51.txt: not one of the 50 levels; they are named level01.txt .. level50.txt",
                        folder + "level07.txt: level 7 is missing",
                        folder + "level12.txt:6: unknown cell 'Q1' (cell 12 of the row); cells are '..' or one of S M G H B F "
                                 "followed by a colour digit 0-9",
                    }));
  EXPECT_EQ(readFile(scratch.file("out.dat")), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 2);
}

TEST(LevelFormat, DecompilingRefusesValuesNoTextCanHoldAndWritesNothing) {
  testing_support::ScratchFolder scratch;
  const std::vector<std::pair<std::int32_t, const char*>> cases = {
      {75, "m.dat: level 2, row 1, column 2 (byte 824): value 75 is not a brick"},
      {5, "m.dat: level 2, row 1, column 2 (byte 824): value 5 is not a brick"},
      {-3, "m.dat: level 2, row 1, column 2 (byte 824): value -3 is not a brick"},
  };
  for (const auto& [value, message] : cases) {
    BrickMap map{};
    map[1][14] = value;
    writeFile(scratch.file("m.dat"), "");
    const std::vector<std::uint8_t> bytes = tools::encodeBrickMap(map);
    std::ofstream(scratch.file("m.dat"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 38400);
    std::vector<std::string> errors;
    EXPECT_FALSE(tools::decompileBrickMapFile(scratch.file("m.dat"), scratch.file("out"), errors));
    EXPECT_EQ(errors, std::vector<std::string>{std::string(scratch.path()) + message});
    EXPECT_FALSE(std::filesystem::exists(scratch.file("out")));
  }
  std::vector<std::string> errors;
  BrickMap map{};
  EXPECT_FALSE(tools::decodeBrickMap(std::vector<std::uint8_t>(38399), "m.dat", map, errors));
  EXPECT_FALSE(tools::decodeBrickMap(std::vector<std::uint8_t>(38404), "m.dat", map, errors));
  EXPECT_EQ(errors.back(), "m.dat: 38404 bytes; a brick map has 38400");
  errors.clear();
  EXPECT_FALSE(tools::decodeBrickMap(std::vector<std::uint8_t>(38400, 0xFF), "m.dat", map, errors));
  EXPECT_EQ(errors.size(), 21u);
  EXPECT_EQ(errors.back(), "m.dat: and 9580 more values that are not bricks");
}

TEST(LevelFormat, ShippedLevelsAreDistinctMeetEveryKindEarlyAndLeaveRoomAbovePaddle) {
  BrickMap map{};
  std::vector<std::string> errors;
  ASSERT_TRUE(tools::readLevelFolder(sourceLevels(), map, errors)) << errors.front();
  EXPECT_EQ(std::set<LevelGrid>(map.begin(), map.end()).size(), 50u);
  std::set<int> kindsByLevelThree;
  for (int level = 0; level < 3; ++level) {
    for (const std::int32_t value : map[static_cast<std::size_t>(level)]) kindsByLevelThree.insert(value / 10);
  }
  EXPECT_EQ(kindsByLevelThree, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));
  for (const LevelGrid& level : map) {
    EXPECT_TRUE(std::all_of(level.begin() + 13 * 12, level.end(), [](std::int32_t v) { return v == 0; }));
  }
}

}  // namespace

namespace {

TEST(LevelFormat, PlayedLevelsHangStableBricksFromTheTopRow) {
  const auto errorsOf = [](const std::string& text) {
    tools::LevelText level;
    std::vector<std::string> errors;
    EXPECT_TRUE(tools::parseLevelText(text, "t.txt", level, errors));
    tools::checkPlayedLevelRules(level, "t.txt", errors);
    return errors;
  };
  // A stable roof and a stable column hanging from it are safe.
  EXPECT_TRUE(errorsOf(levelText({{0, "B0 B1 .. .. .. .. .. .. .. .. B2 B3"}, {1, "B0 .. .. .. .. .. .. .. .. .. .. B3"}})).empty());
  // A stable bumper in open space can trap a ball between its top and the ceiling.
  const auto errors = errorsOf(levelText({{9, ".. .. .. .. .. B9 .. .. .. .. .. .."}}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("t.txt:11:"), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find("cell 6"), std::string::npos) << errors[0];
}

}  // namespace
