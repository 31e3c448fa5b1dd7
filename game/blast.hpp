// The burst of 50 confetti particles over a brick that breaks; over after 300 ms.
#pragma once

#include "game/particle_burst.hpp"

namespace game {

class Blast : public ParticleBurst {
 public:
  // (cx, cy): the centre of the brick, Fixed pixels. Draws four random numbers per particle.
  Blast(Fixed cx, Fixed cy);
};

}  // namespace game
