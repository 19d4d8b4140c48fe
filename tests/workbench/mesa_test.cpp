// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the workbench, driven through a recording view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Comun.h"
#include "uLambda.h"
#include "uReduccion.h"
#include "uTextos.h"

namespace {

constexpr int Texto = TMesaTrabajo::PestanaTexto;
constexpr int Graficos = 1;

TEST(Mesa, EjemploDeCincoOrdenes) {
  TBanco b;
  b.Pestana(Texto);
  b.Entra("\\x.x", "I");
  EXPECT_EQ(b.Vista.Memo(), "\\ a . a");
  EXPECT_EQ(b.Vista.Estado, "");
  EXPECT_FALSE(b.Vista.Back);
  EXPECT_EQ(b.Vista.Def, "");

  b.Entra("I I");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b)");
  EXPECT_FALSE(b.Vista.Back);

  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . a");
  EXPECT_EQ(b.Vista.Estado, "");
  EXPECT_TRUE(b.Vista.Back);

  b.Mesa.btnBackClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b)");
  EXPECT_FALSE(b.Vista.Back);

  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . a");
  EXPECT_EQ(b.Vista.Estado, " 1 reducciones");
  EXPECT_EQ(b.Vista.Eventos, 2);  // two passes
  EXPECT_FALSE(b.Vista.Back);
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 1u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "I");
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
}

TEST(Mesa, EstadoInicial) {
  TBanco b;
  EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), nullptr);
  EXPECT_EQ(b.Mesa.Sesion.Anterior, nullptr);
  EXPECT_EQ(b.Mesa.Vistas.Zoom, 1.0);
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 0u);
  EXPECT_EQ(b.Mesa.Todo.Ritmo.Intervalo(), 0.0);
  // Without a term, the commands leave everything alone.
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaAllClick();
  b.Mesa.btnBackClick();
  b.Mesa.PageControl1Change();
  EXPECT_EQ(b.Vista.Memos, 0);
  EXPECT_EQ(b.Vista.Eventos, 0);
  EXPECT_EQ(b.Vista.Errores, 0);
}

TEST(Mesa, OtrasTeclasNoEntran) {
  TBanco b;
  b.Vista.Ent = "\\x.x";
  b.Mesa.edtEntKeyPress('a');
  b.Mesa.edtEntKeyPress('\n');
  EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), nullptr);
}

TEST(Mesa, Definiciones) {
  TBanco b;
  b.Entra("\\x.x");  // empty name box: nothing defined
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 0u);

  b.Entra("\\x.x", "Id");
  b.Entra("\\x y.x", "K");
  b.Entra("\\x y.y", "ID");  // another letter case: same entry, same place, first spelling
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "Id");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(0), "\\ a . \\ b . b");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[1].Nombre, "K");

  // Letters beyond ASCII fold too.
  b.Entra("\\x.x", "FUNCI\xD3N");
  b.Entra("\\x.x x", "funci\xF3n");
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 3u);
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(2), "\\ a . a a");

  // A redefinition that uses the old value.
  b.Entra("K K", "K");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(1), "(\\ a . \\ b . a) (\\ c . \\ d . c)");
  // The stored term is a copy: stepping the current term leaves it alone.
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . \\ b . \\ c . b");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(1), "(\\ a . \\ b . a) (\\ c . \\ d . c)");

  // A name the parser cannot read back is still stored.
  b.Entra("\\x.x", "uno dos");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 4u);
  b.Pestana(Texto);
  b.Entra("uno dos");  // two free variables, not the symbol
  EXPECT_EQ(b.Vista.Memo(), "a b");
}

