// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "Ayuda.h"

namespace {

// Kinds and names of the tokens of a text, after both tokenizer steps.
std::string Tokens(const std::string& texto) {
  TLisToken t;
  std::string error;
  if (!Tokeniza(texto, nullptr, t, error) || !ExpandeLambdas(t, error)) return "!" + error;
  std::string s;
  for (int32_t i = 1; i <= t.Num; ++i) {
    const TToken& k = t.Lista[static_cast<std::size_t>(i)];
    const char* tipos[] = {"\\", ".", "(", ")", "v:", "s:", "l:", "%"};
    s += tipos[k.Tipo];
    s += std::string(NombreToken(texto, k));
    s += ' ';
  }
  return s;
}

}  // namespace

TEST(Tokenizador, SignosYNombres) {
  EXPECT_EQ(Tokens("\\x.x"), Tokens("/x.x"));
  EXPECT_EQ(Tokens("\\x.x(y)"), Tokens("\\ x . x ( y )"));
  EXPECT_EQ(Tokens("x' ab'c 'a"), "v:x' v:ab'c s:'a ");
  EXPECT_EQ(Tokens("Kx +x x +y"), "s:Kx s:+x v:x s:+y ");
  EXPECT_EQ(Tokens("A/B"), "s:A \\ s:B ");
  EXPECT_EQ(Tokens("x\xE9 \xC9x"), "!" + Mensajes::CaracterNoPermitido('\xE9', "x"));
  EXPECT_EQ(Tokens("\\x y z.x z"), "\\ v:x . \\ v:y . \\ v:z . v:x v:z ");
  EXPECT_EQ(Tokens("\\x"), "\\ v:x ");
  EXPECT_EQ(Tokens("\\x y"), "\\ v:x . \\ v:y ");
}

TEST(Tokenizador, CuentaLosTokensDeCualquierTexto) {
  // Equal to the tokens made, across the 16-byte stretches the count goes by; any byte at all.
  std::mt19937 azar(7);
  const std::string letras = " \\/.()%%ab'X\xE9";
  for (int i = 0; i < 4000; ++i) {
    std::string t(azar() % 70, ' ');
    for (char& c : t) c = i % 4 ? letras[azar() % letras.size()] : static_cast<char>(azar() % 256);
    std::size_t n = 0;
    bool antes = true;  // the byte before was a delimiter
    for (char c : t) {
      bool delim = std::string_view(" \\/.()%").find(c) != std::string_view::npos;
      n += delim ? c != ' ' : antes;
      antes = delim;
    }
    ASSERT_EQ(CuentaTokens(t), n) << t;
    TLisToken k;
    std::string error;
    if (Tokeniza(t, nullptr, k, error)) {
      EXPECT_EQ(static_cast<std::size_t>(k.Num), n) << t;
    }
  }
}

TEST(Tokenizador, Errores) {
  EXPECT_EQ(ErrorDe("xA"),
            "Car\xE1"
            "cter \"A\" no permitido en variable x");
  EXPECT_EQ(ErrorDe("x1"),
            "Car\xE1"
            "cter \"1\" no permitido en variable x");
  EXPECT_EQ(ErrorDe("ab+y"),
            "Car\xE1"
            "cter \"+\" no permitido en variable ab");
  EXPECT_EQ(ErrorDe("x\ty"),
            "Car\xE1"
            "cter \"\t\" no permitido en variable x");
  // The first offending character wins, before anything the builder would say.
  EXPECT_EQ(ErrorDe(") xB yC"),
            "Car\xE1"
            "cter \"B\" no permitido en variable x");
  EXPECT_EQ(ErrorDe(""), Mensajes::EntradaVacia);
  EXPECT_EQ(ErrorDe("    "), Mensajes::EntradaVacia);
  EXPECT_EQ(ErrorDe("\\x \\y.x"), Mensajes::LambdaMalConstruido);
  EXPECT_EQ(ErrorDe("\\x (y).x"), Mensajes::LambdaMalConstruido);
  EXPECT_EQ(ErrorDe("\\x Y.x"), Mensajes::LambdaMalConstruido);
  EXPECT_EQ(ErrorDe("%"), Mensajes::NoHayActual);
}

TEST(Constructor, Errores) {
  const char* casos[][2] = {
      {"\\x", Mensajes::LambdaMalConstruidoP},
      {"\\x.", Mensajes::LambdaMalConstruidoP},
      {"\\x y", Mensajes::LambdaMalConstruidoP},
      {"\\K.x", Mensajes::LambdaMalConstruidoP},
      {"\\x.\\x.x", Mensajes::Ambiguedad},
      {"\\x x.x", Mensajes::Ambiguedad},
      {"\\x.(\\x.x)", Mensajes::Ambiguedad},
      {".", Mensajes::PuntoSinLambda},
      {"x.y", Mensajes::PuntoSinLambda},
      {"(x", Mensajes::ParentesisNoCerrado},
      {"x)", Mensajes::CierreSinApertura},
      {"()", Mensajes::CierreSinApertura},
      {"(x FOO", Mensajes::ParentesisNoCerrado},
      // A failed function part: the arguments are still built, and a failing one replaces
      // the message.
      {"FOO (x", Mensajes::ParentesisNoCerrado},
      {"FOO x", "S\xEDmbolo no definido: FOO"},
      {"(FOO) x", "S\xEDmbolo no definido: FOO"},
      {"FOO BAR", "S\xEDmbolo no definido: BAR"},
      {"(FOO) x ()", Mensajes::CierreSinApertura},
      {"FOO", "S\xEDmbolo no definido: FOO"},
  };
  for (auto& c : casos) EXPECT_EQ(ErrorDe(c[0]), c[1]) << c[0];
}

