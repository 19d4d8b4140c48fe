// SPDX-License-Identifier: GPL-3.0-or-later
#include "uTextoMemo.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMimeData>
#include <algorithm>

#include "uCp1252.h"

namespace {

// The character of each Windows-1252 byte.
const std::array<char16_t, 256>& Caracteres() {
  static const std::array<char16_t, 256> Tabla = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
      QString c = QString::fromStdString(Cp1252AUtf8(std::string(1, static_cast<char>(b))));
      t[static_cast<std::size_t>(b)] = c.isEmpty() ? u'?' : c[0].unicode();
    }
    return t;
  }();
  return Tabla;
}

bool EsBlanco(char c) {
  return c == ' ' || c == '\n';
}

}  // namespace

void TTextoMemo::FijaTexto(std::shared_ptr<const std::string> Texto) {
  Forma = std::move(Texto);
  // The line starts of a long text that has gone go back to the allocator.
  if (Inicios.capacity() > (std::size_t(1) << 17)) std::vector<std::size_t>().swap(Inicios);
  Ancla_ = Cursor_ = 0;
}

QString TTextoMemo::Convierte(std::size_t Desde, std::size_t Hasta) const {
  const auto& t = Caracteres();
  QString s(static_cast<qsizetype>(Hasta - Desde), Qt::Uninitialized);
  QChar* d = s.data();
  for (std::size_t i = Desde; i < Hasta; ++i)
    *d++ = QChar(t[static_cast<unsigned char>(Texto()[i])]);
  return s;
}

QMimeData* TTextoMemo::DatosCopia(std::size_t Desde, std::size_t Hasta, std::size_t Limite) const {
  if (Hasta - Desde > Limite) return nullptr;
  // What QMimeData::setText would store as UTF-8 for every paste, made once here.
  const auto& t = Caracteres();
  const char* b = Texto().data();
  qsizetype n = 0;
  for (std::size_t i = Desde; i < Hasta; ++i) {
    char16_t c = t[static_cast<unsigned char>(b[i])];
    n += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
  }
  QByteArray Bytes(n, Qt::Uninitialized);
  char* d = Bytes.data();
  for (std::size_t i = Desde; i < Hasta; ++i) {
    char16_t c = t[static_cast<unsigned char>(b[i])];
    if (c < 0x80) {
      *d++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *d++ = static_cast<char>(0xC0 | (c >> 6));
      *d++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *d++ = static_cast<char>(0xE0 | (c >> 12));
      *d++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *d++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  auto* m = new QMimeData;
  m->setData(QStringLiteral("text/plain"), Bytes);
  return m;
}

void TTextoMemo::MideFuente(const QFont& Fuente) {
  QFontMetricsF m(Fuente);
  const auto& t = Caracteres();
  for (std::size_t b = 0; b < 256; ++b) Ancho[b] = m.horizontalAdvance(QChar(t[b]));
  QFontMetrics mi(Fuente);
  Alto_ = std::max(1, mi.lineSpacing());
  Ascenso_ = mi.ascent();
}

double TTextoMemo::Avanza(double x, std::size_t Desde, std::size_t Hasta) const {
  for (std::size_t j = Desde; j < Hasta; ++j) x += Ancho[static_cast<unsigned char>(Texto()[j])];
  return x;
}

void TTextoMemo::Reinicia(double Disponible) {
  Disponible_ = Disponible;
  Inicios.assign(1, 0);
  Pos = 0;
  AnchoLinea = AnchoTrasCorte = 0;
  Corte = 0;
  Completo_ = Texto().empty();
}

void TTextoMemo::Envuelve(std::size_t Lineas, std::size_t Presupuesto) {
  std::size_t Fin = Texto().size();
  if (Presupuesto < Fin - Pos) Fin = Pos + Presupuesto;
  const char* b = Texto().data();
  for (; Pos < Fin && Inicios.size() < Lineas; ++Pos) {
    char c = b[Pos];
    double w = Ancho[static_cast<unsigned char>(c)];
    if (c == '\n') {
      Inicios.push_back(Pos + 1);
      AnchoLinea = AnchoTrasCorte = 0;
      Corte = 0;
      continue;
    }
    if (c == ' ') {
      // Blanks hang past the edge and never start a line.
      AnchoLinea += w;
      Corte = Pos + 1;
      AnchoTrasCorte = 0;
      continue;
    }
    if (AnchoLinea + w > Disponible_ && Pos > Inicios.back()) {
      // A word that does not fit goes to the next line whole; one longer than a line is cut
      // where it reaches the edge.
      if (Corte > Inicios.back() && AnchoTrasCorte + w <= Disponible_) {
        Inicios.push_back(Corte);
        AnchoLinea = AnchoTrasCorte;
      } else {
        Inicios.push_back(Pos);
        AnchoLinea = 0;
      }
      Corte = 0;
      AnchoTrasCorte = 0;
    }
    AnchoLinea += w;
    AnchoTrasCorte += w;
  }
  if (Pos >= Texto().size()) Completo_ = true;
}

std::size_t TTextoMemo::FinLinea(std::size_t i) const {
  return i + 1 < Inicios.size() ? Inicios[i + 1] : (Completo_ ? Texto().size() : Pos);
}

std::size_t TTextoMemo::LineaDe(std::size_t p) {
  while (!Completo_ && Pos <= p) Envuelve(Inicios.size() + 1024, NingunaPos);
  auto i = std::upper_bound(Inicios.begin(), Inicios.end(), p);
  return static_cast<std::size_t>(i - Inicios.begin()) - 1;
}

std::size_t TTextoMemo::PosicionEnLinea(std::size_t i, int X) const {
  std::size_t Desde = InicioLinea(i), Hasta = FinLinea(i);
  // The position after a line's last character is the start of the next line, except on the
  // last line.
  std::size_t Tope = i + 1 < Inicios.size() || !Completo_ ? Hasta - 1 : Hasta;
  if (Hasta > Desde && Texto()[Hasta - 1] == '\n') Tope = Hasta - 1;
  double x = Margen;
  for (std::size_t j = Desde; j < Tope; ++j) {
    double w = Ancho[static_cast<unsigned char>(Texto()[j])];
    if (X < x + w / 2) return j;
    x += w;
  }
  return std::max(Desde, Tope);
}

void TTextoMemo::Selecciona(std::size_t Ancla, std::size_t Cursor) {
  Ancla_ = std::min(Ancla, Texto().size());
  Cursor_ = std::min(Cursor, Texto().size());
}

void TTextoMemo::MueveCursor(std::size_t p, bool Extiende) {
  Cursor_ = std::min(p, Texto().size());
  if (!Extiende) Ancla_ = Cursor_;
}

bool TTextoMemo::SeleccionaPalabra(std::size_t p) {
  if (p >= Texto().size() || EsBlanco(Texto()[p])) return false;
  std::size_t a = p, z = p;
  while (a > 0 && !EsBlanco(Texto()[a - 1])) --a;
  while (z < Texto().size() && !EsBlanco(Texto()[z])) ++z;
  Ancla_ = a;
  Cursor_ = z;
  return true;
}

std::string TTextoMemo::TextoSeleccionado() const {
  return Texto().substr(SelDesde(), SelHasta() - SelDesde());
}
