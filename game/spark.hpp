// The spray of 5 fire particles where a brick is hit and survives; over after 200 ms.
#pragma once

#include "game/particle_burst.hpp"

namespace game {

class Spark : public ParticleBurst {
 public:
  // (cx, cy): the centre of the brick, Fixed pixels. Draws two random numbers per particle.
  Spark(Fixed cx, Fixed cy);
};

}  // namespace game
