#!/bin/sh
# The score server's speed on loopback, with its ceilings measured in the same run on the
# same machine: wrk on the game's list (100 entries) and on durable submissions of distinct
# pairs, for zebrolite-scored on SQLite and on PostgreSQL (one server process, then two on
# one database), beside nginx serving the same list bytes as a static file and the disk's
# rate of synchronous 512-byte writes; and the list again while a second load posts
# replays of median length for verification, beside the list alone on the same server.
# Writes the figures into docs/performance.md between the markers of its section (the
# section is added when missing) and prints them.
#
#   bench/server-bench.sh [BUILD]     (make bench-server)
#
# Everything it starts listens on 127.0.0.1 and is stopped when it ends, however it ends.
set -eu

build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
server="$root/$build/server/zebrolite-scored"
game_dir="$root/$build/game"
cluster="$root/tests/server/postgres_cluster.sh"
duration=${BENCH_SECONDS:-5}
game=/Zebrolite2/updateScore_ppc.php
[ -x "$server" ] || { echo "no $server: build first" >&2; exit 1; }
[ -x "$game_dir/zebrolite" ] || { echo "no $game_dir/zebrolite: build first" >&2; exit 1; }
for tool in wrk nginx curl; do
  command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zebrolite-bench.XXXXXX")
chmod 755 "$work"  # nginx's workers (nobody, when started as root) read the static list in it
pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  for pid in $pids; do wait "$pid" 2>/dev/null || true; done
  [ -f "$work/pg/url" ] && sh "$cluster" remove "$work/pg" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Starts zebrolite-scored on a free port with the arguments; sets $port and $pid.
start_server() {
  log="$work/server-$(date +%s%N).err"
  "$server" --port 0 --submit-rate 0 "$@" 2>"$log" &
  pid=$!
  pids="$pids $pid"
  port=""
  for _ in $(seq 200); do
    port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" | head -1)
    [ -n "$port" ] && return 0
    sleep 0.05
  done
  cat "$log" >&2
  exit 1
}

stop_server() {
  kill "$1"
  wait "$1" 2>/dev/null || true
}

# wrk's figures of one run as "RATE P50 P99" (requests a second, milliseconds).
measure() {
  connections=$1
  shift
  out=$(mktemp "$work/wrk.XXXXXX")
  wrk -t2 -c"$connections" -d"${duration}s" --latency "$@" >"$out" 2>&1
  rate=$(awk '/Requests\/sec/ {print $2}' "$out")
  p50=$(awk '$1 == "50%" {print $2}' "$out")
  p99=$(awk '$1 == "99%" {print $2}' "$out")
  errors=$(awk '/Non-2xx/ {print $NF}' "$out")
  [ -z "$errors" ] || echo "warning: $errors replies that were not 2xx in: wrk $*" >&2
  echo "$rate $(ms "$p50") $(ms "$p99")"
}

# wrk's latency (such as 812.00us, 1.52ms, 1.01s) in milliseconds.
ms() {
  echo "$1" | awk '/us$/ {sub("us", ""); printf "%.2f", $1 / 1000; next}
                   /ms$/ {sub("ms", ""); printf "%.2f", $1; next}
                   /s$/ {sub("s", ""); printf "%.2f", $1 * 1000; next}'
}

# Two wrk runs at once, one per server: "SUM-RATE WORST-P50 WORST-P99".
measure_pair() {
  connections=$1
  script_a=$2
  script_b=$3
  ( measure "$connections" $script_a >"$work/pair-a" ) &
  a=$!
  ( measure "$connections" $script_b >"$work/pair-b" ) &
  b=$!
  wait $a $b
  awk '{rate += $1; if ($2 > p50) p50 = $2; if ($3 > p99) p99 = $3} END {printf "%.2f %.2f %.2f\n", rate, p50, p99}' \
    "$work/pair-a" "$work/pair-b"
}

# Submissions of distinct pairs: each wrk thread has its own name, TAG and its thread number.
submissions_script() {
  cat >"$work/submit-$1.lua" <<EOF
local threads = 0
function setup(thread)
  threads = threads + 1
  thread:set("name", "$1" .. threads)
end
function init(args)
  n = 0
end
function request()
  n = n + 1
  return wrk.format("GET", "$game?myname=" .. name .. "&myscore=" .. n)
end
EOF
  echo "$work/submit-$1.lua"
}

resident_kib() { awk -v key="$2" '$1 == key":" {print $2}' "/proc/$1/status"; }

