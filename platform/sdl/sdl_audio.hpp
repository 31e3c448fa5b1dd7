// Sound over SDL2_mixer: each output owns a mixer channel of its own, the desktop's
// stand-in for a wave-output device per clip. The mixer runs in the format the game's sounds
// are stored in, so they play straight from the caller's samples; a clip in another format is
// converted once, when its output is opened.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/audio.hpp"

namespace platform {

// PCM samples converted between SDL audio formats (SDL_AudioFormat values, rates in Hz), sample
// for sample as SDL_ConvertAudio gives them, and cut to the input's duration at the new rate
// (whole frames). Empty for empty input and on failure.
std::vector<std::uint8_t> convertPcm(std::span<const std::uint8_t> samples, std::uint16_t fromFormat, int fromChannels,
                                     int fromRate, std::uint16_t toFormat, int toChannels, int toRate);

// True when samples in one SDL format can be mixed as they are in another: the same format,
// channels and rate, and an address the samples can be read from as such.
bool playsInPlace(const std::uint8_t* samples, std::uint16_t fromFormat, int fromChannels, int fromRate,
                  std::uint16_t toFormat, int toChannels, int toRate);

class SdlAudio : public AudioBackend {
 public:
  // Opens the mixer in the mixing format (SDL converts for the device). Null when there is
  // no audio device, with SDL's reason in `whyNot`: the caller keeps the silent backend.
  static std::unique_ptr<SdlAudio> open(std::string* whyNot = nullptr);
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Samples in the mixer's format are played in place: they must outlive the output.
  std::unique_ptr<AudioOutput> open(const PcmFormat& format, std::span<const std::uint8_t> samples,
                                    bool loop) override;

  class Output;

 private:
  SdlAudio(int frequency, std::uint16_t format, int channels);
  int takeChannel();
  void releaseChannel(int channel);

  friend class Output;
  int frequency_;
  std::uint16_t format_;
  int channels_;
  int allocatedChannels_ = 0;
  std::vector<int> freeChannels_;
  std::vector<Output*> outputs_;  // so that outputs outliving the mixer let it alone
};

}  // namespace platform
