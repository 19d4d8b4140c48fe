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
  if (PrimerSalto(Texto) >= 0) {
    qsizetype Inicio, Fin;  // the inserted piece
    qsizetype Crece = Texto.size() - Previo.size();
    qsizetype Desde = Cursor - Crece;
    if (Crece > 0 && Desde >= 0 && Cursor <= Texto.size() &&
        QStringView(Texto).left(Desde) == QStringView(Previo).left(Desde) &&
        QStringView(Texto).mid(Cursor) == QStringView(Previo).mid(Desde)) {
      // A plain insertion ending at the cursor: paste, drop, typing.
      Inicio = Desde;
      Fin = Cursor;
    } else {
      // A replacement (of a selection, or of everything by setText): what differs.
      qsizetype p = 0;
      qsizetype Tope = std::min(Texto.size(), Previo.size());
      while (p < Tope && Texto[p] == Previo[p]) ++p;
      qsizetype s = 0;
      while (s < Tope - p && Texto[Texto.size() - 1 - s] == Previo[Previo.size() - 1 - s]) ++s;
      Inicio = p;
      Fin = Texto.size() - s;
    }
    QString Pieza = PrimeraLinea(Texto.mid(Inicio, Fin - Inicio));
    // Previo never holds a line break, so none is left outside the piece.
    Texto = Texto.left(Inicio) + Pieza + Texto.mid(Fin);
    Cursor = static_cast<int>(Inicio + Pieza.size());
  }
  Previo = Texto;
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
  // The key is not consumed: the box then does with it what it always does.
  QLineEdit::keyPressEvent(e);
}
