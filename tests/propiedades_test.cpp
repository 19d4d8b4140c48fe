// SPDX-License-Identifier: GPL-3.0-or-later
// Properties over thousands of random terms: printing reads back to the same term, and the
// engine agrees pass by pass with the reference reducer that follows the rules literally, and
// step by step with the reference strategies.
#include <gtest/gtest.h>

#include <random>

#include "Ayuda.h"
#include "Estrategias.h"
#include "Literal.h"
#include "uLectura.h"
#include "uReduccion.h"

namespace {

// A random expression text with a few free names, binders that never shadow, and redexes.
class TGenerador {
 public:
  explicit TGenerador(unsigned semilla) : Azar(semilla) {}

  // Also η-shaped abstractions and terms without a normal form.
  bool Extras = false;

  std::string Expresion(int tam) {
    Ligadas.clear();
    Siguiente = 0;
    Etas = 0;
    return Termino(tam);
  }

 private:
  int Entre(int a, int b) { return std::uniform_int_distribution<int>(a, b)(Azar); }

  std::string Termino(int tam) {
    if (Extras) {
      const int extra = Entre(0, 49);
      if (extra == 0) return "((\\om.om om) (\\on.on on))";
      if (extra == 1) return "((\\om.x (om om)) (\\on.x (on on)))";
      if (extra < 6 && tam > 1) {
        // λv.M v, M without v (an η-redex) or now and then with it.
        std::string v = "e" + std::string(static_cast<std::size_t>(++Etas), 'q');
        const bool usa = extra == 5;
        if (usa) Ligadas.push_back(v);
        std::string m = Termino(tam - 1);
        if (usa) Ligadas.pop_back();
        return "(\\" + v + ".(" + m + ") " + v + ")";
      }
    }
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
  int Etas = 0;
};

// The position of `n` in `t` in preorder, the root 0, as the reference strategies count it.
bool Busca(TExprLambda* t, TExprLambda* n, std::size_t& pos) {
  if (t == n) return true;
  ++pos;
  if (TFuncion* f = ComoFuncion(t)) return Busca(f->Cuerpo, n, pos);
  if (TAplicacion* a = ComoAplicacion(t)) return Busca(a->Func, n, pos) || Busca(a->Arg, n, pos);
  return false;
}
std::size_t Posicion(TExprLambda* t, TExprLambda* n) {
  std::size_t pos = 0;
  return Busca(t, n, pos) ? pos : std::size_t(-1);
}

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

TEST(Propiedades, EstrategiasIgualQueLaReferenciaPasoAPaso) {
  TGenerador g(11);
  g.Extras = true;
  std::size_t vivos = NodosVivos();
  constexpr std::size_t Tope = 60, Largo = 4000;
  // First the smallest terms where orden normal with η has to see an η-redex made by a
  // contraction: in the body's argument, or in a new body whose function part then drops x.
  const std::string fijos[] = {"\\x.f ((\\y.y) x)", "\\x.(\\y.y x) (g ((\\z.f) x))"};
  for (int i = 0; i < 400; ++i) {
    std::string texto = i < 2 ? fijos[i] : g.Expresion(2 + i % 30);
    TExprLambda* original = Lee(texto);
    ASSERT_TRUE(original) << texto;
    const std::string inicial = Imprime(original);
    TMotor motor;
    for (TEstrategia e : Estrategias)
      for (bool eta : {false, true}) {
        if (eta && !AdmiteEta(e)) continue;
        const TModo modo{e, eta};
        literal::Termino lit;
        literal::Convierte(original, lit);
        std::vector<literal::Contraccion> pasos;
        const bool termina = literal::Estrategias::Ejecuta(lit, modo, Tope, Largo, pasos);
        TExprLambda* t = original->Copia();
        motor.FijaModo(modo);
        motor.Olvida();
        // Proximos walks ahead: never asked, asked before every step, or now and then.
        const int pregunta = (i + static_cast<int>(e)) % 3;
        std::vector<TExprLambda*> proximos;
        for (std::size_t k = 0; k < pasos.size() + (termina ? 1 : 0); ++k) {
          const bool sigue = k < pasos.size();
          const std::string donde = std::string(ClaveEstrategia(e)) + (eta ? " eta" : "") +
                                    ", paso " + std::to_string(k) + " de " +
                                    (k ? pasos[k - 1].Texto : inicial) + ", desde " + inicial;
          if (pregunta == 1 || (pregunta == 2 && k % 3 == 1)) {
            motor.Proximos(t, false, proximos);
            ASSERT_EQ(proximos.size(), sigue ? 1u : 0u) << donde;
            if (sigue) {
              ASSERT_EQ(Posicion(t, proximos[0]), pasos[k].Posicion) << donde;
            }
          }
          const int64_t antes = NumReducciones;
          bool cambio = false;
          t = motor.Reduce(t, cambio, false);
          ASSERT_EQ(cambio, sigue) << donde;
          ASSERT_EQ(NumReducciones - antes, sigue ? 1 : 0) << donde;
          ASSERT_TRUE(EsValido(t) && MarcasCiertas(t)) << donde;
          if (sigue) {
            ASSERT_EQ(Imprime(t), pasos[k].Texto) << donde;
          }
        }
        Libera(t);
      }
    Libera(original);
  }
  EXPECT_EQ(NodosVivos(), vivos);
}
