// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLienzo.h"

#include <QMouseEvent>
#include <QWheelEvent>

TLienzo::TLienzo(QWidget* Padre) : QWidget(Padre) {
  setCursor(Qt::OpenHandCursor);
}
void TLienzo::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  Arrastrando = true;
  Ultimo = e->position().toPoint();
  setCursor(Qt::ClosedHandCursor);
}
void TLienzo::mouseMoveEvent(QMouseEvent* e) {
  if (!Arrastrando) return;
  QPoint p = e->position().toPoint();
  QPoint d = p - Ultimo;
  Ultimo = p;
  if (!d.isNull() && AlArrastrar) AlArrastrar(d);
}
void TLienzo::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  Arrastrando = false;
  setCursor(Qt::OpenHandCursor);
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
