// SPDX-License-Identifier: GPL-3.0-or-later
// The redex the user chooses: on random terms, contracting chosen redexes through the workbench
// gives what the reference reducer gives for the same redex, back undoes one, and two roads that
// both reach a normal form reach the same one. The steps panel's history gives back its terms.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "../Literal.h"
#include "Comun.h"

namespace {

// Contracts redex n (from 0) of e in preorder, which is the order of their printed starts.
literal::Expr* ContraeEnesimo(literal::Expr* e, int& n) {
  using namespace literal;
  if (Fun* f = dynamic_cast<Fun*>(e)) {
    f->Cuerpo = ContraeEnesimo(f->Cuerpo, n);
  } else if (Apl* a = dynamic_cast<Apl*>(e)) {
    Fun* g = dynamic_cast<Fun*>(a->Func);
    if (g && n-- == 0) {
      Expr* r = g->Cuerpo->Sustituye(g->Param, a->Arg);
      g->Cuerpo = nullptr;
      delete a;
      return r;
    }
    if (n >= 0) a->Func = ContraeEnesimo(a->Func, n);
    if (n >= 0) a->Arg = ContraeEnesimo(a->Arg, n);
  }
  return e;
}

std::string Aleatorio(std::mt19937& Azar, int Tam, int Ligadas) {
  auto Entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(Azar); };
  if (Tam <= 1) {
    const int v = Entre(0, Ligadas + 1);
    return v < Ligadas ? "v" + std::string(static_cast<std::size_t>(v + 1), 'q')
                       : std::string(1, "xy"[v - Ligadas]);
  }
  const int Izq = Entre(1, Tam - 1);
  switch (Entre(0, 2)) {
    case 0:
      return "(\\v" + std::string(static_cast<std::size_t>(Ligadas + 1), 'q') + "." +
             Aleatorio(Azar, Tam - 1, Ligadas + 1) + ")";
    case 1:
      return "((\\v" + std::string(static_cast<std::size_t>(Ligadas + 1), 'q') + "." +
             Aleatorio(Azar, Izq, Ligadas + 1) + ") " + Aleatorio(Azar, Tam - Izq, Ligadas) + ")";
    default:
      return "(" + Aleatorio(Azar, Izq, Ligadas) + " " + Aleatorio(Azar, Tam - Izq, Ligadas) + ")";
  }
}

TEST(Eleccion, IgualQueLaReferenciaYMismaFormaNormal) {
  std::mt19937 Azar(24);
  const TEstrategia Modos[] = {TEstrategia::Normal, TEstrategia::Aplicativo, TEstrategia::Cabeza};
  int Comparadas = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string Texto = Aleatorio(Azar, 3 + i % 14, 0);
    std::string Normal;  // the first road's normal form
    for (int Camino = 0; Camino < 2; ++Camino) {
      TBanco b;
      b.Pestana(TMesaTrabajo::PestanaTexto);
      b.Vista.Modo.Estrategia = Modos[(i + Camino) % 3];  // the choice overrides any of them
      b.Entra(Texto);
      ASSERT_TRUE(b.Mesa.Sesion.TerminoActual()) << Texto;
      literal::Termino Lit;
      literal::Convierte(b.Mesa.Sesion.TerminoActual(), Lit);
      std::size_t n = b.Mesa.Eleccion.RangosRedex().size() / 3;
      for (int Paso = 0; n > 0 && Paso < 30 && b.Vista.Memo().size() < 3000; ++Paso) {
        const std::string Antes = b.Vista.Memo();
        int k = std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(Azar);
        b.Mesa.ContraeRedex(static_cast<std::size_t>(k));
        ASSERT_TRUE(b.Vista.Back);
        if (Paso % 4 == 3) {  // back, then the same choice again
          b.Mesa.btnBackClick();
          ASSERT_EQ(b.Vista.Memo(), Antes) << Texto;
          b.Mesa.ContraeRedex(static_cast<std::size_t>(k));
        }
        Lit.Raiz = ContraeEnesimo(Lit.Raiz, k);
        ASSERT_EQ(b.Vista.Memo(), Lit.Texto()) << Texto << " paso " << Paso;
        n = b.Mesa.Eleccion.RangosRedex().size() / 3;
      }
      const std::string Ultimo = b.Vista.Memo();
      b.Mesa.ContraeRedex(n);  // past the list: nothing
      ASSERT_EQ(b.Vista.Memo(), Ultimo);
      if (n > 0) break;
      if (Camino == 0) Normal = b.Vista.Memo();
      if (Camino == 1) {
        EXPECT_EQ(b.Vista.Memo(), Normal) << Texto;
        ++Comparadas;
      }
    }
  }
  EXPECT_GT(Comparadas, 100);
}

