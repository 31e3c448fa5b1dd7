// zebrolite-scored: the score server that the game's players share, and the commands that
// back up and moderate its database.
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <thread>
#include <vector>

#include "platform/files.hpp"
#include "server/access_log.hpp"
#include "server/daemon/http_server.hpp"
#include "server/metrics.hpp"
#include "server/moderation.hpp"
#include "server/score_service.hpp"
#include "server/server_options.hpp"
#include "server/sqlite_store.hpp"
#include "server/store_factory.hpp"
#include "server/verification_pool.hpp"
#include "server/work_queue.hpp"

namespace {

namespace asio = boost::asio;
using namespace server;

constexpr auto kLogFlushPeriod = std::chrono::milliseconds(200);
// In-flight requests get this long after SIGTERM or SIGINT; then the server stops anyway.
constexpr auto kShutdownGrace = std::chrono::seconds(10);

std::int64_t steadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Who ran a moderation command, for the audit table.
std::string actorName() {
  const uid_t uid = geteuid();
  const passwd* entry = getpwuid(uid);
  return entry != nullptr ? std::string(entry->pw_name) : "uid " + std::to_string(uid);
}

std::string instanceTag() {
  const auto now = std::chrono::system_clock::now().time_since_epoch().count();
  char text[24];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(now) ^ static_cast<unsigned long long>(getpid()));
  return text;
}

// The database named by --db, else the default one, whose folder is made when missing.
bool databasePath(ServerOptions& options) {
  if (!options.database.empty()) return true;
  options.database = defaultDatabasePath([](const char* name) { return std::getenv(name); });
  if (options.database.empty()) {
    std::cerr << "zebrolite-scored: no database: set --db FILE, or HOME or XDG_DATA_HOME\n";
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(options.database).parent_path(), error);
  if (error) {
    std::cerr << "zebrolite-scored: cannot make the folder of " << options.database << ": " << error.message() << "\n";
    return false;
  }
  return true;
}

// The folder whose "BrickMap.dat" the verifiers play: --data, else the installed game's data
// folder, else the game folder of a build tree (build/game/ beside build/server/).
void chooseDataFolder(const ServerOptions& options) {
  if (!options.data.empty()) {
    platform::setDataFolder(options.data);
    return;
  }
  const std::string buildTree = platform::folderOfExecutable() + "../game/";
  if (!platform::readFile(platform::dataPath("BrickMap.dat"), 1).opened &&
      platform::readFile(buildTree + "BrickMap.dat", 1).opened) {
    platform::setDataFolder(buildTree);
  }
}

int serve(const ServerOptions& options) {
  std::string error;
  StoreSettings settings;
  settings.queryThreads = options.storeThreads;
  std::unique_ptr<ScoreStore> store = openScoreStore(options.database, settings, error);
  if (!store) {
    std::cerr << "zebrolite-scored: " << error << "\n";
    return 1;
  }
  Metrics metrics;
  AccessLog log(STDERR_FILENO, systemClock());
  WorkQueue work(options.storeThreads, options.maxQueuedWork);
  chooseDataFolder(options);
  if (const std::string problem = verifierProblem(); !problem.empty()) {
    log.note("replays cannot be verified (they are answered 503): " + problem);
  }
  VerificationPool verifications(options.verifyThreads, options.maxQueuedVerifications, options.verdictWait,
                                 replayVerifierJudges());
  ScoreService::Config config;
  config.submitRate = options.submitRate;
  config.postRate = options.verifyRate;
  config.trustProxy = options.trustProxy;
  config.instance = instanceTag();
  ScoreService service(*store, work, verifications, metrics, config, systemClock(), steadyMs);

  asio::io_context io(static_cast<int>(options.ioThreads));
  HttpLimits limits;
  limits.maxConnections = options.maxConnections;
  HttpServer http(io, service, metrics, log, limits);
  if (!http.listen(options.listen, options.port, error)) {
    std::cerr << "zebrolite-scored: " << error << "\n";
    return 1;
  }
  const std::string host = options.listen.find(':') != std::string::npos ? "[" + options.listen + "]" : options.listen;
  log.note("zebrolite-scored " ZEBROLITE_VERSION " listening on http://" + host + ":" + std::to_string(http.port()) +
           " with " + redactedDatabase(options.database));

  // The server's own timers and the signals share one strand; the connections have theirs.
  auto control = asio::make_strand(io);
  std::atomic<bool> stopping{false};
  asio::steady_timer flushTimer(control);
  std::function<void()> scheduleFlush = [&] {
    flushTimer.expires_after(kLogFlushPeriod);
    flushTimer.async_wait([&](boost::system::error_code failure) {
      log.flush();
      if (!failure && !stopping) scheduleFlush();
    });
  };
  asio::steady_timer graceTimer(control);
  http.onIdleAfterShutdown([&] {
    asio::post(control, [&] {
      graceTimer.cancel();
      flushTimer.cancel();
    });
  });
  asio::signal_set signals(control, SIGINT, SIGTERM);
  signals.async_wait([&](boost::system::error_code failure, int signal) {
    if (failure) return;
    log.note(std::string("stopping on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    stopping = true;
    graceTimer.expires_after(kShutdownGrace);
    graceTimer.async_wait([&](boost::system::error_code cancelled) {
      if (!cancelled) io.stop();
    });
    http.shutdown();
  });
  http.start();
  asio::post(control, scheduleFlush);

  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < options.ioThreads; ++i) threads.emplace_back([&] { io.run(); });
  io.run();
  for (std::thread& thread : threads) thread.join();
  work.stop();
  // Games answered "queued" are verified and kept before the store closes, for a while.
  if (const std::size_t dropped = verifications.stop(); dropped > 0) {
    log.note(std::to_string(dropped) + " queued verifications dropped at shutdown");
  }
  store->close();
  log.note("stopped");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  ParsedOptions parsed = parseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::cerr << "zebrolite-scored: " << parsed.error << "\nTry 'zebrolite-scored --help'.\n";
    return 2;
  }
  ServerOptions& options = parsed.options;
  if (options.command == Command::Help) {
    std::cout << serverUsage();
    return 0;
  }
  if (options.command == Command::Version) {
    std::cout << "zebrolite-scored " ZEBROLITE_VERSION "\n";
    return 0;
  }
  if (isPostgresUrl(options.database) && !postgresAvailable()) {
    std::cerr << "zebrolite-scored: this server was built without PostgreSQL (libpq): --db takes an SQLite file\n";
    return 2;
  }
  if (!databasePath(options)) return 1;
  if (options.command == Command::Serve) return serve(options);
  if (options.command == Command::Backup) {
    if (isPostgresUrl(options.database)) {
      std::cerr << "zebrolite-scored: backup copies an SQLite file; back up a PostgreSQL database with pg_dump\n";
      return 2;
    }
    std::string error;
    if (!SqliteStore::backup(options.database, options.argument, error)) {
      std::cerr << "zebrolite-scored: " << error << "\n";
      return 1;
    }
    std::cout << "backed up " << options.database << " to " << options.argument << "\n";
    return 0;
  }
  std::string error;
  StoreSettings settings;
  settings.queryThreads = 1;
  settings.serving = false;
  std::unique_ptr<ScoreStore> store = openScoreStore(options.database, settings, error);
  if (!store) {
    std::cerr << "zebrolite-scored: " << error << "\n";
    return 1;
  }
  return runModeration(options, *store, std::cout, std::cerr, systemClock()(), actorName());
}
