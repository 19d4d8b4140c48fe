// SPDX-License-Identifier: GPL-3.0-or-later
// Rendering: the pixels of small diagrams in a bitmap 1009 pixels wide.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Ayuda.h"
#include "uDiagrama.h"

namespace {

constexpr TPixel Negro{0, 0, 0, 255};
constexpr TPixel RojoOscuro{128, 0, 0, 255};

struct TRectangulo {
  int X1, Y1, X2, Y2;
  bool operator==(const TRectangulo&) const = default;
};

class Dibujo : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AjustaBitmap(Bitmap, Agg, 1009, 120)); }
  void TearDown() override { GuardaSiFalla(Bitmap); }

  void Dibuja(TExprLambda* t, double zoom = 1.0) { Redibuja(t, Bitmap, Agg, zoom, NumVars); }

  // The smallest rectangle holding every pixel that is not background.
  TRectangulo Extension() const {
    TRectangulo r{Bitmap.Width(), Bitmap.Height(), -1, -1};
    for (int y = 0; y < Bitmap.Height(); ++y)
      for (int x = 0; x < Bitmap.Width(); ++x)
        if (Bitmap.Pixel(x, y) != ColorFondo)
          r = {std::min(r.X1, x), std::min(r.Y1, y), std::max(r.X2, x), std::max(r.Y2, y)};
    return r;
  }
  // Sum over a stretch of a row of how much each pixel was darkened in green: the width of
  // what was drawn there, when what was drawn has no green.
  double Cobertura(int y, int x1, int x2) const {
    double suma = 0;
    for (int x = x1; x <= x2; ++x) suma += (255 - Bitmap.Pixel(x, y).G) / 255.0;
    return suma;
  }
  // The darkest pixel around a point of a stroke.
  TPixel Trazo(double x, double y) const {
    TPixel mas{255, 255, 255, 255};
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const TPixel p = Bitmap.Pixel(int(std::floor(x)) + dx, int(std::floor(y)) + dy);
        if (p.G < mas.G) mas = p;
      }
    return mas;
  }
  static bool Gris(TPixel p) { return p.G < 128 && std::abs(p.R - p.G) <= 2; }
  static bool Rojo(TPixel p) { return p.G < 128 && p.R == 255 && std::abs(p.G - p.B) < 20; }

  TBitmap Bitmap;
  TAgg2DPlus Agg;
  int32_t NumVars = 0;
};

TEST_F(Dibujo, AVariableAloneShowsTheBackground) {
  TTermino t("a");
  Dibuja(t);
  EXPECT_EQ(Extension(), (TRectangulo{1009, 120, -1, -1}));
}

TEST_F(Dibujo, Identity) {
  TTermino t("\\a.a");
  Dibuja(t);
  EXPECT_EQ(Bitmap.Pixel(505, 15), RojoOscuro);  // the binder square
  EXPECT_EQ(Bitmap.Pixel(502, 12), RojoOscuro);
  EXPECT_EQ(Bitmap.Pixel(505, 48), RojoOscuro);  // the body's dot, centred at (505, 48)
  EXPECT_EQ(Bitmap.Pixel(504, 47), RojoOscuro);
  EXPECT_EQ(Bitmap.Pixel(508, 48), RojoOscuro);
  EXPECT_NEAR(Cobertura(30, 495, 515), 1.5, 0.02);  // the stem, 1.5 wide, centred on 505
  EXPECT_TRUE(Gris(Bitmap.Pixel(504, 30)));
  EXPECT_TRUE(Gris(Bitmap.Pixel(505, 30)));
  EXPECT_TRUE(Gris(Bitmap.Pixel(499, 15)));  // the square's black outline
  EXPECT_TRUE(Gris(Bitmap.Pixel(505, 53)));  // the dot's
  // Square from (500, 10) to (510, 20), dot down to 53, strokes 0.75 beyond.
  EXPECT_EQ(Extension(), (TRectangulo{499, 9, 510, 53}));
}

