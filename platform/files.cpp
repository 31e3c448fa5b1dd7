#include "platform/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace platform {
namespace {

std::string withSlash(std::string folder) {
  if (folder.empty()) return "./";
  if (folder.back() != '/') folder.push_back('/');
  return folder;
}

std::optional<std::string>& dataFolderSetting() {
  static std::optional<std::string> folder;
  return folder;
}

std::optional<std::string>& saveFolderSetting() {
  static std::optional<std::string> folder;
  return folder;
}

std::string xdgDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return withSlash(xdg) + "zebrolite/";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return withSlash(home) + ".local/share/zebrolite/";
  return "/tmp/zebrolite-" + std::to_string(getuid()) + "/";
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string folderOfExecutable() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  std::string path(buffer, static_cast<std::size_t>(n));
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

void setDataFolder(std::string folder) { dataFolderSetting() = withSlash(std::move(folder)); }

const std::string& dataFolder() {
  if (!dataFolderSetting()) {
    // The build's game folder holds its data beside the executable; an installed game keeps
    // it in <prefix>/share/zebrolite, found from <prefix>/bin.
    const std::string beside = folderOfExecutable();
    const std::string installed = beside + "../share/zebrolite/";
    if (!isFolder(beside + "image") && isFolder(installed + "image")) {
      std::error_code ignored;
      dataFolderSetting() = withSlash(std::filesystem::weakly_canonical(installed, ignored).string());
    } else {
      dataFolderSetting() = beside;
    }
  }
  return *dataFolderSetting();
}

std::string dataPath(std::string_view relative) { return dataFolder() + std::string(relative); }

void setSaveFolder(std::string folder) { saveFolderSetting() = withSlash(std::move(folder)); }

const std::string& saveFolder() {
  if (!saveFolderSetting()) {
    // The player's files lie beside the game only where its data does too (a game folder
    // unpacked or built in place) and the folder is writable.
    const std::string beside = folderOfExecutable();
    if (dataFolder() == beside && ::access(beside.c_str(), W_OK) == 0) {
      saveFolderSetting() = beside;
    } else {
      saveFolderSetting() = xdgDataFolder();
    }
  }
  return *saveFolderSetting();
}

std::string savePath(std::string_view relative) {
  makeFolders(saveFolder());
  return saveFolder() + std::string(relative);
}

FileRead readFile(const std::string& path, std::size_t maxBytes, bool createIfMissing) {
  FileRead result;
  const int flags = O_RDONLY | O_CLOEXEC | (createIfMissing ? O_CREAT : 0);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return result;
  result.opened = true;
  // A regular file is read into one buffer of its size and a byte more (to see the end):
  // growing a buffer while reading a megabyte of music would hold two copies at once.
  // Anything else grows in chunks, so that a generous limit costs nothing for a small file.
  constexpr std::size_t kChunk = 64 * 1024;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    result.bytes.resize(std::min(static_cast<std::size_t>(info.st_size) + 1, maxBytes));
  }
  std::size_t done = 0;
  while (done < maxBytes) {
    if (result.bytes.size() == done) result.bytes.resize(done + std::min(kChunk, maxBytes - done));
    const ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.readFailed = true;
      break;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  result.bytes.resize(done);
  ::close(fd);
  return result;
}

bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
  ::fchmod(fd, 0644);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool makeFolders(const std::string& folder) {
  std::string partial;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    partial.push_back(folder[i]);
    if (folder[i] == '/' && partial.size() > 1) ::mkdir(partial.c_str(), 0755);
  }
  if (!partial.empty() && partial.back() != '/') ::mkdir(partial.c_str(), 0755);
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace platform
