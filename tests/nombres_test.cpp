// SPDX-License-Identifier: GPL-3.0-or-later
// "Conservar los nombres": terms print with the names the user wrote, changed only where the text
// would not read back as the same term.
#include <gtest/gtest.h>

#include <random>

#include "Ayuda.h"
#include "uNombres.h"
#include "uReduccion.h"

namespace {

constexpr TModoImpresion Conservados{true, nullptr};

std::string ConNombres(TExprLambda* t) {
  int32_t n;
  std::size_t l = Renumera(t, n, {}, Conservados);
  std::string s = TextoConPulso(t, l, {}, Conservados);
  EXPECT_EQ(LongitudTexto(t, SIZE_MAX, {}, Conservados), s.size());
  return s;
}

// The text with names kept of `texto` after `pasos` passes of normal order.
std::string TrasPasos(const std::string& texto, int pasos) {
  TExprLambda* t = Lee(texto);
  EXPECT_TRUE(t) << texto;
  TMotor m;
  for (bool c = true; c && pasos-- > 0;) {
    c = false;
    t = m.Reduce(t, c, false);
  }
  std::string s = ConNombres(t);
  Libera(t);
  return s;
}

// Random closed and open terms whose binders reuse a few names, so that reduction brings
// binders of one name into one another's scope and under free variables of that name.
std::string Aleatorio(std::mt19937& Azar, int tam, std::vector<std::string>& Ligadas) {
  auto Entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(Azar); };
  const char* Nombres[] = {"x", "y", "f", "x'"};
  if (tam <= 1) {
    if (!Ligadas.empty() && Entre(0, 3) > 0)
      return Ligadas[static_cast<std::size_t>(Entre(0, static_cast<int>(Ligadas.size()) - 1))];
    return Nombres[Entre(0, 3)];
  }
  std::string v = Nombres[Entre(0, 3)];
  if (Entre(0, 2) == 0 && std::find(Ligadas.begin(), Ligadas.end(), v) == Ligadas.end()) {
    Ligadas.push_back(v);
    std::string s = "(\\" + v + "." + Aleatorio(Azar, tam - 1, Ligadas) + ")";
    Ligadas.pop_back();
    return s;
  }
  int izq = Entre(1, tam - 1);
  return "(" + Aleatorio(Azar, izq, Ligadas) + " " + Aleatorio(Azar, tam - izq, Ligadas) + ")";
}

}  // namespace

TEST(Nombres, SeImprimenLosDelUsuario) {
  EXPECT_EQ(TrasPasos("\\x y.y x", 0), "\\ x . \\ y . y x");
  EXPECT_EQ(TrasPasos("\\suc n'.suc (n' suc)", 0), "\\ suc . \\ n' . suc (n' suc)");
  // Free variables keep theirs, and the letters come back with the option off.
  TExprLambda* t = Lee("(\\f.f y) g");
  EXPECT_EQ(ConNombres(t), "(\\ f . f y) g");
  EXPECT_EQ(Imprime(t), "(\\ a . a b) c");
  Libera(t);
}

TEST(Nombres, LaSustitucionYLaCopiaLosLlevan) {
  EXPECT_EQ(TrasPasos("(\\f x.f (f x)) (\\n.n n)", 1), "\\ x . (\\ n . n n) ((\\ n . n n) x)");
  TDefiniciones defs;
  defs.Agrega("DOS", Lee("\\s z.s (s z)"));
  TExprLambda* t = Lee("DOS DOS", defs);
  EXPECT_EQ(ConNombres(t), "(\\ s . \\ z . s (s z)) (\\ s . \\ z . s (s z))");
  Libera(t);
}

// A binder whose name an enclosing binder prints gets apostrophes until it is unique.
TEST(Nombres, UnLigadorQueOcultariaAOtroSeRenombra) {
  EXPECT_EQ(TrasPasos("(\\f x.f x) (\\x.x)", 1), "\\ x . (\\ x' . x') x");
  EXPECT_EQ(TrasPasos("(\\f x x'.f x) (\\x.x)", 1), "\\ x . \\ x' . (\\ x'' . x'') x");
  // Above every name of its stem in scope, whatever gaps they leave.
  EXPECT_EQ(TrasPasos("(\\f x x''.f x) (\\x.x)", 1), "\\ x . \\ x'' . (\\ x''' . x''') x");
}

// A binder that would capture a free variable of its name gets apostrophes; one whose body does
// not hold it keeps its name.
TEST(Nombres, UnLigadorQueCapturariaUnaLibreSeRenombra) {
  EXPECT_EQ(TrasPasos("(\\f y.f) y", 1), "\\ y' . y");
  EXPECT_EQ(TrasPasos("(\\f y.f y) (y y')", 1), "\\ y'' . y y' y''");
  EXPECT_EQ(TrasPasos("(\\y.y) y", 0), "(\\ y . y) y");
  // Two free variables of one name (the second from another text) print apart.
  TExprLambda* y = Lee("y");
  std::string e;
  TExprLambda* u = Analiza("% y", TDefiniciones(), y, e);
  EXPECT_EQ(ConNombres(u), "y y'");
  Libera(u);
  Libera(y);
}

// With names kept, the text reads back as the same term (the letters' text, which numbers the
// variables by appearance, is the same), and prints the same again.
TEST(Nombres, ImprimirYReleerDaElMismoTermino) {
  std::mt19937 Azar(7);
  for (int i = 0; i < 1500; ++i) {
    std::vector<std::string> Ligadas;
    const std::string texto = Aleatorio(Azar, 2 + i % 40, Ligadas);
    TExprLambda* t = Lee(texto);
    ASSERT_TRUE(t) << texto;
    TMotor m;
    for (int paso = 0; paso < 6; ++paso) {
      const std::string impreso = ConNombres(t);
      TExprLambda* r = Lee(impreso);
      ASSERT_TRUE(r) << texto << " -> " << impreso;
      EXPECT_EQ(Imprime(r), Imprime(t)) << impreso;
      EXPECT_EQ(ConNombres(r), impreso);
      Libera(r);
      bool c = false;
      t = m.Reduce(t, c, false);
      if (!c || CuentaNodos(t) > 2000) break;
    }
    Libera(t);
  }
}
