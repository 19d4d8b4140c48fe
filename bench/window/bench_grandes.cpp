// SPDX-License-Identifier: GPL-3.0-or-later
// Big terms in the real window: showing a long printed form on "Texto" (time, and the growth of
// the peak resident memory per printed character), run-all of a term that grows without end for
// a fixed time on each tab (contractions per second, and how long a second press takes to end
// it), and MULT % 4 on the Church numeral 128000 on each tab.
// LAMBDA_BENCH_SEGUNDOS sets the length of the growing runs (30 s unless given).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <set>

#include "Ventana.h"
#include "uLambda.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uParser.h"
#include "uPrograma.h"
#include "uReduccion.h"
#include "uVentPpal.h"

namespace {

TVentPpal* Ventana = nullptr;

// A field of /proc/self/status, in bytes.
double Memoria(const std::string& Campo) {
  std::ifstream f("/proc/self/status");
  std::string Linea;
  while (std::getline(f, Linea))
    if (Linea.rfind(Campo + ":", 0) == 0) return std::stod(Linea.substr(Campo.size() + 1)) * 1024;
  return 0;
}

// Starts a new peak of the resident memory from the present size.
void ReiniciaPico() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

std::string Numeral(long n) {
  std::string s = "\\f x.";
  for (long i = 0; i < n; ++i) s += "f (";
  s += "x";
  s.append(static_cast<std::size_t>(n), ')');
  return s;
}

// Defines a name as the workbench would from a file, without going through the expression box.
void Define(const std::string& Nombre, const std::string& Texto) {
  TMesaTrabajo& m = Ventana->Mesa();
  std::string Error;
  TExprLambda* t = Analiza(Texto, m.Sesion.Definiciones, nullptr, Error);
  if (!t) throw std::runtime_error(Error);
  m.Sesion.Definiciones.Agrega(Nombre, t);
}

void Entra(const std::string& Texto) {
  Ventana->edtEnt->setText(QString::fromStdString(Texto));
  Ventana->edtEntKeyPress('\r');
  QCoreApplication::processEvents();
}

void Pestana(int i) {
  Ventana->PageControl1->setCurrentIndex(i);
  QCoreApplication::processEvents();
}

// A printed form of about Caracteres characters (a Church numeral: "a (" for each application),
// shown by switching to "Texto".
void Muestra(benchmark::State& state) {
  long n = state.range(0) / 4;
  Define("GRANDE", Numeral(n));
  Pestana(1);
  Entra("GRANDE");
  double Bytes = 0, Caracteres = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Pestana(1);
    double Antes = Memoria("VmRSS");
    ReiniciaPico();
    state.ResumeTiming();
    Pestana(0);
    Ventana->Memo1->repaint();
    state.PauseTiming();
    Bytes = Memoria("VmHWM") - Antes;
    Caracteres = static_cast<double>(Ventana->Mesa().Sesion.TerminoActual()->Texto().size());
    state.ResumeTiming();
  }
  state.counters["chars"] = Caracteres;
  state.counters["peak_bytes_per_char"] = Bytes / Caracteres;
  Ventana->Mesa().FormCreate();
  Pestana(1);
}

// Run-all of a term that grows at every pass, pressed again after a fixed time.
void Crece(benchmark::State& state) {
  double Segundos = 30;
  if (const char* s = std::getenv("LAMBDA_BENCH_SEGUNDOS")) Segundos = std::atof(s);
  int Pestana = static_cast<int>(state.range(0));
  TVentPpal& v = *Ventana;
  double Contracciones = 0, Espera = 0, Para = 0, Cuentas = 0, Total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ::Pestana(Pestana);
    Entra("(\\x.x x x) (\\x.x x x)");
    std::set<QString> Vistas;
    QTimer Muestreo;
    QObject::connect(&Muestreo, &QTimer::timeout, [&] { Vistas.insert(v.TextoEstado()); });
    Muestreo.start(100);
    QElapsedTimer Reloj;
    bool Pulsado = false;
    // The press is due at a fixed time; the wait counts from then, however late the event
    // loop gets to it.
    // After the press, the last time the count moved: when the reduction really stopped.
    double UltimaContraccion = 0;
    int64_t CuentaVista = -1;
    QTimer Sondeo;
    QObject::connect(&Sondeo, &QTimer::timeout, [&] {
      if (NumReducciones != CuentaVista) {
        CuentaVista = NumReducciones;
        UltimaContraccion = static_cast<double>(Reloj.elapsed()) / 1000;
      }
    });
    // Owned by this iteration: a run that ends by itself must not leave the press pending.
    QTimer Pulsacion;
    Pulsacion.setSingleShot(true);
    QObject::connect(&Pulsacion, &QTimer::timeout, [&] {
      Contracciones = static_cast<double>(NumReducciones);
      Pulsado = true;
      CuentaVista = NumReducciones;
      UltimaContraccion = Segundos;
      Sondeo.start(2);
      v.btnBetaAllClick();
    });
    Pulsacion.start(static_cast<int>(Segundos * 1000));
    state.ResumeTiming();
    Reloj.start();
    v.btnBetaAllClick();
    state.PauseTiming();
    Total = static_cast<double>(Reloj.elapsed()) / 1000;
    Espera = Pulsado ? Total - Segundos : 0;
    Para = Pulsado ? UltimaContraccion - Segundos : 0;
    if (!Pulsado)
      Contracciones = static_cast<double>(NumReducciones);
    else
      Total = Segundos;
    Cuentas = static_cast<double>(Vistas.size());
    Muestreo.stop();
    v.Mesa().FormCreate();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["contractions_per_s"] = Contracciones / Total;
  state.counters["reduction_stops_s"] = Para;
  state.counters["last_view_s"] = Espera;
  state.counters["status_texts_seen"] = Cuentas;
  state.counters["contractions"] = Contracciones;
}

// MULT % 4 on the Church numeral 128000, to normal form (256,003 contractions).
void Mult(benchmark::State& state) {
  int Pestana = static_cast<int>(state.range(0));
  Define("MULT", "\\m n f.m (n f)");
  Define("C128000", Numeral(128000));
  Define("CUATRO", "\\f x.f (f (f (f x)))");
  for (auto _ : state) {
    state.PauseTiming();
    ::Pestana(Pestana);
    Entra("C128000");
    Entra("MULT % CUATRO");
    state.ResumeTiming();
    Ventana->btnBetaAllClick();
  }
  state.counters["contractions"] = static_cast<double>(NumReducciones);
  Ventana->Mesa().FormCreate();
}

}  // namespace

BENCHMARK(Muestra)->Arg(2'000'000)->Arg(16'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Crece)->ArgName("tab")->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(Mult)->ArgName("tab")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  // A fixed threshold: every large block is mapped and unmapped on its own, so that the resident
  // size follows what is live instead of what the allocator keeps for later.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  return EjecutaConVentana(argc, argv, Ventana);
}
