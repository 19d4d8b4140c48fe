// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's widgets: made, wired to their handlers and laid out at start, kept in place
// as the window is resized, and the keys that press them. The menus are TMenusVentana's; the
// docks come once the workbench exists (CreaDocks: a new dock panel is made there).
#pragma once

#include <QObject>

class QWidget;
class TVentPpal;

class TMontaje : public QObject {
 public:
  explicit TMontaje(TVentPpal& Ventana) : V(Ventana) {}

  // Every component, its menus among them, wired to its handler.
  void Crea();
  // The size and place at start.
  void Coloca();
  // Below the views, hidden at start: the window is laid out as without them until shown.
  void CreaDocks();

 protected:
  bool eventFilter(QObject* Objeto, QEvent* Evento) override;

 private:
  void CreaFila(QWidget* Central);
  void ExplicaControles();
  void CreaPaginas(QWidget* Central);
  void CreaBarraDeEstado();
  void CreaLectura();
  // Keys for the buttons and the tabs; Enter on a focused button presses it.
  void CreaTeclas();
  bool PulsaConIntro(QObject* Objeto, QEvent* Evento);
  void ColocaFila();
  void AjustaHoja(QWidget* Hoja);

  TVentPpal& V;
};
