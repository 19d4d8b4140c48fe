#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Each workload's engine time in a fresh process against its time after all the others ran in
# the same process. Usage: bench/historia.sh path/to/bench_reduccion [rounds]
# CPU time: on a shared machine the wall clock of a short timed part also counts the moments the
# process waited for a processor.
set -euo pipefail
B=$1
R=${2:-3}
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
csv() { "$B" --benchmark_format=csv --benchmark_filter="$1" 2>/dev/null | grep '^"' || true; }
for i in $(seq "$R"); do
  csv '^(motor|tras_todas)/' | grep '^"tras_todas' >>"$T/tras"
  for n in $(csv '^motor/' | cut -d, -f1 | tr -d '"' | sed 's|/iterations.*||; s|^motor/||'); do
    csv "^motor/$n/" >>"$T/solo"
  done
done
python3 - "$T" <<'P'
import collections, statistics, sys
d = sys.argv[1]
def lee(f, pre):
    m = collections.defaultdict(list)
    for l in open(f"{d}/{f}"):
        c = l.split(",")
        m[c[0].strip('"').split("/iterations")[0][len(pre):]].append(float(c[3]))
    return m
solo, tras = lee("solo", "motor/"), lee("tras", "tras_todas/")
print(f"{'workload':32s} {'fresh ms':>10s} {'after all':>10s} {'ratio':>6s}")
for n in solo:
    a, b = statistics.median(solo[n]), statistics.median(tras[n])
    print(f"{n:32s} {a:10.3f} {b:10.3f} {b / a:6.2f}")
P
