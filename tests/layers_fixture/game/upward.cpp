// The layer check's own test: the game may not include the application, so the check must
// fail on this tree. Never compiled.
#include "app/game_app.hpp"
#include "game/game_screen.hpp"
