#!/bin/bash
# Per-poll figures of bench_linuxpoll, each from two run lengths (what a run
# of LONG polls costs more than a run of SHORT, divided by the difference),
# so that what starting and stopping the counters costs drops out: GUI-thread
# and polling-thread CPU, GUI-thread wake-ups, log lines, system calls of the
# bench's own threads (strace -f -c, per call name), and callgrind
# instructions; on the Linux backends and on the simulated tablet, with the
# log open and closed. With the log open, the calls each line written costs
# beyond the closed log's are printed too. With COLD=1, also the memory lines a
# poll brings in when it starts from cold caches (callgrind's cache model, the
# bench's --cold): what a poll costs on a machine whose other work evicts it
# between polls, as a count that repeats from run to run. linux-idle is the
# floor: the same application woken by the same polls, which reach no
# indicator.
#
#   [COLD=1] bench/linuxpoll.sh [BUILD_DIR] [MODE...]   MODE: linux-closed linux-open sim-closed sim-open linux-idle
set -euo pipefail
build=${1:-build/qt6}
shift || true
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(linux-closed linux-open sim-closed sim-open linux-idle)
bench=$(realpath "$build/bench/api/bench_linuxpoll")
short=${SHORT:-3}
long=${LONG:-13}
span=$((long - short))
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

args_of() {
    case $1 in
    linux-closed) echo "--log closed" ;;
    linux-open) echo "--log open" ;;
    sim-closed) echo "--sim --log closed" ;;
    sim-open) echo "--sim --log open" ;;
    linux-idle) echo "--log closed --idle" ;;
    esac
}

field() { tr ' ' '\n' | grep -A1 -x "$1" | tail -1; }
per() { awk -v a="$1" -v b="$2" -v s="$span" 'BEGIN { printf "%.1f", (b - a) / s }'; }
# "name calls" of each row of an strace -c table.
calls() { awk '/^------/ { n++; next } n == 1 { print $NF, $4 }' "$1" | sort; }

declare -A closed_calls=()
for mode in "${modes[@]}"; do
    read -r -a a <<<"$(args_of "$mode")"
    declare -A plain=()
    for n in $short $long; do
        # Three runs: a tracer slows every thread it follows, so the times come from a run without one.
        plain[$n]=$("$bench" "${a[@]}" --polls "$n" 2>/dev/null | grep '^polls ')
        "$bench" "${a[@]}" --polls "$n" --strace "$tmp/strace$n" >/dev/null 2>&1
        calls "$tmp/strace$n" >"$tmp/calls$n"
        valgrind --tool=callgrind --trace-children=no --instr-atstart=no --callgrind-out-file="$tmp/cg$n" \
            "$bench" "${a[@]}" --polls "$n" >/dev/null 2>&1
        if [ "${COLD:-0}" = 1 ]; then
            # A fixed cache geometry, so that the count does not follow the host's.
            valgrind --tool=callgrind --cache-sim=yes --I1=32768,8,64 --D1=32768,8,64 --LL=8388608,16,64 \
                --trace-children=no --instr-atstart=no --callgrind-out-file="$tmp/cold$n" \
                "$bench" "${a[@]}" --polls "$n" --cold >/dev/null 2>&1
        fi
    done
    echo "== $mode (runs of $short and $long polls)"
    for key in gui_cpu_ns polling_thread_cpu_ns gui_wakeups log_lines; do
        echo "$key per poll: $(per "$(echo "${plain[$short]}" | field $key)" "$(echo "${plain[$long]}" | field $key)")"
    done
    total_short=$(awk '{s += $2} END {print s + 0}' "$tmp/calls$short")
    total_long=$(awk '{s += $2} END {print s + 0}' "$tmp/calls$long")
    calls_per_poll=$(per "$total_short" "$total_long")
    echo "system calls per poll: $calls_per_poll"
    join -a1 -a2 -e 0 -o 0,1.2,2.2 "$tmp/calls$short" "$tmp/calls$long" |
        awk -v s="$span" '{ d = ($3 - $2) / s; if (d >= 0.05 || d <= -0.05) printf "  %-20s %6.1f\n", $1, d }' |
        sort -k2 -n -r
    ir_short=$(grep -E '^totals:' "$tmp/cg$short" | tail -1 | awk '{print $2}')
    ir_long=$(grep -E '^totals:' "$tmp/cg$long" | tail -1 | awk '{print $2}')
    echo "callgrind instructions per poll: $(per "$ir_short" "$ir_long")"
    if [ "${COLD:-0}" = 1 ]; then
        # ILmr + DLmr + DLmw of the events line "Ir Dr Dw I1mr D1mr D1mw ILmr DLmr DLmw".
        lines_of() { grep -E '^totals:' "$1" | tail -1 | awk '{print $8 + $9 + $10}'; }
        echo "cold cache lines per poll: $(per "$(lines_of "$tmp/cold$short")" "$(lines_of "$tmp/cold$long")")"
    fi
    case $mode in
    *-closed) closed_calls[${mode%-closed}]=$calls_per_poll ;;
    *-open)
        lines=$(per "$(echo "${plain[$short]}" | field log_lines)" "$(echo "${plain[$long]}" | field log_lines)")
        base=${closed_calls[${mode%-open}]:-}
        if [ -n "$base" ]; then
            awk -v o="$calls_per_poll" -v c="$base" -v l="$lines" \
                'BEGIN { if (l > 0) printf "system calls per line written: %.2f\n", (o - c) / l }'
        fi
        ;;
    esac
done
