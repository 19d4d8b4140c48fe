// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's limits: a text or a diagram too big to show, and the node limit.
#include <gtest/gtest.h>

#include "Comun.h"
#include "uLambda.h"
#include "uTextos.h"

namespace {

constexpr int Texto = TMesaTrabajo::PestanaTexto;
constexpr int Graficos = 1;

TEST(Limites, TextoQueNoCabeSeRehusa) {
  // Each copy of the abstraction brings a new variable, and names lengthen with their number:
  // the printed form grows with the square of the passes.
  TBanco b;
  b.Pestana(Texto);
  b.Entra("(\\x.x x x) (\\x.x x x)");
  std::size_t Largo = b.Vista.Memo().size();
  b.Mesa.Vistas.LimiteTexto = Largo;
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "");
  EXPECT_EQ(b.Vista.Estado, "Texto demasiado grande para mostrarlo: m\xE1s de " +
                                std::to_string(Largo) + " caracteres");
  // Run-all goes on and says so beside its count; the text comes back when it fits again.
  b.Vista.AlTerminarPasada = [&] {
    if (NumReducciones == 3) b.Mesa.btnBetaAllClick();
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memo(), "");
  EXPECT_EQ(b.Vista.Estado, " 3 reducciones; Texto demasiado grande para mostrarlo: m\xE1s de " +
                                std::to_string(Largo) + " caracteres");
  b.Mesa.Vistas.LimiteTexto = SIZE_MAX;
  b.Pestana(Graficos);
  b.Pestana(Texto);
  EXPECT_EQ(b.Vista.Memo().size(), LongitudTexto(b.Mesa.Sesion.TerminoActual()));
}

TEST(Limites, DiagramaQueNoCabeSeRehusa) {
  TBanco b;
  b.Vista.AnchoLienzo = 300;
  b.Vista.AltoLienzo = 200;
  b.Mesa.LienzoPaint(300, 200);
  b.Mesa.Vistas.LimiteDiagrama = 20;
  // Green below full in some pixel: something is drawn (the background is 255, 255, 240).
  auto Dibujado = [&] {
    const unsigned char* p = b.Mesa.Vistas.Bitmap.Pixeles();
    for (int i = 0; i < 300 * 200 * 4; i += 4)
      if (p[i + 1] != 255) return true;
    return false;
  };
  b.Entra("\\x y z.x y z");
  EXPECT_EQ(b.Vista.Estado, "");
  EXPECT_TRUE(Dibujado());
  b.Entra("(\\x.x x x x x x x) (\\y.y y y y)");
  EXPECT_EQ(b.Vista.Estado, "Diagrama demasiado grande para dibujarlo: m\xE1s de 20 nodos");
  // The canvas is left blank rather than showing the term before.
  EXPECT_FALSE(Dibujado());
}

// A step refused at the node limit costs its whole attempt: it is refused again at once until
// the term, the way it is taken, the memory in use or the limit changes.
TEST(Limites, PasoRechazadoNoSeRepite) {
  struct TRestaura {
    std::size_t L = LimiteNodos();
    ~TRestaura() { FijaLimiteNodos(L); }
  } Restaura;
  TBanco b;
  b.Pestana(Texto);
  b.Entra("(\\x.x x x x x x x x) (\\f y.f (f (f (f (f (f y))))))");
  FijaLimiteNodos(NodosVivos() + 60);  // room for back's copy, not for the step
  b.Mesa.btnBetaClick();
  const std::string Rechazo = b.Vista.Estado;
  EXPECT_EQ(Rechazo.find("T\xE9rmino demasiado grande"), 0u) << Rechazo;
  const int Memos = b.Vista.Memos;
  b.Vista.Estado.clear();
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Estado, Rechazo);
  EXPECT_EQ(b.Vista.Memos, Memos);  // not tried: nothing shown again
  b.Vista.Modo.Estrategia = TEstrategia::PorNombre;
  b.Mesa.btnBetaClick();
  EXPECT_GT(b.Vista.Memos, Memos);
  FijaLimiteNodos(NodosVivos() + 1000);
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo().find("(\\ a . \\ b . a (a"), 0u) << b.Vista.Memo();
}

TEST(Limites, LimiteDeNodos) {
  std::size_t Limite = LimiteNodos();
  struct TRestaura {
    std::size_t L;
    ~TRestaura() { FijaLimiteNodos(L); }
  } Restaura{Limite};
  TBanco b;
  b.Pestana(Texto);
  FijaLimiteNodos(NodosVivos() + 2000);

  // A term that grows: run-all stops before the limit, and says so.
  b.Entra("(\\x.x x x) (\\y.y y y)");
  b.Mesa.btnBetaAllClick();
  EXPECT_NE(b.Vista.Estado.find("T\xE9rmino demasiado grande"), std::string::npos)
      << b.Vista.Estado;
  EXPECT_NE(b.Vista.Estado.find("reducciones"), std::string::npos);
  EXPECT_TRUE(EsValido(b.Mesa.Sesion.TerminoActual()));
  EXPECT_LE(NodosVivos(), LimiteNodos());
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);

  // The step's copy for back would pass the limit: nothing changes.
  std::string Antes = b.Vista.Memo();
  FijaLimiteNodos(NodosVivos() + 10);
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Estado.find("T\xE9rmino demasiado grande"), 0u);
  EXPECT_EQ(b.Vista.Memo(), Antes);
  EXPECT_FALSE(b.Vista.Back);

  // An entry that copies too much fails like any other.
  b.Entra("% %");
  EXPECT_EQ(b.Vista.Estado.find("T\xE9rmino demasiado grande"), 0u);
  EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), nullptr);
  // So does a definition whose copy would not fit.
  FijaLimiteNodos(NodosVivos() + 6);
  b.Entra("\\x.x x x", "T");
  EXPECT_EQ(b.Vista.Estado.find("T\xE9rmino demasiado grande"), 0u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 0u);
  EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), nullptr);

  // After a run stopped at the limit, the next entry has the room the old term held.
  FijaLimiteNodos(NodosVivos() + 2000);
  b.Entra("(\\x.x x x) (\\y.y y y)");
  b.Mesa.btnBetaAllClick();
  b.Entra("(\\a b c d.a b c d) (\\x.x) (\\y.y) (\\z.z) (\\w.w)");
  EXPECT_EQ(b.Vista.Estado, "");
  EXPECT_NE(b.Mesa.Sesion.TerminoActual(), nullptr);
}

}  // namespace
