#include "fuzz/support/scratch.hpp"

#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fuzzing {
namespace {

std::filesystem::path scratchRoot() {
  std::error_code error;
  if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

class Folder {
 public:
  Folder() {
    std::string pattern = (scratchRoot() / "zebrolite-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("zebrolite fuzz: cannot make a scratch folder");
      std::abort();
    }
    path_ = pattern + "/";
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string& scratchFolder() {
  static const Folder folder;
  return folder.path();
}

bool writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen((scratchFolder() + name).c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void violated(const char* what) {
  // Through the sanitizers' report channel, which libFuzzer keeps open when it closes the
  // target's standard error (-close_fd_mask).
  const std::string summary = std::string("zebrolite fuzz: property violated: ") + what;
  __sanitizer_report_error_summary(summary.c_str());
  std::abort();
}

}  // namespace fuzzing
