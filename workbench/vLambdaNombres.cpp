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
  if (!Actual || !Vista.MuestraNombresDefiniciones()) return Pliegue.Quita();
  // The definitions the entry named, by the place of each among Definiciones.
  const std::size_t n = Definiciones.Cuenta();
  std::vector<int32_t> Escritas(Escritura.Nombres.size(), -1);
  std::vector<bool> Nombrada(n, false);
  for (std::size_t k = 0; k < Escritas.size(); ++k)
    if ((Escritas[k] = Definiciones.Busca(Escritura.Nombres[k])) >= 0)
      Nombrada[static_cast<std::size_t>(Escritas[k])] = true;
  // A name stands for its definition only when an entry would read it as that one: the first
  // whose name matches without regard to case. Among equal definitions the first one folds: the
  // names the entry wrote go first, then the others, each in the order of the list.
  std::vector<TPlegable> Plegables;
  std::vector<int32_t> Lugar(n, -1);
  for (bool Primero : {true, false})
    for (std::size_t i = 0; i < n; ++i) {
      const TDefinicion& d = Definiciones[i];
      if (Nombrada[i] == Primero && NombreLegible(d.Nombre) &&
          Definiciones.Busca(d.Nombre) == static_cast<int>(i)) {
        Lugar[i] = static_cast<int32_t>(Plegables.size());
        Plegables.push_back({d.Nombre, d.Termino});
      }
    }
  for (int32_t& e : Escritas)
    if (e >= 0) e = Lugar[static_cast<std::size_t>(e)];
  Pliegue.Pliega(Actual, Plegables, Escritas, Ritmo.Pulso());
}
