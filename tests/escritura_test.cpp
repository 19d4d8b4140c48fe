// SPDX-License-Identifier: GPL-3.0-or-later
// The mark of what an entry wrote (TExprLambda::Escrito): set by the parse on what the text
// typed and on the copies of the definitions it named, kept by copies, and gone from whatever a
// step changes, whatever the road: every strategy, η, "Beta múltiple", a chosen redex.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Ayuda.h"
#include "uLectura.h"
#include "uReduccion.h"

namespace {

const char* const NombresDef[] = {"I", "K", "F", "CERO", "D"};

// Definitions two of which are the same term (F and CERO).
void Define(TDefiniciones& d) {
  const char* Textos[] = {"\\a.a", "\\a b.a", "\\a b.b", "\\f x.x", "\\a.a a"};
  for (std::size_t i = 0; i < 5; ++i) d.Agrega(NombresDef[i], Lee(Textos[i], d));
}

TExprLambda* Escribe(const std::string& Texto, const TDefiniciones& d, TEscritura& e) {
  std::string Error;
  TRango Falta;
  return Analiza(Texto, d, nullptr, Error, Falta, ".", &e);
}

// Random texts over the definitions, lambdas that equal some of them, and redexes.
std::string Aleatorio(std::mt19937& Azar, int Tam, int Ligadas) {
  auto Entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(Azar); };
  if (Tam <= 1) {
    const int v = Entre(0, Ligadas + 7);
    if (v < Ligadas) return "v" + std::string(static_cast<std::size_t>(v + 1), 'q');
    if (v - Ligadas < 5) return NombresDef[v - Ligadas];
    const char* Lambdas[] = {"(\\p.p)", "(\\p q.q)", "y"};
    return Lambdas[v - Ligadas - 5];
  }
  const int Izq = Entre(1, Tam - 1);
  if (Entre(0, 2) == 0)
    return "(\\v" + std::string(static_cast<std::size_t>(Ligadas + 1), 'q') + "." +
           Aleatorio(Azar, Tam - 1, Ligadas + 1) + ")";
  // One after the other: the operands of + may be worked out in any order.
  const std::string Func = Aleatorio(Azar, Izq, Ligadas);
  return "(" + Func + " " + Aleatorio(Azar, Tam - Izq, Ligadas) + ")";
}

// Whether no variable occurs in `n` unbound inside it: what a fold may name.
bool Cerrado(TExprLambda* n) {
  std::vector<TExprLambda*> Pila{n}, Ligadores;
  std::vector<TVariable*> Ocurrencias;
  while (!Pila.empty()) {
    TExprLambda* e = Pila.back();
    Pila.pop_back();
    if (TVariable* v = ComoVariable(e)) {
      Ocurrencias.push_back(v);
    } else if (TAplicacion* ap = ComoAplicacion(e)) {
      Pila.push_back(ap->Func);
      Pila.push_back(ap->Arg);
    } else {
      Ligadores.push_back(static_cast<TFuncion*>(e)->Param);
      Pila.push_back(static_cast<TFuncion*>(e)->Cuerpo);
    }
  }
  for (TVariable* v : Ocurrencias)
    if (std::find(Ligadores.begin(), Ligadores.end(), v) == Ligadores.end()) return false;
  return true;
}

std::vector<TExprLambda*> Compuestos(TExprLambda* t) {
  std::vector<TExprLambda*> r;
  t->RecorrePre([&](TExprLambda* n) {
    if (!EsVariable(n)) r.push_back(n);
  });
  return r;
}

bool Marcado(const TExprLambda* n) {
  return !EsVariable(n) && (n->Marca & TExprLambda::Escrito);
}

