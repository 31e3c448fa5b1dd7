#include "tools/levels/level_format.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/files.hpp"
#include "platform/problem_report.hpp"

namespace tools {
namespace {

struct KindInfo {
  char letter;
  const char* name;
  // Rows of the kind's picture: the colours its cells may take. Empty has no picture.
  int pictureRows;
};

constexpr std::array<KindInfo, 7> kKinds = {{
    {'.', "empty", 0},
    {'S', "stone", 10},
    {'M', "metal", 10},
    {'G', "gem", 10},
    {'H', "hide", 10},
    {'B', "stable", 10},
    {'F', "fire", 10},
}};

// A decoded map value that no text can express gets this many messages before the rest are
// only counted: a wrong file would otherwise print one line per cell.
constexpr int kMaxValueMessages = 20;

std::string located(const std::string& fileName, int line, const std::string& what) {
  return fileName + ":" + std::to_string(line) + ": " + what;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool readWholeFile(const std::string& path, std::string& content) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

int kindOf(std::int32_t value) { return value / 10; }

bool isStable(std::int32_t value) { return kindOf(value) == static_cast<int>(LevelKind::Stable); }

bool mustBreak(std::int32_t value) {
  const int kind = kindOf(value);
  return kind != static_cast<int>(LevelKind::Empty) && kind != static_cast<int>(LevelKind::Stable);
}

// Whether a level text can hold the value: the game reads other values as empty cells too,
// but a map that holds them was not made from our texts.
bool expressible(std::int32_t value) {
  if (value == 0) return true;
  if (value < 10 || kindOf(value) >= static_cast<int>(kKinds.size())) return false;
  return value % 10 < kKinds[static_cast<std::size_t>(kindOf(value))].pictureRows;
}

// Parses one cell pair. Returns false with a message (without location) when it is not a cell.
bool parseCell(std::string_view token, int position, std::int32_t& value, std::string& message) {
  const std::string where = " (cell " + std::to_string(position) + " of the row)";
  if (token.size() != 2) {
    message = platform::quoted(token) + where + " is not a pair of characters";
    return false;
  }
  if (token == "..") {
    value = 0;
    return true;
  }
  const auto info = std::find_if(kKinds.begin(), kKinds.end(), [&](const KindInfo& k) { return k.letter == token[0]; });
  if (info == kKinds.end()) {
    message = "unknown cell " + platform::quoted(token) + where +
              "; cells are '..' or one of S M G H B F followed by a colour digit 0-9";
    return false;
  }
  if (token[1] < '0' || token[1] > '9') {
    message = platform::quoted(token) + where + ": the second character must be a colour digit 0-9";
    return false;
  }
  const int row = token[1] - '0';
  if (info->pictureRows == 0) {
    message = platform::quoted(token) + where + ": an empty cell has no picture to take row " +
              std::to_string(row) + " of; it is written '..'";
    return false;
  }
  if (row >= info->pictureRows) {
    message = platform::quoted(token) + where + ": the " + info->name + " picture has no row " + std::to_string(row);
    return false;
  }
  const int kind = static_cast<int>(info - kKinds.begin());
  value = kind * 10 + row;
  return true;
}

// Cells a normal ball can strike. The ball is one row high but always tests the row below its
// top too, so it stands in two rows at once: a position is a column and the lower of those two
// rows (1..16; 16 is below the field, where nothing collides). A position is open when neither
// of its cells holds a stable brick still standing; breakable bricks count as open because
// the ball breaks them on its way. From a position the ball touches its own cells, the cell
// above them and the cells beside them. A fire brick it touches blasts its 3 x 3 neighbourhood,
// stable bricks included, which may open new ways; that repeats until nothing changes.
std::array<bool, kLevelCells> reachableCells(const LevelGrid& cells) {
  std::array<bool, kLevelCells> blown{};
  std::array<bool, kLevelCells> reached{};
  std::array<bool, kLevelCells> fired{};
  const auto index = [](int col, int row) { return row * kLevelColumns + col; };
  const auto inField = [](int col, int row) { return col >= 0 && col < kLevelColumns && row >= 0 && row < kLevelRows; };
  const auto blocks = [&](int col, int row) {
    return row < kLevelRows && isStable(cells[static_cast<std::size_t>(index(col, row))]) &&
           !blown[static_cast<std::size_t>(index(col, row))];
  };
  const auto open = [&](int col, int lower) { return lower == kLevelRows || (!blocks(col, lower - 1) && !blocks(col, lower)); };
  const auto touch = [&](int col, int row) {
    if (inField(col, row)) reached[static_cast<std::size_t>(index(col, row))] = true;
  };

  for (bool changed = true; changed;) {
    changed = false;
    constexpr int kPositions = kLevelColumns * (kLevelRows + 1);
    std::array<bool, kPositions> seen{};
    std::vector<std::pair<int, int>> queue;
    for (int col = 0; col < kLevelColumns; ++col) {
      seen[static_cast<std::size_t>(kLevelRows * kLevelColumns + col)] = true;
      queue.emplace_back(col, kLevelRows);
    }
    while (!queue.empty()) {
      const auto [col, lower] = queue.back();
      queue.pop_back();
      for (int row = lower - 2; row <= lower; ++row) touch(col, row);
      touch(col - 1, lower - 1);
      touch(col - 1, lower);
      touch(col + 1, lower - 1);
      touch(col + 1, lower);
      const std::array<std::pair<int, int>, 4> steps = {{{col - 1, lower}, {col + 1, lower}, {col, lower - 1}, {col, lower + 1}}};
      for (const auto& [nextCol, nextLower] : steps) {
        if (nextCol < 0 || nextCol >= kLevelColumns || nextLower < 1 || nextLower > kLevelRows) continue;
        const auto at = static_cast<std::size_t>(nextLower * kLevelColumns + nextCol);
        if (seen[at] || !open(nextCol, nextLower)) continue;
        seen[at] = true;
        queue.emplace_back(nextCol, nextLower);
      }
    }
    for (int row = 0; row < kLevelRows; ++row) {
      for (int col = 0; col < kLevelColumns; ++col) {
        const auto at = static_cast<std::size_t>(index(col, row));
        if (!reached[at] || fired[at] || kindOf(cells[at]) != static_cast<int>(LevelKind::Fire)) continue;
        fired[at] = true;
        changed = true;
        for (int r = row - 1; r <= row + 1; ++r) {
          for (int c = col - 1; c <= col + 1; ++c) {
            if (!inField(c, r)) continue;
            touch(c, r);
            blown[static_cast<std::size_t>(index(c, r))] = true;
          }
        }
      }
    }
  }
  return reached;
}

}  // namespace

std::string levelFileName(int level) {
  char name[32];
  std::snprintf(name, sizeof name, "level%02d.txt", level);
  return name;
}

bool parseLevelText(std::string_view text, const std::string& fileName, LevelText& level,
                    std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  level = LevelText{};
  int rows = 0;
  int lineNumber = 0;
  bool reportedExtraRows = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    std::vector<std::string_view> tokens;
    for (std::size_t at = 0; at < line.size();) {
      while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
      const std::size_t from = at;
      while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
      if (at > from) tokens.push_back(line.substr(from, at - from));
    }
    if (tokens.empty()) continue;
    if (rows == kLevelRows) {
      if (!reportedExtraRows) errors.push_back(located(fileName, lineNumber, "more than 16 rows; a level has 16"));
      reportedExtraRows = true;
      continue;
    }
    level.rowLines[static_cast<std::size_t>(rows)] = lineNumber;
    if (tokens.size() != static_cast<std::size_t>(kLevelColumns)) {
      errors.push_back(located(fileName, lineNumber,
                               "row " + std::to_string(rows) + " has " + std::to_string(tokens.size()) +
                                   " cells; a row has 12"));
    }
    const std::size_t count = std::min(tokens.size(), static_cast<std::size_t>(kLevelColumns));
    for (std::size_t col = 0; col < count; ++col) {
      std::int32_t value = 0;
      std::string message;
      if (parseCell(tokens[col], static_cast<int>(col) + 1, value, message)) {
        level.cells[static_cast<std::size_t>(rows * kLevelColumns) + col] = value;
      } else {
        errors.push_back(located(fileName, lineNumber, message));
      }
    }
    ++rows;
  }
  level.lastLine = std::max(lineNumber, 1);
  if (rows < kLevelRows) {
    errors.push_back(located(fileName, level.lastLine,
                             "the grid ends after " + std::to_string(rows) + " rows; a level has 16"));
  }
  return errors.size() == errorsBefore;
}

bool checkLevelRules(const LevelText& level, const std::string& fileName, std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  const int bricks = static_cast<int>(std::count_if(level.cells.begin(), level.cells.end(), [](std::int32_t v) { return v != 0; }));
  const int lastRowLine = level.rowLines[kLevelRows - 1];
  if (bricks < kMinimumBricks) {
    errors.push_back(located(fileName, lastRowLine,
                             "only " + std::to_string(bricks) + " bricks; a level needs at least 6 to hide its items in"));
  }
  if (std::none_of(level.cells.begin(), level.cells.end(), mustBreak)) {
    errors.push_back(located(fileName, lastRowLine, "no brick that must be broken; stable bricks alone end the level at once"));
    return false;
  }
  const auto reached = reachableCells(level.cells);
  for (int row = 0; row < kLevelRows; ++row) {
    for (int col = 0; col < kLevelColumns; ++col) {
      const auto at = static_cast<std::size_t>(row * kLevelColumns + col);
      if (!mustBreak(level.cells[at]) || reached[at]) continue;
      const KindInfo& info = kKinds[static_cast<std::size_t>(kindOf(level.cells[at]))];
      errors.push_back(located(fileName, level.rowLines[static_cast<std::size_t>(row)],
                               std::string("the ") + info.name + " brick in cell " + std::to_string(col + 1) +
                                   " of the row cannot be reached by a ball: stable bricks shut it in"));
    }
  }
  return errors.size() == errorsBefore;
}

bool checkPlayedLevelRules(const LevelText& level, const std::string& fileName, std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  for (int row = 1; row < kLevelRows; ++row) {
    for (int col = 0; col < kLevelColumns; ++col) {
      const auto at = static_cast<std::size_t>(row * kLevelColumns + col);
      if (!isStable(level.cells[at]) || isStable(level.cells[at - kLevelColumns])) {
        continue;
      }
      errors.push_back(located(fileName, level.rowLines[static_cast<std::size_t>(row)],
                               "the stable brick in cell " + std::to_string(col + 1) +
                                   " of the row has room above it: a ball could bounce there forever; in a played"
                                   " level stable bricks hang from the top row"));
    }
  }
  return errors.size() == errorsBefore;
}

bool readLevelFolder(const std::string& folder, BrickMap& map, std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  std::error_code error;
  std::vector<std::string> names;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".txt") names.push_back(it->path().filename().string());
  }
  if (error) {
    errors.push_back(folder + ": cannot read the level folder: " + error.message());
    return false;
  }
  std::sort(names.begin(), names.end());
  std::array<bool, kLevelCount> present{};
  for (const std::string& name : names) {
    int level = 0;
    for (int candidate = 1; candidate <= kLevelCount; ++candidate) {
      if (name == levelFileName(candidate)) level = candidate;
    }
    if (level == 0) {
      errors.push_back(joinPath(folder, name) + ": not one of the 50 levels; they are named level01.txt .. level50.txt");
      continue;
    }
    present[static_cast<std::size_t>(level - 1)] = true;
  }
  for (int level = 1; level <= kLevelCount; ++level) {
    const std::string path = joinPath(folder, levelFileName(level));
    if (!present[static_cast<std::size_t>(level - 1)]) {
      errors.push_back(path + ": level " + std::to_string(level) + " is missing");
      continue;
    }
    std::string content;
    if (!readWholeFile(path, content)) {
      errors.push_back(path + ": cannot read the file");
      continue;
    }
    LevelText text;
    if (parseLevelText(content, path, text, errors) && checkLevelRules(text, path, errors) &&
        (level > kPlayedLevels || checkPlayedLevelRules(text, path, errors))) {
      map[static_cast<std::size_t>(level - 1)] = text.cells;
    }
  }
  return errors.size() == errorsBefore;
}

