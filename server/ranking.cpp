#include "server/ranking.hpp"

namespace server {

void assignRanks(std::vector<RankedEntry>& rows, std::uint64_t firstPosition, std::uint64_t higherThanFirst) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i == 0) {
      rows[i].rank = higherThanFirst + 1;
    } else if (rows[i].score == rows[i - 1].score) {
      rows[i].rank = rows[i - 1].rank;
    } else {
      rows[i].rank = firstPosition + i + 1;
    }
  }
}

}  // namespace server
