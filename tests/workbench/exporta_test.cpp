// SPDX-License-Identifier: GPL-3.0-or-later
// The exports: the whole diagram as SVG or PNG, the reduction as text, and how they fail.
#include <gtest/gtest.h>

#include <filesystem>

#include "Comun.h"
#include "uDiagrama.h"
#include "uLambda.h"
#include "uSvg.h"
#include "uTraza.h"

namespace {

constexpr int Texto = TMesaTrabajo::PestanaTexto;
constexpr int Graficos = 1;

std::size_t Cuenta(const std::string& s, const std::string& Trozo) {
  std::size_t n = 0;
  for (std::size_t p = s.find(Trozo); p != std::string::npos; p = s.find(Trozo, p + 1)) ++n;
  return n;
}

TEST(Exporta, DiagramaEnteroComoSvgOPng) {
  TBanco b;
  TCarpeta c;
  b.Vista.RutaDiagrama = c.Ruta("nada.svg");
  b.Mesa.ExportarDiagrama1Click();  // no term: said before any dialog
  EXPECT_EQ(b.Vista.UltimoError, "No hay t\xE9rmino actual");
  EXPECT_FALSE(std::filesystem::exists(c.Ruta("nada.svg")));

  b.Entra("(\\x.x) y");
  b.Mesa.UpDown1ChangingEx(updUp);  // the window's zoom, 1.2
  b.Vista.RutaDiagrama = c.Ruta("d.svg");
  b.Mesa.ExportarDiagrama1Click();
  const std::string Svg = LeeTodo(c.Ruta("d.svg"));
  EXPECT_EQ(Svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(Svg.find("width=\"54\" height=\"101\""), std::string::npos);  // (25+20) x (64+20)
  EXPECT_EQ(Cuenta(Svg, "<line"), 3u);
  EXPECT_EQ(Cuenta(Svg, "<circle"), 3u);
  EXPECT_EQ(Cuenta(Svg, "<rect"), 2u);  // the background and the binder square

  // By the name's extension, in any case: a PNG of the same size.
  b.Vista.RutaDiagrama = c.Ruta("d.PNG");
  b.Mesa.ExportarDiagrama1Click();
  const std::string Png = LeeTodo(c.Ruta("d.PNG"));
  ASSERT_GT(Png.size(), 24u);
  EXPECT_EQ(Png.substr(1, 3), "PNG");
  auto Entero = [&](std::size_t i) {
    return (uint8_t(Png[i]) << 24) | (uint8_t(Png[i + 1]) << 16) | (uint8_t(Png[i + 2]) << 8) |
           uint8_t(Png[i + 3]);
  };
  EXPECT_EQ(Entero(16), 54u);
  EXPECT_EQ(Entero(20), 101u);
  EXPECT_EQ(b.Vista.Errores, 1);
  // Cancelled: nothing.
  b.Vista.RutaDiagrama.reset();
  b.Mesa.ExportarDiagrama1Click();
  EXPECT_EQ(b.Vista.Errores, 1);
}

TEST(Exporta, LoQueNoSePuedeEscribirLoDiceYNoTocaNada) {
  TBanco b;
  TCarpeta c;
  b.Entra("\\x.x x x x");
  EscribeTodo(c.Ruta("d.svg"), "antes");
  b.Mesa.Vistas.LimiteDiagrama = 5;
  b.Vista.RutaDiagrama = c.Ruta("d.svg");
  b.Mesa.ExportarDiagrama1Click();
  EXPECT_EQ(b.Vista.UltimoError, "Diagrama demasiado grande para exportarlo: m\xE1s de 5 nodos");
  EXPECT_EQ(LeeTodo(c.Ruta("d.svg")), "antes");
  b.Mesa.Vistas.LimiteDiagrama = 1000;

  b.Vista.RutaDiagrama = c.Ruta("falta/d.svg");
  b.Mesa.ExportarDiagrama1Click();
  EXPECT_EQ(b.Vista.UltimoError, "Invalid filename");
  b.Vista.RutaReduccion = c.Dir;  // a folder
  b.Mesa.ExportarReduccion1Click();
  EXPECT_EQ(b.Vista.UltimoError, "File access denied");
  // No temporary file is left behind.
  std::size_t Ficheros = 0;
  for ([[maybe_unused]] auto& f : std::filesystem::directory_iterator(c.Dir)) ++Ficheros;
  EXPECT_EQ(Ficheros, 1u);
}

// Steps print; run-all on "Gráficos" prints nothing, and its final term is printed only for
// the file. Back takes its step out.
TEST(Exporta, Reduccion) {
  TBanco b;
  TCarpeta c;
  b.Vista.RutaReduccion = c.Ruta("r.txt");
  b.Mesa.ExportarReduccion1Click();
  EXPECT_EQ(b.Vista.UltimoError, "No hay t\xE9rmino actual");

  b.Pestana(Texto);
  b.Entra("(\\x y z.x z (y z)) (\\x y.x) (\\x y.x)");
  b.Mesa.btnBetaClick();
  b.Mesa.btnBetaClick();
  b.Mesa.btnBackClick();
  b.Pestana(Graficos);
  const int Memos = b.Vista.Memos;
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(b.Vista.Memos, Memos);
  b.Mesa.ExportarReduccion1Click();
  EXPECT_EQ(b.Vista.Memos, Memos);
  EXPECT_EQ(LeeTodo(c.Ruta("r.txt")),
            "C\xC3\xA1lculo Lambda: reducci\xC3\xB3n desde la \xC3\xBAltima entrada\r\n"
            "Modo: beta simple\r\n"
            "Pasos: 4\r\n"
            "Contracciones: 4\r\n"
            "\r\n"
            "0: (\\ a . \\ b . \\ c . a c (b c)) (\\ d . \\ e . d) (\\ f . \\ g . f)\r\n"
            "1: (\\ a . \\ b . (\\ c . \\ d . c) b (a b)) (\\ e . \\ f . e)\r\n"
            "(2 pasos sin mostrar)\r\n"
            "4: \\ a . a\r\n");

  // A step in the other mode; a failed Enter leaves nothing to export.
  b.Entra("(\\x.x) ((\\w.w) a) ((\\y.y) b)");
  b.Vista.Multiple = true;
  b.Mesa.btnBetaClick();
  b.Vista.Multiple = false;
  b.Mesa.btnBetaClick();
  b.Mesa.ExportarReduccion1Click();
  const std::string r = LeeTodo(c.Ruta("r.txt"));
  EXPECT_NE(r.find("Modo: beta simple y beta m\xC3\xBAltiple\r\nPasos: 2\r\nContracciones: 3\r\n"),
            std::string::npos)
      << r;
  b.Entra("(");
  b.Mesa.ExportarReduccion1Click();
  EXPECT_EQ(b.Vista.UltimoError, "No hay t\xE9rmino actual");
}

// A reduction taken under another strategy says which.
TEST(Exporta, LaReduccionNombraSuEstrategia) {
  TTraza t;
  t.Empieza();
  EXPECT_NE(t.Texto(false, {TEstrategia::PorValor, false}).find("Modo: Llamada por valor\r\n"),
            std::string::npos);
  t.Pasada(false, 1, true);
  t.Pasada(false, 1, true, {TEstrategia::Normal, true});
  t.Pasada(false, 1, true, {TEstrategia::Cabeza, false});
  EXPECT_NE(
      t.Texto(false).find("Modo: beta simple, Orden normal con reducci\xF3n eta y Cabeza\r\n"),
      std::string::npos);
}

// The redex chosen is the one marked, also when the panel is shown only afterwards.
TEST(Exporta, ElElegidoSeMarcaSinElPanel) {
  TBanco b;
  TCarpeta c;
  b.Vista.RutaReduccion = c.Ruta("r.txt");
  b.Pestana(Texto);
  b.Entra("(\\x.x) ((\\y.y) z) ((\\u.u) w)");
  b.Mesa.ContraeRedex(2);
  b.Vista.Pasos = true;
  b.Mesa.MostrarPasos1Click();
  b.Mesa.ExportarReduccion1Click();
  EXPECT_NE(LeeTodo(c.Ruta("r.txt"))
                .find("0: (\\ a . a) ((\\ b . b) c) ((\\ d . d) e)\r\n"
                      "                           ^^^^^^^^^^^^^  elegido\r\n"),
            std::string::npos)
      << LeeTodo(c.Ruta("r.txt"));
}

// With the steps shown, the file is the panel: the text typed first, a line of '^' under each
// contracted redex with how it was chosen; a short run-all keeps every term it went through.
TEST(Exporta, ReduccionConSusRedexMarcados) {
  TBanco b;
  TCarpeta c;
  b.Vista.RutaReduccion = c.Ruta("r.txt");
  b.Vista.Pasos = true;
  b.Pestana(Texto);
  b.Entra("(\\x y z.x z (y z)) (\\x y.x) (\\x y.x)");
  b.Mesa.btnBetaClick();
  b.Mesa.ContraeRedex(1);
  b.Mesa.FijaIntervalo(1000);
  b.Mesa.btnBetaAllClick();
  b.Mesa.ExportarReduccion1Click();
  const std::string r = LeeTodo(c.Ruta("r.txt"));
  EXPECT_NE(r.find("\r\n\r\nExpresi\xC3\xB3n: (\\x y z.x z (y z)) (\\x y.x) (\\x y.x)\r\n"
                   "0: (\\ a . \\ b . \\ c . a c (b c)) (\\ d . \\ e . d) (\\ f . \\ g . f)\r\n"
                   "   ^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^  Orden normal\r\n"
                   "1: (\\ a . \\ b . (\\ c . \\ d . c) b (a b)) (\\ e . \\ f . e)\r\n"
                   "                ^^^^^^^^^^^^^^^^^  elegido\r\n"
                   "2: (\\ a . \\ b . (\\ c . b) (a b)) (\\ d . \\ e . d)\r\n"
                   "   ^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^  Orden normal\r\n"
                   "3: \\ a . (\\ b . a) ((\\ c . \\ d . c) a)\r\n"
                   "         ^^^^^^^^^^^^^^^^^^^^^^^^^^^^^  Orden normal\r\n"
                   "4: \\ a . a\r\n"),
            std::string::npos)
      << r;
}

TEST(Exporta, LaReduccionGuardadaTieneTope) {
  TTraza t(40);
  t.Empieza();
  t.Anota("0123456789");
  for (int i = 0; i < 5; ++i) {
    t.Pasada(false, 1, true);
    t.Anota("abcdefghij");
  }
  EXPECT_EQ(t.Descartadas(), 2u);
  const std::string s = t.Texto(false);
  EXPECT_NE(s.find("(Descartadas las 2 l\xEDneas m\xE1s antiguas"), std::string::npos);
  EXPECT_EQ(s.find("0123456789"), std::string::npos);
  EXPECT_NE(s.find("\r\n2: abcdefghij\r\n"), std::string::npos);
  // A form that alone passes the cap keeps its place, not its text.
  t.Pasada(false, 1, true);
  t.Anota(std::string(41, 'x'));
  EXPECT_NE(t.Texto(false).find("6: (Texto demasiado grande para guardarlo)"), std::string::npos);
}

// A term 400,000 applications deep, exported whole as SVG (into /dev/null) and as text; also run
// with a small stack.
TEST(Profundo, Exporta) {
  constexpr int n = 400000;
  auto* f = new TFuncion;
  f->Param = new TVariable;
  TExprLambda* t = Retiene(new TVariable(true));
  for (int i = 0; i < n; ++i) t = new TAplicacion(f->Param, t);
  f->Cuerpo = t;
  TBanco b;
  TCarpeta c;
  b.Mesa.Sesion.CambiaActual(f);
  b.Vista.RutaDiagrama = "/dev/null";
  b.Mesa.ExportarDiagrama1Click();
  b.Vista.RutaDiagrama = c.Ruta("d.png");  // far taller than a PNG may be
  b.Mesa.ExportarDiagrama1Click();
  EXPECT_EQ(b.Vista.UltimoError,
            "Diagrama demasiado grande para exportarlo: m\xE1s de 100.000.000 p\xEDxeles");
  EXPECT_EQ(b.Vista.Errores, 1);
}

}  // namespace
