#!/bin/sh
# Plays one game per seed with the driver's built-in player and prints, per seed, whether it
# was won and after how many passes (to within 500), then a summary.
#   bench/autopilot_seeds.sh [BUILD_DIR] [FIRST_SEED] [LAST_SEED]
set -eu
build=${1:-build}
first=${2:-1}
last=${3:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seed=$first
while [ "$seed" -le "$last" ]; do
  {
    printf 'seed %s\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\nautopilot on\n' "$seed"
    i=0
    while [ $i -lt 160 ]; do printf 'tick 500\ndump\n'; i=$((i + 1)); done
  } > "$work/script"
  rm -rf "$work/save" && mkdir "$work/save"
  line=$("$build/game/zebrolite" --headless --script "$work/script" --save-dir "$work/save" 2>/dev/null |
    grep -m 1 -E '"Game(Won|Failed)"' || true)
  case "$line" in
    *'"GameWon"'*) outcome=won ;;
    *'"GameFailed"'*) outcome=lost ;;
    *) outcome=unfinished ;;
  esac
  passes=$(printf '%s' "$line" | sed -n 's/^{"tick":\([0-9]*\),.*/\1/p')
  echo "$seed $outcome ${passes:-80180}"
  seed=$((seed + 1))
done | tee "$work/results"
echo "won: $(grep -c ' won ' "$work/results" || true) of $((last - first + 1))"
grep ' won ' "$work/results" | awk '{print $3}' | sort -n |
  awk '{p[NR] = $1} END {if (NR) print "passes to win: least", p[1], "median", p[int((NR + 1) / 2)], "most", p[NR]}'
