// SPDX-License-Identifier: GPL-3.0-or-later
// A small drawing object over the AGG core: exactly the anti-aliased operations the diagram
// needs, on a 32-bit B, G, R, A buffer, in pixels with the origin at the top-left corner. AGG
// fills and anti-aliases (its headers alone, so the browser's build has it too); the outline of
// every stroke is the project's own (TContorno).
//
// It stays harmless on any input: until attach succeeds every operation does nothing; non-finite
// coordinates are ignored; shapes that miss the buffer are skipped; far coordinates, huge widths
// and radii are clamped before AGG computes with them and turns them into integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "uBitmap.h"
#include "uContorno.h"

class TAgg2D {
 public:
  // Coordinates are held within this many pixels of the origin: AGG's arithmetic in double
  // stays well within a pixel there, and a line through the buffer keeps its direction unless
  // an end lies further out.
  static constexpr double CoordenadaMaxima = 1e12;
  // Strokes wider than this are drawn this wide: such a stroke covers any real screen already.
  static constexpr double AnchoMaximo = 1e7;
  // AGG's rasterizer counts in 1/256 pixel in an int: only this many columns and rows of a
  // larger buffer are drawn on (clearAll still reaches all of them).
  static constexpr int LadoMaximo = 1 << 21;

  TAgg2D();
  virtual ~TAgg2D();
  TAgg2D(const TAgg2D&) = delete;
  TAgg2D& operator=(const TAgg2D&) = delete;

  // Binds to a caller-owned buffer of `height` rows of `stride` bytes. Refuses a null buffer,
  // a width or height below 1, fewer than two rows, or a stride below 4 * width; a refusal
  // leaves the object detached. On success the state is back to its defaults: line width 1,
  // black lines, white fill, round caps and joins, non-zero fill rule, clip to the buffer.
  bool attach(uint8_t* buffer, int Width, int Height, int Stride);
  // The same on a bitmap's pixels, bottom row first when `flip`. The object notices when the
  // bitmap takes new pixels or dies, and from then on draws nothing until attached again.
  bool attach(TBitmap& Bitmap, bool Flip = false);
  void detach();
  // Whether drawing reaches pixels now; attachedTo also checks they are `bitmap`'s own.
  bool attached() const;
  bool attachedTo(const TBitmap& Bitmap) const;

  // Every pixel becomes this colour, copied without blending.
  void clearAll(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
  // Width in pixels of the strokes that follow; NaN is ignored, a negative width draws none.
  void lineWidth(double w);
  double lineWidth() const { return AnchoLinea; }
  void lineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
  void fillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);

  void line(double x1, double y1, double x2, double y2);
  // Fills the axis-parallel rectangle with these corners, then strokes its outline.
  void rectangle(double x1, double y1, double x2, double y2);
  // Fills the ellipse of centre (cx, cy) and radii rx, ry, then strokes its outline.
  void ellipse(double cx, double cy, double rx, double ry);

 protected:
  // The outline of the stroke of width `Ancho` along `Puntos` (a closed polygon, or an open
  // segment of two points): polygons whose non-zero fill is the stroke. TContorno's; another
  // outline may be tried against it.
  virtual void Contorno(const std::vector<TPunto>& Puntos, bool Cerrado, double Ancho,
                        TPoligonos& Salida);

 private:
  // The AGG objects (buffer, pixel format, renderers, rasterizer, path, stroke, colours), defined
  // in Agg2D.cpp alone, so that no other file compiles AGG's headers.
  struct TNucleo;

  bool Une(uint8_t* buffer, int Width, int Height, int Stride);
  // Whether a shape spanning [x1, x2] x [y1, y2] (plus its stroke) can touch the buffer.
  bool Visible(double x1, double y1, double x2, double y2) const;
  // Renders the nucleus's shape (Forma): filled when it is closed, then stroked.
  void Pinta();

  std::unique_ptr<TNucleo> Nucleo;
  TContorno Trazo;
  bool Unido = false;
  bool DeBitmap = false;               // attached through attach(TBitmap&)
  std::weak_ptr<const void> Vigencia;  // that bitmap's pixels
  uint8_t* Inicio = nullptr;           // first byte of the buffer as attached
  double AnchoLinea = 1;
};

// The window's drawing object; it adds nothing the diagram uses.
class TAgg2DPlus : public TAgg2D {};
