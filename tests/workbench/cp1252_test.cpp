// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "uCp1252.h"

namespace {

TEST(Cp1252, IdaYVuelta) {
  std::string Todos;
  for (int c = 0; c < 256; ++c) Todos += static_cast<char>(c);
  EXPECT_EQ(Utf8ACp1252(Cp1252AUtf8(Todos)), Todos);
  EXPECT_EQ(Cp1252AUtf8("Funci\xF3n \x80 \x9F"), "Función € Ÿ");
  EXPECT_EQ(Utf8ACp1252("Término “demasiado” grande…"),
            "T\xE9rmino \x93"
            "demasiado\x94 grande\x85");
  // Long ASCII runs, which go across whole, with other bytes at every offset among them; the
  // text written to a stream is the same.
  std::string Largo;
  for (int i = 0; i < 200; ++i)
    Largo += std::string(static_cast<std::size_t>(i % 41), 'a') + "\xE9\x80";
  std::ostringstream Salida;
  EscribeUtf8(Salida, Largo);
  EXPECT_EQ(Salida.str(), Cp1252AUtf8(Largo));
  EXPECT_EQ(Utf8ACp1252(Salida.str()), Largo);
}

// The lambda pasted from notes is the lambda of the syntax, wherever text comes in.
TEST(Cp1252, LambdaEsBarra) {
  std::string NoCabe = "x";
  EXPECT_EQ(Utf8ACp1252("λx.λy.x y", &NoCabe), "\\x.\\y.x y");
  EXPECT_EQ(NoCabe, "");
  EXPECT_EQ(Cp1252AUtf8(Utf8ACp1252("λ")), "\\");
}

TEST(Cp1252, LoQueNoCabeEsInterrogacion) {
  EXPECT_EQ(Utf8ACp1252("∀β"), "??");
  EXPECT_EQ(Utf8ACp1252("😀a"), "?a");
  // Malformed input: a stray continuation, a cut sequence, an overlong form, a surrogate.
  EXPECT_EQ(Utf8ACp1252("\x80z"), "?z");
  EXPECT_EQ(Utf8ACp1252("\xE2\x82z"), "?z");
  EXPECT_EQ(Utf8ACp1252("\xC0\xAFz"), "??z");
  EXPECT_EQ(Utf8ACp1252("\xE0\x80\xAFz"), "?z");
  EXPECT_EQ(Utf8ACp1252("\xED\xA0\x80z"), "?z");
  EXPECT_EQ(Utf8ACp1252("\xF4\x90\x80\x80z"), "?z");
  EXPECT_EQ(Utf8ACp1252("\xE2"), "?");
  EXPECT_EQ(Utf8ACp1252(""), "");
  // Asked for, the first character that does not fit is handed back so that the text can be
  // refused instead.
  std::string NoCabe = "x";
  EXPECT_EQ(Utf8ACp1252("Año €?", &NoCabe), "A\xF1o \x80?");
  EXPECT_EQ(NoCabe, "");
  EXPECT_EQ(Utf8ACp1252("name Ω β", &NoCabe), "name ? ?");
  EXPECT_EQ(NoCabe, "Ω");
  Utf8ACp1252("a😀b", &NoCabe);
  EXPECT_EQ(NoCabe, "😀");
  Utf8ACp1252("a\xC0\xAFz", &NoCabe);
  EXPECT_EQ(NoCabe, "\uFFFD");
}

}  // namespace
