#!/bin/sh
# Runs the fuzz targets of a fuzz build (cmake -DZEBROLITE_BUILD_FUZZERS=ON), one after the
# other, never two at once.
#   fuzz/run.sh BUILD_DIR fuzz [NAME ...]   each target for $FUZZ_SECONDS (default 60), or for
#                                           $FUZZ_RUNS inputs when set; new finds go to
#                                           $FUZZ_CORPUS/NAME (default BUILD_DIR/corpus/NAME),
#                                           the committed seeds fuzz/corpus/NAME are only read
#   fuzz/run.sh BUILD_DIR ci [NAME ...]     replays every committed corpus input once, then
#                                           fuzzes each target for $FUZZ_SECONDS (default 20)
#   fuzz/run.sh BUILD_DIR merge [NAME ...]  adds to fuzz/corpus/NAME the finds of the build's
#                                           corpus that reach code the seeds do not
# Without names, every target. A target is fuzz/NAME_fuzz.cpp; fuzz/NAME.dict and
# fuzz/NAME.options (libFuzzer flags) are used when present. A crash, a property violated, a
# hang (over 10 s) or an input costing more than 512 MB stops the target with its input in
# BUILD_DIR/fuzz-artifacts/; the script then goes on with the others and exits 1 at the end.
# Each target's log is BUILD_DIR/fuzz-logs/NAME.log; a line per target tells its executions,
# and BUILD_DIR/fuzz-logs/executions.tsv keeps a line per run (the campaign's tally).
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: fuzz/run.sh BUILD_DIR fuzz|ci|merge [NAME ...]}" && pwd)
mode=${2:-fuzz}
shift 2 2>/dev/null || shift $#
testdata=${ZEBROLITE_TESTDATA_DIR:-$here/../../shared/testdata}
work=${FUZZ_CORPUS:-$build/corpus}
artifacts=$build/fuzz-artifacts
logs=$build/fuzz-logs
mkdir -p "$artifacts" "$logs"

case $mode in
  ci) seconds=${FUZZ_SECONDS:-20} ;;
  fuzz | merge) seconds=${FUZZ_SECONDS:-60} ;;
  *) echo "fuzz/run.sh: unknown mode '$mode'" >&2; exit 2 ;;
esac

names="$*"
if [ -z "$names" ]; then
  for source in "$here"/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    [ -x "$build/fuzz/${name}_fuzz" ] && names="$names $name"
  done
fi

# Inputs to start from beside the committed seeds: the public picture suite, used in place.
extra_seeds() {
  if [ "$1" = png ] && [ -d "$testdata/pngsuite" ]; then echo "$testdata/pngsuite"; fi
}

flags() {
  echo "-timeout=10 -rss_limit_mb=2560 -malloc_limit_mb=512 -close_fd_mask=3 -print_final_stats=1"
  echo "-artifact_prefix=$artifacts/$1-"
  [ -f "$here/$1.dict" ] && echo "-dict=$here/$1.dict"
  [ -f "$here/$1.options" ] && cat "$here/$1.options"
}

status=0
for name in $names; do
  target=$build/fuzz/${name}_fuzz
  seeds=$here/corpus/$name
  log=$logs/$name.log
  if [ ! -x "$target" ]; then
    echo "$name: no target $target" >&2
    status=1
    continue
  fi
  mkdir -p "$work/$name" "$seeds"
  # shellcheck disable=SC2046
  case $mode in
    ci)
      # Every committed input once, each as its own run, so that a fault names its file.
      replayed=$(find "$seeds" $(extra_seeds "$name") -type f | wc -l)
      if ! find "$seeds" $(extra_seeds "$name") -type f -print0 |
          xargs -0 -r "$target" $(flags "$name") -runs=1 >"$log.replay" 2>&1; then
        echo "$name: a committed input fails; see $log.replay" >&2
        tail -n 40 "$log.replay" >&2
        status=1
        continue
      fi
      echo "$name: $replayed committed inputs replayed"
      "$target" $(flags "$name") -max_total_time="$seconds" "$work/$name" "$seeds" >"$log" 2>&1
      ;;
    fuzz)
      limit="-max_total_time=$seconds"
      [ -n "${FUZZ_RUNS:-}" ] && limit="-runs=$FUZZ_RUNS"
      "$target" $(flags "$name") "$limit" "$work/$name" "$seeds" $(extra_seeds "$name") >"$log" 2>&1
      ;;
    merge)
      "$target" $(flags "$name") -merge=1 "$seeds" "$work/$name" >"$log" 2>&1
      ;;
  esac
  result=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  printf '%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$name" "$mode" "${runs:-0}" "$result" >>"$logs/executions.tsv"
  if [ "$result" -ne 0 ]; then
    echo "$name: FAILED after ${runs:-?} executions; see $log and $artifacts/" >&2
    grep -v -e '^#' -e '^INFO' "$log" | tail -n 40 >&2
    status=1
  else
    echo "$name: ${runs:-0} executions, ${speed:-0} a second, no finding"
  fi
done
exit $status
