#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
// 1,024 sample frames: about 23 ms, short enough that a hit sounds with the hit.
constexpr int kBufferFrames = 1024;

}  // namespace

class SdlAudio::Output : public AudioOutput {
 public:
  Output(SdlAudio& owner, int channel, std::vector<Uint8> samples, bool loop)
      : owner_(&owner), channel_(channel), samples_(std::move(samples)), loop_(loop) {
    chunk_.allocated = 0;  // the buffer is ours, never freed by the mixer
    chunk_.abuf = samples_.data();
    chunk_.alen = static_cast<Uint32>(samples_.size());
    chunk_.volume = MIX_MAX_VOLUME;
    owner_->outputs_.push_back(this);
  }

  ~Output() override {
    if (owner_ == nullptr) return;
    Mix_HaltChannel(channel_);
    owner_->releaseChannel(channel_);
    std::erase(owner_->outputs_, this);
  }

  void play() override {
    if (owner_ == nullptr || samples_.empty()) return;
    // An output paused before the play stays paused, like a paused wave device that is
    // handed samples: they wait, queued and silent, for resume().
    if (paused_) {
      waiting_ = true;
      return;
    }
    Mix_PlayChannel(channel_, &chunk_, loop_ ? -1 : 0);
  }

  bool sounding() const override { return owner_ != nullptr && (waiting_ || Mix_Playing(channel_) != 0); }

  void pause() override {
    paused_ = true;
    if (owner_ != nullptr) Mix_Pause(channel_);
  }

  void resume() override {
    paused_ = false;
    if (owner_ == nullptr) return;
    if (waiting_) {
      waiting_ = false;
      Mix_PlayChannel(channel_, &chunk_, loop_ ? -1 : 0);
      return;
    }
    Mix_Resume(channel_);
  }

  void orphan() { owner_ = nullptr; }

 private:
  SdlAudio* owner_;
  int channel_;
  std::vector<Uint8> samples_;
  bool loop_;
  bool paused_ = false;
  bool waiting_ = false;  // played while paused; starts on resume()
  Mix_Chunk chunk_{};
};

std::unique_ptr<SdlAudio> SdlAudio::open() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, kChannels, kBufferFrames) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  int frequency = 0;
  Uint16 format = 0;
  int channels = 0;
  if (Mix_QuerySpec(&frequency, &format, &channels) == 0) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  return std::unique_ptr<SdlAudio>(new SdlAudio(frequency, format, channels));
}

SdlAudio::SdlAudio(int frequency, std::uint16_t format, int channels)
    : frequency_(frequency), format_(format), channels_(channels) {
  allocatedChannels_ = 0;
  Mix_AllocateChannels(0);
}

SdlAudio::~SdlAudio() {
  for (Output* output : outputs_) output->orphan();
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int SdlAudio::takeChannel() {
  if (!freeChannels_.empty()) {
    const int channel = freeChannels_.back();
    freeChannels_.pop_back();
    return channel;
  }
  const int channel = allocatedChannels_;
  if (Mix_AllocateChannels(allocatedChannels_ + 1) != allocatedChannels_ + 1) return -1;
  ++allocatedChannels_;
  return channel;
}

void SdlAudio::releaseChannel(int channel) { freeChannels_.push_back(channel); }

std::unique_ptr<AudioOutput> SdlAudio::open(const PcmFormat& format, std::span<const std::uint8_t> samples,
                                            bool loop) {
  if (!isPlayablePcm(format)) return nullptr;
  // Whole sample frames only: a torn last frame would swap the channels of everything after
  // it in a loop.
  const std::size_t usable = samples.size() - samples.size() % format.blockAlign;
  SDL_AudioCVT convert;
  const SDL_AudioFormat from = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  if (SDL_BuildAudioCVT(&convert, from, static_cast<Uint8>(format.channels), static_cast<int>(format.samplesPerSecond),
                        format_, static_cast<Uint8>(channels_), frequency_) < 0) {
    return nullptr;
  }
  std::vector<Uint8> converted(usable * static_cast<std::size_t>(std::max(convert.len_mult, 1)));
  if (!converted.empty()) std::memcpy(converted.data(), samples.data(), usable);
  if (convert.needed != 0 && usable > 0) {
    convert.buf = converted.data();
    convert.len = static_cast<int>(usable);
    if (SDL_ConvertAudio(&convert) != 0) return nullptr;
    converted.resize(static_cast<std::size_t>(convert.len_cvt));
  } else {
    converted.resize(usable);
  }
  const int channel = takeChannel();
  if (channel < 0) return nullptr;
  return std::make_unique<Output>(*this, channel, std::move(converted), loop);
}

}  // namespace platform
