// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers shared by the core tests.
#pragma once

#include <string>

#include "uLambda.h"
#include "uParser.h"

// Parses `texto` with no current term; fails the test on a parse error.
inline TExprLambda* Lee(const std::string& texto, const TDefiniciones& defs = TDefiniciones()) {
  std::string error;
  TExprLambda* t = Analiza(texto, defs, nullptr, error);
  return t;
}

// The printed form after numbering.
inline std::string Imprime(TExprLambda* t) {
  int32_t n;
  Renumera(t, n);
  return t->Texto();
}

// The error of a parse that must fail (the empty string if it did not).
inline std::string ErrorDe(const std::string& texto, const TDefiniciones& defs = TDefiniciones(),
                           TExprLambda* actual = nullptr) {
  std::string error;
  TExprLambda* t = Analiza(texto, defs, actual, error);
  if (t) {
    Libera(t);
    return "";
  }
  return error;
}

// Parses and prints back.
inline std::string Normaliza(const std::string& texto) {
  TExprLambda* t = Lee(texto);
  if (!t) return "<error>";
  std::string s = Imprime(t);
  Libera(t);
  return s;
}

// Windows-1252 text from a UTF-8 literal of the tests (only the few accented letters used here).
inline std::string Cp(const std::string& utf8) {
  std::string r;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC3 && i + 1 < utf8.size()) {
      r += static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40);
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}
