// Where the game's files live and how they are read and written.
// Read-only data (pictures, sounds, the level file) lies in the data folder; the player's
// files (saved game, score table) in the save folder. Both end in '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The folder of the running executable, ending in '/', cut at the last separator.
std::string folderOfExecutable();

// Default: folderOfExecutable(). A folder without a trailing '/' gets one.
void setDataFolder(std::string folder);
const std::string& dataFolder();
std::string dataPath(std::string_view relative);

// Default: folderOfExecutable() when that folder is writable, otherwise
// $XDG_DATA_HOME/zebrolite/ (or ~/.local/share/zebrolite/), created on demand.
void setSaveFolder(std::string folder);
const std::string& saveFolder();
std::string savePath(std::string_view relative);

struct FileRead {
  bool opened = false;      // a handle was obtained
  bool readFailed = false;  // the read itself reported an error
  std::vector<std::uint8_t> bytes;  // what was read, at most the bytes asked for
};

// Opens `path` for reading and reads at most maxBytes. With createIfMissing, a missing file
// is first created empty, as the level map, the saved game and the score table expect.
FileRead readFile(const std::string& path, std::size_t maxBytes, bool createIfMissing = false);

// Writes a temporary file beside `path`, flushes it and renames it over `path`, so that a
// crash or a full disk leaves either the old or the new file, never half of one.
bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Creates the folder and its parents; true when it exists afterwards.
bool makeFolders(const std::string& folder);

}  // namespace platform
