// SPDX-License-Identifier: GPL-3.0-or-later
// Terms of depth 1,000,000: every operation must work on them without running out of stack.
// These tests run in a process whose stack is limited to 1 MiB (see CMakeLists.txt).
#include <gtest/gtest.h>

#include "Ayuda.h"
#include "uLectura.h"
#include "uNombres.h"
#include "uReduccion.h"

namespace {

constexpr int Hondo = 1'000'000;

// A distinct lowercase name for every number.
std::string Nombre(int i) {
  std::string s;
  do {
    s += static_cast<char>('a' + i % 26);
    i /= 26;
  } while (i);
  return s;
}

// Every operation on one deep term; printed, it must read back as itself. (A million distinct
// variables print with tens of thousands of apostrophes each, so such terms are not printed.)
void TodasLasOperaciones(const std::string& texto, std::size_t profundidadMinima,
                         bool imprime = true) {
  std::size_t vivos = NodosVivos();
  TExprLambda* t = Lee(texto);
  ASSERT_TRUE(t);
  EXPECT_GE(Profundidad(t), profundidadMinima);
  EXPECT_TRUE(EsValido(t));
  TExprLambda* c = t->Copia();
  EXPECT_TRUE(EsValido(c));
  if (imprime) {
    std::string impreso = Imprime(t);
    EXPECT_EQ(Imprime(c), impreso);
    TExprLambda* releido = Lee(impreso);
    ASSERT_TRUE(releido);
    EXPECT_EQ(Imprime(releido), impreso);
    Libera(releido);
  } else {
    int32_t n;
    Renumera(c, n);
    EXPECT_EQ(n, static_cast<int32_t>(profundidadMinima));
  }
  std::size_t visitas = 0;
  c->RecorrePre([&](TExprLambda*) { ++visitas; });
  c->RecorrePost([&](TExprLambda*) { --visitas; });
  EXPECT_EQ(visitas, 0u);
  for (bool multiple : {false, true}) {
    TMotor motor;
    bool cambio = false;
    c = motor.Reduce(c, cambio, multiple);
    EXPECT_TRUE(EsValido(c));
  }
  Libera(c);
  Libera(t);
  EXPECT_EQ(NodosVivos(), vivos);
}

}  // namespace

TEST(Profundidad, NumeralDeChurch) {
  std::string s = "\\f.\\x.";
  for (int i = 0; i < Hondo; ++i) s += "f (";
  s += "x" + std::string(Hondo, ')');
  TodasLasOperaciones(s, Hondo);
}

TEST(Profundidad, EspinaIzquierda) {
  std::string s = "x";
  for (int i = 0; i < Hondo; ++i) s += " y";
  TodasLasOperaciones(s, Hondo);
  // The same chain written with explicit parentheses.
  std::string p(Hondo, '(');
  p += "x";
  for (int i = 0; i < Hondo; ++i) p += " y)";
  TodasLasOperaciones(p, Hondo);
}

TEST(Profundidad, AbstraccionesAnidadas) {
  std::string s;
  for (int i = 0; i < Hondo; ++i) s += "\\" + Nombre(i) + ".";
  s += "a b";
  TodasLasOperaciones(s, Hondo, false);
  // One binder list of a million variables.
  std::string lista = "\\";
  for (int i = 0; i < Hondo; ++i) lista += Nombre(i) + " ";
  lista += ". a";
  TodasLasOperaciones(lista, Hondo, false);
}

// With names kept, a million binders print with the names written, and read back.
TEST(Profundidad, ConLosNombresConservados) {
  std::string s;
  for (int i = 0; i < Hondo; ++i) s += "\\" + Nombre(i) + ".";
  s += "a b";
  TExprLambda* t = Lee(s);
  ASSERT_TRUE(t);
  const TModoImpresion Nombres{true, nullptr};
  int32_t n;
  std::size_t l = Renumera(t, n, {}, Nombres);
  std::string impreso = TextoConPulso(t, l, {}, Nombres);
  EXPECT_EQ(LongitudTexto(t, SIZE_MAX, {}, Nombres), l);
  EXPECT_EQ(impreso.substr(0, 12), "\\ a . \\ b . ");
  TExprLambda* r = Lee(impreso);
  ASSERT_TRUE(r);
  EXPECT_TRUE(MismaEstructura(r, t));
  Libera(r);
  Libera(t);
}

TEST(Profundidad, ParentesisAnidados) {
  std::string s = std::string(Hondo, '(') + "x" + std::string(Hondo, ')');
  TExprLambda* t = Lee(s);
  ASSERT_TRUE(t);
  EXPECT_EQ(Imprime(t), "a");
  Libera(t);
  EXPECT_EQ(ErrorDe(std::string(Hondo, '(') + "x"), Mensajes::ParentesisNoCerrado);
}

TEST(Profundidad, CadenaDeRedexes) {
  // (\x.x) ((\x.x) (... y)): single mode contracts the outermost, multiple mode too; run to
  // the normal form in single mode with the engine resuming where it left off.
  std::string s;
  const int n = Hondo / 4;
  for (int i = 0; i < n; ++i) s += "(\\x.x) (";
  s += "y" + std::string(n, ')');
  TExprLambda* t = Lee(s);
  ASSERT_TRUE(t);
  TMotor motor;
  NumReducciones = 0;
  bool cambio = true;
  while (cambio) {
    cambio = false;
    t = motor.Reduce(t, cambio, false);
  }
  EXPECT_EQ(NumReducciones, n);
  EXPECT_EQ(Imprime(t), "a");
  Libera(t);
}

TEST(Profundidad, CadaEstrategia) {
  // No redex under a million levels; one redex at the bottom of a million-long spine; chains of
  // redexes nested in the argument and of η-redexes nested in the function part (shorter, as in
  // CadenaDeRedexes, and long names take long to read), a thousand steps into each.
  const int n = Hondo / 4, m = Hondo / 10;
  std::string church = "\\f.\\x.", espina = "(\\x.x) y", cadena, etas;
  for (int i = 0; i < Hondo; ++i) church += "f (";
  church += "x" + std::string(Hondo, ')');
  for (int i = 0; i < Hondo; ++i) espina += " y";
  for (int i = 0; i < n; ++i) cadena += "(\\x.x) (";
  cadena += "y" + std::string(n, ')');
  for (int i = 0; i < m; ++i) etas += "\\" + Nombre(i) + ".(";
  etas += "f";
  for (int i = m; i-- > 0;) etas += ") " + Nombre(i);
  std::size_t vivos = NodosVivos();
  for (const std::string* texto : {&church, &espina, &cadena, &etas}) {
    TExprLambda* original = Lee(*texto);
    ASSERT_TRUE(original);
    for (TEstrategia e : Estrategias)
      for (bool eta : {false, true}) {
        if (eta && !AdmiteEta(e)) continue;
        TExprLambda* t = original->Copia();
        TMotor motor;
        motor.FijaModo({e, eta});
        std::vector<TExprLambda*> proximos;
        motor.Proximos(t, false, proximos);
        bool cambio = true;
        int pasos = 0;
        for (; cambio && pasos < 1000; ++pasos) {
          cambio = false;
          t = motor.Reduce(t, cambio, false);
        }
        EXPECT_TRUE(EsValido(t)) << ClaveEstrategia(e);
        Libera(t);
      }
    Libera(original);
  }
  EXPECT_EQ(NodosVivos(), vivos);
}
