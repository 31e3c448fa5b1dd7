// Sound clips on the headless output, and what a clip hands the output from its file.
#include "sound/sound_clip.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "platform/headless/headless_audio.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

struct Header {
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 1;
  std::uint32_t samplesPerSecond = 8000;
  std::uint32_t avgBytesPerSecond = 8000;
  std::uint16_t blockAlign = 1;
  std::uint16_t bitsPerSample = 8;
};

void put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A canonical 44-byte header followed by `samples`.
std::vector<std::uint8_t> wav(const Header& h, const std::vector<std::uint8_t>& samples) {
  std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F'};
  put(bytes, static_cast<std::uint32_t>(36 + samples.size()), 4);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(bytes, 16, 4);
  put(bytes, h.formatTag, 2);
  put(bytes, h.channels, 2);
  put(bytes, h.samplesPerSecond, 4);
  put(bytes, h.avgBytesPerSecond, 4);
  put(bytes, h.blockAlign, 2);
  put(bytes, h.bitsPerSample, 2);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  put(bytes, static_cast<std::uint32_t>(samples.size()), 4);
  bytes.insert(bytes.end(), samples.begin(), samples.end());
  return bytes;
}

class SoundClipTest : public ::testing::Test {
 protected:
  std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder_.file(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  // A clip of `ms` milliseconds at 8,000 samples a second.
  std::string clipOf(int ms) { return file("clip.wav", wav({}, std::vector<std::uint8_t>(8 * ms, 0x80))); }
  static void passes(int count) {
    for (int i = 0; i < count; ++i) platform::headlessAudio().advance10ms();
  }

  testing_support::ScratchFolder folder_;
};

TEST_F(SoundClipTest, APlayIsRefusedWhileTheClipStillSounds) {
  sound::SoundClip clip(clipOf(30), false);
  ASSERT_FALSE(clip.empty());
  clip.play();
  clip.play();
  EXPECT_EQ(clip.plays(), 1);
  passes(2);
  clip.play();
  EXPECT_EQ(clip.plays(), 1);
  passes(1);
  clip.play();
  EXPECT_EQ(clip.plays(), 2);
}

TEST_F(SoundClipTest, PauseHoldsThePositionAndRestartGoesOn) {
  sound::SoundClip clip(clipOf(30), false);
  clip.play();
  passes(1);
  clip.pause();
  EXPECT_TRUE(clip.paused());
  passes(100);
  clip.play();
  EXPECT_EQ(clip.plays(), 1);  // still queued
  clip.restart();
  EXPECT_FALSE(clip.paused());
  passes(2);
  clip.play();
  EXPECT_EQ(clip.plays(), 2);
}

TEST_F(SoundClipTest, APauseBeforeAnyPlayHoldsThePlayThatFollows) {
  sound::SoundClip clip(clipOf(10), false);
  clip.restart();  // nothing was played: nothing sounds
  clip.play();
  EXPECT_EQ(clip.plays(), 1);
  passes(1);
  clip.pause();
  clip.play();
  EXPECT_EQ(clip.plays(), 2);
  passes(5);
  clip.play();
  EXPECT_EQ(clip.plays(), 2);
  clip.restart();
  passes(1);
  clip.play();
  EXPECT_EQ(clip.plays(), 3);
}

TEST_F(SoundClipTest, ALoopingClipSoundsForItsWholeLife) {
  sound::SoundClip clip(clipOf(10), true);
  clip.play();
  passes(1000);
  clip.play();
  EXPECT_EQ(clip.plays(), 1);
}

TEST_F(SoundClipTest, EmptyClipsDoNothing) {
  Header notPcm;
  notPcm.formatTag = 3;
  Header noChannels;
  noChannels.channels = 0;
  Header twelveBits;
  twelveBits.bitsPerSample = 12;
  Header badAlignment;
  badAlignment.blockAlign = 2;
  Header tooSlow;
  tooSlow.samplesPerSecond = 999;
  std::vector<std::uint8_t> short43 = wav({}, {});
  short43.pop_back();
  const std::pair<std::string, std::vector<std::uint8_t>> files[] = {
      {"empty.wav", {}},
      {"short.wav", short43},
      {"float.wav", wav(notPcm, {1, 2, 3, 4})},
      {"silent.wav", wav(noChannels, {1, 2})},
      {"twelve.wav", wav(twelveBits, {1, 2})},
      {"align.wav", wav(badAlignment, {1, 2})},
      {"slow.wav", wav(tooSlow, {1, 2})},
  };
  std::vector<std::string> paths;
  for (const auto& [name, bytes] : files) paths.push_back(file(name, bytes));
  paths.push_back(folder_.file("missing.wav"));
  paths.push_back(folder_.path());  // a folder, not a file
  for (const std::string& path : paths) {
    sound::SoundClip clip(path, true);
    EXPECT_TRUE(clip.empty()) << path;
    clip.play();
    clip.pause();
    clip.restart();
    clip.pause();
    EXPECT_EQ(clip.plays(), 0) << path;
    EXPECT_FALSE(clip.paused()) << path;
  }
}

// What the clip hands the output: the six fields from their offsets, every byte from 44 on.
class RecordingBackend : public platform::AudioBackend {
 public:
  class Output : public platform::AudioOutput {
   public:
    explicit Output(RecordingBackend& owner) : owner_(owner) {}
    ~Output() override { ++owner_.closed; }
    void play() override { ++owner_.played; }
    bool sounding() const override { return false; }
    void pause() override {}
    void resume() override {}

