#include "server/score_store.hpp"

namespace server {

std::string_view describe(StoreStatus status) {
  switch (status) {
    case StoreStatus::Ok: return "ok";
    case StoreStatus::NotFound: return "not found";
    case StoreStatus::Full: return "the score store is full";
    case StoreStatus::Unavailable: return "the score store is unavailable";
    case StoreStatus::Busy: return "the score store is busy";
  }
  return "unknown";
}

}  // namespace server
