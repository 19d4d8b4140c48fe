// SPDX-License-Identifier: GPL-3.0-or-later
// "Mostrar los nombres de las definiciones": the text view prints the closed parts of the term
// that equal a definition as its name; the text reads back as the same term, and the chosen
// redexes still find their bytes in it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Comun.h"

namespace {

void AbreNumerales(TBanco& b) {
  b.Vista.RutaAbrir = std::string(EJEMPLOS_DIR) + "/numerales.txt";
  b.Mesa.Abrir1Click();
  ASSERT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
}

void Pliega(TBanco& b, bool Si) {
  b.Vista.Pliega = Si;
  b.Mesa.NombresClick();
}

// Random terms over the lesson's names, and variables bound or free.
std::string Aleatorio(std::mt19937& Azar, int Tam, int Ligadas) {
  auto Entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(Azar); };
  const char* Nombres[] = {"0", "1", "2", "3", "SUC", "SUMA", "MULT", "PRED", "FALSO", "ESCERO"};
  if (Tam <= 1) {
    const int v = Entre(0, Ligadas + 11);
    if (v < Ligadas) return "v" + std::string(static_cast<std::size_t>(v + 1), 'q');
    return v - Ligadas < 10 ? Nombres[v - Ligadas] : "y";
  }
  const int Izq = Entre(1, Tam - 1);
  if (Entre(0, 2) == 0)
    return "(\\v" + std::string(static_cast<std::size_t>(Ligadas + 1), 'q') + "." +
           Aleatorio(Azar, Tam - 1, Ligadas + 1) + ")";
  return "(" + Aleatorio(Azar, Izq, Ligadas) + " " + Aleatorio(Azar, Tam - Izq, Ligadas) + ")";
}

}  // namespace

// Along a few steps of each term, the folded text entered again shows itself, and is the term
// it stood for: the same text with both options off (the names kept may differ, as bound names).
TEST(Pliegue, ElTextoSeLeeComoElMismoTermino) {
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  AbreNumerales(b);
  std::mt19937 Azar(25);
  int Plegados = 0;
  for (int i = 0; i < 200; ++i) {
    const std::string Texto = Aleatorio(Azar, 2 + i % 12, 0);
    const bool Nombres = i % 2 == 1;
    b.Vista.Nombres = Nombres;
    Pliega(b, true);
    b.Entra(Texto);
    ASSERT_EQ(b.Vista.Estado, "") << Texto;
    for (int Paso = 0; Paso < 4; ++Paso) {
      const std::string Plegado = b.Vista.Memo();
      b.Vista.Nombres = false;
      Pliega(b, false);
      const std::string Entero = b.Vista.Memo();
      Plegados += Plegado.size() < Entero.size();
      b.Entra(Plegado);
      ASSERT_EQ(b.Vista.Estado, "") << Plegado;
      EXPECT_EQ(b.Vista.Memo(), Entero) << Texto;
      b.Vista.Nombres = Nombres;
      Pliega(b, true);
      EXPECT_EQ(b.Vista.Memo(), Plegado) << Texto;
      b.Mesa.btnBetaClick();
    }
  }
  EXPECT_GT(Plegados, 400);
}

// What steps made prints as the first definition it equals, the whole term included; a numeral
// without a definition prints whole, its digits being no name the parser knows. Off, nothing
// changes.
TEST(Pliegue, NombresYNumerales) {
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  AbreNumerales(b);
  Pliega(b, true);
  b.Entra("SUC 2");
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "3");
  b.Entra("PRED 1");
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "FALSO");
  b.Entra("SUC 5");
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . \\ b . a (a (a (a (a (a b)))))");
  b.Entra("(\\x.x) 2 y");  // a part with a free variable keeps its text
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) 2 b");
  Pliega(b, false);
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . \\ c . b (b c)) d");
}

// What the student wrote stays as written, as a lambda or by name, until a step changes it:
// among equal definitions, the name written; a part a step made, the first the entry named.
TEST(Pliegue, LoEscritoSeQuedaComoSeEscribio) {
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  AbreNumerales(b);
  Pliega(b, true);
  b.Entra("ESCERO 0");
  EXPECT_EQ(b.Vista.Memo(), "ESCERO 0");
  b.Entra("ESCERO FALSO 0");
  EXPECT_EQ(b.Vista.Memo(), "ESCERO FALSO 0");
  b.Entra("(\\x y.x y) y");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . \\ b . a b) c");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . b a");
  b.Entra("(\\f x.f (f x)) (\\f x.f x)");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . \\ b . a (a b)) (\\ c . \\ d . c d)");
  b.Mesa.btnBetaClick();  // the argument, copied into place, is still as written
  EXPECT_EQ(b.Vista.Memo(), "\\ a . (\\ b . \\ c . b c) ((\\ d . \\ e . d e) a)");
  b.Mesa.btnBackClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . \\ b . a (a b)) (\\ c . \\ d . c d)");
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "1");
  b.Entra("(\\x.x x) 0");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "0 0");
  b.Entra("IGUAL 0 0");
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "VERDADERO");
  b.Entra("PRED (SUC 0)");  // what a step made is named as the entry named it
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "0");
  // An Enter with a name stores no writing: the definition folds as any other.
  b.Entra("(\\x y.y) (\\z.z)", "W");
  b.Entra("W");
  EXPECT_EQ(b.Vista.Memo(), "W");
  b.Entra("(\\u.u) W");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "W");
}

// A redex whose parts print as names has their bytes, and so has one that prints as a name; one
// inside a name has none of its own, and the one around it is found at every byte.
TEST(Pliegue, LosRedexTienenSusRangos) {
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  AbreNumerales(b);
  Pliega(b, true);
  b.Entra("SUMA 2 3");
  const std::vector<TRango>& r = b.Mesa.Eleccion.RangosRedex();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].Desde, 0u);
  EXPECT_EQ(r[0].Hasta, 6u);
  EXPECT_EQ(r[1].Hasta, 4u);
  EXPECT_EQ(r[2].Desde, 5u);
  EXPECT_EQ(r[2].Hasta, 6u);
  EXPECT_EQ(b.Vista.Resalte.size(), 3u);
  b.Entra("(\\x.x) (\\y.y)", "D");
  b.Entra("\\z.(\\x.x) z", "E");
  b.Entra("(\\w.w y) E D");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a b) E D");
  ASSERT_EQ(b.Mesa.Eleccion.RangosRedex().size(), 9u);
  for (std::size_t p = 0; p < 13; ++p)
    EXPECT_EQ(b.Mesa.Eleccion.RedexEn(static_cast<int64_t>(p)), 0) << p;
  EXPECT_EQ(b.Mesa.Eleccion.RedexEn(13), -1);
  EXPECT_EQ(b.Mesa.Eleccion.RedexEn(14), 2);
  b.Mesa.ContraeSeleccionado();
  b.Mesa.ContraeSeleccionado();
  EXPECT_EQ(b.Vista.Memo(), "E a D");
}
