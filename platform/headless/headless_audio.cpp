#include "platform/headless/headless_audio.hpp"

#include <algorithm>

namespace platform {

class HeadlessAudio::Output : public AudioOutput {
 public:
  Output(HeadlessAudio& owner, std::uint32_t lengthTicks, bool loop)
      : owner_(owner), lengthTicks_(lengthTicks), loop_(loop) {
    const std::lock_guard<std::mutex> lock(owner_.mutex_);
    owner_.outputs_.push_back(this);
  }
  ~Output() override {
    const std::lock_guard<std::mutex> lock(owner_.mutex_);
    std::erase(owner_.outputs_, this);
  }

  void play() override {
    playing_ = true;
    remaining_ = lengthTicks_;
    if (remaining_ == 0 && !loop_) playing_ = false;
  }
  bool sounding() const override { return playing_; }
  void pause() override { paused_ = true; }
  void resume() override { paused_ = false; }

  void advance() {
    if (!playing_ || paused_ || loop_) return;
    if (remaining_ > 0) --remaining_;
    if (remaining_ == 0) playing_ = false;
  }

 private:
  HeadlessAudio& owner_;
  std::uint32_t lengthTicks_;
  bool loop_;
  bool playing_ = false;
  bool paused_ = false;
  std::uint32_t remaining_ = 0;
};

std::unique_ptr<AudioOutput> HeadlessAudio::open(const PcmFormat& format, std::span<const std::uint8_t> samples,
                                                 bool loop) {
  if (!isPlayablePcm(format)) return nullptr;
  const std::uint64_t frames = samples.size() / format.blockAlign;
  // Rounded up: a clip of any length sounds for at least one pass.
  const std::uint64_t ticks = (frames * 100 + format.samplesPerSecond - 1) / format.samplesPerSecond;
  return std::make_unique<Output>(*this, static_cast<std::uint32_t>(ticks), loop);
}

void HeadlessAudio::advance10ms() {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (Output* output : outputs_) output->advance();
}

HeadlessAudio& headlessAudio() {
  // Never destroyed: a clip that outlives the end of main (a process-wide sound freed by a
  // static destructor) still finds its backend.
  static HeadlessAudio* audio = new HeadlessAudio;
  return *audio;
}

}  // namespace platform
