// The deployment of docs/server.md, as it stands in server/deploy/: two zebrolite-scored
// processes started with the systemd unit's command line on one PostgreSQL database, nginx
// in front of them with the site configuration filled in, the game's own client exchanging
// its scores through nginx, and a recorded game posted through it for verification.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/server/process/game_client.hpp"
#include "tests/server/process/http_client.hpp"
#include "tests/server/process/server_process.hpp"
#include "replay/replay_file.hpp"
#include "tests/server/support/test_database.hpp"
#include "tests/support/recorded_games.hpp"
#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

const std::string kGame = "/Zebrolite2/updateScore_ppc.php";
constexpr const char* kNginx = "/usr/sbin/nginx";

std::string readText(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string deployFile(const std::string& name) {
  const char* source = std::getenv("ZEBROLITE_SOURCE_DIR");
  return readText(std::string(source != nullptr ? source : ".") + "/server/deploy/" + name);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The arguments of the unit's ExecStart after the executable, for the instance on port
// `instance` and the database `db`.
std::vector<std::string> unitArguments(const std::string& instance, const std::string& db) {
  std::istringstream unit(deployFile("zebrolite-scored@.service.in"));
  std::string line;
  while (std::getline(unit, line) && !line.starts_with("ExecStart=")) {
  }
  std::istringstream words(line.substr(line.find('=') + 1));
  std::vector<std::string> arguments;
  std::string word;
  words >> word;  // the executable
  while (words >> word) {
    replaceAll(word, "%i", instance);
    replaceAll(word, "${ZEBROLITE_DB}", db);
    arguments.push_back(word);
  }
  return arguments;
}

std::uint16_t freeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// The site config with its blanks filled in.
std::string filledSite(const std::string& listen, const std::vector<std::uint16_t>& servers) {
  std::string site = deployFile("nginx-site.conf.in");
  std::string upstreams;
  for (const std::uint16_t server : servers) {
    upstreams += (upstreams.empty() ? "" : "\n    ") + std::string("server 127.0.0.1:") + std::to_string(server) + ";";
  }
  replaceAll(site, "@SERVERS@", upstreams);
  replaceAll(site, "@LISTEN@", listen);
  return site;
}

// nginx as a foreground process with a prefix of its own, on the filled-in site config.
std::vector<std::string> startNginx(const std::string& prefix, std::uint16_t port,
                                    const std::vector<std::uint16_t>& servers) {
  std::ofstream(prefix + "site.conf") << filledSite("127.0.0.1:" + std::to_string(port), servers);
  std::ofstream(prefix + "nginx.conf") << "daemon off;\nworker_processes 1;\npid " << prefix << "nginx.pid;\n"
                                       << "error_log " << prefix << "error.log warn;\n"
                                       << "events { worker_connections 256; }\n"
                                       << "http {\n  access_log off;\n"
                                       << "  client_body_temp_path " << prefix << "body;\n"
                                       << "  proxy_temp_path " << prefix << "proxy;\n"
                                       << "  include " << prefix << "site.conf;\n}\n";
  return {"-p", prefix, "-c", prefix + "nginx.conf", "-e", prefix + "error.log"};
}

TEST(DeploymentTest, TwoServersBehindNginxOnOnePostgresServeTheGame) {
  testing_support::ScratchFolder scratch;
  TestDatabase database(DatabaseKind::Postgres, scratch.path());
  if (!database.available()) GTEST_SKIP() << database.skipReason();
  if (access(kNginx, X_OK) != 0) GTEST_SKIP() << "nginx is not installed (Debian's nginx-light)";

  ServerProcess first(scratch.path(), unitArguments("0", database.location()));
  ServerProcess second(scratch.path(), unitArguments("0", database.location()));
  ASSERT_TRUE(first.started()) << first.stderrText();
  ASSERT_TRUE(second.started()) << second.stderrText();
  const std::string prefix = scratch.file("nginx/");
  std::filesystem::create_directory(prefix);
  const std::uint16_t port = freeLoopbackPort();
  ChildProcess nginx(kNginx, startNginx(prefix, port, {first.port(), second.port()}), prefix + "stderr");
  ASSERT_TRUE(waitUntil([&] { return httpGet(port, "/healthz").status == 200 || !nginx.running(); }))
      << readText(prefix + "error.log");
  ASSERT_TRUE(nginx.running()) << readText(prefix + "error.log") << readText(prefix + "stderr");

  ASSERT_EQ(httpGet(port, kGame + "?myname=ZED&myscore=900").body, "OK");
  std::vector<DeviceEntry> device = {{u"ANNA", 700, true}, {u"\u00C9LAN", 550, true}};
  for (std::uint32_t i = 2; i < kTableEntries; ++i) device.push_back({u"PLAYER", 100 - i, false});
  const GameExchange exchange = exchangeScores(scratch.path(), device, "http://127.0.0.1:" + std::to_string(port));
  ASSERT_EQ(exchange.game.status, 0) << exchange.game.err;
  const std::string list = ";ZED,900;ANNA,700;\xC3\x89LAN,550";
  ASSERT_GE(exchange.saved.size(), 4u);
  EXPECT_EQ(exchange.saved[0].name, u"ZED");
  EXPECT_EQ(exchange.saved[1].name, u"ANNA");
  EXPECT_EQ(exchange.saved[2].name, u"\u00C9LAN");
  EXPECT_FALSE(exchange.saved[1].pending);
  EXPECT_EQ(exchange.saved[3].name, u"PLAYER");
  for (const std::uint16_t server : {first.port(), second.port()}) {
    EXPECT_TRUE(waitUntil([&] { return httpGet(server, kGame).body == list; })) << httpGet(server, kGame).body;
  }
  EXPECT_EQ(httpGet(port, kGame).body, list);

  // A replay passes nginx (a body of up to 1 MiB on its path alone), is verified by one of
  // the servers and downloads through nginx from either.
  const std::vector<std::uint8_t> won = testing_support::recordWonGame();
  const std::string record(won.begin(), won.end());
  const HttpResponse verified = httpPost(port, "/api/v1/games", record);
  ASSERT_EQ(verified.status, 200) << verified.body;
  const std::string download = verified.body.substr(verified.body.rfind(' ') + 1, std::string::npos);
  EXPECT_EQ(httpGet(port, download.substr(0, download.size() - 1)).body, record);
  EXPECT_EQ(httpPost(port, "/api/v1/games", std::string(replay::kMaxFileBytes + 1, 'Z')).status, 413);
  EXPECT_EQ(httpPost(port, kGame, record).status, 413) << "no other path takes a body";

  // The rate limit counts the address that nginx saw, not nginx's own, whatever the client
  // claims in its headers: new scores from one client are refused past the two servers'
  // buckets (30 each, round robin), however the headers vary.
  int refused = 0;
  for (std::uint32_t i = 1; i <= 80; ++i) {
    const std::string spoof = "X-Real-IP: 203.0.113." + std::to_string(i) + "\r\nX-Forwarded-For: 198.51.100." +
                              std::to_string(i) + "\r\n";
    const HttpResponse reply = httpGet(port, kGame + "?myname=FLOOD&myscore=" + std::to_string(i), spoof);
    ASSERT_TRUE(reply.status == 200 || reply.status == 429) << reply.status << " " << reply.body;
    if (reply.status == 429) ++refused;
  }
  EXPECT_GE(refused, 20);
  EXPECT_EQ(nginx.stop(SIGQUIT), 0) << readText(prefix + "error.log");
  EXPECT_EQ(first.stop(SIGTERM), 0);
  EXPECT_EQ(second.stop(SIGTERM), 0);
}

// docs/server.md shows the site filled in for ports 8411 and 8412 behind port 80: the same
// config, not a copy that drifts.
TEST(DeploymentTest, TheDocsShowTheSiteConfigAsItIs) {
  std::istringstream site(filledSite("80", {8411, 8412}));
  std::string shown;
  std::string line;
  while (std::getline(site, line)) {
    if (line.starts_with("#")) continue;
    shown += line.empty() ? "\n" : "    " + line + "\n";
  }
  const char* source = std::getenv("ZEBROLITE_SOURCE_DIR");
  const std::string docs = readText(std::string(source != nullptr ? source : ".") + "/docs/server.md");
  EXPECT_NE(docs.find(shown.substr(shown.find_first_not_of('\n'))), std::string::npos) << shown;
}

}  // namespace
}  // namespace server_test
