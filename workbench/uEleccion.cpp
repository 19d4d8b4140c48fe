// SPDX-License-Identifier: GPL-3.0-or-later
#include "uEleccion.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "uLambda.h"
#include "vLambda.h"

TEleccion::TEleccion(TMesaTrabajo& mesa) : Mesa(mesa) {}

// One printing walk gives every range; hovering then only searches them.
const std::vector<TRango>& TEleccion::RangosRedex() {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  if (RedexAlDia || !Actual) {
    if (!Actual) RangosTodos.clear();
    return RangosTodos;
  }
  RedexTodos.clear();
  RangosTodos.clear();
  Contenedor.clear();
  Seleccion = -1;  // a new term: the old selection means nothing in it
  TVistas& Vistas = Mesa.Vistas;
  Vistas.Renumera();
  if (Vistas.LongitudNumerada > Vistas.LimiteTexto) return RangosTodos;
  TodosLosRedex(Actual, RedexTodos, Mesa.Todo.Ritmo.Pulso());
  std::vector<TExprLambda*> Nodos;
  Nodos.reserve(3 * RedexTodos.size());
  for (TAplicacion* a : RedexTodos) Nodos.insert(Nodos.end(), {a, a->Func, a->Arg});
  TextoConRangos(Actual, Vistas.LongitudNumerada, Nodos, RangosTodos, Mesa.Todo.Ritmo.Pulso(),
                 Vistas.ModoImpresion);
  EnSuSitio();
  // Ranges nest or lie apart, in order of their start: a stack of the open ones finds each
  // one's nearest container.
  Contenedor.reserve(RedexTodos.size());
  std::vector<int64_t> Abiertos;
  for (std::size_t k = 0; k < RedexTodos.size(); ++k) {
    const TRango& r = RangosTodos[3 * k];
    while (!Abiertos.empty() && RangosTodos[3 * Abiertos.back()].Hasta <= r.Desde)
      Abiertos.pop_back();
    Contenedor.push_back(Abiertos.empty() ? -1 : Abiertos.back());
    Abiertos.push_back(static_cast<int64_t>(k));
  }
  RedexAlDia = true;
  return RangosTodos;
}

// A redex inside a name printed for a definition has no range of its own: its ranges are left
// empty where it would start, no further than the ranges before it, so that they stay in order
// and no byte lies in them.
void TEleccion::EnSuSitio() {
  std::size_t Ultimo = 0;
  for (std::size_t k = 0; k < RangosTodos.size(); k += 3) {
    if (RangosTodos[k].Hasta == 0)
      RangosTodos[k] = RangosTodos[k + 1] = RangosTodos[k + 2] = {Ultimo, Ultimo};
    Ultimo = RangosTodos[k].Desde;
  }
}

int64_t TEleccion::RedexEn(int64_t Pos) {
  if (Pos < 0 || !Mesa.Vistas.MemoAlDia || Mesa.Todo.Ejecutando || Mesa.Cerrado()) return -1;
  const std::size_t p = static_cast<std::size_t>(Pos);
  try {
    RangosRedex();
  } catch (const std::exception&) {
    return -1;  // a pointer moving over a text too big for the walk: nothing to show
  }
  // The last redex starting at or before Pos: the one holding Pos, if any, contains it.
  std::size_t lo = 0, hi = RangosTodos.size() / 3;
  while (lo < hi) {
    const std::size_t m = lo + (hi - lo) / 2;
    if (RangosTodos[3 * m].Desde <= p)
      lo = m + 1;
    else
      hi = m;
  }
  int64_t k = static_cast<int64_t>(lo) - 1;
  while (k >= 0 && RangosTodos[3 * static_cast<std::size_t>(k)].Hasta <= p)
    k = Contenedor[static_cast<std::size_t>(k)];
  return k;
}

int64_t TEleccion::SeleccionEnTexto() const {
  return Mesa.Vistas.MemoAlDia ? RedexSeleccionado() : -1;
}

TAplicacion* TEleccion::RedexNumero(std::size_t i) {
  if (!Mesa.Sesion.TerminoActual() || Mesa.Todo.Ejecutando) return nullptr;
  RangosRedex();
  return RedexAlDia && i < RedexTodos.size() ? RedexTodos[i] : nullptr;
}

