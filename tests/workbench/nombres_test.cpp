// SPDX-License-Identifier: GPL-3.0-or-later
// "Conservar los nombres" in the workbench: the text view, and definitions saved as written.
#include <gtest/gtest.h>

#include <filesystem>

#include "Comun.h"
#include "uFichero.h"

namespace {

// The file's text with its line ends as a save writes them.
std::string ConCRLF(const std::string& Texto) {
  std::string r;
  for (char c : Texto) {
    if (c == '\r') continue;
    if (c == '\n') r += '\r';
    r += c;
  }
  return r;
}

std::string Guarda(TBanco& b, const TCarpeta& Carpeta) {
  b.Vista.RutaSalvar = Carpeta.Ruta("guardado.txt");
  b.Mesa.Salvar1Click();
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  return LeeTodo(Carpeta.Ruta("guardado.txt"));
}

}  // namespace

TEST(Nombres, LaVistaMuestraLosNombresYLosQuitaAlApagarse) {
  TBanco b;
  b.Pestana(TMesaTrabajo::PestanaTexto);
  b.Entra("(\\f x.f x) (\\x.x)");
  EXPECT_EQ(b.Vista.Memo(), "(\\ a . \\ b . a b) (\\ c . c)");
  b.Vista.Nombres = true;
  b.Mesa.NombresClick();
  EXPECT_EQ(b.Vista.Memo(), "(\\ f . \\ x . f x) (\\ x . x)");
  // The chosen redex still finds its bytes in this text.
  ASSERT_EQ(b.Mesa.Eleccion.RangosRedex().size(), 3u);
  EXPECT_EQ(b.Mesa.Eleccion.RangosRedex()[0].Hasta, b.Vista.Memo().size());
  b.Mesa.btnBetaClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ x . (\\ x' . x') x");
  b.Vista.Nombres = false;
  b.Mesa.NombresClick();
  EXPECT_EQ(b.Vista.Memo(), "\\ a . (\\ b . b) a");
}

// Every lesson opened and saved with names kept is the file it was (its line ends aside); with
// the option off the save writes the printed forms, as always.
TEST(Nombres, UnaLeccionAbiertaYGuardadaNoCambia) {
  TCarpeta Carpeta;
  for (const auto& e : std::filesystem::directory_iterator(EJEMPLOS_DIR)) {
    if (e.path().extension() != ".txt") continue;
    SCOPED_TRACE(e.path().string());
    TBanco b;
    b.Vista.Nombres = true;
    b.Vista.RutaAbrir = e.path().string();
    b.Mesa.Abrir1Click();
    ASSERT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
    EXPECT_EQ(Guarda(b, Carpeta), ConCRLF(TextoDeFichero(LeeTodo(e.path().string()))));
  }
  TBanco b;
  b.Entra("\\x y.x", "K");
  EXPECT_EQ(Guarda(b, Carpeta), "K\r\n\\ a . \\ b . a\r\n");
}

// A definition whose text no longer reads back as its term where it stands is saved as its
// printed form, with the names kept.
TEST(Nombres, UnTextoQueYaNoSeReleeIgualSeGuardaImpreso) {
  TCarpeta Carpeta;
  TBanco b;
  b.Vista.Nombres = true;
  b.Entra("\\s z.s z", "UNO");
  b.Entra("\\n s z.s (n s z)", "SUC");
  b.Entra("SUC UNO", "DOS");
  b.Entra("\\s z.z", "UNO");  // in its place, after it a text that read it otherwise
  b.Entra("SUC %", "X");      // the current term is not there when the file is read
  EXPECT_EQ(Guarda(b, Carpeta),
            "UNO\r\n\\s z.z\r\nSUC\r\n\\n s z.s (n s z)\r\n"
            "DOS\r\n(\\ n . \\ s . \\ z . s (n s z)) (\\ s . \\ z . s z)\r\n"
            "X\r\n(\\ n . \\ s . \\ z . s (n s z)) (\\ s . \\ z . z)\r\n");
}

// Two workbenches in one program each print with their own options: the ranges the pointer finds
// on one text do not follow the options of the other's last command.
TEST(Nombres, CadaMesaImprimeConSusPropiasOpciones) {
  TBanco Letras, Conservados;
  Letras.Pestana(TMesaTrabajo::PestanaTexto);
  Conservados.Pestana(TMesaTrabajo::PestanaTexto);
  Letras.Entra("(\\uno dos.uno dos) (\\tres.tres)");
  EXPECT_EQ(Letras.Vista.Memo(), "(\\ a . \\ b . a b) (\\ c . c)");
  Conservados.Vista.Nombres = true;
  Conservados.Entra("\\uno.uno");
  EXPECT_EQ(Conservados.Vista.Memo(), "\\ uno . uno");
  ASSERT_EQ(Letras.Mesa.Eleccion.RangosRedex().size(), 3u);
  EXPECT_EQ(Letras.Mesa.Eleccion.RangosRedex()[0].Hasta, Letras.Vista.Memo().size());
  EXPECT_EQ(Letras.Mesa.Eleccion.RangosRedex()[2].Desde, Letras.Vista.Memo().rfind('('));
}
