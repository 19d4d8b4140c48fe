// SPDX-License-Identifier: GPL-3.0-or-later
// The roads a reduction can take: which redex is contracted next, and the form reached when a
// strategy has none left. Orden normal without η is the engine's own passes (uReduccion.h);
// every other choice is one contraction a step, on the walk in uEstrategia.cpp.
#pragma once

#include <cstdint>
#include <string_view>

class TFuncion;

// In the order of the menu.
enum class TEstrategia : uint8_t {
  Normal,             // leftmost-outermost
  Aplicativo,         // leftmost-innermost
  PorNombre,          // to weak head normal form
  PorValor,           // to weak normal form
  Cabeza,             // head spine, to head normal form
  HibridaAplicativa,  // by value in function place, then everywhere
  HibridaNormal       // head spine in function place, then everywhere
};
inline constexpr TEstrategia Estrategias[] = {
    TEstrategia::Normal,       TEstrategia::Aplicativo, TEstrategia::PorNombre,
    TEstrategia::PorValor,     TEstrategia::Cabeza,     TEstrategia::HibridaAplicativa,
    TEstrategia::HibridaNormal};

// What a strategy leaves when it has no next redex.
enum class TForma : uint8_t { Normal, Cabeza, Debil, CabezaDebil };
TForma FormaDe(TEstrategia e);

// η applies to the two strategies that reduce everywhere.
constexpr bool AdmiteEta(TEstrategia e) {
  return e == TEstrategia::Normal || e == TEstrategia::Aplicativo;
}

struct TModo {
  TEstrategia Estrategia = TEstrategia::Normal;
  bool Eta = false;  // only where AdmiteEta(Estrategia)
  // Orden normal without η: the passes, single or multiple, exactly as they have always been.
  bool Clasico() const { return Estrategia == TEstrategia::Normal && !Eta; }
  friend bool operator==(const TModo&, const TModo&) = default;
};

// "Orden normal", "Orden aplicativo"…: the menu's captions, Windows-1252.
const char* NombreEstrategia(TEstrategia e);
// "normal", "applicative", "name", "value", "head", "hybrid-applicative", "hybrid-normal".
const char* ClaveEstrategia(TEstrategia e);
// The strategy of a key; false for anything else.
bool EstrategiaDeClave(std::string_view Clave, TEstrategia& e);
// "forma normal", "forma normal de cabeza", "forma normal débil", "forma normal de cabeza
// débil", Windows-1252.
const char* NombreForma(TForma f);
// "nf", "hnf", "wnf", "whnf".
const char* ClaveForma(TForma f);

// λx.M x with x not free in M.
bool EsRedexEta(const TFuncion* f);
