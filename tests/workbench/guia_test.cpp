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

namespace {

struct TEjercicio {
  std::string Expresion, Resultado, Cuenta;
};

// The printed Church numeral n: \ a . \ b . a (a (... (a b)...)).
std::string Numeral(int n) {
  if (n == 0) return "\\ a . \\ b . b";
  std::string s = "\\ a . \\ b . ";
  for (int i = 1; i < n; ++i) s += "a (";
  return s + "a b" + std::string(n - 1, ')');
}

// The guide's exercises by lesson file: "- `EXPR`, ∀β: RESULT, en N reducciones."
std::map<std::string, std::vector<TEjercicio>> LeeGuia() {
  std::ifstream f(std::string(EJEMPLOS_DIR) + "/LEEME.md");
  const std::regex Seccion("^## .*`([^`]+\\.txt)`.*");
  const std::regex Ejercicio("^- `([^`]+)`, ∀β: (.+), en ([0-9.]+) reducciones\\..*");
  std::map<std::string, std::vector<TEjercicio>> Guia;
  std::string Fichero, Linea;
  std::smatch m;
  while (std::getline(f, Linea)) {
    if (std::regex_match(Linea, m, Seccion)) {
      Fichero = m[1];
      Guia[Fichero];
    } else if (std::regex_match(Linea, m, Ejercicio)) {
      Guia[Fichero].push_back({m[1], m[2], m[3]});
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

TEST(Guia, CadaEjercicioDaLoQueDice) {
  auto Guia = LeeGuia();
  ASSERT_EQ(Guia.size(), 5u);
  const std::regex NumeralDicho("el numeral ([0-9]+)");
  const std::regex Literal("`(.+)`");
  for (const auto& [Fichero, Ejercicios] : Guia) {
    EXPECT_FALSE(Ejercicios.empty()) << Fichero;
    // One run a lesson: open it, then each exercise; the bound on passes keeps a wrong
    // exercise from running forever.
    std::string Guion = "open " + std::string(EJEMPLOS_DIR) + "/" + Fichero + "\ntab text\n";
    for (const TEjercicio& e : Ejercicios) Guion += "enter " + e.Expresion + "\nall 100000\nshow\n";
    std::istringstream Salida(Ejecuta(Guion));
    std::map<std::string, std::string> Definiciones;
    std::vector<std::pair<std::string, std::string>> Vistos;  // text, status
    for (std::string Linea; std::getline(Salida, Linea);) {
      if (Linea.rfind("def ", 0) == 0) {
        auto Igual = Linea.find(" = ");
        Definiciones[Linea.substr(4, Igual - 4)] = Linea.substr(Igual + 3);
      } else if (Linea.rfind("text: ", 0) == 0) {
        Vistos.push_back({Linea.substr(6), ""});
      } else if (Linea.rfind("status: ", 0) == 0 && !Vistos.empty()) {
        Vistos.back().second = Linea.substr(8);
      }
    }
    ASSERT_EQ(Vistos.size(), Ejercicios.size()) << Fichero;
    for (std::size_t i = 0; i < Ejercicios.size(); ++i) {
      const TEjercicio& e = Ejercicios[i];
      std::smatch m;
      std::string Esperado =
          std::regex_match(e.Resultado, m, NumeralDicho) ? Numeral(std::stoi(m[1]))
          : std::regex_match(e.Resultado, m, Literal)    ? std::string(m[1])
                                                         : Definiciones[e.Resultado];
      EXPECT_EQ(Vistos[i].first, Esperado) << Fichero << ": " << e.Expresion;
      EXPECT_EQ(Vistos[i].second, " " + e.Cuenta + " reducciones")
          << Fichero << ": " << e.Expresion;
    }
  }
}

}  // namespace