// With the steps shown, every term of a road is listed; going to a line, or back through the
// list, gives exactly the term listed, and a step from an earlier line replaces the later ones.
TEST(Pasos, IrYAtrasDevuelvenLoListado) {
  std::mt19937 Azar(7);
  for (int i = 0; i < 150; ++i) {
    const std::string Texto = Aleatorio(Azar, 4 + i % 12, 0);
    TBanco b;
    b.Vista.Pasos = true;
    b.Mesa.MostrarPasos1Click();
    b.Pestana(i % 2 ? TMesaTrabajo::PestanaTexto : 1);
    b.Entra(Texto);
    std::vector<std::string> Vistos{b.Vista.Memo()};
    for (int Paso = 0; Paso < 12 && b.Vista.Memo().size() < 2000; ++Paso) {
      const std::size_t n = b.Mesa.Eleccion.RangosRedex().size() / 3;
      if (n == 0) break;
      if (Paso % 3 == 1)
        b.Mesa.btnBetaClick();
      else
        b.Mesa.ContraeRedex(std::uniform_int_distribution<std::size_t>(0, n - 1)(Azar));
      Vistos.push_back(b.Vista.Memo());
    }
    const auto& Lineas = b.Mesa.Historial.Traza.Lineas();
    ASSERT_EQ(Lineas.size(), Vistos.size()) << Texto;
    for (std::size_t k = 0; k < Vistos.size(); ++k) ASSERT_EQ(*Lineas[k].Forma, Vistos[k]);
    for (std::size_t k = Vistos.size(); k-- > 1;) {
      ASSERT_TRUE(b.Vista.Back);
      b.Mesa.btnBackClick();
      ASSERT_EQ(b.Vista.Memo(), Vistos[k - 1]) << Texto;
    }
    EXPECT_FALSE(b.Vista.Back);
    const std::size_t j = std::uniform_int_distribution<std::size_t>(0, Vistos.size() - 1)(Azar);
    b.Mesa.IrALinea(j);
    ASSERT_EQ(b.Vista.Memo(), Vistos[j]) << Texto;
    EXPECT_EQ(b.Vista.Lectura.rfind("paso " + std::to_string(j), 0), 0u) << b.Vista.Lectura;
    ASSERT_EQ(Lineas.size(), Vistos.size());  // the later lines stay
    b.Mesa.btnBetaClick();
    if (b.Vista.Memo() != Vistos[j]) {
      EXPECT_EQ(Lineas.size(), j + 2) << Texto;
    }
  }
}

// On "Gráficos" the pointer finds a redex by its junction or its red stroke, within a few
// pixels: the innermost when several are that near, none over empty canvas.
TEST(Eleccion, RedexBajoElPuntero) {
  TBanco b;
  b.Vista.AnchoLienzo = 300;
  b.Vista.AltoLienzo = 200;
  b.Entra("(\\x.x) ((\\y.y y) z)");
  b.Mesa.LienzoPaint(300, 200);
  auto* Fuera = static_cast<TAplicacion*>(b.Mesa.Sesion.TerminoActual());
  auto* Dentro = static_cast<TAplicacion*>(Fuera->Arg);
  std::vector<TCaja> Cajas;
  int32_t NumVars = 0;
  Dispone(Fuera, 300, 1.0, Cajas, NumVars);
  auto Union = [&](TAplicacion* a) {
    const TCaja& c = Cajas[a->Caja];
    return std::pair{double(c.X) + double(c.Ancho) / 2, double(c.Y)};
  };
  const auto [xf, yf] = Union(Fuera);
  const auto [xd, yd] = Union(Dentro);
  EXPECT_EQ(b.Mesa.Eleccion.RedexEnLienzo(xf + 3, yf + 2), Fuera);
  EXPECT_EQ(b.Mesa.Eleccion.RedexEnLienzo(xd - 1, yd + 5),
            Dentro);  // on the red stroke, near its top
  EXPECT_EQ(b.Mesa.Eleccion.RedexEnLienzo(xf, yf + 60), nullptr);
  EXPECT_EQ(b.Mesa.Eleccion.RedexEnLienzo(290, 190), nullptr);
  // Zoomed out, both junctions lie within a few pixels of the outer one: the inner one wins.
  for (int i = 0; i < 12; ++i) b.Mesa.UpDown1ChangingEx(updDown);
  Dispone(Fuera, 300, b.Mesa.Vistas.Zoom, Cajas, NumVars);
  const auto [x, y] = Union(Fuera);
  EXPECT_EQ(b.Mesa.Eleccion.RedexEnLienzo(x * b.Mesa.Vistas.Zoom, y * b.Mesa.Vistas.Zoom), Dentro);
}

}  // namespace
