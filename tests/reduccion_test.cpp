// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "Ayuda.h"
#include "Cargas.h"
#include "uLambdaInterno.h"
#include "uReduccion.h"

namespace {

// One pass through the engine; returns the contractions it made.
int64_t Paso(TMotor& motor, TExprLambda*& t, bool multiple, bool* cambio = nullptr) {
  int64_t antes = NumReducciones;
  bool c = false;
  t = motor.Reduce(t, c, multiple);
  if (cambio) *cambio = c;
  EXPECT_TRUE(EsValido(t) && MarcasCiertas(t));
  return NumReducciones - antes;
}

}  // namespace

TEST(Reduccion, TablaDeEjemplos) {
  struct {
    const char* antes;
    const char* simple;
    int nSimple;
    const char* multiple;
    int nMultiple;
  } casos[] = {
      {"a ((\\ b . b) c) ((\\ d . d) e)", "a b ((\\ c . c) d)", 1, "a b c", 2},
      {"(\\ a . a a) ((\\ b . b) c)", "(\\ a . a) b ((\\ c . c) b)", 1,
       "(\\ a . a) b ((\\ c . c) b)", 1},
      {"(\\ a . a) b ((\\ c . c) b)", "a ((\\ b . b) a)", 1, "a a", 2},
      {"(\\ a . a) (\\ b . b) c", "(\\ a . a) b", 1, "(\\ a . a) b", 1},
      {"\\ a . (\\ b . b) a", "\\ a . a", 1, "\\ a . a", 1},
      {"(\\ a . \\ b . b a) c", "\\ a . a b", 1, "\\ a . a b", 1},
      {"(\\ a . \\ b . b) ((\\ c . c) d)", "\\ a . a", 1, "\\ a . a", 1},
      {"(\\ a . a a) (\\ b . b b)", "(\\ a . a a) (\\ b . b b)", 1, "(\\ a . a a) (\\ b . b b)", 1},
      {"a (b c)", "a (b c)", 0, "a (b c)", 0},
  };
  std::size_t vivos = NodosVivos();
  for (auto& c : casos) {
    for (bool multiple : {false, true}) {
      TMotor motor;
      TExprLambda* t = Lee(c.antes);
      bool cambio;
      int64_t n = Paso(motor, t, multiple, &cambio);
      EXPECT_EQ(Imprime(t), multiple ? c.multiple : c.simple) << c.antes;
      EXPECT_EQ(n, multiple ? c.nMultiple : c.nSimple) << c.antes;
      EXPECT_EQ(cambio, n > 0);
      Libera(t);
    }
  }
  EXPECT_EQ(NodosVivos(), vivos);
}

TEST(Reduccion, CasosLimite) {
  std::size_t vivos = NodosVivos();
  TMotor motor;
  // A lone variable: nothing happens.
  TExprLambda* t = Lee("x");
  int64_t cuenta = NumReducciones;
  EXPECT_EQ(Paso(motor, t, false), 0);
  EXPECT_EQ(NumReducciones, cuenta);
  Libera(t);

  // The identity applied to a variable returns that very variable.
  motor.Olvida();
  t = Lee("(\\a.a) b");
  TExprLambda* b = ComoAplicacion(t)->Arg;
  EXPECT_EQ(Paso(motor, t, false), 1);
  EXPECT_EQ(t, b);
  Libera(t);
  EXPECT_EQ(NodosVivos(), vivos);

  // The identity applied to an abstraction: the argument itself takes the place.
  motor.Olvida();
  t = Lee("(\\a.a) (\\b.b c)");
  EXPECT_EQ(Paso(motor, t, false), 1);
  EXPECT_EQ(Imprime(t), "\\ a . a b");
  Libera(t);

  // A redex formed in function position waits for the next pass, in both modes.
  for (bool multiple : {false, true}) {
    motor.Olvida();
    t = Lee("(\\a.a) (\\b.b) c");
    EXPECT_EQ(Paso(motor, t, multiple), 1);
    EXPECT_EQ(Imprime(t), "(\\ a . a) b");
    EXPECT_EQ(Paso(motor, t, multiple), 1);
    EXPECT_EQ(Imprime(t), "a");
    bool cambio = true;
    EXPECT_EQ(Paso(motor, t, multiple, &cambio), 0);
    EXPECT_FALSE(cambio);
    Libera(t);
  }

  // k outermost redexes side by side: one per single pass, all in one multiple pass.
  for (bool multiple : {false, true}) {
    motor.Olvida();
    t = Lee("x ((\\a.a) y) ((\\b.b) y) ((\\c.c) y) ((\\d.d) y)");
    EXPECT_EQ(Paso(motor, t, multiple), multiple ? 4 : 1);
    Libera(t);
  }
  EXPECT_EQ(NodosVivos(), vivos);
}

