#include "tools/sounds/wave_file.hpp"

#include "platform/files.hpp"

namespace tools {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

std::vector<std::uint8_t> encodeWave(const std::vector<std::int16_t>& samples, int sampleRate) {
  constexpr std::uint32_t kChannels = 1;
  constexpr std::uint32_t kBytesPerSample = 2;
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  std::vector<std::uint8_t> out;
  out.reserve(44 + dataBytes);
  putTag(out, "RIFF");
  put32(out, 36 + dataBytes);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, 16);
  put16(out, 1);
  put16(out, kChannels);
  put32(out, rate);
  put32(out, rate * kChannels * kBytesPerSample);
  put16(out, kChannels * kBytesPerSample);
  put16(out, 16);
  putTag(out, "data");
  put32(out, dataBytes);
  for (const std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
  return out;
}

bool writeWaveFile(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate) {
  return platform::writeFileAtomically(path, encodeWave(samples, sampleRate)).written;
}

}  // namespace tools
