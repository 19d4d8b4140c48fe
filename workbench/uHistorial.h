// SPDX-License-Identifier: GPL-3.0-or-later
// The "Pasos" panel's history: every term since the last Enter, one of them current, with what
// each step contracted. Each line keeps a copy of its term: its text depends on the options and
// definitions of its day, and reading it back would lose the names of free variables and the
// definitions folded into it. Only the lines of a run-all made while the panel was hidden are
// read back from their text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "uRango.h"
#include "uTraza.h"

class IVista;
class TAplicacion;
class TMesaTrabajo;

class THistorial {
 public:
  THistorial(TMesaTrabajo& Mesa, IVista& Vista);

  // "Mostrar los pasos" changed: the panel lists the current term too.
  void MuestraPanel();
  // Going to line i: false when its term could not come back.
  bool IrA(std::size_t i);
  // ← with the panel shown: to the line before the current one that holds a term.
  void AtrasEnPasos();
  // btnBack as the panel or the term before allows.
  void ActualizaBack();
  // The panel's last line after run-all.
  void TerminaEnPasos();
  // "paso N" for the second panel.
  std::string NotaPaso();
  // What the coming step contracts (Elegido, or what the strategy takes next), noted for the
  // current line.
  void MarcaSiguiente(TAplicacion* Elegido);
  // "Exportar reducción…".
  void ExportaReduccion();
  // The printed form of the last step, when nothing has printed it yet (run-all on "Gráficos").
  void CompletaTraza();
  // Notes Actual's printed form in the trace, with a copy of the term for a new line.
  void AnotaEnTraza(TTextoCompartido Forma, const std::vector<TRango>& Rangos);

  TTraza Traza;  // the reduction since the last Enter

 private:
  // The line before the current one that holds a term.
  std::optional<std::size_t> LineaAnterior() const;

  TMesaTrabajo& Mesa;
  IVista& Vista;
};
