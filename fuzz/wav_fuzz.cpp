// Sounds: arbitrary bytes as a WAV file, loaded by SoundClip on the mixer (SDL's dummy
// device, so no sound card is needed), converted to the mixing format when they are not in
// it, then played, paused and resumed. A clip is empty exactly when the file is shorter than
// its header or the header names no playable PCM format; a playable one loads and plays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzz/support/bytes.hpp"
#include "fuzz/support/scratch.hpp"
#include "platform/audio.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "sound/sound_clip.hpp"

namespace {

constexpr std::size_t kHeaderBytes = 44;
// Far below what a clip may cost even at the lowest rate, so every playable input loads.
constexpr std::size_t kLargestInput = 1 << 20;

platform::PcmFormat headerFormat(const std::uint8_t* data) {
  platform::PcmFormat format;
  const auto field = [data](std::size_t at, std::size_t count) { return fuzzing::littleEndian(data, kHeaderBytes, at, count); };
  format.formatTag = static_cast<std::uint16_t>(field(20, 2));
  format.channels = static_cast<std::uint16_t>(field(22, 2));
  format.samplesPerSecond = field(24, 4);
  format.avgBytesPerSecond = field(28, 4);
  format.blockAlign = static_cast<std::uint16_t>(field(32, 2));
  format.bitsPerSample = static_cast<std::uint16_t>(field(34, 2));
  return format;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  // Kept for the whole run: opening the mixer for every input would cost more than the input.
  static std::unique_ptr<platform::SdlAudio> mixer = platform::SdlAudio::open();
  if (mixer) platform::setAudioBackend(mixer.get());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kLargestInput || !fuzzing::writeScratchFile("input.wav", data, size)) return 0;
  const bool loop = size % 2 == 1;
  sound::SoundClip clip(fuzzing::scratchFolder() + "input.wav", loop);
  const bool playable = size >= kHeaderBytes && platform::isPlayablePcm(headerFormat(data));
  if (clip.empty() == playable) fuzzing::violated(playable ? "a playable clip stayed empty" : "an unplayable clip loaded");
  clip.play();
  if (clip.plays() != (playable ? 1 : 0)) fuzzing::violated("a new clip was not played exactly once");
  clip.pause();
  clip.play();
  clip.restart();
  return 0;
}
