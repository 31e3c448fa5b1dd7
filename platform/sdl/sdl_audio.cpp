#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace platform {
namespace {

// 512 sample frames: about 23 ms, short enough that a hit sounds with the hit.
constexpr int kBufferFrames = 512;
// Input bytes handed to the converter at a time.
constexpr std::size_t kConvertPiece = 16384;
// Silent input frames fed after the clip: the stream holds back the tail of its input (512
// frames for 22,050 Hz mono) until more comes, and a flush does not give it out. The higher
// the input's rate above the output's, the more it holds back (at 192,000 Hz more than 4,096
// frames), so silence is fed again until the clip's whole length has come out.
constexpr std::size_t kTailFrames = 4096;
constexpr int kMostTails = 16;

// alsa-lib reports every failure on standard error itself: without a sound card, eight lines
// of configuration complaints while SDL looks for a device. While the mixer opens they go
// nowhere; what went wrong comes back from SDL as the reason the mixer could not open, in one
// line. Afterwards ALSA speaks for itself again. (SDL loads the same libasound.)
class QuietAlsa {
 public:
  QuietAlsa() {
    library_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (library_ != nullptr) setHandler_ = reinterpret_cast<SetHandler>(dlsym(library_, "snd_lib_error_set_handler"));
    if (setHandler_ != nullptr) setHandler_(&ignore);
  }
  ~QuietAlsa() {
    if (setHandler_ != nullptr) setHandler_(nullptr);  // alsa-lib's own handler again
    if (library_ != nullptr) dlclose(library_);
  }
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  using Handler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
  using SetHandler = int (*)(Handler);
  static void ignore(const char*, int, const char*, int, const char*, ...) {}

  void* library_ = nullptr;
  SetHandler setHandler_ = nullptr;
};

}  // namespace

// Converted through a stream, a piece at a time. SDL_ConvertAudio would convert the whole clip
// in place in a buffer of len_mult times its size, 16 times for 22,050 Hz mono, and touch most
// of it: some 13 MB of peak memory for the music alone.
std::vector<std::uint8_t> convertPcm(std::span<const std::uint8_t> in, std::uint16_t from, int fromChannels, int fromRate,
                                     std::uint16_t to, int toChannels, int toRate) {
  if (in.empty() || fromChannels <= 0 || toChannels <= 0 || fromRate <= 0 || toRate <= 0) return {};
  SDL_AudioStream* stream = SDL_NewAudioStream(from, static_cast<Uint8>(fromChannels), fromRate, to,
                                               static_cast<Uint8>(toChannels), toRate);
  if (stream == nullptr) return {};
  const std::size_t inFrame = static_cast<std::size_t>(fromChannels) * SDL_AUDIO_BITSIZE(from) / 8;
  const std::size_t outFrame = static_cast<std::size_t>(toChannels) * SDL_AUDIO_BITSIZE(to) / 8;
  const std::size_t frames = in.size() / inFrame;
  const std::size_t length =
      static_cast<std::size_t>(static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(toRate) /
                               static_cast<std::uint64_t>(fromRate)) *
      outFrame;
  std::vector<Uint8> out;
  out.reserve(length + (kTailFrames * static_cast<std::size_t>(toRate) / static_cast<std::size_t>(fromRate) + 1) *
                           outFrame);
  bool ok = true;
  const auto put = [&](const Uint8* bytes, std::size_t count) {
    if (SDL_AudioStreamPut(stream, bytes, static_cast<int>(count)) != 0) ok = false;
    const int available = SDL_AudioStreamAvailable(stream);
    if (!ok || available <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(available));
    const int got = SDL_AudioStreamGet(stream, out.data() + at, available);
    if (got < 0) ok = false;
    out.resize(at + static_cast<std::size_t>(std::max(got, 0)));
  };
  for (std::size_t at = 0; ok && at < in.size(); at += kConvertPiece) {
    put(in.data() + at, std::min(kConvertPiece, in.size() - at));
  }
  const std::vector<Uint8> silence(kTailFrames * inFrame, from == AUDIO_U8 ? 0x80 : 0);
  for (int tail = 0; ok && tail < kMostTails && (tail == 0 || out.size() < length); ++tail) {
    put(silence.data(), silence.size());
  }
  SDL_FreeAudioStream(stream);
  if (!ok) return {};
  out.resize(std::min(out.size(), length));
  return out;
}

