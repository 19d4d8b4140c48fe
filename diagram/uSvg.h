// SPDX-License-Identifier: GPL-3.0-or-later
// The whole diagram as an SVG picture, written from the layout: the same coordinates, widths,
// caps, joins and colours that the bitmap gets, one element per stem, stroke, square and dot, so
// it stays sharp at any size.
#pragma once

#include <functional>
#include <string_view>

#include "uDiagrama.h"

// Writes the picture a piece at a time through `Escribe` (pieces of some tens of kilobytes), so
// that a big diagram is never held whole in memory.
void EscribeSvg(const TDiagramaEntero& Diagrama,
                const std::function<void(std::string_view)>& Escribe);
