// SIGINT and SIGTERM for a run without a window (the window's backend catches them itself):
// caught, they ask the run to end at its next pass, through the same orderly shutdown that
// saves the game, instead of killing it where it stands. A soak ended by `timeout` thus
// still frees everything, and the leak checker sees a normal exit.
#pragma once

namespace platform {

void catchInterruptions();
// True once SIGINT or SIGTERM arrived after catchInterruptions.
bool interruptionRequested();

}  // namespace platform
