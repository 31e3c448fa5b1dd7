#include "shell/process_state.hpp"

#include <algorithm>

#include "platform/files.hpp"

namespace shell {

ProcessState& process() {
  // A thread of its own for each of the score server's verifiers; the game has one thread.
  thread_local ProcessState state;
  return state;
}

std::uint32_t currentScore() {
  const NumberDisplay* score = process().scoreDisplay.get();
  return score != nullptr ? static_cast<std::uint32_t>(std::clamp<std::int64_t>(score->value(), 0, kMaxScore)) : 0;
}

void setScore(std::uint32_t value) {
  if (NumberDisplay* score = process().scoreDisplay.get()) score->setValue(value);
}

void addScore(std::int32_t points) {
  const std::int64_t sum = static_cast<std::int64_t>(currentScore()) + points;
  setScore(static_cast<std::uint32_t>(std::clamp<std::int64_t>(sum, 0, kMaxScore)));
}

void loadSharedAssets() {
  SharedAssets& a = process().assets;
  gfx::loadPicture(a.blastPicture, gfx::imagePath("blast.png"));
  gfx::loadPicture(a.ballPicture, gfx::imagePath("ball.png"));
  gfx::loadPictureResource(a.itemPicture, 162);
  gfx::loadPictureResource(a.shotPicture, 154);
  gfx::loadPicture(a.stonePicture, gfx::imagePath("Brick_Stone.png"));
  gfx::loadPicture(a.firePicture, gfx::imagePath("Brick_Fire.png"));
  gfx::loadPicture(a.gemPicture, gfx::imagePath("Brick_Gem.png"));
  gfx::loadPicture(a.metalPicture, gfx::imagePath("Brick_Metal.png"));
  gfx::loadPicture(a.stablePicture, gfx::imagePath("Brick_Stable.png"));
  gfx::loadPicture(a.hidePicture, gfx::imagePath("Brick_Hide.png"));
  a.blastSound = std::make_unique<sound::SoundClip>(platform::dataPath("blast.wav"), false);
}

void freeSharedAssets() {
  SharedAssets& a = process().assets;
  for (gfx::Surface* s : {&a.blastPicture, &a.ballPicture, &a.itemPicture, &a.shotPicture, &a.stonePicture,
                          &a.firePicture, &a.gemPicture, &a.metalPicture, &a.hidePicture, &a.stablePicture}) {
    s->clear();
  }
  a.blastSound.reset();
}

void resetProcessState() { process() = ProcessState{}; }

}  // namespace shell
