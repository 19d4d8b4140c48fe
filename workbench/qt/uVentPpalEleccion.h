// SPDX-License-Identifier: GPL-3.0-or-later
// The redex the user chooses in the main window: the one under the pointer on "Texto" or on the
// canvas, shown and contracted by a click, and the one selected from the keyboard (F8, Shift+F8,
// F9), which Memo1 shows where no redex is under the pointer.
#pragma once

#include <QPointF>
#include <QtGlobal>

class TVentPpal;

class TEleccionVentana {
 public:
  explicit TEleccionVentana(TVentPpal& Ventana) : V(Ventana) {}

  void MemoApunta(qint64 Pos);
  void MemoPulsa(qint64 Pos);
  void LienzoApunta(QPointF Punto);
  void LienzoPulsa(QPointF Punto);
  void SeleccionaRedex(bool Siguiente);
  void ContraeSeleccionado();
  // The selected redex on Memo1, scrolled to it when Ir.
  void MuestraSeleccion(bool Ir);

 private:
  TVentPpal& V;
};