// A node without the mark has none above it, and every closed node still marked is what was
// written: one of the closed parts the entry typed or held, or the definition it named.
::testing::AssertionResult ComoSeEscribio(TExprLambda* t, TExprLambda* Original,
                                          const TDefiniciones& d, const TEscritura& e) {
  for (TExprLambda* n : Compuestos(t)) {
    TAplicacion* ap = ComoAplicacion(n);
    auto SinMarca = [](TExprLambda* h) { return !EsVariable(h) && !Marcado(h); };
    if (Marcado(n) && (ap ? SinMarca(ap->Func) || SinMarca(ap->Arg)
                          : SinMarca(static_cast<TFuncion*>(n)->Cuerpo)))
      return ::testing::AssertionFailure() << "marked above a change: " << Imprime(t);
  }
  for (TExprLambda* n : Compuestos(t)) {
    if (!(n->Marca & TExprLambda::Escrito) || !Cerrado(n)) continue;
    const uint32_t k = NombreEscrito(n);
    if (k == NombreDeCopia) {
      bool Hay = false;
      for (TExprLambda* o : Compuestos(Original))
        Hay = Hay || (Marcado(o) && Cerrado(o) && MismaEstructura(n, o));
      if (!Hay) return ::testing::AssertionFailure() << "changed copy: " << Imprime(t);
      continue;
    }
    if (k) {
      const int i = d.Busca(e.Nombres[k - 1]);
      if (i < 0 || !MismaEstructura(n, d[static_cast<std::size_t>(i)].Termino))
        return ::testing::AssertionFailure() << "not the name written: " << Imprime(t);
      continue;
    }
    bool Hay = false;
    for (TExprLambda* o : Compuestos(Original))
      Hay = Hay || ((o->Marca & TExprLambda::Escrito) && NombreEscrito(o) == 0 && Cerrado(o) &&
                    MismaEstructura(n, o));
    if (!Hay) return ::testing::AssertionFailure() << "changed, still marked: " << Imprime(t);
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

// What the text typed and the names it used carry the mark, the names their number, what they
// hold and '%' as parts not written; a definition carries none, nor does a parse that was not
// asked for it.
TEST(Escritura, LaEntradaMarcaLoQueEscribio) {
  TDefiniciones d;
  Define(d);
  TEscritura e;
  TExprLambda* t = Escribe("(\\x.x) CERO K F Cero", d, e);
  ASSERT_TRUE(t);
  EXPECT_EQ(e.Nombres, (std::vector<std::string>{"CERO", "K", "F"}));
  // The chain of applications and the lambda as typed; each name's copy by its number at its
  // root, the closed parts inside it as not written (\x.x in CERO, \b.b in F, not \b.a in K).
  std::vector<uint32_t> Numeros, Dentro;
  TExprLambda* n = t;
  for (; EsAplicacion(n); n = ComoAplicacion(n)->Func) {
    EXPECT_TRUE(n->Marca & TExprLambda::Escrito);
    TExprLambda* a = ComoAplicacion(n)->Arg;
    Numeros.insert(Numeros.begin(), NombreEscrito(a));
    TExprLambda* Cuerpo = static_cast<TFuncion*>(a)->Cuerpo;
    EXPECT_TRUE(Cuerpo->Marca & TExprLambda::Escrito);
    Dentro.insert(Dentro.begin(), NombreEscrito(Cuerpo));
  }
  EXPECT_EQ(Dentro, (std::vector<uint32_t>{NombreDeCopia, 0, NombreDeCopia, NombreDeCopia}));
  EXPECT_TRUE(n->Marca & TExprLambda::Escrito);
  EXPECT_EQ(NombreEscrito(n), 0u);
  EXPECT_EQ(Numeros, (std::vector<uint32_t>{1, 2, 3, 1}));
  EXPECT_TRUE(EsValido(t) && MarcasCiertas(t));
  // Copies keep it all, the names too.
  TExprLambda* c = t->Copia();
  std::vector<TExprLambda*> a = Compuestos(t), b = Compuestos(c);
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i]->Marca & TExprLambda::Escrito, b[i]->Marca & TExprLambda::Escrito);
    EXPECT_EQ(NombreEscrito(a[i]), NombreEscrito(b[i]));
  }
  TExprLambda* p = nullptr;
  {
    std::string Error;
    TRango Falta;
    p = Analiza("% I", d, t, Error, Falta, ".", &e);
  }
  ASSERT_TRUE(p);
  EXPECT_EQ(e.Nombres, (std::vector<std::string>{"I"}));
  EXPECT_EQ(NombreEscrito(ComoAplicacion(p)->Func), NombreDeCopia);
  EXPECT_EQ(NombreEscrito(ComoAplicacion(p)->Arg), 1u);
  d.Agrega("T", c);
  for (TExprLambda* n : Compuestos(c)) EXPECT_FALSE(n->Marca & TExprLambda::Escrito);
  TExprLambda* s = Lee("(\\x.x) CERO", d);
  for (TExprLambda* n : Compuestos(s)) EXPECT_FALSE(n->Marca & TExprLambda::Escrito);
  Libera(s);
  Libera(p);
  Libera(t);
}

