// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu bar ("Ficheros", "Opciones", "Definiciones", "Ayuda"), the "Opciones"
// menu's state, and what is kept between sessions: the options and the last folder of the file
// dialogs. A new menu of the bar is made in Crea or CreaAyudas, in the bar's order.
#pragma once

#include <QString>
#include <cstddef>

#include "uOpciones.h"

class QAction;
class QFileDialog;
class TVentPpal;

class TMenusVentana {
 public:
  explicit TMenusVentana(TVentPpal& Ventana) : V(Ventana) {}

  // "Ficheros" and "Opciones"; then, once the status bar is there, "Detener ∀β en un ciclo",
  // "Definiciones" and "Ayuda".
  void Crea();
  void CreaAyudas();
  // The "Opciones" menu as Opciones holds it: each entry checked and enabled as its rule says.
  // Each check mark and strategy feeds Opciones; the commands follow (ConectaOpciones, once the
  // workbench and the steps panel's entry exist).
  void PintaOpciones();
  void ConectaOpciones();
  const TOpciones& Opciones() const { return Opciones_; }
  // A reduction exercise's strategy, on its own: neither "Reducción η" nor "Beta múltiple".
  void SigueEstrategia(TEstrategia e);
  // "Definiciones": an entry for each definition, choosing one types its name.
  void ReconstruyeDefiniciones();

  // The options that go beyond the first start, and the last folder of the file dialogs, kept
  // between sessions in Qt's settings store: the last session's restored now, and from now on
  // kept as they change. The program's start asks for it; a window without it (the tests, the
  // benchmarks) starts as at a first start and keeps nothing.
  void RecuerdaOpciones();
  // The window is going: the options going with it are no change of the user's.
  void Olvida() { Recuerda = false; }
  // The folder of a file chosen in a dialog, which every dialog made later starts in.
  void CarpetaElegida(QFileDialog* Dialogo, const QString& Fichero);
  void EnUltimaCarpeta(QFileDialog* Dialogo);

 private:
  void CreaMenuExportar();
  void CreaMenuEstrategia();
  void InsertaDefinicion(std::size_t i);
  QAction* Entrada(TOpcion o) const;
  // Kept between sessions, once RecuerdaOpciones has been called: the options as they are now.
  void GuardaOpciones();

  TVentPpal& V;
  TOpciones Opciones_;    // the "Opciones" menu's state
  bool Recuerda = false;  // RecuerdaOpciones was called
  QString UltimaCarpeta;
};
