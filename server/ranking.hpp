// Ranked rows of a board: best score first, equal scores in the order of first submission
// (the lower id first), with competition ranks (equal scores share a rank, the next score
// takes the rank after as many places as were shared: 1, 2, 2, 4).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/utc_time.hpp"

namespace server {

struct RankedEntry {
  std::int64_t id = 0;  // order of first submission
  std::uint64_t rank = 0;
  std::string name;  // UTF-8
  std::uint32_t score = 0;
  UnixTime time = 0;  // of the first submission of this pair
  std::string game;   // the ID of its first verified replay; empty when it has none
};

// Fills in the ranks of consecutive rows of a board, given the board position (0-based) of
// the first row and the number of rows of the board with a higher score than the first.
void assignRanks(std::vector<RankedEntry>& rows, std::uint64_t firstPosition, std::uint64_t higherThanFirst);

}  // namespace server
