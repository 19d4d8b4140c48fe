#!/usr/bin/env bash
# One table for every workload: the engine alone (bench_reduccion, single mode, median of its
# runs) and lambda-cli from process start to exit, with interval 16 ms and the result shown on
# "Texto" (the median of three runs).
# Usage: bench/tabla.sh [build folder]
set -euo pipefail
build=$(realpath "${1:-build}")
cargas=$(dirname "$(realpath "$0")")/cargas
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The Church numeral 100000 written out is not stored.
{
  grep -v '^#' "$cargas/workloads.txt"
  printf 'church_100k_literal\t0\t%s\n' "$(python3 -c 'n=100000; print("\\f x." + "f (" * n + "x" + ")" * n)')"
} >"$tmp/cargas.tsv"

ms() { date +%s%N; }
printf '%-22s %12s %16s\n' workload engine_ms lambda_cli_ms
while IFS=$'\t' read -r nombre limite texto; do
  [[ -z "$nombre" ]] && continue
  motor=$("$build/bench/bench_reduccion" --benchmark_filter="^motor/$nombre/simple" \
    --benchmark_format=csv 2>/dev/null | awk -F, '/^"motor/ {v=$4; u=$6} END {
      gsub(/"/, "", u); f = u == "ns" ? 1e-6 : u == "us" ? 1e-3 : u == "s" ? 1e3 : 1;
      printf "%.2f", v * f }')
  {
    echo "interval 16"
    echo "tab text"
    echo "enter $texto"
    if [[ "$limite" == 0 ]]; then echo "all"; else echo "all $limite"; fi
    echo "show"
  } >"$tmp/guion.txt"
  tiempos=()
  for _ in 1 2 3; do
    a=$(ms)
    "$build/workbench/cli/lambda-cli" "$tmp/guion.txt" >/dev/null
    b=$(ms)
    tiempos+=($(((b - a) / 1000)))
  done
  cli=$(printf '%s\n' "${tiempos[@]}" | sort -n | sed -n 2p)
  printf '%-22s %12s %16s\n' "$nombre" "$motor" "$(awk -v m="$cli" 'BEGIN {printf "%.2f", m / 1000}')"
done <"$tmp/cargas.tsv"
