#!/bin/bash
# Per-poll figures of bench_linuxpoll, each from two run lengths (what a run
# of LONG polls costs more than a run of SHORT, divided by the difference),
# so that start-up and shut-down drop out: GUI-thread and polling-thread CPU,
# GUI-thread wake-ups, log lines, system calls of the library's own process
# (per call name), and callgrind instructions; on the Linux backends and on
# the simulated tablet, with the log open and closed.
#
#   bench/linuxpoll.sh [BUILD_DIR] [MODE...]   MODE: linux-closed linux-open sim-closed sim-open
#
# System calls: strace -ff writes one file per thread and child; the doubles
# the bench starts (Xvfb, dbus-daemon, the mocks) are children that call
# execve, so only the bench's own threads are counted.
set -euo pipefail
build=${1:-build/qt6}
shift || true
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(linux-closed linux-open sim-closed sim-open)
bench=$(realpath "$build/bench/api/bench_linuxpoll")
short=${SHORT:-3}
long=${LONG:-13}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

args_of() {
    case $1 in
    linux-closed) echo "--log closed" ;;
    linux-open) echo "--log open" ;;
    sim-closed) echo "--sim --log closed" ;;
    sim-open) echo "--sim --log open" ;;
    esac
}

# The bench's own lines of strace output: its first file and every file without an execve.
own_calls() {
    local prefix=$1 main
    main=$(ls "$prefix".* | sort -t. -k2 -n | head -1)
    for f in "$prefix".*; do
        if [ "$f" = "$main" ] || ! grep -q '^execve(' "$f"; then
            grep -v -e '^+++' -e '^---' "$f" || true
        fi
    done
}

field() { tr ' ' '\n' | grep -A1 -x "$1" | tail -1; }

for mode in "${modes[@]}"; do
    read -r -a a <<<"$(args_of "$mode")"
    declare -A plain=()
    for n in $short $long; do
        plain[$n]=$("$bench" "${a[@]}" --polls "$n" 2>/dev/null | grep '^polls ')
        rm -rf "$tmp/s$n" && mkdir "$tmp/s$n"
        strace -ff -qq -o "$tmp/s$n/t" "$bench" "${a[@]}" --polls "$n" >/dev/null 2>&1
        own_calls "$tmp/s$n/t" | sed -E 's/^([a-z_0-9]+)\(.*/\1/' | sort | uniq -c | awk '{print $2, $1}' >"$tmp/calls$n"
        valgrind --tool=callgrind --trace-children=no --callgrind-out-file="$tmp/cg$n" \
            "$bench" "${a[@]}" --polls "$n" >/dev/null 2>&1
    done
    span=$((long - short))
    per() { awk -v a="$1" -v b="$2" -v s="$span" 'BEGIN { printf "%.1f", (b - a) / s }'; }
    echo "== $mode (runs of $short and $long polls)"
    for key in gui_cpu_ns polling_thread_cpu_ns gui_wakeups log_lines; do
        echo "$key per poll: $(per "$(echo "${plain[$short]}" | field $key)" "$(echo "${plain[$long]}" | field $key)")"
    done
    total_short=$(awk '{s += $2} END {print s + 0}' "$tmp/calls$short")
    total_long=$(awk '{s += $2} END {print s + 0}' "$tmp/calls$long")
    echo "system calls per poll: $(per "$total_short" "$total_long")"
    join -a1 -a2 -e 0 -o 0,1.2,2.2 <(sort "$tmp/calls$short") <(sort "$tmp/calls$long") |
        awk -v s="$span" '{ d = ($3 - $2) / s; if (d >= 0.05 || d <= -0.05) printf "  %-20s %6.1f\n", $1, d }' |
        sort -k2 -n -r
    ir_short=$(grep -E '^(summary|totals):' "$tmp/cg$short" | head -1 | awk '{print $2}')
    ir_long=$(grep -E '^(summary|totals):' "$tmp/cg$long" | head -1 | awk '{print $2}')
    echo "callgrind instructions per poll: $(per "$ir_short" "$ir_long")"
done
