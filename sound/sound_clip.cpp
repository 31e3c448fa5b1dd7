#include "sound/sound_clip.hpp"

#include <span>

#include "platform/files.hpp"

namespace sound {
namespace {

constexpr std::size_t kHeaderBytes = 44;
constexpr std::size_t kLargestFile = 64u * 1024 * 1024;

std::uint16_t read16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

std::uint32_t read32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

}  // namespace

SoundClip::SoundClip(const std::string& path, bool loop) : loop_(loop) {
  platform::FileRead file = platform::readFile(path, kLargestFile);
  if (!file.opened || file.readFailed || file.bytes.size() < kHeaderBytes) return;
  data_ = std::move(file.bytes);
  size_ = static_cast<std::uint32_t>(data_.size());
  format_.formatTag = read16(data_, 20);
  format_.channels = read16(data_, 22);
  format_.samplesPerSecond = read32(data_, 24);
  format_.avgBytesPerSecond = read32(data_, 28);
  format_.blockAlign = read16(data_, 32);
  format_.bitsPerSample = read16(data_, 34);
  if (!platform::isPlayablePcm(format_)) return;
  const std::span<const std::uint8_t> samples(data_.data() + kHeaderBytes, size_ - kHeaderBytes);
  device_ = platform::audioBackend().open(format_, samples, loop_);
}

SoundClip::~SoundClip() = default;  // the output stops when it is destroyed

void SoundClip::play() {
  if (device_ == nullptr || device_->sounding()) return;
  device_->play();
  ++plays_;
}

void SoundClip::pause() {
  if (device_ == nullptr) return;
  device_->pause();
  paused_ = true;
}

void SoundClip::restart() {
  if (device_ == nullptr) return;
  device_->resume();
  paused_ = false;
}

}  // namespace sound