TEST(Reduccion, ContraccionDestruyeLoQueDebe) {
  // The argument goes unreduced when the variable does not occur.
  TExprLambda* t = Lee("(\\a.\\b.b) ((\\c.c) d)");
  std::size_t antes = NodosVivos();
  TMotor motor;
  Paso(motor, t, false);
  // Gone: the application, the abstraction and its variable, the argument's application,
  // abstraction and variable, and the free d that nothing refers to any more.
  EXPECT_EQ(antes - NodosVivos(), 7u);
  Libera(t);

  // A pass on a normal form creates and destroys nothing.
  t = Lee("\\f.\\x.f (f (x (\\y.y f)))");
  antes = NodosVivos();
  for (bool multiple : {false, true}) {
    motor.Olvida();
    bool cambio = false;
    t = motor.Reduce(t, cambio, multiple);
    EXPECT_FALSE(cambio);
    EXPECT_EQ(NodosVivos(), antes);
  }
  Libera(t);
}

TEST(Reduccion, TerminoDemasiadoGrandeNoSeToca) {
  // Each contraction of (\x.x x x) (\x.x x x) adds a copy; past the limit the pass refuses.
  TExprLambda* t = Lee("(\\x.x x x) (\\x.x x x)");
  TMotor motor;
  bool cambio = false;
  t = motor.Reduce(t, cambio, false);
  t = motor.Reduce(t, cambio, false);
  std::string texto = Imprime(t);
  std::size_t limite = LimiteNodos();
  FijaLimiteNodos(NodosVivos() + 3);
  int64_t cuenta = NumReducciones;
  cambio = false;
  t = motor.Reduce(t, cambio, false);
  FijaLimiteNodos(limite);
  EXPECT_EQ(motor.Fin, TFinPasada::DemasiadoGrande);
  EXPECT_FALSE(cambio);
  EXPECT_GT(motor.NodosPedidos, NodosVivos());
  EXPECT_EQ(NumReducciones, cuenta);
  EXPECT_TRUE(EsValido(t));
  EXPECT_EQ(Imprime(t), texto);
  // With room again, it goes on as before.
  t = motor.Reduce(t, cambio, false);
  EXPECT_EQ(motor.Fin, TFinPasada::Normal);
  EXPECT_TRUE(cambio);
  Libera(t);
}

TEST(Reduccion, ContraccionRechazadaNoDejaMarcasFalsas) {
  // The search for a refused contraction has already worked out the marks of the body as if the
  // argument stood in it; with room again, every occurrence must still be found.
  for (bool multiple : {false, true}) {
    TExprLambda* t = Lee("(\\x.x (x x) (\\y.y x)) (\\z.z z)");
    TExprLambda* r = Lee("(\\x.x (x x) (\\y.y x)) (\\z.z z)");
    TMotor motor, otro;
    std::size_t limite = LimiteNodos();
    FijaLimiteNodos(NodosVivos() + 2);
    bool cambio = false;
    t = motor.Reduce(t, cambio, multiple);
    FijaLimiteNodos(limite);
    ASSERT_EQ(motor.Fin, TFinPasada::DemasiadoGrande);
    EXPECT_TRUE(MarcasCiertas(t));
    for (int i = 0; i < 3; ++i) {
      bool c1 = false, c2 = false;
      t = motor.Reduce(t, c1, multiple);
      r = otro.Reduce(r, c2, multiple);
      EXPECT_EQ(Imprime(t), Imprime(r));
    }
    Libera(t);
    Libera(r);
  }
}

