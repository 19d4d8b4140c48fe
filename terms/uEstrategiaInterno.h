// SPDX-License-Identifier: GPL-3.0-or-later
// The walk of the strategies other than the classic passes, which the engine keeps from one
// step to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "uEstrategia.h"
#include "uLambda.h"

struct TPilasContraccion;

class TRecorridoEstrategia {
 public:
  // Starts from the root of `raiz` under `modo`.
  void Inicia(TExprLambda* raiz, TModo modo);
  // Drops the walk (and the memory of a long one): the next step starts afresh.
  void Olvida();
  bool Iniciado = false;
  TExprLambda* Raiz = nullptr;  // the term, as the last step left it

  // The next redex (an application, or an abstraction for η), walked up to; null when the
  // strategy has none left. `Pulso` as LongitudTexto's.
  TExprLambda* Siguiente(const std::function<void()>& Pulso);
  enum class TPaso { Ninguno, Hecho, Rechazado };
  // Contracts the next redex; Rechazado, with `Pedidos` set and the term as it was, when the
  // copies would pass the node limit.
  TPaso Paso(TPilasContraccion& Aux, std::size_t& Pedidos);

 private:
  struct TMarco {
    TExprLambda** Hueco;
    uint8_t Estrategia;
    uint8_t Fase;
  };
  bool Busca(const std::function<void()>& Pulso);
  // The moves of Busca's loop, inlined into it: calls cost as much as the moves.
  [[gnu::always_inline]] bool EnAplicacion(TAplicacion* ap);
  [[gnu::always_inline]] bool EnFuncion(TFuncion* f);
  [[gnu::always_inline]] bool UsaEta(const TMarco& m) const;
  [[gnu::always_inline]] void Empuja(TExprLambda** Hueco, uint8_t Estrategia, uint8_t Fase = 0);
  [[gnu::always_inline]] void Sale(TExprLambda* n, bool Eta);
  [[gnu::always_inline]] void Quita();  // pops the top frame
  TMarco& Tope() { return Pila[Alto - 1]; }
  void BuscaEtaArriba();
  void Retoma(std::size_t j);

  TModo Modo;
  // The rest of the work, the next node on top: the first Alto of Pila, which only grows, by
  // hand, so that pushing stays inline.
  std::vector<TMarco> Pila;
  std::size_t Alto = 0;
  bool Listo = false;  // the top of Pila is the next redex
  // Orden normal with η: the frames of Pila, lowest first, of the abstractions whose body was
  // M x, x their variable, when the walk went into it or a contraction made it: the only ones above
  // a contraction that it can make an η-redex, besides the one just above it and the one whose
  // body's argument it is.
  std::vector<uint32_t> Formas;
};
