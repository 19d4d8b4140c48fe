// SPDX-License-Identifier: GPL-3.0-or-later
// The "Opciones" menu's rule, the one both faces draw: η only where the strategy admits it,
// "Beta múltiple" in the classic mode alone, each unchecked when it is greyed out.
#include <gtest/gtest.h>

#include <string>

#include "uOpciones.h"

namespace {

// "Beta múltiple" and η, as the menu shows them: checked or not, greyed or not.
std::string Como(const TOpciones& o) {
  std::string s;
  for (TOpcion e : {TOpcion::Multiple, TOpcion::Eta})
    s += std::string(o.Marcada(e) ? "sí " : "no ") + (o.Habilitada(e) ? "activa" : "gris") + ";";
  return s;
}

TEST(Opciones, EtaYBetaMultiple) {
  TOpciones o;
  EXPECT_EQ(Como(o), "no activa;no activa;");
  o.Marca(TOpcion::Multiple, true);
  o.Marca(TOpcion::Eta, true);
  // With η the mode is no longer the classic one.
  EXPECT_EQ(Como(o), "no gris;sí activa;");
  EXPECT_EQ(o.Modo(), (TModo{TEstrategia::Normal, true}));
  o.Marca(TOpcion::Multiple, true);  // greyed: nothing
  EXPECT_EQ(Como(o), "no gris;sí activa;");
  o.Marca(TOpcion::Eta, false);
  EXPECT_EQ(Como(o), "no activa;no activa;");
  // A strategy without η unchecks it, and it stays unchecked on the way back.
  o.Marca(TOpcion::Eta, true);
  o.Elige(TEstrategia::PorNombre);
  EXPECT_EQ(Como(o), "no gris;no gris;");
  EXPECT_EQ(o.Modo(), (TModo{TEstrategia::PorNombre, false}));
  o.Elige(TEstrategia::Normal);
  EXPECT_EQ(Como(o), "no activa;no activa;");
  o.Elige(TEstrategia::Aplicativo);
  o.Marca(TOpcion::Eta, true);
  EXPECT_EQ(Como(o), "no gris;sí activa;");
}

TEST(Opciones, LasDemasSiempreActivas) {
  TOpciones o;
  o.Elige(TEstrategia::Cabeza);
  for (TOpcion e : OpcionesDelMenu) {
    if (e == TOpcion::Multiple || e == TOpcion::Eta) continue;
    EXPECT_TRUE(o.Habilitada(e));
    o.Marca(e, true);
    EXPECT_TRUE(o.Marcada(e));
  }
}

TEST(Opciones, Nombres) {
  for (TOpcion e : OpcionesDelMenu) {
    TOpcion d = TOpcion::Multiple;
    EXPECT_TRUE(TOpciones::DeNombre(TOpciones::Nombre(e), d));
    EXPECT_EQ(d, e);
  }
  TOpcion d;
  EXPECT_FALSE(TOpciones::DeNombre("Estrategia1", d));
}

}  // namespace
