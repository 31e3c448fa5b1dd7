// The score server's list reply, any bytes, as the game parses it: at most 100 records, no
// name over 8 UTF-16 code units or holding a ',', and the records written out again as a
// reply parse to the same records. Applied to the table as the exchange applies them, each
// entry then holds its record exactly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/scratch.hpp"
#include "platform/unicode.hpp"
#include "scores/score_table.hpp"
#include "scores/score_upload.hpp"

namespace {

bool sameRecords(const std::vector<scores::ReplyRecord>& a, const std::vector<scores::ReplyRecord>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].score != b[i].score) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const std::vector<scores::ReplyRecord> records = scores::parseScoreReply(reply);
  if (records.size() > scores::ScoreTable::kEntries) fuzzing::violated("more than 100 records");
  std::string written;
  for (const scores::ReplyRecord& record : records) {
    if (record.name.size() > scores::ScoreEntry::kMaxNameLength) fuzzing::violated("a name over 8 code units");
    if (record.name.find(u',') != std::u16string::npos) fuzzing::violated("a name holding a ','");
    written += ";" + platform::toUtf8(record.name) + "," + std::to_string(record.score);
  }
  if (!sameRecords(records, scores::parseScoreReply(written))) fuzzing::violated("the records do not read back");

  static scores::ScoreTable table;
  for (std::size_t j = 0; j < records.size(); ++j) {
    scores::ScoreEntry& entry = table.entry(j);
    entry.setName(records[j].name);
    entry.score = records[j].score;
    if (entry.nameText() != records[j].name) {
      fuzzing::violated("an entry does not hold its record's name");
    }
  }
  return 0;
}
