// SPDX-License-Identifier: GPL-3.0-or-later
// Random terms at random zooms and sizes, and terms a million levels deep.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Ayuda.h"
#include "uDiagrama.h"

namespace {

// Random expression text over a few variable names, with a bounded nesting. No binder reuses
// a name already bound around it (the parser refuses that).
void Expresion(std::mt19937& azar, int profundidad, std::string& texto, unsigned ligadas = 0) {
  const char* nombres[] = {"a", "b", "c", "d", "e", "f"};
  const int tipo = profundidad <= 0 ? 0 : int(azar() % 3);
  const unsigned libre = azar() % 6;
  if (tipo == 0 || (tipo == 1 && (ligadas >> libre & 1))) {
    texto += nombres[azar() % 6];
  } else if (tipo == 1) {
    texto += "\\";
    texto += nombres[libre];
    texto += ".";
    Expresion(azar, profundidad - 1, texto, ligadas | 1u << libre);
  } else {
    texto += "(";
    Expresion(azar, profundidad - 1, texto, ligadas);
    texto += ") (";
    Expresion(azar, profundidad - 1, texto, ligadas);
    texto += ")";
  }
}

TEST(PropiedadesDiagrama, LayoutOfRandomTerms) {
  std::mt19937 azar(12345);
  for (int i = 0; i < 300; ++i) {
    std::string texto;
    Expresion(azar, 1 + i % 9, texto);
    TTermino t(texto.c_str());
    int32_t distintas = 0;
    Renumera(t, distintas);
    std::vector<TCaja> cajas;
    int32_t numVars = -1;
    Dispone(t, 1009, 1.0, cajas, numVars);
    EXPECT_EQ(numVars, distintas - 1) << texto;

    // Every width is 15k - 5 for k occurrences outside binders.
    int64_t variables = 0, funciones = 0;
    t->RecorrePre([&](TExprLambda* n) {
      if (EsVariable(n)) ++variables;
      if (EsFuncion(n)) ++funciones;
    });
    EXPECT_EQ(cajas.back().Ancho, 15 * (variables - funciones) - 5) << texto;

    // Parts lie inside their parent, an application's two side by side.
    auto caja = [&](TExprLambda* n) -> const TCaja* {
      if (TFuncion* f = ComoFuncion(n)) return &cajas[f->Caja];
      if (TAplicacion* a = ComoAplicacion(n)) return &cajas[a->Caja];
      return nullptr;
    };
    auto dentro = [](const TCaja& p, const TCaja& h) {
      return h.X >= p.X && h.Y > p.Y && h.X + h.Ancho <= p.X + p.Ancho &&
             h.Y + h.Alto <= p.Y + p.Alto;
    };
    t->RecorrePre([&](TExprLambda* n) {
      if (TFuncion* f = ComoFuncion(n)) {
        if (const TCaja* c = caja(f->Cuerpo)) {
          EXPECT_TRUE(dentro(*caja(n), *c)) << texto;
        }
      } else if (TAplicacion* a = ComoAplicacion(n)) {
        const TCaja* cf = caja(a->Func);
        const TCaja* ca = caja(a->Arg);
        for (const TCaja* parte : {cf, ca}) {
          if (parte) {
            EXPECT_TRUE(dentro(*caja(n), *parte)) << texto;
          }
        }
        if (cf && ca) {
          EXPECT_EQ(cf->X + cf->Ancho + 5, ca->X) << texto;
        }
      }
    });
  }
}

TEST(PropiedadesDiagrama, RenderingStaysInsideTheLayout) {
  std::mt19937 azar(777);
  TBitmap bitmap;
  TAgg2DPlus agg;
  for (int i = 0; i < 60; ++i) {
    std::string texto;
    Expresion(azar, 1 + i % 6, texto);
    TTermino t(texto.c_str());
    const double zoom = std::pow(1.2, int(azar() % 13) - 6);
    AjustaBitmap(bitmap, agg, 200 + int(azar() % 700), 150 + int(azar() % 300));
    int32_t numVars = 0;
    Redibuja(t, bitmap, agg, zoom, numVars);
    std::vector<TCaja> cajas;
    Dispone(t, bitmap.Width(), zoom, cajas, numVars);
    const TCaja& r = cajas.back();
    // Junction dots reach 3 units above a box, a body's dot 1 unit below; strokes half their
    // width around that.
    const double margen = 0.75 * zoom + 1;
    const double x1 = double(r.X) * zoom - margen, x2 = double(r.X + r.Ancho) * zoom + margen;
    const double y1 = double(r.Y - 3) * zoom - margen,
                 y2 = double(r.Y + r.Alto + 1) * zoom + margen;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (bitmap.Pixel(x, y) != ColorFondo) {
          ASSERT_TRUE(x + 1 > x1 && x < x2 && y + 1 > y1 && y < y2)
              << texto << " at " << x << "," << y << " zoom " << zoom;
        }
    GuardaSiFalla(bitmap);
  }
}

// Any zoom, any size, including those no picture fits: the sanitizers must stay silent.
TEST(PropiedadesDiagrama, AnyZoomAnySize) {
  std::mt19937 azar(4242);
  TBitmap bitmap;
  TAgg2DPlus agg;
  const double inf = std::numeric_limits<double>::infinity();
  const double especiales[] = {0.0, inf, std::nan(""), 1e-320, 1e300, -1.2, 1e6, 1e-6};
  for (int i = 0; i < 300; ++i) {
    std::string texto;
    Expresion(azar, 1 + i % 7, texto);
    TTermino t(texto.c_str());
    double zoom = i % 5 == 0 ? especiales[azar() % 8] : std::pow(1.2, int(azar() % 801) - 400);
    AjustaBitmap(bitmap, agg, int(azar() % 300) - 20, int(azar() % 200) - 20);
    int32_t numVars = 0;
    Redibuja(t, bitmap, agg, zoom, numVars);
    EXPECT_GE(numVars, 0);
  }
}

// Runs `f` on a thread with a stack of 1 MB: far too small for recursion a million deep.
template <typename F>
void ConPilaPequena(F f) {
  pthread_attr_t atributos;
  pthread_attr_init(&atributos);
  pthread_attr_setstacksize(&atributos, 1 << 20);
  pthread_t hilo;
  ASSERT_EQ(pthread_create(
                &hilo, &atributos,
                [](void* p) -> void* {
                  (*static_cast<F*>(p))();
                  return nullptr;
                },
                &f),
            0);
  pthread_join(hilo, nullptr);
  pthread_attr_destroy(&atributos);
}

constexpr int Hondo = 1'000'000;

// \x1.\x2. ... \xn. x1
TExprLambda* Abstracciones(int n) {
  TFuncion* raiz = new TFuncion;
  raiz->Param = new TVariable;
  TFuncion* f = raiz;
  for (int i = 1; i < n; ++i) {
    TFuncion* g = new TFuncion;
    g->Param = new TVariable;
    f->Cuerpo = g;
    f = g;
  }
  f->Cuerpo = raiz->Param;
  return raiz;
}

// \x. x x ... x, applications nested to the left (izquierda) or to the right.
TExprLambda* Espina(int n, bool izquierda) {
  TFuncion* raiz = new TFuncion;
  TVariable* x = raiz->Param = new TVariable;
  TExprLambda* cuerpo = x;
  for (int i = 0; i < n; ++i)
    cuerpo = izquierda ? new TAplicacion(cuerpo, x) : new TAplicacion(x, cuerpo);
  raiz->Cuerpo = cuerpo;
  return raiz;
}

TEST(PropiedadesDiagrama, AMillionLevelsDeep) {
  struct {
    TExprLambda* Termino;
    int64_t Ancho, Alto;
    int32_t NumVars;
  } const casos[] = {
      {Abstracciones(Hondo), 10, 32LL * Hondo + 10, Hondo - 1},
      {Espina(Hondo, true), 15LL * (Hondo + 1) - 5, 32 + 22LL * Hondo + 10, 0},
      {Espina(Hondo, false), 15LL * (Hondo + 1) - 5, 32 + 22LL * Hondo + 10, 0},
  };
  for (const auto& caso : casos) {
    TTermino t(caso.Termino);
    TCaja raiz;
    int32_t numVars = -1;
    TBitmap bitmap;
    ConPilaPequena([&] {
      TAgg2DPlus agg;
      std::vector<TCaja> cajas;
      Dispone(t, 1009, 1.0, cajas, numVars);
      raiz = cajas.back();
      AjustaBitmap(bitmap, agg, 1009, 500);
      Redibuja(t, bitmap, agg, 1.0, numVars);
    });
    EXPECT_EQ(raiz.Ancho, caso.Ancho);
    EXPECT_EQ(raiz.Alto, caso.Alto);
    if (caso.Ancho == 10) {
      EXPECT_NE(bitmap.Pixel(505, 30), ColorFondo);  // the top stem
    }
    EXPECT_EQ(raiz.X, PosicionRaiz(caso.Ancho, 1009, 1.0));
    EXPECT_EQ(numVars, caso.NumVars);
  }
}

}  // namespace
