// SPDX-License-Identifier: GPL-3.0-or-later
// The next step shown: the ranges of the text view under the redexes that β contracts next, the
// halo and the moves of the diagram, and where a failed entry is wrong.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "Comun.h"

namespace {

using TTrio = std::array<std::string, 3>;  // a redex, its function part, its argument

std::vector<TTrio> Resaltado(const TBanco& b) {
  std::vector<TTrio> r;
  const auto& R = b.Vista.Resalte;
  EXPECT_EQ(R.size() % 3, 0u);
  auto Trozo = [&](const TRango& x) {
    EXPECT_LE(x.Desde, x.Hasta);
    EXPECT_LE(x.Hasta, b.Vista.Memo().size());
    return b.Vista.Memo().substr(x.Desde, x.Hasta - x.Desde);
  };
  for (std::size_t i = 0; i + 2 < R.size(); i += 3)
    r.push_back({Trozo(R[i]), Trozo(R[i + 1]), Trozo(R[i + 2])});
  return r;
}

TEST(SiguientePaso, RangosDeLaTablaEnAmbosModos) {
  struct {
    const char* Termino;
    std::vector<TTrio> Simple, Multiple;
  } Casos[] = {
      {"a ((\\ b . b) c) ((\\ d . d) e)",
       {{"((\\ b . b) c)", "(\\ b . b)", "c"}},
       {{"((\\ b . b) c)", "(\\ b . b)", "c"}, {"((\\ d . d) e)", "(\\ d . d)", "e"}}},
      {"(\\ a . a a) ((\\ b . b) c)",
       {{"(\\ a . a a) ((\\ b . b) c)", "(\\ a . a a)", "((\\ b . b) c)"}},
       {{"(\\ a . a a) ((\\ b . b) c)", "(\\ a . a a)", "((\\ b . b) c)"}}},
      {"(\\ a . a) b ((\\ c . c) b)",
       {{"(\\ a . a) b", "(\\ a . a)", "b"}},
       {{"(\\ a . a) b", "(\\ a . a)", "b"}, {"((\\ c . c) b)", "(\\ c . c)", "b"}}},
      {"(\\ a . a) (\\ b . b) c",
       {{"(\\ a . a) (\\ b . b)", "(\\ a . a)", "(\\ b . b)"}},
       {{"(\\ a . a) (\\ b . b)", "(\\ a . a)", "(\\ b . b)"}}},
      {"\\ a . (\\ b . b) a",
       {{"(\\ b . b) a", "(\\ b . b)", "a"}},
       {{"(\\ b . b) a", "(\\ b . b)", "a"}}},
      {"(\\ a . \\ b . b a) c",
       {{"(\\ a . \\ b . b a) c", "(\\ a . \\ b . b a)", "c"}},
       {{"(\\ a . \\ b . b a) c", "(\\ a . \\ b . b a)", "c"}}},
      {"(\\ a . \\ b . b) ((\\ c . c) d)",
       {{"(\\ a . \\ b . b) ((\\ c . c) d)", "(\\ a . \\ b . b)", "((\\ c . c) d)"}},
       {{"(\\ a . \\ b . b) ((\\ c . c) d)", "(\\ a . \\ b . b)", "((\\ c . c) d)"}}},
      {"(\\ a . a a) (\\ b . b b)",
       {{"(\\ a . a a) (\\ b . b b)", "(\\ a . a a)", "(\\ b . b b)"}},
       {{"(\\ a . a a) (\\ b . b b)", "(\\ a . a a)", "(\\ b . b b)"}}},
      {"a (b c)", {}, {}},
  };
  for (auto& c : Casos) {
    for (bool Multiple : {false, true}) {
      TBanco b;
      b.Pestana(TMesaTrabajo::PestanaTexto);
      b.Vista.Multiple = Multiple;
      b.Entra(c.Termino);
      ASSERT_EQ(b.Vista.Memo(), c.Termino);
      EXPECT_EQ(Resaltado(b), Multiple ? c.Multiple : c.Simple) << c.Termino;
    }
  }
  // The highlight follows the mode when it is toggled, and every step.
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  b.Entra(Casos[0].Termino);
  b.Vista.Multiple = true;
  b.Mesa.OpcionesClick();
  EXPECT_EQ(Resaltado(b), Casos[0].Multiple);
  EXPECT_EQ(b.Vista.Memo(), Casos[0].Termino);
  b.Vista.Multiple = false;
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "a b ((\\ c . c) d)");
  EXPECT_EQ(Resaltado(b), (std::vector<TTrio>{{"((\\ c . c) d)", "(\\ c . c)", "d"}}));
  b.Mesa.btnBetaAllClick();
  EXPECT_TRUE(Resaltado(b).empty());
}

