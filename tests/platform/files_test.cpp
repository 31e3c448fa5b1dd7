#include "platform/files.hpp"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/child_process.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace platform {
namespace {

// A regular file is read into a buffer of its own size (and a byte to see the end): the
// bytes and the limit must come out as they do when the buffer grows piece by piece.
TEST(ReadFile, ReadsAtMostTheLimitWhateverTheFilesSize) {
  testing_support::ScratchFolder folder;
  struct Case {
    std::size_t size;
    std::size_t limit;
  };
  const Case cases[] = {
      {0, 100},           // empty
      {1, 1},             // exactly the limit
      {100, 99},          // one byte over the limit
      {100, 101},         // one byte under
      {200000, 200000},   // several chunks, exactly the limit
      {200001, 1000000},  // several chunks and a torn one
      {200000, 65536},    // cut at a chunk boundary
  };
  for (const Case& c : cases) {
    std::string content(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) content[i] = static_cast<char>(i * 7 + i / 251);
    const std::string path = folder.file("file" + std::to_string(c.size) + "-" + std::to_string(c.limit));
    std::ofstream(path, std::ios::binary) << content;

    const FileRead read = readFile(path, c.limit);
    EXPECT_TRUE(read.opened);
    EXPECT_FALSE(read.readFailed);
    const std::size_t expected = std::min(c.size, c.limit);
    ASSERT_EQ(read.bytes.size(), expected) << c.size << " bytes, limit " << c.limit;
    EXPECT_EQ(read.bytes, std::vector<std::uint8_t>(content.begin(), content.begin() + static_cast<long>(expected)));
  }
}

// A file whose size says nothing (those of /proc are regular and 0 bytes long) is still read
// to its end.
TEST(ReadFile, ReadsAFileWhoseSizeSaysNothingToItsEnd) {
  const FileRead read = readFile("/proc/self/status", 1 << 20);
  EXPECT_TRUE(read.opened);
  EXPECT_FALSE(read.readFailed);
  const std::string text(read.bytes.begin(), read.bytes.end());
  EXPECT_NE(text.find("VmRSS"), std::string::npos);
}

// A FIFO without a writer would block the open and then the read for ever; a device or a
// folder gives endless or meaningless bytes. None is read, none blocks, each says why.
TEST(ReadFile, OnlyARegularFileIsReadAndNothingElseBlocks) {
  testing_support::ScratchFolder folder;
  ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(folder.file("folder").c_str(), 0700), 0);
  const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", folder.file("socket").c_str());
  ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  struct Case {
    std::string path;
    bool create;
    bool opened;
    std::string reason;
  };
  const Case cases[] = {
      {folder.file("fifo"), false, true, "not a regular file"},
      {folder.file("fifo"), true, true, "not a regular file"},
      {folder.file("folder"), false, true, std::strerror(EISDIR)},
      {folder.file("folder"), true, false, std::strerror(EISDIR)},
      {"/dev/zero", false, true, "not a regular file"},
      {folder.file("socket"), false, false, std::strerror(ENXIO)},
      {folder.file("missing"), false, false, std::strerror(ENOENT)},
  };
  ::alarm(20);  // a regression blocks: end the test rather than hang the suite
  for (const Case& c : cases) {
    const FileRead read = readFile(c.path, 1000, c.create);
    EXPECT_EQ(read.opened, c.opened) << c.path;
    EXPECT_TRUE(read.bytes.empty()) << c.path;
    EXPECT_EQ(read.reason, c.reason) << c.path;
    EXPECT_EQ(read.readFailed, c.opened) << c.path;

    std::string reason;
    std::FILE* stream = openFileForReading(c.path, reason);
    EXPECT_EQ(stream, nullptr) << c.path;
    if (stream != nullptr) std::fclose(stream);
    EXPECT_EQ(reason, c.reason) << c.path;
  }
  ::alarm(0);
  ::close(listening);

  testing_support::writeBytes(folder.file("regular"), {1, 2, 3});
  std::string reason;
  std::FILE* stream = openFileForReading(folder.file("regular"), reason);
  ASSERT_NE(stream, nullptr) << reason;
  std::uint8_t bytes[4] = {};
  EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, stream), 3u);
  EXPECT_EQ(bytes[2], 3);
  std::fclose(stream);
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};

