#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// One sample at 48 kHz lasts less than a frame at the mixer's 22,050 Hz and converts to
// nothing; it is still a playable clip, as on the silent backend, not a refused one.
TEST_F(MixerAudio, AClipShorterThanOneMixerFrameOpensAndPlaysNothing) {
  for (const PcmFormat& format : {pcm(1, 48000, 8), pcm(2, 192000, 16)}) {
    const std::vector<std::uint8_t> samples(format.blockAlign, 0x80);
    auto output = audio_->open(format, samples, false);
    ASSERT_TRUE(output) << format.samplesPerSecond;
    output->play();
    EXPECT_TRUE(waitUntilSilent(*output));
  }
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

// The mixer on SDL's disk driver, which writes what the device would play to a file: a clip in
// the mixer's format (22,050 Hz mono 16-bit) must come out sample for sample.
class MixerOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::path(::testing::TempDir()) / "zebrolite-mixer-output.raw";
    std::filesystem::remove(path_);
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    audio_ = SdlAudio::open();
    if (!audio_) GTEST_SKIP() << "no disk audio driver";
  }
  void TearDown() override {
    audio_.reset();
    ::unsetenv("SDL_DISKAUDIOFILE");
    std::filesystem::remove(path_);
  }
  // Waits (boundedly) until the device has written `bytes` more than now.
  void waitForOutput(std::uintmax_t bytes) const {
    const std::uintmax_t target = size() + bytes;
    for (int i = 0; i < 1000 && size() < target; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::uintmax_t size() const {
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(path_, error);
    return error ? 0 : bytes;
  }
  std::vector<std::int16_t> written() const {
    std::ifstream in(path_, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }

  std::filesystem::path path_;
  std::unique_ptr<SdlAudio> audio_;
};

TEST_F(MixerOnDisk, AClipInTheMixersFormatLoopsWithoutAGapAndPausesWhereItStands) {
  // 50 ms of a ramp that is never zero, so silence tells itself apart.
  constexpr int kFrames = 1103;
  std::vector<std::uint8_t> clip(kFrames * 2);
  for (int i = 0; i < kFrames; ++i) {
    const auto value = static_cast<std::int16_t>(100 + 23 * i);
    std::memcpy(clip.data() + 2 * i, &value, 2);
  }
  auto music = audio_->open(pcm(1, 22050, 16), clip, true);
  ASSERT_TRUE(music);
  music->play();
  waitForOutput(kFrames * 2 * 4);
  music->pause();
  waitForOutput(512 * 2 * 3);
  music->resume();
  waitForOutput(kFrames * 2 * 2);
  music.reset();
  audio_.reset();

  const std::vector<std::int16_t> out = written();
  std::size_t at = 0;
  while (at < out.size() && out[at] == 0) ++at;
  ASSERT_LT(at, out.size()) << "nothing was played";
  // From the first sample on: the ramp over and over, with one run of silence (the pause)
  // after which it goes on from where it stopped.
  int expected = 0;
  int played = 0;
  int silentRuns = 0;
  bool silent = false;
  for (; at < out.size(); ++at) {
    if (out[at] == 0) {
      if (!silent) ++silentRuns;
      silent = true;
      continue;
    }
    silent = false;
    ASSERT_EQ(out[at], static_cast<std::int16_t>(100 + 23 * expected)) << "sample " << at;
    expected = (expected + 1) % kFrames;
    ++played;
  }
  EXPECT_GE(played, kFrames * 4);
  EXPECT_GE(silentRuns, 1);
  EXPECT_LE(silentRuns, 2) << "the pause, and perhaps the end after the output was closed";
}

TEST(PlaysInPlace, OnlyTheMixersOwnFormatAtAReadableAddress) {
  alignas(4) const std::uint8_t bytes[8] = {};
  struct Case {
    const std::uint8_t* at;
    std::uint16_t format;
    int channels;
    int rate;
    bool inPlace;
  };
  const Case cases[] = {
      {bytes, AUDIO_S16SYS, 1, 22050, true},
      {bytes + 1, AUDIO_S16SYS, 1, 22050, false},  // a 16-bit sample across two words
      {bytes, AUDIO_S16SYS, 2, 22050, false},
      {bytes, AUDIO_S16SYS, 1, 44100, false},
      {bytes, AUDIO_U8, 1, 22050, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(playsInPlace(c.at, c.format, c.channels, c.rate, AUDIO_S16SYS, 1, 22050), c.inPlace)
        << c.channels << " channels, " << c.rate << " Hz";
  }
  EXPECT_TRUE(playsInPlace(bytes + 1, AUDIO_U8, 1, 11025, AUDIO_U8, 1, 11025));
}

// The conversion the mixer's outputs use, against SDL_ConvertAudio on the whole clip at once, for
// rates that divide 44,100 (for other ratios SDL_ConvertAudio's step is rounded from the clip's
// length, so the two drift apart by a fraction of a sample towards the end).
struct ConversionCase {
  SDL_AudioFormat format;
  int channels;
  int rate;
};

class PcmConversion : public ::testing::TestWithParam<ConversionCase> {};

std::vector<std::uint8_t> tone(const ConversionCase& c, int frames) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < frames; ++i) {
    for (int channel = 0; channel < c.channels; ++channel) {
      const double t = static_cast<double>(i) / c.rate;
      const double v = 0.4 * std::sin(2 * M_PI * (440.0 + 220.0 * channel) * t) + 0.2 * std::sin(2 * M_PI * 3000.0 * t);
      if (c.format == AUDIO_U8) {
        bytes.push_back(static_cast<std::uint8_t>(128 + std::lround(v * 127)));
      } else {
        const auto s = static_cast<std::int16_t>(std::lround(v * 32767));
        bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
      }
    }
  }
  return bytes;
}

TEST_P(PcmConversion, GivesWhatAWholeClipConversionGivesAtTheClipsLength) {
  const ConversionCase c = GetParam();
  const int frames = c.rate * 2 + 37;  // two seconds and a torn piece
  const std::vector<std::uint8_t> in = tone(c, frames);

  SDL_AudioCVT cvt;
  ASSERT_GE(SDL_BuildAudioCVT(&cvt, c.format, static_cast<Uint8>(c.channels), c.rate, AUDIO_S16SYS, 2, 44100), 0);
  std::vector<std::uint8_t> whole(in.size() * static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
  std::memcpy(whole.data(), in.data(), in.size());
  std::size_t wholeLength = in.size();
  if (cvt.needed != 0) {
    cvt.buf = whole.data();
    cvt.len = static_cast<int>(in.size());
    ASSERT_EQ(SDL_ConvertAudio(&cvt), 0);
    wholeLength = static_cast<std::size_t>(cvt.len_cvt);
  }

  const std::vector<std::uint8_t> out = convertPcm(in, c.format, c.channels, c.rate, AUDIO_S16SYS, 2, 44100);
  const std::size_t expected = static_cast<std::size_t>(frames) * 44100 / static_cast<std::size_t>(c.rate) * 4;
  ASSERT_EQ(out.size(), expected);
  ASSERT_LE(out.size(), wholeLength);
  int largest = 0;
  for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
    std::int16_t a = 0;
    std::int16_t b = 0;
    std::memcpy(&a, out.data() + i, 2);
    std::memcpy(&b, whole.data() + i, 2);
    largest = std::max(largest, std::abs(a - b));
  }
  EXPECT_LE(largest, 1) << "every sample, the first and the last included";
}

INSTANTIATE_TEST_SUITE_P(Formats, PcmConversion,
                         ::testing::Values(ConversionCase{AUDIO_S16LSB, 1, 22050}, ConversionCase{AUDIO_U8, 1, 11025},
                                           ConversionCase{AUDIO_U8, 2, 22050}, ConversionCase{AUDIO_S16LSB, 2, 44100}));

// The stream holds back more of its input the higher the input's rate: a clip of up to
// 192,000 samples a second still comes out whole in the mixer's format, a short one too,
// and its end is the clip's sound, not the silence fed after it.
TEST(PcmConversionInput, HighRatesComeOutWholeInTheMixingFormat) {
  for (const int rate : {96000, 150000, 192000}) {
    for (const int channels : {1, 2}) {
      for (const int frames : {10, 1000, 100000}) {
        const ConversionCase c{AUDIO_S16LSB, channels, rate};
        const std::vector<std::uint8_t> out = convertPcm(tone(c, frames), AUDIO_S16LSB, channels, rate, AUDIO_S16SYS, 1, 22050);
        const std::size_t expected = static_cast<std::size_t>(frames) * 22050 / static_cast<std::size_t>(rate) * 2;
        ASSERT_EQ(out.size(), expected) << rate << " Hz, " << channels << " channels, " << frames << " frames";
        if (frames < 100000) continue;
        int loudest = 0;
        for (std::size_t i = out.size() - 200; i < out.size(); i += 2) {
          std::int16_t sample = 0;
          std::memcpy(&sample, out.data() + i, 2);
          loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        EXPECT_GT(loudest, 5000) << rate << " Hz: the last 100 samples are silent";
      }
    }
  }
}

TEST(PcmConversionInput, NothingInGivesNothingOut) {
  EXPECT_TRUE(convertPcm({}, AUDIO_S16LSB, 1, 22050, AUDIO_S16SYS, 2, 44100).empty());
}

}  // namespace
}  // namespace platform
