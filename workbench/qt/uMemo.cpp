// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMemo.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "uCp1252.h"
#include "uPrograma.h"
#include "uTextos.h"

namespace {

constexpr int Margen = 4;                // around the text, as a plain text box has
constexpr std::size_t Trozo = 1u << 20;  // bytes wrapped in one idle slice
constexpr std::size_t NingunaPos = static_cast<std::size_t>(-1);

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

TMemo::TMemo(QWidget* Padre) : QAbstractScrollArea(Padre) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setMouseTracking(true);  // the redex under the pointer
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  Ocioso.setSingleShot(true);
  connect(&Ocioso, &QTimer::timeout, this, [this] { EnvuelveUnTrozo(); });
  Desplazamiento.setInterval(50);
  connect(&Desplazamiento, &QTimer::timeout, this, [this] { Arrastra(UltimoRaton); });
  MideFuente();
}

void TMemo::FijaTexto(std::shared_ptr<const std::string> Texto) {
  Forma = std::move(Texto);
  // The line starts of a long text that has gone go back to the allocator.
  if (Inicios.capacity() > (std::size_t(1) << 17)) std::vector<std::size_t>().swap(Inicios);
  Resalte_.clear();
  FijaApuntado({});
  Ancla_ = Cursor_ = 0;
  ReiniciaEnvoltura(0);
}

void TMemo::FijaResalte(std::vector<TRango> Rangos) {
  if (Rangos.empty() && Resalte_.empty()) return;
  Resalte_ = std::move(Rangos);
  Resalte_.resize(Resalte_.size() / 3 * 3);
  for (TRango& r : Resalte_) {
    r.Hasta = std::min(r.Hasta, Texto().size());
    r.Desde = std::min(r.Desde, r.Hasta);
  }
  viewport()->update();
}

void TMemo::FijaApuntado(std::vector<TRango> Rangos, bool Mano) {
  auto Igual = [](const TRango& a, const TRango& b) {
    return a.Desde == b.Desde && a.Hasta == b.Hasta;
  };
  const Qt::CursorShape Puntero =
      Rangos.empty() || !Mano ? Qt::IBeamCursor : Qt::PointingHandCursor;
  if (viewport()->cursor().shape() != Puntero) viewport()->setCursor(Puntero);
  if (std::equal(Rangos.begin(), Rangos.end(), Apuntado_.begin(), Apuntado_.end(), Igual)) return;
  Apuntado_ = std::move(Rangos);
  viewport()->update();
}

QString TMemo::toPlainText() const {
  return Convierte(0, Texto().size());
}

QString TMemo::Convierte(std::size_t Desde, std::size_t Hasta) const {
  const auto& t = Caracteres();
  QString s(static_cast<qsizetype>(Hasta - Desde), Qt::Uninitialized);
  QChar* d = s.data();
  for (std::size_t i = Desde; i < Hasta; ++i)
    *d++ = QChar(t[static_cast<unsigned char>(Texto()[i])]);
  return s;
}

// ---------------------------------------------------------------------------------------------
// Wrapping.

void TMemo::MideFuente() {
  QFontMetricsF m(font());
  const auto& t = Caracteres();
  for (std::size_t b = 0; b < 256; ++b) Ancho[b] = m.horizontalAdvance(QChar(t[b]));
  QFontMetrics mi(font());
  Alto = std::max(1, mi.lineSpacing());
  Ascenso = mi.ascent();
}

void TMemo::ReiniciaEnvoltura(std::size_t Conserva) {
  Disponible = std::max(1.0, static_cast<double>(viewport()->width() - 2 * Margen));
  Inicios.assign(1, 0);
  Pos = 0;
  AnchoLinea = AnchoTrasCorte = 0;
  Corte = 0;
  Completo = Texto().empty();
  // The line that was on top stays on top; the first screen is wrapped at once.
  Conserva = std::min(Conserva, Texto().size());
  std::size_t Arriba = Conserva == 0 ? 0 : LineaDe(Conserva);
  Envuelve(Arriba + static_cast<std::size_t>(LineasVisibles()) + 2, NingunaPos);
  AjustaBarra();
  verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(Arriba, INT_MAX)));
  if (Completo)
    Ocioso.stop();
  else
    Ocioso.start(0);
  viewport()->update();
}

