// SPDX-License-Identifier: GPL-3.0-or-later
// What the term model and the reduction engine share, and nothing outside terms/ uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "uLambda.h"

// Every meaning of a node's Marca, in one place:
//  - the marks, facts about the subtree that the whole model keeps true: TExprLambda::SinRedex,
//    TExprLambda::Cerrado and TExprLambda::Escrito (see uLambda.h);
//  - scratch bits, each set by one walk on the nodes it meets and cleared before it returns,
//    whatever happens, so that no two walks can mistake each other's (below);
//  - from TExprLambda::PrimerBitNivel up, a bound variable's level or a compound node's level
//    bound (see Nivel, NivelMinimo); on a closed node, which needs no bound, the number of the
//    name it was written as while it is marked Escrito (see NombreEscrito);
//  - lent whole: the walks that read a term (LeeTermino, MismaEstructura) keep in a binder's
//    variable its depth while they are inside its scope, and give its Marca back as they leave.
namespace BitsMarca {
// Numerada and EnAmbito are only ever set on a variable, SinRedexNiEta and Escrito only on an
// application or an abstraction: they share bits.
constexpr uint32_t Numerada = 1u << 2;  // a free variable the numbering has given its number
constexpr uint32_t Buscado = 1u << 3;   // a node whose printed range TextoConRangos wants
constexpr uint32_t Visto = 1u << 4;     // a node EsValido has met
constexpr uint32_t EnAmbito = 1u << 5;  // a binder's variable whose scope EsValido is in

constexpr uint32_t Marcas = TExprLambda::SinRedex | TExprLambda::Cerrado |
                            TExprLambda::SinRedexNiEta | TExprLambda::Escrito;
// What a change that may bring a redex clears on its way.
constexpr uint32_t MarcasDeRedex = TExprLambda::SinRedex | TExprLambda::SinRedexNiEta;
constexpr uint32_t DeCompuestos[] = {
    TExprLambda::SinRedex, TExprLambda::Cerrado, TExprLambda::SinRedexNiEta, Buscado, Visto,
    TExprLambda::Escrito};
constexpr uint32_t DeVariables[] = {Numerada, Buscado, Visto, EnAmbito};
template <std::size_t N>
constexpr bool Disjuntos(const uint32_t (&Bits)[N]) {
  uint32_t Vistos = 0;
  for (uint32_t b : Bits) {
    if ((b & (b - 1)) != 0 || (Vistos & b) != 0) return false;
    Vistos |= b;
  }
  return Vistos < (1u << TExprLambda::PrimerBitNivel);
}
static_assert(Disjuntos(DeCompuestos) && Disjuntos(DeVariables),
              "each meaning of Marca needs a bit of its own below the levels");
}  // namespace BitsMarca

// Length of the name printed for a display number (see NombreVariable).
inline std::size_t LongitudNombre(int32_t Indice) {
  return 1 + (Indice < 0 ? 0u : static_cast<uint32_t>(Indice)) / 26;
}

// Writes the name of a display number at p; returns the end of what it wrote.
inline char* AgregaNombre(char* p, int32_t Indice) {
  uint32_t i = Indice < 0 ? 0u : static_cast<uint32_t>(Indice);
  *p++ = static_cast<char>('a' + i % 26);
  // Past a few hundred variables the apostrophes are most of the text.
  const uint32_t k = i / 26;
  if (k > 8) return static_cast<char*>(std::memset(p, '\'', k)) + k;
  for (uint32_t j = 0; j < k; ++j) *p++ = '\'';
  return p;
}

// Frees a contracted redex: the application, its abstraction and the abstraction's variable,
// once the body and the argument have gone elsewhere (otherwise it deletes the application).
void SueltaRedex(TAplicacion* ap);

// Pulses of the long walks: one every 64 Ki nodes.
[[gnu::always_inline]] inline void Late(const std::function<void()>& Pulso, std::size_t& k) {
  if (Pulso && (++k & 0xFFFF) == 0) Pulso();
}

// A node is free of redexes when it is a variable or carries the mark.
inline bool Limpio(const TExprLambda* n) {
  return EsVariable(n) || (n->Marca & TExprLambda::SinRedex);
}
// The same for redexes of either kind.
inline bool LimpioEta(const TExprLambda* n) {
  return EsVariable(n) || (n->Marca & TExprLambda::SinRedexNiEta);
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

// Scratch of the contractions, kept by the engine so that a contraction allocates nothing.
struct TPilasContraccion {
  std::vector<TExprLambda**> Ocurrencias;
  std::vector<TExprLambda*> Pila;
  TPilasCopia Copia;
};

// Contracts the redex `ap`: the body, with the argument put in place of the bound variable,
// takes the application's place; returns it. Returns null, leaving the term as it was, when the
// copies would pass the node limit; `Pedidos` then holds the size that was refused.
TExprLambda* Contrae(TAplicacion* ap, TPilasContraccion& a, std::size_t& Pedidos);