TEST(Mesa, NombreRepetidoReemplazaElPrimero) {
  TCarpeta c;
  EscribeTodo(c.Ruta("d.txt"), "A\r\n\\x.x\r\na\r\n\\y.y y\r\n");
  TBanco b;
  b.Vista.RutaAbrir = c.Ruta("d.txt");
  b.Mesa.Abrir1Click();
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  b.Entra("A");
  EXPECT_EQ(b.Vista.Memo(), "\\ a . a");  // lookups find the first
  b.Entra("\\z.z z z", "a");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(0), "\\ a . a a a");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(1), "\\ a . a a");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "A");
}

TEST(Mesa, EntradaFallida) {
  TBanco b;
  b.Pestana(Texto);
  b.Entra("(\\x.x) y");
  b.Mesa.btnBetaClick();
  EXPECT_TRUE(b.Vista.Back);
  int Memos = b.Vista.Memos;

  b.Entra("(\\x.x", "N");
  EXPECT_EQ(b.Vista.Estado, "Par\xE9ntesis no cerrado");
  EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), nullptr);
  EXPECT_EQ(b.Mesa.Sesion.Anterior, nullptr);
  EXPECT_FALSE(b.Vista.Back);
  EXPECT_EQ(b.Vista.Def, "N");  // boxes stay as they are
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 0u);

  // Nothing to step, run or show; the text view keeps the old term.
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaAllClick();
  b.Pestana(Graficos);
  b.Pestana(Texto);
  EXPECT_EQ(b.Vista.Memos, Memos);
  EXPECT_EQ(b.Vista.Memo(), "a");
  EXPECT_EQ(b.Vista.Estado, "Par\xE9ntesis no cerrado");

  b.Entra("%");
  EXPECT_EQ(b.Vista.Estado, "No hay t\xE9rmino actual");
  b.Entra("\\x.x");
  EXPECT_EQ(b.Vista.Estado, "");
  b.Entra("% %");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b)");
}

TEST(Mesa, PasoYAtras) {
  TBanco b;
  b.Pestana(Texto);
  b.Entra("(\\x.x) ((\\y.y) (\\z.z w))");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b c)");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . a b");
  b.Mesa.btnBackClick();  // one level only
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b c)");
  EXPECT_FALSE(b.Vista.Back);
  b.Mesa.btnBackClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b c)");

  // A step on a normal form changes nothing, back included.
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . a b");
  EXPECT_TRUE(b.Vista.Back);
  b.Mesa.btnBackClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) (\\ b . b c)");

  // The step neither resets nor shows the count, nor touches the status.
  b.Vista.Estado = "x";
  b.Entra("(\\x.x) (\\y.y)");
  b.Vista.Estado = "antes";
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Estado, "antes");
}

TEST(Mesa, RaizVariable) {
  TBanco b;
  b.Pestana(Texto);
  b.Entra("(\\x.x) y");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "a");
  b.Mesa.btnBetaClick();  // nothing to contract
  EXPECT_EQ(b.Vista.Memo(), "a");
  b.Mesa.btnBackClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) b");
  b.Mesa.btnBetaClick();
  b.Entra("% %");
  EXPECT_EQ(b.Vista.Memo(), "a a");
  EXPECT_TRUE(EsValido(b.Mesa.Sesion.TerminoActual()));
}

TEST(Mesa, EjecutaTodo) {
  TBanco b;
  b.Pestana(Texto);
  // A normal form: one pass, count 0, back stays disabled.
  b.Entra("\\x.x");
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Estado, " 0 reducciones");
  EXPECT_EQ(b.Vista.Eventos, 1);
  EXPECT_FALSE(b.Vista.Back);
  EXPECT_EQ(b.Mesa.Sesion.Anterior, nullptr);

  // The thousands separator comes from the view.
  b.Entra("(\\a b.b a) (\\c d.c (c d)) (\\e g.e (e (e (e (e (e (e (e (e (e g))))))))))");
  b.Vista.Separador = ",";
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Estado, " 2,048 reducciones");
  EXPECT_EQ(TextoReducciones(1234, "."), " 1.234 reducciones");
  EXPECT_EQ(TextoReducciones(1234567, "\xA0"),
            " 1\xA0"
            "234\xA0"
            "567 reducciones");
  EXPECT_EQ(TextoReducciones(999, "."), " 999 reducciones");
  EXPECT_EQ(TextoReducciones(1000, ""), " 1000 reducciones");
}