void TMemo::Envuelve(std::size_t Lineas, std::size_t Presupuesto) {
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
    if (AnchoLinea + w > Disponible && Pos > Inicios.back()) {
      // A word that does not fit goes to the next line whole; one longer than a line is cut
      // where it reaches the edge.
      if (Corte > Inicios.back() && AnchoTrasCorte + w <= Disponible) {
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
  if (Pos >= Texto().size()) Completo = true;
}

void TMemo::EnvuelveUnTrozo() {
  // The next slice waits four times as long as this one took: wrapping a text that run-all is
  // about to replace takes at most a fifth of its time.
  QElapsedTimer Reloj;
  Reloj.start();
  Envuelve(NingunaPos, Trozo);
  AjustaBarra();
  if (!Completo) Ocioso.start(static_cast<int>(std::min<qint64>(4 * Reloj.elapsed(), 1000)));
}

std::size_t TMemo::NumLineas() {
  if (!Completo) {
    Envuelve(NingunaPos, NingunaPos);
    AjustaBarra();
    Ocioso.stop();
  }
  return Inicios.size();
}

void TMemo::AjustaBarra() {
  // In whole lines, down to the last line at the bottom of the view.
  std::size_t Visibles = static_cast<std::size_t>(LineasVisibles());
  std::size_t Maximo = Inicios.size() > Visibles ? Inicios.size() - Visibles : 0;
  QScrollBar* b = verticalScrollBar();
  b->setRange(0, static_cast<int>(std::min<std::size_t>(Maximo, INT_MAX)));
  b->setPageStep(std::max(1, LineasVisibles()));
  b->setSingleStep(1);
}

int TMemo::LineasVisibles() const {
  return std::max(1, (viewport()->height() - Margen) / Alto);
}

std::size_t TMemo::PrimeraVisible() const {
  return static_cast<std::size_t>(std::max(0, verticalScrollBar()->value()));
}

std::size_t TMemo::FinLinea(std::size_t i) const {
  return i + 1 < Inicios.size() ? Inicios[i + 1] : (Completo ? Texto().size() : Pos);
}

std::size_t TMemo::LineaDe(std::size_t p) {
  while (!Completo && Pos <= p) Envuelve(Inicios.size() + 1024, NingunaPos);
  auto i = std::upper_bound(Inicios.begin(), Inicios.end(), p);
  return static_cast<std::size_t>(i - Inicios.begin()) - 1;
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TMemo::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font());
  std::size_t Primera = PrimeraVisible();
  std::size_t Ultima = Primera + static_cast<std::size_t>(viewport()->height() / Alto) + 1;
  Envuelve(Ultima + 2, NingunaPos);
  std::size_t SelDesde = std::min(Ancla_, Cursor_), SelHasta = std::max(Ancla_, Cursor_);
  const QPalette& Paleta = palette();
  for (std::size_t i = Primera; i <= Ultima && i < Inicios.size(); ++i) {
    std::size_t Desde = InicioLinea(i), Hasta = FinLinea(i);
    if (Hasta > Desde && Texto()[Hasta - 1] == '\n') --Hasta;
    int y = Margen + static_cast<int>(i - Primera) * Alto;
    const std::vector<TRango>& Fondo = Apuntado_.empty() ? Resalte_ : Apuntado_;
    if (!Fondo.empty()) PintaResalte(p, Fondo, Desde, Hasta, y);
    double x = Margen;
    // Up to three pieces: before, inside and after the selection.
    std::size_t Cortes[4] = {Desde, std::clamp(SelDesde, Desde, Hasta),
                             std::clamp(SelHasta, Desde, Hasta), Hasta};
    for (int k = 0; k < 3; ++k) {
      std::size_t a = Cortes[k], z = Cortes[k + 1];
      if (a >= z) continue;
      double w = 0;
      for (std::size_t j = a; j < z; ++j) w += Ancho[static_cast<unsigned char>(Texto()[j])];
      bool Marcado = k == 1;
      if (Marcado) p.fillRect(QRectF(x, y, w, Alto), Paleta.brush(QPalette::Highlight));
      p.setPen(Paleta.color(Marcado ? QPalette::HighlightedText : QPalette::Text));
      p.drawText(QPointF(x, y + Ascenso), Convierte(a, z));
      x += w;
    }
    if (hasFocus() && Cursor_ >= Desde &&
        (Cursor_ < Hasta || (Cursor_ == Hasta && i + 1 == Inicios.size()))) {
      double cx = Margen;
      for (std::size_t j = Desde; j < Cursor_; ++j)
        cx += Ancho[static_cast<unsigned char>(Texto()[j])];
      p.setPen(Paleta.color(QPalette::Text));
      p.drawLine(QPointF(cx, y), QPointF(cx, y + Alto - 1));
    }
  }
}

const QColor& TMemo::ColorResalte(int j) {
  // Light enough for the black text on top: the whole redex, then its function part and its
  // argument in two shades.
  static const QColor Colores[3] = {QColor(255, 243, 205), QColor(255, 214, 153),
                                    QColor(196, 226, 255)};
  return Colores[j];
}

void TMemo::PintaResalte(QPainter& p, const std::vector<TRango>& Rangos, std::size_t Desde,
                         std::size_t Hasta, int y) {
  // Redexes lie apart in text order: the first that ends after the line starts.
  std::size_t n = Rangos.size() / 3;
  std::size_t lo = 0, hi = n;
  while (lo < hi) {
    std::size_t m = (lo + hi) / 2;
    if (Rangos[3 * m].Hasta <= Desde)
      lo = m + 1;
    else
      hi = m;
  }
  for (std::size_t k = lo; k < n && Rangos[3 * k].Desde < Hasta; ++k) {
    for (int j = 0; j < 3; ++j) {
      const TRango& r = Rangos[3 * k + static_cast<std::size_t>(j)];
      std::size_t a = std::max(r.Desde, Desde), z = std::min(r.Hasta, Hasta);
      if (a >= z) continue;
      double x = Margen;
      for (std::size_t i = Desde; i < a; ++i) x += Ancho[static_cast<unsigned char>(Texto()[i])];
      double w = 0;
      for (std::size_t i = a; i < z; ++i) w += Ancho[static_cast<unsigned char>(Texto()[i])];
      p.fillRect(QRectF(x, y, w, Alto), ColorResalte(j));
    }
  }
}

void TMemo::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  double Nuevo = std::max(1.0, static_cast<double>(viewport()->width() - 2 * Margen));
  if (Nuevo != Disponible)
    ReiniciaEnvoltura(Inicios[std::min(PrimeraVisible(), Inicios.size() - 1)]);
  else
    AjustaBarra();
}