TEST(Reduccion, UnaMarcaFalsaSeDescubre) {
  TExprLambda* t = Lee("\\x.(\\y.x y) x");
  ASSERT_TRUE(MarcasCiertas(t));
  TExprLambda* redex = static_cast<TFuncion*>(t)->Cuerpo;
  TExprLambda* interior = static_cast<TAplicacion*>(redex)->Func;
  uint32_t antes = redex->Marca;
  redex->Marca |= TExprLambda::SinRedex;
  EXPECT_FALSE(MarcasCiertas(t));
  redex->Marca = antes;
  antes = interior->Marca;
  interior->Marca |= TExprLambda::Cerrado;
  EXPECT_FALSE(MarcasCiertas(t));
  interior->Marca = antes;
  PonNivelMinimo(interior, Nivel(static_cast<TFuncion*>(t)->Param) + 1);  // above x's level
  EXPECT_FALSE(MarcasCiertas(t));
  interior->Marca = antes;
  EXPECT_TRUE(MarcasCiertas(t));
  Libera(t);
}

TEST(Reduccion, NivelesAgotados) {
  // When the variables' levels run out midway, the engine goes on to the same normal form.
  const char* Fact4 =
      "(\\c.(\\d.c (d d)) (\\e.c (e e))) (\\i.\\j.(\\k.k (\\l.\\o.\\p.p) (\\q.\\s.q)) j "
      "(\\t.\\v.t v) ((\\w.\\y.\\z.w (y z)) j (i ((\\a'.\\b'.\\c'.a' (\\d'.\\e'.e' (d' b')) "
      "(\\f'.c') (\\g'.g')) j)))) (\\h'.\\i'.h' (h' (h' (h' i'))))";
  for (bool multiple : {false, true}) {
    UltimoNivel = TExprLambda::NivelTope - 50;
    TExprLambda* t = Lee(Fact4);
    TMotor motor;
    int64_t antes = NumReducciones;
    bool cambio = true;
    while (cambio) {
      cambio = false;
      t = motor.Reduce(t, cambio, multiple);
    }
    EXPECT_EQ(NumReducciones - antes, multiple ? 5655 : 3873);
    EXPECT_TRUE(EsValido(t) && MarcasCiertas(t));
    EXPECT_EQ(CuentaNodos(t), 53u);  // the numeral 24
    Libera(t);
  }
}

// The contraction counts of the benchmark workloads, in both modes, and the normal forms.
TEST(Reduccion, CargasDeReferencia) {
  auto esperados = LeeEsperados(LAMBDA_BENCH_DIR);
  // The workloads live beside the checkout, not in it.
  if (esperados.empty()) GTEST_SKIP() << "no workloads in " LAMBDA_BENCH_DIR;
  for (const TCarga& c : LeeCargas(LAMBDA_BENCH_DIR)) {
    const TEsperado* e = nullptr;
    for (auto& [nombre, valor] : esperados)
      if (nombre == c.Nombre) e = &valor;
    ASSERT_TRUE(e) << c.Nombre;
    for (bool multiple : {false, true}) {
      std::size_t vivos = NodosVivos();
      TExprLambda* t = Lee(c.Texto);
      ASSERT_TRUE(t) << c.Nombre;
      TMotor motor;
      NumReducciones = 0;
      long pasadas = 0;
      bool cambio = true;
      while (cambio && (c.Limite == 0 || NumReducciones < c.Limite)) {
        cambio = false;
        t = motor.Reduce(t, cambio, multiple);
        ++pasadas;
      }
      EXPECT_EQ(NumReducciones, multiple ? e->ContraccionesMultiple : e->Contracciones) << c.Nombre;
      if (multiple && c.Limite == 0) {
        EXPECT_EQ(pasadas, e->PasadasMultiple) << c.Nombre;
      }
      if (!multiple) {
        std::size_t abstracciones = 0;
        t->RecorrePre([&](TExprLambda* n) { abstracciones += EsFuncion(n); });
        EXPECT_EQ(static_cast<long>(CuentaNodos(t) - abstracciones), e->Nodos) << c.Nombre;
        EXPECT_EQ(static_cast<long>(Profundidad(t)), e->Profundidad) << c.Nombre;
      }
      EXPECT_TRUE(EsValido(t)) << c.Nombre;
      Libera(t);
      EXPECT_EQ(NodosVivos(), vivos) << c.Nombre;
    }
  }
}