TEST(WriteFile, ReplacesTheFileWholeAndLeavesNothingElse) {
  testing_support::ScratchFolder folder;
  testing_support::writeBytes(folder.file("f.sav"), kOld);
  const std::vector<std::uint8_t> fresh(100000, 7);
  const FileWrite write = writeFileAtomically(folder.file("f.sav"), fresh);
  EXPECT_TRUE(write.written);
  EXPECT_EQ(write.reason, "");
  EXPECT_EQ(testing_support::readBytes(folder.file("f.sav")), fresh);
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"f.sav"});
  struct stat info {};
  ASSERT_EQ(::stat(folder.file("f.sav").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

// The outcome as one line: whether it was written, why not, what the file holds, what else
// lies beside it.
std::string outcome(const FileWrite& write, const std::string& folder, const std::string& path) {
  std::string text = write.written ? "written" : "failed: " + write.reason;
  const std::vector<std::uint8_t> now = testing_support::readBytes(path);
  text += now == kOld ? "; old file kept" : "; old file lost";
  for (const std::string& name : folderEntries(folder)) text += "; " + name;
  return text;
}

// Each way a save can fail keeps the old file, leaves no temporary file and says why, in
// words the player's message can carry.
TEST(WriteFile, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  struct Case {
    const char* name;
    std::function<std::string(const std::string& folder)> run;  // the outcome, or "skip: ..."
    std::string expected;
  };
  const std::vector<std::uint8_t> large(1 << 20, 9);
  const auto writeLarge = [&](const std::string& folder) {
    return outcome(writeFileAtomically(folder + "f.sav", large), folder, folder + "f.sav");
  };
  // A small file system of its own, in a mount namespace of the child's own: needs root.
  const auto onSmallDisk = [&](const std::string& folder, bool readOnly) {
    return testing_support::inChild([&] {
      if (::unshare(CLONE_NEWNS) != 0) return std::string("skip: no mount namespace");
      if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
        return std::string("skip: cannot mount a tmpfs");
      }
      testing_support::writeBytes(folder + "f.sav", kOld);
      if (readOnly && ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return std::string("skip: cannot remount read-only");
      }
      return writeLarge(folder);
    });
  };
  const Case cases[] = {
      {"the disk is full", [&](const std::string& f) { return onSmallDisk(f, false); },
       std::string("failed: ") + std::strerror(ENOSPC) + "; old file kept; f.sav"},
      {"the folder is read-only", [&](const std::string& f) { return onSmallDisk(f, true); },
       std::string("failed: ") + std::strerror(EROFS) + "; old file kept; f.sav"},
      {"the file may not grow that large",
       [&](const std::string& f) {
         return testing_support::inChild([&] {
           std::signal(SIGXFSZ, SIG_IGN);
           const rlimit limit{4096, 4096};
           ::setrlimit(RLIMIT_FSIZE, &limit);
           return writeLarge(f);
         });
       },
       std::string("failed: ") + std::strerror(EFBIG) + "; old file kept; f.sav"},
      {"the path is a folder",
       [&](const std::string& f) {
         std::filesystem::remove(f + "f.sav");
         ::mkdir((f + "f.sav").c_str(), 0755);
         return writeFileAtomically(f + "f.sav", large).reason + "; " + folderEntries(f).front();
       },
       std::string(std::strerror(EISDIR)) + "; f.sav"},
      {"the folder is missing",
       [&](const std::string& f) { return writeFileAtomically(f + "none/f.sav", large).reason; },
       std::strerror(ENOENT)},
  };
  for (const Case& c : cases) {
    testing_support::ScratchFolder folder;
    testing_support::writeBytes(folder.file("f.sav"), kOld);
    const std::string result = c.run(folder.path());
    if (result.starts_with("skip:")) {
      std::printf("%s: %s\n", c.name, result.c_str());
      continue;
    }
    EXPECT_EQ(result, c.expected) << c.name;
  }
}

// A copy killed while saving leaves its temporary file; the next start removes exactly such
// files of the names it owns, and nothing that only looks alike.
TEST(RemoveLeftoverTemporaries, RemovesWhatAKilledWriteLeftAndNothingElse) {
  testing_support::ScratchFolder folder;
  testing_support::ScratchFolder outside;
  testing_support::writeBytes(folder.file("ScoreList.sav"), kOld);
  // Killed by the file size limit halfway through a write, as by SIGKILL.
  const std::string killed = testing_support::inChild([&] {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    writeFileAtomically(folder.file("ScoreList.sav"), std::vector<std::uint8_t>(1 << 20, 1));
    return std::string("not killed");
  });
  EXPECT_EQ(killed, "killed by signal " + std::to_string(SIGXFSZ));
  std::vector<std::string> left = folderEntries(folder.path());
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0], "ScoreList.sav");
  EXPECT_EQ(left[1].size(), std::string("ScoreList.sav.Ab12Cd").size()) << left[1];

  const std::vector<std::string> kept = {"AutoSave.dat", "ScoreList.sav", "ScoreList.sav.Ab12C", "ScoreList.sav.Ab12Cde",
                                         "ScoreList.sav.Ab-2Cd", "ScoreList.savXAb12Cd", "BrickMap.dat.Ab12Cd",
                                         "notes.txt.Ab12Cd", "ScoreList.sav.\xC3\xA9\xC3\xA9\xC3\xA9"};
  for (const std::string& name : kept) {
    if (name != "ScoreList.sav") testing_support::writeBytes(folder.file(name), kOld);
  }
  testing_support::writeBytes(folder.file("AutoSave.dat.000000"), kOld);
  testing_support::writeBytes(folder.file("AutoSave.dat.zZ09aA"), kOld);
  // Of the right name but no regular file: a folder, a FIFO, a link to a file elsewhere.
  ::mkdir(folder.file("AutoSave.dat.Folder").c_str(), 0755);
  ::mkfifo(folder.file("AutoSave.dat.Fifo00").c_str(), 0600);
  testing_support::writeBytes(outside.file("precious"), kOld);
  ::symlink(outside.file("precious").c_str(), folder.file("ScoreList.sav.Link00").c_str());

  const std::string_view names[] = {"AutoSave.dat", "ScoreList.sav"};
  EXPECT_EQ(removeLeftoverTemporaries(folder.path(), names), 3);
  std::vector<std::string> expected = kept;
  expected.insert(expected.end(), {"AutoSave.dat.Fifo00", "AutoSave.dat.Folder", "ScoreList.sav.Link00"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(folderEntries(folder.path()), expected);
  EXPECT_EQ(testing_support::readBytes(outside.file("precious")), kOld);
  EXPECT_EQ(testing_support::readBytes(folder.file("ScoreList.sav")), kOld);
  EXPECT_EQ(removeLeftoverTemporaries(folder.file("none/"), names), 0);
}

// The replays are kept in files named after their contents: one '*' in a name stands for
// one or more characters, and the rest of the name must still match exactly.
TEST(RemoveLeftoverTemporaries, ANameWithAStarCoversEveryFileOfItsKind) {
  testing_support::ScratchFolder folder;
  const std::vector<std::string> leftovers = {"ScoreList-0123456789abcdef.zebreplay.Ab12Cd",
                                              "ScoreList-f.zebreplay.000000", "AutoSave.zebreplay.zZ09aA"};
  const std::vector<std::string> kept = {"ScoreList-0123456789abcdef.zebreplay",
                                         "ScoreList-.zebreplay.Ab12Cd",
                                         "ScoreList-0123.zebreplay.Ab12C",
                                         "ScoreList-0123.zebreplayX.Ab12Cd",
                                         "XScoreList-0123.zebreplay.Ab12Cd",
                                         "Unsent-0123.zebreplay.Ab12Cd",
                                         "AutoSave.zebreplay",
                                         "AutoSaveX.zebreplay.Ab12Cd"};
  for (const std::string& name : leftovers) testing_support::writeBytes(folder.file(name), kOld);
  for (const std::string& name : kept) testing_support::writeBytes(folder.file(name), kOld);

  const std::string_view names[] = {"ScoreList-*.zebreplay", "AutoSave.zebreplay"};
  EXPECT_EQ(removeLeftoverTemporaries(folder.path(), names), 3);
  std::vector<std::string> expected = kept;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(folderEntries(folder.path()), expected);
}

}  // namespace
}  // namespace platform
