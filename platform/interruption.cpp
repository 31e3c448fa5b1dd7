#include "platform/interruption.hpp"

#include <csignal>

namespace platform {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterruption(int) { interrupted = 1; }

}  // namespace

void catchInterruptions() {
  struct sigaction action {};
  action.sa_handler = onInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void releaseInterruptions() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

bool interruptionRequested() { return interrupted != 0; }

}  // namespace platform
