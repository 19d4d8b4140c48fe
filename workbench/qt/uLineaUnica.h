// SPDX-License-Identifier: GPL-3.0-or-later
// The one-line boxes edtDef and edtEnt: whatever way text comes in, only its first line stays,
// so no line break can reach a name or an expression (a name holding one would be saved to a
// definitions file that cannot be read back).
#pragma once

#include <QLineEdit>
#include <QValidator>
#include <functional>

// Cuts inserted text at its first line break. The box never holds a line break, so any line
// break is in the inserted piece, and that piece ends at the cursor: everything from the first
// line break up to the cursor goes.
class TPrimeraLinea : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& Texto, int& Cursor) const override;
};

class TLineaUnica : public QLineEdit {
  Q_OBJECT

 public:
  explicit TLineaUnica(QWidget* Padre = nullptr);

  // Runs for every key pressed in the box, before the box handles it: '\r' for Enter, otherwise
  // the Windows-1252 byte of the character typed, if any.
  std::function<void(char Tecla)> AlPulsarTecla;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

// The part of a text before its first line break.
QString PrimeraLinea(const QString& Texto);
