// SPDX-License-Identifier: GPL-3.0-or-later
// Files of what the student sees, for worksheets and slides: the whole diagram of a term as SVG
// or PNG, and the reduction as text. Both are written whole or not at all (EscribeFichero).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "uEstrategia.h"

class TExprLambda;
class TTraza;

// Largest diagram written as SVG: about a hundred bytes a node, so a larger file would be more
// than browsers and editors open comfortably.
inline constexpr std::size_t LimiteNodosSvg = 1'000'000;
// Largest PNG, in pixels (four bytes each while it is drawn).
inline constexpr std::size_t LimitePixelesPng = 100'000'000;

// Whether a file name asks for a PNG picture: it ends in ".png", in any letter case.
bool EsNombrePng(const std::string& Ruta);

// Writes the whole diagram of the numbered term `Actual` at `Zoom` to `Ruta`: PNG when the name
// ends in .png, SVG otherwise. A diagram of more than `LimiteNodos` nodes (or past the limits
// above) is refused with a message, its number grouped with `Separador`. Throws EConMensaje or
// EEntradaSalida.
void ExportaDiagrama(TExprLambda* Actual, double Zoom, const std::string& Ruta,
                     std::size_t LimiteNodos, std::string_view Separador);

// Writes the reduction to `Ruta` as UTF-8 text, its contracted redexes marked when ConMarcas.
// Throws EEntradaSalida.
void ExportaReduccion(const TTraza& Traza, bool MultipleAhora, const std::string& Ruta,
                      TModo ModoAhora = {}, bool ConMarcas = false);
