// SPDX-License-Identifier: GPL-3.0-or-later
// The reduction since the last Enter, as the workbench printed it: the printed form of every
// pass it showed on "Texto", numbered, with the count of passes between two of them, the
// contractions and the mode. Kept within a memory cap, past which the oldest lines go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "uEstrategia.h"

// A printed form, shared between the view that shows it and the record: a form of tens of
// megabytes is made once and never copied.
using TTextoCompartido = std::shared_ptr<const std::string>;

class TTraza {
 public:
  static constexpr std::size_t LimiteMemoria = std::size_t(64) << 20;

  explicit TTraza(std::size_t Limite = LimiteMemoria) : Limite(Limite) {}

  // A term was entered: it is pass 0, whose printed form comes with Anota.
  void Empieza();
  // No current term: nothing to export.
  void Vacia();
  bool Activa() const { return Activo; }

  // One pass over the current term; a pass that changed nothing is no step.
  // Outside the classic mode, `Modo` names the strategy the pass took.
  void Pasada(bool Multiple, int64_t Contracciones, bool Cambio, TModo Modo = {});
  // Back: the state when Marca was last called comes back (a step keeps the term before it).
  void Marca();
  void Deshaz();

  // Whether the last step's printed form is still to come, and that form.
  bool FaltaForma() const;
  void Anota(TTextoCompartido Forma);
  void Anota(std::string Forma) { Anota(std::make_shared<const std::string>(std::move(Forma))); }

  // The file: a heading, then one line a step shown, Windows-1252, CR LF line ends.
  std::string Texto(bool MultipleAhora, TModo ModoAhora = {}) const;

  int64_t Pasos() const { return Estado.Pasos; }
  int64_t Contracciones() const { return Estado.Contracciones; }
  std::size_t Descartadas() const { return Fuera; }

 private:
  struct TLinea {
    int64_t Paso;
    TTextoCompartido Forma;
  };
  struct TEstado {
    int64_t Pasos = 0, Contracciones = 0;
    bool Simple = false, Multiple = false;  // modes of the steps made
    uint32_t Otros = 0;                     // and other strategies, as ModoReduccion takes them
  };
  std::size_t Limite;
  bool Activo = false;
  TEstado Estado, Marcado;
  std::deque<TLinea> Lineas;
  std::size_t Memoria = 0;  // bytes of the forms kept
  std::size_t Fuera = 0;    // lines dropped for the cap
};
