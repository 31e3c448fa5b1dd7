// Sound clips: what a clip hands its output from the file, and when a play is accepted.
#include "sound/sound_clip.hpp"

#include <gtest/gtest.h>

#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace {

using testing_support::WavFormat;

// Records the format and samples a clip opens its output with, and the output's calls.
struct RecordingBackend : platform::AudioBackend {
  struct Output : platform::AudioOutput {
    explicit Output(RecordingBackend& b) : owner(b) {}
    ~Output() override { owner.calls += "closed "; }
    void play() override { owner.calls += "play "; }
    bool sounding() const override { return owner.sounding; }
    void pause() override { owner.calls += "pause "; }
    void resume() override { owner.calls += "resume "; }
    RecordingBackend& owner;
  };
  std::unique_ptr<platform::AudioOutput> open(const platform::PcmFormat& f, std::span<const std::uint8_t> s,
                                              bool loopFlag) override {
    format = f;
    samples.assign(s.begin(), s.end());
    calls += loopFlag ? "open looping " : "open ";
    return std::make_unique<Output>(*this);
  }
  platform::PcmFormat format;
  std::vector<std::uint8_t> samples;
  std::string calls;
  bool sounding = false;
};

TEST(SoundClip, HandsTheOutputTheHeaderFieldsAndEveryByteFrom44AndPlaysOnlyWhenSilent) {
  testing_support::ScratchFolder folder;
  std::vector<std::uint8_t> bytes = testing_support::wavBytes({1, 2, 22050, 0x12345678, 4, 16}, {1, 2, 3, 4});
  bytes.insert(bytes.end(), {'L', 'I', 'S', 'T', 1, 0, 0, 0, 9});  // a chunk after the data is played too
  testing_support::writeBytes(folder.file("a.wav"), bytes);
  RecordingBackend backend;
  platform::setAudioBackend(&backend);
  {
    sound::SoundClip clip(folder.file("a.wav"), true);
    const platform::PcmFormat& f = backend.format;
    EXPECT_EQ(std::vector<std::uint32_t>({f.formatTag, f.channels, f.samplesPerSecond, f.avgBytesPerSecond, f.blockAlign,
                                          f.bitsPerSample}),
              std::vector<std::uint32_t>({1, 2, 22050, 0x12345678, 4, 16}));
    EXPECT_EQ(backend.samples, (std::vector<std::uint8_t>{1, 2, 3, 4, 'L', 'I', 'S', 'T', 1, 0, 0, 0, 9}));
    clip.play();
    backend.sounding = true;
    clip.play();  // still sounding: not restarted, not played twice
    clip.pause();
    clip.restart();
    EXPECT_EQ(clip.plays(), 1);
  }
  testing_support::writeBytes(folder.file("b.wav"), testing_support::wavBytes({3, 1, 8000, 8000, 1, 8}, {1}));
  sound::SoundClip refused(folder.file("b.wav"), false);  // a format no output plays is not even offered
  EXPECT_EQ(backend.calls, "open looping play pause resume closed ");
  platform::setAudioBackend(nullptr);
}

TEST(SoundClip, AShortMissingOrUnplayableFileLeavesTheClipEmpty) {
  testing_support::ScratchFolder folder;
  std::vector<std::uint8_t> short43 = testing_support::wavBytes({}, {});
  short43.pop_back();
  const std::vector<std::vector<std::uint8_t>> files = {
      {}, short43, testing_support::wavBytes({3, 1, 8000, 8000, 1, 8}, {1}),  // not PCM
      testing_support::wavBytes({1, 0, 8000, 8000, 1, 8}, {1}), testing_support::wavBytes({1, 1, 8000, 8000, 1, 12}, {1}),
      testing_support::wavBytes({1, 1, 8000, 8000, 2, 8}, {1}), testing_support::wavBytes({1, 1, 999, 999, 1, 8}, {1})};
  std::vector<std::string> paths = {folder.file("missing.wav"), folder.path()};
  for (std::size_t i = 0; i < files.size(); ++i) {
    paths.push_back(folder.file(std::to_string(i) + ".wav"));
    testing_support::writeBytes(paths.back(), files[i]);
  }
  for (const std::string& path : paths) {
    sound::SoundClip clip(path, true);
    clip.pause();
    clip.play();
    clip.restart();
    EXPECT_TRUE(clip.empty() && clip.plays() == 0 && !clip.paused()) << path;
  }
}

}  // namespace
