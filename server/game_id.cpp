#include "server/game_id.hpp"

#include <openssl/evp.h>

#include <array>

#include "replay/replay_file.hpp"

namespace server {
namespace {

constexpr std::size_t kIdBytes = 16;
constexpr std::string_view kReplaySuffix = "/replay";

bool isLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

bool isPlainFileCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

bool isReplayPost(std::string_view method, std::string_view target) {
  return method == "POST" && target.substr(0, target.find('?')) == kGamesPath;
}

std::string gameIdOf(std::span<const std::uint8_t> file) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_Digest(file.data(), file.size(), digest.data(), &length, EVP_sha256(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id;
  id.reserve(2 * kIdBytes);
  for (std::size_t i = 0; i < kIdBytes; ++i) {
    id += kHex[digest[i] >> 4];
    id += kHex[digest[i] & 0x0F];
  }
  return id;
}

bool isGameId(std::string_view text) {
  if (text.size() != 2 * kIdBytes) return false;
  for (const char c : text) {
    if (!isLowerHex(c)) return false;
  }
  return true;
}

std::string replayPath(std::string_view id) {
  std::string path(kGamesPath);
  path += '/';
  path += id;
  path += kReplaySuffix;
  return path;
}

bool isBelowGamesPath(std::string_view path) {
  return path.starts_with(kGamesPath) && path.size() > kGamesPath.size() && path[kGamesPath.size()] == '/';
}

std::optional<std::string_view> gameIdOfReplayPath(std::string_view path) {
  if (!isBelowGamesPath(path) || !path.ends_with(kReplaySuffix)) return std::nullopt;
  path.remove_prefix(kGamesPath.size() + 1);
  path.remove_suffix(kReplaySuffix.size());
  if (!isGameId(path)) return std::nullopt;
  return path;
}

std::string replayFileName(std::string_view name, std::uint32_t score) {
  std::string file = "zebrolite-";
  for (const char c : name) file += isPlainFileCharacter(c) ? c : '_';
  file += '-';
  file += std::to_string(score);
  file += replay::kFileExtension;
  return file;
}

}  // namespace server