echo "== the list's bytes"
start_server --db "$work/seed.db"
seed=$pid
for i in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port$game?myname=P$i&myscore=$((i * 37))"; done
mkdir -p "$work/static/Zebrolite2"
curl -s "http://127.0.0.1:$port$game" >"$work/static/Zebrolite2/updateScore_ppc.php"
stop_server "$seed"
list_bytes=$(wc -c <"$work/static/Zebrolite2/updateScore_ppc.php")

echo "== the ceilings: nginx on the same bytes, the disk's synchronous writes"
nginx_port=$(($(od -An -N2 -tu2 /dev/urandom) % 20000 + 30000))
cat >"$work/nginx.conf" <<EOF
daemon off;
worker_processes 2;
pid $work/nginx.pid;
error_log $work/nginx.err warn;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/nginx-body;
  server {
    listen 127.0.0.1:$nginx_port;
    root $work/static;
    location / { default_type "text/plain; charset=utf-8"; }
  }
}
EOF
/usr/sbin/nginx -p "$work/" -c "$work/nginx.conf" -e "$work/nginx.err" &
nginx_pid=$!
pids="$pids $nginx_pid"
sleep 0.5
nginx10=$(measure 10 "http://127.0.0.1:$nginx_port$game")
nginx50=$(measure 50 "http://127.0.0.1:$nginx_port$game")
stop_server "$nginx_pid"
dd if=/dev/zero of="$work/dsync" bs=512 count=2000 oflag=dsync 2>"$work/dd.out"
dsync=$(awk '/copied/ {for (i = 1; i <= NF; ++i) if ($i == "s,") print 2000 / $(i - 1)}' "$work/dd.out")

load_list() {
  for i in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$1$game?myname=P$i&myscore=$((i * 37))"; done
}

echo "== zebrolite-scored on SQLite"
start_server --db "$work/bench.db"
load_list "$port"
sqlite10=$(measure 10 "http://127.0.0.1:$port$game")
sqlite50=$(measure 50 "http://127.0.0.1:$port$game")
sqlite_submit=$(measure 50 -s "$(submissions_script S)" "http://127.0.0.1:$port")
stop_server "$pid"

echo "== memory: a fresh SQLite server at its 10,000th request of the list and at its millionth"
cat >"$work/first.lua" <<EOF
local answered = 0
function response()
  answered = answered + 1
  if answered >= 5000 then wrk.thread:stop() end
end
EOF
start_server --db "$work/memory.db"
load_list "$port"
# Each thread stops at its 5,000th answer; wrk still waits out the run, hence a short one.
wrk -t2 -c50 -d3s -s "$work/first.lua" "http://127.0.0.1:$port$game" >"$work/wrk.out" 2>&1
requests=$(awk '/requests in/ {print $1}' "$work/wrk.out")
rss_early=$(resident_kib "$pid" VmRSS)
early_requests=$requests
while [ "$requests" -lt 1000000 ]; do
  wrk -t2 -c50 -d"${duration}s" "http://127.0.0.1:$port$game" >"$work/wrk.out" 2>&1
  requests=$((requests + $(awk '/requests in/ {print $1}' "$work/wrk.out")))
done
rss_late=$(resident_kib "$pid" VmRSS)
peak=$(resident_kib "$pid" VmHWM)
stop_server "$pid"

echo "== the list while replays are verified (SQLite)"
# The built-in player's median game (seed 8, 34,174 updates), played and recorded by the game
# as every game is: the game of bench/replay_bench.cpp.
mkdir -p "$work/median"
printf '%s\n' 'seed 8' 'tick 60' 'key RETURN' 'tick 60' 'key RETURN' 'tick 60' 'autopilot on' 'tick 40000' \
  'autopilot off' 'key RETURN' 'tick 60' 'key 0x41' 'key RETURN' 'tick 60' >"$work/median.zs"
SDL_AUDIODRIVER=dummy "$game_dir/zebrolite" --headless --script "$work/median.zs" --save-dir "$work/median" >/dev/null
median=$(ls "$work/median"/ScoreList-*.zebreplay)
median_bytes=$(wc -c <"$median")
# Posted as it is, a game is kept once and then only known. Claiming one point more, every
# post is played through to its end and refused there: a whole verification each time.
cat >"$work/post.lua" <<LUA
local bit = require("bit")
local function crc32(text)
  local crc = bit.bnot(0)
  for i = 1, #text do
    crc = bit.bxor(crc, text:byte(i))
    for _ = 1, 8 do crc = bit.bxor(bit.rshift(crc, 1), bit.band(0xEDB88320, -bit.band(crc, 1))) end
  end
  return bit.bnot(crc)
end
local function le32(v)
  return string.char(bit.band(v, 255), bit.band(bit.rshift(v, 8), 255), bit.band(bit.rshift(v, 16), 255),
                     bit.band(bit.rshift(v, 24), 255))
