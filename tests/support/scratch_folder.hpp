// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace testing_support {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Ends in '/'.
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// The folder of the built game (pictures, sounds, levels), from the test environment.
std::string gameFolder();
// The public test corpora; empty when they are not on this machine.
std::string testDataFolder();

}  // namespace testing_support
