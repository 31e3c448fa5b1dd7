// Canonical PCM WAV files: a 44-byte header (RIFF, a 16-byte fmt chunk, the data chunk) and
// the samples, with nothing after them: the game plays every byte from offset 44 on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// 16-bit mono at the given rate (samples a second).
std::vector<std::uint8_t> encodeWave(const std::vector<std::int16_t>& samples, int sampleRate);

// Writes beside path and renames, so an interrupted build never leaves half a file.
bool writeWaveFile(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate);

}  // namespace tools
