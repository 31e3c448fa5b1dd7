#include "tests/support/game_process.hpp"

#include <unistd.h>

#include <cstdlib>

#include "tests/support/scratch_folder.hpp"

namespace testing_support {

pid_t startGame(const std::vector<std::string>& arguments, int out, int err,
                const std::vector<std::pair<std::string, std::string>>& environment) {
  const std::string game = gameFolder() + "zebrolite";
  std::vector<char*> argv{const_cast<char*>(game.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::execv(game.c_str(), argv.data());
  ::_exit(127);
}

}  // namespace testing_support
