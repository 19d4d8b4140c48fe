// SPDX-License-Identifier: GPL-3.0-or-later
// Layout and rendering time of terms of 10^3, 10^5 and 10^6 nodes in a 1009 x 500 bitmap, and
// the writing of their whole diagram as SVG.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "uDiagrama.h"
#include "uSvg.h"

namespace {

// A closed term of about `nodos` nodes: eight binders over a balanced tree of applications
// whose leaves cycle through the eight variables, every fifth inner node under a binder of its
// own, so the picture is wide and shallow and full of colours.
TExprLambda* Equilibrado(int64_t nodos) {
  std::vector<TVariable*> vars;
  for (int i = 0; i < 8; ++i) vars.push_back(new TVariable);
  std::vector<TExprLambda*> nivel;
  for (int64_t i = 0; i < nodos / 2; ++i) nivel.push_back(vars[i % 8]);
  int64_t cuenta = 0;
  while (nivel.size() > 1) {
    std::vector<TExprLambda*> siguiente;
    for (size_t i = 0; i + 1 < nivel.size(); i += 2) {
      TExprLambda* a = new TAplicacion(nivel[i], nivel[i + 1]);
      if (++cuenta % 5 == 0) {
        TFuncion* f = new TFuncion;
        f->Param = new TVariable;
        f->Cuerpo = a;
        a = f;
      }
      siguiente.push_back(a);
    }
    if (nivel.size() % 2) siguiente.push_back(nivel.back());
    nivel.swap(siguiente);
  }
  TExprLambda* cuerpo = nivel[0];
  for (int i = 7; i >= 0; --i) {
    TFuncion* f = new TFuncion;
    f->Param = vars[i];
    f->Cuerpo = cuerpo;
    cuerpo = f;
  }
  return cuerpo;
}

// The Church numeral of about `nodos` nodes: \f.\x. f (f (... (f x))), as deep as it is long.
TExprLambda* Church(int64_t nodos) {
  TFuncion* f = new TFuncion;
  TFuncion* x = new TFuncion;
  f->Param = new TVariable;
  x->Param = new TVariable;
  f->Cuerpo = x;
  TExprLambda* cuerpo = x->Param;
  for (int64_t i = 0; i < nodos / 2; ++i) cuerpo = new TAplicacion(f->Param, cuerpo);
  x->Cuerpo = cuerpo;
  return f;
}

template <TExprLambda* (*Hace)(int64_t)>
void Disposicion(benchmark::State& estado) {
  TExprLambda* t = Hace(estado.range(0));
  int32_t numVars = 0;
  Renumera(t, numVars);
  const auto nodos = int64_t(CuentaNodos(t));
  std::vector<TCaja> cajas;
  for (auto _ : estado) {
    Dispone(t, 1009, 1.0, cajas, numVars);
    benchmark::DoNotOptimize(cajas.data());
  }
  estado.SetItemsProcessed(estado.iterations() * nodos);
  estado.counters["nodos"] = double(nodos);
  Libera(t);
}

template <TExprLambda* (*Hace)(int64_t)>
void Dibujo(benchmark::State& estado) {
  TExprLambda* t = Hace(estado.range(0));
  int32_t numVars = 0;
  Renumera(t, numVars);
  const auto nodos = int64_t(CuentaNodos(t));
  TBitmap bitmap;
  TAgg2DPlus agg;
  AjustaBitmap(bitmap, agg, 1009, 500);
  for (auto _ : estado) {
    Redibuja(t, bitmap, agg, 1.0, numVars);
    benchmark::DoNotOptimize(bitmap.Pixeles());
  }
  estado.SetItemsProcessed(estado.iterations() * nodos);
  estado.counters["nodos"] = double(nodos);
  Libera(t);
}

// The whole diagram as SVG, written into memory that is reused: the layout and the text.
template <TExprLambda* (*Hace)(int64_t)>
void Svg(benchmark::State& estado) {
  TExprLambda* t = Hace(estado.range(0));
  int32_t numVars = 0;
  Renumera(t, numVars);
  const auto nodos = int64_t(CuentaNodos(t));
  std::size_t bytes = 0;
  for (auto _ : estado) {
    TDiagramaEntero d(t, 1.0);
    bytes = 0;
    EscribeSvg(d, [&](std::string_view p) { bytes += p.size(); });
  }
  estado.SetItemsProcessed(estado.iterations() * nodos);
  estado.counters["nodos"] = double(nodos);
  estado.counters["bytes"] = double(bytes);
  Libera(t);
}

BENCHMARK(Svg<Equilibrado>)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Svg<Church>)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Disposicion<Equilibrado>)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Disposicion<Church>)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Dibujo<Equilibrado>)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Dibujo<Church>)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
