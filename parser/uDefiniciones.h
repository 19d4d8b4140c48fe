// SPDX-License-Identifier: GPL-3.0-or-later
// The named definitions: ordered pairs of name and term, in insertion order, names compared
// without regard to letter case over Windows-1252 (so "Función" and "FUNCIÓN" are one name).
// Texts are single-byte Windows-1252 throughout the core.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TExprLambda;

struct TDefinicion {
  std::string Nombre;
  TExprLambda* Termino = nullptr;  // owned by the list
};

class TDefiniciones {
 public:
  TDefiniciones() = default;
  TDefiniciones(const TDefiniciones&) = delete;
  TDefiniciones& operator=(const TDefiniciones&) = delete;
  ~TDefiniciones();

  // First entry whose name matches without regard to case, or -1.
  int Busca(std::string_view Nombre) const;
  // Appends an entry; the list takes the term.
  void Agrega(std::string Nombre, TExprLambda* Termino);
  // Replaces the term of entry i (releasing the old one); the name keeps its letter case.
  void Reemplaza(int i, TExprLambda* Termino);
  // Releases every term and empties the list.
  void Vacia();

  std::size_t Cuenta() const { return Lista.size(); }
  const TDefinicion& operator[](std::size_t i) const { return Lista[i]; }
  TDefinicion& operator[](std::size_t i) { return Lista[i]; }
  std::vector<TDefinicion>::const_iterator begin() const { return Lista.begin(); }
  std::vector<TDefinicion>::const_iterator end() const { return Lista.end(); }
  // Takes every entry of `otra` (used to load a file into a side list and swap it in whole).
  void Intercambia(TDefiniciones& Otra) { Lista.swap(Otra.Lista); }

 private:
  std::vector<TDefinicion> Lista;
};

// Lowercase of a Windows-1252 byte (A-Z, À-Þ except ×, Š Œ Ž Ÿ).
unsigned char MinusculaCp1252(unsigned char c);
// Equal without regard to letter case, over Windows-1252.
bool MismoNombre(std::string_view a, std::string_view b);
