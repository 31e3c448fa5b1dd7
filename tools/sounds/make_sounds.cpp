// Synthesises the game's sounds as canonical 44-byte-header PCM WAV files.
//   make_sounds OUTPUT_DIR
#include <cstdio>
#include <string>

#include "tools/sounds/game_sounds.hpp"
#include "tools/sounds/synth.hpp"
#include "tools/sounds/wave_file.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds OUTPUT_DIR\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  struct Output {
    const char* name;
    std::vector<std::int16_t> (*make)();
  };
  const Output outputs[] = {
      {"music.wav", tools::makeMusic},
      {"hit.wav", tools::makeHitSound},
      {"blast.wav", tools::makeBlastSound},
      {"menu_select.wav", tools::makeMenuSelectSound},
  };
  bool ok = true;
  for (const Output& output : outputs) {
    if (!tools::writeWaveFile(folder + output.name, output.make(), tools::kSampleRate)) {
      std::fprintf(stderr, "%s%s: cannot write the file\n", folder.c_str(), output.name);
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
