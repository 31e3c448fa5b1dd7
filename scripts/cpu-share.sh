#!/bin/sh
# The share of one core, in per cent with two decimals, that process PID (all its threads:
# utime + stime from /proc/PID/stat) takes in the next SECONDS seconds.
#
#     scripts/cpu-share.sh PID SECONDS
set -eu
pid=$1
seconds=$2
hz=$(getconf CLK_TCK)
before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
start=$(date +%s.%N)
sleep "$seconds"
after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
end=$(date +%s.%N)
awk -v t="$((after - before))" -v hz="$hz" -v s="$start" -v e="$end" 'BEGIN { printf "%.2f\n", 100 * t / hz / (e - s) }'
