// The ID of a replay sent to the server, and what is named after it: the path of its
// download and the file name it is downloaded as. The ID comes from the file's bytes alone,
// so the same replay sent twice has the same ID and is kept once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace server {

// Where replays are sent (POST) and, below it, downloaded.
constexpr std::string_view kGamesPath = "/api/v1/games";

// Whether a request sends a replay (POST to kGamesPath, any query): the only request whose
// body the server reads.
bool isReplayPost(std::string_view method, std::string_view target);

// The first 128 bits of the file's SHA-256 as 32 lower-case hexadecimal digits. A collision
// would have to be found against SHA-256: two different replays never share an ID by chance.
std::string gameIdOf(std::span<const std::uint8_t> file);

// Whether the text has the form of an ID.
bool isGameId(std::string_view text);

// "/api/v1/games/ID/replay".
std::string replayPath(std::string_view id);

// Whether the path lies below kGamesPath ("/api/v1/games/..."), and the ID of a download
// path; nullopt when the path is not "/api/v1/games/ID/replay" with an ID of the right form.
bool isBelowGamesPath(std::string_view path);
std::optional<std::string_view> gameIdOfReplayPath(std::string_view path);

// "zebrolite-ANNA-12340.zebreplay": every character of the name but ASCII letters, digits,
// '-' and '_' becomes '_', so the name is safe in a header and in every file system.
std::string replayFileName(std::string_view name, std::uint32_t score);

}  // namespace server
