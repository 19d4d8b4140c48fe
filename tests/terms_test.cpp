// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "Ayuda.h"
#include "uReduccion.h"

namespace {

// The process's resident memory, in bytes.
std::size_t Residente() {
  std::ifstream f("/proc/self/statm");
  std::size_t Total = 0, Paginas = 0;
  f >> Total >> Paginas;
  return Paginas * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

TEST(Impresion, FormasDeLaTabla) {
  // Term, printed form: grouping to the left, abstractions in function position and compound
  // arguments in parentheses, bodies to the end.
  const char* casos[][2] = {
      {"\\x.x", "\\ a . a"},
      {"\\x.\\y.y x", "\\ a . \\ b . b a"},
      {"(\\x.x) y", "(\\ a . a) b"},
      {"(f g) h", "a b c"},
      {"f (g h)", "a (b c)"},
      {"f (\\x.x)", "a (\\ b . b)"},
      {"\\x.x (\\y.y)", "\\ a . a (\\ b . b)"},
      {"\\x.((\\y.y) x)", "\\ a . (\\ b . b) a"},
      {"((\\x.x) (\\y.y)) z", "(\\ a . a) (\\ b . b) c"},
      {"(\\x.\\y.y x) z", "(\\ a . \\ b . b a) c"},
  };
  for (auto& c : casos) EXPECT_EQ(Normaliza(c[0]), c[1]) << c[0];
}

TEST(Impresion, NombresPorNumero) {
  EXPECT_EQ(NombreVariable(0), "a");
  EXPECT_EQ(NombreVariable(25), "z");
  EXPECT_EQ(NombreVariable(26), "a'");
  EXPECT_EQ(NombreVariable(51), "z'");
  EXPECT_EQ(NombreVariable(52), "a''");
  // A variable never numbered prints as the first name.
  TVariable* v = new TVariable(true);
  v->Refs = 1;
  EXPECT_EQ(v->Texto(), "a");
  Libera(v);
}

TEST(Numeracion, CuentaVariablesDistintas) {
  TExprLambda* t = Lee("(\\x.\\y.y x) z");
  int32_t n = -5;
  Renumera(t, n);
  EXPECT_EQ(n, 3);
  TFuncion* f = ComoFuncion(ComoAplicacion(t)->Func);
  EXPECT_EQ(f->Param->Indice, 0);
  EXPECT_EQ(ComoFuncion(f->Cuerpo)->Param->Indice, 1);
  EXPECT_EQ(ComoVariable(ComoAplicacion(t)->Arg)->Indice, 2);
  Libera(t);
  // Occurrences do not count, variables do; a reused name in separate scopes is two variables.
  t = Lee("(\\x.x x x) (\\x.x) y y");
  Renumera(t, n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(t->Texto(), "(\\ a . a a a) (\\ b . b) c c");
  Libera(t);
}

TEST(Numeracion, IgualQueLosDosRecorridos) {
  // The one walk gives what the two handlers over RecorrePre give: free variables numbered at
  // their first occurrence, before or after binders, deep in arguments and functions; and the
  // scratch bit it uses on free variables is gone afterwards.
  TExprLambda* t = Lee("(u (\\x.w x ((\\y.y u) v)) w) (\\z.v (z w)) (u v)");
  int32_t Uno = 0, Otro = 0;
  t->RecorrePre(ReseteaVariable);
  t->RecorrePre([&](TExprLambda* e) { NumeraVariable(Uno, e); });
  std::string Esperado = t->Texto();
  Renumera(t, Otro, [] {});
  EXPECT_EQ(Otro, Uno);
  EXPECT_EQ(t->Texto(), Esperado);
  ASSERT_EQ(Esperado, "a (\\ b . c b ((\\ d . d a) e)) c (\\ f . e (f c)) (a e)");
  t->RecorrePre([](TExprLambda* e) { EXPECT_EQ(e->Marca & 0xCu, 0u); });
  Libera(t);
}

TEST(Copia, VariablesNuevasSoloParaLasLigadas) {
  std::size_t antes = NodosVivos();
  TExprLambda* t = Lee("\\x.x y");
  TExprLambda* c = t->Copia();
  TFuncion* ft = ComoFuncion(t);
  TFuncion* fc = ComoFuncion(c);
  ASSERT_TRUE(fc);
  EXPECT_NE(fc, ft);
  EXPECT_NE(fc->Param, ft->Param);
  TAplicacion* cuerpo = ComoAplicacion(fc->Cuerpo);
  EXPECT_EQ(cuerpo->Func, fc->Param);
  EXPECT_EQ(cuerpo->Arg, ComoAplicacion(ft->Cuerpo)->Arg);  // the free y is shared
  EXPECT_TRUE(EsValido(t));
  EXPECT_TRUE(EsValido(c));
  Libera(t);
  EXPECT_EQ(Imprime(c), "\\ a . a b");
  Libera(c);
  EXPECT_EQ(NodosVivos(), antes);
}

TEST(Copia, RaizVariableEsElMismoObjeto) {
  std::size_t antes = NodosVivos();
  TExprLambda* x = Lee("x");
  TExprLambda* c = x->Copia();
  EXPECT_EQ(c, x);
  Libera(c);  // the other holder still has it
  EXPECT_EQ(Imprime(x), "a");
  Libera(x);
  EXPECT_EQ(NodosVivos(), antes);
}

TEST(Sustitucion, CopiaPorOcurrencia) {
  std::size_t antes = NodosVivos();
  TExprLambda* t = Lee("\\x.\\v.v v v w");
  TFuncion* f = ComoFuncion(t);
  TFuncion* g = ComoFuncion(f->Cuerpo);
  TExprLambda* valor = Lee("\\z.z");
  std::size_t conValor = NodosVivos();
  // No occurrence: nothing changes, nothing is copied.
  EXPECT_EQ(g->Sustituye(f->Param, valor), g);
  EXPECT_EQ(NodosVivos(), conValor);
  // Three occurrences, three copies, each with a binder of its own.
  g->Cuerpo = g->Cuerpo->Sustituye(g->Param, valor);
  EXPECT_EQ(NodosVivos(), conValor + 3 * 2);
  EXPECT_EQ(Imprime(t), "\\ a . \\ b . (\\ c . c) (\\ d . d) (\\ e . e) f");
  Libera(valor);
  Libera(t);
  EXPECT_EQ(NodosVivos(), antes);
}

TEST(Destruccion, LiberaTodoLoSuyoYNadaMas) {
  std::size_t antes = NodosVivos();
  // The body is the abstraction's own variable: destroyed once.
  Libera(Lee("\\x.x"));
  // Both children variables: only the application goes, then the free variables with it.
  Libera(Lee("x y"));
  Libera(Lee("(\\x.\\y.x (y (\\z.z x))) w w"));
  EXPECT_EQ(NodosVivos(), antes);
  // A free variable lives while any term refers to it.
  TExprLambda* a = Lee("x x");
  TExprLambda* b = a->Copia();
  Libera(a);
  EXPECT_EQ(Imprime(b), "a a");
  Libera(b);
  EXPECT_EQ(NodosVivos(), antes);
}

TEST(Recorridos, OrdenPreYPost) {
  TExprLambda* t = Lee("(\\x.x) y");
  std::string pre, post;
  auto nombre = [](TExprLambda* n) {
    return EsVariable(n) ? std::string("v") : EsFuncion(n) ? std::string("L") : std::string("@");
  };
  t->RecorrePre([&](TExprLambda* n) { pre += nombre(n); });
  t->RecorrePost([&](TExprLambda* n) { post += nombre(n); });
  EXPECT_EQ(pre, "@Lvvv");  // the binder's variable is visited as Param and as the body
  EXPECT_EQ(post, "vvLv@");
  Libera(t);
}

TEST(Limite, CopiaDemasiadoGrandeNoDejaNada) {
  TExprLambda* t = Lee("\\x.x x x x x x x x x x");
  std::size_t antes = NodosVivos();
  std::size_t limite = LimiteNodos();
  FijaLimiteNodos(antes + 5);
  EXPECT_THROW(
      {
        TExprLambda* c = t->Copia();
        Libera(c);
      },
      EDemasiadoGrande);
  FijaLimiteNodos(limite);
  EXPECT_EQ(NodosVivos(), antes);
  EXPECT_TRUE(EsValido(t));
  EXPECT_EQ(Imprime(t), "\\ a . a a a a a a a a a a");
  Libera(t);
  EXPECT_EQ(ConMillares(52000000), "52.000.000");
  EXPECT_EQ(ConMillares(999), "999");
  EXPECT_EQ(MensajeDemasiadoGrande(1234), "T\xE9rmino demasiado grande: 1.234 nodos en memoria");
}

TEST(Memoria, UnTerminoGrandeLaDevuelve) {
#ifdef LAMBDA_SIN_POOL
  GTEST_SKIP() << "without the pool, memory is the allocator's";
#endif
  constexpr std::size_t MB = std::size_t(1) << 20, N = std::size_t(4) << 20;  // 128 MB of nodes
  // What the pool holds, within twice its live nodes and 64 MB.
  auto Holgado = [] { return BytesDeNodos() <= 2 * 32 * NodosVivos() + 64 * MB; };
  const std::size_t Antes = Residente();
  // x x ... x: N applications over one free variable.
  auto Grande = [] {
    TVariable* x = new TVariable(true);
    TExprLambda* t = x;
    x->Refs = 1;
    for (std::size_t i = 0; i < N; ++i) {
      ++x->Refs;
      t = new TAplicacion(t, x);
    }
    return t;
  };
  // Released whole: Libera gives the empty blocks back itself.
  TExprLambda* t = Grande();
  EXPECT_GT(BytesDeNodos(), 32 * N);
  Libera(t);
  EXPECT_TRUE(Holgado()) << BytesDeNodos();
  EXPECT_LT(Residente(), Antes + 64 * MB);
  // Dropped by a contraction: the engine frees it, and DevuelveMemoria (which run-all calls
  // after its passes) gives it back.
  TExprLambda* r = new TAplicacion(Lee("\\k z.z"), Grande());
  bool Cambio = false;
  TMotor Motor;
  r = Motor.Reduce(r, Cambio, false);
  EXPECT_EQ(Imprime(r), "\\ a . a");
  DevuelveMemoria();
  EXPECT_TRUE(Holgado()) << BytesDeNodos();
  EXPECT_LT(Residente(), Antes + 64 * MB);
  Libera(r);
}

TEST(Marcas, SeSabenAlConstruir) {
  constexpr uint32_t SinRedex = TExprLambda::SinRedex, Cerrado = TExprLambda::Cerrado;
  // No redex: the root says so from the parse on. The inner abstraction is not closed: x is
  // bound outside it.
  TExprLambda* t = Lee("\\x.\\y.x (y y)");
  EXPECT_EQ(t->Marca & (SinRedex | Cerrado), SinRedex | Cerrado);
  EXPECT_EQ(ComoFuncion(t)->Cuerpo->Marca & (SinRedex | Cerrado), SinRedex);
  Libera(t);
  TExprLambda* r = Lee("(\\x.\\y.y) z");
  EXPECT_EQ(r->Marca & (SinRedex | Cerrado), Cerrado);
  EXPECT_EQ(ComoAplicacion(r)->Func->Marca & (SinRedex | Cerrado), SinRedex | Cerrado);
  Libera(r);
}

TEST(Impresion, RangosDeLosNodos) {
  // (\x.x x) (y (\z.z)) ((\w.w) y): two redexes, with their function parts and arguments.
  TExprLambda* t = Lee("(\\x.x x) (y (\\z.z)) ((\\w.w) y)");
  int32_t n;
  Renumera(t, n);
  auto* raiz = ComoAplicacion(t);
  auto* r1 = ComoAplicacion(raiz->Func);
  auto* a1 = ComoAplicacion(r1->Arg);
  auto* r2 = ComoAplicacion(raiz->Arg);
  TExprLambda* otro = Lee("\\q.q");
  // The variable y is r2's Arg and also a1's Func: it is sought beside the application listed
  // before it. A node twice, a node of another term and null are allowed.
  std::vector<TExprLambda*> nodos{r1,      r1->Func, a1,   a1->Arg, r2, r2->Func,
                                  r2->Arg, raiz,     otro, nullptr, r2, t};
  std::vector<TRango> rangos;
  std::string s = TextoConRangos(t, LongitudTexto(t), nodos, rangos);
  EXPECT_EQ(s, t->Texto());
  ASSERT_EQ(s, "(\\ a . a a) (b (\\ c . c)) ((\\ d . d) b)");
  std::vector<std::string> partes;
  for (const TRango& r : rangos) partes.push_back(s.substr(r.Desde, r.Hasta - r.Desde));
  std::vector<std::string> esperadas{"(\\ a . a a) (b (\\ c . c))",
                                     "(\\ a . a a)",
                                     "(b (\\ c . c))",
                                     "(\\ c . c)",
                                     "((\\ d . d) b)",
                                     "(\\ d . d)",
                                     "b",
                                     s,
                                     "",
                                     "",
                                     "((\\ d . d) b)",
                                     s};
  EXPECT_EQ(partes, esperadas);
  EXPECT_EQ(rangos[6].Desde, s.size() - 2);  // the occurrence in r2, not the one in a1
  EXPECT_EQ(rangos[8].Hasta, 0u);
  // The scratch marks are gone, and a variable term is its own range.
  EXPECT_TRUE(EsValido(t));
  EXPECT_EQ((r1->Marca | r2->Marca | a1->Marca) & 0xCu, 0u);  // the two scratch bits
  TExprLambda* v = ComoFuncion(otro)->Param;
  EXPECT_EQ(TextoConRangos(v, 1, {v}, rangos), "a");
  EXPECT_EQ(rangos[0].Hasta, 1u);
  Libera(otro);
  Libera(t);
  // A pulse that throws cuts the print short, and the marks go all the same.
  std::string largo = "\\f.";
  for (int i = 0; i < 70000; ++i) largo += "f (";
  largo += "f" + std::string(70000, ')');
  t = Lee(largo);
  Renumera(t, n);
  TExprLambda* cuerpo = ComoFuncion(t)->Cuerpo;
  EXPECT_THROW(TextoConRangos(t, LongitudTexto(t), {cuerpo}, rangos, [] { throw 1; }), int);
  EXPECT_EQ(cuerpo->Marca & 0xCu, 0u);
  Libera(t);
}
