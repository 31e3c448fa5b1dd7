// The process-wide state that the shell keeps and the screens and game objects read: the
// options, the pause mute, the last stylus position, the score of the current game, and the
// pictures and sound shared by the game objects.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>

#include "gfx/fixed.hpp"
#include "gfx/surface.hpp"
#include "shell/number_display.hpp"
#include "shell/player_files.hpp"
#include "sound/sound_clip.hpp"

namespace shell {

// Loaded once at start-up in this order, freed at shutdown.
struct SharedAssets {
  gfx::Surface blastPicture;   // frames of the fire-brick explosion
  gfx::Surface ballPicture;    // the balls
  gfx::Surface itemPicture;    // falling items, bitmap resource 162
  gfx::Surface shotPicture;    // shots of the paddle's guns, bitmap resource 154
  gfx::Surface stonePicture;
  gfx::Surface firePicture;
  gfx::Surface gemPicture;
  gfx::Surface metalPicture;
  gfx::Surface stablePicture;
  gfx::Surface hidePicture;
  std::unique_ptr<sound::SoundClip> blastSound;  // a fire brick's explosion, not looping
};

struct ProcessState {
  bool running = true;          // the main loop goes on while true
  bool active = true;           // false while the window is inactive
  std::uint8_t soundOn = 1;     // sound-effects option, kept in the score file
  std::uint8_t musicOn = 0;     // background-music option, kept in the score file
  bool muted = false;           // pause mute: no sound effects, the music paused
  Fixed penX = 0;               // last stylus position, Fixed pixels
  Fixed penY = 0;
  bool penDown = false;
  std::unique_ptr<NumberDisplay> scoreDisplay;  // the score of the current game
  SharedAssets assets;
  PlayerFilesState playerFiles;
};

// The state of the calling thread: the game's, which runs on one thread, or that of one of
// the score server's verifiers, each of which plays its games on a thread of its own.
ProcessState& process();

// Sound effects play only while the option is on and the game is not muted.
inline bool soundEffectsAudible() { return process().soundOn != 0 && !process().muted; }

// The score of the current game, as the score display holds it: an unsigned 32-bit count,
// like the scores of the table it may enter; 0 before the display exists.
std::uint32_t currentScore();
// Sets it; nothing happens before the display exists.
void setScore(std::uint32_t value);
// Adds points to it. The sum is held at 0 and at kMaxScore instead of wrapping: a score
// near the top of the range stays at the top rather than turning into a small one.
void addScore(std::int32_t points);
constexpr std::uint32_t kMaxScore = UINT32_MAX;

// The shared pictures and the blast sound, in their fixed order.
void loadSharedAssets();
// Frees them in the order blast, ball, items, shot, stone, fire, gem, metal, hidden, stable,
// then the blast sound.
void freeSharedAssets();

// Back to the state before start-up (tests).
void resetProcessState();

}  // namespace shell
