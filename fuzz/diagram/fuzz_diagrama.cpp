// SPDX-License-Identifier: GPL-3.0-or-later
// Layout and rendering of any parsable term at any zoom into a bitmap of any small size, and its
// whole diagram as SVG.
// Input: 8 bytes of zoom (any bit pattern), a width and a height byte, then the expression.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "uDiagrama.h"
#include "uParser.h"
#include "uSvg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  if (tamano < 10) return 0;
  double zoom;
  std::memcpy(&zoom, datos, sizeof zoom);
  TBitmap bitmap;
  TAgg2DPlus agg;
  AjustaBitmap(bitmap, agg, datos[8] * 4, datos[9] * 2);
  TDefiniciones definiciones;
  std::string error;
  const std::string_view texto(reinterpret_cast<const char*>(datos) + 10, tamano - 10);
  TExprLambda* t = Analiza(texto, definiciones, nullptr, error);
  if (t == nullptr) return 0;
  int32_t numVars = 0;
  Renumera(t, numVars);
  Redibuja(t, bitmap, agg, zoom, numVars);
  // The whole diagram as SVG, which has no bitmap to clip it.
  std::size_t bytes = 0;
  EscribeSvg(TDiagramaEntero(t, zoom), [&](std::string_view p) { bytes += p.size(); });
  Libera(t);
  return 0;
}
