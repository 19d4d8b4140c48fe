// SPDX-License-Identifier: GPL-3.0-or-later
// The definitions loader on any bytes: no crash, no leak, and what loads saves and loads again
// to the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "uDefiniciones.h"
#include "uFichero.h"
#include "uLambda.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Datos, std::size_t Tamano) {
  // Keep a runaway input from exhausting the machine: a refused copy is a normal failure.
  static bool Limitado = [] {
    FijaLimiteNodos(NodosVivos() + 2000000);
    return true;
  }();
  (void)Limitado;
  std::string_view Bytes(reinterpret_cast<const char*>(Datos), Tamano);
  int32_t NumVars = 0;
  TDefiniciones Definiciones;
  try {
    CargaDefiniciones(Bytes, Definiciones, NumVars);
  } catch (const ERegistroErroneo&) {
  }
  std::string Guardado = TextoDefiniciones(Definiciones, NumVars);
  TDefiniciones Otra;
  try {
    CargaDefiniciones(Guardado, Otra, NumVars);
  } catch (const ERegistroErroneo&) {
    // A saved line can pass the parser's token capacity; anything else is a fault.
    if (Guardado.size() < 4096) std::abort();
  }
  if (Otra.Cuenta() == Definiciones.Cuenta() && TextoDefiniciones(Otra, NumVars) != Guardado)
    std::abort();
  return 0;
}
