// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMemo.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
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

constexpr int Margen = TTextoMemo::Margen;
constexpr std::size_t Trozo = 1u << 20;  // bytes wrapped in one idle slice
constexpr std::size_t NingunaPos = TTextoMemo::NingunaPos;

// Paints the highlight of the bytes [Desde, Hasta) of a line starting at x = Margen.
void PintaResalte(QPainter& p, const TTextoMemo& T, const std::vector<TRango>& Rangos,
                  std::size_t Desde, std::size_t Hasta, int y) {
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
      double x = T.Avanza(Margen, Desde, a);
      double w = T.Avanza(0, a, z);
      p.fillRect(QRectF(x, y, w, T.Alto()), ColorResalte(j));
    }
  }
}

// Line i painted at y: its highlight (Fondo), its text with the selection, and the cursor when
// the view has the focus.
void PintaLinea(QPainter& p, const TTextoMemo& T, std::size_t i, int y,
                const std::vector<TRango>& Fondo, bool Foco, const QPalette& Paleta) {
  std::size_t Desde = T.InicioLinea(i), Hasta = T.FinLinea(i);
  if (Hasta > Desde && T.Texto()[Hasta - 1] == '\n') --Hasta;
  if (!Fondo.empty()) PintaResalte(p, T, Fondo, Desde, Hasta, y);
  double x = Margen;
  // Up to three pieces: before, inside and after the selection.
  std::size_t Cortes[4] = {Desde, std::clamp(T.SelDesde(), Desde, Hasta),
                           std::clamp(T.SelHasta(), Desde, Hasta), Hasta};
  for (int k = 0; k < 3; ++k) {
    std::size_t a = Cortes[k], z = Cortes[k + 1];
    if (a >= z) continue;
    double w = T.Avanza(0, a, z);
    bool Marcado = k == 1;
    if (Marcado) p.fillRect(QRectF(x, y, w, T.Alto()), Paleta.brush(QPalette::Highlight));
    p.setPen(Paleta.color(Marcado ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(QPointF(x, y + T.Ascenso()), T.Convierte(a, z));
    x += w;
  }
  const std::size_t Cursor = T.Cursor();
  if (Foco && Cursor >= Desde && (Cursor < Hasta || (Cursor == Hasta && i + 1 == T.Lineas()))) {
    double cx = T.Avanza(Margen, Desde, Cursor);
    p.setPen(Paleta.color(QPalette::Text));
    p.drawLine(QPointF(cx, y), QPointF(cx, y + T.Alto() - 1));
  }
}

// A selection made with the mouse is no request to copy: past the limit it is just not offered.
void PonSeleccionX11(const TTextoMemo& T, std::size_t Limite) {
  QClipboard* c = QGuiApplication::clipboard();
  std::size_t a = T.SelDesde(), z = T.SelHasta();
  if (!c->supportsSelection() || a >= z) return;
  if (QMimeData* m = T.DatosCopia(a, z, Limite)) c->setMimeData(m, QClipboard::Selection);
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
  connect(&Ocioso, &QTimer::timeout, this, [this] {
    // The next slice waits four times as long as this one took: wrapping a text that run-all is
    // about to replace takes at most a fifth of its time.
    QElapsedTimer Reloj;
    Reloj.start();
    T.Envuelve(NingunaPos, Trozo);
    AjustaBarra();
    if (!T.Completo()) Ocioso.start(static_cast<int>(std::min<qint64>(4 * Reloj.elapsed(), 1000)));
  });
  Desplazamiento.setInterval(50);
  connect(&Desplazamiento, &QTimer::timeout, this, [this] { Arrastra(UltimoRaton); });
  T.MideFuente(font());
}

void TMemo::FijaTexto(std::shared_ptr<const std::string> Texto) {
  T.FijaTexto(std::move(Texto));
  Resalte_.clear();
  FijaApuntado({});
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
  return T.Convierte(0, Texto().size());
}

// ---------------------------------------------------------------------------------------------
// Wrapping.

void TMemo::ReiniciaEnvoltura(std::size_t Conserva) {
  T.Reinicia(std::max(1.0, static_cast<double>(viewport()->width() - 2 * Margen)));
  // The line that was on top stays on top; the first screen is wrapped at once.
  Conserva = std::min(Conserva, Texto().size());
  std::size_t Arriba = Conserva == 0 ? 0 : T.LineaDe(Conserva);
  T.Envuelve(Arriba + static_cast<std::size_t>(T.LineasEn(viewport()->height())) + 2, NingunaPos);
  AjustaBarra();
  verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(Arriba, INT_MAX)));
  if (T.Completo())
    Ocioso.stop();
  else
    Ocioso.start(0);
  viewport()->update();
}

