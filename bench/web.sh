#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The engine alone, native against WebAssembly, per workload of bench/cargas: one table of the
# reduction's milliseconds natively, in headless Chromium and under node, and Chromium's over
# native. Builds motor-web in the native build folder (first argument, build/ unless given) and
# in build-web/ (scripts/web.sh's); needs workbench/web/pruebas's npm modules (npm ci there). Each program
# runs a workload at least RONDAS times (1 unless given) and a third of a second; the three take
# turns VECES times (3 unless given), so that a slow spell of the machine falls on all of them.
# The least time of each counts.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
bash scripts/web.sh --solo-construir >/dev/null
cmake --build build-web --target motor-web >/dev/null
cmake --build "$build" --target motor-web >/dev/null
rondas=${RONDAS:-1}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for vez in $(seq "${VECES:-3}"); do
  "$build/bench/web/motor-web" bench/cargas "$rondas" >>"$tmp/nativo.todas"
  node bench/web/chromium.mjs build-web/web/bench-web "$rondas" >>"$tmp/chromium.todas"
  # Debian's emscripten fetches the wasm where node has fetch, which takes no file path.
  node --no-experimental-fetch build-web/web/bench-web/motor-web.js /cargas "$rondas" >>"$tmp/node.todas"
done
# The least time of each workload, in the workloads' order.
for r in nativo chromium node; do
  awk -F'\t' '!($1 in t) { orden[++n] = $1; t[$1] = $2; c[$1] = $3 }
    $2 < t[$1] { t[$1] = $2 }
    END { for (i = 1; i <= n; ++i) printf "%s\t%s\t%s\n", orden[i], t[orden[i]], c[orden[i]] }' \
    "$tmp/$r.todas" >"$tmp/$r"
done
# Every run must have made the same contractions.
for r in chromium node; do
  if ! diff <(cut -f1,3 "$tmp/nativo") <(cut -f1,3 "$tmp/$r") >/dev/null; then
    echo "$r: contractions differ from native" >&2
    exit 1
  fi
done
printf '| carga | contracciones | nativo ms | chromium ms | node ms | chromium/nativo |\n'
printf '|---|---:|---:|---:|---:|---:|\n'
paste "$tmp/nativo" "$tmp/chromium" "$tmp/node" | awk -F'\t' '{
  printf "| %s | %s | %.1f | %.1f | %.1f | %s |\n", $1, $3, $2, $5, $8, ($2 > 0 ? sprintf("%.1f", $5 / $2) : "-")
}'
