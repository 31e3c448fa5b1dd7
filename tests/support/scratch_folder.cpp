#include "tests/support/scratch_folder.hpp"

#include <cstdlib>
#include <filesystem>

namespace testing_support {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zebrolite-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern + "/";
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string gameFolder() {
  const char* folder = std::getenv("ZEBROLITE_GAME_DIR");
  return folder != nullptr ? std::string(folder) + "/" : std::string("game/");
}

std::string testDataFolder() {
  const char* folder = std::getenv("ZEBROLITE_TESTDATA_DIR");
  if (folder == nullptr || !std::filesystem::is_directory(folder)) return {};
  return std::string(folder) + "/";
}

}  // namespace testing_support
