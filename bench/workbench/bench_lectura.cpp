// SPDX-License-Identifier: GPL-3.0-or-later
// The read-back of a term (one walk: fingerprint, numeral, size) on the normal forms of the
// workloads, in ns per 1,000 nodes, beside what a step costs on the same term; and run-all's passes
// with and without looking for cycles (the engine alone, with the clock read after each pass as
// run-all does), whose ratio is what the cycles cost a run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "Cargas.h"
#include "uLector.h"
#include "uParser.h"
#include "uReduccion.h"

namespace {

TExprLambda* Analizada(const TCarga& c) {
  TDefiniciones d;
  std::string Error;
  return Analiza(c.Texto, d, nullptr, Error);
}

// The term a workload's run ends at.
TExprLambda* Final(const TCarga& c) {
  TExprLambda* t = Analizada(c);
  TMotor m;
  NumReducciones = 0;
  bool Cambio = true;
  while (Cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
    Cambio = false;
    t = m.Reduce(t, Cambio, false);
  }
  return t;
}

void Lectura(benchmark::State& Estado, const TCarga& c) {
  TExprLambda* t = Final(c);
  std::vector<uintptr_t> Pila;
  TLectura r;
  for (auto _ : Estado) {
    LeeTermino(t, r, SIZE_MAX, Pila);
    benchmark::DoNotOptimize(r);
  }
  Estado.counters["nodos"] = static_cast<double>(r.Nodos);
  Estado.counters["ns_por_1000_nodos"] = benchmark::Counter(
      static_cast<double>(Estado.iterations()) * static_cast<double>(r.Nodos) / 1000,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  Libera(t);
}

// What a step costs the workbench on the text tab without its read-back: the copy kept for
// back, one pass, the numbering and the printed form; set against lectura/ on the same term.
void Paso(benchmark::State& Estado, const TCarga& c) {
  TExprLambda* t = Final(c);
  TMotor m;
  int32_t NumVars = 0;
  for (auto _ : Estado) {
    TExprLambda* Anterior = t->Copia();
    bool Cambio = false;
    t = m.Reduce(t, Cambio, false);
    Renumera(t, NumVars);
    std::string Texto = t->Texto();
    benchmark::DoNotOptimize(Texto);
    Estado.PauseTiming();
    Libera(Anterior);
    Estado.ResumeTiming();
  }
  m.Olvida();
  Libera(t);
}

void Pasadas(benchmark::State& Estado, const TCarga& c, bool Ciclos) {
  using Reloj = std::chrono::steady_clock;
  int64_t Vistos = 0;
  for (auto _ : Estado) {
    Estado.PauseTiming();
    TExprLambda* t = Analizada(c);
    NumReducciones = 0;
    TLector Lector;
    Estado.ResumeTiming();
    TMotor m;
    Lector.Empieza(false, Reloj::now());
    bool Cambio = true;
    while (Cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
      Cambio = false;
      t = m.Reduce(t, Cambio, false);
      Reloj::time_point Ahora = Reloj::now();
      if (Ciclos) Lector.TrasPasada(t, Cambio, false, Ahora, false);
      benchmark::DoNotOptimize(Ahora);
    }
    Lector.Termina();
    Estado.PauseTiming();
    Vistos += Lector.Ciclo();
    m.Olvida();
    Libera(t);
    Estado.ResumeTiming();
  }
  Estado.counters["ciclos"] = static_cast<double>(Vistos);
}

const bool Registrados = [] {
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR)) {
    benchmark::RegisterBenchmark(("lectura/" + c.Nombre).c_str(), Lectura, c)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("paso/" + c.Nombre).c_str(), Paso, c)
        ->Unit(benchmark::kMicrosecond);
    for (bool Ciclos : {false, true})
      benchmark::RegisterBenchmark(
          ((Ciclos ? "pasadas_con_ciclos/" : "pasadas/") + c.Nombre).c_str(), Pasadas, c, Ciclos)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(10);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
