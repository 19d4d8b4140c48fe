// SPDX-License-Identifier: GPL-3.0-or-later
// What the "Pasos" panel costs on a run-all of a million passes on "Texto": Ω, stopped after
// 10^6 passes, every pass shown (the worst case: each one is a line) or at the window's pace,
// with the panel shown and hidden; "bytes_panel" is what the record holds at the end, "lineas"
// its lines. Then 1000 × 1000 by Church multiplication applied to I and z: a million passes over
// terms of megabytes, where the cap on text is what counts.
#include <benchmark/benchmark.h>

#include <string>

#include "uVistaGrabadora.h"
#include "vLambda.h"

namespace {

std::string Numeral(int n) {
  std::string s = "(\\f.\\x.";
  for (int i = 0; i < n; ++i) s += "f (";
  s += "x";
  s += std::string(static_cast<std::size_t>(n), ')');
  return s + ")";
}

void Todo(benchmark::State& Estado, const std::string& Texto, bool Pasos, double Intervalo) {
  std::size_t Bytes = 0, Lineas = 0;
  int64_t Pasadas = 0;
  for (auto _ : Estado) {
    Estado.PauseTiming();
    TVistaGrabadora v;
    TMesaTrabajo m(v);
    v.Mesa = &m;
    m.FormCreate();
    v.Pestana = TMesaTrabajo::PestanaTexto;
    v.Pasos = Pasos;
    m.FijaIntervalo(Intervalo);
    v.Ent = Texto;
    m.edtEntKeyPress('\r');
    v.AlTerminarPasada = [&] {
      if (m.Historial.Traza.Pasos() == 1'000'000) m.btnBetaAllClick();
    };
    Estado.ResumeTiming();
    m.btnBetaAllClick();
    Estado.PauseTiming();
    Bytes = m.Historial.Traza.Bytes();
    Lineas = m.Historial.Traza.Lineas().size();
    Pasadas = m.Historial.Traza.Pasos();
    m.FormCreate();
    Estado.ResumeTiming();
  }
  Estado.counters["bytes_panel"] = static_cast<double>(Bytes);
  Estado.counters["lineas"] = static_cast<double>(Lineas);
  Estado.counters["pasadas"] = static_cast<double>(Pasadas);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Omega = "(\\x.x x) (\\x.x x)";
  const std::string Producto =
      "(\\a.\\b.\\c.a (b c)) " + Numeral(1000) + " " + Numeral(1000) + " (\\y.y) z";
  struct {
    const char* Nombre;
    const std::string& Texto;
    bool Pasos;
    double Intervalo;
  } const Casos[] = {{"omega/oculto/cada_pasada", Omega, false, 0},
                     {"omega/mostrado/cada_pasada", Omega, true, 0},
                     {"omega/mostrado/60Hz", Omega, true, 1.0 / 60},
                     {"producto/oculto/60Hz", Producto, false, 1.0 / 60},
                     {"producto/mostrado/60Hz", Producto, true, 1.0 / 60}};
  for (const auto& c : Casos)
    benchmark::RegisterBenchmark(c.Nombre, Todo, c.Texto, c.Pasos, c.Intervalo)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
