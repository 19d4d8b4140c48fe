// SPDX-License-Identifier: GPL-3.0-or-later
#include "uUpDown.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace {
constexpr int PrimeraEspera = 400;  // ms before a held arrow starts repeating
constexpr int EsperaRepeticion = 100;
}  // namespace

TUpDown::TUpDown(QWidget* Padre) : QWidget(Padre) {
  // Clicking the arrows leaves the focus where it was (in the expression box, usually).
  setFocusPolicy(Qt::TabFocus);
  Repeticion.setSingleShot(false);
  connect(&Repeticion, &QTimer::timeout, this, &TUpDown::Repite);
}

void TUpDown::FijaPosicion(int P) {
  Pos = std::clamp(P, Min, Max);
}

TUpDown::TFlecha TUpDown::FlechaEn(const QPoint& p) const {
  if (!rect().contains(p)) return Ninguna;
  return p.y() < height() / 2 ? Arriba : Abajo;
}

QRect TUpDown::Mitad(TFlecha f) const {
  int h = height() / 2;
  return f == Arriba ? QRect(0, 0, width(), h) : QRect(0, h, width(), height() - h);
}

void TUpDown::Pulsa(TFlecha f) {
  int Propuesta = Pos + (f == Arriba ? 1 : -1);
  TUpDownDirection d = f == Arriba ? updUp : updDown;
  bool Permitido = AlCambiar ? AlCambiar(Propuesta, d) : true;
  if (Permitido) FijaPosicion(Propuesta);
}

void TUpDown::Repite() {
  Repeticion.setInterval(EsperaRepeticion);
  // A release that went elsewhere (a modal box opened by the press) ends the repetition too.
  if (Pulsada == Ninguna || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    Suelta();
    return;
  }
  // Only while the pointer stays on the arrow that was pressed, as a push button repeats.
  if (FlechaEn(mapFromGlobal(QCursor::pos())) == Pulsada) Pulsa(Pulsada);
}

void TUpDown::Suelta() {
  Pulsada = Ninguna;
  Repeticion.stop();
  update();
}

void TUpDown::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  TFlecha f = FlechaEn(e->position().toPoint());
  if (f == Ninguna) return;
  Pulsada = f;
  update();
  Repeticion.start(PrimeraEspera);
  Pulsa(f);
}

void TUpDown::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  Suelta();
}

void TUpDown::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Up)
    Pulsa(Arriba);
  else if (e->key() == Qt::Key_Down)
    Pulsa(Abajo);
  else
    QWidget::keyPressEvent(e);
}

void TUpDown::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange && !isEnabled()) Suelta();
  QWidget::changeEvent(e);
}

void TUpDown::paintEvent(QPaintEvent*) {
  QPainter p(this);
  for (TFlecha f : {Arriba, Abajo}) {
    QStyleOptionButton Boton;
    Boton.initFrom(this);
    Boton.rect = Mitad(f);
    Boton.state |= (Pulsada == f) ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &Boton, &p, this);
    QStyleOption Flecha;
    Flecha.initFrom(this);
    Flecha.rect = Mitad(f).adjusted(5, 3, -5, -3);
    if (Pulsada == f) Flecha.rect.translate(1, 1);
    style()->drawPrimitive(
        f == Arriba ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &Flecha, &p,
        this);
  }
  if (hasFocus()) {
    QStyleOptionFocusRect Foco;
    Foco.initFrom(this);
    Foco.rect = rect().adjusted(2, 2, -2, -2);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Foco, &p, this);
  }
}
