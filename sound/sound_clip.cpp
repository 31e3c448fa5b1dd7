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

bool holdsHeader(const platform::FileRead& file) {
  return file.opened && !file.readFailed && file.bytes.size() >= kHeaderBytes;
}

// Only the canonical header's fields are read; chunk tags and lengths are not looked at, so
// whatever follows byte 44 is played as samples.
platform::PcmFormat formatOf(const std::vector<std::uint8_t>& bytes) {
  platform::PcmFormat format;
  format.formatTag = read16(bytes, 20);
  format.channels = read16(bytes, 22);
  format.samplesPerSecond = read32(bytes, 24);
  format.avgBytesPerSecond = read32(bytes, 28);
  format.blockAlign = read16(bytes, 32);
  format.bitsPerSample = read16(bytes, 34);
  return format;
}

// A format that no output plays would be handed over as noise or garbage: such a clip stays
// empty, silently, like a missing file. One that would cost too much is refused with a word.
bool playableAndAffordable(const std::string& path, const platform::PcmFormat& format, std::uint64_t fileBytes) {
  if (!platform::isPlayablePcm(format)) return false;
  if (fileBytes > SoundClip::kLargestBytes) {
    refuseTooLarge(path, "is larger");
    return false;
  }
  const std::uint64_t sampleBytes = fileBytes > kHeaderBytes ? fileBytes - kHeaderBytes : 0;
  const std::uint64_t cost = fileBytes + platform::mixingCopyBytes(format, sampleBytes);
  if (cost > SoundClip::kLargestBytes) {
    refuseTooLarge(path, "would take " + megabytes(cost) + " to play at " + std::to_string(format.samplesPerSecond) +
                             " samples a second");
    return false;
  }
  return true;
}

}  // namespace

SoundClip::SoundClip(const std::string& path, bool loop) : loop_(loop) {
  // The header first: a clip that would cost too much is refused before its samples are read.
  const platform::FileRead head = platform::readFile(path, kHeaderBytes);
  if (!holdsHeader(head) || !playableAndAffordable(path, formatOf(head.bytes), head.size)) return;
  platform::FileRead file = platform::readFile(path, kLargestBytes + 1);
  if (!holdsHeader(file)) return;
  // The file may have changed in between: what was read decides.
  const platform::PcmFormat format = formatOf(file.bytes);
  if (!playableAndAffordable(path, format, file.bytes.size())) return;
  const std::span<const std::uint8_t> samples(file.bytes.data() + kHeaderBytes, file.bytes.size() - kHeaderBytes);
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
