// The layer check's own test: gfx/ may not include sound/. Never compiled.
#pragma once

#include "sound/sound_clip.hpp"
