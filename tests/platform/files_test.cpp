#include "platform/files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.hpp"

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

TEST(ReadFile, ReadsWhatIsNotARegularFileInPieces) {
  const FileRead read = readFile("/dev/zero", 150000);
  EXPECT_TRUE(read.opened);
  EXPECT_EQ(read.bytes.size(), 150000u);
}

}  // namespace
}  // namespace platform
