// Sound output: the stand-in for the handheld's wave-output devices. Each clip opens an
// output of its own for its samples; outputs play independently of each other.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// The six fields of a PCM wave-format record, as a WAV header stores them.
struct PcmFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint32_t avgBytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
};

// The format outputs mix in, which every sound of the game is stored in: 22,050 Hz, 16-bit,
// mono. A clip in it plays from its own samples; any other is converted once, into a copy.
constexpr std::uint32_t kMixingRate = 22050;
constexpr std::uint16_t kMixingChannels = 1;
constexpr std::uint16_t kMixingBitsPerSample = 16;

// True for the formats an output can play: plain PCM, 1 or 2 channels, 8 or 16 bits,
// 1,000 to 192,000 samples a second, and a block alignment that matches.
bool isPlayablePcm(const PcmFormat& format);

// The bytes an output holds besides the caller's samples: none in the mixing format, else
// the samples converted to it (a byte count, from `sampleBytes` of samples in `format`).
std::uint64_t mixingCopyBytes(const PcmFormat& format, std::uint64_t sampleBytes);

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Starts the samples from the beginning. Callers check sounding() first: an output that
  // is still sounding is never started again.
  virtual void play() = 0;
  // True from play() until the samples have finished (always, for a looping output);
  // a paused output is still sounding.
  virtual bool sounding() const = 0;
  virtual void pause() = 0;
  virtual void resume() = 0;
};

class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  // `loop` repeats the samples without a gap until the output is destroyed. The samples must
  // stay unchanged until then: a backend may play them in place rather than copy them.
  // Null when the format cannot be played.
  virtual std::unique_ptr<AudioOutput> open(const PcmFormat& format, std::span<const std::uint8_t> samples,
                                            bool loop) = 0;
};

// The installed backend; the headless one (silent, deterministic) unless another was set.
AudioBackend& audioBackend();
void setAudioBackend(AudioBackend* backend);  // nullptr restores the headless backend

}  // namespace platform
