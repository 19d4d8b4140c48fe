// SPDX-License-Identifier: GPL-3.0-or-later
// Normal-order and multiple-mode reduction of the workloads: the engine against the reference
// reducer that follows the rules literally; and every strategy, one contraction a step.
#include <benchmark/benchmark.h>

#include "Cargas.h"
#include "Literal.h"
#include "uParser.h"
#include "uReduccion.h"

namespace {

TExprLambda* Lee(const TCarga& c) {
  TDefiniciones defs;
  std::string error;
  return Analiza(c.Texto, defs, nullptr, error);
}

// Runs passes until nothing changes or the limit of contractions is reached.
void Motor(benchmark::State& st, const TCarga& c, bool multiple) {
  long contracciones = 0, pasadas = 0;
  for (auto _ : st) {
    st.PauseTiming();
    TExprLambda* t = Lee(c);
    NumReducciones = 0;
    pasadas = 0;
    st.ResumeTiming();
    TMotor motor;
    bool cambio = true;
    while (cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
      cambio = false;
      t = motor.Reduce(t, cambio, multiple);
      ++pasadas;
    }
    st.PauseTiming();
    contracciones = static_cast<long>(NumReducciones);
    Libera(t);
    st.ResumeTiming();
  }
  st.counters["contracciones"] = static_cast<double>(contracciones);
  st.counters["pasadas"] = static_cast<double>(pasadas);
}

void Referencia(benchmark::State& st, const TCarga& c, bool multiple) {
  long contracciones = 0, pasadas = 0;
  for (auto _ : st) {
    st.PauseTiming();
    TExprLambda* t = Lee(c);
    auto* lit = new literal::Termino;
    literal::ConPilaGrande([&] { literal::Convierte(t, *lit); });
    Libera(t);
    st.ResumeTiming();
    literal::ConPilaGrande([&] {
      contracciones = pasadas = 0;
      bool cambio = true;
      while (cambio && (c.Limite == 0 || contracciones < c.Limite)) {
        contracciones += lit->Pasada(multiple, cambio);
        ++pasadas;
      }
    });
    st.PauseTiming();
    literal::ConPilaGrande([&] { delete lit; });
    st.ResumeTiming();
  }
  st.counters["contracciones"] = static_cast<double>(contracciones);
  st.counters["pasadas"] = static_cast<double>(pasadas);
}

// A strategy a contraction at a time, until it stops by itself or has made `tope`.
void Estrategia(benchmark::State& st, const TCarga& c, TModo modo, long tope) {
  long contracciones = 0;
  bool termina = false;
  for (auto _ : st) {
    st.PauseTiming();
    TExprLambda* t = Lee(c);
    NumReducciones = 0;
    st.ResumeTiming();
    TMotor motor;
    motor.FijaModo(modo);
    bool cambio = true;
    while (cambio && NumReducciones < tope) {
      cambio = false;
      t = motor.Reduce(t, cambio, false);
    }
    st.PauseTiming();
    contracciones = static_cast<long>(NumReducciones);
    termina = !cambio && motor.Fin == TFinPasada::Normal;
    Libera(t);
    st.ResumeTiming();
  }
  st.counters["contracciones"] = static_cast<double>(contracciones);
  st.counters["termina"] = termina ? 1 : 0;
}

const bool Registrados = [] {
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR)) {
    for (bool multiple : {false, true}) {
      std::string modo = multiple ? "/multiple" : "/simple";
      // A fixed count: a term with no redex takes next to no time, and the untimed parse of each
      // iteration would otherwise go on until the timed part added up.
      benchmark::RegisterBenchmark(("motor/" + c.Nombre + modo).c_str(), Motor, c, multiple)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(20);
      benchmark::RegisterBenchmark(("literal/" + c.Nombre + modo).c_str(), Referencia, c, multiple)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1);
    }
  }
  // Every strategy, η where it applies; a workload without a limit is cut after 100,000
  // contractions, where a strategy does not end on it.
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR)) {
    for (TEstrategia e : Estrategias)
      for (bool eta : {false, true}) {
        if (eta && !AdmiteEta(e)) continue;
        std::string nombre =
            std::string("estrategia/") + ClaveEstrategia(e) + (eta ? "+eta/" : "/");
        benchmark::RegisterBenchmark((nombre + c.Nombre).c_str(), Estrategia, c, TModo{e, eta},
                                     c.Limite ? c.Limite : 100000)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
      }
  }
  // The same runs once more, after every workload above has gone through the pool: set against
  // a fresh process running one workload alone (bench/historia.sh), they show what the pool's
  // history costs a session that has been open for a while.
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR)) {
    for (bool multiple : {false, true}) {
      std::string modo = multiple ? "/multiple" : "/simple";
      benchmark::RegisterBenchmark(("tras_todas/" + c.Nombre + modo).c_str(), Motor, c, multiple)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(20);
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
