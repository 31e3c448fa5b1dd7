// The JSON bodies of the API at /api/v1/: a page of a board, a name's rank with its
// neighbours, and errors. Times are RFC 3339 in UTC; a board's window is given as "from"
// and "nextReset" (both null for the all-time board).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "server/board.hpp"
#include "server/score_store.hpp"

namespace server {

// {"board":"day","from":"...","nextReset":"...","verified":false,"offset":0,"limit":20,"total":2,
//  "entries":[{"rank":1,"name":"ANNA","score":500,"time":"...","verified":true,
//              "replay":"/api/v1/games/ID/replay"},...]}
// Every entry says whether it is verified; a verified one names its replay's download.
std::string renderBoardJson(Board board, const BoardWindow& window, const BoardQuery& query, const BoardPage& page);

// {"board":"all","from":null,"nextReset":null,"name":"ANNA","entry":{...},"above":[...],"below":[...]}
std::string renderRankJson(Board board, const BoardWindow& window, std::string_view name, const RankView& view);

// {"error":"..."}
std::string renderErrorJson(std::string_view message);

}  // namespace server
