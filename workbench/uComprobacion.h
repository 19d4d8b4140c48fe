// SPDX-License-Identifier: GPL-3.0-or-later
// The check of a define exercise a slice at a time, so that a window answers its events between
// two slices as it does during ∀β: each case's sides reduced by normal order, a batch of
// contractions at a time, up to the session's cap.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "uDefiniciones.h"
#include "uReduccion.h"
#include "uSesionEjercicios.h"

// Normal order towards the normal form of a term it holds, a batch at a time (see Normaliza).
class TNormalizador {
 public:
  TNormalizador() = default;
  TNormalizador(const TNormalizador&) = delete;
  TNormalizador& operator=(const TNormalizador&) = delete;
  ~TNormalizador();

  // Takes `t` (releasing any term held) and starts from it.
  void Empieza(TExprLambda* t);
  // Up to Lote more contractions, Tope in all; false once it has ended, and Resultado says how.
  // NumReducciones is left as it was.
  bool Avanza(int64_t Lote, int64_t Tope);
  const TNormalizacion& Resultado() const { return R; }
  // Hands over the term reached.
  TExprLambda* Suelta();

 private:
  TMotor Motor;  // orden normal, one contraction a pass
  TExprLambda* T = nullptr;
  std::size_t Techo = 0;
  TNormalizacion R;
};

class TComprobacionEnCurso {
 public:
  // Checks define exercise i of `s` with the definitions `d`: copied when `Copia` (a window
  // goes on with its own meanwhile), otherwise read as they are, and then they must stay as they
  // are until the check ends. The session must outlive the check.
  TComprobacionEnCurso(TSesionEjercicios& s, std::size_t i, const TDefiniciones& d, bool Copia);
  TComprobacionEnCurso(const TComprobacionEnCurso&) = delete;
  TComprobacionEnCurso& operator=(const TComprobacionEnCurso&) = delete;

  // Works for about `Rodaja`; false once the check has ended, when the session has counted it
  // (solved, or one mistake more).
  bool Avanza(std::chrono::nanoseconds Rodaja);
  bool Terminada() const { return Hecha; }
  const TSesionEjercicios::TComprobacion& Resultado() const { return R; }

 private:
  static constexpr int64_t Lote = 256;  // contractions between two looks at the clock
  TSesionEjercicios& Sesion;
  std::size_t Ejercicio;
  TDefiniciones Propias;      // the copy, when asked for
  const TDefiniciones* Defs;  // what the cases read
  TSesionEjercicios::TComprobacion R;
  std::size_t Caso = 0;   // the case under way
  bool EnMarcha = false;  // its sides are parsed, and one is being reduced
  bool SegundoLado = false;
  TRetenido A, B;  // the student's side reduced; the expected one, waiting
  TNormalizador Normalizador;
  bool Hecha = false;
  // One step: starts a case, a batch of contractions, or ends a case. False once all are done.
  bool Paso();
  void EmpiezaCaso();
  void AcabaCaso(TSesionEjercicios::TCaso c);
};
