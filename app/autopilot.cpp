#include "app/autopilot.hpp"

#include "app/program.hpp"

namespace app {

void Autopilot::setOn(bool on, Program& program) {
  if (!on && penHeld_) {
    program.windowProcedure(win::WM_LBUTTONUP, 0, 0);
    penHeld_ = false;
  }
  on_ = on;
}

void Autopilot::beforePass(Program&) {
  if (!on_) return;
  ++passes_;
}

}  // namespace app
