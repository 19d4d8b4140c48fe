// SPDX-License-Identifier: GPL-3.0-or-later
// The named definitions: ordered pairs of name and term, in insertion order, names compared
// without regard to letter case over Windows-1252 (so "Función" and "FUNCIÓN" are one name).
// Texts are single-byte Windows-1252 throughout the core.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TExprLambda;

struct TDefinicion {
  std::string Nombre;
  TExprLambda* Termino = nullptr;  // owned by the list
  // The expression it was written with, as typed or read from a file; empty when not known.
  std::string Texto;
};

// A line of a definitions file that belongs to no record: a comment (it begins with '#') or a
// blank line, empty. It stands before the record numbered `Antes` (after the last one when there
// is none), and a save writes it there again.
struct TComentario {
  std::size_t Antes = 0;
  std::string Texto;
  std::size_t Linea = 0;  // where it was read, from 1 (for messages); 0 when not read
};

class TDefiniciones {
 public:
  TDefiniciones() = default;
  TDefiniciones(const TDefiniciones&) = delete;
  TDefiniciones& operator=(const TDefiniciones&) = delete;
  ~TDefiniciones();

  // First entry whose name matches without regard to case, or -1; only among the entries before
  // the limit of a TSoloAntes alive on the list.
  int Busca(std::string_view Nombre) const;
  // Appends an entry; the list takes the term, also when it fails.
  void Agrega(std::string Nombre, TExprLambda* Termino, std::string_view Texto = {});
  // Replaces the term and the text of entry i (releasing the old term); the name keeps its
  // letter case. The list takes the term, also when it fails.
  void Reemplaza(int i, TExprLambda* Termino, std::string_view Texto = {});
  // Releases every term and empties the list, its comments too.
  void Vacia();
  // Appends a comment or blank line after the entries so far.
  void AgregaComentario(std::string Texto, std::size_t Linea = 0);
  // In the order they were added; each one's Antes never decreases along the list.
  const std::vector<TComentario>& Comentarios() const { return Notas; }

  std::size_t Cuenta() const { return Lista.size(); }
  const TDefinicion& operator[](std::size_t i) const { return Lista[i]; }
  TDefinicion& operator[](std::size_t i) { return Lista[i]; }
  std::vector<TDefinicion>::const_iterator begin() const { return Lista.begin(); }
  std::vector<TDefinicion>::const_iterator end() const { return Lista.end(); }
  // Takes every entry of `otra` (used to load a file into a side list and swap it in whole).
  void Intercambia(TDefiniciones& Otra) {
    Lista.swap(Otra.Lista);
    Notas.swap(Otra.Notas);
  }

  // While it lives, the list is seen as its first `n` entries: what a file's record at place n
  // reads with.
  class TSoloAntes {
   public:
    TSoloAntes(const TDefiniciones& d, std::size_t n) : D(d), Antes(d.Visibles) { D.Visibles = n; }
    TSoloAntes(const TSoloAntes&) = delete;
    TSoloAntes& operator=(const TSoloAntes&) = delete;
    ~TSoloAntes() { D.Visibles = Antes; }

   private:
    const TDefiniciones& D;
    std::size_t Antes;
  };

 private:
  std::vector<TDefinicion> Lista;
  std::vector<TComentario> Notas;
  mutable std::size_t Visibles = SIZE_MAX;
};

// What an entry wrote, for "Mostrar los nombres de las definiciones": the parse marks Escrito
// every application and abstraction it builds from the text, the root of each definition's copy
// with the number (from 1) of its name here, and the rest of those copies and of '%' as parts it
// did not write (see MarcaEscrito, MarcaCopiaEscrita).
struct TEscritura {
  // The definitions the text named, by their own names, each once, in the order first named.
  std::vector<std::string> Nombres;
};

// Lowercase of a Windows-1252 byte (A-Z, À-Þ except ×, Š Œ Ž Ÿ).
unsigned char MinusculaCp1252(unsigned char c);
// Equal without regard to letter case, over Windows-1252.
bool MismoNombre(std::string_view a, std::string_view b);
