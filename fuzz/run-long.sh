#!/bin/sh
# Runs every fuzz target of a fuzz build, one after the other, to 10 million
# executions or 30 minutes, whichever comes first; not part of CI. What the
# runs add to the corpus stays in the build tree, a crash's input beside it
# (crash-*, leak-*, timeout-*). Ends with the count of executions of each.
#   fuzz/run-long.sh [build folder]   (default: build/fuzz)
# VANTEL_FUZZ_LONG_SECONDS and VANTEL_FUZZ_LONG_RUNS change the limits.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${VANTEL_FUZZ_LONG_SECONDS:-1800}
runs=${VANTEL_FUZZ_LONG_RUNS:-10000000}
summary=$build/fuzz-long.txt
: > "$summary"
failed=0
for target in $(find "$build/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort); do
    name=$(basename "$target")
    found=$build/fuzz/$name.corpus
    mkdir -p "$found"
    log=$build/fuzz/$name.long.log
    echo "=== $name ($runs executions or $seconds s)"
    status=0
    "$target" -runs="$runs" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz/$name-" "$found" "$root/fuzz/corpus/$name" > "$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    line="$name: ${executions:-?} executions, ${speed:-?}/s, exit $status"
    echo "$line" | tee -a "$summary"
    if [ "$status" -ne 0 ]; then
        failed=1
        tail -n 40 "$log"
    fi
done
echo "=== summary in $summary"
exit $failed