TEST(Constructor, DondeEstaElFallo) {
  // Each message, and the bytes it is about: the token, or the whole text at the end of input.
  TDefiniciones defs;
  struct {
    const char* Texto;
    std::string Error;
    std::size_t Desde, Hasta;
  } casos[] = {
      {"", Mensajes::EntradaVacia, 0, 0},
      {"   ", Mensajes::EntradaVacia, 0, 3},
      {"x ab+y'z c", Mensajes::CaracterNoPermitido('+', "ab"), 2, 8},
      {"x %", Mensajes::NoHayActual, 2, 3},
      {"y \\x (y).x", Mensajes::LambdaMalConstruido, 2, 3},
      {"\\a.a \\x y Y.x", Mensajes::LambdaMalConstruido, 5, 6},
      {"\\x", Mensajes::LambdaMalConstruidoP, 0, 1},
      {"a \\x y", Mensajes::LambdaMalConstruidoP, 2, 3},
      {"\\x.(\\K.x)", Mensajes::LambdaMalConstruidoP, 4, 5},
      {"\\x.\\x.x", Mensajes::Ambiguedad, 4, 5},
      {"\\x  x.x", Mensajes::Ambiguedad, 4, 5},
      {"x.y", Mensajes::PuntoSinLambda, 1, 2},
      {"a (x", Mensajes::ParentesisNoCerrado, 2, 3},
      {"x ( )", Mensajes::CierreSinApertura, 4, 5},
      {"x  FOO", "S\xEDmbolo no definido: FOO", 3, 6},
      {"FOO (x", Mensajes::ParentesisNoCerrado, 4, 5},
      {"\\x.x", "", 0, 0},
  };
  for (auto& c : casos) {
    std::string error;
    TRango falta{7, 7};
    TExprLambda* t = Analiza(c.Texto, defs, nullptr, error, falta);
    EXPECT_EQ(error, c.Error) << c.Texto;
    EXPECT_EQ(falta.Desde, c.Desde) << c.Texto;
    EXPECT_EQ(falta.Hasta, c.Hasta) << c.Texto;
    Libera(t);
  }
  // A term past the limit: the whole text.
  std::size_t limite = LimiteNodos();
  FijaLimiteNodos(NodosVivos() + 2);
  std::string error;
  TRango falta;
  EXPECT_EQ(Analiza("x y z", defs, nullptr, error, falta), nullptr);
  FijaLimiteNodos(limite);
  EXPECT_EQ(falta.Hasta, 5u);
}

TEST(Constructor, Estructura) {
  TExprLambda* t = Lee("x x");
  TAplicacion* a = ComoAplicacion(t);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->Func, a->Arg);  // one free variable object per name
  EXPECT_EQ(ComoVariable(a->Func)->Refs, 2u);
  Libera(t);

  t = Lee("\\x.x");
  EXPECT_EQ(ComoFuncion(t)->Cuerpo, ComoFuncion(t)->Param);
  Libera(t);

  t = Lee("\\x.\\y.x");
  EXPECT_EQ(ComoFuncion(ComoFuncion(t)->Cuerpo)->Cuerpo, ComoFuncion(t)->Param);
  Libera(t);

  // x \x.x: the first x is free and distinct from the bound one.
  t = Lee("x \\x.x");
  a = ComoAplicacion(t);
  EXPECT_TRUE(ComoVariable(a->Func)->Libre);
  EXPECT_EQ(ComoFuncion(a->Arg)->Cuerpo, ComoFuncion(a->Arg)->Param);
  Libera(t);

  EXPECT_EQ(Normaliza("(x)"), "a");
  EXPECT_EQ(Normaliza("x y z"), "a b c");
  EXPECT_EQ(Normaliza("x (y z)"), "a (b c)");
  EXPECT_EQ(Normaliza("\\x.x y"), "\\ a . a b");
  EXPECT_EQ(Normaliza("x \\y.y z"), "a (\\ b . b c)");
  EXPECT_EQ(Normaliza("(\\x.x)(\\x.x)"), "(\\ a . a) (\\ b . b)");
  EXPECT_EQ(Normaliza("(\\x.x) x"), "(\\ a . a) b");
  EXPECT_EQ(Normaliza("\\x y z.x z"), "\\ a . \\ b . \\ c . a c");
  EXPECT_EQ(Normaliza("/x.x"), "\\ a . a");
}