// The same with a view that answers its events only between two of its commands (the browser's
// page): run-all waits there for them.
class MesaEspera : public testing::TestWithParam<bool> {
 protected:
  void Todo(TBanco& b) {
    b.Mesa.btnBetaAllClick();
    b.Vista.AtiendeEsperas();
  }
};
INSTANTIATE_TEST_SUITE_P(Vista, MesaEspera, testing::Bool());

TEST_P(MesaEspera, SegundaPulsacionPara) {
  TBanco b;
  b.Vista.Cede = GetParam();
  b.Pestana(Texto);
  b.Entra("(\\x.x x) (\\y.y y)");
  int Pasadas = 0;
  b.Vista.AlProcesarEventos = [&] {
    EXPECT_TRUE(b.Mesa.Todo.Ejecutando);
    if (++Pasadas == 5) {
      // A double click: both presses arrive in one round; neither starts a loop.
      b.Mesa.btnBetaAllClick();
      b.Mesa.btnBetaAllClick();
      EXPECT_TRUE(b.Mesa.Todo.PararPedido);
    }
  };
  Todo(b);
  EXPECT_EQ(Pasadas, 5);
  EXPECT_EQ(b.Vista.Estado, " 5 reducciones");
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
  EXPECT_FALSE(b.Mesa.Todo.PararPedido);
  EXPECT_FALSE(b.Vista.Back);
  // The next press starts afresh.
  Pasadas = 0;
  b.Vista.AlProcesarEventos = [&] {
    if (++Pasadas == 2) b.Mesa.btnBetaAllClick();
  };
  Todo(b);
  EXPECT_EQ(b.Vista.Estado, " 2 reducciones");
}

TEST_P(MesaEspera, OrdenesEntrePasadas) {
  TBanco b;
  b.Vista.Cede = GetParam();
  b.Pestana(Texto);
  b.Entra("(\\x.x x) (\\y.y y)");
  int Pasadas = 0;
  b.Vista.AlProcesarEventos = [&] {
    ++Pasadas;
    // β and ← have no place in a run: they change nothing, and back stays disabled.
    EXPECT_FALSE(b.Vista.Beta);
    if (Pasadas == 2) b.Mesa.btnBetaClick();
    if (Pasadas == 3) b.Mesa.btnBackClick();
    EXPECT_FALSE(b.Vista.Back);
    // An entry ends the run: the views and the status are the entry's.
    if (Pasadas == 4) b.Entra("(\\a.a) ((\\b.b) (\\c.c))");
  };
  Todo(b);
  EXPECT_EQ(Pasadas, 4);
  EXPECT_EQ(NumReducciones, 4);
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) ((\\ b . b) (\\ c . c))");
  EXPECT_EQ(b.Vista.Estado, "");
  EXPECT_TRUE(b.Vista.Beta);
  // Its run starts from it.
  Todo(b);
  EXPECT_EQ(b.Vista.Estado, " 2 reducciones");

  // A failed entry during the loop ends it: there is no current term.
  Pasadas = 0;
  b.Entra("(\\x.x x) (\\y.y y)");
  b.Vista.AlProcesarEventos = [&] {
    if (++Pasadas == 3) b.Entra("(");
  };
  Todo(b);
  EXPECT_EQ(Pasadas, 3);
  EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), nullptr);
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
}

