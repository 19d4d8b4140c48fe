// SPDX-License-Identifier: GPL-3.0-or-later
// The redex the user chose: where each redex prints, which one lies under a byte of the text,
// and its contraction as one step.
#include <cmath>
#include <functional>

#include "uLambda.h"
#include "vLambda.h"

// One printing walk gives every range; hovering then only searches them.
const std::vector<TRango>& TMesaTrabajo::RangosRedex() {
  if (RedexAlDia || !Actual) {
    if (!Actual) RangosTodos.clear();
    return RangosTodos;
  }
  RedexTodos.clear();
  RangosTodos.clear();
  Contenedor.clear();
  Seleccion = -1;  // a new term: the old selection means nothing in it
  Renumera();
  if (LongitudNumerada > LimiteTexto) return RangosTodos;
  TodosLosRedex(Actual, RedexTodos, Ritmo.Pulso());
  std::vector<TExprLambda*> Nodos;
  Nodos.reserve(3 * RedexTodos.size());
  for (TAplicacion* a : RedexTodos) Nodos.insert(Nodos.end(), {a, a->Func, a->Arg});
  TextoConRangos(Actual, LongitudNumerada, Nodos, RangosTodos, Ritmo.Pulso(), ModoImpresion);
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
void TMesaTrabajo::EnSuSitio() {
  std::size_t Ultimo = 0;
  for (std::size_t k = 0; k < RangosTodos.size(); k += 3) {
    if (RangosTodos[k].Hasta == 0)
      RangosTodos[k] = RangosTodos[k + 1] = RangosTodos[k + 2] = {Ultimo, Ultimo};
    Ultimo = RangosTodos[k].Desde;
  }
}

int64_t TMesaTrabajo::RedexEn(int64_t Pos) {
  if (Pos < 0 || !MemoAlDia || Ejecutando || Cerrada) return -1;
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

TAplicacion* TMesaTrabajo::RedexNumero(std::size_t i) {
  if (!Actual || Ejecutando) return nullptr;
  RangosRedex();
  return RedexAlDia && i < RedexTodos.size() ? RedexTodos[i] : nullptr;
}

bool TMesaTrabajo::ContraeEnPaso(TAplicacion* Elegido) {
  bool Cambio = false;
  const int64_t Antes = NumReducciones;
  TomaModo();
  Actual = Motor.ContraeElegido(Actual, Elegido, Cambio);
  Traza.Pasada(false, NumReducciones - Antes, Cambio, Motor.Modo(), true);
  return Cambio;
}

// The canvas. Hovering finds the redex in the layout of the drawing shown, which Redibuja keeps;
// only the boxes under the pointer are walked, so a huge term costs little more than its depth.
TAplicacion* TMesaTrabajo::RedexEnLienzo(double X, double Y) {
  if (!Actual || Ejecutando || Cerrada || !DibujoAlDia || NumDibujo != DibujosHechos() ||
      !DiagramaActivo())
    return nullptr;
  const double u = (X * EscalaDibujo - DXDibujo) / ZoomDibujo;
  const double v = (Y * EscalaDibujo - DYDibujo) / ZoomDibujo;
  return RedexEnPunto(Actual, CajasDibujadas(), u, v, RadioEleccion * EscalaDibujo / ZoomDibujo);
}

bool TMesaTrabajo::LienzoApunta(double X, double Y) {
  if (Ejecutando || Cerrada || Atendiendo()) return false;
  bool Hay = false;
  Protegido(std::function<void()>([&] {
    ApuntadoLienzo = RedexEnLienzo(X, Y);
    Hay = ApuntadoLienzo != nullptr;
    if (DibujoAlDia && RedexMarcado() != MarcadoLienzo) RefrescaDiagrama();
  }));
  return Hay;
}

void TMesaTrabajo::LienzoPulsa(double X, double Y) {
  Protegido(std::function<void()>([this, X, Y] {
    if (TAplicacion* Elegido = RedexEnLienzo(X, Y)) Paso(Elegido);
  }));
}

void TMesaTrabajo::SeleccionaRedex(bool Siguiente) {
  Protegido(std::function<void()>([this, Siguiente] {
    if (!Actual || Ejecutando) return;
    const auto n = static_cast<int64_t>(RangosRedex().size() / 3);
    if (n == 0) return;
    if (Seleccion < 0)
      Seleccion = Siguiente ? 0 : n - 1;
    else
      Seleccion = (Seleccion + (Siguiente ? 1 : n - 1)) % n;
    if (DiagramaActivo() && RedexMarcado() != MarcadoLienzo) RefrescaDiagrama();
  }));
}

void TMesaTrabajo::ContraeSeleccionado() {
  Protegido(std::function<void()>([this] {
    if (RedexSeleccionado() < 0) return SeleccionaRedex(true);
    if (TAplicacion* Elegido = RedexNumero(static_cast<std::size_t>(Seleccion))) Paso(Elegido);
  }));
}

// The one under the pointer first; a drawing of a term changed since knows neither.
TAplicacion* TMesaTrabajo::RedexMarcado() {
  if (ApuntadoLienzo) return ApuntadoLienzo;
  const int64_t k = RedexSeleccionado();
  return k >= 0 ? RedexTodos[static_cast<std::size_t>(k)] : nullptr;
}

TCaja TMesaTrabajo::DibujaConEleccion(TExtrasDiagrama& Extras) {
  if (!DibujoAlDia) ApuntadoLienzo = nullptr;  // the term changed under the pointer
  Extras.Elegido = RedexMarcado();
  ZoomDibujo = Zoom * EscalaDispositivo;
  EscalaDibujo = EscalaDispositivo;
  DXDibujo = std::isfinite(Extras.DesplX) ? Extras.DesplX : 0;
  DYDibujo = std::isfinite(Extras.DesplY) ? Extras.DesplY : 0;
  const TCaja Raiz = ::Redibuja(Actual, Bitmap, Agg, ZoomDibujo, NumVars, Extras);
  MarcadoLienzo = Extras.Elegido;
  NumDibujo = DibujosHechos();
  DibujoAlDia = true;
  return Raiz;
}
