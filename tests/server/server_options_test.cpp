// The command line: what is accepted, what each refusal says, and the default database.
#include <gtest/gtest.h>

#include "server/server_options.hpp"

namespace server {
namespace {

struct OptionsCase {
  std::vector<std::string> arguments;
  const char* error;  // a piece of the message; null when accepted
};

TEST(ServerOptionsTest, AcceptedAndRefusedCommandLines) {
  const OptionsCase cases[] = {
      {{}, nullptr},
      {{"--listen", "0.0.0.0", "--port", "0", "--db", "/tmp/s.db"}, nullptr},
      {{"--port=65535", "--submit-rate=0", "--trust-proxy", "--threads", "4", "--max-connections", "10"}, nullptr},
      {{"backup", "/tmp/copy.db"}, nullptr},
      {{"--db", "x.db", "list", "5"}, nullptr},
      {{"list", "--db", "x.db"}, nullptr},
      {{"hide", "12"}, nullptr},
      {{"ban", "CHEAT"}, nullptr},
      {{"audit"}, nullptr},
      {{"--verify-threads", "2", "--verify-rate=0", "--verdict-wait", "0", "--data", "/usr/share/zebrolite"}, nullptr},
      {{"--verify-threads", "0"}, "bad value for --verify-threads"},
      {{"--verdict-wait", "9001"}, "bad value for --verdict-wait"},
      {{"--data", ""}, "bad value for --data"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"--port"}, "--port needs a value"},
      {{"--port", "65536"}, "bad value for --port"},
      {{"--port", "-1"}, "bad value for --port"},
      {{"--port", "80x"}, "bad value for --port"},
      {{"--submit-rate", ""}, "bad value for --submit-rate"},
      {{"--threads", "0"}, "bad value for --threads"},
      {{"--db", ""}, "bad value for --db"},
      {{"--help=yes"}, "takes no value"},
      {{"serve"}, "unknown command 'serve'"},
      {{"backup"}, "backup needs a FILE"},
      {{"hide"}, "hide needs an ID"},
      {{"hide", "x"}, "bad submission id"},
      {{"hide", "0"}, "bad submission id"},
      {{"ban"}, "ban needs a NAME"},
      {{"ban", "A", "B"}, "too many arguments"},
      {{"list", "0"}, "bad count"},
      {{"audit", "many"}, "bad count"},
  };
  for (const OptionsCase& c : cases) {
    const ParsedOptions parsed = parseServerOptions(c.arguments);
    std::string line;
    for (const std::string& a : c.arguments) line += a + " ";
    if (c.error == nullptr) {
      EXPECT_EQ(parsed.error, "") << line;
    } else {
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << line << "-> " << parsed.error;
    }
  }
}

TEST(ServerOptionsTest, DefaultsAndValues) {
  const ServerOptions defaults = parseServerOptions({}).options;
  EXPECT_EQ(defaults.command, Command::Serve);
  EXPECT_EQ(defaults.listen, "127.0.0.1");
  EXPECT_EQ(defaults.port, 8411);
  EXPECT_EQ(defaults.submitRate, 30u);
  EXPECT_FALSE(defaults.trustProxy);
  EXPECT_EQ(defaults.verifyThreads, 1u);
  EXPECT_EQ(defaults.verdictWait, std::chrono::milliseconds(2000));
  EXPECT_EQ(parseServerOptions({"--verdict-wait=8000"}).options.verdictWait, std::chrono::milliseconds(8000));
  const ServerOptions list = parseServerOptions({"list", "7", "--db=a.db"}).options;
  EXPECT_EQ(list.command, Command::List);
  EXPECT_EQ(list.count, 7u);
  EXPECT_EQ(list.database, "a.db");
  const ServerOptions ban = parseServerOptions({"ban", "A B"}).options;
  EXPECT_EQ(ban.command, Command::Ban);
  EXPECT_EQ(ban.argument, "A B");
  EXPECT_EQ(parseServerOptions({"--version", "list"}).options.command, Command::Version);
  EXPECT_NE(serverUsage().find("--submit-rate N"), std::string::npos);
}

TEST(ServerOptionsTest, TheDefaultDatabaseFollowsXdg) {
  const auto environment = [](const char* data, const char* home) {
    return [data, home](const char* name) -> const char* {
      return std::string(name) == "XDG_DATA_HOME" ? data : std::string(name) == "HOME" ? home : nullptr;
    };
  };
  EXPECT_EQ(defaultDatabasePath(environment("/d", "/h")), "/d/zebrolite/scores.db");
  EXPECT_EQ(defaultDatabasePath(environment(nullptr, "/h")), "/h/.local/share/zebrolite/scores.db");
  EXPECT_EQ(defaultDatabasePath(environment("relative", "/h")), "/h/.local/share/zebrolite/scores.db");
  EXPECT_EQ(defaultDatabasePath(environment(nullptr, nullptr)), "");
}

}  // namespace
}  // namespace server
