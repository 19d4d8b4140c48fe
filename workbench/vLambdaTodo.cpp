// SPDX-License-Identifier: GPL-3.0-or-later
// Run-all: passes of β until the normal form, a stop, the node limit or a cycle, with the views
// brought up to date at the window's pace and the window's events answered between passes.
#include <functional>

#include "uLambda.h"
#include "uTextos.h"
#include "vLambda.h"

// However the run ends, a thrown error among the ways, the workbench is ready for the next one.
// A run that waits for its view (IVista::CedeEntrePasadas) has not ended.
struct TMesaTrabajo::TFinBucle {
  TMesaTrabajo& Mesa;
  bool Espera = false;
  ~TFinBucle() {
    if (!Espera) Mesa.TerminaTodo();
  }
};

// Run-all. While it runs, every press of the button only asks it to stop: a second press that
// arrives in the same round of events (a double click) must not start a nested loop.
void TMesaTrabajo::EjecutaTodo() {
  if (Ejecutando) {
    PararPedido = true;
    return;
  }
  if (!Actual) return;
  CompletaTraza();
  Libera(Anterior);
  Anterior = nullptr;

  TFinBucle Fin{*this};
  Ejecutando = true;
  PararPedido = false;
  Vista.HabilitaBack(false);
  Vista.HabilitaBeta(false);
  NumReducciones = 0;
  Lector.Empieza(TomaModo(), TRitmo::HoraDePasada());
  // An entry made meanwhile replaces the term: the run ends, and its views are the entry's.
  Corrida = {};
  Corrida.Termino = Reemplazos;
  Ritmo.Empieza();
  Corrida.Vigila = Vista.DetenerEnCiclo();  // changes only through the window's events
  Fin.Espera = SigueTodo(false);
}

void TMesaTrabajo::ReanudaTodo() {
  Protegido(std::function<void()>([this] {
    if (!Ejecutando || !Corrida.EnEspera) return;
    Corrida.EnEspera = false;
    TFinBucle Fin{*this};
    Fin.Espera = SigueTodo(true);
  }));
}

void TMesaTrabajo::TerminaTodo() {
  Ejecutando = false;
  PararPedido = false;
  Corrida.EnEspera = false;
  Ritmo.Termina();
  Lector.Termina();
  if (!Cerrada) Vista.HabilitaBeta(true);
}

bool TMesaTrabajo::SigueTodo(bool Reanuda) {
  if (BucleTodo(Reanuda)) return true;
  if (Vista.MuestraPasos() && !Cerrada) TerminaEnPasos();
  DevuelveMemoria();  // what the run's passes freed, when the term shrank by much
  return false;
}

bool TMesaTrabajo::SigueCorrida() const {
  return Corrida.Cambio && !Corrida.Excedido && !PararPedido && Actual &&
         Reemplazos == Corrida.Termino;
}

bool TMesaTrabajo::BucleTodo(bool Reanuda) {
  for (;;) {
    if (!Reanuda) {
      const TTrasPasadas t = Pasadas();
      if (t == TTrasPasadas::Cerrada) return false;
      if (t == TTrasPasadas::Fin) break;
      if (Vista.CedeEntrePasadas()) return Corrida.EnEspera = true;
    }
    Reanuda = false;
    if (!Ritmo.AtiendeEntrePasadas()) return false;
    Corrida.Vigila = Vista.DetenerEnCiclo();
    if (!SigueCorrida()) break;
  }
  // Stopped between two view updates: the last term is shown all the same.
  if (Corrida.Pendiente && Actual && Reemplazos == Corrida.Termino) ActualizaEnBucle(false);
  return false;
}

TMesaTrabajo::TTrasPasadas TMesaTrabajo::Pasadas() {
  TCorrida& c = Corrida;
  do {
    const bool Multiple = TomaModo();
    c.Cambio = PasadaBeta(Multiple);
    // A pass that changed nothing (the last one) leaves the numbering and the text as they were.
    if (c.Cambio) TerminoCambiado(TCambio::Pasada);
    c.Excedido = Motor.Fin == TFinPasada::DemasiadoGrande;
    c.Pendiente = true;
    // With the panel shown, a short run of modest terms keeps every term it goes through, as a
    // teacher wants the whole trace; a longer one, only those its views show.
    if (c.Cambio && Vista.MuestraPasos() && ++c.Anotadas <= PasadasAnotadas &&
        CuentaNodos(Actual, NodosAnotados, {}) <= NodosAnotados)
      CompletaTraza();
    Vista.PasadaHecha();
    const TRitmo::Reloj::time_point Ahora = TRitmo::HoraDePasada();
    // A term seen a few passes ago: the run goes round in a cycle.
    if (Lector.TrasPasada(Actual, c.Cambio, Multiple, Ahora, Ritmo.CadaPasada(), c.Vigila) &&
        Vista.DetenerEnCiclo())
      PararPedido = true;
    switch (Ritmo.Toca(Ahora, !c.Cambio || c.Excedido || PararPedido)) {
      case TRitmo::TToca::Vista: {
        // The view's own cost, on the exact clock: a view dearer than the interval paces the next.
        const TRitmo::Reloj::time_point Antes = TRitmo::Reloj::now();
        if (!ActualizaEnBucle(c.Excedido)) return TTrasPasadas::Cerrada;
        c.Pendiente = false;
        Ritmo.VistaHecha(TRitmo::Reloj::now() - Antes);
        return TTrasPasadas::Eventos;
      }
      case TRitmo::TToca::Cuenta:
        MuestraCuenta();
        return TTrasPasadas::Eventos;
      case TRitmo::TToca::Nada:
        break;
    }
  } while (SigueCorrida());
  return TTrasPasadas::Fin;
}

bool TMesaTrabajo::ActualizaEnBucle(bool Excedido) {
  if (!Ritmo.Actualiza([this] { ActualizaVistaVisible(); })) return false;
  MuestraLectura();
  if (Lector.Ciclo() > 0 && Vista.DetenerEnCiclo()) PararPedido = true;
  MuestraCuenta(Excedido
                    ? "; " + MensajeDemasiadoGrande(Motor.NodosPedidos, Vista.SeparadorMillares())
                    : std::string());
  EjecutaPendientes();
  return !Cerrada;
}