bool playsInPlace(const std::uint8_t* samples, std::uint16_t from, int fromChannels, int fromRate, std::uint16_t to,
                  int toChannels, int toRate) {
  // The mixer reads 16-bit samples as such: they must lie at even addresses.
  const std::size_t alignment = SDL_AUDIO_BITSIZE(from) / 8;
  return from == to && fromChannels == toChannels && fromRate == toRate &&
         reinterpret_cast<std::uintptr_t>(samples) % alignment == 0;
}

class SdlAudio::Output : public AudioOutput {
 public:
  // Plays `samples`, which are either the caller's (borrowed) or `converted`'s.
  Output(SdlAudio& owner, int channel, std::span<const Uint8> samples, std::vector<Uint8> converted, bool loop)
      : owner_(&owner), channel_(channel), converted_(std::move(converted)), loop_(loop) {
    if (!converted_.empty()) samples = converted_;
    chunk_.allocated = 0;  // never freed by the mixer
    // The mixer only reads a chunk's samples.
    chunk_.abuf = const_cast<Uint8*>(samples.data());
    chunk_.alen = static_cast<Uint32>(samples.size());
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
    if (owner_ == nullptr || chunk_.alen == 0) return;
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
  std::vector<Uint8> converted_;  // empty when the caller's samples are played in place
  bool loop_;
  bool paused_ = false;
  bool waiting_ = false;  // played while paused; starts on resume()
  Mix_Chunk chunk_{};
};

std::unique_ptr<SdlAudio> SdlAudio::open(std::string* whyNot) {
  const QuietAlsa quiet;
  const auto noteWhy = [whyNot] {
    if (whyNot != nullptr) *whyNot = SDL_GetError();
  };
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    noteWhy();
    return nullptr;
  }
  // No changes allowed: the mixer works in the mixing format whatever the device's, and SDL
  // resamples the mix for the device, a buffer at a time.
  static_assert(kMixingBitsPerSample == 16);
  if (Mix_OpenAudioDevice(static_cast<int>(kMixingRate), AUDIO_S16SYS, kMixingChannels, kBufferFrames, nullptr, 0) != 0) {
    noteWhy();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  int frequency = 0;
  Uint16 format = 0;
  int channels = 0;
  if (Mix_QuerySpec(&frequency, &format, &channels) == 0) {
    noteWhy();
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
  const SDL_AudioFormat from = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  const int fromRate = static_cast<int>(format.samplesPerSecond);
  std::span<const std::uint8_t> played = samples.first(usable);
  std::vector<Uint8> converted;
  if (!playsInPlace(samples.data(), from, format.channels, fromRate, format_, channels_, frequency_) && usable > 0) {
    converted = convertPcm(played, from, format.channels, fromRate, format_, channels_, frequency_);
    // A clip shorter than one frame at the mixer's rate converts to nothing: like a clip
    // without samples it opens and plays silence, as on every other backend.
    const std::uint64_t framesAtMixerRate =
        static_cast<std::uint64_t>(usable / format.blockAlign) * static_cast<std::uint64_t>(frequency_) / format.samplesPerSecond;
    if (converted.empty() && framesAtMixerRate > 0) return nullptr;
    if (converted.empty()) played = {};
  }
  const int channel = takeChannel();
  if (channel < 0) return nullptr;
  return std::make_unique<Output>(*this, channel, played, std::move(converted), loop);
}

}  // namespace platform
