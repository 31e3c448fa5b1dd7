// The score server's query handling, any bytes: percent-decoding (never longer than its
// input; the game's encoding of any bytes decodes back to them), the query split into keys
// and values, the name and score rules, and the whole submission check. A name the server
// accepts is valid UTF-8 of 1 to 8 UTF-16 code units without ',', ';' or a control
// character, and the game's list parser reads it back whole from a list reply.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/support/scratch.hpp"
#include "platform/unicode.hpp"
#include "scores/score_upload.hpp"
#include "server/percent_decoding.hpp"
#include "server/query_string.hpp"
#include "server/submission_rules.hpp"

namespace {

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

void checkAcceptedName(std::string_view name) {
  const std::optional<std::u16string> units = platform::fromUtf8Strict(name);
  if (!units) fuzzing::violated("an accepted name is not valid UTF-8");
  if (units->empty() || units->size() > server::kMaxNameUnits) fuzzing::violated("an accepted name of the wrong length");
  for (const char32_t c : platform::decodeUtf8(name)) {
    if (c == U',' || c == U';' || isControl(c)) fuzzing::violated("an accepted name holds ',', ';' or a control character");
  }
  const std::vector<scores::ReplyRecord> read = scores::parseScoreReply(";" + std::string(name) + ",1;X,2");
  if (read.size() != 2 || read[0].name != *units || read[0].score != 1) {
    fuzzing::violated("the game cannot read back an accepted name");
  }
}

void checkAcceptedScore(std::string_view text, std::uint32_t score) {
  if (score == 0 || text.empty() || text.size() > 10) fuzzing::violated("an accepted score out of range");
  const std::string plain = std::to_string(score);
  if (text.size() < plain.size() || text.substr(text.size() - plain.size()) != plain ||
      text.find_first_not_of('0') != text.size() - plain.size()) {
    fuzzing::violated("an accepted score is not its plain digits");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const std::optional<std::string> decoded = server::percentDecode(text); decoded && decoded->size() > size) {
    fuzzing::violated("decoding made the text longer");
  }
  if (server::percentDecode(scores::percentEncode(text)) != std::string(text)) {
    fuzzing::violated("the game's encoding does not decode back to the bytes");
  }

  if (!server::nameRefusal(text)) checkAcceptedName(text);
  if (const std::optional<std::uint32_t> score = server::parseScore(text)) checkAcceptedScore(text, *score);

  const server::QueryString query = server::QueryString::parse(text, {"myname", "myscore", "board"});
  if (!query.ok() && (query.refusal().empty() || query.refusal().find('\n') != std::string::npos)) {
    fuzzing::violated("a refusal that is not one line");
  }
  if (query.ok() && size > server::kMaxQueryBytes) fuzzing::violated("an overlong query was taken");

  const server::SubmissionCheck check = server::checkSubmission(text);
  if (check.ok()) {
    checkAcceptedName(check.name);
    if (check.score == 0) fuzzing::violated("a submission of score 0 was accepted");
  } else if (check.refusal.find('\n') != std::string::npos) {
    fuzzing::violated("a refusal that is not one line");
  }
  return 0;
}
