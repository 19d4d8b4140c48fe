// SPDX-License-Identifier: GPL-3.0-or-later
// Every command on terms a million nodes deep. Also run with a 256 KiB stack (see CMakeLists).
#include <gtest/gtest.h>

#include <vector>

#include "Comun.h"
#include "uFichero.h"
#include "uLambda.h"
#include "uReduccion.h"

namespace {

// The sanitizers make every node a separate allocation and every access checked; they look at
// the same paths at a smaller depth, while the normal build runs the full depth on a small stack.
#if defined(__SANITIZE_ADDRESS__)
constexpr int Profundidad = 100000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int Profundidad = 100000;
#else
constexpr int Profundidad = 1000000;
#endif
#else
constexpr int Profundidad = 1000000;
#endif

// \f.\x.f (f (... (f x)...)): a right spine.
TExprLambda* Numeral(int n) {
  auto* f = new TFuncion;
  f->Param = new TVariable;
  auto* x = new TFuncion;
  x->Param = new TVariable;
  f->Cuerpo = x;
  TExprLambda* c = x->Param;
  for (int i = 0; i < n; ++i) c = new TAplicacion(f->Param, c);
  x->Cuerpo = c;
  return f;
}

// y y y ... y: a left spine of one free variable.
TExprLambda* Espina(int n) {
  auto* y = new TVariable(true);
  TExprLambda* t = Retiene(y);
  for (int i = 0; i < n; ++i) t = new TAplicacion(t, Retiene(y));
  return t;
}

// \a.\b.\c. ... a: nested abstractions.
TExprLambda* Anidadas(int n) {
  std::vector<TVariable*> P;
  for (int i = 0; i < n; ++i) P.push_back(new TVariable);
  TExprLambda* t = P[0];
  for (int i = n - 1; i >= 0; --i) {
    auto* f = new TFuncion;
    f->Param = P[static_cast<std::size_t>(i)];
    f->Cuerpo = t;
    t = f;
  }
  return t;
}

void TodasLasOrdenes(TExprLambda* Termino, std::size_t Tamano = Profundidad) {
  TCarpeta c;
  TBanco b;
  b.Vista.AnchoLienzo = 64;
  b.Vista.AltoLienzo = 64;
  b.Mesa.FijaIntervalo(3600);
  b.Mesa.Sesion.CambiaActual(Termino);
  b.Pestana(0);
  EXPECT_GT(b.Vista.Memo().size(), Tamano);
  b.Pestana(1);
  b.Mesa.LienzoPaint(80, 80);
  b.Vista.Ent = "(\\q.q) %";
  b.Vista.Def = "D";
  b.Mesa.edtEntKeyPress('\r');
  ASSERT_EQ(b.Vista.Estado, "");
  // The pointer on the canvas, a click there and the keyboard's choice.
  for (double x : {12.0, 30.0, 60.0}) b.Mesa.LienzoApunta(x, 40);
  b.Mesa.LienzoPulsa(30, 40);
  b.Mesa.SeleccionaRedex(false);
  b.Mesa.ContraeSeleccionado();
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaClick();
  b.Mesa.btnBackClick();
  b.Mesa.UpDown1ChangingEx(updUp);
  b.Mesa.btnBetaAllClick();
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
  EXPECT_GT(b.Mesa.Sesion.LineaDefinicion(0).size(), Tamano);
  b.Vista.RutaSalvar = c.Ruta("d.txt");
  b.Mesa.Salvar1Click();
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  b.Vista.RutaAbrir = c.Ruta("d.txt");
  b.Mesa.Abrir1Click();  // the parser may refuse a line this long, but nothing breaks
  EXPECT_TRUE(EsValido(b.Mesa.Sesion.TerminoActual()));
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta() + static_cast<std::size_t>(b.Vista.Errores), 1u);
}

TEST(Profundo, Numeral) {
  TodasLasOrdenes(Numeral(Profundidad));
}
TEST(Profundo, Espina) {
  TodasLasOrdenes(Espina(Profundidad));
}
// Every binder prints under a name of its own (a..z, a'..z', ...), so the text grows with the
// square of the depth; this depth keeps it to tens of megabytes.
TEST(Profundo, Anidadas) {
  TodasLasOrdenes(Anidadas(30000), 30000);
}

TEST(Profundo, MuchasPasadas) {
  // (\v.v) ((\v.v) (... y)): one contraction per pass, run with the views paced.
  constexpr int n = 100000;
  TExprLambda* t = Retiene(new TVariable(true));
  for (int i = 0; i < n; ++i) {
    auto* f = new TFuncion;
    f->Param = new TVariable;
    f->Cuerpo = f->Param;
    t = new TAplicacion(f, t);
  }
  TBanco b;
  b.Pestana(0);
  b.Mesa.FijaIntervalo(3600);
  b.Mesa.Sesion.CambiaActual(t);
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "a");
  EXPECT_EQ(b.Vista.Estado, " 100.000 reducciones");
}

// "Mostrar los nombres de las definiciones" on deep terms: y I I ... I, whose arguments print as
// a name, and a numeral that prints as one once it is defined.
TEST(Profundo, NombresDeLasDefiniciones) {
  TBanco b;
  b.Pestana(0);
  b.Mesa.FijaIntervalo(3600);
  b.Vista.Pliega = true;
  b.Entra("\\v.v", "I");
  TExprLambda* t = Retiene(new TVariable(true));
  for (int i = 0; i < Profundidad; ++i) {
    auto* f = new TFuncion;
    f->Param = new TVariable;
    f->Cuerpo = f->Param;
    t = new TAplicacion(t, f);
  }
  b.Mesa.Sesion.CambiaActual(t);
  b.Pestana(0);
  EXPECT_EQ(b.Vista.Memo().size(), 1 + 2 * std::size_t{Profundidad});
  EXPECT_EQ(b.Vista.Memo().substr(0, 6), "a I I ");
  b.Mesa.Sesion.CambiaActual(Numeral(Profundidad));
  b.Entra("%", "N");
  b.Mesa.NombresClick();
  EXPECT_EQ(b.Vista.Memo(), "N");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "N");
}

}  // namespace
