// What the term model and the reduction engine share, and nothing outside terms/ uses.
#pragma once

#include <cstdint>
#include <vector>

#include "uLambda.h"

// A node is free of redexes when it is a variable or carries the mark.
inline bool Limpio(const TExprLambda* n) {
  return EsVariable(n) || (n->Marca & TExprLambda::SinRedex);
}

// The slots below `raiz` (not `raiz` itself) that hold `v`. Clears the bits `borra` from the
// Marca of every node it passes, and stops once it has found as many occurrences as `v` counts.
// When `v` is known to be bound outside `raiz` it does not enter closed subtrees. `pila` is
// scratch, passed in so that repeated calls allocate nothing.
void BuscaOcurrencias(TExprLambda* raiz, TVariable* v, uint32_t Borra, bool LigadaFuera,
                      std::vector<TExprLambda**>& Huecos, std::vector<TExprLambda*>& Pila);

// One step of a copy: a node to copy into *Destino, or (Origen null) a binder's variable whose
// scratch link Copiada is cleared once its body is copied.
struct TTareaCopia {
  TExprLambda* Origen;
  TExprLambda** Destino;
  TVariable* Limpia;
};

// The same copy as Copia(), on a stack the caller keeps, so that repeated copies allocate no
// stack of their own.
TExprLambda* CopiaConPila(TExprLambda* Raiz, std::vector<TTareaCopia>& Pila);
