// SPDX-License-Identifier: GPL-3.0-or-later
// Properties over thousands of random terms: printing reads back to the same term, and the
// engine agrees pass by pass with the reference reducer that follows the rules literally.
#include <gtest/gtest.h>

#include <random>

#include "Ayuda.h"
#include "Literal.h"
#include "uLectura.h"
#include "uReduccion.h"

namespace {

// A random expression text with a few free names, binders that never shadow, and redexes.
class TGenerador {
 public:
  explicit TGenerador(unsigned semilla) : Azar(semilla) {}

  std::string Expresion(int tam) {
    Ligadas.clear();
    Siguiente = 0;
    return Termino(tam);
  }

 private:
  int Entre(int a, int b) { return std::uniform_int_distribution<int>(a, b)(Azar); }

  std::string Termino(int tam) {
    if (tam <= 1) return Variable();
    int eleccion = Entre(0, 9);
    if (eleccion < 3) {
      std::string v = "v" + std::string(static_cast<std::size_t>(Siguiente++ % 20 + 1), 'q');
      if (std::find(Ligadas.begin(), Ligadas.end(), v) != Ligadas.end()) return Variable();
      Ligadas.push_back(v);
      std::string s = "(\\" + v + "." + Termino(tam - 1) + ")";
      Ligadas.pop_back();
      return s;
    }
    int izq = Entre(1, tam - 1);
    if (eleccion < 6) {
      // A redex: an abstraction applied to something.
      std::string v = "w" + std::string(static_cast<std::size_t>(Siguiente++ % 20 + 1), 'q');
      if (std::find(Ligadas.begin(), Ligadas.end(), v) == Ligadas.end()) {
        Ligadas.push_back(v);
        std::string f = "(\\" + v + "." + Termino(izq) + ")";
        Ligadas.pop_back();
        return "(" + f + " " + Termino(tam - izq) + ")";
      }
    }
    return "(" + Termino(izq) + " " + Termino(tam - izq) + ")";
  }

  std::string Variable() {
    if (!Ligadas.empty() && Entre(0, 4) > 0)
      return Ligadas[static_cast<std::size_t>(Entre(0, static_cast<int>(Ligadas.size()) - 1))];
    const char* libres[] = {"x", "y", "z"};
    return libres[Entre(0, 2)];
  }

  std::mt19937 Azar;
  std::vector<std::string> Ligadas;
  int Siguiente = 0;
};

}  // namespace

TEST(Propiedades, ImprimirYReleerDaElMismoTermino) {
  TGenerador g(1);
  for (int i = 0; i < 3000; ++i) {
    std::string texto = g.Expresion(1 + i % 60);
    TExprLambda* t = Lee(texto);
    ASSERT_TRUE(t) << texto;
    ASSERT_TRUE(EsValido(t));
    std::string impreso = Imprime(t);
    EXPECT_EQ(LongitudTexto(t), impreso.size());
    int32_t nv;
    EXPECT_EQ(Renumera(t, nv), impreso.size());
    // The same numbers, length and reading in one walk.
    TLectura lectura;
    std::vector<uintptr_t> pila;
    EXPECT_EQ(RenumeraYLee(t, nv, lectura, pila, {}), impreso.size());
    EXPECT_EQ(t->Texto(), impreso);
    const TLectura l = LeeTermino(t);
    EXPECT_TRUE(lectura.Huella == l.Huella && lectura.Nodos == l.Nodos &&
                lectura.Numeral == l.Numeral)
        << texto;
    TExprLambda* r = Lee(impreso);
    ASSERT_TRUE(r) << impreso;
    EXPECT_EQ(Imprime(r), impreso);
    EXPECT_EQ(CuentaNodos(r), CuentaNodos(t));
    // The reference reducer's own printing of the same term agrees too.
    literal::Termino lit;
    literal::Convierte(t, lit);
    EXPECT_EQ(lit.Texto(), impreso);
    Libera(r);
    Libera(t);
  }
}

TEST(Propiedades, MotorIgualQueLaReferenciaPasadaAPasada) {
  TGenerador g(7);
  std::size_t vivos = NodosVivos();
  for (int i = 0; i < 2000; ++i) {
    std::string texto = g.Expresion(2 + i % 40);
    bool multiple = i % 2 == 1;
    TExprLambda* t = Lee(texto);
    ASSERT_TRUE(t) << texto;
    TExprLambda* u = t->Copia();  // reduced pass by pass with the plain Reduce
    literal::Termino lit;
    literal::Convierte(t, lit);
    TMotor motor;
    bool cambio = true;
    for (int pasada = 0; cambio && pasada < 40 && CuentaNodos(t) < 20000; ++pasada) {
      int64_t antes = NumReducciones;
      cambio = false;
      t = motor.Reduce(t, cambio, multiple);
      int64_t hechas = NumReducciones - antes;
      bool cambioU = false;
      u = u->Reduce(cambioU, multiple);
      bool cambioLit;
      long hechasLit = lit.Pasada(multiple, cambioLit);
      ASSERT_EQ(cambio, cambioLit) << texto << " pasada " << pasada;
      ASSERT_EQ(cambioU, cambioLit) << texto << " pasada " << pasada;
      ASSERT_EQ(hechas, hechasLit) << texto << " pasada " << pasada;
      std::string esperado = lit.Texto();
      ASSERT_EQ(Imprime(t), esperado) << texto << " pasada " << pasada;
      ASSERT_EQ(Imprime(u), esperado) << texto << " pasada " << pasada;
      ASSERT_TRUE(EsValido(t) && MarcasCiertas(t) && MarcasCiertas(u));
      // Now and then change mode between passes, as the menu allows.
      if (pasada % 7 == 6) multiple = !multiple;
    }
    Libera(t);
    Libera(u);
  }
  EXPECT_EQ(NodosVivos(), vivos);
}
