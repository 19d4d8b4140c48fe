// SPDX-License-Identifier: GPL-3.0-or-later
#include "uBitmap.h"

#include <algorithm>
#include <climits>
#include <cstddef>

void TBitmap::SetSize(int Ancho, int Alto) {
  Ancho = std::clamp(Ancho, 0, INT_MAX / 4);
  Alto = std::max(Alto, 0);
  if (Ancho == AnchoPx && Alto == AltoPx) return;
  const std::size_t Bytes = std::size_t(Ancho) * std::size_t(Alto) * 4;
  std::shared_ptr<uint8_t[]> Nuevos;
  if (Bytes > 0) {
    Nuevos.reset(new uint8_t[Bytes]);
    const uint8_t Fondo[4] = {ColorFondo.B, ColorFondo.G, ColorFondo.R, ColorFondo.A};
    for (std::size_t i = 0; i < Bytes; i += 4) std::copy(Fondo, Fondo + 4, Nuevos.get() + i);
  }
  Datos = std::move(Nuevos);
  AnchoPx = Ancho;
  AltoPx = Alto;
}

TPixel TBitmap::Pixel(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= AnchoPx || Y >= AltoPx) return {};
  const uint8_t* p = Datos.get() + std::size_t(Y) * std::size_t(Stride()) + std::size_t(X) * 4;
  return {p[2], p[1], p[0], p[3]};
}
