// The level texts of data/levels and the "BrickMap.dat" they compile to: parsing, checking,
// encoding and decoding. levelc and the tests share it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

inline constexpr int kLevelCount = 50;
inline constexpr int kLevelRows = 16;
inline constexpr int kLevelColumns = 12;
inline constexpr int kLevelCells = kLevelRows * kLevelColumns;
// 50 levels x 192 cells x 4 bytes, no header.
inline constexpr std::size_t kBrickMapBytes = static_cast<std::size_t>(kLevelCount) * kLevelCells * 4;
// Bricks a level needs at least: the game hides up to six items in distinct bricks.
inline constexpr int kMinimumBricks = 6;

// Cell values are kind x 10 + picture row, kinds numbered as the game numbers them.
enum class LevelKind : std::int32_t { Empty = 0, Stone = 1, Metal = 2, Gem = 3, Hide = 4, Stable = 5, Fire = 6 };

// One level: cell values row by row from the top, each row from the left.
using LevelGrid = std::array<std::int32_t, kLevelCells>;
using BrickMap = std::array<LevelGrid, kLevelCount>;

struct LevelText {
  LevelGrid cells{};
  // Line (from 1) of each grid row in its file, for messages about a row.
  std::array<int, kLevelRows> rowLines{};
  int lastLine = 1;
};

// "level07.txt" for 7.
std::string levelFileName(int level);

// Parses one level text. Every problem is appended to errors as "FILE:LINE: what"; the result
// is true when there was none.
bool parseLevelText(std::string_view text, const std::string& fileName, LevelText& level,
                    std::vector<std::string>& errors);

// Checks what play needs of a parsed level: enough bricks for the hidden items, one brick that
// must be broken, and every such brick reachable by a normal ball (stable bricks shut nothing in
// for good, unless a fire brick that the ball reaches blasts them open).
bool checkLevelRules(const LevelText& level, const std::string& fileName, std::vector<std::string>& errors);

// The levels a game plays (1 to 3) must not trap a ball: a stable brick lies in the top row
// or under another stable brick. With open space above it, a ball can bounce between its
// top and the ceiling forever, out of the paddle's reach, where no random rebound changes
// its path.
inline constexpr int kPlayedLevels = 3;
bool checkPlayedLevelRules(const LevelText& level, const std::string& fileName, std::vector<std::string>& errors);

// Reads level01.txt .. level50.txt of a folder and checks each. Other ".txt" files are extra
// levels and errors; files of other types (a README) are left alone.
bool readLevelFolder(const std::string& folder, BrickMap& map, std::vector<std::string>& errors);

// The text of one level as levelc writes it back: a legend comment and the grid.
std::string formatLevelText(int level, const LevelGrid& cells);

// Signed 32-bit little-endian cells, level by level.
std::vector<std::uint8_t> encodeBrickMap(const BrickMap& map);
// Refuses a file of the wrong size and any value that no level text can express.
bool decodeBrickMap(const std::vector<std::uint8_t>& bytes, const std::string& fileName, BrickMap& map,
                    std::vector<std::string>& errors);

// levelc's commands. Each writes nothing unless everything is valid; errors as above.
bool compileLevelFolder(const std::string& folder, const std::string& outPath, std::vector<std::string>& errors);
bool decompileBrickMapFile(const std::string& inPath, const std::string& outFolder, std::vector<std::string>& errors);

}  // namespace tools