// A step takes the mark from what it changes and from everything above, and leaves the rest:
// the argument put in place is still what was written, a name still its name.
TEST(Escritura, UnPasoQuitaLaMarcaDeLoQueCambia) {
  TDefiniciones d;
  Define(d);
  TEscritura e;
  TExprLambda* t = Escribe("(\\x y.x y) (\\z.z) CERO", d, e);
  bool Cambio = false;
  TMotor m;
  t = m.Reduce(t, Cambio, false);  // (\y.(\z.z) y) CERO
  TAplicacion* r = ComoAplicacion(t);
  ASSERT_TRUE(r && EsFuncion(r->Func));
  EXPECT_FALSE(t->Marca & TExprLambda::Escrito);
  EXPECT_FALSE(r->Func->Marca & TExprLambda::Escrito);
  EXPECT_EQ(NombreEscrito(r->Arg), 1u);
  TExprLambda* Cuerpo = static_cast<TFuncion*>(r->Func)->Cuerpo;
  EXPECT_FALSE(Cuerpo->Marca & TExprLambda::Escrito);
  EXPECT_TRUE(ComoAplicacion(Cuerpo)->Func->Marca & TExprLambda::Escrito);
  Libera(t);
}

// Along every road, what still carries the mark is what was written, and the marks the engine
// keeps stay true.
TEST(Escritura, LoMarcadoSigueComoSeEscribioEnCadaModo) {
  TDefiniciones d;
  Define(d);
  std::mt19937 Azar(33);
  std::vector<std::pair<TModo, bool>> Modos;
  for (TEstrategia s : Estrategias) {
    Modos.push_back({{s, false}, false});
    if (AdmiteEta(s)) Modos.push_back({{s, true}, false});
  }
  Modos.push_back({{TEstrategia::Normal, false}, true});
  std::size_t Vivos = NodosVivos();
  int Pasos = 0;
  for (int i = 0; i < 600; ++i) {
    const std::string Texto = Aleatorio(Azar, 2 + i % 14, 0);
    const auto [Modo, Multiple] = Modos[static_cast<std::size_t>(i) % Modos.size()];
    TEscritura e;
    TExprLambda* t = Escribe(Texto, d, e);
    ASSERT_TRUE(t) << Texto;
    TExprLambda* Original = t->Copia();
    TMotor m;
    m.FijaModo(Modo);
    for (int Paso = 0; Paso < 12; ++Paso) {
      bool Cambio = false;
      std::vector<TAplicacion*> Todos;
      TodosLosRedex(t, Todos);
      if (Paso % 4 == 3 && !Todos.empty())
        t = m.ContraeElegido(t, Todos[Azar() % Todos.size()], Cambio);
      else
        t = m.Reduce(t, Cambio, Multiple);
      if (!Cambio) break;
      ++Pasos;
      ASSERT_TRUE(EsValido(t) && MarcasCiertas(t)) << Texto;
      ASSERT_TRUE(ComoSeEscribio(t, Original, d, e)) << Texto << " paso " << Paso;
    }
    Libera(Original);
    Libera(t);
  }
  EXPECT_GT(Pasos, 1500);
  EXPECT_EQ(NodosVivos(), Vivos);
}
