// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of the lesson's exercises: the "Ejercicios" dock and its toggle in
// "Opciones", the "Lecciones" menu, and the progress kept in the program's settings under each
// lesson's name.
#pragma once

#include <string>

#include "uEstrategia.h"

class TVentPpal;

class TEjerciciosVentana {
 public:
  explicit TEjerciciosVentana(TVentPpal& Ventana) : V(Ventana) {}
  // Once the workbench exists: the dock beside the views, hidden until a lesson with exercises
  // opens, and "Lecciones" before "Ayuda".
  void Crea();
  // The view's answers (IVista): the panel drawn again and the progress kept; what was kept for a
  // lesson; the strategy of a reduction exercise put in the menu.
  void Cambiados();
  std::string Progreso(const std::string& Leccion);
  void FijaEstrategia(TEstrategia e);

 private:
  TVentPpal& V;
};
