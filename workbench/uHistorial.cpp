// SPDX-License-Identifier: GPL-3.0-or-later
#include "uHistorial.h"

#include <algorithm>

#include "uExporta.h"
#include "uLambda.h"
#include "uOpciones.h"
#include "uParser.h"
#include "uTextos.h"
#include "vLambda.h"

THistorial::THistorial(TMesaTrabajo& mesa, IVista& vista) : Mesa(mesa), Vista(vista) {}

void THistorial::MuestraPanel() {
  // The panel lists the current term too, also after a run-all on "Gráficos".
  if (Vista.Opciones().Pasos) CompletaTraza();
  ActualizaBack();
  if (Mesa.Sesion.TerminoActual()) Mesa.Vistas.MuestraLectura();
}

bool THistorial::IrA(std::size_t i) {
  if (Mesa.Todo.Ejecutando || !Mesa.Sesion.TerminoActual()) return false;
  // The term left keeps its line, to come back to (a line it adds may drop the oldest).
  const std::size_t Fuera = Traza.Descartadas();
  CompletaTraza();
  if (i < Traza.Descartadas() - Fuera) return false;
  i -= Traza.Descartadas() - Fuera;
  const std::deque<TTraza::TLinea>& Lineas = Traza.Lineas();
  if (i >= Lineas.size() || !Lineas[i].EsTermino) return false;
  if (i == Traza.Actual()) return true;
  Mesa.Practica.Abandona();
  TRetenido t;
  if (!Lineas[i].Termino) {
    // A line of a run-all made with the panel hidden kept its text alone.
    std::string Error;
    TRango Falta;
    TDefiniciones Ninguna;
    t.Toma(Analiza(*Lineas[i].Forma, Ninguna, nullptr, Error, Falta, Vista.SeparadorMillares()));
    if (!t.Get()) return Vista.FijaEstado(Error), false;
  } else {
    try {
      t.Toma(Lineas[i].Termino->Copia());
    } catch (const EDemasiadoGrande& e) {
      Vista.FijaEstado(MensajeDemasiadoGrande(e.Nodos, Vista.SeparadorMillares()));
      return false;
    }
  }
  Libera(Mesa.Sesion.Anterior);
  Mesa.Sesion.Anterior = nullptr;
  Mesa.Sesion.CambiaActual(t.Suelta());
  Traza.Ir(i);
  Mesa.Vistas.Muestra();
  Mesa.Vistas.RefrescaDiagrama();
  ActualizaBack();
  Mesa.Vistas.MuestraLectura();
  return true;
}

// The nearest line before the current one that holds a term, or none.
std::optional<std::size_t> THistorial::LineaAnterior() const {
  const std::deque<TTraza::TLinea>& Lineas = Traza.Lineas();
  for (std::size_t i = std::min(Traza.Actual(), Lineas.size()); i-- > 0;)
    if (Lineas[i].EsTermino) return i;
  return std::nullopt;
}

void THistorial::AtrasEnPasos() {
  CompletaTraza();
  if (std::optional<std::size_t> i = LineaAnterior()) IrA(*i);
  ActualizaBack();
}

void THistorial::ActualizaBack() {
  Vista.Habilita(IVista::TBoton::Back,
                 Vista.Opciones().Pasos ? Mesa.Sesion.TerminoActual() && LineaAnterior().has_value()
                                        : Mesa.Sesion.Anterior != nullptr);
}

void THistorial::TerminaEnPasos() {
  CompletaTraza();
  ActualizaBack();
  Mesa.Vistas.MuestraLectura();
}

std::string THistorial::NotaPaso() {
  std::string s = Mensajes::PasoActual(Traza.Pasos(), Vista.SeparadorMillares());
  if (Mesa.Sesion.TerminoActual() && Mesa.Sesion.TomaModo())
    s += Mensajes::SeparadorLectura +
         TextoReducciones(Traza.Contracciones(), Vista.SeparadorMillares()).substr(1);
  return s;
}

// What the coming step contracts, in the current line's text: the redex chosen, or what the
// strategy takes next.
void THistorial::MarcaSiguiente(TAplicacion* Elegido) {
  if (Traza.FaltaForma() || !Traza.FormaActual()) return;
  TVistas& Vistas = Mesa.Vistas;
  Vistas.Renumera();
  if (Vistas.LongitudNumerada > Vistas.LimiteTexto) return;
  std::vector<TRango> Rangos;
  if (!Elegido)
    Vistas.TextoResaltado(Vistas.LongitudNumerada, Rangos);
  else
    Rangos = Mesa.Eleccion.RangosDe(Elegido);
  Traza.FijaSiguiente(std::move(Rangos));
}

void THistorial::ExportaReduccion() {
  if (!Traza.Activa()) throw EConMensaje(Mensajes::NoHayActual);
  std::string Ruta;
  if (!Vista.Dialogo(IVista::TDialogo::ExportarReduccion, Ruta)) return;
  CompletaTraza();
  const bool Multiple = Mesa.Sesion.TomaModo();
  ::ExportaReduccion(Traza, Multiple, Ruta, Mesa.Sesion.Motor.Modo(), Vista.Opciones().Pasos);
}

void THistorial::CompletaTraza() {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  if (!Actual || !Traza.FaltaForma()) return;
  TVistas& Vistas = Mesa.Vistas;
  Vistas.Renumera();
  const std::size_t Tope = std::min(Vistas.LimiteTexto, TTraza::LimiteMemoria);
  const std::size_t Longitud = LongitudTexto(Actual, Tope, {}, Vistas.ModoImpresion);
  if (Longitud > Tope) return Traza.AnotaAviso(Mensajes::FormaNoGuardada);
  // With the marks of what the next step contracts, as the text view would show them.
  std::vector<TRango> Rangos;
  AnotaEnTraza(
      std::make_shared<const std::string>(
          Vistas.MuestraResalte ? Vistas.TextoResaltado(Vistas.LongitudNumerada, Rangos)
                                : TextoConPulso(Actual, Longitud, {}, Vistas.ModoImpresion)),
      Rangos);
}

void THistorial::AnotaEnTraza(TTextoCompartido Forma, const std::vector<TRango>& Rangos) {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  TTerminoCompartido Copia;
  std::size_t Nodos = 0;
  // Only a new line takes a copy, and only one the memory cap lets it keep. Copying at every view
  // update of run-all would cost it more than the update itself: a run with the panel hidden
  // keeps the text alone.
  if (Traza.FaltaForma() && (!Mesa.Todo.Ejecutando || Vista.Opciones().Pasos)) {
    const std::size_t Tope = TTraza::LimiteMemoria / 32;
    // What the copy takes from the pool, exactly: run-all's watch for cycles leaves it aside.
    const std::size_t Antes = NodosVivos();
    try {
      if (CuentaNodos(Actual, Tope, Mesa.Todo.Ritmo.Pulso()) <= Tope)
        Copia = TTerminoCompartido(Actual->Copia(), Libera);
    } catch (const EDemasiadoGrande&) {
      // Past the node limit the line is shown all the same; it cannot be gone back to.
    }
    Nodos = NodosVivos() - Antes;
  }
  Traza.Anota(std::move(Forma), Rangos, true, std::move(Copia), Nodos);
}
