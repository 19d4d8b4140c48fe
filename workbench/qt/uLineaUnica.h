// The one-line boxes edtDef and edtEnt: whatever way text comes in, only its first line stays,
// so no line break can reach a name or an expression (a name holding one would be saved to a
// definitions file that cannot be read back).
#pragma once

#include <QLineEdit>
#include <QValidator>
#include <functional>

// Cuts inserted text at its first line break. It sees the whole new text, so it works out the
// inserted piece from the text before the change and the cursor after it.
class TPrimeraLinea : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& Texto, int& Cursor) const override;

 private:
  mutable QString Previo;
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