TEST(Mesa, PestanasDuranteEjecutaTodo) {
  TBanco b;
  b.Vista.AnchoLienzo = 200;
  b.Vista.AltoLienzo = 100;
  b.Pestana(Texto);
  b.Entra("(\\x.x x) (\\y.y y)");
  int Memos = b.Vista.Memos, Refrescos = b.Vista.Refrescos, Pasadas = 0;
  b.Vista.AlProcesarEventos = [&] {
    ++Pasadas;
    if (Pasadas <= 3) {
      EXPECT_EQ(b.Vista.Memos, Memos + Pasadas);  // prints, does not draw
      EXPECT_EQ(b.Vista.Refrescos, Refrescos);
    }
    if (Pasadas == 3) {
      b.Pestana(Graficos);
      EXPECT_EQ(b.Vista.Refrescos, Refrescos + 1);
    }
    if (Pasadas > 3) {
      EXPECT_EQ(b.Vista.Memos, Memos + 3);  // draws instead
      EXPECT_EQ(b.Vista.Refrescos, Refrescos + Pasadas - 2);
    }
    if (Pasadas == 3) b.Vista.Multiple = true;  // read at every pass
    if (Pasadas == 6) b.Mesa.btnBetaAllClick();
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(Pasadas, 6);
  EXPECT_EQ(b.Mesa.Vistas.Bitmap.Width(), 200);
}

TEST(Mesa, IntervaloDeActualizacion) {
  // Same result either way; with a long interval the views are brought up to date only after
  // the last pass.
  std::string Memo[2], Estado[2];
  for (int i = 0; i < 2; ++i) {
    TBanco b;
    b.Pestana(Texto);
    b.Mesa.FijaIntervalo(i == 0 ? 0.0 : 3600.0);
    b.Entra("(\\f x.f (f x)) (\\g y.g (g (g y))) (\\h z.h (h z))");
    int Memos = b.Vista.Memos;
    b.Mesa.btnBetaAllClick();
    Memo[i] = b.Vista.Memo();
    Estado[i] = b.Vista.Estado;
    if (i == 1) {
      EXPECT_EQ(b.Vista.Memos, Memos + 1);
      EXPECT_EQ(b.Vista.Eventos, 1);
    } else {
      EXPECT_GT(b.Vista.Memos, Memos + 10);
    }
  }
  EXPECT_EQ(Memo[0], Memo[1]);
  EXPECT_EQ(Estado[0], Estado[1]);
  // 2 ^ (3 ^ 2) = 512 applications of a.
  EXPECT_EQ(std::count(Memo[0].begin(), Memo[0].end(), '('), 511);
}

TEST(Mesa, BetaTodoParadoEntreVistasMuestraElUltimoTermino) {
  // With a long interval the stop comes between two view updates: the last term is shown.
  TBanco b;
  b.Pestana(Texto);
  b.Mesa.FijaIntervalo(3600);
  b.Entra("(\\x.x x x) (\\x.x x x)");
  b.Vista.AlTerminarPasada = [&] {
    if (NumReducciones == 5) b.Mesa.btnBetaAllClick();
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Estado, " 5 reducciones");
  ::Renumera(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.NumVars);
  EXPECT_EQ(b.Vista.Memo(), b.Mesa.Sesion.TerminoActual()->Texto());
}

TEST(Mesa, BetaTodoSobreUnaFormaNormalNoLaVuelveAMostrar) {
  // The one pass changes nothing: the text and the reading of the Enter stand.
  TBanco b;
  b.Pestana(Texto);
  b.Entra("\\f x.f (f x)");
  const int Memos = b.Vista.Memos;
  const std::string Lectura = b.Vista.Lectura;
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Estado, " 0 reducciones");
  EXPECT_EQ(b.Vista.Memos, Memos);
  EXPECT_EQ(b.Vista.Memo(), "\\ a . \\ b . a (a b)");
  EXPECT_EQ(b.Vista.Lectura, Lectura);
  EXPECT_NE(Lectura.find("2"), std::string::npos);
}

