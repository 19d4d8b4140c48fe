// SPDX-License-Identifier: GPL-3.0-or-later
// Commands that arrive while run-all's view update of a big term answers the window's events.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Comun.h"
#include "uLambda.h"
#include "uParser.h"

namespace {

constexpr int Texto = TMesaTrabajo::PestanaTexto;
constexpr int Graficos = 1;

// The Church numeral n: its walks pause a few times to answer events.
std::string Numeral(int n) {
  std::string s = "\\f x.";
  for (int i = 0; i < n; ++i) s += "f (";
  return s + "x" + std::string(n, ')');
}

// A workbench showing one tab, with a canvas and a big definition GRANDE.
struct TBancoGrande : TBanco {
  explicit TBancoGrande(int Tab) {
    Vista.AnchoLienzo = 300;
    Vista.AltoLienzo = 200;
    Mesa.LienzoPaint(300, 200);
    Pestana(Tab);
    Entra(Numeral(100000), "GRANDE");
    Entra("(\\x.x) GRANDE");
  }
  // Run-all, with `Ordenes` given once, the first time the view update stops to answer events.
  void EjecutaCon(const std::function<void()>& Ordenes) {
    Mesa.FijaIntervalo(1e-9);
    bool Dadas = false;
    Vista.AlProcesarEventos = [&] {
      if (Dadas || !Mesa.Todo.Ritmo.Atendiendo()) return;
      Dadas = true;
      Ordenes();
    };
    Mesa.btnBetaAllClick();
    Vista.AlProcesarEventos = nullptr;
    EXPECT_TRUE(Dadas);
  }
};

// What a user can see and keep of the workbench.
std::string Estado(TBancoGrande& b, const TCarpeta& c) {
  std::string s = b.Vista.Memo() + "|" + b.Vista.Estado + "|" + b.Vista.Lectura + "|" +
                  std::to_string(b.Vista.Back) + std::to_string(b.Vista.Fuente) + "|" +
                  std::to_string(b.Mesa.Vistas.Zoom) + "|" +
                  std::to_string(b.Mesa.Vistas.Escala()) + "|" +
                  std::to_string(b.Mesa.Vistas.Bitmap.Width()) + "x" +
                  std::to_string(b.Mesa.Vistas.Bitmap.Height()) + "|" + b.Vista.Def + "|";
  for (std::size_t i = 0; i < b.Mesa.Sesion.Definiciones.Cuenta(); ++i)
    s += b.Mesa.Sesion.Definiciones[i].Nombre + "=" +
         b.Mesa.Sesion.LineaDefinicion(i).substr(0, 40) + ";";
  for (const char* f : {"s.txt", "d.svg", "r.txt"}) s += "|" + LeeTodo(c.Ruta(f)).substr(0, 400);
  EXPECT_TRUE(!b.Mesa.Sesion.TerminoActual() || EsValido(b.Mesa.Sesion.TerminoActual()));
  return s;
}

// Every event the window can receive, in one round. β, ← and ∀β have no part in it: inside
// run-all the first two do nothing, and ∀β only stops the run, which the entry does anyway.
void TodasLasOrdenes(TBancoGrande& b, const TCarpeta& c, bool EnEjecucion) {
  b.Mesa.FijaEscala(2);
  b.Vista.AnchoLienzo = 320;
  b.Vista.AltoLienzo = 180;
  b.Mesa.LienzoPaint(320, 180);
  b.Pestana(b.Vista.Pestana == Texto ? Graficos : Texto);
  b.Mesa.UpDown1ChangingEx(updUp);
  b.Vista.Multiple = !b.Vista.Multiple;
  b.Mesa.OpcionesClick();
  b.Vista.Halo = !b.Vista.Halo;
  b.Mesa.OpcionesClick();
  b.Vista.DetenerCiclo = !b.Vista.DetenerCiclo;
  b.Mesa.LienzoArrastra(5, 7);
  b.Vista.RutaSalvar = c.Ruta("s.txt");
  b.Mesa.Salvar1Click();
  b.Vista.RutaAbrir = c.Ruta("s.txt");
  b.Mesa.Abrir1Click();
  b.Vista.RutaDiagrama = c.Ruta("d.svg");
  b.Mesa.ExportarDiagrama1Click();
  b.Vista.RutaReduccion = c.Ruta("r.txt");
  b.Mesa.ExportarReduccion1Click();
  if (EnEjecucion) {
    b.Mesa.btnBetaClick();
    b.Mesa.btnBackClick();
  }
  // The entry copies what the term is when it runs: the run's result, either way.
  b.Vista.Def = "G";
  b.Vista.Ent = "% g y";
  b.Mesa.edtEntKeyPress('\r');
  if (EnEjecucion) b.Mesa.btnBetaAllClick();
}

TEST(Reentrada, CadaOrdenDuranteUnaActualizacionEsperaASuTurno) {
  for (int Tab : {Texto, Graficos}) {
    TCarpeta c1, c2;
    TBancoGrande Dentro(Tab), Despues(Tab);
    Dentro.EjecutaCon([&] { TodasLasOrdenes(Dentro, c1, true); });
    EXPECT_FALSE(Dentro.Mesa.Todo.Ejecutando);
    Despues.Mesa.btnBetaAllClick();
    TodasLasOrdenes(Despues, c2, false);
    EXPECT_EQ(Estado(Dentro, c1), Estado(Despues, c2)) << "tab " << Tab;
    // The term entered is sound: its steps substitute every occurrence.
    for (TBancoGrande* b : {&Dentro, &Despues}) {
      b->Mesa.btnBetaClick();
      b->Mesa.btnBetaClick();
      EXPECT_TRUE(EsValido(b->Mesa.Sesion.TerminoActual()));
    }
    EXPECT_EQ(Dentro.Vista.Memo(), Despues.Vista.Memo());
    EXPECT_EQ(Dentro.Vista.Errores + Despues.Vista.Errores, 0) << Dentro.Vista.UltimoError;
  }
}

TEST(Reentrada, CierreDuranteUnaActualizacion) {
  TBancoGrande b(Texto);
  b.EjecutaCon([&] {
    b.Mesa.FormClose();
    b.Mesa.FijaEscala(3);
    b.Mesa.btnBetaClick();
  });
  EXPECT_TRUE(b.Mesa.Cerrado());
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
  EXPECT_TRUE(EsValido(b.Mesa.Sesion.TerminoActual()));
}

TEST(Reentrada, UnaOrdenEnEsperaLeeLasCajasAlDarse) {
  TBancoGrande b(Texto);
  b.EjecutaCon([&] {
    b.Entra("\\x.x", "UNO");
    b.Entra("\\x y.x", "DOS");
    b.Vista.Ent = "\\z.z z";  // typed after the Enters
  });
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 3u);
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(1), "\\ a . a");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(2), "\\ a . \\ b . a");
  EXPECT_EQ(b.Vista.Memo(), "\\ a . \\ b . a");
}

}  // namespace