std::string formatLevelText(int level, const LevelGrid& cells) {
  std::ostringstream out;
  out << "# Level " << level << "\n"
      << "# 16 rows of 12 cells, top row first. A cell is '..' (empty) or a letter and a colour digit:\n"
      << "#   S stone (1 hit)  M metal (2 hits)  G gem (3 hits)  H hide (2 hits, unseen until hit)\n"
      << "#   B stable (need not be broken)  F fire (explodes its 3 x 3 neighbourhood)\n"
      << "#   colours: 0 red 1 orange 2 yellow 3 lime 4 green 5 cyan 6 blue 7 violet 8 magenta 9 silver\n";
  for (int row = 0; row < kLevelRows; ++row) {
    for (int col = 0; col < kLevelColumns; ++col) {
      const std::int32_t value = cells[static_cast<std::size_t>(row * kLevelColumns + col)];
      if (col > 0) out << ' ';
      if (value == 0) {
        out << "..";
      } else {
        out << kKinds[static_cast<std::size_t>(kindOf(value))].letter << static_cast<char>('0' + value % 10);
      }
    }
    out << '\n';
  }
  return out.str();
}

std::vector<std::uint8_t> encodeBrickMap(const BrickMap& map) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kBrickMapBytes);
  for (const LevelGrid& level : map) {
    for (const std::int32_t value : level) {
      const auto bits = static_cast<std::uint32_t>(value);
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
  }
  return bytes;
}

