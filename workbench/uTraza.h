// SPDX-License-Identifier: GPL-3.0-or-later
// The reduction since the last Enter, as the workbench printed it: the printed form of every
// pass it showed on "Texto", numbered, with the count of passes between two of them, the
// contractions and the mode. Kept within a memory cap, past which the oldest lines go.
//
// It is also the history of the "Pasos" panel: each line keeps what the step from it contracted
// (its ranges in the line's text), how that step was taken, and a copy of its term, which going
// back to it makes current again whatever the options or the definitions are by then (its text
// depends on both). One line is current. Going to an earlier line keeps the later ones until a
// new step replaces them, as a browser's history.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "uEstrategia.h"
#include "uRango.h"

// A printed form, shared between the view that shows it and the record: a form of tens of
// megabytes is made once and never copied.
using TTextoCompartido = std::shared_ptr<const std::string>;
// A line's own copy of its term, released with Libera when the last holder goes.
class TExprLambda;
using TTerminoCompartido = std::shared_ptr<TExprLambda>;

class TTraza {
 public:
  static constexpr std::size_t LimiteMemoria = std::size_t(64) << 20;
  // Lines of small terms cost more than their text: their number has a cap of its own.
  static constexpr std::size_t LimiteLineas = std::size_t(1) << 18;

  explicit TTraza(std::size_t Limite = LimiteMemoria, std::size_t MaxLineas = LimiteLineas)
      : Limite(Limite), MaxLineas(MaxLineas) {}

  // A term was entered (`Entrada`, the text typed): it is pass 0, whose form comes with Anota.
  void Empieza(std::string Entrada = {});
  // No current term: nothing to export.
  void Vacia();
  bool Activa() const { return Activo; }

  // One pass over the current term; a pass that changed nothing is no step. Outside the classic
  // mode, `Modo` names the strategy the pass took; `Elegido`: the user chose the redex.
  void Pasada(bool Multiple, int64_t Contracciones, bool Cambio, TModo Modo = {},
              bool Elegido = false);
  // Back: the state before the last pass that changed the term comes back (a step keeps the
  // term before it).
  void Deshaz();

  // Whether the current term's printed form is still to come, and that form. `Siguiente`: the
  // ranges of what the next step contracts, kept for the line as long as it is current.
  // `Termino`: the line's copy of the term, of `Nodos` nodes (none: Forma alone tells it).
  bool FaltaForma() const;
  void Anota(TTextoCompartido Forma, const std::vector<TRango>& Siguiente = {},
             bool EsTermino = true, TTerminoCompartido Termino = nullptr, std::size_t Nodos = 0);
  void Anota(std::string Forma) { Anota(std::make_shared<const std::string>(std::move(Forma))); }
  // A notice in place of the form (too big to print): such a line cannot be gone back to.
  void AnotaAviso(std::string Aviso) {
    Anota(std::make_shared<const std::string>(std::move(Aviso)), {}, false);
  }

  // The file: a heading, then one line a step shown, Windows-1252, CR LF line ends. Marcado:
  // the panel's content instead, the text typed first and a line of '^' under each contracted
  // redex, with how it was chosen (ConMarcas).
  std::string Texto(bool MultipleAhora, TModo ModoAhora = {}, bool ConMarcas = false) const;

  int64_t Pasos() const { return Estado.Pasos; }
  int64_t Contracciones() const { return Estado.Contracciones; }
  std::size_t Descartadas() const { return Fuera; }
  // The notice that the oldest lines were dropped, and why (their memory or their number);
  // empty when none were.
  std::string AvisoDescartadas() const;
  const std::string& Entrada() const { return TextoEntrada; }

  struct TEstado {
    int64_t Pasos = 0, Contracciones = 0;
    bool Simple = false, Multiple = false;  // modes of the steps made
    uint32_t Otros = 0;                     // and other strategies, as ModoReduccion takes them
  };
  // How the step from a line was taken.
  enum class TPor : uint8_t { Nada, Modo, Multiple, Elegido };
  struct TLinea {
    TEstado Estado;  // when this term was current; Estado.Pasos numbers the line
    TTextoCompartido Forma;
    bool EsTermino = true;  // Forma is the term's printed form, not a notice
    TPor Por = TPor::Nada;
    TModo Modo;
    std::vector<TRango> Marcas;  // what the step from it contracted, in Forma
    TTerminoCompartido Termino;  // its term, to go back to; null: only Forma tells it
    std::size_t Nodos = 0;       // the pool's nodes Termino holds
  };
  // The lines kept, oldest first; Actual(): the current one, or Lineas().size() when the current
  // term has no line (between two lines shown by run-all).
  const std::deque<TLinea>& Lineas() const { return Lista; }
  std::size_t Actual() const { return Cursor; }
  // The current line's text, when it is the current term's printed form; null otherwise.
  TTextoCompartido FormaActual() const {
    return Cursor < Lista.size() && Lista[Cursor].EsTermino ? Lista[Cursor].Forma : nullptr;
  }
  // Makes line i current, its counts with it; false when it is no term's line.
  bool Ir(std::size_t i);
  // The ranges of what the next step from the current term contracts, when known better than
  // by the last Anota (a redex the user chose).
  void FijaSiguiente(std::vector<TRango> Rangos) { Siguiente = std::move(Rangos); }
  // How the step from line l was taken: "elegido", the strategy, "beta múltiple"; empty: none.
  static std::string Como(const TLinea& l);
  // Bytes the record holds: texts, marks and the lines themselves.
  std::size_t Bytes() const;
  // Nodes the lines' terms hold in the pool.
  std::size_t Nodos() const { return NodosLineas; }

 private:
  std::size_t Limite, MaxLineas;
  bool Activo = false;
  TEstado Estado, Marcado;
  std::deque<TLinea> Lista;
  std::size_t Cursor = 0;  // index of the current line; Lista.size(): none
  std::vector<TRango> Siguiente;
  std::size_t Memoria = 0;      // bytes of the forms, marks and terms kept
  std::size_t NodosLineas = 0;  // the terms' nodes
  std::size_t Fuera = 0;        // lines dropped for the caps
  bool FueraPorCuenta = false;  // the last ones for their number
  std::string TextoEntrada;
  static std::size_t Peso(const TLinea& l);  // what a line adds to Memoria
  void Descarta();                           // the oldest lines, while a cap is passed
  void LineaMarcada(std::string& s, const TLinea& l) const;
};
