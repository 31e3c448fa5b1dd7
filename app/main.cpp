// The entry point: options, the folders, the single running copy, the window (or the
// headless driver), the main loop, shutdown.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.hpp"
#include "app/program.hpp"
#include "platform/files.hpp"
#include "platform/sdl/sdl_backend.hpp"
#include "platform/sdl/single_instance.hpp"

namespace {

constexpr char kDefaultScoreServer[] = "http://127.0.0.1:8411";

// --score-server, else ZEBROLITE_SCORE_SERVER, else the default.
std::string scoreServer(const app::Options& options) {
  if (!options.scoreServer.empty()) return options.scoreServer;
  const char* fromEnvironment = std::getenv("ZEBROLITE_SCORE_SERVER");
  if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') return fromEnvironment;
  return kDefaultScoreServer;
}

int runHeadless(const app::Options& options) {
  // The headless driver (script, state dump, frame hashes) runs here once it is built; it
  // needs no window, no sound card and no second-copy check.
  std::fprintf(stderr, "zebrolite: --headless --script %s: the headless driver is not built yet\n",
               options.script.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  app::Options options;
  std::string error;
  if (!app::parseCommandLine(arguments, options, error)) {
    std::fprintf(stderr, "zebrolite: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(app::usageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(app::versionText().c_str(), stdout);
    return 0;
  }
  if (!options.dataFolder.empty()) platform::setDataFolder(options.dataFolder);
  if (!options.saveFolder.empty()) platform::setSaveFolder(options.saveFolder);
  // Handed to the score exchange once it takes a server address.
  [[maybe_unused]] const std::string server = scoreServer(options);

  if (options.headless) return runHeadless(options);

  // Before any window: a second start only raises the first copy's window.
  platform::SingleInstance::Claim claim = platform::SingleInstance::claim(platform::SingleInstance::defaultFolder());
  if (claim.status == platform::SingleInstance::Status::AnotherRunning) return 0;

  platform::WindowSettings settings;
  settings.scale = options.scale;
  settings.fullscreen = options.fullscreen;
  settings.instance = claim.instance.get();
  auto backend = platform::SdlBackend::create(settings, error);
  if (!backend) {
    std::fprintf(stderr, "zebrolite: %s\n", error.c_str());
    return 1;
  }
  {
    app::Program program;
    program.startUp();
    program.runMainLoop(backend->host());
    program.shutDown();
  }
  // The quit key, a closed window and SIGINT or SIGTERM all end here, the game saved.
  return 0;
}