   private:
    RecordingBackend& owner_;
  };

  std::unique_ptr<platform::AudioOutput> open(const platform::PcmFormat& f, std::span<const std::uint8_t> samples,
                                              bool loopFlag) override {
    format = f;
    received.assign(samples.begin(), samples.end());
    loop = loopFlag;
    ++opened;
    return std::make_unique<Output>(*this);
  }

  platform::PcmFormat format;
  std::vector<std::uint8_t> received;
  bool loop = false;
  int opened = 0;
  int played = 0;
  int closed = 0;
};

TEST_F(SoundClipTest, HandsTheOutputTheHeaderFieldsAndEverythingAfterByte44) {
  RecordingBackend backend;
  platform::setAudioBackend(&backend);
  Header h;
  h.channels = 2;
  h.samplesPerSecond = 22050;
  h.avgBytesPerSecond = 0x12345678;  // not checked, passed on
  h.blockAlign = 4;
  h.bitsPerSample = 16;
  std::vector<std::uint8_t> bytes = wav(h, {1, 2, 3, 4});
  // A chunk after the data chunk is played as samples too.
  bytes.insert(bytes.end(), {'L', 'I', 'S', 'T', 2, 0, 0, 0, 9, 9});
  {
    sound::SoundClip clip(file("stereo.wav", bytes), true);
    ASSERT_EQ(backend.opened, 1);
    EXPECT_EQ(backend.format.formatTag, 1);
    EXPECT_EQ(backend.format.channels, 2);
    EXPECT_EQ(backend.format.samplesPerSecond, 22050u);
    EXPECT_EQ(backend.format.avgBytesPerSecond, 0x12345678u);
    EXPECT_EQ(backend.format.blockAlign, 4);
    EXPECT_EQ(backend.format.bitsPerSample, 16);
    EXPECT_EQ(backend.received, (std::vector<std::uint8_t>{1, 2, 3, 4, 'L', 'I', 'S', 'T', 2, 0, 0, 0, 9, 9}));
    EXPECT_TRUE(backend.loop);
    clip.play();
    EXPECT_EQ(backend.played, 1);
    EXPECT_EQ(backend.closed, 0);
  }
  EXPECT_EQ(backend.closed, 1);  // destroying the clip stops and closes its output
  sound::SoundClip refused(file("float.wav", wav(Header{3, 1, 8000, 8000, 1, 8}, {1})), false);
  EXPECT_EQ(backend.opened, 1);  // a format no output can play is not even offered
  platform::setAudioBackend(nullptr);
}

TEST_F(SoundClipTest, DestroyingAPlayingLoopingClipLeavesTheOutputsConsistent) {
  auto clip = std::make_unique<sound::SoundClip>(clipOf(10), true);
  sound::SoundClip other(clipOf(10), false);
  clip->play();
  other.play();
  clip.reset();
  passes(2);  // the headless output list no longer holds the destroyed output
  other.play();
  EXPECT_EQ(other.plays(), 2);
}

}  // namespace
