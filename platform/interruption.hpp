// SIGINT and SIGTERM, windowed or headless: caught, they ask the main loop or the script to
// end at its next pass, through the same orderly shutdown that saves the game, instead of
// killing the program where it stands. A soak ended by `timeout` thus still frees
// everything, and the leak checker sees a normal exit. The handler only sets a flag.
#pragma once

namespace platform {

void catchInterruptions();
// Back to the system's default: the signals end the program again.
void releaseInterruptions();
// True once SIGINT or SIGTERM arrived after catchInterruptions.
bool interruptionRequested();

}  // namespace platform
