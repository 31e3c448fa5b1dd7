// The replay file: one game as it was played, from its start (a new game, or a continued one
// with the part played before it) to its end, so that the game's own code can play it again
// exactly. A game is the generator's state at each start and every input that mattered, in
// order with the updates and draws of the main loop between them. docs/replays.md gives the
// byte layout; this library has no dependency but the standard library, so the server and
// the fuzzer link it alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace replay {

// The layout of the file itself; the rules of play have a version of their own, which the
// file carries (game::kRulesVersion).
constexpr std::uint8_t kFormatVersion = 1;

// Hard limits, checked before anything is built from a file. The largest honest game is far
// below each: a game of the built-in player's median length is about 34,000 updates and a
// few kilobytes.
constexpr std::size_t kMaxFileBytes = 1024 * 1024;
constexpr std::size_t kMaxSegments = 64;           // a game saved at exit and continued 63 times
constexpr std::uint64_t kMaxUpdates = 2'000'000;   // all segments together: over six hours of play
constexpr std::uint64_t kMaxDraws = 2'000'000;
constexpr std::size_t kMaxInputs = 250'000;        // inputs of all segments together
constexpr std::size_t kMaxNameBytes = 32;          // UTF-8; the table keeps 8 UTF-16 units

// The screen's size in pixels, the range of a pen position.
constexpr std::uint16_t kPenWidth = 240;
constexpr std::uint16_t kPenHeight = 320;

// One step of a game, in the order the main loop ran them. Runs of passes are counted, not
// listed: `Frames` is an update followed by a draw, `count` times over.
struct Event {
  enum class Kind : std::uint8_t {
    Frames,      // count x (update, draw)
    Updates,     // count updates without a draw between them
    Draws,       // count draws
    Key,         // a key as the game takes it (after the desktop's keys were given their meaning)
    KeyUp,       // any key released
    Activate,    // the window became active
    Deactivate,  // the window became inactive
    PenDown,
    PenMove,
    PenUp,
  };
  Kind kind = Kind::Frames;
  std::uint32_t count = 0;  // Frames, Updates, Draws: at least 1; Key: the virtual-key code
  std::uint16_t x = 0;      // pen events: pixels, 0..239
  std::uint16_t y = 0;      // 0..319

  bool isRun() const { return kind == Kind::Frames || kind == Kind::Updates || kind == Kind::Draws; }
  friend bool operator==(const Event&, const Event&) = default;
};

// The only keys a game reacts to once the desktop's keys have their meaning: Enter, the
// four arrows, the three application keys and the test keys '1' to '8'.
bool isGameKey(std::uint32_t key);

// Where a part of the game begins: the generator's state and the game's progress right after
// "New game" (level 1, 3 lives, 0 points) or "Continue" (the saved game), and the stylus.
struct Start {
  std::uint32_t randomState = 0;
  std::int32_t level = 1;
  std::int32_t lives = 3;
  std::uint32_t score = 0;
  std::uint16_t penX = 0;  // pixels
  std::uint16_t penY = 0;
  bool penDown = false;
  friend bool operator==(const Start&, const Start&) = default;
};

// The game as the program saved it when it ended during the part.
struct Saved {
  std::int32_t level = 1;
  std::int32_t lives = 3;
  std::uint32_t score = 0;
  friend bool operator==(const Saved&, const Saved&) = default;
};

// One part of a game: from a start to the end of the game (finished) or to the program's end
// with the game saved.
struct Segment {
  Start start;
  std::vector<Event> events;
  bool finished = false;
  Saved saved;  // when not finished
  friend bool operator==(const Segment&, const Segment&) = default;
};

struct Replay {
  std::uint32_t rulesVersion = 0;
  std::string name;        // the name the score was entered with, UTF-8
  std::uint32_t score = 0;  // the score it claims
  std::vector<Segment> segments;
  friend bool operator==(const Replay&, const Replay&) = default;
};

// The file's bytes. A replay beyond the limits encodes all the same; decoding refuses it.
std::vector<std::uint8_t> encode(const Replay& replay);

struct Decoded {
  std::optional<Replay> replay;
  std::string error;  // one line, when there is no replay
  bool tooLarge = false;  // the error is a limit, not damage
};

// Checks the size first, then the magic, the format version and the checksum, then reads
// with every count held to the limits and to what the file can hold, so that any input costs
// work in proportion to its size at most.
Decoded decode(std::span<const std::uint8_t> bytes);

// What the list and the server show without playing: the header alone, checksum checked.
struct Header {
  std::uint32_t rulesVersion = 0;
  std::string name;
  std::uint32_t score = 0;
};
std::optional<Header> peekHeader(std::span<const std::uint8_t> bytes, std::string* error = nullptr);

// Updates, draws and inputs of all segments.
struct Totals {
  std::uint64_t updates = 0;
  std::uint64_t draws = 0;
  std::uint64_t inputs = 0;
};
Totals totals(const Replay& replay);

// The file name extension and the MIME type of replay files.
constexpr std::string_view kFileExtension = ".zebreplay";
constexpr std::string_view kMimeType = "application/x-zebrolite-replay";

}  // namespace replay
