#include "server/game_list.hpp"

namespace server {

std::string renderGameList(const std::vector<RankedEntry>& entries) {
  std::string list;
  list.reserve(entries.size() * 16);
  for (const RankedEntry& entry : entries) {
    list += ';';
    list += entry.name;
    list += ',';
    list += std::to_string(entry.score);
  }
  return list;
}

GameListCache::Bytes GameListCache::find(std::uint64_t version) const {
  std::lock_guard lock(mutex_);
  return version_ == version ? list_ : nullptr;
}

void GameListCache::keep(std::uint64_t version, Bytes list) {
  std::lock_guard lock(mutex_);
  // A slower render of an older version never replaces a newer one.
  if (version < version_) return;
  version_ = version;
  list_ = std::move(list);
}

}  // namespace server
