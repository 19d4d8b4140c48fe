// SPDX-License-Identifier: GPL-3.0-or-later
// The engine alone, per workload of bench/cargas: parse, then reduce with TMotor in single mode
// to normal form or the workload's contraction limit, timing only the reduction. The same
// program runs natively, under node and in the browser (bench/web.sh); it prints one line a
// workload: name, milliseconds, contractions. Rondas (second argument, 1 unless given): the
// least of at least that many runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Cargas.h"
#include "uParser.h"
#include "uReduccion.h"

namespace {

// Milliseconds of one reduction of the workload, or -1 when it does not parse.
double Reduce(const TCarga& c) {
  TDefiniciones Defs;
  std::string Error;
  TExprLambda* t = Analiza(c.Texto, Defs, nullptr, Error);
  if (!t) return -1;
  TMotor Motor;
  bool Cambio = true;
  NumReducciones = 0;
  const auto t0 = std::chrono::steady_clock::now();
  while (Cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
    Cambio = false;
    t = Motor.Reduce(t, Cambio, false);
  }
  const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
  Motor.Olvida();
  Libera(t);
  return ms.count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : "/cargas";
  const int Rondas = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  for (const TCarga& c : LeeCargas(Dir)) {
    // Short workloads run again until a third of a second has gone (100 runs at most): a run of a
    // few milliseconds says more about the clock and the compiler's tiers than about the engine.
    double Menor = Reduce(c), Total = Menor;
    for (int r = 1; (r < Rondas || (Total < 300 && r < 100)) && Menor >= 0; ++r) {
      const double ms = Reduce(c);
      Menor = std::min(Menor, ms);
      Total += ms;
    }
    std::printf("%s\t%.1f\t%lld\n", c.Nombre.c_str(), Menor,
                static_cast<long long>(NumReducciones));
    std::fflush(stdout);
  }
  return 0;
}
