// SPDX-License-Identifier: GPL-3.0-or-later
// The redex the user chose: where each redex prints, which one lies under a byte of the text,
// and its contraction as one step.
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
  Renumera();
  if (LongitudNumerada > LimiteTexto) return RangosTodos;
  TodosLosRedex(Actual, RedexTodos, Ritmo.Pulso());
  std::vector<TExprLambda*> Nodos;
  Nodos.reserve(3 * RedexTodos.size());
  for (TAplicacion* a : RedexTodos) Nodos.insert(Nodos.end(), {a, a->Func, a->Arg});
  TextoConRangos(Actual, LongitudNumerada, Nodos, RangosTodos, Ritmo.Pulso());
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
