// SPDX-License-Identifier: GPL-3.0-or-later
// UpDown1: a vertical pair of arrows without a box, holding a position within a range.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "uDireccion.h"

class TUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit TUpDown(QWidget* Padre = nullptr);

  int Minimo() const { return Min; }
  int Maximo() const { return Max; }
  int Posicion() const { return Pos; }
  void FijaPosicion(int P);

  // Runs for every press of an arrow before the position changes, with the proposed position
  // and the arrow pressed (at the ends of the range too); false keeps the position.
  std::function<bool(int Propuesta, TUpDownDirection Direccion)> AlCambiar;

  QSize sizeHint() const override { return {23, 35}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  enum TFlecha { Ninguna, Arriba, Abajo };
  TFlecha FlechaEn(const QPoint& p) const;
  QRect Mitad(TFlecha f) const;
  void Pulsa(TFlecha f);
  void Repite();
  void Suelta();

  int Min = 0, Max = 100, Pos = 0;
  TFlecha Pulsada = Ninguna;
  QTimer Repeticion;  // holding an arrow down repeats it
};