bool decodeBrickMap(const std::vector<std::uint8_t>& bytes, const std::string& fileName, BrickMap& map,
                    std::vector<std::string>& errors) {
  if (bytes.size() != kBrickMapBytes) {
    errors.push_back(fileName + ": " + std::to_string(bytes.size()) + " bytes; a brick map has 38400");
    return false;
  }
  int bad = 0;
  for (std::size_t cell = 0; cell < static_cast<std::size_t>(kLevelCount) * kLevelCells; ++cell) {
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[cell * 4]) | static_cast<std::uint32_t>(bytes[cell * 4 + 1]) << 8 |
                               static_cast<std::uint32_t>(bytes[cell * 4 + 2]) << 16 |
                               static_cast<std::uint32_t>(bytes[cell * 4 + 3]) << 24;
    const auto value = static_cast<std::int32_t>(bits);
    if (!expressible(value)) {
      if (bad < kMaxValueMessages) {
        const std::size_t level = cell / kLevelCells;
        const std::size_t row = cell % kLevelCells / kLevelColumns;
        const std::size_t col = cell % kLevelColumns;
        errors.push_back(fileName + ": level " + std::to_string(level + 1) + ", row " + std::to_string(row) + ", column " +
                         std::to_string(col) + " (byte " + std::to_string(cell * 4) + "): value " + std::to_string(value) +
                         " is not a brick");
      }
      ++bad;
      continue;
    }
    map[cell / kLevelCells][cell % kLevelCells] = value;
  }
  if (bad > kMaxValueMessages) {
    errors.push_back(fileName + ": and " + std::to_string(bad - kMaxValueMessages) + " more values that are not bricks");
  }
  return bad == 0;
}

