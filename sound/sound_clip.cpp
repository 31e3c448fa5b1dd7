#include "sound/sound_clip.hpp"

#include <cstdio>
#include <span>

#include "platform/files.hpp"
#include "platform/problem_report.hpp"

namespace sound {
namespace {

constexpr std::size_t kHeaderBytes = 44;

std::string megabytes(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

// `size` says what is too large: "is larger", "would take 90.0 MB to play" ...
void refuseTooLarge(const std::string& path, const std::string& size) {
  platform::reportProblem("sound " + path + " " + size + ", more than the " + megabytes(SoundClip::kLargestBytes) +
                          " a sound may take; not loaded");
}

std::uint16_t read16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

std::uint32_t read32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

}  // namespace

SoundClip::SoundClip(const std::string& path, bool loop) : loop_(loop) {
  platform::FileRead file = platform::readFile(path, kLargestBytes + 1);
  if (!file.opened || file.readFailed || file.bytes.size() < kHeaderBytes) return;
  if (file.bytes.size() > kLargestBytes) {
    refuseTooLarge(path, "is larger");
    return;
  }
  // Only the canonical header's fields are read; chunk tags and lengths are not looked at,
  // so whatever follows byte 44 is played as samples.
  platform::PcmFormat format;
  format.formatTag = read16(file.bytes, 20);
  format.channels = read16(file.bytes, 22);
  format.samplesPerSecond = read32(file.bytes, 24);
  format.avgBytesPerSecond = read32(file.bytes, 28);
  format.blockAlign = read16(file.bytes, 32);
  format.bitsPerSample = read16(file.bytes, 34);
  // A short file or one that describes no playable format would otherwise be handed to the
  // output as noise or garbage; it stays empty, like a missing file.
  if (!platform::isPlayablePcm(format)) return;
  const std::span<const std::uint8_t> samples(file.bytes.data() + kHeaderBytes, file.bytes.size() - kHeaderBytes);
  const std::uint64_t cost = file.bytes.size() + platform::mixingCopyBytes(format, samples.size());
  if (cost > kLargestBytes) {
    refuseTooLarge(path, "would take " + megabytes(cost) + " to play at " + std::to_string(format.samplesPerSecond) +
                             " samples a second");
    return;
  }
  device_ = platform::audioBackend().open(format, samples, loop_);
  if (device_ == nullptr) return;
  data_ = std::move(file.bytes);
  size_ = static_cast<std::uint32_t>(data_.size());
  format_ = format;
}

SoundClip::~SoundClip() {
  // The output stops and lets go of its samples before the file's bytes are freed.
  device_.reset();
  data_.clear();
}

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
