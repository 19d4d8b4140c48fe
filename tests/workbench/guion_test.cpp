// SPDX-License-Identifier: GPL-3.0-or-later
// lambda-cli's interpreter where a script would print too much to compare as a whole.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "uGuion.h"

// Past the record's 64 MB the oldest steps go, and `steps` says so first, as the export does.
TEST(Guion, PasosDiceLasLineasDescartadas) {
  std::ostringstream Salida;
  TGuion g(Salida);
  // 8192 identities print to about 2.6 MB (a variable's name grows with their number); Ω in
  // front of them is a step that never ends, each a line of that size.
  g.Ejecuta("enter \\x.x");
  for (int i = 0; i < 13; ++i) g.Ejecuta("enter % %");
  g.Ejecuta("enter (\\x.x x) (\\x.x x) (%)");
  for (int i = 0; i < 30; ++i) g.Ejecuta("beta");
  Salida.str("");
  g.Ejecuta("steps");
  const std::string s = Salida.str();
  const std::string Primera = s.substr(0, s.find('\n'));
  const std::string Inicio = "dropped: (Descartadas las ";
  const std::string Fin = " l\xC3\xADneas m\xC3\xA1s antiguas: pasaban de 64 MB)";
  ASSERT_EQ(Primera.substr(0, Inicio.size()), Inicio);
  ASSERT_GT(Primera.size(), Inicio.size() + Fin.size());
  EXPECT_EQ(Primera.substr(Primera.size() - Fin.size()), Fin);
  // The first step kept is the one after those dropped.
  const std::string Cuenta =
      Primera.substr(Inicio.size(), Primera.size() - Inicio.size() - Fin.size());
  EXPECT_EQ(s.substr(Primera.size() + 1, Cuenta.size() + 7), "step " + Cuenta + ": ");
  EXPECT_FALSE(g.HuboError);
}
