// The score exchange: each score entered on this device is sent to the score server as a GET
// request, then the server's list of the best scores replaces the table position by position;
// then the replays of the games those scores came from go to the server to be verified.
// It blocks the caller, for at most the exchange's time however many scores are pending.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http.hpp"
#include "scores/score_table.hpp"

namespace scores {

// The server's address, such as "http://127.0.0.1:8411" (no trailing '/'). An empty address
// restores the default: $ZEBROLITE_SCORE_SERVER, else "http://127.0.0.1:8411".
void setScoreServer(std::string address);
const std::string& scoreServer();

// The bounds of one exchange, in milliseconds: each connection, and all the requests together
// however many scores are pending. The game stands still while it runs.
constexpr long kConnectMs = 3000;
constexpr long kExchangeMs = 10000;

// Tests shorten them.
void setUploadTimeouts(const platform::HttpTimeouts& timeouts);
const platform::HttpTimeouts& uploadTimeouts();

// The address followed by the script's path; alone it is the list request.
std::string scoreEndpoint();

// Where replays are sent, one POST each: the address followed by "/api/v1/games".
std::string gamesEndpoint();

// Only this much of a replay's answer is looked at: its first line.
constexpr std::size_t kGameReplyLimit = 512;

// UTF-8 bytes as a URL query value: letters, digits and "-._~" stay, every other byte
// becomes %XX (upper-case hex).
std::string percentEncode(std::string_view utf8);

// endpoint + "?myname=" + the name, percent-encoded UTF-8, + "&myscore=" + the score in decimal.
std::string submissionUrl(std::u16string_view name, std::uint32_t score);

// Only this much of the list reply is looked at.
constexpr std::size_t kReplyLimit = 8191;

struct ReplyRecord {
  std::u16string name;
  std::uint32_t score = 0;
};

// Reads up to 100 records ";name,score" from the first kReplyLimit bytes of the reply (up to
// a 0 byte, if any); text before the first ';' is ignored. The name is UTF-8; the score is 1
// to 10 decimal digits after optional blanks, within 32 bits, and whatever follows the digits
// is skipped ("12abc" reads 12). Reading stops at the first record without a ',', with a name
// of more than 8 UTF-16 code units, or with a score that is not such a number.
std::vector<ReplyRecord> parseScoreReply(std::string_view reply);

// How an exchange ended, as the player is told.
enum class UploadResult {
  Exchanged,     // the server's list came (a 200 reply) and was applied
  NotReached,    // no HTTP library, no connection, or no whole reply
  TooSlow,       // the exchange's time ran out
  ScoreRefused,  // a submission was answered with a status other than 200
  NoList,        // the list request was answered with a status other than 200
};

struct UploadOutcome {
  UploadResult result = UploadResult::NotReached;
  std::size_t submitted = 0;       // submissions the server accepted
  std::size_t recordsApplied = 0;  // entries replaced from the list, from entry 0 on
  std::size_t gamesSent = 0;       // replays the server took (verified, refused or queued)
  std::size_t gamesVerified = 0;   // of them, those it answered "verified"
};

// What the server's answer to one replay means for the file.
enum class GameReplyMeaning {
  Taken,       // 2xx: the server has it (verified when the body's first word is "verified")
  Refused,     // another 4xx: refused for good; sending it again would change nothing
  NoEndpoint,  // 404 or 405: an older server that takes no replays; nor will the rest be taken
  TryLater,    // 408, 429, 5xx, other statuses: kept for the next exchange
  Unreached,   // no whole answer in time: this and the rest are kept for the next exchange
};
GameReplyMeaning meaningOf(const platform::HttpReply& reply);

// Sends every pending entry in table order, then asks for the list and applies it: record j
// replaces entry j and clears its pending flag; entries past the last record stay. Only a 200
// reply is taken: to a submission as its acceptance, to the list request as the list. When
// a submission fails (or the time runs out), the rest are not tried and no list is asked for,
// so the table and its pending flags stay as they were and the scores go out next time. All
// requests share one session, over one connection when the server keeps it open. Pictures are
// not touched.
//
// After a list was applied, the replays of the entries that were pending (taken before the
// list replaced them) and those left unsent before are posted in the same session. Their
// answers change nothing in the table or the result; each replay is dropped or kept as
// meaningOf says (scores/replay_store.hpp).
UploadOutcome uploadScores(ScoreTable& table);

}  // namespace scores
