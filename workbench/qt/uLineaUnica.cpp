// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLineaUnica.h"

#include <QKeyEvent>
#include <algorithm>
#include <limits>

#include "uCp1252.h"

namespace {

bool EsSalto(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

qsizetype PrimerSalto(const QString& Texto) {
  for (qsizetype i = 0; i < Texto.size(); ++i)
    if (EsSalto(Texto[i])) return i;
  return -1;
}

}  // namespace

QString PrimeraLinea(const QString& Texto) {
  qsizetype i = PrimerSalto(Texto);
  return i < 0 ? Texto : Texto.left(i);
}

QValidator::State TPrimeraLinea::validate(QString& Texto, int& Cursor) const {
  qsizetype Salto = PrimerSalto(Texto);
  if (Salto >= 0) {
    // A cursor short of the line break (nothing inserts so) cuts the rest of the text.
    qsizetype Fin = std::clamp<qsizetype>(Cursor, Salto, Texto.size());
    if (Fin == Salto) Fin = Texto.size();
    Texto.remove(Salto, Fin - Salto);
    Cursor = static_cast<int>(Salto);
  }
  return Acceptable;
}

TLineaUnica::TLineaUnica(QWidget* Padre) : QLineEdit(Padre) {
  // A long expression pasted in must reach the parser whole, not cut at QLineEdit's 32767.
  setMaxLength(std::numeric_limits<int>::max());
  setValidator(new TPrimeraLinea(this));
}

void TLineaUnica::keyPressEvent(QKeyEvent* e) {
  if (AlPulsarTecla) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      AlPulsarTecla('\r');
    } else if (!e->text().isEmpty()) {
      std::string Byte = Utf8ACp1252(e->text().left(1).toStdString());
      if (!Byte.empty()) AlPulsarTecla(Byte[0]);
    }
  }
  // The key is not consumed: QLineEdit's own handling follows.
  QLineEdit::keyPressEvent(e);
}
