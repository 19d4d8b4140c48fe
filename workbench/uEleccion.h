// SPDX-License-Identifier: GPL-3.0-or-later
// The redex the user chose: where each redex prints, which one lies under a byte of the text or
// a point of the canvas, the one selected from the keyboard, and its contraction as one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "uRango.h"

class TAplicacion;
class TMesaTrabajo;
struct TCaja;
struct TExtrasDiagrama;

class TEleccion {
 public:
  explicit TEleccion(TMesaTrabajo& Mesa);

  // Every β-redex of Actual in printing order, each as three byte ranges of its printed form
  // (the redex, its function part, its argument, as IVista::FijaResalte's), empty when there is
  // no term or its text is past TVistas::LimiteTexto. Kept until the term changes.
  const std::vector<TRango>& RangosRedex();
  // Index of the innermost redex whose range holds byte Pos of Memo1's text, or -1 (also when
  // Memo1 does not show Actual as it is now, or run-all runs).
  int64_t RedexEn(int64_t Pos);
  // On "Gráficos": the redex whose junction or red stroke lies within RadioEleccion pixels of
  // the canvas point (X, Y), in the window's pixels, as the drawing now shown has it; null when
  // none, or when that drawing is not of Actual as it is now.
  TAplicacion* RedexEnLienzo(double X, double Y);
  static constexpr double RadioEleccion = 4;
  // The selected redex's index in RangosRedex's list, or -1; SeleccionEnTexto is -1 also while
  // Memo1 does not show Actual as it is now.
  int64_t RedexSeleccionado() const { return RedexAlDia ? Seleccion : -1; }
  int64_t SeleccionEnTexto() const;

  // The commands' work: redex i contracted; the pointer over the canvas (Hay: a redex is under
  // it); a click on the canvas; the next or previous redex selected; the selected one contracted.
  void Contrae(std::size_t i);
  void Apunta(double X, double Y, bool& Hay);
  void Pulsa(double X, double Y);
  void Selecciona(bool Siguiente);
  void ContraeSeleccionado();

  // The ranges of Elegido in RangosRedex's list, or none.
  std::vector<TRango> RangosDe(TAplicacion* Elegido);
  // ::Redibuja with the chosen redex, noting what the drawing was made with.
  TCaja DibujaConEleccion(TExtrasDiagrama& Extras);
  // The term changed (Caduca), or only its text (OlvidaRangos).
  void Caduca();
  void OlvidaRangos() { RedexAlDia = false; }

 private:
  // The ranges of the redexes hidden in a folded name (see RangosRedex).
  void EnSuSitio();
  // Redex i of RangosRedex's list, or null (no such redex, run-all runs).
  TAplicacion* RedexNumero(std::size_t i);
  // The redex the canvas marks: the one under the pointer, else the one selected.
  TAplicacion* RedexMarcado();

  TMesaTrabajo& Mesa;
  // RangosRedex's list: the redexes, their ranges, and the nearest redex holding each one (-1).
  std::vector<TAplicacion*> RedexTodos;
  std::vector<TRango> RangosTodos;
  std::vector<int64_t> Contenedor;
  bool RedexAlDia = false;
  // The chosen redex on the canvas: the one under the pointer, the one selected from the keyboard,
  // the one drawn last, and what the drawing shown was made with (device pixels and zoom).
  TAplicacion* ApuntadoLienzo = nullptr;
  int64_t Seleccion = -1;
  TAplicacion* MarcadoLienzo = nullptr;
  bool DibujoAlDia = false;  // the last drawing's layout is Actual's as it is now
  uint64_t NumDibujo = 0;
  double ZoomDibujo = 1, EscalaDibujo = 1, DXDibujo = 0, DYDibujo = 0;
};