// The diagram moves with a drag, zooms about the pointer, goes back with a double click; the
// halo is drawn only while its option is on. Without them the pixels are the standard ones.
TEST(SiguientePaso, DiagramaDesplazadoYHalo) {
  auto Nuevo = [](TBanco& b, const char* Termino) {
    b.Vista.AnchoLienzo = 1009;
    b.Vista.AltoLienzo = 200;
    b.Mesa.LienzoPaint(1009, 200);
    b.Entra(Termino);
  };
  TBanco Patron, b;
  Nuevo(Patron, "\\x.x");
  Nuevo(b, "\\x.x");
  const TBitmap& P = Patron.Mesa.Vistas.Bitmap;
  const TBitmap& B = b.Mesa.Vistas.Bitmap;
  auto Iguales = [&](int dx, int dy) {
    for (int y = std::max(0, dy); y < 200; ++y)
      for (int x = std::max(0, dx); x < 1009; ++x)
        if (B.Pixel(x, y) != P.Pixel(x - dx, y - dy)) return false;
    return true;
  };
  b.Mesa.LienzoArrastra(30, 20);
  b.Mesa.LienzoArrastra(-10, 5);
  EXPECT_TRUE(Iguales(20, 25));
  EXPECT_FALSE(Iguales(0, 0));
  b.Mesa.LienzoDblClick();
  EXPECT_TRUE(Iguales(0, 0));

  // The centre of the binder square, (505, 15), stays under the pointer; the square grows.
  const TPixel RojoOscuro{128, 0, 0, 255};
  b.Mesa.LienzoMouseWheel(updUp, 505, 15);
  EXPECT_DOUBLE_EQ(b.Mesa.Vistas.Zoom, 1.2);
  for (int x : {500, 505, 509}) EXPECT_EQ(B.Pixel(x, 15), RojoOscuro) << x;
  EXPECT_NE(B.Pixel(510, 15), RojoOscuro);
  EXPECT_EQ(B.Pixel(505, 10), RojoOscuro);
  b.Mesa.LienzoDblClick();
  Patron.Mesa.UpDown1ChangingEx(updUp);
  EXPECT_TRUE(Iguales(0, 0));

  Nuevo(Patron, "(\\x.x) y");
  Nuevo(b, "(\\x.x) y");
  b.Vista.Halo = true;
  b.Mesa.OpcionesClick();
  EXPECT_FALSE(Iguales(0, 0));
  b.Vista.Halo = false;
  b.Mesa.OpcionesClick();
  EXPECT_TRUE(Iguales(0, 0));
}

// A left spine a million deep, its last arguments redexes: all of them highlighted, the halo
// drawn, the diagram moved; also run with a 256 KiB stack (the suite's name). Every redex binds
// a variable of its own, whose names grow with their number: 20,000 of them keep the text small.
TEST(Profundo, SiguientePaso) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr std::size_t n = 100000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  constexpr std::size_t n = 100000;
#else
  constexpr std::size_t n = 1000000;
#endif
#else
  constexpr std::size_t n = 1000000;
#endif
  constexpr std::size_t r = 20000;
  std::string Texto = "y";
  for (std::size_t i = 0; i < n; ++i) Texto += " y";
  for (std::size_t i = 0; i < r; ++i) Texto += " ((\\v.v) y)";
  TBanco b;
  b.Mesa.FijaIntervalo(3600);
  b.Pestana(TMesaTrabajo::PestanaTexto);
  b.Vista.Multiple = true;
  b.Entra(Texto);
  ASSERT_EQ(b.Vista.Estado, "");
  EXPECT_EQ(b.Vista.Resalte.size(), 3 * r);
  b.Vista.Halo = true;
  b.Pestana(1);
  b.Mesa.LienzoPaint(80, 80);
  b.Mesa.LienzoMouseWheel(updUp, 40, 40);
  b.Mesa.LienzoArrastra(5, 5);
  b.Mesa.btnBetaClick();
  EXPECT_TRUE(b.Vista.Resalte.empty());
  EXPECT_EQ(b.Vista.Memo().size(), 2 * (n + r + 1) - 1);
}

}  // namespace
