#include "app/command_line.hpp"

#include <charconv>

namespace app {
namespace {

bool takeValue(const std::vector<std::string>& arguments, std::size_t& i, std::string& value, std::string& error) {
  const std::string& option = arguments[i];
  if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
    error = "option " + option + " needs a value";
    return false;
  }
  value = arguments[++i];
  return true;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, Options& options, std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    std::string value;
    if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (a == "--fullscreen") {
      options.fullscreen = true;
    } else if (a == "--headless") {
      options.headless = true;
    } else if (a == "--scale") {
      if (!takeValue(arguments, i, value, error)) return false;
      int scale = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), scale);
      if (ec != std::errc{} || end != value.data() + value.size() || scale < 1 || scale > 16) {
        error = "--scale needs a whole number from 1 to 16, not '" + value + "'";
        return false;
      }
      options.scale = scale;
    } else if (a == "--score-server") {
      if (!takeValue(arguments, i, options.scoreServer, error)) return false;
    } else if (a == "--data") {
      if (!takeValue(arguments, i, options.dataFolder, error)) return false;
    } else if (a == "--save-dir") {
      if (!takeValue(arguments, i, options.saveFolder, error)) return false;
    } else if (a == "--script") {
      if (!takeValue(arguments, i, options.script, error)) return false;
    } else if (a == "--record") {
      if (!takeValue(arguments, i, options.record, error)) return false;
    } else if (a == "--replay") {
      if (!takeValue(arguments, i, options.replay, error)) return false;
    } else if (a == "--verify") {
      if (!takeValue(arguments, i, options.verify, error)) return false;
    } else if (!a.empty() && a[0] != '-' && options.replay.empty()) {
      // A file handed over by the desktop (a replay opened from a file manager or a browser).
      options.replay = a;
    } else {
      error = "unknown option '" + a + "' (try --help)";
      return false;
    }
  }
  const int runs = !options.script.empty() + !options.replay.empty() + !options.verify.empty() + !options.record.empty();
  if (runs > 1) {
    error = "--script, --replay, --verify and --record do not go together";
    return false;
  }
  if (options.headless && options.script.empty() && options.replay.empty()) {
    error = "--headless needs --script FILE or --replay FILE";
    return false;
  }
  if (!options.script.empty() && !options.headless) {
    error = "--script runs only with --headless";
    return false;
  }
  if (options.headless && !options.record.empty()) {
    error = "--record records a game played in the window; it does not go with --headless";
    return false;
  }
  return true;
}

std::string usageText() {
  return "Usage: zebrolite [OPTION]... [REPLAY.zebreplay]\n"
         "A ball-and-bricks arcade game.\n"
         "\n"
         "Options:\n"
         "  --scale N             show the 240 x 320 picture N times larger (default: the largest that fits)\n"
         "  --fullscreen          start in full screen\n"
         "  --score-server URL    the score server (default: $ZEBROLITE_SCORE_SERVER or http://127.0.0.1:8411)\n"
         "  --data DIR            where the pictures, sounds and BrickMap.dat lie (default: beside the program)\n"
         "  --save-dir DIR        where AutoSave.dat and ScoreList.sav go\n"
         "  --record FILE         record the game played as a replay script\n"
         "  --replay FILE         watch a replay (.zebreplay); with --headless, play it through and\n"
         "                        print the last frame's hash and the score\n"
         "  --verify FILE         play a replay without a window and say whether it is verified\n"
         "  --headless --script FILE\n"
         "                        run a script without a window or sound (tests, replays)\n"
         "  --help                show this help\n"
         "  --version             show the version\n"
         "\n"
         "Keys:\n"
         "  Arrow keys            move the paddle; choose in the menus; scroll the high scores\n"
         "  Enter, Space          launch a ball, fire; choose; go on from a picture\n"
         "  P, Pause, F4          pause and resume; choose; send the scores from the high-score screen\n"
         "  M, F3                 sound off and on while playing; back from the high scores\n"
         "  Esc                   pause while playing; back from the high scores and the name entry\n"
         "  F11, Alt+Enter        full screen on and off\n"
         "  Ctrl+Q                quit (a game in progress is saved)\n"
         "  Left mouse button     the stylus: press or drag to steer the paddle, click to choose\n"
         "  Right mouse button    Enter: launch a ball, fire; choose; go on from a picture\n"
         "  Gamepad               d-pad or left stick = arrows, A = Enter, B = M, Start = P\n"
         "\n"
         "On the name entry for a new high score:\n"
         "  A-Z, 0-9, Space       type that character      Backspace   delete the last one\n"
         "  Enter, F4, Pause      accept the name          F3, Esc     cancel\n"
         "  Arrow keys            move on the on-screen keyboard, whose key gamepad A picks\n"
         "  Gamepad               Start accepts, B cancels\n"
         "\n"
         "Watching a replay:\n"
         "  Space, P, Pause       pause and go on          Right, N    one update further (pauses)\n"
         "  1, 2, 4, 8            normal pace, 2, 4 or 8 times faster\n"
         "  Esc, Q, Ctrl+Q        close\n";
}

std::string versionText() { return "zebrolite " ZEBROLITE_VERSION "\n"; }

}  // namespace app
