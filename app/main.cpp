// The entry point: options, the window (or the headless driver), the main loop, shutdown.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.hpp"
#include "app/process_state.hpp"
#include "app/program.hpp"
#include "app/script_driver.hpp"
#include "platform/files.hpp"
#include "platform/sdl/sdl_backend.hpp"

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
  if (options.headless) {
    const auto rasteriser = platform::createTtfRasteriser();
    platform::setTextRasteriser(rasteriser.get());
    const int status = app::runHeadless(options.script);
    platform::setTextRasteriser(nullptr);
    return status;
  }

  platform::WindowSettings settings;
  settings.scale = options.scale;
  settings.fullscreen = options.fullscreen;
  auto backend = platform::SdlBackend::create(settings, error);
  if (!backend) {
    std::fprintf(stderr, "zebrolite: %s\n", error.c_str());
    return 1;
  }
  app::Program program;
  program.startUp();
  program.runMainLoop(backend->host());
  program.shutDown();
  return 0;
}