TEST_F(Dibujo, Application) {
  TTermino t("a b");
  Dibuja(t);
  EXPECT_EQ(Bitmap.Pixel(504, 10), Negro);  // junction dot at (504.5, 10)
  EXPECT_EQ(Bitmap.Pixel(504, 9), Negro);
  EXPECT_EQ(Bitmap.Pixel(497, 32), RojoOscuro);  // a, number 0 of 2
  EXPECT_EQ(Bitmap.Pixel(496, 31), RojoOscuro);
  EXPECT_EQ(Bitmap.Pixel(512, 32), (TPixel{128, 255, 128, 255}));  // b
  EXPECT_TRUE(Gris(Trazo(500.75, 21)));
  EXPECT_TRUE(Gris(Trazo(508.25, 21)));
  EXPECT_EQ(Extension(), (TRectangulo{491, 6, 517, 37}));
}

TEST_F(Dibujo, RedexStrokeIsRed) {
  TTermino t("(\\a.a) b");
  Dibuja(t);
  EXPECT_TRUE(Rojo(Trazo(500.75, 21)));
  EXPECT_TRUE(Gris(Trazo(508.25, 21)));
  EXPECT_NEAR(Cobertura(50, 490, 504), 1.5, 0.02);  // the stem at 497, from 32 to 64
  EXPECT_TRUE(Gris(Bitmap.Pixel(496, 50)));
  EXPECT_EQ(Bitmap.Pixel(497, 37), RojoOscuro);  // binder square
  EXPECT_EQ(Bitmap.Pixel(497, 70), RojoOscuro);  // body dot
  EXPECT_EQ(Bitmap.Pixel(512, 32), (TPixel{128, 255, 128, 255}));
}

TEST_F(Dibujo, RedexesWhereverTheyStand) {
  {
    TTermino t("a ((\\b.b) c)");
    Dibuja(t);
    EXPECT_TRUE(Gris(Trazo(496.5, 21)));   // root to a
    EXPECT_TRUE(Gris(Trazo(507.75, 21)));  // root to the inner application
    EXPECT_TRUE(Rojo(Trazo(507.75, 43)));  // inner application to \b.b
    EXPECT_TRUE(Gris(Trazo(515.25, 43)));  // inner application to c
  }
  {
    TTermino t("(a b) c");  // a function part that is an application: black
    Dibuja(t);
    EXPECT_TRUE(Gris(Trazo(500.25, 21)));
  }
}

TEST_F(Dibujo, ThreeVariableColours) {
  TTermino t("a b c");
  Dibuja(t);
  EXPECT_EQ(Bitmap.Pixel(489, 54), RojoOscuro);
  EXPECT_EQ(Bitmap.Pixel(504, 54), (TPixel{255, 212, 0, 255}));
  EXPECT_EQ(Bitmap.Pixel(519, 32), (TPixel{0, 213, 255, 255}));
}

TEST_F(Dibujo, ZoomScalesStrokesAndDots) {
  {
    TTermino t("\\a.a");
    Dibuja(t, 1.2);  // root at 415 units, stem at 504 px, dot centred at (504, 57.6)
    EXPECT_NEAR(Cobertura(30, 494, 514), 1.8, 0.02);
    EXPECT_NEAR(Cobertura(57, 490, 518), 13.78, 0.15);  // radius 6 and half a stroke
    EXPECT_EQ(Bitmap.Pixel(504, 57), RojoOscuro);
    Dibuja(t, 1.0);
    EXPECT_NEAR(Cobertura(48, 490, 518), 11.46, 0.15);
  }
  {
    TTermino t("a b");
    Dibuja(t, 1.2);  // junction dot of radius 3.6 at (504.6, 12)
    EXPECT_NEAR(Cobertura(12, 495, 515), 8.93, 0.15);
    Dibuja(t, 1.0);
    EXPECT_NEAR(Cobertura(10, 495, 515), 7.41, 0.15);
  }
}

TEST_F(Dibujo, NothingWithoutATerm) {
  TTermino t("a b");
  Dibuja(t);
  const TRectangulo antes = Extension();
  NumVars = 17;
  Dibuja(nullptr);
  EXPECT_EQ(Extension(), antes);
  EXPECT_EQ(NumVars, 17);
}

