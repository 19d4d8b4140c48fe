// SPDX-License-Identifier: GPL-3.0-or-later
// The read-back of a term: fingerprint up to bound names, Church numerals, size, and the short
// printed form of the menu of definitions.
#include <gtest/gtest.h>

#include "Ayuda.h"
#include "uLectura.h"

namespace {

struct TDos {
  TExprLambda* a;
  TExprLambda* b;
  ~TDos() {
    Libera(a);
    Libera(b);
  }
};

}  // namespace

TEST(Lectura, IgualSalvoNombresLigados) {
  // Pairs that differ only in bound names, and pairs that differ in shape, in binding or in
  // which free variable occurs (free variables by identity: one parse shares them).
  for (auto [x, y, Iguales] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
           {"\\f x.f (f x)", "\\g y.g (g y)", true},
           {"\\x y.x", "\\a b.a", true},
           {"\\x y.x", "\\x y.y", false},
           {"\\x.x x", "\\x.x (\\y.y)", false},
           {"(\\x.x) (\\y.y)", "\\x.x", false}}) {
    TDos t{Lee(x), Lee(y)};
    ASSERT_TRUE(t.a && t.b);
    // The borrowed marks are given back as they were, also by a walk cut short with binders
    // open: the engine's search reads them.
    std::vector<uint32_t> Antes, Despues;
    auto Marcas = [&](std::vector<uint32_t>& m) {
      for (TExprLambda* u : {t.a, t.b})
        u->RecorrePre([&](TExprLambda* n) { m.push_back(n->Marca); });
    };
    Marcas(Antes);
    TLectura r;
    std::vector<uintptr_t> Pila;
    LeeTermino(t.a, r, 3, Pila);
    int32_t nv;
    RenumeraYLee(t.b, nv, r, Pila, {});
    EXPECT_EQ(MismaEstructura(t.a, t.b), Iguales) << x << " / " << y;
    EXPECT_EQ(LeeTermino(t.a).Huella == LeeTermino(t.b).Huella, Iguales) << x << " / " << y;
    EXPECT_TRUE(EsValido(t.a) && EsValido(t.b));
    Marcas(Despues);
    EXPECT_EQ(Antes, Despues) << x << " / " << y;
  }
  // Two parses make two free variables p; a copy shares its term's.
  TDos f{Lee("\\x.x p"), Lee("\\x.x p")};
  EXPECT_FALSE(MismaEstructura(f.a, f.b));
  TExprLambda* c = f.a->Copia();
  EXPECT_TRUE(MismaEstructura(f.a, c));
  EXPECT_EQ(LeeTermino(f.a).Huella, LeeTermino(c).Huella);
  Libera(c);
}

TEST(Lectura, NumeralesYTamano) {
  for (auto [x, n, Nodos] : std::initializer_list<std::tuple<const char*, int64_t, std::size_t>>{
           {"\\f x.x", 0, 3},
           {"\\f x.f x", 1, 5},
           {"\\f x.f (f (f x))", 3, 9},
           {"\\f.f", -1, 2},
           {"\\f x.x f", -1, 5},
           {"\\f x.f (f x) x", -1, 9},
           {"\\f x y.f x", -1, 6},
           {"\\f.\\x.f (\\y.x)", -1, 6}}) {
    TExprLambda* t = Lee(x);
    TLectura r = LeeTermino(t);
    EXPECT_EQ(r.Numeral, n) << x;
    EXPECT_EQ(r.Nodos, Nodos) << x;
    Libera(t);
  }
  // A reading that would pass its budget stops and gives the marks back.
  TExprLambda* t = Lee("\\f x.f (f (f (f x)))");
  std::vector<uintptr_t> Pila;
  TLectura r;
  EXPECT_FALSE(LeeTermino(t, r, 5, Pila));
  EXPECT_TRUE(EsValido(t));
  EXPECT_TRUE(LeeTermino(t, r, 11, Pila));
  Libera(t);
}

TEST(Lectura, TextoCortoComoElImpreso) {
  for (const char* x : {"\\x y.y x", "(\\x.x x) (\\y.y) z", "a (b c) (\\d.d a)",
                        "\\f.(\\x.f (x x)) (\\x.f (x x))", "y"}) {
    TExprLambda* t = Lee(x);
    std::string Impreso = Imprime(t);
    EXPECT_EQ(TextoCorto(t, 1000), Impreso);
    EXPECT_EQ(TextoCorto(t, 7), Impreso.size() > 7 ? Impreso.substr(0, 7) + "\x85" : Impreso);
    Libera(t);
  }
}

TEST(Profundidad, Lectura) {
  std::string s = "\\f x.";
  for (int i = 0; i < 1'000'000; ++i) s += "f (";
  s += "x" + std::string(1'000'000, ')');
  TExprLambda* t = Lee(s);
  TExprLambda* c = t->Copia();
  EXPECT_EQ(LeeTermino(t).Numeral, 1'000'000);
  EXPECT_TRUE(MismaEstructura(t, c));
  EXPECT_EQ(TextoCorto(c, 12), "\\ a . \\ b . \x85");
  EXPECT_TRUE(EsValido(t));
  Libera(c);
  Libera(t);
}
