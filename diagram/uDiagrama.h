// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram of a term: its layout in whole diagram units and its rendering into a bitmap.
//
// The layout gives every application and abstraction a box, kept in an array that the node's
// `Caja` indexes; variables are always 10 by 10 and their marks are placed from their parent's
// box. Nothing of a layout outlives the call that uses it, so terms may be released freely.
#pragma once

#include <cstdint>
#include <vector>

#include "Agg2D.h"
#include "uBitmap.h"
#include "uLambda.h"

// A node's box: left edge, top edge, width, height, in diagram units, y growing downwards.
// 64-bit: a term of 10^8 occurrences is already wider than 2^31 units.
struct TCaja {
  int64_t X = 0, Y = 0, Ancho = 0, Alto = 0;
  bool operator==(const TCaja&) const = default;
};

// Lays out `Actual` for a bitmap `AnchoBitmap` pixels wide at `Zoom` pixels per unit.
// Cajas[n->Caja] becomes the box of each application and abstraction n; the root's box is always
// the last one, also when the root is a variable. NumVars becomes the largest Indice of any
// variable of the term (0 at least). Does nothing when Actual is null.
void Dispone(TExprLambda* Actual, int AnchoBitmap, double Zoom, std::vector<TCaja>& Cajas,
             int32_t& NumVars);

// Left edge of the root, in units: centred on the bitmap, at least 10 pixels from its left edge,
// rounded half to even; bounded for any Zoom, so the layout's sums never overflow.
int64_t PosicionRaiz(int64_t AnchoRaiz, int AnchoBitmap, double Zoom);

// The colour ramp: 0 outside [0, 1], rising 4x up to 0.25, 1 up to 0.5, falling 3 - 4x up to 0.75.
double Rampa(double x);
// A fraction in [0, 1) to a colour on the ramp from dark red to dark blue, components 0 to 255.
void ColorRampa(double t, int32_t& R, int32_t& G, int32_t& B);

// What the user may add to the standard picture; the default adds nothing, and the pixels are
// then exactly the standard ones.
struct TExtrasDiagrama {
  // The whole drawing moved by this many pixels (the user dragged it).
  double DesplX = 0, DesplY = 0;
  // Redexes of the term to draw a translucent halo under, before anything else. An application:
  // a band around the function part in one shade, around the argument in another; an
  // abstraction (an η-redex): a band around the whole of it in the redex's shade.
  const std::vector<TExprLambda*>* Halo = nullptr;
  // A redex the user points at or selected: the same halo in stronger shades, over those.
  TAplicacion* Elegido = nullptr;
};

// Halo colours: red, green, blue, alpha.
struct TColorHalo {
  uint8_t R, G, B, A;
};
inline constexpr TColorHalo HaloRedex{255, 170, 0, 90};
inline constexpr TColorHalo HaloFuncion{255, 150, 0, 90};
inline constexpr TColorHalo HaloArgumento{0, 140, 255, 80};
inline constexpr TColorHalo ElegidoRedex{255, 120, 0, 210};
inline constexpr TColorHalo ElegidoFuncion{255, 120, 0, 190};
inline constexpr TColorHalo ElegidoArgumento{0, 110, 255, 170};

// Lays out and draws `Actual` into `Bitmap` through `Agg`, which must be attached to it; does
// nothing at all when Actual is null, the bitmap has no pixels or Agg is not attached to them.
// Returns the root's box, in units (all zero when nothing was drawn).
TCaja Redibuja(TExprLambda* Actual, TBitmap& Bitmap, TAgg2DPlus& Agg, double Zoom, int32_t& NumVars,
               const TExtrasDiagrama& Extras = {});
// Redibuja keeps its layout's boxes for the next drawing; once the term drawn has gone, a big
// term's go back to the allocator here.
void SueltaCajas();
// Redibuja's last layout, and the number of layouts it has made or released on this thread:
// the boxes are those of the term it drew last while that number stays what it was then.
const std::vector<TCaja>& CajasDibujadas();
uint64_t DibujosHechos();

// The redex of `Actual`, laid out in `Cajas`, whose junction or red stroke (the line down to its
// function part) passes within `Radio` units of the point (X, Y), in units; the innermost when
// several do, null when none. Only the boxes that hold the point, widened by Radio, are walked.
TAplicacion* RedexEnPunto(TExprLambda* Actual, const std::vector<TCaja>& Cajas, double X, double Y,
                          double Radio);

// Makes the bitmap Ancho x Alto pixels (cleared to the background) and attaches Agg to it, when
// its size differs; returns whether it did, and then the caller draws again with Redibuja.
// A bitmap too small to attach leaves Agg detached, drawing nothing.
bool AjustaBitmap(TBitmap& Bitmap, TAgg2DPlus& Agg, int Ancho, int Alto);

// Export: the whole diagram, whatever part of it a window shows.
//
// The drawing operations of a diagram, for a drawing object other than TAgg2D (an SVG file);
// they mean what TAgg2D's operations of the same names mean.
class ILapiz {
 public:
  virtual ~ILapiz() = default;
  virtual void clearAll(uint8_t r, uint8_t g, uint8_t b, uint8_t a) = 0;
  virtual void lineWidth(double w) = 0;
  virtual void lineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) = 0;
  virtual void fillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) = 0;
  virtual void line(double x1, double y1, double x2, double y2) = 0;
  virtual void rectangle(double x1, double y1, double x2, double y2) = 0;
  virtual void ellipse(double cx, double cy, double rx, double ry) = 0;
};

// A numbered term laid out whole at `Zoom`: its root's box with a margin of 10 units on every
// side, the root at (10, 10) units. It writes the boxes' indices into the term's nodes, so the
// term must not be laid out again, nor changed, while this lives.
class TDiagramaEntero {
 public:
  static constexpr int64_t MargenEntero = 10;  // units round the root's box

  TDiagramaEntero(TExprLambda* Actual, double Zoom);
  // The picture's size in pixels, rounded up; at least 2 by 2 (a bitmap Agg can attach).
  double Ancho() const { return AnchoPx; }
  double Alto() const { return AltoPx; }
  // Draws into a bitmap at least Ancho() x Alto(), attached to Agg, or with `Lapiz`: background,
  // then every mark, exactly as Redibuja does.
  void Dibuja(TAgg2D& Agg) const;
  void Dibuja(ILapiz& Lapiz) const;

 private:
  TExprLambda* Actual;
  double Zoom;
  std::vector<TCaja> Cajas;
  int32_t NumVars = 0;
  double AnchoPx = 2, AltoPx = 2;
};
