#!/bin/sh
# Zebrolite beside LBreakout2, the breakout game Debian players already have: both measured the
# same way, in the same run, under the same Xvfb display with synthetic key presses.
#
#     bench/compare-peers.sh [BUILD_DIR]        (root, or sudo for apt-get; takes some minutes)
#
# Measured, for each game:
# - start-up: from the launch to the first mapped window, and to the first picture in it (a
#   window that holds more than a few colours: a blank or cleared window does not count);
#   STARTS launches of each, alternated, so that the machine's load falls on both alike;
# - CPU (share of one core, all threads, from /proc/PID/stat) on the still main menu and while
#   playing, and the peak resident memory (VmHWM) at the end: RUNS runs of each,
#   SECONDS_PER_PHASE seconds per phase.
# "Playing" is the same for both: the first level, the paddle swept with the arrow keys (held
# half a second each way) and Space (which launches the ball in both) pressed every second.
# Every launch gets a fresh home and save folder, so both start as on a first run. Sound goes to
# SDL's dummy driver in both (SDL_AUDIODRIVER=dummy); there is no window manager, so nothing
# but the two programs' own work is timed. Where the system allows it (root), Xvfb and the
# start-up launches run at real-time priority (chrt -f 10), so that other work on the machine
# does not fall into the start-up timings; the CPU and memory runs keep the normal priority.
# With SHOTS=DIR, a picture of the screen in each phase goes there (xwd files), to check that
# the keys did what they should. Prints a Markdown table: medians, the spread (least to most)
# and the ratio Zebrolite / LBreakout2, with the machine and the date.
set -eu

build=${1:-build}
starts=${STARTS:-15}
runs=${RUNS:-3}
seconds=${SECONDS_PER_PHASE:-15}
here=$(cd "$(dirname "$0")" && pwd)
game=$(cd "$build/game" && pwd)/zebrolite
peer=/usr/games/lbreakout2

if [ ! -x "$game" ]; then
  echo "compare-peers: no $game; build first (make build)" >&2
  exit 2
fi
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=
for package in lbreakout2 xvfb xdotool x11-apps libx11-dev libxdamage-dev; do
  dpkg-query -W -f '${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing="$missing $package"
done
if [ -n "$missing" ]; then
  $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends $missing >&2
fi

work=$(mktemp -d)
xvfb=
pid=
player=
cleanup() {
  [ -z "$player" ] || kill "$player" 2>/dev/null || true
  if [ -n "$pid" ] && alive; then kill -KILL "$pid" 2>/dev/null || true; fi
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
cc -O2 -o "$work/first_picture" "$here/first_picture.c" -lX11 -lXdamage

realtime=
if chrt -f 10 true 2>/dev/null; then realtime="chrt -f 10"; fi

screen=90
while [ -e "/tmp/.X11-unix/X$screen" ] || [ -e "/tmp/.X$screen-lock" ]; do screen=$((screen + 1)); done
$realtime Xvfb ":$screen" -screen 0 1280x1024x24 -br -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=":$screen" SDL_AUDIODRIVER=dummy
until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.1; done

# launch NAME [PRIORITY]: starts the game NAME in fresh folders; sets pid, window and picture (ms).
launch() {
  priority=${2:-}
  rm -rf "$work/home" && mkdir -p "$work/home/save" && mkdir -m 700 "$work/home/run"
  case "$1" in
    zebrolite) set -- env XDG_RUNTIME_DIR="$work/home/run" "$game" --save-dir "$work/home/save" ;;
    lbreakout2) set -- env HOME="$work/home" "$peer" ;;
  esac
  if ! $priority "$work/first_picture" "$@" >"$work/launch" 2>>"$work/stderr"; then
    echo "compare-peers: no picture from $*" >&2
    exit 1
  fi
  read -r _ pid _ window _ picture <"$work/launch"
}

alive() { [ -r "/proc/$pid/stat" ] && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]; }

finish() {  # ends the game launched last (an orphan: not ours to wait for)
  kill -TERM "$pid" 2>/dev/null || true
  tries=0
  while alive && [ "$tries" -lt 100 ]; do sleep 0.05; tries=$((tries + 1)); done
  if alive; then kill -KILL "$pid" 2>/dev/null || true; fi
  pid=
}

