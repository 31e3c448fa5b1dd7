// The window and its event queue, as the main loop sees them.
#pragma once

#include <cstdint>

#include "platform/messages.hpp"

namespace platform {

class Host {
 public:
  virtual ~Host() = default;
  // Takes one waiting message off the queue; false when none is waiting. Never waits.
  virtual bool peekMessage(win::Message& out) = 0;
  // Sleeps until a message may be waiting or timeoutMs have passed.
  virtual void waitForMessages(std::uint32_t timeoutMs) = 0;
  // The window was closed, or SIGINT or SIGTERM arrived.
  virtual bool quitRequested() const = 0;
};

}  // namespace platform
