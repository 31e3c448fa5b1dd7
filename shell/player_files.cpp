#include "shell/player_files.hpp"

#include <cctype>

#include "platform/message_box.hpp"
#include "platform/problem_report.hpp"
#include "shell/process_state.hpp"

namespace shell {
namespace {

constexpr std::string_view kCaption = "Zebrolite";

std::size_t slot(PlayerFile file) { return static_cast<std::size_t>(file); }

std::string pathOf(PlayerFile file) { return platform::savePath(fileName(file)); }

// A lost save is told where the player looks: standard error, and the window's message box
// (standard error again when there is no window). The same words twice in a row are not
// told again: a save that fails at every game's end need not ask for OK every time.
void tellLostSave(PlayerFile file, const std::string& text) {
  PlayerFilesState& state = process().playerFiles;
  state.saveLost = true;
  if (state.lastTold[slot(file)] == text) return;
  state.lastTold[slot(file)] = text;
  platform::reportProblem(text);
  std::string sentence = text + ".";
  sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
  platform::showMessageBox(sentence, kCaption);
}

}  // namespace

platform::FileRead readPlayerFile(PlayerFile file, std::size_t maxBytes) {
  const std::string path = pathOf(file);
  platform::FileRead read = platform::readFile(path, maxBytes, true);
  if (read.unreadable()) {
    process().playerFiles.whyUnreadable[slot(file)] = read.reason.empty() ? "unreadable" : read.reason;
    platform::reportProblem("cannot read " + path + " (" + read.reason +
                            "); going on without it, and it will not be written over");
  }
  return read;
}

bool savePlayerFile(PlayerFile file, std::span<const std::uint8_t> bytes) {
  PlayerFilesState& state = process().playerFiles;
  const std::string path = pathOf(file);
  if (!state.whyUnreadable[slot(file)].empty()) {
    tellLostSave(file, path + " was not saved: it could not be read (" + state.whyUnreadable[slot(file)] +
                           "), so it is left as it was");
    return false;
  }
  // A file never read in this run (the saved game, until a game is continued) is looked at
  // before it is replaced: one that cannot be read would be lost unseen.
  const platform::FileRead now = platform::readFile(path, bytes.size() + 1);
  if (now.unreadable()) {
    tellLostSave(file, path + " was not saved: the file there cannot be read (" + now.reason +
                           "), so it is left as it was");
    return false;
  }
  const platform::FileWrite write = platform::writeFileAtomically(path, bytes);
  if (!write.written) {
    tellLostSave(file, "could not save " + path + " (" + write.reason + "); the old file is kept");
    return false;
  }
  state.lastTold[slot(file)].clear();
  return true;
}

bool anySaveLost() { return process().playerFiles.saveLost; }

}  // namespace shell
