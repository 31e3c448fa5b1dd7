// The command line of zebrolite-scored: serve (no command), or one of the commands that work
// on the same database: backup, list, hide, unhide, ban, unban, audit.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace server {

enum class Command { Serve, Backup, List, Hide, Unhide, Ban, Unban, Audit, Help, Version };

// The longest --verdict-wait: below the game's 10 s for the whole exchange.
constexpr std::uint32_t kMaxVerdictWaitMs = 9000;

struct ServerOptions {
  Command command = Command::Serve;
  std::string argument;  // the command's FILE, ID or NAME
  std::size_t count = 20;  // rows shown by list and audit

  std::string listen = "127.0.0.1";
  std::uint16_t port = 8411;  // 0: any free port, printed at start
  std::string database;       // empty: defaultDatabasePath()
  std::uint32_t submitRate = 30;
  bool trustProxy = false;
  std::size_t ioThreads = 2;
  std::size_t storeThreads = 2;
  std::size_t maxConnections = 1024;
  std::size_t maxQueuedWork = 1024;
  // Verification of posted replays: one worker leaves the other core of a small machine to
  // the connections and the store (a median game takes about 15 ms of a core).
  std::size_t verifyThreads = 1;
  std::uint32_t verifyRate = 30;  // replays a minute per address sent to the verifiers; 0: no limit
  std::size_t maxQueuedVerifications = 32;  // more are answered 503
  // How long a POST waits for its verdict before it is answered "queued": the game's whole
  // exchange has 10 s, its GETs and every replay of it included.
  std::chrono::milliseconds verdictWait{2000};
  std::string data;  // the folder of the game's "BrickMap.dat"; empty: found (see main)
};

struct ParsedOptions {
  ServerOptions options;
  std::string error;  // empty when the command line is valid
};

ParsedOptions parseServerOptions(const std::vector<std::string>& arguments);

std::string serverUsage();

// $XDG_DATA_HOME/zebrolite/scores.db, else ~/.local/share/zebrolite/scores.db; empty when
// neither variable is set. `environment` reads a variable (null when unset).
std::string defaultDatabasePath(const std::function<const char*(const char*)>& environment);

}  // namespace server
