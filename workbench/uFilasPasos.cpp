// SPDX-License-Identifier: GPL-3.0-or-later
#include "uFilasPasos.h"

#include <algorithm>

#include "uTextos.h"

std::vector<TFilaPasos> FilasPasos(const TTraza& t) {
  using TTipo = TFilaPasos::TTipo;
  std::vector<TFilaPasos> Filas;
  if (!t.Activa()) return Filas;
  Filas.push_back({TTipo::Entrada});
  if (t.Descartadas() > 0) Filas.push_back({TTipo::Descartadas});
  const auto& Lineas = t.Lineas();
  // The steps before the first line kept are accounted for by the notice of dropped lines.
  int64_t Anterior = -1;
  if (t.Descartadas() > 0) Anterior = (Lineas.empty() ? 0 : Lineas.front().Estado.Pasos) - 1;
  for (std::size_t i = 0; i < Lineas.size(); ++i) {
    const int64_t Paso = Lineas[i].Estado.Pasos;
    if (Paso > Anterior + 1) Filas.push_back({TTipo::Hueco, 0, Paso - Anterior - 1});
    Filas.push_back({TTipo::Linea, i, Paso});
    Anterior = Paso;
  }
  if (t.Pasos() > Anterior) Filas.push_back({TTipo::Hueco, 0, t.Pasos() - Anterior});
  return Filas;
}

std::string TextoFilaPasos(const TTraza& t, const TFilaPasos& f) {
  switch (f.Tipo) {
    case TFilaPasos::TTipo::Entrada:
      return Mensajes::ExpresionEntrada + t.Entrada();
    case TFilaPasos::TTipo::Descartadas:
      return t.AvisoDescartadas();
    case TFilaPasos::TTipo::Hueco:
      return Mensajes::PasosSinMostrar(f.Pasos);
    case TFilaPasos::TTipo::Linea:
      break;
  }
  return {};
}

std::size_t AnchoFilasPasos(const TTraza& t, const std::vector<TFilaPasos>& Filas) {
  std::size_t Ancho = 0;
  for (const TFilaPasos& f : Filas) {
    if (f.Tipo != TFilaPasos::TTipo::Linea) {
      Ancho = std::max(Ancho, TextoFilaPasos(t, f).size());
      continue;
    }
    const TTraza::TLinea& l = t.Lineas()[f.Linea];
    Ancho = std::max(
        Ancho, std::to_string(f.Pasos).size() + 2 + l.Forma->size() + 2 + TTraza::Como(l).size());
  }
  return Ancho;
}

std::size_t InicioLineaPasos(const TTraza::TLinea& l, std::size_t Caben) {
  if (l.Marcas.empty() || l.Marcas[0].Hasta <= Caben) return 0;
  return l.Marcas[0].Desde - std::min<std::size_t>(l.Marcas[0].Desde, 4);
}
