// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench under a strategy other than the classic passes: the step, the highlight, the
// halo and the second panel follow it; and the comparison of all of them.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "Comun.h"
#include "uComparacion.h"

namespace {

using namespace std::chrono_literals;

std::string Resaltado(const TBanco& b) {
  const auto& R = b.Vista.Resalte;
  if (R.size() != 3) return "(" + std::to_string(R.size()) + " rangos)";
  return b.Vista.Memo().substr(R[0].Desde, R[0].Hasta - R[0].Desde);
}

bool Empieza(const std::string& s, const std::string& Principio) {
  return s.compare(0, Principio.size(), Principio) == 0;
}

TEST(Estrategias, LaMesaSigueElModo) {
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  // Beta múltiple belongs to the classic mode, whatever the view says.
  b.Vista.Multiple = true;
  b.Vista.Modo = {TEstrategia::Aplicativo, false};
  b.Entra("(\\a.a) ((\\b.b) c) ((\\d.d) e)");
  EXPECT_EQ(Resaltado(b), "((\\ b . b) c)");
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . a) b ((\\ c . c) d)");
  EXPECT_EQ(Resaltado(b), "(\\ a . a) b");

  // A weak form: the panel names it; back in the classic mode it is the panel of old.
  TBanco Clasico;
  Clasico.Entra("\\a.(\\b.b) a");
  b.Vista.Multiple = false;
  b.Vista.Modo = {TEstrategia::PorNombre, false};
  b.Entra("\\a.(\\b.b) a");
  EXPECT_EQ(b.Vista.Lectura,
            "forma normal de cabeza d\xE9"
            "bil \xB7 " +
                Clasico.Vista.Lectura);
  EXPECT_TRUE(b.Vista.Resalte.empty());
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . (\\ b . b) a");
  b.Vista.Modo = {};
  b.Mesa.OpcionesClick();
  EXPECT_EQ(b.Vista.Lectura, Clasico.Vista.Lectura);
  EXPECT_EQ(Resaltado(b), "(\\ b . b) a");

  // Run-all stops where the strategy does, and says what it reached.
  b.Vista.Modo = {TEstrategia::PorValor, false};
  b.Entra("(\\a.a) (\\b.(\\c.c) b)");
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . (\\ b . b) a");
  EXPECT_EQ(b.Vista.Estado, " 1 reducciones");
  EXPECT_TRUE(Empieza(b.Vista.Lectura,
                      "forma normal d\xE9"
                      "bil \xB7 "))
      << b.Vista.Lectura;

  // An η-redex is highlighted whole, and haloed.
  b.Vista.Modo = {TEstrategia::Normal, true};
  b.Entra("\\a.b a");
  EXPECT_EQ(Resaltado(b), "\\ a . b a");
  EXPECT_EQ(b.Vista.Resalte[1].Hasta, 0u);
  b.Vista.AnchoLienzo = 200;
  b.Vista.AltoLienzo = 100;
  b.Pestana(1);
  b.Mesa.LienzoPaint(200, 100);
  std::vector<TPixel> Sin;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) Sin.push_back(b.Mesa.Vistas.Bitmap.Pixel(x, y));
  b.Vista.Halo = true;
  b.Mesa.OpcionesClick();
  int Distintos = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      const TPixel p = b.Mesa.Vistas.Bitmap.Pixel(x, y);
      if (p == Sin[std::size_t(y * 200 + x)]) continue;
      ++Distintos;
      EXPECT_GT(p.R, p.B) << x << ", " << y;
    }
  EXPECT_GT(Distintos, 0);
  b.Mesa.btnBetaClick();
  b.Pestana(TMesaTrabajo::PestanaTexto);
  EXPECT_EQ(b.Vista.Memo(), "a");
  EXPECT_TRUE(Empieza(b.Vista.Lectura, "forma normal \xB7 ")) << b.Vista.Lectura;
}

// K I Ω: the strategies that pass Ω by stop, the others are cut at the cap.
TEST(Estrategias, ComparacionDeKIOmega) {
  TBanco b;
  b.Entra("\\x y.x", "K");
  b.Entra("\\x.x", "I");
  b.Entra("(\\x.x x) (\\x.x x)", "OMEGA");
  b.Entra("K I OMEGA");
  using F = TComparacion::TFila::TFin;
  struct {
    TEstrategia e;
    int64_t Reducciones;
    F Fin;
  } Esperado[] = {
      {TEstrategia::Normal, 2, F::Forma},       {TEstrategia::Aplicativo, 50, F::Tope},
      {TEstrategia::PorNombre, 2, F::Forma},    {TEstrategia::PorValor, 50, F::Tope},
      {TEstrategia::Cabeza, 2, F::Forma},       {TEstrategia::HibridaAplicativa, 50, F::Tope},
      {TEstrategia::HibridaNormal, 2, F::Forma}};
  NumReducciones = 7;
  TComparacion c(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, false, 50, 0ns);
  while (c.Avanza(1s)) {
  }
  EXPECT_EQ(NumReducciones, 7);
  ASSERT_EQ(c.Filas().size(), std::size(Esperado));
  for (std::size_t i = 0; i < c.Filas().size(); ++i) {
    const TComparacion::TFila& f = c.Filas()[i];
    EXPECT_EQ(f.Estrategia, Esperado[i].e);
    EXPECT_EQ(f.Reducciones, Esperado[i].Reducciones) << i;
    EXPECT_EQ(f.Fin, Esperado[i].Fin) << i;
    if (f.Fin == F::Forma) {
      EXPECT_EQ(f.Texto, "\\ a . a");
      EXPECT_EQ(f.Lectura, "igual a I");
    }
  }
}

