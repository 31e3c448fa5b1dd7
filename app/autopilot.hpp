// The driver's built-in player: it steers the paddle under the lowest falling ball, aims the
// rebound at a brick still standing, launches resting balls, fires the guns and starts each
// level. It plays through the same messages a person sends, so its games replay exactly.
#pragma once

#include <cstdint>

namespace app {

class Program;

class Autopilot {
 public:
  void setOn(bool on, Program& program);
  bool on() const { return on_; }
  // Sends this pass's input, before the pass runs.
  void beforePass(Program& program);

 private:
  void press(Program& program, std::uint32_t key);
  // Holds the stylus down at x (whole pixels): the paddle centres itself under it.
  void steer(Program& program, std::int32_t penX);

  bool on_ = false;
  bool penHeld_ = false;
  std::int32_t penX_ = 0;
  std::uint32_t passes_ = 0;
};

}  // namespace app
