// SPDX-License-Identifier: GPL-3.0-or-later
// What a term is, read back for the student: its size, whether it is a Church numeral, and a
// fingerprint that is the same for terms equal up to the names of their bound variables, so
// that a term can be found among the definitions, or among the terms a run has gone through,
// by a table look-up.
//
// The walks borrow the Marca of the bound variables they meet to hold their binder's depth, and
// give back what it held (the variable's level, which the engine's search relies on).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "uLambda.h"

struct TLectura {
  // Blind to the names of bound variables: a bound occurrence counts by the place of its binder
  // among the binders, in the order they print, a free one by its identity. Equal terms have
  // equal fingerprints; the converse is only almost always true.
  uint64_t Huella = 0;
  std::size_t Nodos = 0;  // applications, abstractions and occurrences
  int64_t Numeral = -1;   // n for \f x.f (f ... x) with n applications, or -1
};

// Reads a term in one walk of an explicit stack, the printer's. `Pila` holds the binders' marks
// lent meanwhile; the caller may keep it between calls, so that it need not grow again. Past `Tope`
// nodes it stops and returns false; `r` is then of no use.
bool LeeTermino(TExprLambda* t, TLectura& r, std::size_t Tope, std::vector<uintptr_t>& Pila);
TLectura LeeTermino(TExprLambda* t);
// Renumera and LeeTermino in one walk, for a view that numbers the term and then shows its
// reading: the numbers, NumVars and the printed length as Renumera gives them (`Pulso` and
// `Modo` as its), and the reading in `r`.
std::size_t RenumeraYLee(TExprLambda* t, int32_t& NumVars, TLectura& r,
                         std::vector<uintptr_t>& Pila, const std::function<void()>& Pulso,
                         const TModoImpresion& Modo = {});

// Equal up to the names of bound variables (free variables by identity).
bool MismaEstructura(TExprLambda* a, TExprLambda* b);
// The same, free variables by their names, as a text reads them: equal when a text of one would
// read back as the other.
bool MismoTerminoEscrito(TExprLambda* a, TExprLambda* b);

// The printed form, without numbering the term (names come by first appearance, as the
// numbering gives them), cut to its first `Maximo` bytes and "…" when it is longer. Costs about
// `Maximo` however big the term.
std::string TextoCorto(TExprLambda* t, std::size_t Maximo);
