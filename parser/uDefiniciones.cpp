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

int TDefiniciones::Busca(std::string_view nombre) const {
  for (std::size_t i = 0; i < Lista.size(); ++i)
    if (MismoNombre(Lista[i].Nombre, nombre)) return static_cast<int>(i);
  return -1;
}

void TDefiniciones::Agrega(std::string nombre, TExprLambda* termino) {
  TRetenido t(termino);
  Lista.push_back({std::move(nombre), t.Get()});
  t.Suelta();
}

void TDefiniciones::Reemplaza(int i, TExprLambda* termino) {
  TExprLambda* viejo = Lista[static_cast<std::size_t>(i)].Termino;
  Lista[static_cast<std::size_t>(i)].Termino = termino;
  Libera(viejo);
}

void TDefiniciones::Vacia() {
  std::vector<TDefinicion> viejas;
  viejas.swap(Lista);
  for (TDefinicion& d : viejas) Libera(d.Termino);
}
