#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every strategy on every workload (bench_reduccion's estrategia/ runs): processor time per
# contraction, the least of RONDAS repetitions (3 unless set), and its ratio to orden normal's
# on the same workload; then the contractions each made, "cut" where it was stopped at the
# workload's limit (100,000 where it has none) rather than ending by itself.
# Usage: [RONDAS=n] bench/estrategias.sh [build folder]
set -euo pipefail
build=$(realpath "${1:-build}")
"$build/bench/bench_reduccion" --benchmark_filter='^estrategia/' \
  --benchmark_repetitions="${RONDAS:-3}" --benchmark_format=csv 2>/dev/null |
  python3 -c '
import csv, sys
filas = [f for f in csv.reader(sys.stdin) if f]
cab = filas[0]
cpu, unidad = cab.index("cpu_time"), cab.index("time_unit")
nc, nt = cab.index("contracciones"), cab.index("termina")
escala = {"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}
ms, cuenta, termina, cargas, modos = {}, {}, {}, [], []
for f in filas[1:]:
    if f[0].endswith(("_mean", "_median", "_stddev", "_cv")):
        continue
    nombre = f[0].split("/iterations")[0]
    _, modo, carga = nombre.split("/")
    if carga not in cargas: cargas.append(carga)
    if modo not in modos: modos.append(modo)
    t = float(f[cpu]) * escala[f[unidad]]
    ms[carga, modo] = min(t, ms.get((carga, modo), t))
    cuenta[carga, modo], termina[carga, modo] = int(float(f[nc])), f[nt].startswith("1")
def ns(c, m):
    return ms[c, m] * 1e6 / cuenta[c, m] if cuenta[c, m] else None
corto = {"hybrid-applicative": "hyb-app", "hybrid-normal": "hyb-norm",
         "applicative": "applic", "applicative+eta": "applic+eta"}
print("ns per contraction (x ratio to normal on the same workload; - : no contraction)")
print("%-20s" % "workload" + "".join("%18s" % corto.get(m, m) for m in modos))
for c in cargas:
    celdas = []
    for m in modos:
        v, base = ns(c, m), ns(c, "normal")
        celdas.append("-" if v is None else
                      "%.0f x%.2f" % (v, v / base) if base else "%.0f" % v)
    print("%-20s" % c + "".join("%18s" % x for x in celdas))
print()
print("contractions (cut: stopped at the limit; total ms)")
print("%-20s" % "workload" + "".join("%18s" % corto.get(m, m) for m in modos))
for c in cargas:
    print("%-20s" % c + "".join("%18s" % ("%d%s %.2f" % (cuenta[c, m],
          "" if termina[c, m] else " cut", ms[c, m])) for m in modos))
'
