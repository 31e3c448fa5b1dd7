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
  // What one clip may cost in memory: its file, which it keeps for its life, and the copy its
  // output makes when the file is not in the mixing format. The game's music, its largest
  // sound, costs 1.1 MB; the limit leaves room for 25 minutes in the mixing format or 5 at
  // CD quality, and stops a small file at a low rate from costing gigabytes once converted.
  static constexpr std::uint64_t kLargestBytes = 64u * 1024 * 1024;

  // The six format fields are read from the canonical 44-byte header; the samples are
  // everything from byte 44 to the end of the file. A missing file, one shorter than 44
  // bytes, or one whose header describes no playable PCM format leaves the clip empty,
  // silently: it then plays nothing, and pause and restart do nothing either. So does a
  // clip that would cost more than kLargestBytes of memory, with a line on standard error.
  SoundClip(const std::string& path, bool loop);
  // Stops the output (a looping clip included) and closes it.
  virtual ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  // Starts the samples from the beginning, unless the clip is still sounding: then nothing
  // happens, it is neither restarted nor played twice. A looping clip, once played, sounds
  // for its whole life. A paused clip counts as sounding.
  void play();
  // Holds the output where it is; acts whether or not anything was played.
  void pause();
  // Resumes a paused output; after no play it plays nothing.
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