TEST(Mesa, Zoom) {
  TBanco b;
  // Diagram tab: Zoom changes, the font does not.
  EXPECT_TRUE(b.Mesa.UpDown1ChangingEx(updUp));
  EXPECT_DOUBLE_EQ(b.Mesa.Vistas.Zoom, 1.2);
  EXPECT_TRUE(b.Mesa.UpDown1ChangingEx(updDown));
  EXPECT_DOUBLE_EQ(b.Mesa.Vistas.Zoom, 1.0);
  EXPECT_TRUE(b.Mesa.UpDown1ChangingEx(updNone));  // counts as down
  EXPECT_DOUBLE_EQ(b.Mesa.Vistas.Zoom, 1.0 / 1.2);
  EXPECT_EQ(b.Vista.Fuente, 18);
  // No bound either way; drawing at any zoom stays safe.
  b.Mesa.LienzoPaint(300, 200);
  b.Entra("(\\x.x x) (\\y.y) z");
  for (int i = 0; i < 5000; ++i) b.Mesa.UpDown1ChangingEx(updUp);
  EXPECT_GT(b.Mesa.Vistas.Zoom, 1e300);
  EXPECT_TRUE(std::isfinite(b.Mesa.Vistas.Zoom));  // or the down arrow could never bring it back
  for (int i = 0; i < 10000; ++i) b.Mesa.UpDown1ChangingEx(updDown);
  EXPECT_LT(b.Mesa.Vistas.Zoom, 1e-300);
  EXPECT_GT(b.Mesa.Vistas.Zoom, 0);
  b.Mesa.UpDown1ChangingEx(updUp);
  EXPECT_GT(b.Mesa.Vistas.Zoom, 0);

  // Text tab: the font changes by 2 points, Zoom does not.
  b.Mesa.Vistas.Zoom = 1.0;
  b.Pestana(Texto);
  b.Mesa.UpDown1ChangingEx(updUp);
  EXPECT_EQ(b.Vista.Fuente, 20);
  EXPECT_EQ(b.Mesa.Vistas.Zoom, 1.0);
  b.Mesa.UpDown1ChangingEx(updDown);
  b.Mesa.UpDown1ChangingEx(updDown);
  EXPECT_EQ(b.Vista.Fuente, 16);
  // The up arrow never shrinks, however often it was pressed; the count goes on below zero.
  for (int i = 0; i < 500; ++i) b.Mesa.UpDown1ChangingEx(updUp);
  EXPECT_EQ(b.Vista.Fuente, 1016);
  for (int i = 0; i < 520; ++i) b.Mesa.UpDown1ChangingEx(updDown);
  EXPECT_EQ(b.Vista.Fuente, -24);
}

TEST(Mesa, RenumeraAntesDeMostrar) {
  // Definitions share free variables with the current term: a save renumbers them, and a tab
  // change must not then print two variables under one name.
  TCarpeta c;
  TBanco b;
  b.Pestana(Texto);
  b.Entra("x", "E");
  b.Entra("y", "F");
  b.Entra("F E");
  EXPECT_EQ(b.Vista.Memo(), "a b");
  b.Vista.RutaSalvar = c.Ruta("d.txt");
  b.Mesa.Salvar1Click();
  b.Pestana(Graficos);
  b.Vista.FijaMemo(std::make_shared<const std::string>());
  b.Pestana(Texto);
  EXPECT_EQ(b.Vista.Memo(), "a b");
}

TEST(Mesa, Lienzo) {
  TBanco b;
  b.Entra("\\x.x x");
  EXPECT_EQ(b.Mesa.Vistas.Bitmap.Width(), 0);
  b.Mesa.LienzoPaint(120, 80);
  EXPECT_EQ(b.Mesa.Vistas.Bitmap.Width(), 120);
  EXPECT_EQ(b.Mesa.Vistas.Bitmap.Height(), 80);
  // Something other than the background was drawn.
  TPixel Fondo = b.Mesa.Vistas.Bitmap.Pixel(0, 0);
  bool Dibujado = false;
  for (int y = 0; y < 80 && !Dibujado; ++y)
    for (int x = 0; x < 120 && !Dibujado; ++x)
      Dibujado = !(b.Mesa.Vistas.Bitmap.Pixel(x, y) == Fondo);
  EXPECT_TRUE(Dibujado);
  b.Mesa.LienzoPaint(-5, -5);
  EXPECT_EQ(b.Mesa.Vistas.Bitmap.Width(), 0);
}