TEST(AjusteLienzo, ResizesOnlyWhenTheSizeChanges) {
  TBitmap bitmap;
  TAgg2DPlus agg;
  TTermino t("\\a.a");
  int32_t numVars = 0;
  EXPECT_FALSE(AjustaBitmap(bitmap, agg, 0, 0));
  Redibuja(t, bitmap, agg, 1.0, numVars);  // nothing to draw into yet

  EXPECT_TRUE(AjustaBitmap(bitmap, agg, 1009, 60));
  EXPECT_TRUE(agg.attachedTo(bitmap));
  EXPECT_FALSE(AjustaBitmap(bitmap, agg, 1009, 60));
  Redibuja(t, bitmap, agg, 1.0, numVars);
  EXPECT_EQ(bitmap.Pixel(505, 15), RojoOscuro);

  // Resized elsewhere: the next adjustment attaches again.
  bitmap.SetSize(600, 60);
  EXPECT_TRUE(AjustaBitmap(bitmap, agg, 600, 60));
  Redibuja(t, bitmap, agg, 1.0, numVars);
  EXPECT_EQ(bitmap.Pixel(300, 15), RojoOscuro);  // root at 295

  // Too small to draw on: fresh background, nothing drawn, nothing written outside.
  for (auto [ancho, alto] : {std::pair{1009, 1}, {0, 50}, {50, 0}, {1, 2}, {-5, -5}}) {
    EXPECT_TRUE(AjustaBitmap(bitmap, agg, ancho, alto));
    Redibuja(t, bitmap, agg, 1.0, numVars);
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) ASSERT_EQ(bitmap.Pixel(x, y), ColorFondo);
  }
}

TEST(AjusteLienzo, DrawsOnlyThroughItsOwnBitmap) {
  TBitmap bitmap, otro;
  TAgg2DPlus agg;
  AjustaBitmap(bitmap, agg, 100, 60);
  otro.SetSize(100, 60);
  TTermino t("\\a.a");
  int32_t numVars = 5;
  Redibuja(t, otro, agg, 1.0, numVars);
  EXPECT_EQ(numVars, 5);
  for (const TBitmap* b : {&bitmap, &otro})
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) ASSERT_EQ(b->Pixel(x, y), ColorFondo);
}

}  // namespace

// A shift moves every pixel by as much; a halo lies under the redex, its function part and its
// argument in their shades, and the drawing stays on top of it.
TEST_F(Dibujo, ShiftAndHalo) {
  TTermino t("(\\a.a) b");
  Dibuja(t);
  TBitmap Antes;
  TAgg2DPlus OtroAgg;
  ASSERT_TRUE(AjustaBitmap(Antes, OtroAgg, 1009, 120));
  Redibuja(t, Antes, OtroAgg, 1.0, NumVars);
  TExtrasDiagrama Extras;
  Extras.DesplX = 30;
  Extras.DesplY = 20;
  Redibuja(t, Bitmap, Agg, 1.0, NumVars, Extras);
  for (int y = 20; y < 120; ++y)
    for (int x = 30; x < 1009; ++x)
      ASSERT_EQ(Bitmap.Pixel(x, y), Antes.Pixel(x - 30, y - 20)) << x << ", " << y;

  std::vector<TExprLambda*> Halo{ComoAplicacion(t)};
  Extras = {};
  Extras.Halo = &Halo;
  EXPECT_EQ(Redibuja(t, Bitmap, Agg, 1.0, NumVars, Extras), (TCaja{492, 10, 25, 64}));
  const TPixel Funcion = Bitmap.Pixel(489, 60), Argumento = Bitmap.Pixel(520, 40),
               Borde = Bitmap.Pixel(504, 3);
  for (TPixel p : {Funcion, Argumento, Borde}) EXPECT_NE(p, ColorFondo);
  EXPECT_GT(Funcion.R, Funcion.B);
  EXPECT_GT(Argumento.B, Argumento.R);
  EXPECT_EQ(Bitmap.Pixel(100, 100), ColorFondo);
  EXPECT_EQ(Bitmap.Pixel(504, 10), Antes.Pixel(504, 10));  // the junction dot, on top
  EXPECT_EQ(Bitmap.Pixel(497, 37), Antes.Pixel(497, 37)) << "the binder square";
}
