// SPDX-License-Identifier: GPL-3.0-or-later
// The "Pasos" panel: every term since the last Enter, one of them current. Each line keeps a copy
// of its term: its text depends on the options and definitions of its day, and reading it back
// would lose the names of free variables and the definitions folded into it. Only the lines of a
// run-all made while the panel was hidden are read back from their text.
#include <algorithm>
#include <functional>

#include "uExporta.h"
#include "uLambda.h"
#include "uParser.h"
#include "uTextos.h"
#include "vLambda.h"

void TMesaTrabajo::MostrarPasos1Click() {
  Protegido(std::function<void()>([this] {
    // The panel lists the current term too, also after a run-all on "Gráficos".
    if (Vista.MuestraPasos()) CompletaTraza();
    ActualizaBack();
    if (Actual) MuestraLectura();
  }));
}

void TMesaTrabajo::IrALinea(std::size_t i) {
  Protegido(std::function<void()>([this, i] { IrA(i); }));
}

bool TMesaTrabajo::IrA(std::size_t i) {
  if (Ejecutando || !Actual) return false;
  // The term left keeps its line, to come back to (a line it adds may drop the oldest).
  const std::size_t Fuera = Traza.Descartadas();
  CompletaTraza();
  if (i < Traza.Descartadas() - Fuera) return false;
  i -= Traza.Descartadas() - Fuera;
  const std::deque<TTraza::TLinea>& Lineas = Traza.Lineas();
  if (i >= Lineas.size() || !Lineas[i].EsTermino) return false;
  if (i == Traza.Actual()) return true;
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
  Libera(Anterior);
  Anterior = nullptr;
  CambiaActual(t.Suelta());
  Traza.Ir(i);
  Muestra();
  RefrescaDiagrama();
  ActualizaBack();
  MuestraLectura();
  return true;
}

// The nearest line before the current one that holds a term, or none.
std::optional<std::size_t> TMesaTrabajo::LineaAnterior() const {
  const std::deque<TTraza::TLinea>& Lineas = Traza.Lineas();
  for (std::size_t i = std::min(Traza.Actual(), Lineas.size()); i-- > 0;)
    if (Lineas[i].EsTermino) return i;
  return std::nullopt;
}

void TMesaTrabajo::AtrasEnPasos() {
  CompletaTraza();
  if (std::optional<std::size_t> i = LineaAnterior()) IrA(*i);
  ActualizaBack();
}

void TMesaTrabajo::ActualizaBack() {
  Vista.HabilitaBack(Vista.MuestraPasos() ? Actual && LineaAnterior().has_value()
                                          : Anterior != nullptr);
}

void TMesaTrabajo::TerminaEnPasos() {
  CompletaTraza();
  ActualizaBack();
  MuestraLectura();
}

std::string TMesaTrabajo::NotaPaso() {
  std::string s = Mensajes::PasoActual(Traza.Pasos(), Vista.SeparadorMillares());
  if (Actual && TomaModo())
    s += Mensajes::SeparadorLectura +
         TextoReducciones(Traza.Contracciones(), Vista.SeparadorMillares()).substr(1);
  return s;
}

// What the coming step contracts, in the current line's text: the redex chosen, or what the
// strategy takes next.
void TMesaTrabajo::MarcaSiguiente(TAplicacion* Elegido) {
  if (Traza.FaltaForma() || !Traza.FormaActual()) return;
  Renumera();
  if (LongitudNumerada > LimiteTexto) return;
  std::vector<TRango> Rangos;
  if (!Elegido) {
    TextoResaltado(LongitudNumerada, Rangos);
  } else {
    const std::vector<TRango>& Todos = RangosRedex();
    const auto k = std::find(RedexTodos.begin(), RedexTodos.end(), Elegido) - RedexTodos.begin();
    if (3 * static_cast<std::size_t>(k) < Todos.size())
      Rangos.assign(Todos.begin() + 3 * k, Todos.begin() + 3 * k + 3);
  }
  Traza.FijaSiguiente(std::move(Rangos));
}

void TMesaTrabajo::ExportaReduccion() {
  if (!Traza.Activa()) throw EConMensaje(Mensajes::NoHayActual);
  std::string Ruta;
  if (!Vista.DialogoExportarReduccion(Ruta)) return;
  CompletaTraza();
  const bool Multiple = TomaModo();
  ::ExportaReduccion(Traza, Multiple, Ruta, Motor.Modo(), Vista.MuestraPasos());
}

void TMesaTrabajo::CompletaTraza() {
  if (!Actual || !Traza.FaltaForma()) return;
  Renumera();
  const std::size_t Tope = std::min(LimiteTexto, TTraza::LimiteMemoria);
  const std::size_t Longitud = LongitudTexto(Actual, Tope, {}, ModoImpresion);
  if (Longitud > Tope) return Traza.AnotaAviso(Mensajes::FormaNoGuardada);
  // With the marks of what the next step contracts, as the text view would show them.
  std::vector<TRango> Rangos;
  AnotaEnTraza(std::make_shared<const std::string>(
                   Vista.MuestraResalte() ? TextoResaltado(LongitudNumerada, Rangos)
                                          : TextoConPulso(Actual, Longitud, {}, ModoImpresion)),
               Rangos);
}

void TMesaTrabajo::AnotaEnTraza(TTextoCompartido Forma, const std::vector<TRango>& Rangos) {
  TTerminoCompartido Copia;
  std::size_t Nodos = 0;
  // Only a new line takes a copy, and only one the memory cap lets it keep. Copying at every view
  // update of run-all would cost it more than the update itself: a run with the panel hidden
  // keeps the text alone.
  if (Traza.FaltaForma() && (!Ejecutando || Vista.MuestraPasos())) {
    const std::size_t Tope = TTraza::LimiteMemoria / 32;
    // What the copy takes from the pool, exactly: run-all's watch for cycles leaves it aside.
    const std::size_t Antes = NodosVivos();
    try {
      if (CuentaNodos(Actual, Tope, Ritmo.Pulso()) <= Tope)
        Copia = TTerminoCompartido(Actual->Copia(), Libera);
    } catch (const EDemasiadoGrande&) {
      // Past the node limit the line is shown all the same; it cannot be gone back to.
    }
    Nodos = NodosVivos() - Antes;
  }
  Traza.Anota(std::move(Forma), Rangos, true, std::move(Copia), Nodos);
}