// The redexes listed before a pass are the ones it contracts: by their printed form on the
// worked table, and by their number along the runs of small workloads, with the engine's marks
// in whatever state its passes leave them, sought from the root and from the engine's place.
TEST(Reduccion, SiguientesRedexSonLosDeLaPasada) {
  struct {
    const char* termino;
    std::vector<std::string> simple, multiple;
  } casos[] = {
      {"a ((\\ b . b) c) ((\\ d . d) e)", {"(\\ b . b) c"}, {"(\\ b . b) c", "(\\ d . d) e"}},
      {"(\\ a . a a) ((\\ b . b) c)",
       {"(\\ a . a a) ((\\ b . b) c)"},
       {"(\\ a . a a) ((\\ b . b) c)"}},
      {"(\\ a . a) b ((\\ c . c) b)", {"(\\ a . a) b"}, {"(\\ a . a) b", "(\\ c . c) b"}},
      {"(\\ a . a) (\\ b . b) c", {"(\\ a . a) (\\ b . b)"}, {"(\\ a . a) (\\ b . b)"}},
      {"\\ a . (\\ b . b) a", {"(\\ b . b) a"}, {"(\\ b . b) a"}},
      {"a (b c)", {}, {}},
  };
  std::vector<TAplicacion*> redex;
  for (auto& c : casos) {
    for (bool multiple : {false, true}) {
      TExprLambda* t = Lee(c.termino);
      Imprime(t);
      SiguientesRedex(t, multiple, redex);
      std::vector<std::string> textos;
      for (TAplicacion* r : redex) textos.push_back(r->Texto());
      EXPECT_EQ(textos, multiple ? c.multiple : c.simple) << c.termino;
      Libera(t);
    }
  }
  for (const char* texto : {"(\\a.\\b.b a) (\\c.\\d.c (c d)) (\\e.\\g.e (e (e g)))",
                            "(\\c.(\\d.c (d d)) (\\e.c (e e))) (\\i.\\j.(\\k.k (\\l.\\o.\\p.p) "
                            "(\\q.\\s.q)) j (\\t.\\v.t v) ((\\w.\\y.\\z.w (y z)) j (i "
                            "((\\a'.\\b'.\\c'.a' (\\d'.\\e'.e' (d' b')) (\\f'.c') (\\g'.g')) j)))) "
                            "(\\h'.\\i'.h' (h' i'))"}) {
    for (bool multiple : {false, true}) {
      TExprLambda* t = Lee(texto);
      ASSERT_TRUE(t);
      TMotor motor;
      std::vector<TAplicacion*> desdeElMotor;
      for (int i = 0; i < 2000; ++i) {
        // From where the engine's next pass starts, and from the root.
        motor.Siguientes(t, multiple, desdeElMotor);
        SiguientesRedex(t, multiple, redex);
        ASSERT_EQ(desdeElMotor, redex) << texto << " pass " << i;
        int64_t n = Paso(motor, t, multiple);
        ASSERT_EQ(static_cast<int64_t>(redex.size()), n) << texto << " pass " << i;
        if (n == 0) break;
      }
      Libera(t);
    }
  }
}

// Every redex in printing order, and a chosen one contracted alone, even one no pass would take.
TEST(Reduccion, RedexElegido) {
  TExprLambda* t = Lee("(\\a.a (\\b.b) ((\\c.c) d)) ((\\e.e) f)");
  std::vector<TAplicacion*> r;
  TodosLosRedex(t, r);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0], t);
  TMotor m;
  bool Cambio = false;
  t = m.ContraeElegido(t, r[2], Cambio);
  EXPECT_TRUE(Cambio);
  EXPECT_EQ(Imprime(t), "(\\ a . a (\\ b . b) ((\\ c . c) d)) e");
  EXPECT_TRUE(EsValido(t) && MarcasCiertas(t));
  TodosLosRedex(t, r);
  ASSERT_EQ(r.size(), 2u);
  Cambio = false;
  t = m.ContraeElegido(t, r[1], Cambio);
  EXPECT_EQ(Imprime(t), "(\\ a . a (\\ b . b) c) d");
  Libera(t);
}