void TEleccion::Contrae(std::size_t i) {
  if (TAplicacion* Elegido = RedexNumero(i)) Mesa.Sesion.Paso(Elegido);
}

std::vector<TRango> TEleccion::RangosDe(TAplicacion* Elegido) {
  std::vector<TRango> Rangos;
  const std::vector<TRango>& Todos = RangosRedex();
  const auto k = std::find(RedexTodos.begin(), RedexTodos.end(), Elegido) - RedexTodos.begin();
  if (3 * static_cast<std::size_t>(k) < Todos.size())
    Rangos.assign(Todos.begin() + 3 * k, Todos.begin() + 3 * k + 3);
  return Rangos;
}

// The canvas. Hovering finds the redex in the layout of the drawing shown, which Redibuja keeps;
// only the boxes under the pointer are walked, so a huge term costs little more than its depth.
TAplicacion* TEleccion::RedexEnLienzo(double X, double Y) {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  if (!Actual || Mesa.Todo.Ejecutando || Mesa.Cerrado() || !DibujoAlDia ||
      NumDibujo != DibujosHechos() || !Mesa.Vistas.DiagramaActivo())
    return nullptr;
  const double u = (X * EscalaDibujo - DXDibujo) / ZoomDibujo;
  const double v = (Y * EscalaDibujo - DYDibujo) / ZoomDibujo;
  return RedexEnPunto(Actual, CajasDibujadas(), u, v, RadioEleccion * EscalaDibujo / ZoomDibujo);
}

void TEleccion::Apunta(double X, double Y, bool& Hay) {
  ApuntadoLienzo = RedexEnLienzo(X, Y);
  Hay = ApuntadoLienzo != nullptr;  // also when the redraw throws
  if (DibujoAlDia && RedexMarcado() != MarcadoLienzo) Mesa.Vistas.RefrescaDiagrama();
}

void TEleccion::Pulsa(double X, double Y) {
  if (TAplicacion* Elegido = RedexEnLienzo(X, Y)) Mesa.Sesion.Paso(Elegido);
}

void TEleccion::Selecciona(bool Siguiente) {
  if (!Mesa.Sesion.TerminoActual() || Mesa.Todo.Ejecutando) return;
  const auto n = static_cast<int64_t>(RangosRedex().size() / 3);
  if (n == 0) return;
  if (Seleccion < 0)
    Seleccion = Siguiente ? 0 : n - 1;
  else
    Seleccion = (Seleccion + (Siguiente ? 1 : n - 1)) % n;
  if (Mesa.Vistas.DiagramaActivo() && RedexMarcado() != MarcadoLienzo)
    Mesa.Vistas.RefrescaDiagrama();
}

void TEleccion::ContraeSeleccionado() {
  if (TAplicacion* Elegido = RedexNumero(static_cast<std::size_t>(Seleccion)))
    Mesa.Sesion.Paso(Elegido);
}

// The one under the pointer first; a drawing of a term changed since knows neither.
TAplicacion* TEleccion::RedexMarcado() {
  if (ApuntadoLienzo) return ApuntadoLienzo;
  const int64_t k = RedexSeleccionado();
  return k >= 0 ? RedexTodos[static_cast<std::size_t>(k)] : nullptr;
}

TCaja TEleccion::DibujaConEleccion(TExtrasDiagrama& Extras) {
  if (!DibujoAlDia) ApuntadoLienzo = nullptr;  // the term changed under the pointer
  Extras.Elegido = RedexMarcado();
  TVistas& Vistas = Mesa.Vistas;
  ZoomDibujo = Vistas.Zoom * Vistas.Escala();
  EscalaDibujo = Vistas.Escala();
  DXDibujo = std::isfinite(Extras.DesplX) ? Extras.DesplX : 0;
  DYDibujo = std::isfinite(Extras.DesplY) ? Extras.DesplY : 0;
  const TCaja Raiz = ::Redibuja(Mesa.Sesion.TerminoActual(), Vistas.Bitmap, Vistas.Agg, ZoomDibujo,
                                Mesa.Sesion.NumVars, Extras);
  MarcadoLienzo = Extras.Elegido;
  NumDibujo = DibujosHechos();
  DibujoAlDia = true;
  return Raiz;
}

void TEleccion::Caduca() {
  RedexAlDia = false;
  DibujoAlDia = false;
}
