#!/bin/sh
# The soak: the built-in player plays whole games headless, one after the other, for a set
# time, in the sanitizer build (AddressSanitizer with leak checking, UndefinedBehaviorSanitizer).
# It passes when the game ran without a sanitizer finding, ended cleanly (no leak at exit),
# and the memory in use after each game stayed flat from the first game on.
#
#   scripts/soak.sh [BUILD_DIR] [SECONDS] [SEED]      (defaults: build-sanitize 3600 1)
#
# The line of every game and the game's standard error are kept in BUILD_DIR/soak/.
#
# How memory is judged (docs/reliability.md): for each game the driver prints the allocator's
# count of bytes in use and the resident size as the game's first level had been set up, when
# the previous game's objects are gone and the new game's are always the same. From the second
# game on (the first makes what is made once) the count may not rise more than SLACK bytes
# (default 256) above the second game's. Under AddressSanitizer it does not move by a byte,
# so a leak of a few dozen bytes a game shows within the short soak; glibc's count in a plain
# build also holds the blocks its per-thread caches keep, and wants SLACK=4096.
set -eu

# The whole script is one function, read to its end before it runs: an edit of this file
# while a soak of an hour runs cannot change what the running one does.
soak() {
  build=${1:-build-sanitize}
  seconds=${2:-3600}
  seed=${3:-1}
  slack=${SLACK:-256}
  game="$build/game/zebrolite"
  [ -x "$game" ] || { echo "soak: no game at $game; build it first (make soak does)" >&2; exit 2; }

  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/save"

  # A full table of the entries the built-in player makes ("AUTO" with four-digit scores),
  # music and sound on: every game enters the table, and each entry it replaces is one of its
  # kind, so that the table's pictures do not grow while it fills.
  {
    printf '\001\001'
    i=0
    while [ $i -lt 100 ]; do
      printf '\000\000A\000U\000T\000O\000\000\000\000\000\000\000\000\000\000\000\350\003\000\000'
      printf '\000\000\000\000\000\000\000\000'
      i=$((i + 1))
    done
  } > "$work/save/ScoreList.sav"
  printf 'seed %s\nautopilot games 0\n' "$seed" > "$work/soak.zs"

  echo "soak: $game for $seconds s (seed $seed)"
  status=0
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1} \
  SDL_AUDIODRIVER=dummy \
    timeout --preserve-status --signal=TERM --kill-after=120 "$seconds" \
    "$game" --headless --script "$work/soak.zs" --save-dir "$work/save" \
    > "$work/games.jsonl" 2> "$work/stderr.txt" || status=$?

  # Kept for a look afterwards: the line of every game, and what the game said.
  mkdir -p "$build/soak"
  cp "$work/games.jsonl" "$work/stderr.txt" "$build/soak/"

  failed=0
  if [ "$status" -ne 0 ]; then
    echo "soak: the game ended with status $status" >&2
    failed=1
  fi
  if grep -E -q 'Sanitizer|runtime error' "$work/stderr.txt"; then
    echo "soak: the sanitizers reported:" >&2
    failed=1
  fi
  [ -s "$work/stderr.txt" ] && head -c 20000 "$work/stderr.txt" >&2

  # One line a game: {"game":K,"outcome":...,"level":L,"score":S,"passes":P,"heapBytes":H,"residentBytes":R}
  awk -v slack="$slack" '
    function field(name,   rest) {
      rest = substr($0, index($0, "\"" name "\":") + length(name) + 3)
      return substr(rest, 1, match(rest, /[,}]/) - 1) + 0
    }
    /^\{"game":/ {
      n++
      heap[n] = field("heapBytes"); rss[n] = field("residentBytes"); passes += field("passes")
      if (index($0, "GameWon")) won++
    }
    END {
      if (n < 3) { printf "soak: only %d games ended; at least 3 are needed to judge memory\n", n; exit 1 }
      peak = 2; for (i = 2; i <= n; i++) if (heap[i] > heap[peak]) peak = i
      printf "soak: %d games (%d won), %d passes\n", n, won, passes
      printf "soak: bytes in use as game 1 began %d, game 2 %d, game %d %d; most %d (game %d, %+d on game 2)\n", \
        heap[1], heap[2], n, heap[n], heap[peak], peak, heap[peak] - heap[2]
      printf "soak: resident as game 1 began %.1f MiB, game 2 %.1f MiB, game %d %.1f MiB\n", \
        rss[1] / 1048576, rss[2] / 1048576, n, rss[n] / 1048576
      if (heap[peak] - heap[2] > slack) { printf "soak: the memory in use grows from game to game\n"; exit 1 }
    }' "$work/games.jsonl" || failed=1

  if [ "$failed" -ne 0 ]; then
    echo "soak: FAILED" >&2
    exit 1
  fi
  echo "soak: passed"
}

soak "$@"
