// SPDX-License-Identifier: GPL-3.0-or-later
// The "Opciones" menu's state and its rules, for both faces: the strategy, η, "Beta múltiple" and
// the other check marks. A face feeds it the user's clicks and draws each entry as it says,
// checked or not, enabled or greyed; the workbench reads the options from it.
#pragma once

#include <cstdint>
#include <iterator>

#include "uEstrategia.h"

class TMesaTrabajo;

// The menu's check marks; each face's widget for one is named by Nombre.
enum class TOpcion : uint8_t {
  Multiple,  // "Beta múltiple"
  Eta,       // "Reducción η"
  Halo,      // "Resaltar el siguiente paso en el diagrama"
  Ciclo,     // "Detener ∀β en un ciclo"
  Pasos,     // "Mostrar los pasos"
  Nombres,   // "Conservar los nombres"
  Pliegue    // "Mostrar los nombres de las definiciones"
};
inline constexpr TOpcion OpcionesDelMenu[] = {TOpcion::Multiple, TOpcion::Eta,   TOpcion::Halo,
                                              TOpcion::Ciclo,    TOpcion::Pasos, TOpcion::Nombres,
                                              TOpcion::Pliegue};

// What the menu says, as the workbench reads it: a plain value, which a view without a menu
// (lambda-cli, the tests) makes from fields of its own.
struct TAjustes {
  TModo Modo;  // the strategy and "Reducción η"
  bool Multiple = false, Halo = false, Ciclo = false, Pasos = false, Nombres = false,
       Pliegue = false;
};

class TOpciones {
 public:
  // The user checks or unchecks an entry; an entry greyed out takes nothing.
  void Marca(TOpcion o, bool Marcada);
  void Elige(TEstrategia e);

  bool Marcada(TOpcion o) const { return Marcas[Indice(o)]; }
  // η only where the strategy admits it; "Beta múltiple" in the classic mode alone (orden normal
  // without η), a way of its passes.
  bool Habilitada(TOpcion o) const;
  TEstrategia Estrategia() const { return Modo_.Estrategia; }
  TModo Modo() const { return Modo_; }
  TAjustes Ajustes() const {
    return {Modo_,
            Marcada(TOpcion::Multiple),
            Marcada(TOpcion::Halo),
            Marcada(TOpcion::Ciclo),
            Marcada(TOpcion::Pasos),
            Marcada(TOpcion::Nombres),
            Marcada(TOpcion::Pliegue)};
  }

  // What the workbench does once an entry has changed (a strategy chosen: OpcionesClick): the
  // step shown follows the mode and the halo, the views the ways of printing names, the panel
  // its check. None for "Detener ∀β en un ciclo", which run-all reads as it goes.
  using TOrdenMesa = void (TMesaTrabajo::*)();
  static TOrdenMesa Orden(TOpcion o);
  // Kept between sessions: all but "Beta múltiple", which every start leaves unchecked.
  static bool Recordada(TOpcion o) { return o != TOpcion::Multiple; }

  // The entry's name in both faces ("Betamltiple1", "ReduccionEta1"…), and the option of a name:
  // false for any other.
  static const char* Nombre(TOpcion o);
  static bool DeNombre(const char* Nombre, TOpcion& o);

 private:
  static constexpr int Indice(TOpcion o) { return int(o); }
  // An entry that leaves its greyed state starts unchecked.
  void Ajusta();

  TModo Modo_;
  bool Marcas[std::size(OpcionesDelMenu)] = {};
};
