// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap and the drawing object on their own: sizes, refusals, what reaches the pixels.
#include "Agg2D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Ayuda.h"
#include "uBitmap.h"

namespace {

constexpr TPixel Negro{0, 0, 0, 255};
constexpr TPixel Blanco{255, 255, 255, 255};

bool TodoFondo(const TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != ColorFondo) return false;
  return true;
}

// Draws a bit of everything, as the diagram would.
void DibujaDeTodo(TAgg2D& agg) {
  agg.lineWidth(3);
  agg.fillColor(200, 0, 0);
  agg.line(-5, -5, 500, 500);
  agg.rectangle(2, 2, 30, 30);
  agg.ellipse(10, 10, 40, 40);
}

TEST(Bitmap, SizesAndBackground) {
  TBitmap b;
  EXPECT_EQ(b.Pixeles(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  b.SetSize(7, 3);
  ASSERT_NE(b.Pixeles(), nullptr);
  EXPECT_EQ(b.Stride(), 28);
  EXPECT_TRUE(TodoFondo(b));
  // Bytes B, G, R, A, as a little-endian ARGB32 image reads them.
  EXPECT_EQ(b.Pixeles()[0], 240);
  EXPECT_EQ(b.Pixeles()[1], 255);
  EXPECT_EQ(b.Pixeles()[3], 255);
  EXPECT_EQ(b.Pixel(7, 0), TPixel{});
  EXPECT_EQ(b.Pixel(-1, 0), TPixel{});

  b.Pixeles()[0] = 1;
  b.SetSize(7, 3);  // the same size keeps the pixels
  EXPECT_EQ(b.Pixeles()[0], 1);

  b.SetSize(-4, 5);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 5);
  EXPECT_EQ(b.Pixeles(), nullptr);
  b.SetSize(3, -1);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.Pixeles(), nullptr);
}

TEST(Agg2D, RefusesWhatItCannotDrawOn) {
  std::vector<uint8_t> memoria(64 * 4 * 4, 7);
  TAgg2D agg;
  EXPECT_FALSE(agg.attached());
  EXPECT_FALSE(agg.attach(nullptr, 4, 4, 16));
  EXPECT_FALSE(agg.attach(memoria.data(), 0, 4, 16));
  EXPECT_FALSE(agg.attach(memoria.data(), -3, 4, 16));
  EXPECT_FALSE(agg.attach(memoria.data(), 4, 1, 16));
  EXPECT_FALSE(agg.attach(memoria.data(), 4, 0, 16));
  EXPECT_FALSE(agg.attach(memoria.data(), 4, 4, 15));
  EXPECT_FALSE(agg.attach(memoria.data(), 4, 4, -16));

  // A good attach followed by a refused one leaves nothing attached.
  EXPECT_TRUE(agg.attach(memoria.data(), 4, 4, 16));
  EXPECT_FALSE(agg.attach(memoria.data(), 4, 1, 16));
  EXPECT_FALSE(agg.attached());
  agg.clearAll(1, 2, 3);
  DibujaDeTodo(agg);
  for (uint8_t byte : memoria) ASSERT_EQ(byte, 7);

  TBitmap b;
  for (auto [ancho, alto] : {std::pair{0, 0}, {0, 10}, {10, 0}, {10, 1}}) {
    b.SetSize(ancho, alto);
    EXPECT_FALSE(agg.attach(b)) << ancho << "x" << alto;
    agg.clearAll(1, 2, 3);
    DibujaDeTodo(agg);
    if (b.Pixeles() != nullptr) {
      EXPECT_TRUE(TodoFondo(b));
    }
  }
}

TEST(Agg2D, StaysInsideRowsWithPadding) {
  // 5 pixels a row in rows of 32 bytes: the last 12 bytes of each row are not the image's.
  std::vector<uint8_t> memoria(32 * 6, 7);
  TAgg2D agg;
  ASSERT_TRUE(agg.attach(memoria.data(), 5, 6, 32));
  agg.clearAll(1, 2, 3, 4);
  DibujaDeTodo(agg);
  agg.lineWidth(1e9);
  agg.line(-1e20, 3, 1e20, 3);
  for (int fila = 0; fila < 6; ++fila)
    for (int i = 20; i < 32; ++i) ASSERT_EQ(memoria[fila * 32 + i], 7) << fila << " " << i;
  EXPECT_NE(memoria[0], 7);
}

TEST(Agg2D, AttachResetsTheState) {
  TBitmap b;
  b.SetSize(40, 40);
  TAgg2D agg;
  ASSERT_TRUE(agg.attach(b));
  agg.lineWidth(9);
  agg.lineColor(0, 255, 0);
  agg.fillColor(0, 0, 255);
  ASSERT_TRUE(agg.attach(b));
  EXPECT_EQ(agg.lineWidth(), 1);
  agg.rectangle(10, 10, 30, 30);
  EXPECT_EQ(b.Pixel(20, 20), Blanco);    // white fill
  const TPixel borde = b.Pixel(10, 20);  // black outline, half a pixel into column 10
  EXPECT_EQ(borde.R, borde.G);
  EXPECT_LT(borde.G, 140);
  EXPECT_EQ(b.Pixel(5, 20), ColorFondo);
  GuardaSiFalla(b);
}

