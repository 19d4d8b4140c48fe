// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke outline that both builds draw with, against AGG's own stroker (conv_stroke, from
// libagg-dev, which the browser's build cannot link): the same diagrams through both, pixel by
// pixel. The workloads and three passes of each, the lessons' definitions, at several zooms and
// sub-pixel shifts, with every outermost redex's halo and one chosen redex.
#include <agg_conv_stroke.h>
#include <agg_path_storage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "Ayuda.h"
#include "Cargas.h"
#include "uDefiniciones.h"
#include "uReduccion.h"

namespace {

// TAgg2D with AGG's stroker in place of the project's outline.
class TAgg2DReferencia : public TAgg2DPlus {
 protected:
  void Contorno(const std::vector<TPunto>& Puntos, bool Cerrado, double Ancho,
                TPoligonos& Salida) override {
    agg::path_storage Camino;
    for (std::size_t i = 0; i < Puntos.size(); ++i)
      i == 0 ? Camino.move_to(Puntos[i].X, Puntos[i].Y) : Camino.line_to(Puntos[i].X, Puntos[i].Y);
    if (Cerrado) Camino.close_polygon();
    agg::conv_stroke<agg::path_storage> Trazo(Camino);
    Trazo.line_cap(agg::round_cap);
    Trazo.line_join(agg::round_join);
    Trazo.width(Ancho);
    Salida.Vacia();
    Trazo.rewind(0);
    double x, y;
    for (unsigned Orden; !agg::is_stop(Orden = Trazo.vertex(&x, &y));) {
      if (agg::is_move_to(Orden)) Salida.Inicios.push_back(Salida.Vertices.size());
      if (agg::is_vertex(Orden)) Salida.Vertices.push_back({x, y});
    }
  }
};

// What differs between the two pictures of every diagram drawn.
struct TDiferencia {
  long Pixeles = 0, Distintos = 0;
  int Mayor = 0;  // the largest difference of one channel
};

class Contorno : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AjustaBitmap(Propio, Agg, 640, 400));
    ASSERT_TRUE(AjustaBitmap(DeAgg, Referencia, 640, 400));
  }

  // `t` and up to `Pasos` passes of the engine after it, each compared; `t` is released.
  void ComparaPasos(TExprLambda* t, int Pasos) {
    TMotor Motor;
    int32_t n = 0;
    for (int Paso = 0; t != nullptr && Paso <= Pasos; ++Paso) {
      Renumera(t, n);
      Compara(t);
      bool Cambio = false;
      t = Motor.Reduce(t, Cambio, false);
      if (!Cambio) break;
    }
    Libera(t);
  }
  // `t` at every zoom and shift, with its halo and chosen redex, through both outlines.
  void Compara(TExprLambda* t) {
    std::vector<TAplicacion*> Siguientes, Todos;
    SiguientesRedex(t, true, Siguientes);
    TodosLosRedex(t, Todos);
    const std::vector<TExprLambda*> Halo(Siguientes.begin(), Siguientes.end());
    for (double Zoom : {0.3, 0.77, 1.0, 1.5, 2.35, 4.1, 9.7, 23.0})
      for (int k = 0; k < 3; ++k) {
        TExtrasDiagrama Extras{0.37 * k, -0.61 * k, k > 0 ? &Halo : nullptr,
                               k > 1 && !Todos.empty() ? Todos.back() : nullptr};
        int32_t n = 0;
        Redibuja(t, Propio, Agg, Zoom, n, Extras);
        Redibuja(t, DeAgg, Referencia, Zoom, n, Extras);
        Suma();
      }
  }
  void Suma() {
    const long n = long(Propio.Width()) * Propio.Height();
    Total.Pixeles += n;
    const uint8_t *a = Propio.Pixeles(), *b = DeAgg.Pixeles();
    if (std::memcmp(a, b, std::size_t(n) * 4) == 0) return;
    for (long i = 0; i < n; ++i, a += 4, b += 4) {
      int m = 0;
      for (int c = 0; c < 4; ++c) m = std::max(m, std::abs(a[c] - b[c]));
      Total.Distintos += m > 0;
      Total.Mayor = std::max(Total.Mayor, m);
    }
  }
  void TearDown() override {
    std::cout << Total.Distintos << " of " << Total.Pixeles << " pixels differ, by at most "
              << Total.Mayor << " in a channel\n";
    GuardaSiFalla(Propio);
  }

  TBitmap Propio, DeAgg;
  TAgg2DPlus Agg;
  TAgg2DReferencia Referencia;
  TDiferencia Total;
};

TEST_F(Contorno, TheWorkloadsDrawAsWithAggsStroker) {
  const std::vector<TCarga> Cargas = LeeCargas(LAMBDA_BENCH_DIR);
  ASSERT_GE(Cargas.size(), 10u);
  for (const TCarga& c : Cargas) {
    if (c.Nombre == "church_100k_literal") continue;  // a numeral, as pow_2_10's normal form
    TDefiniciones Ninguna;
    std::string Error;
    TExprLambda* t = Analiza(c.Texto, Ninguna, nullptr, Error);
    ASSERT_EQ(Error, "") << c.Nombre;
    ComparaPasos(t, 3);
  }
  EXPECT_EQ(Total.Distintos, 0);
}

TEST_F(Contorno, TheLessonsDrawAsWithAggsStroker) {
  for (const char* Leccion :
       {"numerales", "combinadores", "listas", "logica", "recursion", "estrategias"}) {
    std::ifstream f(std::string(EJEMPLOS_DIR) + "/" + Leccion + ".txt");
    ASSERT_TRUE(f) << Leccion;
    TDefiniciones Definiciones;
    for (std::string Nombre, Texto; std::getline(f, Nombre);) {
      if (Nombre.empty() || Nombre[0] == '#') continue;  // a comment, an exercise, a blank line
      if (!std::getline(f, Texto)) break;
      std::string Error;
      TExprLambda* t = Analiza(Texto, Definiciones, nullptr, Error);
      ASSERT_EQ(Error, "") << Leccion << ": " << Texto;
      Definiciones.Agrega(Nombre, t->Copia(), Texto);
      ComparaPasos(t, 0);
    }
  }
  EXPECT_EQ(Total.Distintos, 0);
}

// Beyond the diagram's proportions: shapes anywhere, of any size and stroke width, and the
// degenerate ones (a rectangle flat as a segment, a point, a segment of no length).
TEST_F(Contorno, AnyShapeDrawsAsWithAggsStroker) {
  for (int k = 0; k < 400; ++k) {
    for (TAgg2D* a : {static_cast<TAgg2D*>(&Agg), static_cast<TAgg2D*>(&Referencia)}) {
      std::mt19937 Formas(k);  // the same shapes on both
      a->clearAll(255, 255, 240);
      const auto En = [&](double x, double y) { return x + (y - x) * (Formas() / 4294967296.0); };
      a->lineWidth(std::pow(10, En(-2, 2)));
      a->lineColor(0, 0, 0, 200);
      a->fillColor(200, 100, 0, 120);
      const double x = En(-50, 690), y = En(-50, 450), r = std::pow(10, En(-2, 2.5));
      a->line(x, y, k % 7 ? En(-50, 690) : x, k % 5 ? En(-50, 450) : y);
      a->rectangle(x, y, k % 3 ? x + En(-r, r) : x, y + En(-r, r));
      a->ellipse(En(-50, 690), y, r, k % 2 ? r : r * En(0, 3));
    }
    Suma();
  }
  EXPECT_EQ(Total.Distintos, 0);
}

}  // namespace
