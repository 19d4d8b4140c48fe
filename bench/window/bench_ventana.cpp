// SPDX-License-Identifier: GPL-3.0-or-later
// Run-all in the real window with the diagram tab active: 5! on Church numerals, passes per
// second, at the window's own view interval and with the diagram drawn after every pass.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>

#include "Cargas.h"
#include "Ventana.h"
#include "uLambda.h"
#include "uLineaUnica.h"
#include "uPrograma.h"
#include "uReduccion.h"
#include "uVentPpal.h"

namespace {

TVentPpal* Ventana = nullptr;

std::string Carga(const std::string& Nombre) {
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR))
    if (c.Nombre == Nombre) return c.Texto;
  return {};
}

void BetaTodo(benchmark::State& state, const std::string& Nombre, double Intervalo, int Pestana) {
  std::string Texto = Carga(Nombre);
  if (Texto.empty()) {
    state.SkipWithError(("workload not found: " + Nombre).c_str());
    return;
  }
  TVentPpal& v = *Ventana;
  v.PageControl1->setCurrentIndex(Pestana);
  v.Mesa().FijaIntervalo(Intervalo);
  int64_t Pasadas = 0;
  for (auto _ : state) {
    state.PauseTiming();
    v.edtEnt->setText(QString::fromStdString(Texto));
    v.edtEntKeyPress('\r');
    QCoreApplication::processEvents();
    state.ResumeTiming();
    v.btnBetaAllClick();
    Pasadas += NumReducciones + 1;  // one contraction a pass, and a last pass with none
  }
  state.counters["passes"] =
      benchmark::Counter(static_cast<double>(Pasadas), benchmark::Counter::kIsRate);
  state.counters["contractions"] = static_cast<double>(NumReducciones);
}

}  // namespace

BENCHMARK_CAPTURE(BetaTodo, fact_5_Y_diagrama_60Hz, std::string("fact_5_Y"), 1.0 / 60, 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BetaTodo, fact_5_pairs_diagrama_cada_pasada, std::string("fact_5_pairs"), 0.0, 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BetaTodo, fact_5_Y_texto_60Hz, std::string("fact_5_Y"), 1.0 / 60, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

int main(int argc, char** argv) {
  return EjecutaConVentana(argc, argv, Ventana);
}
