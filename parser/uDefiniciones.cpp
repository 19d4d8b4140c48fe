// SPDX-License-Identifier: GPL-3.0-or-later
#include "uDefiniciones.h"

#include <utility>

#include "uLambda.h"

unsigned char MinusculaCp1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:  // Š
    case 0x8C:  // Œ
    case 0x8E:  // Ž
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:  // Ÿ
      return 0xFF;
    default:
      return c;
  }
}

bool MismoNombre(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (MinusculaCp1252(static_cast<unsigned char>(a[i])) !=
        MinusculaCp1252(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TDefiniciones::~TDefiniciones() {
  Vacia();
}

int TDefiniciones::Busca(std::string_view Nombre) const {
  for (std::size_t i = 0; i < Lista.size() && i < Visibles; ++i)
    if (MismoNombre(Lista[i].Nombre, Nombre)) return static_cast<int>(i);
  return -1;
}

namespace {

// A definition is no entry: its copies are made by name, and only the parse that names it
// marks them (see TEscritura).
void SinEscritura(TExprLambda* t) {
  if (t) OlvidaEscritura(t);
}

}  // namespace

void TDefiniciones::Agrega(std::string Nombre, TExprLambda* Termino, std::string_view Texto) {
  TRetenido t(Termino);
  SinEscritura(Termino);
  Lista.push_back({std::move(Nombre), t.Get(), std::string(Texto)});
  t.Suelta();
}

void TDefiniciones::Reemplaza(int i, TExprLambda* Termino, std::string_view Texto) {
  TRetenido t(Termino);
  SinEscritura(Termino);
  TDefinicion& d = Lista[static_cast<std::size_t>(i)];
  d.Texto = Texto;
  TExprLambda* Viejo = d.Termino;
  d.Termino = t.Suelta();
  Libera(Viejo);
}

void TDefiniciones::AgregaComentario(std::string Texto, std::size_t Linea) {
  Notas.push_back({Lista.size(), std::move(Texto), Linea});
}

void TDefiniciones::Vacia() {
  Notas.clear();
  std::vector<TDefinicion> Viejas;
  Viejas.swap(Lista);
  for (TDefinicion& d : Viejas) Libera(d.Termino);
}
