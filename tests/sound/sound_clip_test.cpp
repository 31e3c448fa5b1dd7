// Sound clips: what a clip hands its output from the file, and when a play is accepted.
#include "sound/sound_clip.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

// What one clip may cost is its file plus, outside the mixing format, the converted copy: the
// boundary in the mixing format is the file's size; a small file at a low rate is refused for
// what it would cost once converted, with a word on standard error.
TEST(SoundClip, AClipThatWouldCostMoreThanTheLimitIsRefusedWithAMessage) {
  struct CountingBackend : platform::AudioBackend {
    struct Output : platform::AudioOutput {
      void play() override {}
      bool sounding() const override { return false; }
      void pause() override {}
      void resume() override {}
    };
    std::unique_ptr<platform::AudioOutput> open(const platform::PcmFormat&, std::span<const std::uint8_t>,
                                                bool) override {
      return std::make_unique<Output>();
    }
  };
  struct Case {
    const char* name;
    WavFormat format;
    std::size_t sampleBytes;
    const char* message;  // empty when the clip loads
  };
  constexpr std::size_t kLimit = sound::SoundClip::kLargestBytes;
  const WavFormat mixing{1, 1, 22050, 44100, 2, 16};
  const WavFormat low{1, 1, 1000, 1000, 1, 8};
  const Case cases[] = {
      {"the mixing format, exactly the limit", mixing, kLimit - 44, ""},
      {"the mixing format, a sample more", mixing, kLimit - 42, "is larger, more than the 64.0 MB"},
      // 1,478,044 bytes of file and 65,179,800 converted
      {"1 kHz, just under the limit once converted", low, 1478000, ""},
      {"1 kHz, over the limit once converted", low, 1500000, "would take 64.5 MB to play at 1000 samples a second"},
  };
  testing_support::ScratchFolder folder;
  CountingBackend backend;
  platform::setAudioBackend(&backend);
  for (const Case& c : cases) {
    testing_support::writeBytes(folder.file("a.wav"),
                                testing_support::wavBytes(c.format, std::vector<std::uint8_t>(c.sampleBytes, 0x80)));
    ::testing::internal::CaptureStderr();
    const bool empty = sound::SoundClip(folder.file("a.wav"), true).empty();
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (c.message[0] == '\0') {
      EXPECT_FALSE(empty) << c.name;
      EXPECT_EQ(said, "") << c.name;
    } else {
      EXPECT_TRUE(empty) << c.name;
      EXPECT_EQ(said, "zebrolite: sound " + folder.file("a.wav") + " " + c.message +
                          (std::string_view(c.message).starts_with("is") ? "" : ", more than the 64.0 MB") +
                          " a sound may take; not loaded\n")
          << c.name;
    }
  }
  std::filesystem::remove(folder.file("a.wav"));
  platform::setAudioBackend(nullptr);
}

// The game's own sounds stay far within what a clip may cost.
TEST(SoundClip, TheGamesOwnSoundsLoadWellWithinTheLimit) {
  ::testing::internal::CaptureStderr();
  for (const char* name : {"music.wav", "hit.wav", "blast.wav", "menu_select.wav"}) {
    const std::string path = testing_support::gameFolder() + name;
    EXPECT_FALSE(sound::SoundClip(path, false).empty()) << name;
    std::error_code error;
    EXPECT_LT(std::filesystem::file_size(path, error), sound::SoundClip::kLargestBytes / 16) << name;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A FIFO in place of a sound would block its read for ever: it leaves the clip empty.
TEST(SoundClip, AFifoInPlaceOfTheFileLeavesTheClipEmptyWithoutWaiting) {
  testing_support::ScratchFolder folder;
  ASSERT_EQ(::mkfifo(folder.file("fifo.wav").c_str(), 0600), 0);
  ::alarm(20);  // a regression blocks: end the test rather than hang the suite
  EXPECT_TRUE(sound::SoundClip(folder.file("fifo.wav"), true).empty());
  ::alarm(0);
}

}  // namespace