// Stopped, cut by time, at the node limit, or destroyed mid-run: nothing is left behind.
TEST(Estrategias, ComparacionParadaOAgotada) {
  TBanco b;
  b.Entra("(\\x.x x) (\\x.x x)");
  const std::size_t Vivos = NodosVivos();
  {
    TComparacion c(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, true, INT64_MAX, 0ns);
    EXPECT_TRUE(c.Avanza(1ms));
    EXPECT_GT(NodosVivos(), Vivos);  // the copy under way
  }
  EXPECT_EQ(NodosVivos(), Vivos);
  TComparacion c(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, true, INT64_MAX, 0ns);
  EXPECT_TRUE(c.Avanza(1ms));
  c.Para();
  EXPECT_FALSE(c.Avanza(1ms));
  EXPECT_GT(c.Filas()[0].Reducciones, 0);
  EXPECT_EQ(c.Filas()[0].Texto, "(\\ a . a a) (\\ b . b b)");
  for (const TComparacion::TFila& f : c.Filas())
    EXPECT_EQ(f.Fin, TComparacion::TFila::TFin::Parada);
  // A strategy whose turn never came says so, rather than "stopped after 0".
  EXPECT_EQ(TComparacion::TextoForma(c.Filas()[0], false, "").find("detenida tras "), 0u);
  EXPECT_EQ(TComparacion::TextoForma(c.Filas()[1], false, ""), "detenida antes de empezar");
  EXPECT_EQ(c.TextoTermino(12), "T\xE9rmino comparado: (\\ a . a a) \x85");
  EXPECT_EQ(NodosVivos(), Vivos);
  TComparacion t(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, false, INT64_MAX, 2ms);
  while (t.Avanza(10ms)) {
  }
  for (const TComparacion::TFila& f : t.Filas())
    EXPECT_EQ(f.Fin, TComparacion::TFila::TFin::Tiempo);

  struct TRestaura {
    std::size_t L = LimiteNodos();
    ~TRestaura() { FijaLimiteNodos(L); }
  } Restaura;
  b.Entra("(\\x.x x x) (\\y.y y y)");
  FijaLimiteNodos(NodosVivos() + 2000);
  TComparacion g(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, false, INT64_MAX, 0ns);
  while (g.Avanza(1s)) {
  }
  for (const TComparacion::TFila& f : g.Filas()) {
    EXPECT_EQ(f.Fin, TComparacion::TFila::TFin::Grande);
    EXPECT_FALSE(f.Texto.empty());
  }
}

// The comparison as both faces run it: the line below the table says how it goes, a row waiting
// its turn shows no count, and its copies go with it.
TEST(Estrategias, SesionDeComparacion) {
  TBanco b;
  b.Entra("(\\x.x x) (\\x.x x)");
  const std::size_t Vivos = NodosVivos();
  {
    TSesionComparacion s(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, false, ".");
    EXPECT_EQ(s.Situacion(), "Comparando\x85");
    EXPECT_EQ(s.Celdas(10)[0].Reducciones, "0");
    EXPECT_EQ(s.Celdas(10)[1].Reducciones, "");
    EXPECT_EQ(s.Celdas(10)[1].Forma, "en espera");
    s.Para();
    EXPECT_FALSE(s.Avanza());
    EXPECT_EQ(s.Situacion(), "Detenido.");
    EXPECT_EQ(s.Celdas(10)[6].Forma, "detenida antes de empezar");
  }
  EXPECT_EQ(NodosVivos(), Vivos);
  b.Entra("(\\x.x) y");
  TSesionComparacion t(b.Mesa.Sesion.TerminoActual(), b.Mesa.Sesion.Definiciones, false, ".");
  while (t.Avanza()) {
  }
  EXPECT_EQ(t.Situacion(), "Terminado.");
  EXPECT_EQ(t.Celdas(10)[0].Forma, "forma normal");
  EXPECT_EQ(t.Celdas(10)[0].Reducciones, "1");
}

}  // namespace
