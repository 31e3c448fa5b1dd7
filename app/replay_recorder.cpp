#include "app/replay_recorder.hpp"

#include <cstdio>
#include <string_view>

#include "app/script.hpp"
#include "platform/files.hpp"
#include "shell/player_files.hpp"

namespace app {
namespace {

// The copy holds exactly the files there were: a file the player did not have yet is not
// left behind from an older recording.
void copyPlayerFile(std::string_view name, const std::string& folder) {
  const std::string copy = folder + std::string(name);
  const platform::FileRead file = platform::readFile(platform::saveFolder() + std::string(name), 1 << 20);
  if (file.opened) {
    platform::writeFileAtomically(copy, file.bytes);
  } else {
    std::remove(copy.c_str());
  }
}

}  // namespace

ReplayRecorder::ReplayRecorder(const std::string& path) : path_(path) {
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) return;
  const std::string folder = path + ".save/";
  platform::makeFolders(folder);
  for (const std::string_view name : shell::kPlayerFileNames) copyPlayerFile(name, folder);
}

ReplayRecorder::~ReplayRecorder() {
  if (file_ != nullptr) std::fclose(file_);
}

void ReplayRecorder::start(std::uint32_t randomState) {
  if (file_ == nullptr) return;
  std::fprintf(file_,
               "# Zebrolite replay. Play it back with a copy of the player's files as they were:\n"
               "#   cp -r %s.save /tmp/replay-save && zebrolite --headless --script %s --save-dir /tmp/replay-save\n"
               "seed %u\n",
               path_.c_str(), path_.c_str(), randomState);
  std::fflush(file_);
}

void ReplayRecorder::flushPasses() {
  if (pendingPasses_ == 0) return;
  std::fprintf(file_, "tick %llu\n", static_cast<unsigned long long>(pendingPasses_));
  pendingPasses_ = 0;
}

void ReplayRecorder::message(const win::Message& message) {
  if (file_ == nullptr) return;
  const std::string command = commandFor(message);
  if (command.empty()) return;
  flushPasses();
  std::fprintf(file_, "%s\n", command.c_str());
  std::fflush(file_);
}

void ReplayRecorder::finish() {
  if (file_ == nullptr) return;
  flushPasses();
  std::fflush(file_);
}

std::string ReplayRecorder::commandFor(const win::Message& message) {
  const auto packed = static_cast<std::uint32_t>(message.lParam);
  const std::string position = std::to_string(packed & 0xFFFFu) + " " + std::to_string(packed >> 16);
  switch (message.message) {
    case win::WM_KEYDOWN: return "key " + keyName(message.wParam);
    case win::WM_KEYUP: return "keyup " + keyName(message.wParam);
    case win::WM_LBUTTONDOWN: return "pen down " + position;
    case win::WM_MOUSEMOVE: return "pen move " + position;
    case win::WM_LBUTTONUP: return "pen up " + position;
    case win::WM_SETFOCUS: return "focus on";
    case win::WM_KILLFOCUS: return "focus off";
    case win::WM_ACTIVATE:
      if ((message.wParam & 0xFFFFu) == win::WA_ACTIVE) return "activate";
      if ((message.wParam & 0xFFFFu) == win::WA_INACTIVE) return "deactivate";
      return {};
    default: return {};
  }
}

}  // namespace app