void TMemo::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() == QEvent::FontChange) {
    MideFuente();
    ReiniciaEnvoltura(Inicios[std::min(PrimeraVisible(), Inicios.size() - 1)]);
  }
}

// ---------------------------------------------------------------------------------------------
// Selection.

void TMemo::Selecciona(std::size_t Ancla, std::size_t Cursor) {
  Ancla_ = std::min(Ancla, Texto().size());
  Cursor_ = std::min(Cursor, Texto().size());
  viewport()->update();
}

std::string TMemo::TextoSeleccionado() const {
  std::size_t a = std::min(Ancla_, Cursor_), z = std::max(Ancla_, Cursor_);
  return Texto().substr(a, z - a);
}

void TMemo::selectAll() {
  Selecciona(0, Texto().size());
}

QMimeData* TMemo::DatosCopia(std::size_t Desde, std::size_t Hasta) const {
  if (Hasta - Desde > LimiteCopia) return nullptr;
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

void TMemo::copy() {
  std::size_t a = std::min(Ancla_, Cursor_), z = std::max(Ancla_, Cursor_);
  if (a >= z) return;
  if (QMimeData* m = DatosCopia(a, z))
    QGuiApplication::clipboard()->setMimeData(m);
  else
    emit Aviso(QString::fromStdString(
        Cp1252AUtf8(Mensajes::SeleccionDemasiadoGrande(LimiteCopia, SeparadorDelLocale()))));
}

void TMemo::PonSeleccionX11() {
  // A selection made with the mouse is no request to copy: past the limit it is just not offered.
  QClipboard* c = QGuiApplication::clipboard();
  std::size_t a = std::min(Ancla_, Cursor_), z = std::max(Ancla_, Cursor_);
  if (!c->supportsSelection() || a >= z) return;
  if (QMimeData* m = DatosCopia(a, z)) c->setMimeData(m, QClipboard::Selection);
}

std::size_t TMemo::PosicionEn(QPoint p) {
  if (Texto().empty()) return 0;
  long Fila = p.y() < Margen ? -1 : (p.y() - Margen) / Alto;
  long l = static_cast<long>(PrimeraVisible()) + Fila;
  if (l < 0) return 0;
  Envuelve(static_cast<std::size_t>(l) + 2, NingunaPos);
  if (static_cast<std::size_t>(l) >= Inicios.size()) return FinLinea(Inicios.size() - 1);
  std::size_t i = static_cast<std::size_t>(l);
  std::size_t Desde = InicioLinea(i), Hasta = FinLinea(i);
  // The position after a line's last character is the start of the next line, except on the
  // last line.
  std::size_t Tope = i + 1 < Inicios.size() || !Completo ? Hasta - 1 : Hasta;
  if (Hasta > Desde && Texto()[Hasta - 1] == '\n') Tope = Hasta - 1;
  double x = Margen;
  for (std::size_t j = Desde; j < Tope; ++j) {
    double w = Ancho[static_cast<unsigned char>(Texto()[j])];
    if (p.x() < x + w / 2) return j;
    x += w;
  }
  return std::max(Desde, Tope);
}

void TMemo::MueveCursor(std::size_t p, bool Extiende) {
  Cursor_ = std::min(p, Texto().size());
  if (!Extiende) Ancla_ = Cursor_;
  HazVisibleCursor();
  viewport()->update();
}

void TMemo::HazVisibleCursor() {
  MuestraPosicion(Cursor_);
}

void TMemo::MuestraPosicion(std::size_t Pos) {
  std::size_t l = LineaDe(std::min(Pos, Texto().size()));
  AjustaBarra();
  std::size_t Primera = PrimeraVisible();
  std::size_t n = static_cast<std::size_t>(LineasVisibles());
  if (l < Primera)
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(l, INT_MAX)));
  else if (l >= Primera + n)
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(l - n + 1, INT_MAX)));
}

