// SPDX-License-Identifier: GPL-3.0-or-later
// Layout: boxes, the root's place, NumVars, and the colour ramp.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Ayuda.h"
#include "uDiagrama.h"

namespace {

struct TDispuesto {
  std::vector<TCaja> Cajas;
  int32_t NumVars = -7;
  TDispuesto(TExprLambda* t, int ancho = 1009, double zoom = 1.0) {
    Dispone(t, ancho, zoom, Cajas, NumVars);
  }
  const TCaja& Raiz() const { return Cajas.back(); }
  const TCaja& De(TExprLambda* n) const {
    return Cajas[EsFuncion(n) ? ComoFuncion(n)->Caja : ComoAplicacion(n)->Caja];
  }
};

TEST(Disposicion, SmallTerms) {
  {
    TTermino t("a");
    TDispuesto d(t);
    ASSERT_EQ(d.Cajas.size(), 1u);
    EXPECT_EQ(d.Raiz(), (TCaja{500, 10, 10, 10}));
    EXPECT_EQ(d.NumVars, 0);
  }
  {
    TTermino t("\\a.a");
    TDispuesto d(t);
    EXPECT_EQ(d.Raiz(), (TCaja{500, 10, 10, 42}));
  }
  {
    TTermino t("a b");
    TDispuesto d(t);
    EXPECT_EQ(d.Raiz(), (TCaja{492, 10, 25, 32}));
    EXPECT_EQ(d.NumVars, 1);
  }
  {
    TTermino t("(\\a.a) b");
    TDispuesto d(t);
    EXPECT_EQ(d.Raiz(), (TCaja{492, 10, 25, 64}));
    EXPECT_EQ(d.De(ComoAplicacion(t)->Func), (TCaja{492, 32, 10, 42}));
  }
  {
    TTermino t("a (\\b.b c)");
    TDispuesto d(t);
    TExprLambda* arg = ComoAplicacion(t)->Arg;
    EXPECT_EQ(d.Raiz(), (TCaja{484, 10, 40, 86}));
    EXPECT_EQ(d.De(arg), (TCaja{499, 32, 25, 64}));
    EXPECT_EQ(d.De(ComoFuncion(arg)->Cuerpo), (TCaja{499, 64, 25, 32}));
  }
  {
    // A body narrower than the binder cannot happen, but a wide body sets the width.
    TTermino t("\\a.\\b.a b a");
    TDispuesto d(t);
    EXPECT_EQ(d.Raiz().Ancho, 40);
    EXPECT_EQ(d.Raiz().Alto, 32 + 32 + 22 + 22 + 10);
  }
}

TEST(Disposicion, NumVarsIsTheLargestNumber) {
  TTermino t("\\x.y (\\z.z x) w");  // four variables, numbered 0 to 3
  TDispuesto d(t);
  EXPECT_EQ(d.NumVars, 3);
  // A null term changes nothing.
  std::vector<TCaja> cajas{TCaja{1, 2, 3, 4}};
  int32_t numVars = 42;
  Dispone(nullptr, 100, 1.0, cajas, numVars);
  EXPECT_EQ(numVars, 42);
  EXPECT_EQ(cajas.size(), 1u);
}

TEST(Disposicion, RootPosition) {
  // Centred, rounded half to even.
  EXPECT_EQ(PosicionRaiz(25, 1009, 1.0), 492);
  EXPECT_EQ(PosicionRaiz(40, 1009, 1.0), 484);  // 484.5
  EXPECT_EQ(PosicionRaiz(10, 1009, 1.0), 500);  // 499.5
  // Wider than the bitmap less 20 pixels: 10 pixels from the left edge.
  EXPECT_EQ(PosicionRaiz(990, 1009, 1.0), 10);
  EXPECT_EQ(PosicionRaiz(5000, 1009, 1.2), 8);
  EXPECT_EQ(PosicionRaiz(10, 0, 1.0), 10);
  EXPECT_EQ(PosicionRaiz(10, 0, 1.2), 8);
  EXPECT_EQ(PosicionRaiz(10, 0, 1 / 1.2), 12);
  // 10^8 occurrences are 1.5 * 10^9 units wide.
  EXPECT_EQ(PosicionRaiz(1'499'999'995, 1009, 1.0), 10);
  EXPECT_EQ(PosicionRaiz(1'499'999'995, 1009, 1e-9), 504'000'000'000);

  // Any zoom gives a bounded position, with no undefined conversion.
  const double inf = std::numeric_limits<double>::infinity();
  for (double zoom : {0.0, -0.0, inf, -inf, std::nan(""), 1e-320, 1e300, -2.5,
                      std::pow(1.2, 4000.0), std::pow(1.2, -4000.0)}) {
    const int64_t x = PosicionRaiz(1'499'999'995, 2000, zoom);
    EXPECT_LE(std::llabs(x), int64_t(1) << 60) << zoom;
  }
  EXPECT_EQ(PosicionRaiz(10, 1009, 0.0), int64_t(1) << 60);
  EXPECT_EQ(PosicionRaiz(10, 1009, std::nan("")), 10);
}

TEST(Disposicion, TheRootFollowsZoomAndWidth) {
  TTermino t("a b c");
  EXPECT_EQ(TDispuesto(t, 1009, 1.2).Raiz().X, 400);  // Round(Round(480.5) / 1.2)
  EXPECT_EQ(TDispuesto(t, 0, 1.2).Raiz().X, 8);
  EXPECT_EQ(TDispuesto(t, 50, 1.0).Raiz().X, 10);
  EXPECT_EQ(TDispuesto(t, 1009, 2.0).Raiz().Y, 10);
}

TEST(ColorRampa, Table) {
  struct {
    double t;
    int32_t r, g, b;
  } const filas[] = {
      {0, 128, 0, 0},       {0.125, 255, 0, 0},   {0.25, 255, 128, 0},  {1.0 / 3, 255, 212, 0},
      {0.375, 255, 255, 0}, {0.5, 128, 255, 128}, {0.625, 0, 255, 255}, {2.0 / 3, 0, 213, 255},
      {0.75, 0, 128, 255},  {0.875, 0, 0, 255},
  };
  for (const auto& f : filas) {
    int32_t r = -1, g = -1, b = -1;
    ColorRampa(f.t, r, g, b);
    EXPECT_EQ(r, f.r) << f.t;
    EXPECT_EQ(g, f.g) << f.t;
    EXPECT_EQ(b, f.b) << f.t;
  }
}

TEST(ColorRampa, RampaPieces) {
  EXPECT_EQ(Rampa(-0.01), 0);
  EXPECT_EQ(Rampa(0), 0);
  EXPECT_EQ(Rampa(0.125), 0.5);
  EXPECT_EQ(Rampa(0.25), 1);
  EXPECT_EQ(Rampa(0.4999), 1);
  EXPECT_EQ(Rampa(0.5), 1);
  EXPECT_EQ(Rampa(0.625), 0.5);
  EXPECT_EQ(Rampa(0.75), 0);
  EXPECT_EQ(Rampa(1), 0);
  EXPECT_EQ(Rampa(1.01), 0);
  EXPECT_EQ(Rampa(std::nan("")), 0);
  // Fractions outside [0, 1) still give components in range.
  for (double t : {-5.0, 1.0, 3.0, std::nan("")}) {
    int32_t r, g, b;
    ColorRampa(t, r, g, b);
    EXPECT_TRUE(r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255) << t;
  }
}

}  // namespace