TEST(Mesa, CicloDetenidoEnSeguida) {
  // At the window's pace: a cycle of period p stops within 2p passes of its first repetition.
  struct {
    const char* Termino;
    int64_t Tope, Periodo;
  } Casos[] = {{"(\\x.x x) (\\y.y y)", 1 + 2, 1}, {"(\\x.x x) (\\y.(\\z.z) (y y))", 3 + 4, 2}};
  for (const auto& c : Casos) {
    for (int Tab : {Texto, Graficos}) {
      TBanco b;
      b.Pestana(Tab);
      b.Mesa.FijaIntervalo(1.0 / 60);
      b.Vista.DetenerCiclo = true;
      b.Entra(c.Termino);
      b.Mesa.btnBetaAllClick();
      EXPECT_LE(NumReducciones, c.Tope) << c.Termino;
      EXPECT_EQ(b.Mesa.Sesion.Ciclo(), c.Periodo) << c.Termino;
    }
  }
}

TEST(Mesa, NombreQueNoSeLeeComoSimbolo) {
  TBanco b;
  b.Entra("\\f x.f (f x)", "doble");
  EXPECT_EQ(b.Vista.Estado, "");  // stored all the same
  EXPECT_NE(b.Vista.Lectura.find("\xAB"
                                 "doble\xBB empieza por min\xFA"
                                 "scula"),
            std::string::npos);
  b.Entra("\\x.x", "A B");
  EXPECT_NE(b.Vista.Lectura.find("\xAB"
                                 "A B\xBB tiene un blanco o un signo"),
            std::string::npos);
  b.Entra("\\x.x", "DOBLE'");
  EXPECT_EQ(b.Vista.Lectura.find("\xAB"), std::string::npos);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 3u);
}

TEST(Mesa, UnSoloSeparadorDeMillares) {
  // Every number of the status bar and the error box is grouped with the view's separator, as
  // the count is: never "39,493,955 reducciones; Término demasiado grande: 197.470.083 nodos".
  std::size_t Limite = LimiteNodos();
  struct TRestaura {
    std::size_t L;
    ~TRestaura() { FijaLimiteNodos(L); }
  } Restaura{Limite};
  auto Comas = [](const std::string& s) {
    return s.find(',') != std::string::npos && s.find('.') == std::string::npos;
  };
  TBanco b;
  b.Pestana(Texto);
  b.Mesa.FijaIntervalo(3600);
  b.Vista.Separador = ",";
  FijaLimiteNodos(NodosVivos() + 20000);
  b.Entra("(\\x.x x x) (\\y.y y y)");
  b.Mesa.btnBetaAllClick();  // run-all stops at the limit
  EXPECT_TRUE(Comas(b.Vista.Estado)) << b.Vista.Estado;
  EXPECT_NE(b.Vista.Estado.find("nodos"), std::string::npos) << b.Vista.Estado;
  FijaLimiteNodos(NodosVivos() + 10);
  b.Mesa.btnBetaClick();  // a step whose copy for back does not fit
  EXPECT_TRUE(Comas(b.Vista.Estado)) << b.Vista.Estado;
  b.Entra("% %");  // an entry past the limit, refused by the parser
  EXPECT_TRUE(Comas(b.Vista.Estado)) << b.Vista.Estado;
  FijaLimiteNodos(Limite);
  b.Entra("(\\x.x x x) (\\y.y y y)");
  b.Mesa.Vistas.LimiteTexto = 1000;
  b.Mesa.Vistas.LimiteDiagrama = 1000;
  b.Vista.AlTerminarPasada = [&] {
    if (NumReducciones == 200) b.Mesa.btnBetaAllClick();
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Estado,
            " 200 reducciones; Texto demasiado grande para mostrarlo: m\xE1s de 1,000 caracteres");
  TCarpeta c;
  b.Vista.RutaDiagrama = c.Ruta("d.svg");
  b.Mesa.ExportarDiagrama1Click();
  EXPECT_EQ(b.Vista.UltimoError,
            "Diagrama demasiado grande para exportarlo: m\xE1s de 1,000 nodos");
  EXPECT_EQ(MensajeExcepcion(EDemasiadoGrande(1234), ","),
            "T\xE9rmino demasiado grande: 1,234 nodos en memoria");
}

