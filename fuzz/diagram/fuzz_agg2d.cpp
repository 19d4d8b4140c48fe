// SPDX-License-Identifier: GPL-3.0-or-later
// Random operations on the drawing object: any sizes, attachments, widths and coordinates,
// including NaN, infinities and huge values, and bitmaps resized behind its back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Agg2D.h"
#include "uBitmap.h"

namespace {

class TLector {
 public:
  TLector(const uint8_t* datos, size_t tamano) : Datos(datos), Tamano(tamano) {}
  bool Queda() const { return Pos < Tamano; }
  uint8_t Byte() { return Pos < Tamano ? Datos[Pos++] : 0; }
  int16_t Entero() { return int16_t(Byte() | Byte() << 8); }
  // Either any bit pattern or a plain small number, so both kinds of value are common.
  double Real() {
    if (Byte() & 1) {
      uint64_t bits = 0;
      for (int i = 0; i < 8; ++i) bits |= uint64_t(Byte()) << (8 * i);
      double v;
      std::memcpy(&v, &bits, sizeof v);
      return v;
    }
    return Entero() / 16.0;
  }

 private:
  const uint8_t* Datos;
  size_t Tamano;
  size_t Pos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  TLector l(datos, tamano);
  TBitmap bitmap;
  bitmap.SetSize(l.Byte() % 200, l.Byte() % 200);
  std::vector<uint8_t> propio;  // a buffer of the caller's, possibly with padded rows
  TAgg2D agg;
  agg.attach(bitmap, l.Byte() & 1);
  for (int paso = 0; paso < 64 && l.Queda(); ++paso) {
    switch (l.Byte() % 11) {
      case 0:
        agg.attach(bitmap, l.Byte() & 1);
        break;
      case 1: {
        const int ancho = l.Byte() % 64, alto = l.Byte() % 64, stride = ancho * 4 + l.Byte() % 9;
        propio.assign(size_t(alto) * size_t(stride > 0 ? stride : 0), 0);
        agg.attach(propio.empty() ? nullptr : propio.data(), ancho, alto, stride);
        break;
      }
      case 2:
        bitmap.SetSize(l.Byte() % 200, l.Byte() % 200);
        break;
      case 3:
        agg.clearAll(l.Byte(), l.Byte(), l.Byte(), l.Byte());
        break;
      case 4:
        agg.lineWidth(l.Real());
        break;
      case 5:
        agg.lineColor(l.Byte(), l.Byte(), l.Byte(), l.Byte());
        break;
      case 6:
        agg.fillColor(l.Byte(), l.Byte(), l.Byte(), l.Byte());
        break;
      case 7:
        agg.line(l.Real(), l.Real(), l.Real(), l.Real());
        break;
      case 8:
        agg.rectangle(l.Real(), l.Real(), l.Real(), l.Real());
        break;
      case 9:
        agg.ellipse(l.Real(), l.Real(), l.Real(), l.Real());
        break;
      default:
        agg.detach();
        break;
    }
  }
  return 0;
}
