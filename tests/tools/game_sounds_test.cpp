#include "tools/sounds/game_sounds.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/sounds/synth.hpp"
#include "tools/sounds/wave_file.hpp"

namespace {

TEST(WaveFile, CanonicalHeaderThenSamplesAndNothingElse) {
  const std::vector<std::uint8_t> bytes = tools::encodeWave({1, -2, 0x1234}, 22050);
  const std::vector<std::uint8_t> expected = {
      'R', 'I', 'F', 'F', 42, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
      0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 6, 0, 0, 0, 1, 0, 0xFE, 0xFF, 0x34, 0x12};
  EXPECT_EQ(bytes, expected);
}

TEST(Synth, OwnMathsAgreesWithTheLibrary) {
  for (double x = -3.0; x < 3.0; x += 0.0137) {
    EXPECT_NEAR(tools::sineTurns(x), std::sin(2.0 * M_PI * x), 1e-9) << x;
    EXPECT_NEAR(tools::exponential(x), std::exp(x), 1e-11 * std::exp(x)) << x;
  }
  EXPECT_DOUBLE_EQ(tools::noteFrequency(69), 440.0);
  EXPECT_DOUBLE_EQ(tools::noteFrequency(45), 110.0);
  EXPECT_NEAR(tools::noteFrequency(60), 261.6256, 1e-4);
  EXPECT_NEAR(tools::noteFrequency(58), 233.0819, 1e-4);
}

struct Clip {
  const char* name;
  std::vector<std::int16_t> (*make)();
  double minSeconds;
  double maxSeconds;
  double peakDb;
};

void PrintTo(const Clip& clip, std::ostream* out) { *out << clip.name; }

class GameSound : public ::testing::TestWithParam<Clip> {};

int peakOf(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (const std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

TEST_P(GameSound, SameEveryRunWithinItsLengthAtItsLevelUnclipped) {
  const std::vector<std::int16_t> samples = GetParam().make();
  EXPECT_EQ(samples, GetParam().make());
  const double seconds = static_cast<double>(samples.size()) / tools::kSampleRate;
  EXPECT_GE(seconds, GetParam().minSeconds);
  EXPECT_LE(seconds, GetParam().maxSeconds);
  const double peakDb = 20.0 * std::log10(peakOf(samples) / 32767.0);
  EXPECT_NEAR(peakDb, GetParam().peakDb, 0.05);
  double sum = 0.0;
  for (const std::int16_t s : samples) sum += s;
  EXPECT_LT(std::fabs(sum / static_cast<double>(samples.size())), 100.0) << "offset from zero";
}

INSTANTIATE_TEST_SUITE_P(
    Sounds, GameSound,
    ::testing::Values(Clip{"music", tools::makeMusic, 20.0, 60.0, tools::kMusicPeakDb},
                      Clip{"hit", tools::makeHitSound, 0.02, 0.08, tools::kHitPeakDb},
                      Clip{"blast", tools::makeBlastSound, 0.4, 0.7, tools::kEffectPeakDb},
                      Clip{"menu_select", tools::makeMenuSelectSound, 0.05, 0.25, tools::kEffectPeakDb}),
    [](const ::testing::TestParamInfo<Clip>& param) { return param.param.name; });

TEST(GameSounds, EffectsStartAndStopOnSilence) {
  for (const auto make : {tools::makeHitSound, tools::makeBlastSound, tools::makeMenuSelectSound}) {
    const std::vector<std::int16_t> samples = make();
    EXPECT_EQ(samples.front(), 0);
    EXPECT_LE(std::abs(samples.back()), 2);
  }
}

TEST(GameSounds, MusicIsWholeBarsBelowTheEffectsAndLoopsWithoutAStep) {
  const std::vector<std::int16_t> music = tools::makeMusic();
  ASSERT_EQ(music.size(), static_cast<std::size_t>(tools::kMusicSamples));
  EXPECT_EQ(music.size() % (tools::kMusicStepSamples * tools::kMusicStepsPerBar), 0u);
  EXPECT_LE(tools::kMusicPeakDb, tools::kEffectPeakDb - 3.0);
  // Looping must sound like playing on: the loop equals the second of two passes played in a
  // row, whose start carries the first pass's ringing notes and echoes.
  const std::vector<double> loop = tools::renderMusicLoop();
  const std::vector<double> twice = tools::renderMusicPasses(2);
  ASSERT_EQ(loop.size(), music.size());
  ASSERT_GE(twice.size(), 2 * loop.size());
  double worst = 0.0;
  for (std::size_t i = 0; i < loop.size(); ++i) worst = std::max(worst, std::fabs(loop[i] - twice[loop.size() + i]));
  EXPECT_LT(worst, 1e-9);
  // ... and differs from a cold start, which lacks them.
  const std::vector<double> once = tools::renderMusicPasses(1);
  EXPECT_GT(std::fabs(loop[0] - once[0]), 1e-3);
}

}  // namespace
