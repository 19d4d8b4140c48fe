#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What showing the next step costs, counted in instructions under callgrind, which do not depend
# on what else the machine is doing: each benchmark of bench_siguiente that is the same work at
# every run (β steps, and run-all with a view after every pass), without and with the highlight.
# Usage: bench/siguiente.sh [build folder] [grep pattern of benchmarks]   (needs valgrind)
set -euo pipefail
build=${1:-build}
patron=${2:-.}
programa="$build/bench/workbench/bench_siguiente"
cuenta() {  # instructions of the measured part of one iteration of the benchmark $1
  valgrind --tool=callgrind --callgrind-out-file=/dev/null --toggle-collect='*Mide*' \
    "$programa" --benchmark_filter="^$1\$" --benchmark_min_time=0.000001 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
printf '%-48s %15s %15s %8s\n' benchmark sin con extra
"$programa" --benchmark_list_tests | grep -v '60Hz' | grep '/sin' | grep -E -- "$patron" |
  while read -r sin; do
    con=${sin/\/sin/\/con}
    a=$(cuenta "$sin")
    b=$(cuenta "$con")
    printf '%-48s %15s %15s %7.1f%%\n' "${sin/\/sin/}" "$a" "$b" "$(echo "100 * ($b - $a) / $a" | bc -l)"
  done
