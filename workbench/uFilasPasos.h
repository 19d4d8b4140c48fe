// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of the "Pasos" panel, as the window and the page both show them: the text typed, a
// notice when the oldest lines were dropped, a row a line, and a row for the passes that no line
// shows, between two lines or after the last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "uTraza.h"

struct TFilaPasos {
  enum class TTipo : uint8_t { Entrada, Descartadas, Linea, Hueco } Tipo;
  std::size_t Linea = 0;  // Linea: its index in TTraza::Lineas()
  int64_t Pasos = 0;      // Linea: its step; Hueco: the passes it stands for
};

std::vector<TFilaPasos> FilasPasos(const TTraza& t);
// A row's text (Windows-1252), but for a line's, which the face shows in its own part: its number,
// the slice of its text in sight with its marks, how the step from it was taken.
std::string TextoFilaPasos(const TTraza& t, const TFilaPasos& f);
// Characters of the widest row: a line's "N: ", its text, two blanks and how its step was taken.
std::size_t AnchoFilasPasos(const TTraza& t, const std::vector<TFilaPasos>& Filas);
// The first character of a line's text that its row shows when `Caben` of them fit: from a little
// before the first contracted redex when that ends beyond them, else from the start.
std::size_t InicioLineaPasos(const TTraza::TLinea& l, std::size_t Caben);
