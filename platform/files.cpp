#include "platform/files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
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

// mkstemp's template, and the shape of the names it makes: six ASCII letters or digits.
constexpr std::string_view kTemporaryTemplate = ".XXXXXX";

// A name as removeLeftoverTemporaries takes it: exact, or with one '*' for one or more
// characters.
bool nameMatches(std::string_view entry, std::string_view name) {
  const std::size_t star = name.find('*');
  if (star == std::string_view::npos) return entry == name;
  const std::string_view before = name.substr(0, star);
  const std::string_view after = name.substr(star + 1);
  return entry.size() > before.size() + after.size() && entry.starts_with(before) && entry.ends_with(after);
}

bool isTemporaryOf(std::string_view entry, std::string_view name) {
  if (entry.size() <= kTemporaryTemplate.size()) return false;
  const std::size_t cut = entry.size() - kTemporaryTemplate.size();
  if (entry[cut] != '.' || !nameMatches(entry.substr(0, cut), name)) return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(cut) + 1, entry.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

// Only a name that certainly leads nowhere counts as missing.
bool somethingAt(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

enum class Opening { Regular, NotOpened, NotRegular };

// Opens without waiting (a FIFO without a writer would block the open itself), then keeps
// only a regular file, switched back to blocking reads.
Opening openRegular(const std::string& path, int flags, int& fd, std::string& reason) {
  fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) {
    reason = std::strerror(errno);
    return Opening::NotOpened;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    reason = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file";
    ::close(fd);
    fd = -1;
    return Opening::NotRegular;
  }
  const int status = ::fcntl(fd, F_GETFL);
  if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  return Opening::Regular;
}

// 0, or the errno of the write that failed.
int writeAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// A rename is only durable once the folder that holds the name is: without this a power cut
// can lose the new file and the old one with it. A folder that cannot be synced (some
// network file systems refuse) changes nothing the caller could mend: the file is in place.
void syncFolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
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
  int fd = -1;
  const Opening opening = openRegular(path, O_RDONLY | (createIfMissing ? O_CREAT : 0), fd, result.reason);
  result.opened = opening != Opening::NotOpened;
  result.readFailed = opening == Opening::NotRegular;
  result.present = result.opened || somethingAt(path);
  if (opening != Opening::Regular) return result;
  // Read into one buffer of the file's size and a byte more (to see the end): growing a
  // buffer while reading a megabyte of music would hold two copies at once. A file whose
  // size says nothing (those of /proc) grows in chunks, so that a generous limit costs
  // nothing for a small file.
  constexpr std::size_t kChunk = 64 * 1024;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && info.st_size > 0) {
    result.size = static_cast<std::uint64_t>(info.st_size);
    result.bytes.resize(std::min(static_cast<std::size_t>(info.st_size) + 1, maxBytes));
  }
  std::size_t done = 0;
  while (done < maxBytes) {
    if (result.bytes.size() == done) result.bytes.resize(done + std::min(kChunk, maxBytes - done));
    const ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.readFailed = true;
      result.reason = std::strerror(errno);
      break;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  result.bytes.resize(done);
  ::close(fd);
  return result;
}

std::FILE* openFileForReading(const std::string& path, std::string& reason) {
  int fd = -1;
  if (openRegular(path, O_RDONLY, fd, reason) != Opening::Regular) return nullptr;
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    reason = std::strerror(errno);
    ::close(fd);
  }
  return file;
}

FileWrite writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  FileWrite result;
  std::string temporary = path + std::string(kTemporaryTemplate);
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    result.reason = std::strerror(errno);
    return result;
  }
  int error = writeAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  ::fchmod(fd, 0644);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    result.reason = std::strerror(error);
    return result;
  }
  syncFolderOf(path);
  result.written = true;
  return result;
}

int removeLeftoverTemporaries(const std::string& folder, std::span<const std::string_view> names) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return 0;
  const int folderFd = ::dirfd(listing);
  int removed = 0;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view entryName(entry->d_name);
    if (std::none_of(names.begin(), names.end(), [&](std::string_view name) { return isTemporaryOf(entryName, name); })) {
      continue;
    }
    struct stat info {};
    if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
    if (::unlinkat(folderFd, entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(listing);
  return removed;
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

std::vector<std::string> filesInFolder(const std::string& folder, std::string_view prefix, std::string_view suffix) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return names;
  const int folderFd = ::dirfd(listing);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name(entry->d_name);
    if (name.size() < prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix)) continue;
    struct stat info {};
    if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
    names.emplace_back(name);
  }
  ::closedir(listing);
  std::sort(names.begin(), names.end());
  return names;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool renameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  syncFolderOf(to);
  return true;
}

}  // namespace platform
