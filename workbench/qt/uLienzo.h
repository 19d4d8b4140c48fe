// SPDX-License-Identifier: GPL-3.0-or-later
// Lienzo: the drawing area; its paint event runs the window's LienzoPaint. The mouse moves the
// drawing: a drag by the pixels it goes, Ctrl+wheel one zoom step per notch at the pointer, a
// double click back to the standard place. The pointer's moves without a button are told, and a
// click that did not drag.
#pragma once

#include <QWidget>
#include <functional>

class TLienzo : public QWidget {
  Q_OBJECT

 public:
  explicit TLienzo(QWidget* Padre = nullptr);
  std::function<void()> AlPintar;
  std::function<void(QPoint Desplazamiento)> AlArrastrar;
  std::function<void(bool Arriba, QPointF Punto)> AlRodar;
  std::function<void()> AlDobleClic;
  std::function<void(QPointF Punto)> AlApuntar;  // NaN: the pointer left
  std::function<void(QPointF Punto)> AlPulsar;
  // Over something a click acts on, the pointer is a pointing hand.
  void FijaMano(bool Mano);

 protected:
  void paintEvent(QPaintEvent*) override {
    if (AlPintar) AlPintar();
  }
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  void PonCursor();
  bool Arrastrando = false;
  bool Mano = false;
  bool Movido = false;  // the press went further than a click may
  QPoint Ultimo, Inicio;
  int Giro = 0;  // wheel turned with Ctrl and not yet a whole notch, in eighths of a degree
};
