// SPDX-License-Identifier: GPL-3.0-or-later
// The window the window benchmarks drive: shown on the offscreen platform unless a display is
// there, then the benchmarks run.
#pragma once

#include <benchmark/benchmark.h>

#include <QTest>
#include <cstdlib>

#include "uPrograma.h"
#include "uVentPpal.h"

inline int EjecutaConVentana(int argc, char** argv, TVentPpal*& Ventana) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", PANTALLA_OFFSCREEN, 1);
  QApplication::setAttribute(Qt::AA_Use96Dpi);
  TPrograma Aplicacion(argc, argv);
  TVentPpal VentPpal;
  VentPpal.show();
  if (!QTest::qWaitForWindowExposed(&VentPpal)) return 1;
  Ventana = &VentPpal;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Ventana = nullptr;
  return 0;
}