end
local file = io.open("$median", "rb")
local game = file:read("*a")
file:close()
-- the magic (8 bytes), the format (1), the rules (4), the name's length and the name, the score
local at = 15 + game:byte(14)
local score = game:byte(at) + game:byte(at + 1) * 256 + game:byte(at + 2) * 65536 + game:byte(at + 3) * 16777216
local claimed = game:sub(1, at - 1) .. le32(score + 1) .. game:sub(at + 4, #game - 4)
wrk.method = "POST"
wrk.path = "/api/v1/games"
wrk.headers["Content-Type"] = "application/x-zebrolite-replay"
wrk.body = claimed .. le32(crc32(claimed))
LUA
# How many posted replays had the verdict OUTCOME so far (/metrics of the server on PORT).
verdicts() { # PORT OUTCOME
  curl -s "http://127.0.0.1:$1/metrics" | awk -v line="zebrolite_verifications_total{outcome=\"$2\"}" '$1 == line {print $2}'
}
# The list with CONNECTIONS while two connections post replays (one being verified, one
# queued): "LIST-RATE P50 P99 VERIFIED-A-SECOND POST-P50 POST-P99".
measure_while_verifying() { # CONNECTIONS
  wrk -t1 -c2 -d"$((duration + 2))s" --latency -s "$work/post.lua" "http://127.0.0.1:$port" >"$work/posts.out" 2>&1 &
  posting=$!
  sleep 1
  before=$(verdicts "$port" score_differs)
  list=$(measure "$1" "http://127.0.0.1:$port$game")
  after=$(verdicts "$port" score_differs)
  wait "$posting"
  post_p50=$(ms "$(awk '$1 == "50%" {print $2}' "$work/posts.out")")
  post_p99=$(ms "$(awk '$1 == "99%" {print $2}' "$work/posts.out")")
  rate=$(awk -v n="$((after - before))" -v s="$duration" 'BEGIN {printf "%.1f", n / s}')
  echo "$list $rate $post_p50 $post_p99"
}
start_server --db "$work/verify.db" --data "$game_dir" --verify-rate 0
load_list "$port"
alone10=$(measure 10 "http://127.0.0.1:$port$game")
alone50=$(measure 50 "http://127.0.0.1:$port$game")
verifying10=$(measure_while_verifying 10)
verifying50=$(measure_while_verifying 50)
played=$(verdicts "$port" score_differs)
busy=$(verdicts "$port" busy)
stop_server "$pid"
[ "${played:-0}" -gt 0 ] || { echo "no posted replay was played through (see $work/posts.out)" >&2; exit 1; }

echo "== zebrolite-scored on PostgreSQL (one server, then two on one database)"
postgres_rows=""
if sh "$cluster" start "$work/pg" >/dev/null 2>"$work/pg.err"; then
  url=$(cat "$work/pg/url")
  start_server --db "$url"
  one=$pid
  one_port=$port
  load_list "$one_port"
  pg10=$(measure 10 "http://127.0.0.1:$one_port$game")
  pg50=$(measure 50 "http://127.0.0.1:$one_port$game")
  pg_submit=$(measure 50 -s "$(submissions_script Q)" "http://127.0.0.1:$one_port")
  start_server --db "$url"
  two_port=$port
  pg2_list=$(measure_pair 25 "http://127.0.0.1:$one_port$game" "http://127.0.0.1:$two_port$game")
  pg2_submit=$(measure_pair 25 "-s $(submissions_script R) http://127.0.0.1:$one_port" \
    "-s $(submissions_script T) http://127.0.0.1:$two_port")
  stop_server "$pid"
  stop_server "$one"
  postgres=yes
else
  echo "PostgreSQL figures skipped: $(cat "$work/pg.err" | tail -1)" >&2
  postgres=no
fi

row() { # LABEL "RATE P50 P99"
  echo "$2" | awk -v label="$1" '{printf "| %s | %.0f/s | %s ms | %s ms |\n", label, $1, $2, $3}'
}
verifying_row() { # LABEL "RATE P50 P99 VERIFIED POST-P50 POST-P99"
  echo "$2" | awk -v label="$1" '{
    verified = $4 == "-" ? "-" : $4 "/s"; p50 = $5 == "-" ? "-" : $5 " ms"; p99 = $6 == "-" ? "-" : $6 " ms"
    printf "| %s | %.0f/s | %s ms | %s ms | %s | %s | %s |\n", label, $1, $2, $3, verified, p50, p99}'
}
pct() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.0f%%", 100 * a / b}'; }
first() { echo "$1" | awk '{print $1}'; }

