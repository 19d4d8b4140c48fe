// The example definitions files load in one open and compute what their names promise.
#include <gtest/gtest.h>

#include "Comun.h"

namespace {

// The printed Church numeral n: \ a . \ b . a (a (... (a b)...)).
std::string Numeral(int n) {
  if (n == 0) return "\\ a . \\ b . b";
  std::string s = "\\ a . \\ b . ";
  for (int i = 1; i < n; ++i) s += "a (";
  return s + "a b" + std::string(n - 1, ')');
}

class Ejemplos : public ::testing::TestWithParam<const char*> {};

TEST_P(Ejemplos, CargaEntera) {
  TBanco b;
  b.Vista.RutaAbrir = std::string(EJEMPLOS_DIR) + "/" + GetParam();
  b.Mesa.Abrir1Click();
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  EXPECT_GT(b.Mesa.Definiciones.Cuenta(), 4u);
  // Every name reads back as a symbol.
  for (std::size_t i = 0; i < b.Mesa.Definiciones.Cuenta(); ++i) {
    b.Entra(b.Mesa.Definiciones[i].Nombre);
    EXPECT_EQ(b.Vista.Estado, "") << b.Mesa.Definiciones[i].Nombre;
  }
}

INSTANTIATE_TEST_SUITE_P(Ficheros, Ejemplos,
                         ::testing::Values("combinadores.txt", "booleanos.txt", "numerales.txt",
                                           "pares.txt"));

struct TCaso {
  const char* Fichero;
  const char* Expresion;
  std::string FormaNormal;
};

TEST(Ejemplos, FormasNormales) {
  const TCaso Casos[] = {
      {"combinadores.txt", "S K K", "\\ a . a"},
      {"combinadores.txt", "B I I", "\\ a . a"},
      {"combinadores.txt", "C K I", "\\ a . a"},
      {"booleanos.txt", "AND TRUE (NOT FALSE)", "\\ a . \\ b . a"},
      {"booleanos.txt", "OR FALSE FALSE", "\\ a . \\ b . b"},
      {"booleanos.txt", "IF FALSE p q", "a"},
      {"numerales.txt", "PLUS 2 3", Numeral(5)},
      {"numerales.txt", "MULT 3 4", Numeral(12)},
      {"numerales.txt", "POW 2 3", Numeral(8)},
      {"numerales.txt", "PRED 4", Numeral(3)},
      {"numerales.txt", "SUB 4 3", Numeral(1)},
      {"numerales.txt", "SUB 2 4", Numeral(0)},
      {"numerales.txt", "ISZERO 0", "\\ a . \\ b . a"},
      {"numerales.txt", "ISZERO (SUCC 0)", "\\ a . \\ b . b"},
      {"numerales.txt", "FACT 3", Numeral(6)},
      {"pares.txt", "FST (PAIR 2 3)", Numeral(2)},
      {"pares.txt", "FACT 3", Numeral(6)},
  };
  for (const TCaso& c : Casos) {
    TBanco b;
    b.Pestana(0);
    b.Vista.RutaAbrir = std::string(EJEMPLOS_DIR) + "/" + c.Fichero;
    b.Mesa.Abrir1Click();
    b.Entra(c.Expresion);
    b.Mesa.btnBetaAllClick();
    EXPECT_EQ(b.Vista.Memo, c.FormaNormal) << c.Expresion;
  }
}

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
  EXPECT_EQ(b.Vista.Memo, "(\\ a . a a) (\\ b . b b)");
}

}  // namespace