bool compileLevelFolder(const std::string& folder, const std::string& outPath, std::vector<std::string>& errors) {
  BrickMap map{};
  if (!readLevelFolder(folder, map, errors)) return false;
  const platform::FileWrite write = platform::writeFileAtomically(outPath, encodeBrickMap(map));
  if (!write.written) errors.push_back(outPath + ": cannot write the file: " + write.reason);
  return write.written;
}

bool decompileBrickMapFile(const std::string& inPath, const std::string& outFolder, std::vector<std::string>& errors) {
  std::string content;
  if (!readWholeFile(inPath, content)) {
    errors.push_back(inPath + ": cannot read the file");
    return false;
  }
  BrickMap map{};
  if (!decodeBrickMap(std::vector<std::uint8_t>(content.begin(), content.end()), inPath, map, errors)) return false;
  std::error_code error;
  std::filesystem::create_directories(outFolder, error);
  if (error) {
    errors.push_back(outFolder + ": cannot make the folder: " + error.message());
    return false;
  }
  // Every text is written before any is put in place, so a failure leaves the old set whole.
  std::vector<std::string> written;
  for (int level = 1; level <= kLevelCount; ++level) {
    const std::string path = joinPath(outFolder, levelFileName(level));
    std::ofstream file(path + ".tmp", std::ios::binary | std::ios::trunc);
    file << formatLevelText(level, map[static_cast<std::size_t>(level - 1)]);
    file.close();
    written.push_back(path);
    if (!file) {
      errors.push_back(path + ": cannot write the file");
      for (const std::string& done : written) std::filesystem::remove(done + ".tmp", error);
      return false;
    }
  }
  for (const std::string& path : written) {
    std::filesystem::rename(path + ".tmp", path, error);
    if (error) {
      errors.push_back(path + ": cannot replace the file");
      return false;
    }
  }
  return true;
}

}  // namespace tools
