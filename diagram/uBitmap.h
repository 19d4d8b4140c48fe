// SPDX-License-Identifier: GPL-3.0-or-later
// The off-screen picture of the diagram: 32-bit pixels, bytes B, G, R, A, rows top to bottom.
// That byte order is what QImage::Format_ARGB32 reads on a little-endian machine, so the window
// can show the pixels without copying them.
#pragma once

#include <cstdint>
#include <memory>

struct TPixel {
  uint8_t R = 0, G = 0, B = 0, A = 0;
  bool operator==(const TPixel&) const = default;
};

// Background of a freshly sized bitmap and of every diagram.
inline constexpr TPixel ColorFondo{255, 255, 240, 255};

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  TBitmap(TBitmap&&) = default;
  TBitmap& operator=(TBitmap&&) = default;

  // New pixels, at once cleared to ColorFondo. Negative sizes count as 0; a width whose rows
  // would not fit an int of bytes is cut down. The same size again keeps the pixels as they
  // are. On a failed allocation (std::bad_alloc) the bitmap is unchanged.
  void SetSize(int Ancho, int Alto);

  int Width() const { return AnchoPx; }
  int Height() const { return AltoPx; }
  int Stride() const { return AnchoPx * 4; }  // bytes per row; rows follow one another
  uint8_t* Pixeles() { return Datos.get(); }  // null while the bitmap is empty
  const uint8_t* Pixeles() const { return Datos.get(); }

  // The pixel at column X, row Y; all zero outside the bitmap.
  TPixel Pixel(int X, int Y) const;

  // Tells a drawing object whether these pixels still exist: it expires when the bitmap takes
  // new pixels or dies.
  std::weak_ptr<const void> Vigencia() const { return Datos; }

 private:
  std::shared_ptr<uint8_t[]> Datos;
  int AnchoPx = 0;
  int AltoPx = 0;
};