TEST(Constructor, SimbolosYTerminoActual) {
  TDefiniciones defs;
  defs.Agrega("Id", Lee("\\x.x"));
  defs.Agrega(Cp("Función"), Lee("\\f.f y"));
  std::string error;
  TExprLambda* t = Analiza("ID ID", defs, nullptr, error);
  ASSERT_TRUE(t) << error;
  TAplicacion* a = ComoAplicacion(t);
  EXPECT_NE(a->Func, a->Arg);  // one copy per occurrence
  EXPECT_NE(a->Func, defs[0].Termino);
  EXPECT_EQ(Imprime(t), "(\\ a . a) (\\ b . b)");
  Libera(t);

  // Names match regardless of case over Windows-1252 accented letters.
  t = Analiza(Cp("FUNCIÓN y"), defs, nullptr, error);
  ASSERT_TRUE(t) << error;
  // The y inside the definition and the y typed now are different variables.
  EXPECT_EQ(Imprime(t), "(\\ a . a b) c");
  Libera(t);

  // '%' stands for a copy of the current term, which stays as it was.
  TExprLambda* actual = Lee("\\z.z z");
  t = Analiza("% x %", defs, actual, error);
  ASSERT_TRUE(t) << error;
  EXPECT_EQ(Imprime(t), "(\\ a . a a) b (\\ c . c c)");
  EXPECT_EQ(Imprime(actual), "\\ a . a a");
  Libera(t);

  // On success the error text comes back empty, whatever it held before.
  error = "basura";
  t = Analiza("x", defs, nullptr, error);
  EXPECT_TRUE(error.empty());
  Libera(t);
  Libera(actual);
}

TEST(Constructor, FallosNoDejanNada) {
  TDefiniciones defs;
  defs.Agrega("K", Lee("\\x.\\y.x"));
  TExprLambda* actual = Lee("\\z.z z");
  std::size_t antes = NodosVivos();
  const char* fallos[] = {"K K (x", "% K FOO", "\\a.\\b.a % K (\\a.a)", "K % x y )", "(% % %) x.y",
                          "\\a b c.K % FOO", "x y \\z.z % (", "(((K) % )",
                          // The arguments after a failed function part are built and dropped;
                          // a free variable among them must survive for its later uses.
                          "FOO z (y z)", "(FOO) z z z"};
  for (const char* f : fallos) {
    EXPECT_NE(ErrorDe(f, defs, actual), "") << f;
    EXPECT_EQ(NodosVivos(), antes) << f;
  }
  Libera(actual);
}

TEST(Constructor, LimiteAMitadNoDejaNada) {
  // Cut short at every size: what was half-built goes, the chains inside an abstraction first.
  std::size_t antes = NodosVivos(), limite = LimiteNodos();
  for (std::size_t mas = 0; mas < 12; ++mas) {
    FijaLimiteNodos(antes + mas);
    ErrorDe("\\x. x (x x) (x \\y.y x)");
    FijaLimiteNodos(limite);
    EXPECT_EQ(NodosVivos(), antes) << mas;
  }
}

TEST(Constructor, SinLimiteDeTokens) {
  std::string texto = "\\x.";
  for (int i = 0; i < 3000; ++i) texto += "x ";
  TExprLambda* t = Lee(texto);
  ASSERT_TRUE(t);
  int32_t n;
  Renumera(t, n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(CuentaNodos(t), 2u + 2999u + 3000u);
  Libera(t);
}

TEST(Definiciones, BusquedaSinMayusculas) {
  EXPECT_TRUE(MismoNombre(Cp("Función"), Cp("FUNCIÓN")));
  EXPECT_TRUE(MismoNombre("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"));
  EXPECT_FALSE(MismoNombre("\xD7", "\xF7"));  // multiplication and division signs
  EXPECT_FALSE(MismoNombre("suc", "suc "));
  TDefiniciones defs;
  defs.Agrega("Suc", Lee("\\n.n"));
  defs.Agrega("SUC", Lee("\\m.m m"));
  EXPECT_EQ(defs.Busca("suc"), 0);
  EXPECT_EQ(defs.Busca("otro"), -1);
}

// What a name can be, and what typed in the name box can only be an expression.
TEST(Definiciones, NombreOExpresion) {
  for (const char* n : {"DOS", "Suc", "+", "2", "A'b"}) {
    EXPECT_TRUE(NombreLegible(n)) << n;
    EXPECT_FALSE(EsExpresionEnNombre(n)) << n;
  }
  for (const char* n : {"\\x.x", "K I", "%", "(I)", "/x.x", " x.x"})
    EXPECT_TRUE(EsExpresionEnNombre(n)) << n;
  // Blanks around a name, a lowercase name: no name to write, but no expression either.
  for (const char* n : {"  DOS ", "x", "", " "}) EXPECT_FALSE(EsExpresionEnNombre(n)) << n;
  EXPECT_FALSE(NombreLegible("x"));
}
