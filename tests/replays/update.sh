#!/bin/sh
# Writes the expectations of every golden replay anew from the game built in BUILD_DIR
# (default: build). Review the diff before committing: it shows how play has changed.
set -eu
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
for script in "$here"/*.zs; do
  name=$(basename "$script" .zs)
  cmake -DGAME="$build/game/zebrolite" -DDATA="$build/game" -DSCRIPT="$script" \
    -DEXPECTED="$here/$name.expected" -DSCRATCH="$build/replays/$name" -DUPDATE=ON \
    -P "$here/run_replay.cmake"
done