std::size_t TMemo::NumLineas() {
  if (!T.Completo()) {
    T.Envuelve(NingunaPos, NingunaPos);
    AjustaBarra();
    Ocioso.stop();
  }
  return T.Lineas();
}

void TMemo::AjustaBarra() {
  // In whole lines, down to the last line at the bottom of the view.
  std::size_t Visibles = static_cast<std::size_t>(T.LineasEn(viewport()->height()));
  std::size_t Maximo = T.Lineas() > Visibles ? T.Lineas() - Visibles : 0;
  QScrollBar* b = verticalScrollBar();
  b->setRange(0, static_cast<int>(std::min<std::size_t>(Maximo, INT_MAX)));
  b->setPageStep(std::max(1, T.LineasEn(viewport()->height())));
  b->setSingleStep(1);
}

std::size_t TMemo::PrimeraVisible() const {
  return static_cast<std::size_t>(std::max(0, verticalScrollBar()->value()));
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TMemo::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font());
  std::size_t Primera = PrimeraVisible();
  std::size_t Ultima = Primera + static_cast<std::size_t>(viewport()->height() / T.Alto()) + 1;
  T.Envuelve(Ultima + 2, NingunaPos);
  const std::vector<TRango>& Fondo = Apuntado_.empty() ? Resalte_ : Apuntado_;
  for (std::size_t i = Primera; i <= Ultima && i < T.Lineas(); ++i)
    PintaLinea(p, T, i, Margen + static_cast<int>(i - Primera) * T.Alto(), Fondo, hasFocus(),
               palette());
}

const QColor& ColorResalte(int j) {
  // Light enough for the black text on top: the whole redex, then its function part and its
  // argument in two shades.
  static const QColor Colores[3] = {QColor(255, 243, 205), QColor(255, 214, 153),
                                    QColor(196, 226, 255)};
  return Colores[j];
}

void TMemo::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  double Nuevo = std::max(1.0, static_cast<double>(viewport()->width() - 2 * Margen));
  if (Nuevo != T.Disponible())
    ReiniciaEnvoltura(T.InicioLinea(std::min(PrimeraVisible(), T.Lineas() - 1)));
  else
    AjustaBarra();
}

void TMemo::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() == QEvent::FontChange) {
    T.MideFuente(font());
    ReiniciaEnvoltura(T.InicioLinea(std::min(PrimeraVisible(), T.Lineas() - 1)));
  }
}

// ---------------------------------------------------------------------------------------------
// Selection.

void TMemo::Selecciona(std::size_t Ancla, std::size_t Cursor) {
  T.Selecciona(Ancla, Cursor);
  viewport()->update();
}

void TMemo::selectAll() {
  Selecciona(0, Texto().size());
}

void TMemo::copy() {
  std::size_t a = T.SelDesde(), z = T.SelHasta();
  if (a >= z) return;
  if (QMimeData* m = T.DatosCopia(a, z, LimiteCopia))
    QGuiApplication::clipboard()->setMimeData(m);
  else
    emit Aviso(QString::fromStdString(
        Cp1252AUtf8(Mensajes::SeleccionDemasiadoGrande(LimiteCopia, SeparadorDelLocale()))));
}

std::size_t TMemo::PosicionEn(QPoint p) {
  if (Texto().empty()) return 0;
  long Fila = p.y() < Margen ? -1 : (p.y() - Margen) / T.Alto();
  long l = static_cast<long>(PrimeraVisible()) + Fila;
  if (l < 0) return 0;
  T.Envuelve(static_cast<std::size_t>(l) + 2, NingunaPos);
  if (static_cast<std::size_t>(l) >= T.Lineas()) return T.FinLinea(T.Lineas() - 1);
  return T.PosicionEnLinea(static_cast<std::size_t>(l), p.x());
}

void TMemo::MuestraPosicion(std::size_t Pos) {
  std::size_t l = T.LineaDe(std::min(Pos, Texto().size()));
  AjustaBarra();
  std::size_t Primera = PrimeraVisible();
  std::size_t n = static_cast<std::size_t>(T.LineasEn(viewport()->height()));
  if (l < Primera)
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(l, INT_MAX)));
  else if (l >= Primera + n)
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(l - n + 1, INT_MAX)));
}