// A view whose text box fails, as an out-of-memory would.
class TVistaQueFalla : public TVistaGrabadora {
 public:
  bool Falla = false;
  void FijaMemo(TTextoCompartido t) override {
    if (Falla) throw std::runtime_error("sin memoria");
    TVistaGrabadora::FijaMemo(std::move(t));
  }
};

TEST(Mesa, ExcepcionesTerminanLaOrden) {
  TVistaQueFalla v;
  v.Pestana = Texto;
  TMesaTrabajo m(v);
  m.FormCreate();
  v.Ent = "(\\x.x x) (\\y.y y)";
  m.edtEntKeyPress('\r');
  v.Falla = true;
  m.btnBetaAllClick();
  EXPECT_EQ(v.UltimoError, "sin memoria");
  EXPECT_FALSE(m.Todo.Ejecutando);
  EXPECT_FALSE(m.Todo.PararPedido);
  EXPECT_TRUE(EsValido(m.Sesion.TerminoActual()));
  m.btnBetaClick();
  EXPECT_EQ(v.Errores, 2);
  EXPECT_TRUE(EsValido(m.Sesion.Anterior));
  v.Falla = false;
  m.btnBackClick();
  EXPECT_EQ(v.Memo(), "(\\ a . a a) (\\ b . b b)");
  int Pasadas = 0;
  v.AlProcesarEventos = [&] {
    if (++Pasadas == 3) m.btnBetaAllClick();
  };
  m.btnBetaAllClick();  // the loop works again
  EXPECT_EQ(Pasadas, 3);
  EXPECT_EQ(MensajeExcepcion(std::bad_alloc()), "Out of memory");
  EXPECT_EQ(ConPuntoFinal("File not found"), "File not found.");
  EXPECT_EQ(ConPuntoFinal("Entrada vac\xED"
                          "a"),
            "Entrada vac\xED"
            "a.");
  EXPECT_EQ(ConPuntoFinal("Lambda mal construido."), "Lambda mal construido.");
  EXPECT_EQ(ConPuntoFinal("S\xEDmbolo no definido: "), "S\xEDmbolo no definido: ");
}

TEST(Mesa, CierreDuranteEjecutaTodo) {
  TBanco b;
  b.Pestana(Texto);
  b.Entra("(\\x.x x) (\\y.y y)");
  int Pasadas = 0;
  std::string Estado;
  b.Vista.AlProcesarEventos = [&] {
    if (++Pasadas == 4) {
      b.Mesa.FormClose();
      Estado = b.Vista.Estado;
      b.Vista.Estado = "cerrada";
    }
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(Pasadas, 4);
  EXPECT_EQ(b.Vista.Estado, "cerrada");  // nothing touched after the close
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
  EXPECT_TRUE(b.Mesa.Cerrado());
  // Every later command is refused.
  int Memos = b.Vista.Memos;
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaAllClick();
  b.Entra("\\x.x");
  EXPECT_EQ(b.Vista.Memos, Memos);
  EXPECT_EQ(Pasadas, 4);
}

}  // namespace
