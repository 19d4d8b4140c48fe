// SPDX-License-Identifier: GPL-3.0-or-later
// What showing the next step costs: β steps and run-all through the workbench's commands on every
// workload, on both tabs, with the text view's highlight and the diagram's halo on and off.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Cargas.h"
#include "uLambda.h"
#include "uReduccion.h"
#include "uVistaGrabadora.h"
#include "vLambda.h"

namespace {

constexpr int PasosBeta = 30;

// The text view's highlight on or off: the window and lambda-cli always show it, so only here
// does the workbench skip it.
struct TMesa {
  TVistaGrabadora v;
  TMesaTrabajo m{v};

  TMesa(const TCarga& c, int Pestana, bool Resalte, double Intervalo) {
    v.Mesa = &m;
    m.FormCreate();
    v.Pestana = Pestana;
    v.AnchoLienzo = 1009;  // Lienzo's size at start
    v.AltoLienzo = 427;
    m.LienzoPaint(v.AnchoLienzo, v.AltoLienzo);
    m.Vistas.MuestraResalte = Resalte;
    v.Halo = Resalte;
    m.FijaIntervalo(Intervalo);
    v.Ent = c.Texto;
    m.edtEntKeyPress('\r');
  }
};

// The measured work on its own, so that a profiler can count it apart from the setting up:
//   valgrind --tool=callgrind --toggle-collect='*Mide*' bench_siguiente --benchmark_filter=...
// gives instruction counts that do not depend on what else the machine is doing.
[[gnu::noinline]] void MidePasos(TMesaTrabajo& m) {
  for (int i = 0; i < PasosBeta; ++i) m.btnBetaClick();
}
[[gnu::noinline]] void MideTodo(TMesaTrabajo& m) {
  m.btnBetaAllClick();
}

// The first PasosBeta steps: each one prints and draws the whole term.
void Beta(benchmark::State& Estado, const TCarga& c, int Pestana, bool Resalte) {
  for (auto _ : Estado) {
    Estado.PauseTiming();
    TMesa x(c, Pestana, Resalte, 0);
    if (!x.m.Sesion.TerminoActual()) return Estado.SkipWithError(x.v.Estado.c_str());
    Estado.ResumeTiming();
    MidePasos(x.m);
    Estado.PauseTiming();
    x.m.FormCreate();  // the terms go outside the timing
    Estado.ResumeTiming();
  }
}

void Todo(benchmark::State& Estado, const TCarga& c, int Pestana, bool Resalte, double Intervalo) {
  int64_t Vistas = 0;
  for (auto _ : Estado) {
    Estado.PauseTiming();
    TMesa x(c, Pestana, Resalte, Intervalo);
    if (!x.m.Sesion.TerminoActual()) return Estado.SkipWithError(x.v.Estado.c_str());
    if (c.Limite > 0)
      x.v.AlProcesarEventos = [&] {
        if (NumReducciones >= c.Limite) x.m.btnBetaAllClick();
      };
    int Antes = x.v.Memos + x.v.Refrescos;
    Estado.ResumeTiming();
    MideTodo(x.m);
    Estado.PauseTiming();
    Vistas = x.v.Memos + x.v.Refrescos - Antes;
    x.m.FormCreate();
    Estado.ResumeTiming();
  }
  Estado.counters["vistas"] = static_cast<double>(Vistas);
}

// Printing or drawing the whole term after every pass costs its size each time (see
// bench_workbench): these run-all only at the paced interval.
bool Cuadratico(const std::string& Nombre) {
  return Nombre == "bintree_16" || Nombre == "grow_www_20k" || Nombre == "pow_10_5" ||
         Nombre == "church_100k_literal";
}

}  // namespace

int main(int argc, char** argv) {
  static const std::vector<TCarga> Cargas = LeeCargas(LAMBDA_BENCH_DIR);
  const char* Pestanas[] = {"texto", "diagrama"};
  for (const TCarga& c : Cargas) {
    for (int p = 0; p < 2; ++p) {
      // On and off side by side, so that a slower moment of the machine hits both alike.
      for (bool r : {false, true}) {
        std::string Sufijo = std::string("/") + Pestanas[p] + (r ? "/con" : "/sin");
        benchmark::RegisterBenchmark(("beta/" + c.Nombre + Sufijo).c_str(), Beta, c, p, r)
            ->Unit(benchmark::kMillisecond);
      }
      for (double Intervalo : {0.0, 1.0 / 60}) {
        if (Intervalo == 0 && Cuadratico(c.Nombre)) continue;
        for (bool r : {false, true}) {
          std::string Nombre = std::string(Intervalo == 0 ? "todo_cada_pasada/" : "todo_60Hz/") +
                               c.Nombre + "/" + Pestanas[p] + (r ? "/con" : "/sin");
          benchmark::RegisterBenchmark(Nombre.c_str(), Todo, c, p, r, Intervalo)
              ->Unit(benchmark::kMillisecond)
              ->Iterations(1);
        }
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
