// SPDX-License-Identifier: GPL-3.0-or-later
// The example definitions files load in one open and compute what their names promise.
#include <gtest/gtest.h>

#include "Comun.h"

namespace {

class Ejemplos : public ::testing::TestWithParam<const char*> {};

TEST_P(Ejemplos, CargaEntera) {
  TBanco b;
  b.Vista.RutaAbrir = std::string(EJEMPLOS_DIR) + "/" + GetParam();
  b.Mesa.Abrir1Click();
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  EXPECT_GT(b.Mesa.Sesion.Definiciones.Cuenta(), 4u);
  // Every name reads back as a symbol.
  for (std::size_t i = 0; i < b.Mesa.Sesion.Definiciones.Cuenta(); ++i) {
    b.Entra(b.Mesa.Sesion.Definiciones[i].Nombre);
    EXPECT_EQ(b.Vista.Estado, "") << b.Mesa.Sesion.Definiciones[i].Nombre;
  }
}

INSTANTIATE_TEST_SUITE_P(Ficheros, Ejemplos,
                         ::testing::Values("combinadores.txt", "logica.txt", "numerales.txt",
                                           "listas.txt", "recursion.txt", "estrategias.txt"));

TEST(Ejemplos, OmegaNoTermina) {
  TBanco b;
  b.Pestana(0);
  b.Vista.RutaAbrir = std::string(EJEMPLOS_DIR) + "/combinadores.txt";
  b.Mesa.Abrir1Click();
  b.Entra("OMEGA");
  b.Vista.AlProcesarEventos = [&] {
    if (b.Vista.Eventos == 100) b.Mesa.btnBetaAllClick();
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Estado, " 100 reducciones");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a a) (\\ b . b b)");
}

}  // namespace
