#include "platform/audio.hpp"

#include "platform/headless/headless_audio.hpp"

namespace platform {
namespace {

AudioBackend* installed = nullptr;

}  // namespace

bool isPlayablePcm(const PcmFormat& format) {
  if (format.formatTag != 1) return false;
  if (format.channels != 1 && format.channels != 2) return false;
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
  if (format.samplesPerSecond < 1000 || format.samplesPerSecond > 192000) return false;
  return format.blockAlign == format.channels * (format.bitsPerSample / 8);
}

std::uint64_t mixingCopyBytes(const PcmFormat& format, std::uint64_t sampleBytes) {
  if (!isPlayablePcm(format)) return 0;
  if (format.samplesPerSecond == kMixingRate && format.channels == kMixingChannels &&
      format.bitsPerSample == kMixingBitsPerSample) {
    return 0;
  }
  const std::uint64_t frames = sampleBytes / format.blockAlign;
  return frames * kMixingRate / format.samplesPerSecond * (kMixingChannels * kMixingBitsPerSample / 8);
}

AudioBackend& audioBackend() { return installed != nullptr ? *installed : headlessAudio(); }

void setAudioBackend(AudioBackend* backend) { installed = backend; }

}  // namespace platform
