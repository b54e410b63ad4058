#!/bin/sh
# Runs every fuzz target of a fuzz build to 10 million executions or 30
# minutes, whichever comes first; not part of CI. What the runs add to the
# corpus stays in the build tree, a crash's input beside it (crash-*, leak-*,
# timeout-*). Ends with the count of executions of each.
#   fuzz/run-long.sh [build folder]   (default: build/fuzz)
# VANTEL_FUZZ_LONG_SECONDS and VANTEL_FUZZ_LONG_RUNS change the limits;
# VANTEL_FUZZ_LONG_JOBS runs that many targets side by side (default 1).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${VANTEL_FUZZ_LONG_SECONDS:-1800}
runs=${VANTEL_FUZZ_LONG_RUNS:-10000000}
jobs=${VANTEL_FUZZ_LONG_JOBS:-1}
summary=$build/fuzz-long.txt

# One target: its run, its line of the summary in $build/fuzz/<name>.long.txt.
run_one() {
    target=$1
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
    echo "$name: ${executions:-?} executions, ${speed:-?}/s, exit $status" > "$build/fuzz/$name.long.txt"
    cat "$build/fuzz/$name.long.txt"
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
    fi
}

if [ "${2:-}" = "--one" ]; then
    run_one "$3"
    exit 0
fi

targets=$(find "$build/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
rm -f "$build"/fuzz/*.long.txt
echo "$targets" | xargs -P "$jobs" -n 1 "$0" "$build" --one
: > "$summary"
failed=0
for target in $targets; do
    line=$(cat "$build/fuzz/$(basename "$target").long.txt" 2>/dev/null || echo "$(basename "$target"): no result")
    echo "$line" >> "$summary"
    case $line in *", exit 0") ;; *) failed=1 ;; esac
done
echo "=== summary in $summary"
cat "$summary"
exit $failed
