// SPDX-License-Identifier: GPL-3.0-or-later
// The names the text view prints with: "Conservar los nombres", and "Mostrar los nombres de las
// definiciones".
#include <functional>
#include <vector>

#include "uParser.h"
#include "uPliegue.h"
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

void TMesaTrabajo::PliegaActual() {
  if (!Actual || !Vista.MuestraNombresDefiniciones()) return QuitaPliegue();
  // A name stands for its definition only when an entry would read it as that one: the first
  // whose name matches without regard to case.
  std::vector<TPlegable> Plegables;
  for (std::size_t i = 0; i < Definiciones.Cuenta(); ++i) {
    const TDefinicion& d = Definiciones[i];
    if (NombreLegible(d.Nombre) && Definiciones.Busca(d.Nombre) == static_cast<int>(i))
      Plegables.push_back({d.Nombre, d.Termino});
  }
  PliegaAlImprimir(Actual, Plegables, Ritmo.Pulso());
}
