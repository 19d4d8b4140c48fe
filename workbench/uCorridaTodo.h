// SPDX-License-Identifier: GPL-3.0-or-later
// Run-all: passes of β until the normal form, a stop, the node limit or a cycle, with the views
// brought up to date at the window's pace (TRitmo) and the window's events answered between
// passes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "uRitmo.h"

class IVista;
class TMesaTrabajo;

class TCorridaTodo {
 public:
  TCorridaTodo(TMesaTrabajo& Mesa, IVista& Vista);

  // ∀β. While it runs, every press of the button only asks it to stop: a second press that
  // arrives in the same round of events (a double click) must not start a nested loop.
  void EjecutaTodo();
  // Goes on with a run that waits for its view (IVista::CedeEntrePasadas).
  void ReanudaTodo();
  // FormCreate: no run, no stop asked for.
  void Reinicia();

  bool Ejecutando = false;  // a run-all is under way: on the stack, or waiting for its view
  bool PararPedido = false;
  // Run-all's pace: its views, the window's events (the heartbeat of a long view update among
  // them) and the commands that wait meanwhile.
  TRitmo Ritmo;

 private:
  struct TFinBucle;
  void TerminaTodo();
  // The loop and what follows it; true when the run waits for its view.
  bool SigueTodo(bool Reanuda);
  bool BucleTodo(bool Reanuda);
  // Passes until the window's events are due (Eventos), the run is over (Fin) or the window
  // closed under a view update (Cerrada).
  enum class TTrasPasadas { Eventos, Fin, Cerrada };
  TTrasPasadas Pasadas();
  bool SigueCorrida() const;
  // The visible view after a pass of run-all, then the commands that came in meanwhile; false
  // once the window closed.
  bool ActualizaEnBucle(bool Excedido);

  TMesaTrabajo& Mesa;
  IVista& Vista;
  // Run-all between two passes: where it stands, so that it can wait for a view that answers
  // its events only once the command has returned.
  struct TCorrida {
    uint64_t Termino = 0;                   // Sesion.Reemplazos() at the start
    bool Pendiente = false;                 // a pass the view does not show yet
    bool Vigila = false;                    // watching for a cycle
    bool Cambio = false, Excedido = false;  // what the last pass did
    bool EnEspera = false;                  // waiting for ReanudaTodo
    int64_t Anotadas = 0;                   // passes that changed the term, while few
  } Corrida;
  // With "Mostrar los pasos", the passes of a run that each get their line in the trace, and the
  // largest term they do so for.
  static constexpr int64_t PasadasAnotadas = 1000;
  static constexpr std::size_t NodosAnotados = 10'000;
};
