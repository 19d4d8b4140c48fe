// SPDX-License-Identifier: GPL-3.0-or-later
// Every exercise of the lessons' guide, run through lambda-cli, gives the result and the count the
// guide promises, so the guide cannot drift from the program.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "Comun.h"
#include "uCp1252.h"
#include "uEstrategia.h"

namespace {

// An exercise: "- `EXPR`[, con "ESTRATEGIA"[ y "Reducción η"]], ∀β: RESULT, en N reducciones."
struct TEjercicio {
  std::string Expresion, Resultado, Cuenta, Estrategia;  // Estrategia: the menu's caption, or none
  bool Eta = false;
};
// A comparison: "- `EXPR`, "Comparar estrategias…":" and its table, a row a strategy:
// "| ESTRATEGIA | N | FORMA or sin terminar… | `TEXT` |".
struct TComparada {
  std::string Expresion;
  std::vector<std::vector<std::string>> Filas;
};
struct TLeccion {
  std::vector<TEjercicio> Ejercicios;
  std::vector<TComparada> Comparadas;
};

// The printed Church numeral n: \ a . \ b . a (a (... (a b)...)).
std::string Numeral(int n) {
  if (n == 0) return "\\ a . \\ b . b";
  std::string s = "\\ a . \\ b . ";
  for (int i = 1; i < n; ++i) s += "a (";
  return s + "a b" + std::string(n - 1, ')');
}

// The guide's exercises and comparisons by lesson file.
std::map<std::string, TLeccion> LeeGuia() {
  std::ifstream f(std::string(EJEMPLOS_DIR) + "/LEEME.md");
  const std::regex Seccion("^## .*`([^`]+\\.txt)`.*");
  const std::regex Ejercicio(
      "^- `([^`]+)`(?:, con \"([^\"]+)\"( y \"Reducción η\")?)?, ∀β: (.+), en ([0-9.]+) "
      "reducciones\\..*");
  const std::regex Comparada("^- `([^`]+)`, \"Comparar estrategias…\":$");
  const std::regex Fila("^\\| ([^|]+) \\| ([0-9.]+) \\| ([^|]+) \\| `([^`]+)` \\|$");
  std::map<std::string, TLeccion> Guia;
  std::string Fichero, Linea;
  std::smatch m;
  while (std::getline(f, Linea)) {
    if (std::regex_match(Linea, m, Seccion)) {
      Fichero = m[1];
      Guia[Fichero];
    } else if (std::regex_match(Linea, m, Ejercicio)) {
      Guia[Fichero].Ejercicios.push_back({m[1], m[4], m[5], m[2], m[3].matched});
    } else if (std::regex_match(Linea, m, Comparada)) {
      Guia[Fichero].Comparadas.push_back({m[1], {}});
    } else if (std::regex_match(Linea, m, Fila) && !Guia[Fichero].Comparadas.empty()) {
      Guia[Fichero].Comparadas.back().Filas.push_back({m[1], m[2], m[3], m[4]});
    }
  }
  return Guia;
}

std::string Ejecuta(const std::string& Guion) {
  TCarpeta c;
  EscribeTodo(c.Ruta("guion.txt"), Guion);
  std::string Salida;
  FILE* p = popen((std::string(LAMBDA_CLI) + " " + c.Ruta("guion.txt")).c_str(), "r");
  char Trozo[4096];
  for (std::size_t n; p && (n = std::fread(Trozo, 1, sizeof Trozo, p)) > 0;)
    Salida.append(Trozo, n);
  if (p) pclose(p);
  return Salida;
}

// lambda-cli's key of a strategy's caption, and of the caption of the form it stops at.
std::map<std::string, std::string> Claves() {
  std::map<std::string, std::string> c;
  for (TEstrategia e : Estrategias) {
    c[Cp1252AUtf8(NombreEstrategia(e))] = ClaveEstrategia(e);
    c[Cp1252AUtf8(NombreForma(FormaDe(e)))] = ClaveForma(FormaDe(e));
  }
  return c;
}

// The lines of the script that run an exercise: the strategy and η it names, then back to
// "Orden normal" without η, as the other exercises expect.
std::string Guion(const TEjercicio& e, const std::map<std::string, std::string>& Clave) {
  std::string Antes, Despues;
  if (!e.Estrategia.empty()) {
    Antes = "strategy " + Clave.at(e.Estrategia) + "\n";
    Despues = "strategy normal\n";
  }
  if (e.Eta) {
    Antes += "eta on\n";
    Despues = "eta off\n" + Despues;
  }
  return Antes + "enter " + e.Expresion + "\nall 100000\nshow\n" + Despues;
}

TEST(Guia, CadaEjercicioDaLoQueDice) {
  auto Guia = LeeGuia();
  ASSERT_EQ(Guia.size(), 6u);
  const auto Clave = Claves();
  const std::regex NumeralDicho("el numeral ([0-9]+)");
  const std::regex Literal("`(.+)`");
  for (const auto& [Fichero, Leccion] : Guia) {
    EXPECT_FALSE(Leccion.Ejercicios.empty()) << Fichero;
    // One run a lesson: open it, then each exercise, then each comparison; the bounds on passes
    // keep a wrong exercise from running forever.
    std::string Guion = "open " + std::string(EJEMPLOS_DIR) + "/" + Fichero + "\ntab text\n";
    for (const TEjercicio& e : Leccion.Ejercicios) Guion += ::Guion(e, Clave);
    for (const TComparada& c : Leccion.Comparadas)
      Guion += "enter " + c.Expresion + "\ncompare 1000\n";
    std::istringstream Salida(Ejecuta(Guion));
    std::map<std::string, std::string> Definiciones;
    std::vector<std::pair<std::string, std::string>> Vistos;  // text, status
    std::vector<std::string> Comparados;
    for (std::string Linea; std::getline(Salida, Linea);) {
      if (Linea.rfind("def ", 0) == 0) {
        auto Igual = Linea.find(" = ");
        Definiciones[Linea.substr(4, Igual - 4)] = Linea.substr(Igual + 3);
      } else if (Linea.rfind("text: ", 0) == 0) {
        Vistos.push_back({Linea.substr(6), ""});
      } else if (Linea.rfind("status: ", 0) == 0 && !Vistos.empty()) {
        Vistos.back().second = Linea.substr(8);
      } else if (Linea.rfind("compare: ", 0) == 0) {
        Comparados.push_back(Linea.substr(9));
      } else if (Linea.rfind("error: ", 0) == 0) {
        ADD_FAILURE() << Fichero << ": " << Linea;
      }
    }
    ASSERT_EQ(Vistos.size(), Leccion.Ejercicios.size()) << Fichero;
    for (std::size_t i = 0; i < Leccion.Ejercicios.size(); ++i) {
      const TEjercicio& e = Leccion.Ejercicios[i];
      std::smatch m;
      std::string Esperado =
          std::regex_match(e.Resultado, m, NumeralDicho) ? Numeral(std::stoi(m[1]))
          : std::regex_match(e.Resultado, m, Literal)    ? std::string(m[1])
                                                         : Definiciones[e.Resultado];
      EXPECT_EQ(Vistos[i].first, Esperado) << Fichero << ": " << e.Expresion;
      EXPECT_EQ(Vistos[i].second, " " + e.Cuenta + " reducciones")
          << Fichero << ": " << e.Expresion;
    }
    // A row that does not end stops at the script's own cap, whatever count the guide gives.
    std::size_t n = 0;
    for (const TComparada& c : Leccion.Comparadas) {
      EXPECT_EQ(c.Filas.size(), std::size(Estrategias)) << c.Expresion;
      for (const auto& f : c.Filas) {
        ASSERT_LT(n, Comparados.size()) << c.Expresion;
        const bool Cortada = f[2].rfind("sin terminar", 0) == 0;
        EXPECT_EQ(Comparados[n], Clave.at(f[0]) + " " +
                                     (Cortada ? "1000 cut" : f[1] + " " + Clave.at(f[2])) + " " +
                                     f[3])
            << c.Expresion;
        ++n;
      }
    }
    EXPECT_EQ(n, Comparados.size()) << Fichero;
  }
}

}  // namespace
