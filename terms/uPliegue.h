// SPDX-License-Identifier: GPL-3.0-or-later
// "Mostrar los nombres de las definiciones": the closed subterms of a term that equal a
// definition, up to the names of their bound variables, print as the definition's name.
//
// A fold is made for one term and belongs to whoever made it, which hands it to the printers
// (Renumera, LongitudTexto, TextoConPulso, TextoConRangos) in a TModoImpresion: they print that
// term folded and any other term whole. Only a maximal subterm folds: one whose enclosing
// subterms are not folded, the whole term included. A name stands for its whole subterm, which the
// printing walk does not enter.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "uLambda.h"

// A definition that may stand for a subterm: its name must read back as this very term.
struct TPlegable {
  std::string Nombre;
  TExprLambda* Termino = nullptr;
};

// What a term folds as.
class TPliegue {
 public:
  // Folds `t` with the first of `Definiciones` that each subterm equals, but for what the entry
  // wrote (TExprLambda::Escrito): a node written as a lambda or an application is not folded
  // (what lies inside it may be), and one written as a name prints as that name while it still
  // equals it: Definiciones[Escritas[k - 1]] for the name numbered k (NombreEscrito), -1 for a
  // name that is not among them. The rest of what the entry holds folds as any other part. Costs
  // a walk of `t` and of the definitions, and an exact comparison for each subterm whose
  // fingerprint matches. What was folded before is forgotten.
  void Pliega(TExprLambda* t, const std::vector<TPlegable>& Definiciones,
              const std::vector<int32_t>& Escritas, const std::function<void()>& Pulso = {});
  // Folds nothing. The fold holds nodes by address: it goes before its term may change.
  void Quita();

  // Whether the fold is `t`'s and folds something.
  bool EsDe(const TExprLambda* t) const { return t && Raiz == t; }
  // The name `n` prints as, or null.
  const std::string* Rotulo(const TExprLambda* n) const {
    auto i = Rotulos.find(n);
    return i == Rotulos.end() ? nullptr : &Nombres[i->second];
  }

 private:
  const TExprLambda* Raiz = nullptr;
  std::unordered_map<const TExprLambda*, uint32_t> Rotulos;
  std::vector<std::string> Nombres;
};

// For the printers: the fold of `t` in `Modo`, when it has one that folds something; null
// otherwise.
inline const TPliegue* PliegueDe(const TModoImpresion& Modo, const TExprLambda* t) {
  return Modo.Pliegue && Modo.Pliegue->EsDe(t) ? Modo.Pliegue : nullptr;
}
