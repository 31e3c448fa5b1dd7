// Synthesises the game's sounds as canonical 44-byte-header PCM WAV files (placeholders for
// now: short tones).
//   make_sounds OUTPUT_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

void put16(std::vector<std::uint8_t>& out, unsigned v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void put32(std::vector<std::uint8_t>& out, unsigned v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> out;
  const unsigned dataBytes = static_cast<unsigned>(samples.size() * 2);
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  put32(out, 36 + dataBytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(out, 16);
  put16(out, 1);
  put16(out, 1);
  put32(out, kRate);
  put32(out, kRate * 2);
  put16(out, 2);
  put16(out, 16);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  put32(out, dataBytes);
  for (const std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return file.good();
}

std::vector<std::int16_t> tone(double seconds, double frequency, double volume) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * kRate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double fade = 1.0 - static_cast<double>(i) / static_cast<double>(samples.size());
    samples[i] = static_cast<std::int16_t>(volume * fade * 32767.0 * std::sin(2.0 * 3.14159265358979 * frequency * t));
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds OUTPUT_DIR\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  bool ok = writeWav(folder + "music.wav", tone(2.0, 220.0, 0.2));
  ok = writeWav(folder + "hit.wav", tone(0.05, 880.0, 0.3)) && ok;
  ok = writeWav(folder + "blast.wav", tone(0.3, 110.0, 0.4)) && ok;
  ok = writeWav(folder + "menu_select.wav", tone(0.08, 660.0, 0.3)) && ok;
  return ok ? 0 : 1;
}
