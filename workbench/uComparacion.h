// SPDX-License-Identifier: GPL-3.0-or-later
// "Comparar estrategias…": the same term reduced under every strategy, each on a copy of its
// own, up to a limit of contractions and of time, in slices that the caller interleaves with
// its own work (a window answers events between two).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uEstrategia.h"
#include "uLambda.h"

class TComparacion {
 public:
  struct TFila {
    TEstrategia Estrategia;
    int64_t Reducciones = 0;
    // How its run ended: EnCurso while it runs or waits its turn; Forma, the strategy stopped by
    // itself at FormaDe(Estrategia); Tope, after Tope contractions; Tiempo, after the time limit;
    // Grande, a contraction would have passed the node limit; Parada, the comparison was stopped.
    enum class TFin { EnCurso, Forma, Tope, Tiempo, Grande, Parada } Fin = TFin::EnCurso;
    std::string Texto;    // the printed form of the term reached, renumbered (Windows-1252)
    std::string Lectura;  // what the second panel reads it as: numeral, "igual a NAME"…
  };

  // Compares `Termino` (copied, strategy by strategy, as each starts; the caller keeps it) with
  // η as `Eta` says where it applies. `Tope` contractions at most each; `Limite` of time each
  // (zero: none).
  TComparacion(TExprLambda* Termino, const TDefiniciones& Definiciones, bool Eta, int64_t Tope,
               std::chrono::nanoseconds Limite);
  ~TComparacion();
  TComparacion(const TComparacion&) = delete;
  TComparacion& operator=(const TComparacion&) = delete;

  // Works for about `Rodaja`; false once every strategy has ended. NumReducciones is as it was.
  bool Avanza(std::chrono::nanoseconds Rodaja);
  // Ends the comparison: the runs not ended yet end as Parada.
  void Para();
  const std::vector<TFila>& Filas() const;
};
