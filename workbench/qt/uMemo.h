// SPDX-License-Identifier: GPL-3.0-or-later
// Memo1: a read-only view of a printed form of any length. The text stays in Windows-1252 bytes
// (one byte a character); lines are wrapped with a table of the font's advance for each byte, the
// first screen at once and the rest a slice at a time while the window is idle; only the visible
// lines are converted and painted. The cost of showing a text is linear in its length and its
// memory about one byte a character, where a general text layout costs far more of both. The text,
// its lines and the selection are TTextoMemo's (uTextoMemo.h); this is the widget over them.
#pragma once

#include <QAbstractScrollArea>
#include <QTimer>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "uRango.h"
#include "uTextoMemo.h"

class QColor;
class QPainter;

class TMemo : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TMemo(QWidget* Padre = nullptr);

  // Replaces the text (Windows-1252 bytes), scrolled to its start, with nothing selected and
  // nothing highlighted.
  void FijaTexto(std::shared_ptr<const std::string> Texto);
  // A light background under parts of the text: for each redex three byte ranges (the redex,
  // its function part, its argument), redexes in text order and apart from one another.
  void FijaResalte(std::vector<TRango> Rangos);
  const std::vector<TRango>& Resalte() const { return Resalte_; }
  // The redex under the pointer, three ranges as FijaResalte's, shown in place of that highlight
  // with a pointing hand (without, for one chosen otherwise); empty gives the highlight back.
  void FijaApuntado(std::vector<TRango> Rangos, bool Mano = true);
  const std::vector<TRango>& Apuntado() const { return Apuntado_; }
  const std::string& Texto() const { return T.Texto(); }
  QString toPlainText() const;

  // The selection runs between the anchor and the cursor, byte offsets into the text (Modelo()
  // tells both).
  void Selecciona(std::size_t Ancla, std::size_t Cursor);
  void selectAll();
  // Ctrl+C: the clipboard gets the selection as UTF-8 bytes, made once (as many bytes as the
  // selection has characters, for a printed form), never as a QString of twice that. A
  // selection of more than LimiteCopia characters is not copied: Aviso says so.
  void copy();
  std::size_t LimiteCopia = std::size_t(64) << 20;

  // Lines of the text at the present width; wraps whatever is not wrapped yet.
  std::size_t NumLineas();
  std::size_t PrimeraVisible() const;
  // The text, its lines as wrapped so far and the selection.
  const TTextoMemo& Modelo() const { return T; }
  // Offset of the character under a point of the viewport.
  std::size_t PosicionEn(QPoint p);
  // Scrolls the line of byte Pos into view, if it is not.
  void MuestraPosicion(std::size_t Pos);

 signals:
  // A message for the status bar (Windows-1252 already converted).
  void Aviso(const QString& Texto);
  // The pointer moved over byte Pos of the text (-1: it left the view), and a click that selected
  // nothing there.
  void Apunta(qint64 Pos);
  void Pulsa(qint64 Pos);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  // Starts the wrapping again (new text, width or font), keeping Conserva's line on top.
  void ReiniciaEnvoltura(std::size_t Conserva);
  void AjustaBarra();
  void Arrastra(QPoint p);

  TTextoMemo T;
  QTimer Ocioso;  // wraps the rest a slice at a time

  std::vector<TRango> Resalte_, Apuntado_;
  bool Arrastrando = false;
  QPoint UltimoRaton;
  QTimer Desplazamiento;  // scrolls while a drag is above or below the view
};

// The colours of Memo1's highlight: the whole redex, its function part, its argument (j = 0, 1,
// 2).
const QColor& ColorResalte(int j);
