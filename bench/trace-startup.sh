#!/bin/sh
# Where Zebrolite's start-up goes: the time of each start-up step, in milliseconds from the
# exec, median of RUNS starts. Uprobes (perf probe) on a copy of the executable time the
# steps; nothing is built in for it. Needs root, perf (linux-perf) and Xvfb.
#
#     bench/trace-startup.sh [BUILD_DIR] [RUNS]
#
# The probes sit on the copy only, so other running copies of the game are not touched. The
# game runs on its own Xvfb display without a window manager, with SDL's dummy sound driver,
# at real-time priority (chrt -f 10, Xvfb too) so that other work on the machine does not fall
# into the timings; a fresh save folder each time.
set -eu

build=${1:-build}
runs=${2:-11}
data=$(cd "$build/game" && pwd)
work=$(mktemp -d)
copy="$work/zebrolite-trace"
group=probe_zebrolite_trace
xvfb=
cleanup() {
  perf probe -q -d "$group:*" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

cp "$data/zebrolite" "$copy"
# probe NAME FUNCTION [%return]: FUNCTION is a demangled name without its parameters, as nm -C
# shows it, or the start of one with its parameters where an overload must be told apart.
probe() {
  address=$(nm -C "$copy" | awk -v f="$2" '$2 == "T" {
      name = substr($0, 20)
      if (name == f || index(name, f "(") == 1 || index(name, f "[") == 1 || (f ~ /[(]/ && index(name, f) == 1)) {
        print $1; exit
      }
    }')
  [ -n "$address" ] || { echo "trace-startup: no function $2" >&2; exit 1; }
  perf probe -q -x "$copy" -a "$group:$1=0x$address${3:-}"
}
probe main 'main'
probe window 'platform::SdlBackend::create'
probe audio 'platform::SdlAudio::open(std::'
probe font 'platform::findTextFont'
probe backend_ready 'platform::SdlBackend::create' '%return'
probe shared_assets 'shell::loadSharedAssets'
probe cover 'app::GameApp::GameApp'
probe first_show 'platform::SdlDisplay::show'
probe first_show_done 'platform::SdlDisplay::show' '%return'
probe screens 'app::GameApp::createScreens'
probe screens_done 'app::GameApp::createScreens' '%return'

screen=80
while [ -e "/tmp/.X11-unix/X$screen" ] || [ -e "/tmp/.X$screen-lock" ]; do screen=$((screen + 1)); done
chrt -f 10 Xvfb ":$screen" -screen 0 1280x1024x24 -br -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=":$screen" SDL_AUDIODRIVER=dummy
until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.1; done

: >"$work/steps"
good=0
tries=0
# A start whose exec the recorder missed (perf can take seconds to begin on a busy machine)
# is not counted.
while [ "$good" -lt "$runs" ] && [ "$tries" -lt $((runs * 3)) ]; do
  tries=$((tries + 1))
  rm -rf "$work/save" "$work/run" && mkdir "$work/save" && mkdir -m 700 "$work/run"
  perf record -q -k CLOCK_MONOTONIC -e "$group:*" -e sched:sched_process_exec -a -o "$work/perf.data" -- sleep 5 \
    >/dev/null 2>&1 &
  recorder=$!
  sleep 2
  XDG_RUNTIME_DIR="$work/run" chrt -f 10 "$copy" --data "$data" --save-dir "$work/save" 2>>"$work/stderr" &
  game=$!
  sleep 1
  kill -TERM "$game"
  wait "$game" || true
  wait "$recorder" || true
  # The first time of each step, from the exec of the copy.
  perf script -i "$work/perf.data" -F comm,time,event 2>/dev/null |
    awk '$1 == "zebrolite-trace" {
      t = $2 + 0; e = $3; sub(/^[^:]*:/, "", e); sub(/(__return)?:$/, "", e)
      if (e == "sched_process_exec") { t0 = t; e = "exec" }
      if (t0 && !(e in seen)) { seen[e] = 1; printf "%s %.2f\n", e, (t - t0) * 1000 }
    }' >"$work/run-steps"
  if grep -q '^exec ' "$work/run-steps"; then
    cat "$work/run-steps" >>"$work/steps"
    good=$((good + 1))
  fi
done

echo "median of $good starts, ms from the exec ($(date -u '+%Y-%m-%d'), load average $(cut -d' ' -f1-3 /proc/loadavg))"
for step in exec main window audio font backend_ready shared_assets cover first_show first_show_done screens screens_done; do
  awk -v s="$step" '$1 == s {print $2}' "$work/steps" | sort -n |
    awk -v s="$step" '{v[NR] = $1} END {if (NR) printf "%-16s %6.1f\n", s, v[int((NR + 1) / 2)]}'
done | sort -n -k 2
