// SPDX-License-Identifier: GPL-3.0-or-later
// Beta reduction: one pass, in single mode (the leftmost-outermost redex) or multiple mode
// (every outermost redex, left to right). A contraction's result is not reduced again in the
// same pass.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "uEstrategia.h"
#include "uLambda.h"

// Contractions made so far; the workbench resets it when run-all starts. 64 bits, so it never
// overflows in practice.
extern int64_t NumReducciones;

// How a pass ended.
enum class TFinPasada {
  Normal,          // the pass ran; Cambio says whether it contracted anything
  DemasiadoGrande  // it stopped before a contraction that would pass the node limit; the term
                   // is whole (contractions already made in a multiple pass stand)
};

// A path of slots from a root down, kept small: a byte a step saying which field of the node
// above holds the next slot, the slot itself every 16 steps, and the slots from the last of
// those down. A path down a term a million deep takes 1.5 MB rather than 8.
class TCamino {
 public:
  void Inicia(TExprLambda** Raiz);
  void Limpia();
  // Gives back the memory of a long path; the path must be empty.
  void Suelta();
  std::size_t size() const { return Pasos.size(); }
  bool empty() const { return Pasos.empty(); }
  TExprLambda** back() const { return Tramo.back(); }
  // `Hueco` must be a field of the node in back().
  void push_back(TExprLambda** Hueco);
  void pop_back();
  // Whether the last slot is the function part of the application above it.
  bool UltimoEsFuncion() const { return Pasos.size() > 1 && Pasos.back() == 0; }
  // Calls Visita with each application whose function part the path goes down, from the lowest
  // up, until it returns true; returns whether it did. Costs about the path's length.
  template <typename F>
  bool SubePorFunciones(F&& Visita) const {
    TExprLambda* Nodos[Cada + 1];
    for (std::size_t b = Puntos.size(); b-- > 0;) {
      // The nodes of this stretch, from its point down, then seen from the bottom up.
      const std::size_t Desde = b * Cada, Hasta = std::min(Pasos.size(), Desde + Cada + 1);
      Nodos[0] = *Puntos[b];
      for (std::size_t i = Desde + 1; i < Hasta; ++i)
        Nodos[i - Desde] = Hijo(Nodos[i - Desde - 1], Pasos[i]);
      for (std::size_t i = Hasta - 1; i > Desde; --i)
        if (Pasos[i] == 0 && Visita(static_cast<TAplicacion*>(Nodos[i - Desde - 1]))) return true;
    }
    return false;
  }

 private:
  static constexpr std::size_t Cada = 16;
  static TExprLambda* Hijo(TExprLambda* n, uint8_t Paso) {
    if (Paso == 2) return static_cast<TFuncion*>(n)->Cuerpo;
    return Paso == 0 ? static_cast<TAplicacion*>(n)->Func : static_cast<TAplicacion*>(n)->Arg;
  }
  std::vector<uint8_t> Pasos;         // 0 Func, 1 Arg, 2 Cuerpo; the first one unused
  std::vector<TExprLambda**> Puntos;  // the slot at every Cada-th step from the first
  std::vector<TExprLambda**> Tramo;   // the slots from the last of Puntos down
};

// The reduction engine: the same passes as TExprLambda::Reduce, resumed from where the last
// pass left off. Between two passes it remembers the path to the place of the last changes and
// marks subtrees it has found free of redexes, so a pass costs about what it changes rather than
// the size of the term. Whoever changes the term other than through Reduce must call Olvida().
class TMotor {
 public:
  TMotor();
  ~TMotor();
  TMotor(const TMotor&) = delete;  // Camino points at its own Raiz
  TMotor& operator=(const TMotor&) = delete;

  // One pass over `Raiz`, which must be the term the previous call returned (or any term after
  // Olvida). Returns the term that takes its place. `Fin` tells whether the pass was cut short by
  // the node limit; `NodosPedidos` then holds the size the refused contraction would have made.
  TExprLambda* Reduce(TExprLambda* Raiz, bool& Cambio, bool Multiple);
  // Forgets the remembered position: the next pass starts from the root. Scratch grown large
  // for the term it worked on goes back to the allocator.
  void Olvida();
  // The redexes that the next pass over `Raiz` in this mode contracts, as SiguientesRedex gives
  // them, sought from where that pass would start: after a pass, about what it changed.
  void Siguientes(TExprLambda* Raiz, bool Multiple, std::vector<TAplicacion*>& Redex,
                  const std::function<void()>& Pulso = {}) const;

  // The road the passes take; a change forgets the remembered position. In any mode but the
  // classic one a pass contracts one redex, the mode's next, whatever Multiple says.
  void FijaModo(TModo m);
  TModo Modo() const { return ModoActual; }
  // The redexes the next pass over `Raiz` contracts, in the current mode, as nodes: applications,
  // and abstractions for η. Outside the classic mode it walks ahead to the next redex, which the
  // next pass then contracts without looking again.
  void Proximos(TExprLambda* Raiz, bool Multiple, std::vector<TExprLambda*>& Redex,
                const std::function<void()>& Pulso = {});

  // A step the user chose: contracts `Elegido`, a redex of `Raiz`, whatever the mode, and
  // returns the term that takes Raiz's place. Fin and NodosPedidos as Reduce's; Cambio is set
  // when it contracted. The engine starts its next pass afresh.
  TExprLambda* ContraeElegido(TExprLambda* Raiz, TAplicacion* Elegido, bool& Cambio);

  TFinPasada Fin = TFinPasada::Normal;
  std::size_t NodosPedidos = 0;

 private:
  TExprLambda* PasoEnModo(TExprLambda* Raiz, bool& Cambio);
  TModo ModoActual;
  // The walk of the other modes, kept from one pass to the next.
  std::unique_ptr<class TRecorridoEstrategia> Recorrido;

  TExprLambda* Raiz = nullptr;  // the term the last pass returned
  bool Multiple = false;        // its mode
  // Slots (the fields holding each node, the first one Raiz) from the root down to the place
  // where the next pass starts.
  TCamino Camino;
};

// One pass from the root, as TExprLambda::Reduce does, reporting a refused contraction.
TExprLambda* Pasada(TExprLambda* Raiz, bool& Cambio, bool Multiple, TFinPasada& Fin,
                    std::size_t& NodosPedidos);

// The redexes that the next pass from the root contracts, in printing order: the leftmost-
// outermost one in single mode, every outermost one in multiple mode. Subtrees marked free of
// redexes are not entered, and those it walks whole and finds free of them it marks (true marks,
// which the engine keeps up): asked after every pass, it costs about the path to the changes.
// `Pulso` as LongitudTexto's.
void SiguientesRedex(TExprLambda* Raiz, bool Multiple, std::vector<TAplicacion*>& Redex,
                     const std::function<void()>& Pulso = {});
// Every beta redex of the term, nested ones too, in printing order (where each starts). Subtrees
// marked free of redexes are not entered. `Pulso` as LongitudTexto's.
void TodosLosRedex(TExprLambda* Raiz, std::vector<TAplicacion*>& Redex,
                   const std::function<void()>& Pulso = {});
