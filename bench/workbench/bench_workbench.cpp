// SPDX-License-Identifier: GPL-3.0-or-later
// Run-all through the workbench's commands (text tab, views updated after every pass or at
// about 60 per second) against the engine alone, on the shared workloads; and the memory of a
// long run on a term that does not grow.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "uLambda.h"
#include "uParser.h"
#include "uReduccion.h"
#include "uVistaGrabadora.h"
#include "vLambda.h"

namespace {

struct TCarga {
  std::string Nombre;
  int64_t Limite;  // contractions; 0: to normal form
  std::string Termino;
};

std::vector<TCarga> LeeCargas() {
  std::vector<TCarga> Cargas;
  std::ifstream f(LAMBDA_BENCH_DIR "/workloads.txt");
  std::string Linea;
  while (std::getline(f, Linea)) {
    if (Linea.empty() || Linea[0] == '#') continue;
    std::size_t a = Linea.find('\t'), b = Linea.find('\t', a + 1);
    Cargas.push_back(
        {Linea.substr(0, a), std::stoll(Linea.substr(a + 1, b - a - 1)), Linea.substr(b + 1)});
  }
  std::string Numeral = "\\f.\\x.";
  for (int i = 0; i < 100000; ++i) Numeral += "f (";
  Numeral += "x" + std::string(100000, ')');
  Cargas.push_back({"church_100k_literal", 0, Numeral});
  return Cargas;
}

// The engine alone: passes until nothing changes or the limit.
void Motor(benchmark::State& Estado, const TCarga& c) {
  int64_t Pasadas = 0;
  for (auto _ : Estado) {
    Estado.PauseTiming();
    TDefiniciones d;
    std::string Error;
    TExprLambda* t = Analiza(c.Termino, d, nullptr, Error);
    if (!t) return Estado.SkipWithError(Error.c_str());
    TMotor m;
    NumReducciones = 0;
    Pasadas = 0;
    Estado.ResumeTiming();
    bool Cambio = true;
    while (Cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
      Cambio = false;
      t = m.Reduce(t, Cambio, false);
      ++Pasadas;
    }
    Estado.PauseTiming();
    m.Olvida();
    Libera(t);
    Estado.ResumeTiming();
  }
  Estado.counters["pasadas"] = static_cast<double>(Pasadas);
  Estado.counters["reducciones"] = static_cast<double>(NumReducciones);
}

// The same through the commands: Enter, then the ∀β button, on the text tab.
void Mesa(benchmark::State& Estado, const TCarga& c, double Intervalo) {
  int64_t Pasadas = 0;
  for (auto _ : Estado) {
    Estado.PauseTiming();
    TVistaGrabadora v;
    TMesaTrabajo m(v);
    v.Mesa = &m;
    m.FormCreate();
    v.Pestana = TMesaTrabajo::PestanaTexto;
    m.FijaIntervalo(Intervalo);
    v.Ent = c.Termino;
    m.edtEntKeyPress('\r');
    if (!m.Sesion.TerminoActual()) return Estado.SkipWithError(v.Estado.c_str());
    if (c.Limite > 0)
      v.AlProcesarEventos = [&] {
        if (NumReducciones >= c.Limite) m.btnBetaAllClick();
      };
    int Memos = v.Memos;
    Estado.ResumeTiming();
    m.btnBetaAllClick();
    Estado.PauseTiming();
    Pasadas = v.Memos - Memos;
    Estado.ResumeTiming();
  }
  Estado.counters["vistas"] = static_cast<double>(Pasadas);
  Estado.counters["reducciones"] = static_cast<double>(NumReducciones);
}

long RssKiB() {
  std::ifstream f("/proc/self/statm");
  long Total = 0, Residente = 0;
  f >> Total >> Residente;
  return Residente * (sysconf(_SC_PAGESIZE) / 1024);
}

// (\x.x x) (\x.x x) for N passes, views updated after every pass: the peaks of live nodes and
// of resident memory must not grow with N.
void Omega(benchmark::State& Estado) {
  const int64_t N = Estado.range(0);
  std::size_t PicoNodos = 0;
  long RssInicio = 0, PicoRss = 0;
  for (auto _ : Estado) {
    TVistaGrabadora v;
    TMesaTrabajo m(v);
    v.Mesa = &m;
    m.FormCreate();
    v.Pestana = TMesaTrabajo::PestanaTexto;
    v.Ent = "(\\x.x x) (\\y.y y)";
    m.edtEntKeyPress('\r');
    RssInicio = RssKiB();
    PicoRss = RssInicio;
    v.AlProcesarEventos = [&] {
      PicoNodos = std::max(PicoNodos, NodosVivos());
      if (v.Eventos % 1000 == 0) PicoRss = std::max(PicoRss, RssKiB());
      if (v.Eventos == N) m.btnBetaAllClick();
    };
    m.btnBetaAllClick();
  }
  Estado.counters["pico_nodos"] = static_cast<double>(PicoNodos);
  Estado.counters["rss_inicio_KiB"] = static_cast<double>(RssInicio);
  Estado.counters["pico_rss_KiB"] = static_cast<double>(PicoRss);
}

// Printing the whole term after every pass costs its size each time: with the interval at 0
// these would take minutes, which is what the paced views are for.
bool Cuadratico(const std::string& Nombre) {
  return Nombre == "bintree_16" || Nombre == "grow_www_20k" || Nombre == "pow_10_5";
}

}  // namespace

int main(int argc, char** argv) {
  static const std::vector<TCarga> Cargas = LeeCargas();
  for (const TCarga& c : Cargas) {
    benchmark::RegisterBenchmark(("motor/" + c.Nombre).c_str(), Motor, c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    if (!Cuadratico(c.Nombre))
      benchmark::RegisterBenchmark(("mesa_intervalo_0/" + c.Nombre).c_str(), Mesa, c, 0.0)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1);
    benchmark::RegisterBenchmark(("mesa_intervalo_60Hz/" + c.Nombre).c_str(), Mesa, c, 1.0 / 60)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  }
  benchmark::RegisterBenchmark("omega_pasadas", Omega)
      ->Arg(10000)
      ->Arg(100000)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