TEST(Agg2D, NoticesWhenTheBitmapChanges) {
  TAgg2D agg;
  {
    TBitmap b;
    b.SetSize(20, 20);
    ASSERT_TRUE(agg.attach(b));
    EXPECT_TRUE(agg.attachedTo(b));
    b.SetSize(30, 30);  // the attached pixels are gone
    EXPECT_FALSE(agg.attached());
    EXPECT_FALSE(agg.attachedTo(b));
    agg.clearAll(0, 0, 0);
    DibujaDeTodo(agg);
    EXPECT_TRUE(TodoFondo(b));
    ASSERT_TRUE(agg.attach(b));
  }
  // The bitmap died: still nothing is drawn, and the sanitizers see no access.
  EXPECT_FALSE(agg.attached());
  agg.clearAll(0, 0, 0);
  DibujaDeTodo(agg);

  TBitmap otro;
  otro.SetSize(20, 20);
  TBitmap b;
  b.SetSize(20, 20);
  ASSERT_TRUE(agg.attach(b));
  EXPECT_FALSE(agg.attachedTo(otro));
}

TEST(Agg2D, FlipCountsRowsFromTheBottom) {
  TBitmap b;
  b.SetSize(10, 10);
  TAgg2D agg;
  ASSERT_TRUE(agg.attach(b, true));
  agg.lineWidth(0);
  agg.fillColor(0, 0, 0);
  agg.rectangle(0, 0, 10, 2);
  EXPECT_EQ(b.Pixel(5, 9), Negro);
  EXPECT_EQ(b.Pixel(5, 8), Negro);
  EXPECT_EQ(b.Pixel(5, 0), ColorFondo);
}

TEST(Agg2D, FillsStrokesAndBlends) {
  TBitmap b;
  b.SetSize(100, 60);
  TAgg2D agg;
  ASSERT_TRUE(agg.attach(b));

  // A vertical stroke 1.5 wide on a pixel boundary covers 0.75 of each of two columns.
  agg.lineWidth(1.5);
  agg.line(20, 10, 20, 50);
  double cobertura = 0;
  for (int x = 15; x < 25; ++x) cobertura += (255 - b.Pixel(x, 30).G) / 255.0;
  EXPECT_NEAR(cobertura, 1.5, 0.02);
  EXPECT_NEAR(b.Pixel(19, 30).G, 255 * 0.25, 2);
  // Round caps reach half the width beyond the ends.
  EXPECT_NE(b.Pixel(19, 9), ColorFondo);
  EXPECT_EQ(b.Pixel(19, 8), ColorFondo);

  agg.fillColor(10, 20, 30);
  agg.ellipse(60, 30, 10, 10);
  EXPECT_EQ(b.Pixel(60, 30), (TPixel{10, 20, 30, 255}));
  EXPECT_EQ(b.Pixel(52, 30), (TPixel{10, 20, 30, 255}));
  EXPECT_EQ(b.Pixel(71, 30), ColorFondo);

  // Corners in any order make the same rectangle (non-zero rule).
  agg.lineWidth(0);
  agg.fillColor(0, 0, 0, 128);
  agg.rectangle(90, 50, 80, 40);
  const TPixel medio = b.Pixel(85, 45);
  EXPECT_NEAR(medio.R, 127, 2);
  EXPECT_NEAR(medio.B, 120, 2);
  EXPECT_EQ(medio.A, 255);
  GuardaSiFalla(b);
}

TEST(Agg2D, HostileNumbers) {
  TBitmap b;
  b.SetSize(50, 50);
  TAgg2D agg;
  ASSERT_TRUE(agg.attach(b));
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double v : {nan, inf, -inf}) {
    agg.line(v, 0, 10, 10);
    agg.rectangle(0, 0, v, 10);
    agg.ellipse(10, 10, v, 5);
  }
  EXPECT_TRUE(TodoFondo(b));
  agg.lineWidth(nan);  // ignored
  EXPECT_EQ(agg.lineWidth(), 1);
  agg.lineWidth(-3);
  EXPECT_EQ(agg.lineWidth(), 0);
  agg.lineWidth(inf);
  EXPECT_EQ(agg.lineWidth(), TAgg2D::AnchoMaximo);

  // Far coordinates keep their direction when the line stays level.
  agg.lineWidth(2);
  agg.line(-1e300, 25, 1e300, 25);
  EXPECT_EQ(b.Pixel(0, 24), Negro);
  EXPECT_EQ(b.Pixel(49, 25), Negro);
  EXPECT_EQ(b.Pixel(25, 22), ColorFondo);

  // An ellipse far larger than the bitmap covers it.
  agg.lineWidth(0);
  agg.fillColor(0, 0, 200);
  agg.ellipse(25, 25, 1e15, 1e15);
  EXPECT_EQ(b.Pixel(0, 0), (TPixel{0, 0, 200, 255}));
  EXPECT_EQ(b.Pixel(49, 49), (TPixel{0, 0, 200, 255}));

  // Shapes entirely outside are skipped; huge strokes and radii end in reasonable time.
  agg.lineWidth(1e8);
  agg.fillColor(9, 9, 9);
  agg.ellipse(1e11, 1e11, 1e10, 1e10);
  agg.rectangle(-1e200, -1e200, 1e200, 1e200);
  agg.line(-1e9, -1e9, 1e9, 1e9);
  EXPECT_EQ(b.Pixel(25, 25), (TPixel{0, 0, 0, 255}));
  GuardaSiFalla(b);
}

}  // namespace
