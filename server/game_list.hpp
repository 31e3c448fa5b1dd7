// The list reply of the game's protocol: the all-time board's best entries as records
// ";NAME,SCORE", best first, nothing between them. It is rendered once per store version and
// the same bytes are served until a submission or a moderation action changes the version.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/ranking.hpp"

namespace server {

// The game's table holds 100 entries; its client reads no more.
constexpr std::size_t kGameListLength = 100;

std::string renderGameList(const std::vector<RankedEntry>& entries);

class GameListCache {
 public:
  using Bytes = std::shared_ptr<const std::string>;

  // The list rendered at `version`; null when none is kept for it.
  Bytes find(std::uint64_t version) const;
  // Keeps a list rendered from what the store held at `version` (read before the rows).
  void keep(std::uint64_t version, Bytes list);

 private:
  mutable std::mutex mutex_;
  std::uint64_t version_ = 0;
  Bytes list_;
};

}  // namespace server
