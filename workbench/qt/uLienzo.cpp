// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLienzo.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <limits>

TLienzo::TLienzo(QWidget* Padre) : QWidget(Padre) {
  setCursor(Qt::OpenHandCursor);
  setMouseTracking(true);
}
void TLienzo::FijaMano(bool m) {
  Mano = m;
  PonCursor();
}
void TLienzo::PonCursor() {
  setCursor(Arrastrando ? Qt::ClosedHandCursor
                        : (Mano ? Qt::PointingHandCursor : Qt::OpenHandCursor));
}
void TLienzo::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  Arrastrando = true;
  Movido = false;
  Ultimo = Inicio = e->position().toPoint();
  PonCursor();
}
void TLienzo::mouseMoveEvent(QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  if (!Arrastrando) {
    if (AlApuntar) AlApuntar(e->position());
    return;
  }
  QPoint d = p - Ultimo;
  Ultimo = p;
  if ((p - Inicio).manhattanLength() >= QApplication::startDragDistance()) Movido = true;
  if (!d.isNull() && AlArrastrar) AlArrastrar(d);
}
void TLienzo::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  // The release that ends a double click comes without a press: it is no click.
  const bool Clic = Arrastrando && !Movido;
  Arrastrando = false;
  PonCursor();
  if (Clic && AlPulsar) AlPulsar(e->position());
  // A drag may end outside, where nothing is pointed at.
  constexpr double Nada = std::numeric_limits<double>::quiet_NaN();
  const bool Dentro = rect().contains(e->position().toPoint());
  if (AlApuntar) AlApuntar(Dentro ? e->position() : QPointF(Nada, Nada));
}
void TLienzo::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  constexpr double Nada = std::numeric_limits<double>::quiet_NaN();
  if (AlApuntar) AlApuntar(QPointF(Nada, Nada));
}
void TLienzo::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(e);
  if (AlDobleClic) AlDobleClic();
}
void TLienzo::wheelEvent(QWheelEvent* e) {
  if (!(e->modifiers() & Qt::ControlModifier)) return QWidget::wheelEvent(e);
  e->accept();
  // 120 eighths of a degree make a notch; a fine wheel or a touchpad sends less at a time.
  Giro += e->angleDelta().y();
  for (; Giro >= 120; Giro -= 120)
    if (AlRodar) AlRodar(true, e->position());
  for (; Giro <= -120; Giro += 120)
    if (AlRodar) AlRodar(false, e->position());
}
