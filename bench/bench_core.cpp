// SPDX-License-Identifier: GPL-3.0-or-later
// The term model and the parser on big terms: parsing a 1 MB expression; printing, copying and
// destroying a term of about a million nodes; memory per node.
#include <benchmark/benchmark.h>

#include <climits>
#include <fstream>
#include <string>

#include "Cargas.h"
#include "uParser.h"
#include "uReduccion.h"

namespace {

// The Church numeral n written out: about 2n + 5 nodes, nesting depth n + 3.
std::string Numeral(int n) {
  std::string s = "\\f.\\x.";
  for (int i = 0; i < n; ++i) s += "f (";
  s += "x";
  s.append(static_cast<std::size_t>(n), ')');
  return s;
}

TExprLambda* Lee(const std::string& texto) {
  TDefiniciones defs;
  std::string error;
  return Analiza(texto, defs, nullptr, error);
}

// Peak resident memory of the process so far, in bytes.
long PicoMemoria() {
  std::ifstream f("/proc/self/status");
  std::string linea;
  while (std::getline(f, linea))
    if (linea.rfind("VmHWM:", 0) == 0) return std::stol(linea.substr(6)) * 1024;
  return 0;
}

// Memory per node: the growth of the peak resident size while reduction builds 2^20 (a term of
// about two million nodes) from a few dozen, over the nodes of the result. Runs first, so that
// nothing before it has raised the peak.
void BytesPorNodo(benchmark::State& st) {
  for (auto _ : st) {
    long antes = PicoMemoria();
    TExprLambda* t =
        Lee("(\\a.\\b.b a) (\\c.\\d.c (c d)) (\\e.\\g.e (e (e (e (e (e (e (e (e (e "
            "(e (e (e (e (e (e (e (e (e (e g))))))))))))))))))))");
    TMotor motor;
    bool cambio = true;
    while (cambio) {
      cambio = false;
      t = motor.Reduce(t, cambio, false);
    }
    long despues = PicoMemoria();
    double nodos = static_cast<double>(NodosVivos());
    st.counters["nodos"] = nodos;
    st.counters["bytes_por_nodo"] = static_cast<double>(despues - antes) / nodos;
    Libera(t);
  }
}
BENCHMARK(BytesPorNodo)->Iterations(1)->Unit(benchmark::kMillisecond);

void Analiza1MB(benchmark::State& st) {
  const std::string texto = Numeral(250'000);  // 1 MB of text
  for (auto _ : st) {
    TExprLambda* t = Lee(texto);
    benchmark::DoNotOptimize(t);
    st.PauseTiming();
    Libera(t);
    st.ResumeTiming();
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * texto.size()));
  st.counters["bytes"] = static_cast<double>(texto.size());
}
BENCHMARK(Analiza1MB)->Unit(benchmark::kMillisecond);

// A term of about a million nodes.
struct TTerminoGrande {
  TExprLambda* T = Lee(Numeral(500'000));
  ~TTerminoGrande() { Libera(T); }
};

void Texto1M(benchmark::State& st) {
  TTerminoGrande g;
  int32_t n;
  Renumera(g.T, n);
  for (auto _ : st) benchmark::DoNotOptimize(g.T->Texto());
  st.counters["nodos"] = static_cast<double>(CuentaNodos(g.T));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * LongitudTexto(g.T)));
}
BENCHMARK(Texto1M)->Unit(benchmark::kMillisecond);

// The printer alone (length known), and with the ranges of 3,000 applications spread over the
// term and their two children, as the highlight of a step asks for.
void TextoConPulso1M(benchmark::State& st) {
  TTerminoGrande g;
  int32_t n;
  Renumera(g.T, n);
  std::size_t l = LongitudTexto(g.T);
  for (auto _ : st) benchmark::DoNotOptimize(TextoConPulso(g.T, l, {}));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * l));
}
BENCHMARK(TextoConPulso1M)->Unit(benchmark::kMillisecond);

void TextoConRangos1M(benchmark::State& st) {
  TTerminoGrande g;
  int32_t n;
  Renumera(g.T, n);
  std::size_t l = LongitudTexto(g.T);
  std::vector<TExprLambda*> nodos;
  TExprLambda* e = ComoFuncion(ComoFuncion(g.T)->Cuerpo)->Cuerpo;
  const int Paso = st.range(0) ? 500'000 / static_cast<int>(st.range(0)) : INT_MAX;
  for (int i = 0; TAplicacion* ap = ComoAplicacion(e); ++i, e = ap->Arg)
    if (i % Paso == 0) nodos.insert(nodos.end(), {ap, ap->Func, ap->Arg});
  std::vector<TRango> rangos;
  for (auto _ : st) benchmark::DoNotOptimize(TextoConRangos(g.T, l, nodos, rangos));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * l));
  st.counters["nodos_buscados"] = static_cast<double>(nodos.size());
}
BENCHMARK(TextoConRangos1M)->Arg(0)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

void Renumera1M(benchmark::State& st) {
  TTerminoGrande g;
  int32_t n;
  for (auto _ : st) Renumera(g.T, n);
}
BENCHMARK(Renumera1M)->Unit(benchmark::kMillisecond);

void Copia1M(benchmark::State& st) {
  TTerminoGrande g;
  for (auto _ : st) {
    TExprLambda* c = g.T->Copia();
    st.PauseTiming();
    Libera(c);
    st.ResumeTiming();
  }
}
BENCHMARK(Copia1M)->Unit(benchmark::kMillisecond);

void Libera1M(benchmark::State& st) {
  TTerminoGrande g;
  for (auto _ : st) {
    st.PauseTiming();
    TExprLambda* c = g.T->Copia();
    st.ResumeTiming();
    Libera(c);
  }
}
BENCHMARK(Libera1M)->Unit(benchmark::kMillisecond);

// Per workload, what lambda-cli does besides reducing: one parse of the expression, and one
// print of the result (numbered beforehand, as every view update numbers it).
void LecturaCarga(benchmark::State& st, const TCarga& c) {
  for (auto _ : st) {
    TExprLambda* t = Lee(c.Texto);
    st.PauseTiming();
    Libera(t);
    st.ResumeTiming();
  }
  st.counters["bytes"] = static_cast<double>(c.Texto.size());
}

void ImpresionCarga(benchmark::State& st, const TCarga& c) {
  TExprLambda* t = Lee(c.Texto);
  TMotor motor;
  bool cambio = true;
  NumReducciones = 0;
  while (cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
    cambio = false;
    t = motor.Reduce(t, cambio, false);
  }
  int32_t n;
  Renumera(t, n);
  for (auto _ : st) benchmark::DoNotOptimize(t->Texto());
  st.counters["bytes"] = static_cast<double>(LongitudTexto(t));
  motor.Olvida();
  Libera(t);
}

const bool Registrados = [] {
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR)) {
    benchmark::RegisterBenchmark(("lectura/" + c.Nombre).c_str(), LecturaCarga, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("impresion/" + c.Nombre).c_str(), ImpresionCarga, c)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
