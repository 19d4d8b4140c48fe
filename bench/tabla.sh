#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One table for every workload: the engine alone (bench_reduccion, single mode), one parse of the
# expression and one print of the result (bench_core), the start and exit of lambda-cli on an
# empty script, their sum as the baseline, and lambda-cli from process start to exit, with
# interval 16 ms and the result shown on "Texto": wall time and processor time (user + system).
# Every figure is the least of several runs (RONDAS, 5 unless set), since other processes can
# only add to them. The ratios are lambda-cli's wall time, and its processor time, over the
# baseline (on a busy machine the second is the steadier).
# Usage: [RONDAS=n] bench/tabla.sh [build folder] [lambda-cli to time instead of the build's]
set -euo pipefail
build=$(realpath "${1:-build}")
cli=$(realpath "${2:-$build/workbench/cli/lambda-cli}")
cargas=$(dirname "$(realpath "$0")")/cargas
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The Church numeral 100000 written out is not stored.
{
  grep -v '^#' "$cargas/workloads.txt"
  printf 'church_100k_literal\t0\t%s\n' "$(python3 -c 'n=100000; print("\\f x." + "f (" * n + "x" + ")" * n)')"
} >"$tmp/cargas.tsv"

rondas=${RONDAS:-5}
repeticiones=(--benchmark_repetitions="$rondas" --benchmark_format=csv)

# Milliseconds of a benchmark's processor time, the least of its repetitions, from Google
# Benchmark's CSV (the aggregate rows left out).
ms_csv() {
  awk -F, -v pat="^\"$1" '$0 ~ pat && $1 !~ /_(mean|median|stddev|cv)"$/ {
    if (v == "" || $4 < v) {v = $4; u = $6} } END {
    gsub(/"/, "", u); f = u == "ns" ? 1e-6 : u == "us" ? 1e-3 : u == "s" ? 1e3 : 1;
    printf "%.2f", v * f }'
}
"$build/bench/bench_core" --benchmark_filter='^(lectura|impresion)/' "${repeticiones[@]}" \
  2>/dev/null >"$tmp/core.csv"

# Least wall and processor milliseconds of the runs of lambda-cli on a script.
tiempo() {
  python3 - "$cli" "$1" "$rondas" <<'PY'
import resource, subprocess, sys, time
pared, cpu = [], []
for _ in range(int(sys.argv[3])):
    antes = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = time.perf_counter()
    subprocess.run(sys.argv[1:3], stdout=subprocess.DEVNULL, check=True)
    pared.append(time.perf_counter() - t)
    despues = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu.append(despues.ru_utime + despues.ru_stime - antes.ru_utime - antes.ru_stime)
print("%.2f %.2f" % (min(pared) * 1e3, min(cpu) * 1e3))
PY
}
: >"$tmp/vacio.txt"
read -r arranque _ < <(tiempo "$tmp/vacio.txt")

printf '%-20s %9s %8s %8s %8s %8s %11s %10s %6s %9s\n' workload engine_ms parse_ms print_ms \
  start_ms base_ms cli_wall_ms cli_cpu_ms ratio cpu_ratio
while IFS=$'\t' read -r nombre limite texto; do
  [[ -z "$nombre" ]] && continue
  motor=$("$build/bench/bench_reduccion" --benchmark_filter="^motor/$nombre/simple" \
    "${repeticiones[@]}" 2>/dev/null | ms_csv "motor")
  lectura=$(ms_csv "lectura/$nombre\"" <"$tmp/core.csv")
  impresion=$(ms_csv "impresion/$nombre\"" <"$tmp/core.csv")
  {
    echo "interval 16"
    echo "tab text"
    echo "enter $texto"
    if [[ "$limite" == 0 ]]; then echo "all"; else echo "all $limite"; fi
    echo "show"
  } >"$tmp/guion.txt"
  read -r pared cpu < <(tiempo "$tmp/guion.txt")
  base=$(awk -v a="$motor" -v b="$lectura" -v c="$impresion" -v d="$arranque" \
    'BEGIN {printf "%.2f", a + b + c + d}')
  ratio=$(awk -v p="$pared" -v b="$base" 'BEGIN {printf "%.2f", p / b}')
  ratio_cpu=$(awk -v p="$cpu" -v b="$base" 'BEGIN {printf "%.2f", p / b}')
  printf '%-20s %9s %8s %8s %8s %8s %11s %10s %6s %9s\n' "$nombre" "$motor" "$lectura" \
    "$impresion" "$arranque" "$base" "$pared" "$cpu" "$ratio" "$ratio_cpu"
done <"$tmp/cargas.tsv"
