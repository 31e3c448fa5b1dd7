// A sound read whole from a WAV file and played on an output of its own. A clip that is
// still sounding is not started again; a looping clip repeats without a gap until destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.hpp"

namespace sound {

class SoundClip {
 public:
  // The six format fields are read from the canonical 44-byte header; the samples are
  // everything from byte 44 to the end of the file. A missing file, one shorter than 44
  // bytes, or one whose header describes no playable PCM format leaves the clip empty,
  // silently: it then plays nothing.
  SoundClip(const std::string& path, bool loop);
  virtual ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  void play();
  void pause();
  void restart();

  bool empty() const { return device_ == nullptr; }
  // Plays the output accepted, and whether the clip was last paused: what tests and the
  // headless driver's state dump observe.
  int plays() const { return plays_; }
  bool paused() const { return paused_; }

 private:
  std::vector<std::uint8_t> data_;
  std::uint32_t size_ = 0;
  platform::PcmFormat format_;
  std::unique_ptr<platform::AudioOutput> device_;
  bool loop_ = false;
  int plays_ = 0;
  bool paused_ = false;
};

}  // namespace sound
