// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the diagram tests: terms from text, and the picture of a failing test kept as a PNG.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>

#include "uDiagrama.h"
#include "uParser.h"
#include "uPng.h"

// A parsed and numbered term, released at the end of the scope.
class TTermino {
 public:
  explicit TTermino(const char* texto) {
    TDefiniciones definiciones;
    std::string error;
    Raiz = Analiza(texto, definiciones, nullptr, error);
    EXPECT_EQ(error, "") << texto;
    int32_t n = 0;
    if (Raiz != nullptr) Renumera(Raiz, n);
  }
  explicit TTermino(TExprLambda* raiz) : Raiz(raiz) {
    int32_t n = 0;
    Renumera(Raiz, n);
  }
  TTermino(const TTermino&) = delete;
  TTermino& operator=(const TTermino&) = delete;
  ~TTermino() { Libera(Raiz); }
  TExprLambda* operator->() const { return Raiz; }
  operator TExprLambda*() const { return Raiz; }

 private:
  TExprLambda* Raiz = nullptr;
};

// Keeps the bitmap as <test name>.png in the working directory when the test has failed.
inline void GuardaSiFalla(const TBitmap& bitmap) {
  if (!::testing::Test::HasFailure()) return;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string ruta = std::string(info->test_suite_name()) + "_" + info->name() + ".png";
  std::string error;
  if (EscribePNG(bitmap, ruta, error))
    std::cout << "picture kept in " << ruta << "\n";
  else
    std::cout << error << "\n";
}
