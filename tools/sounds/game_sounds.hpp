// The game's four sounds, synthesised: the looping tune and the three effects. Each call
// renders the same samples every time (22,050 Hz, 16-bit mono).
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// The tune runs at 150 beats a minute: a sixteenth note is exactly 2205 samples, so the loop
// is a whole number of bars, 16 bars of 4/4.
inline constexpr int kMusicStepSamples = 2205;
inline constexpr int kMusicStepsPerBar = 16;
inline constexpr int kMusicBars = 16;
inline constexpr int kMusicSamples = kMusicStepSamples * kMusicStepsPerBar * kMusicBars;

// Peak levels in dBFS. The music plays under the effects; the hit sounds most often of all.
inline constexpr double kMusicPeakDb = -9.0;
inline constexpr double kEffectPeakDb = -3.0;
inline constexpr double kHitPeakDb = -6.0;

// The looping tune. Notes that ring past the end of the last bar are wrapped round onto the
// start, so the last sample runs on into the first exactly as into a repeat.
std::vector<std::int16_t> makeMusic();
// The tune before scaling: one loop as makeMusic plays it, and the score played `passes`
// times in a row with every note left to ring out (longer than the passes by the tails).
// Every bar of the loop equals the same bar of a later pass.
std::vector<double> renderMusicLoop();
std::vector<double> renderMusicPasses(int passes);
// A short bright tick for a brick hit.
std::vector<std::int16_t> makeHitSound();
// A fire brick's explosion: a low thump under a burst of noise.
std::vector<std::int16_t> makeBlastSound();
// A short rising blip for a change of screen.
std::vector<std::int16_t> makeMenuSelectSound();

}  // namespace tools