date=$(date -u +%Y-%m-%d)
cpu=$(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)
{
  echo "<!-- bench-server: made by bench/server-bench.sh (make bench-server); do not edit by hand -->"
  echo "## The score server"
  echo
  echo "\`make bench-server\` on $date, $(nproc) cores ($cpu), loopback, with the ceilings in the same"
  echo "run; the machine is shared, so figures swing between runs. \`wrk -t2 -d${duration}s --latency\` on the"
  echo "game's list of 100 entries ($list_bytes bytes), and on durable submissions of distinct pairs (a wrk"
  echo "Lua script, \`--submit-rate 0\`; SQLite with \`synchronous=FULL\`, PostgreSQL 15 with"
  echo "\`synchronous_commit=on\` on a cluster of its own). Two servers: one wrk per server, half the"
  echo "connections each; the rates add up, the latency is the worse of the two."
  echo
  echo "| what | requests | p50 | p99 |"
  echo "|---|---|---|---|"
  row "nginx, the same bytes as a static file, 10 connections (ceiling)" "$nginx10"
  row "nginx, 50 connections (ceiling)" "$nginx50"
  row "list, SQLite, 10 connections" "$sqlite10"
  row "list, SQLite, 50 connections" "$sqlite50"
  row "durable submissions, SQLite, 50 connections" "$sqlite_submit"
  if [ "$postgres" = yes ]; then
    row "list, PostgreSQL, one server, 10 connections" "$pg10"
    row "list, PostgreSQL, one server, 50 connections" "$pg50"
    row "list, PostgreSQL, two servers, 50 connections" "$pg2_list"
    row "durable submissions, PostgreSQL, one server, 50 connections" "$pg_submit"
    row "durable submissions, PostgreSQL, two servers, 50 connections" "$pg2_submit"
  fi
  echo
  echo "The list while replays are verified, on one server on SQLite with its defaults (one"
  echo "verifier thread): the list alone, then again while a second wrk (one thread, two"
  echo "connections) posts the built-in player's median game (seed 8, 34,174 updates, $median_bytes"
  echo "bytes) claiming one point more, so that each post is played through to its end and"
  echo "refused there; one replay is being verified and one waits all the time."
  echo
  echo "| what | requests | p50 | p99 | verified | post p50 | post p99 |"
  echo "|---|---|---|---|---|---|---|"
  verifying_row "list alone, 10 connections" "$alone10 - - -"
  verifying_row "list while verifying, 10 connections" "$verifying10"
  verifying_row "list alone, 50 connections" "$alone50 - - -"
  verifying_row "list while verifying, 50 connections" "$verifying50"
  echo
  echo "- While verifying, the list keeps $(pct "$(first "$verifying10")" "$(first "$alone10")") (10 connections) and"
  echo "  $(pct "$(first "$verifying50")" "$(first "$alone50")") (50) of its rate alone; $played replays were played"
  echo "  through in all, ${busy:-0} posts were answered busy."
  echo "- The disk's synchronous 512-byte writes (\`dd bs=512 count=2000 oflag=dsync\`, ceiling):"
  echo "  $(printf "%.0f" "$dsync")/s."
  echo "- The list at 10 connections: SQLite $(pct "$(first "$sqlite10")" "$(first "$nginx10")") of nginx's rate."
  if [ "$postgres" = yes ]; then
    echo "- The list with PostgreSQL: $(pct "$(first "$pg10")" "$(first "$sqlite10")") (10 connections) and"
    echo "  $(pct "$(first "$pg50")" "$(first "$sqlite50")") (50) of the SQLite rate."
    echo "- Durable submissions with two PostgreSQL servers: $(pct "$(first "$pg2_submit")" "$dsync") of the disk's synchronous-write rate."
  fi
  echo "- Memory of a fresh SQLite server under the list at 50 connections: $rss_early KiB resident after"
  echo "  $early_requests requests, $rss_late KiB after $requests ($(pct "$rss_late" "$rss_early") of it); peak $peak KiB."
  echo "<!-- /bench-server -->"
} >"$work/section.md"

doc="$root/docs/performance.md"
if grep -q '^<!-- bench-server' "$doc"; then
  awk -v section="$work/section.md" '
    /^<!-- bench-server/ {while ((getline line < section) > 0) print line; skipping = 1; next}
    /^<!-- \/bench-server -->/ {skipping = 0; next}
    !skipping {print}' "$doc" >"$work/doc.md"
else
  { cat "$doc"; echo; cat "$work/section.md"; } >"$work/doc.md"
fi
cp "$work/doc.md" "$doc"
cat "$work/section.md"
