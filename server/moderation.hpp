// The moderation commands of zebrolite-scored on a store: list the latest submissions, hide
// and unhide one, ban and unban a name, show the audit trail. A running server on the same
// database notices each change within about a second.
#pragma once

#include <ostream>
#include <string>

#include "server/score_store.hpp"
#include "server/server_options.hpp"

namespace server {

// Runs options.command (List, Hide, Unhide, Ban, Unban or Audit). Returns the exit status:
// 0 done (also when there was nothing to change, which is said), 1 no such submission or
// the store failed, 2 a name that no submission could carry.
int runModeration(const ServerOptions& options, ScoreStore& store, std::ostream& out, std::ostream& err, UnixTime now,
                  const std::string& actor);

}  // namespace server
