// Scratch space for fuzz targets: one folder per fuzzing process (so parallel jobs never
// share files), in memory (/dev/shm) where the machine has it, since a target that reads its
// input from a file writes one file per execution. Removed when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// The process's folder, ending in '/'; made on first use.
const std::string& scratchFolder();

// Replaces the file scratchFolder() + name with the bytes; false when it could not be
// written whole (the target then skips the input).
bool writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// Stops the process at once with a one-line reason: a property of the input's handling
// that must hold did not. libFuzzer reports it as a crash and keeps the input.
[[noreturn]] void violated(const char* what);

}  // namespace fuzzing
