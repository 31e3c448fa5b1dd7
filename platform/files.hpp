// Where the game's files live and how they are read and written.
// Read-only data (pictures, sounds, the level file) lies in the data folder; the player's
// files (saved game, score table) in the save folder. Both end in '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
  bool readFailed = false;  // the read itself reported an error, or the path is no regular file
  // Something is at the path, even when it could not be opened (no permission, a folder);
  // also when the folder may not be searched, so that nobody can tell it is not there.
  bool present = false;
  std::vector<std::uint8_t> bytes;  // what was read, at most the bytes asked for
  std::uint64_t size = 0;   // the whole file's size as the system reports it
  std::string reason;       // why it was not opened or not read, in the system's words

  // There, but what it holds could not be had.
  bool unreadable() const { return present && (!opened || readFailed); }
};

// Opens `path` for reading and reads at most maxBytes. With createIfMissing, a missing file
// is first created empty, as the level map, the saved game and the score table expect.
// Only a regular file is read: a FIFO, a folder, a device or a socket in its place is opened
// without waiting for a writer and reported as a failed read ("not a regular file"), since
// reading one could block the game for ever or never end.
FileRead readFile(const std::string& path, std::size_t maxBytes, bool createIfMissing = false);

// The same rule for a reader that streams the file itself (the picture decoder): a stream
// open on a regular file, or null with `reason` saying why not.
std::FILE* openFileForReading(const std::string& path, std::string& reason);

struct FileWrite {
  bool written = false;  // the new file is completely in place
  std::string reason;    // when not: the system's words ("No space left on device", ...)
};

// Writes a temporary file beside `path` (its name `path` + "." + six letters or digits),
// flushes it, renames it over `path` and flushes the folder, so that a crash, a power cut or
// a full disk leaves either the old or the new file, never half of one. When the new file
// cannot be completely written the old one stays as it was and `reason` says why.
FileWrite writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Removes, from `folder`, the temporary files a killed writeFileAtomically left behind for
// the given file names: regular files named exactly NAME.XXXXXX (six ASCII letters or
// digits), nothing else. A name may hold one '*', which stands for one or more characters
// ("Unsent-*.zebreplay"). Only the one copy that owns the folder may call it, since another
// copy's write in progress looks the same. Returns how many were removed.
int removeLeftoverTemporaries(const std::string& folder, std::span<const std::string_view> names);

// Creates the folder and its parents; true when it exists afterwards.
bool makeFolders(const std::string& folder);

// The names (not paths) of the regular files in `folder` that start with `prefix` and end
// with `suffix`, sorted; empty when the folder cannot be read.
std::vector<std::string> filesInFolder(const std::string& folder, std::string_view prefix, std::string_view suffix);

// True when the file is gone afterwards (also when it was never there).
bool removeFile(const std::string& path);

// Renames within one folder, replacing `to`; true when it was done. The folder is flushed.
bool renameFile(const std::string& from, const std::string& to);

}  // namespace platform
