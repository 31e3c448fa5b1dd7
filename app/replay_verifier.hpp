// The verdict on a replay: plays the game again with the game's own code, headless and
// without drawing a picture, and says whether it is the finished game it claims to be.
// Drawing is not skipped as such: drawing the game's confetti takes random numbers, so each
// recorded draw takes them as the drawing would (GameScreen::skipDraw); no other screen of a
// game changes state when drawn. The score server calls it for every replay it is sent.
//
// Threads: a verifier plays on the thread that made it, in that thread's own game state (the
// random generator and the process-wide state are per thread), so each worker thread makes
// one verifier and keeps it; verifiers on different threads run at the same time. The data
// folder (platform::setDataFolder) must be set before the first is made and not changed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "replay/replay_file.hpp"

namespace app {

class GameApp;

struct Verdict {
  enum class Kind {
    Verified,        // a finished game that ends with the claimed score, no test key used
    Malformed,       // not a replay, damaged, or parts that do not fit together
    TooLarge,        // beyond a limit of the format: size, parts, updates, draws or inputs
    OtherRules,      // recorded under another version of the rules: not judged
    TestKey,         // one of the test keys '1' to '8' was pressed
    TooLong,         // more updates than this verifier plays
    NoEnd,           // the game does not end where the replay ends (or ends before it)
    SavedDiffers,    // a part saved the game as other than where the next part starts
    ScoreDiffers,    // the game ends with another score than the one claimed
    NotReady,        // the verifier could not load what play needs (the level map)
  };
  Kind kind = Kind::Malformed;
  std::string reason;        // one line, for the player and the log
  std::string name;          // the claimed name and score, when the header could be read
  std::uint32_t score = 0;
  std::uint64_t updates = 0;  // updates played

  bool verified() const { return kind == Kind::Verified; }
};

class ReplayVerifier {
 public:
  // A game of the built-in player's median length is about 34,000 updates; 500,000 are over
  // ninety minutes of play.
  static constexpr std::uint64_t kDefaultMaxUpdates = 500'000;

  // Reads the level map ("BrickMap.dat" in the data folder) once; a missing or short one
  // leaves the verifier not ready (and creates nothing). Play depends on no picture or sound
  // (their sizes included); those the game screen loads anyway are loaded here once, and
  // may be missing.
  explicit ReplayVerifier(std::uint64_t maxUpdates = kDefaultMaxUpdates);
  ~ReplayVerifier();
  ReplayVerifier(const ReplayVerifier&) = delete;
  ReplayVerifier& operator=(const ReplayVerifier&) = delete;

  bool ready() const { return app_ != nullptr; }
  const std::string& notReadyReason() const { return notReady_; }

  // The verdict on the bytes of a replay file. The work is bounded before it starts: the size
  // is checked first, the decoding costs at most in proportion to it, and no more than
  // maxUpdates updates are played.
  Verdict verify(std::span<const std::uint8_t> file);

 private:
  Verdict judge(const replay::Replay& replay, Verdict verdict);
  bool playPart(const replay::Segment& part, Verdict& verdict);

  std::uint64_t maxUpdates_;
  std::unique_ptr<GameApp> app_;
  std::string notReady_;
};

}  // namespace app
