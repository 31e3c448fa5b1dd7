// Silent sound output with the same logic as the real one. A clip counts as sounding for
// its length in samples, measured in passes of 10 ms, so a script always gives the same
// counts whatever the machine.
#pragma once

#include <mutex>
#include <vector>

#include "platform/audio.hpp"

namespace platform {

class HeadlessAudio : public AudioBackend {
 public:
  std::unique_ptr<AudioOutput> open(const PcmFormat& format, std::span<const std::uint8_t> samples,
                                    bool loop) override;
  // One pass of 10 ms: every playing output that is neither paused nor looping comes
  // 10 ms nearer to its end.
  void advance10ms();

  class Output;

 private:
  friend class Output;
  // Clips are opened and closed on every thread that plays a game (the score server's
  // verifiers); each output is then used by its own thread only.
  std::mutex mutex_;
  std::vector<Output*> outputs_;
};

HeadlessAudio& headlessAudio();

}  // namespace platform