void TMemo::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
  T.MueveCursor(PosicionEn(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
  MuestraPosicion(T.Cursor());
  viewport()->update();
  Arrastrando = true;
}

void TMemo::Arrastra(QPoint p) {
  int h = viewport()->height();
  QScrollBar* b = verticalScrollBar();
  if (p.y() < 0) b->setValue(b->value() - 1);
  if (p.y() >= h) {
    T.Envuelve(PrimeraVisible() + static_cast<std::size_t>(T.LineasEn(viewport()->height())) + 3,
               NingunaPos);
    AjustaBarra();
    b->setValue(b->value() + 1);
  }
  T.MueveCursor(PosicionEn(QPoint(p.x(), std::clamp(p.y(), 0, std::max(0, h - 1)))), true);
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
  PonSeleccionX11(T, LimiteCopia);
  if (T.Ancla() == T.Cursor() && !(e->modifiers() & Qt::ShiftModifier))
    emit Pulsa(static_cast<qint64>(T.Cursor()));
}

void TMemo::leaveEvent(QEvent* e) {
  QAbstractScrollArea::leaveEvent(e);
  emit Apunta(-1);
}

void TMemo::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  // The word under the pointer.
  if (!T.SeleccionaPalabra(PosicionEn(e->position().toPoint()))) return;
  viewport()->update();
  PonSeleccionX11(T, LimiteCopia);
}

void TMemo::keyPressEvent(QKeyEvent* e) {
  if (e == QKeySequence::Copy) return copy();
  if (e == QKeySequence::SelectAll) return selectAll();
  bool Extiende = e->modifiers() & Qt::ShiftModifier;
  bool Control = e->modifiers() & Qt::ControlModifier;
  const std::size_t Cursor = T.Cursor();
  std::size_t l = T.LineaDe(Cursor);
  double x = T.Avanza(Margen, T.InicioLinea(l), Cursor);
  // The same column on another line, by the position under it on the screen.
  auto EnLinea = [&](long Destino) {
    Destino = std::max(0L, Destino);
    T.Envuelve(static_cast<std::size_t>(Destino) + 2, NingunaPos);
    long Arriba = static_cast<long>(PrimeraVisible());
    verticalScrollBar()->setValue(static_cast<int>(std::min<long>(
        std::max(0L, std::clamp(Arriba, Destino - T.LineasEn(viewport()->height()) + 1, Destino)),
        INT_MAX)));
    long Fila = Destino - static_cast<long>(PrimeraVisible());
    return PosicionEn(QPoint(static_cast<int>(x), Margen + static_cast<int>(Fila) * T.Alto()));
  };
  long Linea = static_cast<long>(l), Pagina = T.LineasEn(viewport()->height());
  auto MueveCursor = [&](std::size_t Pos, bool Extiende) {
    T.MueveCursor(Pos, Extiende);
    MuestraPosicion(T.Cursor());
    viewport()->update();
  };
  switch (e->key()) {
    case Qt::Key_Left:
      return MueveCursor(Cursor > 0 ? Cursor - 1 : 0, Extiende);
    case Qt::Key_Right:
      return MueveCursor(Cursor + 1, Extiende);
    case Qt::Key_Up:
      return MueveCursor(Linea == 0 ? 0 : EnLinea(Linea - 1), Extiende);
    case Qt::Key_Down:
      return MueveCursor(EnLinea(Linea + 1), Extiende);
    case Qt::Key_PageUp:
      return MueveCursor(EnLinea(Linea - Pagina), Extiende);
    case Qt::Key_PageDown:
      return MueveCursor(EnLinea(Linea + Pagina), Extiende);
    case Qt::Key_Home:
      return MueveCursor(Control ? 0 : T.InicioLinea(l), Extiende);
    case Qt::Key_End:
      if (Control) {
        NumLineas();
        return MueveCursor(Texto().size(), Extiende);
      }
      return MueveCursor(
          l + 1 < T.Lineas() ? std::max(T.InicioLinea(l), T.FinLinea(l) - 1) : T.FinLinea(l),
          Extiende);
    default:
      e->ignore();
  }
}

void TMemo::contextMenuEvent(QContextMenuEvent* e) {
  QMenu Menu(this);
  QAction* Copiar = Menu.addAction(QStringLiteral("&Copiar"), this, &TMemo::copy);
  Copiar->setShortcut(QKeySequence::Copy);
  Copiar->setEnabled(T.Ancla() != T.Cursor());
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
