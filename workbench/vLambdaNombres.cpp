// SPDX-License-Identifier: GPL-3.0-or-later
// The names the text view prints with: "Conservar los nombres".
#include <functional>

#include "vLambda.h"

void TMesaTrabajo::NombresClick() {
  Protegido(std::function<void()>([this] {
    // The redexes' ranges are byte ranges of the text, which changes.
    RedexAlDia = false;
    MemoAlDia = false;
    // Run-all shows it with its next update. The text is made on either tab, as an entry makes
    // it: the diagram shows no names.
    if (!Actual || Ejecutando) return;
    Muestra();
  }));
}
