// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes into Analiza: no crash, no leak, a term exactly when the error text is empty, and a
// returned term prints to a text that parses back to the same text; one reduction pass in each
// mode keeps the term valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "uParser.h"
#include "uReduccion.h"

namespace {

void Falla(const char* motivo) {
  __builtin_trap();
  (void)motivo;
}

TExprLambda* Lee(const char* texto, const TDefiniciones& defs) {
  std::string error;
  return Analiza(texto, defs, nullptr, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam) {
  static TDefiniciones* defs = [] {
    auto* d = new TDefiniciones;
    d->Agrega("I", Lee("\\x.x", *d));
    d->Agrega("K", Lee("\\x y.x", *d));
    d->Agrega("S", Lee("\\x y z.x z (y z)", *d));
    d->Agrega("Y", Lee("\\f.(\\x.f (x x)) (\\x.f (x x))", *d));
    d->Agrega("\xC1rbol", Lee("K I free", *d));
    return d;
  }();
  static TExprLambda* actual = Lee("(\\a.a a) b", *defs);

  std::size_t vivos = NodosVivos();
  std::string texto(reinterpret_cast<const char*>(datos), tam);
  std::string error = "sucio";
  TExprLambda* t = Analiza(texto, *defs, tam % 2 ? actual : nullptr, error);
  if ((t == nullptr) == error.empty()) Falla("error text and result disagree");
  if (!t) {
    if (NodosVivos() != vivos) Falla("a failed parse left nodes behind");
    return 0;
  }
  if (!EsValido(t)) Falla("invalid term");
  int32_t n;
  Renumera(t, n);
  std::string impreso = t->Texto();
  std::string error2;
  TExprLambda* r = Analiza(impreso, TDefiniciones(), nullptr, error2);
  if (!r) Falla("the printed form does not parse");
  Renumera(r, n);
  if (r->Texto() != impreso) Falla("the printed form reads back differently");
  Libera(r);
  for (bool multiple : {false, true}) {
    TMotor motor;
    for (int i = 0; i < 3 && CuentaNodos(t) < 5000; ++i) {
      bool cambio = false;
      t = motor.Reduce(t, cambio, multiple);
      if (!EsValido(t)) Falla("reduction broke the term");
      if (!MarcasCiertas(t)) Falla("reduction left a false mark");
    }
  }
  Libera(t);
  if (NodosVivos() != vivos) Falla("nodes leaked");
  return 0;
}