void TMemo::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
  MueveCursor(PosicionEn(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
  Arrastrando = true;
}

void TMemo::Arrastra(QPoint p) {
  int h = viewport()->height();
  QScrollBar* b = verticalScrollBar();
  if (p.y() < 0) b->setValue(b->value() - 1);
  if (p.y() >= h) {
    Envuelve(PrimeraVisible() + static_cast<std::size_t>(LineasVisibles()) + 3, NingunaPos);
    AjustaBarra();
    b->setValue(b->value() + 1);
  }
  Cursor_ = PosicionEn(QPoint(p.x(), std::clamp(p.y(), 0, std::max(0, h - 1))));
  viewport()->update();
}

void TMemo::mouseMoveEvent(QMouseEvent* e) {
  if (!Arrastrando) return emit Apunta(static_cast<qint64>(PosicionEn(e->position().toPoint())));
  UltimoRaton = e->position().toPoint();
  Arrastra(UltimoRaton);
  bool Fuera = UltimoRaton.y() < 0 || UltimoRaton.y() >= viewport()->height();
  if (Fuera && !Desplazamiento.isActive()) Desplazamiento.start();
  if (!Fuera) Desplazamiento.stop();
}

void TMemo::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(e);
  Arrastrando = false;
  Desplazamiento.stop();
  PonSeleccionX11();
  if (Ancla_ == Cursor_ && !(e->modifiers() & Qt::ShiftModifier))
    emit Pulsa(static_cast<qint64>(Cursor_));
}

