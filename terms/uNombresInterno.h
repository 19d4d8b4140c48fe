// SPDX-License-Identifier: GPL-3.0-or-later
// The table of names and what the numbering under "Conservar los nombres" leaves for the
// printers. Private to terms/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "uLambdaInterno.h"

// A name as its stem (the name without its trailing apostrophes) and how many apostrophes
// follow: the stem's number in the high half, the count in the low one. Adding an apostrophe
// adds one.
using TClave = uint64_t;
inline TClave Clave(uint32_t Raiz, uint32_t Primas) {
  return TClave{Raiz} << 32 | Primas;
}
inline uint32_t Raiz(TClave c) {
  return static_cast<uint32_t>(c >> 32);
}
inline uint32_t Primas(TClave c) {
  return static_cast<uint32_t>(c);
}

struct TTablaNombres {
  std::vector<std::string> Raices;  // by stem number
  std::unordered_map<std::string, uint32_t> PorRaiz;
  std::vector<TClave> Nombres{0};  // by name number (TVariable::Nombre); 0 is SinNombre
  std::unordered_map<TClave, uint32_t> PorClave;
  // By display number: the name printed, as the last numbering under names kept left it.
  std::vector<TClave> Impresos;
};

// Never destroyed: terms held by static objects may be printed at any time.
inline TTablaNombres& TablaNombres() {
  static TTablaNombres* t = new TTablaNombres;
  return *t;
}

// The printed name of a display number under names kept. A number the last numbering did not
// give prints as the letters would: both the length and the text come from here, so they agree.
inline std::size_t LongitudConservado(int32_t Indice) {
  const TTablaNombres& t = TablaNombres();
  if (Indice < 0 || static_cast<std::size_t>(Indice) >= t.Impresos.size())
    return LongitudNombre(Indice);
  TClave c = t.Impresos[static_cast<std::size_t>(Indice)];
  return t.Raices[Raiz(c)].size() + Primas(c);
}
inline char* AgregaConservado(char* p, int32_t Indice) {
  const TTablaNombres& t = TablaNombres();
  if (Indice < 0 || static_cast<std::size_t>(Indice) >= t.Impresos.size())
    return AgregaNombre(p, Indice);
  TClave c = t.Impresos[static_cast<std::size_t>(Indice)];
  const std::string& r = t.Raices[Raiz(c)];
  std::memcpy(p, r.data(), r.size());
  p += r.size();
  return static_cast<char*>(std::memset(p, '\'', Primas(c))) + Primas(c);
}
