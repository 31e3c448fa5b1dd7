#include "scores/score_upload.hpp"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/unicode.hpp"
#include "replay/replay_file.hpp"
#include "scores/replay_store.hpp"

namespace scores {
namespace {

constexpr std::string_view kDefaultServer = "http://127.0.0.1:8411";
constexpr std::string_view kScriptPath = "/Zebrolite2/updateScore_ppc.php";
constexpr std::string_view kGamesPath = "/api/v1/games";
constexpr std::string_view kAgent = "ZebroliteHttp";
constexpr std::size_t kMaxRecords = ScoreTable::kEntries;
constexpr std::size_t kMaxScoreDigits = 10;

std::string defaultServer() {
  const char* fromEnvironment = std::getenv("ZEBROLITE_SCORE_SERVER");
  if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') return fromEnvironment;
  return std::string(kDefaultServer);
}

std::optional<std::string>& serverSetting() {
  static std::optional<std::string> server;
  return server;
}

platform::HttpTimeouts& timeoutSetting() {
  static platform::HttpTimeouts timeouts{kConnectMs, kExchangeMs};
  return timeouts;
}

// The only status that accepts a submission or carries the list: a redirect's or an error
// page's body is no list.
constexpr long kAccepted = 200;

// What a reply that is not kAccepted means; `answeredOtherwise` for a status.
UploadResult failure(const platform::HttpReply& reply, UploadResult answeredOtherwise) {
  switch (reply.kind) {
    case platform::HttpReply::Kind::Answered: return answeredOtherwise;
    case platform::HttpReply::Kind::TimedOut: return UploadResult::TooSlow;
    case platform::HttpReply::Kind::NotReached: break;
  }
  return UploadResult::NotReached;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The score that starts at `from`; nullopt when it is not 1 to 10 digits within 32 bits.
std::optional<std::uint32_t> readScore(std::string_view text, std::size_t from) {
  std::size_t at = from;
  while (at < text.size() && isBlank(text[at])) ++at;
  std::uint64_t value = 0;
  std::size_t digits = 0;
  while (at < text.size() && isDigit(text[at])) {
    if (++digits > kMaxScoreDigits) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
    ++at;
  }
  if (digits == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// Posts each replay; once the server is found unable to take them, the rest are kept
// without asking it again.
void sendReplays(platform::HttpSession& session, const std::vector<StoredReplay>& replays, UploadOutcome& outcome) {
  bool stopped = false;
  for (const StoredReplay& stored : replays) {
    if (stopped) {
      keepUnsent(stored);
      continue;
    }
    const platform::HttpReply reply = session.post(gamesEndpoint(), stored.bytes, replay::kMimeType, kGameReplyLimit);
    switch (meaningOf(reply)) {
      case GameReplyMeaning::Taken:
        ++outcome.gamesSent;
        if (reply.body.starts_with("verified")) ++outcome.gamesVerified;
        forgetReplay(stored);
        break;
      case GameReplyMeaning::Refused:
        ++outcome.gamesSent;
        forgetReplay(stored);
        break;
      case GameReplyMeaning::TryLater:
        keepUnsent(stored);
        break;
      case GameReplyMeaning::NoEndpoint:
      case GameReplyMeaning::Unreached:
        keepUnsent(stored);
        stopped = true;
        break;
    }
  }
}

}  // namespace

void setScoreServer(std::string address) {
  while (!address.empty() && address.back() == '/') address.pop_back();
  if (address.empty()) {
    serverSetting().reset();
  } else {
    serverSetting() = std::move(address);
  }
}

const std::string& scoreServer() {
  if (!serverSetting()) {
    setScoreServer(defaultServer());
    // An environment value of only slashes leaves nothing.
    if (!serverSetting()) serverSetting() = std::string(kDefaultServer);
  }
  return *serverSetting();
}

void setUploadTimeouts(const platform::HttpTimeouts& timeouts) { timeoutSetting() = timeouts; }
const platform::HttpTimeouts& uploadTimeouts() { return timeoutSetting(); }

std::string scoreEndpoint() { return scoreServer() + std::string(kScriptPath); }

std::string gamesEndpoint() { return scoreServer() + std::string(kGamesPath); }

GameReplyMeaning meaningOf(const platform::HttpReply& reply) {
  if (reply.kind != platform::HttpReply::Kind::Answered) return GameReplyMeaning::Unreached;
  const long status = reply.status;
  if (status >= 200 && status < 300) return GameReplyMeaning::Taken;
  if (status == 404 || status == 405) return GameReplyMeaning::NoEndpoint;
  if (status == 408 || status == 429 || status < 400 || status >= 500) return GameReplyMeaning::TryLater;
  return GameReplyMeaning::Refused;
}

std::string percentEncode(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size() * 3);
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || isDigit(c) ||
                            c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

std::string submissionUrl(std::u16string_view name, std::uint32_t score) {
  return scoreEndpoint() + "?myname=" + percentEncode(platform::toUtf8(name)) + "&myscore=" + std::to_string(score);
}

std::vector<ReplyRecord> parseScoreReply(std::string_view reply) {
  std::string_view text = reply.substr(0, std::min(reply.size(), kReplyLimit));
  text = text.substr(0, std::min(text.size(), text.find('\0')));
  std::vector<ReplyRecord> records;
  std::size_t position = 0;
  while (records.size() < kMaxRecords) {
    const std::size_t semicolon = text.find(';', position);
    if (semicolon == std::string_view::npos) break;
    const std::size_t comma = text.find(',', semicolon);
    if (comma == std::string_view::npos) break;
    position = comma;
    ReplyRecord record;
    record.name = platform::fromUtf8(text.substr(semicolon + 1, comma - semicolon - 1));
    if (record.name.size() > ScoreEntry::kMaxNameLength) break;
    const std::optional<std::uint32_t> score = readScore(text, comma + 1);
    if (!score) break;
    record.score = *score;
    records.push_back(std::move(record));
  }
  return records;
}

UploadOutcome uploadScores(ScoreTable& table) {
  UploadOutcome outcome;
  const std::unique_ptr<platform::HttpSession> session = platform::openHttpSession(kAgent, uploadTimeouts());
  if (!session) return outcome;
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) {
    const ScoreEntry& entry = table.entry(i);
    if (entry.pendingUpload == 0) continue;
    // Only the status of a submission's reply counts.
    const platform::HttpReply reply = session->get(submissionUrl(entry.nameText(), entry.score), 0);
    if (!reply.answeredWith(kAccepted)) {
      outcome.result = failure(reply, UploadResult::ScoreRefused);
      return outcome;
    }
    ++outcome.submitted;
  }
  // Taken before the list replaces the pending entries they belong to.
  const std::vector<StoredReplay> replays = replaysToSend(table);
  const platform::HttpReply reply = session->get(scoreEndpoint(), kReplyLimit);
  if (!reply.answeredWith(kAccepted)) {
    outcome.result = failure(reply, UploadResult::NoList);
    return outcome;
  }
  outcome.result = UploadResult::Exchanged;
  const std::vector<ReplyRecord> records = parseScoreReply(reply.body);
  for (std::size_t j = 0; j < records.size(); ++j) {
    ScoreEntry& entry = table.entry(j);
    entry.setName(records[j].name);
    entry.score = records[j].score;
    entry.pendingUpload = 0;
  }
  outcome.recordsApplied = records.size();
  sendReplays(*session, replays, outcome);
  dropReplaysOfLeftEntries(table);
  return outcome;
}

}  // namespace scores
