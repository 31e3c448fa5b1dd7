// The entry point: options, the folders, the single running copy, the window (or the
// headless driver), the main loop, shutdown.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/game_recorder.hpp"
#include "app/program.hpp"
#include "app/replay_recorder.hpp"
#include "app/replay_verifier.hpp"
#include "app/replay_viewer.hpp"
#include "app/script_driver.hpp"
#include "platform/files.hpp"
#include "platform/problem_report.hpp"
#include "platform/random.hpp"
#include "platform/sdl/sdl_backend.hpp"
#include "platform/sdl/single_instance.hpp"
#include "scores/replay_store.hpp"
#include "scores/score_upload.hpp"
#include "shell/player_files.hpp"

namespace {

// Scripts need no window, no sound card and no second-copy check; their text is real.
int runScript(const app::Options& options) {
  const auto rasteriser = platform::createTtfRasteriser();
  platform::setTextRasteriser(rasteriser.get());
  const int status = app::runHeadless(options.script);
  platform::setTextRasteriser(nullptr);
  return status;
}

// A verdict for the player at a terminal: 0 verified, 1 refused, 2 the file unreadable.
int verifyReplay(const std::string& path) {
  const platform::FileRead file = platform::readFile(path, replay::kMaxFileBytes + 1);
  if (!file.opened || file.readFailed) {
    std::fprintf(stderr, "zebrolite: cannot read the replay %s: %s\n", path.c_str(), file.reason.c_str());
    return 2;
  }
  app::ReplayVerifier verifier;
  const app::Verdict verdict = verifier.verify(file.bytes);
  std::printf("%s: %s\n", verdict.verified() ? "verified" : "refused", verdict.reason.c_str());
  return verdict.verified() ? 0 : 1;
}

// The replay in the window, or a clear word (standard error and a box) when it cannot be
// played: exit status 2, as for a bad option.
int watchReplay(const app::Options& options, std::string& error) {
  const std::optional<replay::Replay> replay = app::loadReplayFile(options.replay, error);
  if (!replay) {
    std::fprintf(stderr, "zebrolite: %s\n", error.c_str());
    if (!options.headless) platform::showErrorBox(error, "Zebrolite replay");
    return 2;
  }
  if (options.headless) return app::runReplayHeadless(*replay, stdout);
  platform::WindowSettings settings;
  settings.scale = options.scale;
  settings.fullscreen = options.fullscreen;
  auto backend = platform::SdlBackend::create(settings, error);
  if (!backend) {
    std::fprintf(stderr, "zebrolite: %s\n", error.c_str());
    return 1;
  }
  return app::runReplayWindow(*replay, backend->host());
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
  if (!options.scoreServer.empty()) scores::setScoreServer(options.scoreServer);

  if (!options.verify.empty()) return verifyReplay(options.verify);
  // A replay is watched beside the game: it claims no save folder and touches no file in it.
  if (!options.replay.empty()) return watchReplay(options, error);
  if (options.headless) return runScript(options);

  // Before any window: a second start only raises the first copy's window, and never writes
  // the save folder of another.
  platform::SingleInstance::Claim claim =
      platform::SingleInstance::claim(platform::SingleInstance::defaultFolder(), platform::saveFolder());
  for (const std::string& note : claim.notes) platform::reportProblem(note);
  if (claim.status == platform::SingleInstance::Status::AnotherRaised) return 0;
  if (claim.status == platform::SingleInstance::Status::SaveFolderTaken) return 1;
  // The save folder is this copy's now: what a copy killed while saving left there goes.
  const std::vector<std::string> replays = scores::storedReplayNames();
  std::vector<std::string_view> written(shell::kPlayerFileNames.begin(), shell::kPlayerFileNames.end());
  written.push_back(app::GameRecorder::kSavedGameReplay);
  written.insert(written.end(), replays.begin(), replays.end());
  platform::removeLeftoverTemporaries(platform::saveFolder(), written);

  std::unique_ptr<app::ReplayRecorder> recorder;
  if (!options.record.empty()) {
    recorder = std::make_unique<app::ReplayRecorder>(options.record);
    if (!recorder->ok()) {
      std::fprintf(stderr, "zebrolite: cannot write the replay '%s'\n", options.record.c_str());
      return 2;
    }
  }

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
    if (recorder) {
      recorder->start(platform::randomState());
      program.setRecorder(recorder.get());
    }
    program.runMainLoop(backend->host());
    if (recorder) recorder->finish();
    program.shutDown();
  }
  // The quit key, a closed window and SIGINT or SIGTERM all end here, the game saved; a save
  // that was lost has been told, and the status says so too.
  return shell::anySaveLost() ? 1 : 0;
}
