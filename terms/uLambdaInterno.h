// SPDX-License-Identifier: GPL-3.0-or-later
// What the term model and the reduction engine share, and nothing outside terms/ uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "uLambda.h"

// Length of the name printed for a display number (see NombreVariable).
inline std::size_t LongitudNombre(int32_t Indice) {
  return 1 + (Indice < 0 ? 0u : static_cast<uint32_t>(Indice)) / 26;
}

// Frees a contracted redex: the application, its abstraction and the abstraction's variable,
// once the body and the argument have gone elsewhere (otherwise it deletes the application).
void SueltaRedex(TAplicacion* ap);

// A node is free of redexes when it is a variable or carries the mark.
inline bool Limpio(const TExprLambda* n) {
  return EsVariable(n) || (n->Marca & TExprLambda::SinRedex);
}

// Levels (see TExprLambda::PrimerBitNivel). SinNivel lies above every level: what a closed
// subtree or a free variable brings to its parent.
constexpr uint32_t SinNivel = UINT32_MAX;

inline uint32_t Nivel(const TVariable* v) {
  return v->Marca >> TExprLambda::PrimerBitNivel;
}

// Levels run out after NivelTope variables, and from then on every new one shares the last. Once
// that has happened, at a moment when no copy or search is under way, this brings every live
// variable's level and every bound to 0, below all that will come, and counts again from there.
// (Without the pool, in the sanitizer build, there is no way to find them: levels stay shared.)
void RenuevaNiveles();

// The lower bound of the levels of the bound variables that the child `h` brings to its parent.
inline uint32_t NivelMinimo(const TExprLambda* h) {
  if (EsVariable(h)) {
    const TVariable* v = static_cast<const TVariable*>(h);
    return v->Libre ? SinNivel : Nivel(v);
  }
  if (h->Marca & TExprLambda::Cerrado) return SinNivel;
  return h->Marca >> TExprLambda::PrimerBitNivel;
}

// Sets the bound of an application or abstraction; SinNivel makes it closed.
inline void PonNivelMinimo(TExprLambda* n, uint32_t m) {
  constexpr uint32_t Bajos = (1u << TExprLambda::PrimerBitNivel) - 1;
  n->Marca = m == SinNivel
                 ? (n->Marca & Bajos) | TExprLambda::Cerrado
                 : (n->Marca & Bajos & ~TExprLambda::Cerrado) | (m << TExprLambda::PrimerBitNivel);
}

// What an abstraction over a body bounded by `m` brings to its parent: the occurrences of its
// own variable `p` do not count. Levels are never given twice, so when the bound is p's own
// level the other variables lie above it. `Ultima`: p was made after every other variable that
// occurs in the body, so a bound at p's level or above means none occurs: the abstraction is
// closed. Shared levels (0, NivelTope) say nothing.
inline uint32_t NivelSinParam(uint32_t m, const TVariable* p, bool Ultima) {
  uint32_t L = Nivel(p);
  if (m < L || L == 0 || L == TExprLambda::NivelTope || m == SinNivel) return m;
  if (Ultima) return SinNivel;
  return m == L ? L + 1 : m;
}

// The slots below `raiz` (not `raiz` itself) that hold `v`. Clears the bits `borra` from the
// Marca of every node it passes, and stops once it has found as many occurrences as `v` counts.
// `pila` is scratch, passed in so that repeated calls allocate nothing.
// When `v` is known to be bound outside `raiz` (LigadaFuera) it passes by every subtree whose
// level bound lies above v's, and sets again, as it leaves each node it entered, the node's
// bound as it will be once each occurrence holds a term bounded by `NivelValor`.
void BuscaOcurrencias(TExprLambda* raiz, TVariable* v, uint32_t Borra, bool LigadaFuera,
                      uint32_t NivelValor, std::vector<TExprLambda**>& Huecos,
                      std::vector<TExprLambda*>& Pila);

// Scratch of a copy, kept by the caller so that repeated copies allocate nothing.
struct TPilasCopia {
  // An argument still to copy into *Destino, with the number of binders above it in the copy.
  struct TTarea {
    TExprLambda* Origen;
    TExprLambda** Destino;
    std::size_t Ligadores;
  };
  // A binder above the node being copied: its variable's level, the level of its copy's
  // variable, and the highest level of the binders down to it from the top of the copy.
  struct TLigador {
    uint32_t Nivel, Nuevo, Maximo;
  };
  std::vector<TTarea> Tareas;
  std::vector<TLigador> Ligadores;
  std::vector<TVariable*> Copiadas;  // variables whose scratch link Copiada is set
};

// The same copy as Copia(), on scratch the caller keeps.
TExprLambda* CopiaConPila(TExprLambda* Raiz, TPilasCopia& Pilas);
