#include "server/server_options.hpp"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <string_view>

namespace server {
namespace {

struct CommandName {
  std::string_view name;
  Command command;
  bool needsArgument;
  bool takesCount;
};

constexpr CommandName kCommands[] = {
    {"backup", Command::Backup, true, false}, {"list", Command::List, false, true},
    {"hide", Command::Hide, true, false},     {"unhide", Command::Unhide, true, false},
    {"ban", Command::Ban, true, false},       {"unban", Command::Unban, true, false},
    {"audit", Command::Audit, false, true},
};

template <class T>
bool parseNumber(const std::string& text, T low, T high, T& value) {
  std::uint64_t parsed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, parsed);
  if (text.empty() || error != std::errc() || stop != end || parsed < static_cast<std::uint64_t>(low) ||
      parsed > static_cast<std::uint64_t>(high)) {
    return false;
  }
  value = static_cast<T>(parsed);
  return true;
}

}  // namespace

std::string serverUsage() {
  return "Usage: zebrolite-scored [OPTIONS]               serve the scores\n"
         "       zebrolite-scored [OPTIONS] backup FILE   copy the database while it is in use\n"
         "       zebrolite-scored [OPTIONS] list [N]      the N latest submissions (20)\n"
         "       zebrolite-scored [OPTIONS] hide ID | unhide ID\n"
         "       zebrolite-scored [OPTIONS] ban NAME | unban NAME\n"
         "       zebrolite-scored [OPTIONS] audit [N]     the N latest moderation actions (20)\n"
         "\n"
         "Options:\n"
         "  --listen ADDR         address to listen on (127.0.0.1)\n"
         "  --port N              port (8411; 0 picks a free one, shown at start)\n"
         "  --db FILE             the database ($XDG_DATA_HOME/zebrolite/scores.db)\n"
         "  --submit-rate N       new scores a minute per address (30; 0: no limit)\n"
         "  --trust-proxy         take the client's address from X-Real-IP or X-Forwarded-For\n"
         "                        when the peer is a proxy on this machine (loopback)\n"
         "  --threads N           threads answering connections (2)\n"
         "  --store-threads N     threads querying the database (2)\n"
         "  --max-connections N   connections at once (1024)\n"
         "  --verify-threads N    threads that verify replays (1)\n"
         "  --verify-rate N       replays a minute per address that are verified (30; 0: no limit)\n"
         "  --verdict-wait MS     how long a posted replay waits for its verdict before it is\n"
         "                        answered \"queued\" (2000; at most 9000)\n"
         "  --data DIR            the game's data folder, whose BrickMap.dat verification plays\n"
         "  --help, --version\n";
}

ParsedOptions parseServerOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  ServerOptions& o = parsed.options;
  std::vector<std::string> words;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    if (!argument.starts_with("--")) {
      words.push_back(argument);
      continue;
    }
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
      inlineValue = argument.substr(equals + 1);
      argument.resize(equals);
    }
    if (argument == "--help" || argument == "--version" || argument == "--trust-proxy") {
      if (inlineValue) {
        parsed.error = argument + " takes no value";
        return parsed;
      }
      if (argument == "--help") o.command = Command::Help;
      if (argument == "--version") o.command = Command::Version;
      if (argument == "--trust-proxy") o.trustProxy = true;
      continue;
    }
    static constexpr std::string_view kValued[] = {"--listen",         "--port",           "--db",
                                                   "--submit-rate",    "--threads",        "--store-threads",
                                                   "--max-connections", "--verify-threads", "--verify-rate",
                                                   "--verdict-wait",   "--data"};
    if (std::find(std::begin(kValued), std::end(kValued), argument) == std::end(kValued)) {
      parsed.error = "unknown option " + argument;
      return parsed;
    }
    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      parsed.error = argument + " needs a value";
      return parsed;
    }
    bool good = true;
    if (argument == "--listen") {
      good = !value.empty();
      o.listen = value;
    } else if (argument == "--port") {
      good = parseNumber<std::uint16_t>(value, 0, 65535, o.port);
    } else if (argument == "--db") {
      good = !value.empty();
      o.database = value;
    } else if (argument == "--submit-rate") {
      good = parseNumber<std::uint32_t>(value, 0, 1000000, o.submitRate);
    } else if (argument == "--threads") {
      good = parseNumber<std::size_t>(value, 1, 64, o.ioThreads);
    } else if (argument == "--store-threads") {
      good = parseNumber<std::size_t>(value, 1, 64, o.storeThreads);
    } else if (argument == "--max-connections") {
      good = parseNumber<std::size_t>(value, 1, 100000, o.maxConnections);
    } else if (argument == "--verify-threads") {
      good = parseNumber<std::size_t>(value, 1, 64, o.verifyThreads);
    } else if (argument == "--verify-rate") {
      good = parseNumber<std::uint32_t>(value, 0, 1000000, o.verifyRate);
    } else if (argument == "--verdict-wait") {
      std::uint32_t ms = 0;
      good = parseNumber<std::uint32_t>(value, 0, kMaxVerdictWaitMs, ms);
      o.verdictWait = std::chrono::milliseconds(ms);
    } else if (argument == "--data") {
      good = !value.empty();
      o.data = value;
    }
    if (!good) {
      parsed.error = "bad value for " + argument + ": '" + value + "'";
      return parsed;
    }
  }
  if (o.command == Command::Help || o.command == Command::Version || words.empty()) return parsed;
  const CommandName* command = nullptr;
  for (const CommandName& candidate : kCommands) {
    if (candidate.name == words[0]) command = &candidate;
  }
  if (command == nullptr) {
    parsed.error = "unknown command '" + words[0] + "'";
    return parsed;
  }
  o.command = command->command;
  const std::size_t most = command->needsArgument || command->takesCount ? 2 : 1;
  if (words.size() > most) {
    parsed.error = "too many arguments for " + words[0];
    return parsed;
  }
  if (command->needsArgument) {
    if (words.size() < 2 || words[1].empty()) {
      parsed.error = words[0] + " needs " + (o.command == Command::Backup ? "a FILE" :
                                             o.command == Command::Ban || o.command == Command::Unban ? "a NAME" : "an ID");
      return parsed;
    }
    o.argument = words[1];
    std::int64_t id = 0;
    if ((o.command == Command::Hide || o.command == Command::Unhide) &&
        !parseNumber<std::int64_t>(o.argument, 1, std::numeric_limits<std::int64_t>::max(), id)) {
      parsed.error = "bad submission id '" + o.argument + "': see the first column of list";
      return parsed;
    }
  } else if (words.size() == 2 && !parseNumber<std::size_t>(words[1], 1, 100000, o.count)) {
    parsed.error = "bad count '" + words[1] + "' for " + words[0];
    return parsed;
  }
  return parsed;
}

std::string defaultDatabasePath(const std::function<const char*(const char*)>& environment) {
  const char* data = environment("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/zebrolite/scores.db";
  const char* home = environment("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share/zebrolite/scores.db";
  return {};
}

}  // namespace server
