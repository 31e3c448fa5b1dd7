// The command line: the desktop's options around the game, and the headless driver's.
#pragma once

#include <string>
#include <vector>

namespace app {

struct Options {
  bool help = false;
  bool version = false;
  bool fullscreen = false;
  bool headless = false;
  int scale = 0;  // 0: the largest integer scale that fits the desktop, at least 2
  std::string scoreServer;  // empty: ZEBROLITE_SCORE_SERVER, else the default
  std::string dataFolder;   // empty: the folder of the executable
  std::string saveFolder;   // empty: beside the executable when writable, else the XDG data folder
  std::string script;       // --headless --script FILE
  std::string record;       // --record FILE
  std::string replay;       // --replay FILE: watch it (headless: play it through)
  std::string verify;       // --verify FILE: the verifier's verdict
};

// False, with a one-line reason in `error`, for an unknown option or a bad value.
bool parseCommandLine(const std::vector<std::string>& arguments, Options& options, std::string& error);

// What --help prints: the options and the key map.
std::string usageText();

std::string versionText();

}  // namespace app