void TMemo::leaveEvent(QEvent* e) {
  QAbstractScrollArea::leaveEvent(e);
  emit Apunta(-1);
}

void TMemo::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  // The word under the pointer: a run of characters between blanks.
  std::size_t p = PosicionEn(e->position().toPoint());
  if (p >= Texto().size() || EsBlanco(Texto()[p])) return;
  std::size_t a = p, z = p;
  while (a > 0 && !EsBlanco(Texto()[a - 1])) --a;
  while (z < Texto().size() && !EsBlanco(Texto()[z])) ++z;
  Ancla_ = a;
  Cursor_ = z;
  viewport()->update();
  PonSeleccionX11();
}

void TMemo::keyPressEvent(QKeyEvent* e) {
  if (e == QKeySequence::Copy) return copy();
  if (e == QKeySequence::SelectAll) return selectAll();
  bool Extiende = e->modifiers() & Qt::ShiftModifier;
  bool Control = e->modifiers() & Qt::ControlModifier;
  std::size_t l = LineaDe(Cursor_);
  double x = Margen;
  for (std::size_t j = InicioLinea(l); j < Cursor_; ++j)
    x += Ancho[static_cast<unsigned char>(Texto()[j])];
  // The same column on another line, by the position under it on the screen.
  auto EnLinea = [&](long Destino) {
    Destino = std::max(0L, Destino);
    Envuelve(static_cast<std::size_t>(Destino) + 2, NingunaPos);
    long Arriba = static_cast<long>(PrimeraVisible());
    verticalScrollBar()->setValue(static_cast<int>(std::min<long>(
        std::max(0L, std::clamp(Arriba, Destino - LineasVisibles() + 1, Destino)), INT_MAX)));
    long Fila = Destino - static_cast<long>(PrimeraVisible());
    return PosicionEn(QPoint(static_cast<int>(x), Margen + static_cast<int>(Fila) * Alto));
  };
  long Linea = static_cast<long>(l), Pagina = LineasVisibles();
  switch (e->key()) {
    case Qt::Key_Left:
      return MueveCursor(Cursor_ > 0 ? Cursor_ - 1 : 0, Extiende);
    case Qt::Key_Right:
      return MueveCursor(Cursor_ + 1, Extiende);
    case Qt::Key_Up:
      return MueveCursor(Linea == 0 ? 0 : EnLinea(Linea - 1), Extiende);
    case Qt::Key_Down:
      return MueveCursor(EnLinea(Linea + 1), Extiende);
    case Qt::Key_PageUp:
      return MueveCursor(EnLinea(Linea - Pagina), Extiende);
    case Qt::Key_PageDown:
      return MueveCursor(EnLinea(Linea + Pagina), Extiende);
    case Qt::Key_Home:
      return MueveCursor(Control ? 0 : InicioLinea(l), Extiende);
    case Qt::Key_End:
      if (Control) {
        NumLineas();
        return MueveCursor(Texto().size(), Extiende);
      }
      return MueveCursor(
          l + 1 < Inicios.size() ? std::max(InicioLinea(l), FinLinea(l) - 1) : FinLinea(l),
          Extiende);
    default:
      e->ignore();
  }
}

void TMemo::contextMenuEvent(QContextMenuEvent* e) {
  QMenu Menu(this);
  QAction* Copiar = Menu.addAction(QStringLiteral("&Copiar"), this, &TMemo::copy);
  Copiar->setShortcut(QKeySequence::Copy);
  Copiar->setEnabled(Ancla_ != Cursor_);
  QAction* Todo = Menu.addAction(QStringLiteral("Seleccionar todo"), this, &TMemo::selectAll);
  Todo->setShortcut(QKeySequence::SelectAll);
  Todo->setEnabled(!Texto().empty());
  Menu.exec(e->globalPos());
}

void TMemo::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  viewport()->update();
}

void TMemo::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  viewport()->update();
}
