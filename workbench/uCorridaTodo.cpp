// SPDX-License-Identifier: GPL-3.0-or-later
#include "uCorridaTodo.h"

#include "uLambda.h"
#include "uOpciones.h"
#include "uTextos.h"
#include "vLambda.h"

TCorridaTodo::TCorridaTodo(TMesaTrabajo& mesa, IVista& vista)
    : Ritmo([&mesa, &vista] {
        vista.ProcesaEventos();
        return !mesa.Cerrado();
      }),
      Mesa(mesa),
      Vista(vista) {}

// However the run ends, a thrown error among the ways, the workbench is ready for the next one.
// A run that waits for its view (IVista::CedeEntrePasadas) has not ended.
struct TCorridaTodo::TFinBucle {
  TCorridaTodo& Todo;
  bool Espera = false;
  ~TFinBucle() {
    if (!Espera) Todo.TerminaTodo();
  }
};

void TCorridaTodo::Reinicia() {
  Ejecutando = false;
  PararPedido = false;
}

void TCorridaTodo::EjecutaTodo() {
  if (Ejecutando) {
    PararPedido = true;
    return;
  }
  TSesion& Sesion = Mesa.Sesion;
  if (!Sesion.TerminoActual()) return;
  Mesa.Practica.Abandona();
  Mesa.Historial.CompletaTraza();
  Libera(Sesion.Anterior);
  Sesion.Anterior = nullptr;

  TFinBucle Fin{*this};
  Ejecutando = true;
  PararPedido = false;
  Vista.Habilita(IVista::TBoton::Back, false);
  Vista.Habilita(IVista::TBoton::Beta, false);
  NumReducciones = 0;
  Sesion.Lector.Aparta(Mesa.Historial.Traza.Nodos());
  Sesion.Lector.Empieza(Sesion.TomaModo(), TRitmo::HoraDePasada());
  // An entry made meanwhile replaces the term: the run ends, and its views are the entry's.
  Corrida = {};
  Corrida.Termino = Sesion.Reemplazos();
  Ritmo.Empieza();
  // Changes only through the window's events.
  Corrida.Vigila = Vista.Opciones().Ciclo;
  Fin.Espera = SigueTodo(false);
}

void TCorridaTodo::ReanudaTodo() {
  if (!Ejecutando || !Corrida.EnEspera) return;
  Corrida.EnEspera = false;
  TFinBucle Fin{*this};
  Fin.Espera = SigueTodo(true);
}

void TCorridaTodo::TerminaTodo() {
  Ejecutando = false;
  PararPedido = false;
  Corrida.EnEspera = false;
  Ritmo.Termina();
  Mesa.Sesion.Lector.Termina();
  if (!Mesa.Cerrado()) Vista.Habilita(IVista::TBoton::Beta, true);
}

bool TCorridaTodo::SigueTodo(bool Reanuda) {
  if (BucleTodo(Reanuda)) return true;
  if (Vista.Opciones().Pasos && !Mesa.Cerrado()) Mesa.Historial.TerminaEnPasos();
  DevuelveMemoria();  // what the run's passes freed, when the term shrank by much
  return false;
}

bool TCorridaTodo::SigueCorrida() const {
  return Corrida.Cambio && !Corrida.Excedido && !PararPedido && Mesa.Sesion.TerminoActual() &&
         Mesa.Sesion.Reemplazos() == Corrida.Termino;
}

bool TCorridaTodo::BucleTodo(bool Reanuda) {
  for (;;) {
    if (!Reanuda) {
      const TTrasPasadas t = Pasadas();
      if (t == TTrasPasadas::Cerrada) return false;
      if (t == TTrasPasadas::Fin) break;
      if (Vista.CedeEntrePasadas()) return Corrida.EnEspera = true;
    }
    Reanuda = false;
    if (!Ritmo.AtiendeEntrePasadas()) return false;
    Corrida.Vigila = Vista.Opciones().Ciclo;
    if (!SigueCorrida()) break;
  }
  // Stopped between two view updates: the last term is shown all the same.
  if (Corrida.Pendiente && Mesa.Sesion.TerminoActual() &&
      Mesa.Sesion.Reemplazos() == Corrida.Termino)
    ActualizaEnBucle(false);
  return false;
}

TCorridaTodo::TTrasPasadas TCorridaTodo::Pasadas() {
  TCorrida& c = Corrida;
  TSesion& Sesion = Mesa.Sesion;
  do {
    const bool Multiple = Sesion.TomaModo();
    c.Cambio = Sesion.PasadaBeta(Multiple);
    // A pass that changed nothing (the last one) leaves the numbering and the text as they were.
    if (c.Cambio) Sesion.TerminoCambiado(TSesion::TCambio::Pasada);
    c.Excedido = Sesion.Motor.Fin == TFinPasada::DemasiadoGrande;
    c.Pendiente = true;
    Vista.PasadaHecha();
    Sesion.Lector.Aparta(Mesa.Historial.Traza.Nodos());
    const TRitmo::Reloj::time_point Ahora = TRitmo::HoraDePasada();
    // A term seen a few passes ago: the run goes round in a cycle.
    if (Sesion.Lector.TrasPasada(Sesion.TerminoActual(), c.Cambio, Multiple, Ahora,
                                 Ritmo.CadaPasada(), c.Vigila) &&
        Vista.Opciones().Ciclo)
      PararPedido = true;
    // With the panel shown, a short run of modest terms keeps every term it goes through, as a
    // teacher wants the whole trace; a longer one, only those its views show. After the reader,
    // as a view update is: the numbering it makes reads the term, which then counts as seen.
    if (c.Cambio && Vista.Opciones().Pasos && ++c.Anotadas <= PasadasAnotadas &&
        CuentaNodos(Sesion.TerminoActual(), NodosAnotados, {}) <= NodosAnotados)
      Mesa.Historial.CompletaTraza();
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
        Mesa.Vistas.MuestraCuenta();
        return TTrasPasadas::Eventos;
      case TRitmo::TToca::Nada:
        break;
    }
  } while (SigueCorrida());
  return TTrasPasadas::Fin;
}

bool TCorridaTodo::ActualizaEnBucle(bool Excedido) {
  TVistas& Vistas = Mesa.Vistas;
  if (!Ritmo.Actualiza([&Vistas] { Vistas.ActualizaVistaVisible(); })) return false;
  Vistas.MuestraLectura();
  if (Mesa.Sesion.Ciclo() > 0 && Vista.Opciones().Ciclo) PararPedido = true;
  Vistas.MuestraCuenta(Excedido ? "; " + MensajeDemasiadoGrande(Mesa.Sesion.Motor.NodosPedidos,
                                                                Vista.SeparadorMillares())
                                : std::string());
  Mesa.EjecutaPendientes();
  return !Mesa.Cerrado();
}
