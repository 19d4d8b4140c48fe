// SPDX-License-Identifier: GPL-3.0-or-later
// What Memo1 shows, apart from the widget: the text in Windows-1252 bytes (one byte a character),
// its lines as wrapped so far with a table of the font's advance for each byte, and the
// selection. Wrapping goes as far as asked: the widget wraps the first screen at once and the
// rest a slice at a time.
#pragma once

#include <QString>
#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QFont;
class QMimeData;

class TTextoMemo {
 public:
  static constexpr std::size_t NingunaPos = static_cast<std::size_t>(-1);
  static constexpr int Margen = 4;  // around the text, as a plain text box has

  // Replaces the text, with nothing selected and nothing wrapped.
  void FijaTexto(std::shared_ptr<const std::string> Texto);
  const std::string& Texto() const { return *Forma; }
  // The bytes [Desde, Hasta) as characters.
  QString Convierte(std::size_t Desde, std::size_t Hasta) const;
  // The bytes [Desde, Hasta) as clipboard data, or null past Limite characters.
  QMimeData* DatosCopia(std::size_t Desde, std::size_t Hasta, std::size_t Limite) const;

  // The font's advance for each byte, and its line height and ascent, in pixels.
  void MideFuente(const QFont& Fuente);
  int Alto() const { return Alto_; }
  int Ascenso() const { return Ascenso_; }
  // x moved on by the advances of the bytes [Desde, Hasta), one at a time.
  double Avanza(double x, std::size_t Desde, std::size_t Hasta) const;
  // Whole lines in a view Alto pixels high, at least one.
  int LineasEn(int Alto) const { return std::max(1, (Alto - Margen) / Alto_); }

  // Starts the wrapping again, for lines Disponible pixels wide.
  void Reinicia(double Disponible);
  double Disponible() const { return Disponible_; }
  // Wraps on until Lineas lines are known, Presupuesto bytes are done, or the text ends.
  void Envuelve(std::size_t Lineas, std::size_t Presupuesto);
  bool Completo() const { return Completo_; }
  std::size_t Lineas() const { return Inicios.size(); }  // known so far
  std::size_t InicioLinea(std::size_t i) const { return Inicios[i]; }
  std::size_t FinLinea(std::size_t i) const;
  std::size_t LineaDe(std::size_t Pos);  // wraps as far as it
  // The offset of the character of line i under x pixels from the view's left edge.
  std::size_t PosicionEnLinea(std::size_t i, int x) const;

  // The selection runs between the anchor and the cursor, byte offsets into the text.
  void Selecciona(std::size_t Ancla, std::size_t Cursor);
  void MueveCursor(std::size_t Pos, bool Extiende);
  // The word at Pos, a run of characters between blanks, selected; false on a blank.
  bool SeleccionaPalabra(std::size_t Pos);
  std::size_t Ancla() const { return Ancla_; }
  std::size_t Cursor() const { return Cursor_; }
  std::size_t SelDesde() const { return std::min(Ancla_, Cursor_); }
  std::size_t SelHasta() const { return std::max(Ancla_, Cursor_); }
  std::string TextoSeleccionado() const;

 private:
  // Shared with the record of the reduction: a big text is never copied.
  std::shared_ptr<const std::string> Forma = std::make_shared<const std::string>();
  std::array<double, 256> Ancho{};
  int Alto_ = 1, Ascenso_ = 0;

  // Wrapping: starts of the lines found so far, and where the walk stands.
  std::vector<std::size_t> Inicios{0};
  bool Completo_ = true;
  std::size_t Pos = 0;        // next byte to place
  double AnchoLinea = 0;      // width of the open line up to Pos
  std::size_t Corte = 0;      // just after the last blank of the open line, or 0
  double AnchoTrasCorte = 0;  // width from Corte to Pos
  double Disponible_ = 1;     // width a line may take

  std::size_t Ancla_ = 0, Cursor_ = 0;
};