cpu_share() { "$here/../scripts/cpu-share.sh" "$pid" "$seconds"; }  # % of a core in $seconds

shot() {  # shot LABEL
  [ -z "${SHOTS:-}" ] || xwd -root -silent >"$SHOTS/$1.xwd"
}

focus() { xdotool windowfocus --sync "$(xdotool search --pid "$pid" | head -n 1)" 2>/dev/null || true; }

to_menu() {  # from the first picture to the still main menu
  case "$1" in
    zebrolite) xdotool key Return ;;  # the cover, to the menu
    lbreakout2) ;;                     # its first picture is the menu
  esac
}

to_play() {  # from the main menu into the first level
  case "$1" in
    zebrolite) xdotool key Return; sleep 1.5; xdotool key Return; sleep 1; xdotool key 8 8 ;;  # twenty more lives
    lbreakout2) xdotool key Down Return; sleep 0.5; xdotool key Down Down Return; sleep 2; xdotool key space ;;
  esac
}

sweep() {  # plays for $1 seconds: left and right by turns, Space once a second
  end=$(($(date +%s) + $1))
  while [ "$(date +%s)" -lt "$end" ]; do
    xdotool keydown Left; sleep 0.5; xdotool keyup Left
    xdotool keydown Right; sleep 0.5; xdotool keyup Right
    xdotool key space
  done
}

: >"$work/starts"
: >"$work/runs"
i=0
while [ "$i" -lt "$starts" ]; do
  for name in zebrolite lbreakout2; do
    launch "$name" "$realtime"
    echo "$name $window $picture" >>"$work/starts"
    sleep 0.5
    finish
  done
  i=$((i + 1))
done

i=0
while [ "$i" -lt "$runs" ]; do
  for name in zebrolite lbreakout2; do
    launch "$name"
    sleep 3
    focus
    to_menu "$name"
    sleep 2
    shot "$name-menu-$i"
    menu=$(cpu_share)
    to_play "$name"
    sleep 1
    sweep $((seconds + 2)) &
    player=$!
    sleep 1
    shot "$name-play-$i"
    play=$(cpu_share)
    wait "$player"
    player=
    peak=$(awk '/VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$pid/status")
    echo "$name $menu $play $peak" >>"$work/runs"
    finish
  done
  i=$((i + 1))
done

# summary FILE NAME COLUMN: "median (least to most)" of a column for one game
summary() {
  awk -v n="$2" -v c="$3" '$1 == n {print $c}' "$1" | sort -n |
    awk '{v[NR] = $1} END {m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f|%.1f to %.1f\n", m, v[1], v[NR]}'
}

row() {  # row LABEL FILE COLUMN UNIT
  ours=$(summary "$2" zebrolite "$3")
  theirs=$(summary "$2" lbreakout2 "$3")
  ratio=$(awk -v a="${ours%%|*}" -v b="${theirs%%|*}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
  printf '| %s | %s %s (%s) | %s %s (%s) | %s |\n' "$1" "${ours%%|*}" "$4" "${ours#*|}" "${theirs%%|*}" "$4" "${theirs#*|}" "$ratio"
}

cpu_model=$(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)
echo "Machine: $(nproc) cores, $cpu_model, $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo);" \
  "$(date -u '+%Y-%m-%d %H:%M UTC'); load average at the end $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Zebrolite $("$game" --version | awk '{print $2}') ($(git -C "$here" rev-parse --short HEAD 2>/dev/null || echo '?')," \
  "Release), LBreakout2 $(dpkg-query -W -f '${Version}' lbreakout2) (Debian); Xvfb 1280 x 1024 x 24, no window manager," \
  "SDL_AUDIODRIVER=dummy; start-up launches ${realtime:-at normal priority}. Medians, the spread in brackets; $starts launches each for the start-up, $runs runs of" \
  "$seconds s each for CPU and memory."
echo
echo '| measurement | Zebrolite | LBreakout2 | ratio |'
echo '|---|---|---|---|'
row 'start-up: launch to the window' "$work/starts" 2 ms
row 'start-up: launch to the first picture' "$work/starts" 3 ms
row 'CPU, still main menu (% of a core)' "$work/runs" 2 '%'
row 'CPU, playing (% of a core)' "$work/runs" 3 '%'
row 'peak memory (VmHWM)' "$work/runs" 4 MiB
