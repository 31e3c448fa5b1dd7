#!/bin/sh
# What a player's machine spends on Zebrolite: CPU share (utime + stime from /proc/PID/stat)
# and peak RSS (VmHWM) on the still menu and during play, where the resident memory lies, and
# the window updates a second.
# Runs the game on an X display that is already up (Xvfb with a window manager will do):
#
#     scripts/measure-play.sh [GAME] [SECONDS]
#
# Needs xdotool and xwd. The game gets a fresh save folder and runtime folder, so a copy
# running elsewhere is not disturbed; sound goes to SDL's dummy device.
set -eu

game=${1:-build/game/zebrolite}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
mkdir -m 700 "$work/run"
trap 'rm -rf "$work"' EXIT

XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy ZEBROLITE_DISPLAY_STATS=1 \
  "$game" --save-dir "$work/save" 2>"$work/stderr" &
pid=$!

cpu() {  # cpu LABEL: the share of one core over $seconds, and the peak RSS so far
  share=$("$here/cpu-share.sh" "$pid" "$seconds")
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  awk -v l="$1" -v c="$share" -v p="$peak" 'BEGIN { printf "%-32s %5.2f %% of a core, peak RSS %.1f MiB\n", l, c, p / 1024 }'
}

memory() {  # where the resident memory is now, by kind (from /proc/PID/smaps)
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / { kind = "other"; name = $6
      if (name ~ /\.so/) kind = "libraries"; else if (name == "" || name == "[heap]") kind = "heap"
      else if (name ~ /^\/SYSV/) kind = "surface"; next }
    /^Rss:/ { rss[kind] += $2 }
    END { printf "  resident: libraries %.1f MiB, heap and anonymous %.1f MiB, window surface %.1f MiB, other %.1f MiB\n",
          rss["libraries"] / 1024, rss["heap"] / 1024, rss["surface"] / 1024, rss["other"] / 1024 }
  ' "/proc/$pid/smaps"
}

sleep 3
xdotool key Return  # the about picture, to the menu
sleep 3
cpu "menu (still screen)"
memory
xdotool key Return  # new game: the level picture
sleep 2
xdotool key Return  # the level starts
sleep 2
xdotool key 8 8  # twenty more lives: the measurement is not cut short by a game over
"$here/keep-ball-in-play.py" $((seconds + 8)) &
player=$!
sleep 4
cpu "playing (mouse, ball in flight)"
memory
wait "$player"
xdotool key ctrl+q
wait "$pid" || true
cat "$work/stderr"
