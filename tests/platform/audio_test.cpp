#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio.hpp"
#include "platform/headless/headless_audio.hpp"
#include "platform/sdl/sdl_audio.hpp"

namespace platform {
namespace {

PcmFormat pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  PcmFormat format;
  format.formatTag = 1;
  format.channels = channels;
  format.samplesPerSecond = rate;
  format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  format.avgBytesPerSecond = rate * format.blockAlign;
  format.bitsPerSample = bits;
  return format;
}

// Runs the silent backend's clock until the output stops sounding; the passes it took.
int passesUntilSilent(HeadlessAudio& audio, AudioOutput& output) {
  int passes = 0;
  while (output.sounding() && passes < 100000) {
    audio.advance10ms();
    ++passes;
  }
  return passes;
}

TEST(HeadlessAudio, AClipSoundsForItsLengthInTenMillisecondPassesRoundedUp) {
  HeadlessAudio audio;
  struct Case {
    PcmFormat format;
    std::size_t bytes;
    int passes;
  };
  const Case cases[] = {
      {pcm(1, 44100, 16), 4410 * 2, 10},   // exactly 100 ms
      {pcm(1, 44100, 16), 4411 * 2, 11},   // one frame more
      {pcm(2, 22050, 16), 2205 * 4, 10},
      {pcm(1, 11025, 8), 1, 1},            // a single frame still sounds for a pass
      {pcm(2, 44100, 16), 3, 0},           // less than a frame: over at once
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> samples(c.bytes, 0);
    auto output = audio.open(c.format, samples, false);
    ASSERT_TRUE(output);
    EXPECT_FALSE(output->sounding());
    output->play();
    EXPECT_EQ(passesUntilSilent(audio, *output), c.passes) << c.bytes << " bytes";
  }
}

TEST(HeadlessAudio, PausedAndLoopingOutputsKeepSounding) {
  HeadlessAudio audio;
  const std::vector<std::uint8_t> samples(441 * 2, 0);  // 10 ms
  auto once = audio.open(pcm(1, 44100, 16), samples, false);
  auto looping = audio.open(pcm(1, 44100, 16), samples, true);
  once->play();
  looping->play();
  once->pause();
  for (int i = 0; i < 5; ++i) audio.advance10ms();
  EXPECT_TRUE(once->sounding());
  EXPECT_TRUE(looping->sounding());
  once->resume();
  audio.advance10ms();
  EXPECT_FALSE(once->sounding());
  EXPECT_TRUE(looping->sounding());
}

TEST(HeadlessAudio, RefusesFormatsAnOutputCannotPlay) {
  HeadlessAudio audio;
  const std::vector<std::uint8_t> samples(16, 0);
  PcmFormat adpcm = pcm(1, 22050, 16);
  adpcm.formatTag = 2;
  PcmFormat badAlign = pcm(2, 22050, 16);
  badAlign.blockAlign = 2;
  for (const PcmFormat& format : {adpcm, badAlign, pcm(3, 22050, 16), pcm(1, 22050, 24), pcm(1, 999, 8)}) {
    EXPECT_FALSE(audio.open(format, samples, false));
  }
}

// The mixer itself, on SDL's dummy audio device: no sound card needed.
class MixerAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    audio_ = SdlAudio::open();
    if (!audio_) GTEST_SKIP() << "the mixer cannot open even the dummy device";
  }
  std::unique_ptr<SdlAudio> audio_;
};

bool waitUntilSilent(const AudioOutput& output) {
  for (int i = 0; i < 500 && output.sounding(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !output.sounding();
}

TEST_F(MixerAudio, AShortClipPlaysToItsEndAndCanBePlayedAgain) {
  const std::vector<std::uint8_t> samples(2205, 128);  // 0.1 s of 8-bit silence at 22,050 Hz
  auto output = audio_->open(pcm(1, 22050, 8), samples, false);
  ASSERT_TRUE(output);
  EXPECT_FALSE(output->sounding());
  output->play();
  EXPECT_TRUE(output->sounding());
  EXPECT_TRUE(waitUntilSilent(*output));
  output->play();
  EXPECT_TRUE(output->sounding());
}

TEST_F(MixerAudio, PausedOutputsCountAsSoundingAndEachOutputHasItsOwnChannel) {
  const std::vector<std::uint8_t> samples(44100 * 4, 0);  // a second of stereo 16-bit
  auto music = audio_->open(pcm(2, 44100, 16), samples, true);
  auto hit = audio_->open(pcm(2, 44100, 16), samples, false);
  ASSERT_TRUE(music && hit);
  music->play();
  hit->play();
  music->pause();
  EXPECT_TRUE(music->sounding());
  EXPECT_TRUE(hit->sounding());
  hit.reset();  // halts only its own channel
  EXPECT_TRUE(music->sounding());
  music->resume();
  EXPECT_TRUE(music->sounding());
}

TEST_F(MixerAudio, APlayWhilePausedWaitsForResume) {
  const std::vector<std::uint8_t> samples(441 * 2, 0);  // 10 ms
  auto output = audio_->open(pcm(1, 44100, 16), samples, false);
  ASSERT_TRUE(output);
  output->pause();
  output->play();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(output->sounding()) << "queued behind the pause";
  output->resume();
  EXPECT_TRUE(waitUntilSilent(*output));
}

TEST_F(MixerAudio, OutputsMayOutliveTheMixer) {
  const std::vector<std::uint8_t> samples(441 * 2, 0);
  auto output = audio_->open(pcm(1, 44100, 16), samples, true);
  ASSERT_TRUE(output);
  output->play();
  audio_.reset();
  EXPECT_FALSE(output->sounding());
  output->play();
  output.reset();
}

}  // namespace
}  // namespace platform
