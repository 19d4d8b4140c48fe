// SPDX-License-Identifier: GPL-3.0-or-later
#include "uPasos.h"

#include <QFontDatabase>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <string>

#include "uAyuda.h"
#include "uCp1252.h"
#include "uMemo.h"
#include "uPrograma.h"
#include "uTextos.h"
#include "uTraza.h"

namespace {

// Paints a line: "N: " and its text, the marks in the highlight's colours, how the step from it
// was taken at the right end. Every row is as wide as the longest one, up to what a widget can
// be; a line longer than that starts a little before its first marked redex when that lies
// further right. Only the characters in sight are converted and drawn, however long the line.
class TDelegadoPasos : public QStyledItemDelegate {
 public:
  TDelegadoPasos(const TModeloPasos& Modelo, QObject* Padre)
      : QStyledItemDelegate(Padre), Modelo(Modelo) {}
  QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    QSize s = QStyledItemDelegate::sizeHint(o, i);
    const double Ancho = QFontMetricsF(o.font).horizontalAdvance(QLatin1Char('x'));
    const double Fila = (double(Modelo.Columnas()) + 1) * Ancho;
    s.setWidth(std::max(s.width(), int(std::min(Fila, double(QWIDGETSIZE_MAX)))));
    return s;
  }
  void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    const TModeloPasos::TFila& f = Modelo.Fila(i.row());
    if (f.Tipo != TModeloPasos::TTipo::Linea) return QStyledItemDelegate::paint(p, o, i);
    const auto& Lineas = Modelo.Traza.Lineas();
    if (f.Linea >= Lineas.size()) return;
    const TTraza::TLinea& l = Lineas[f.Linea];
    QStyleOptionViewItem Base = o;
    initStyleOption(&Base, i);
    Base.text.clear();
    QStyle* Estilo = Base.widget ? Base.widget->style() : nullptr;
    if (Estilo) Estilo->drawControl(QStyle::CE_ItemViewItem, &Base, p, Base.widget);
    Pinta(*p, o, l);
  }

 private:
  const TModeloPasos& Modelo;

  void Pinta(QPainter& p, const QStyleOptionViewItem& o, const TTraza::TLinea& l) const {
    const QFontMetricsF m(o.font);
    const double Ancho = m.horizontalAdvance(QLatin1Char('x'));
    const QString Como = DeCp1252(TTraza::Como(l));
    const double AnchoComo = Como.isEmpty() ? 0 : m.horizontalAdvance(Como) + 2 * Ancho;
    const QString Numero = QString::number(l.Estado.Pasos) + QStringLiteral(": ");
    QRectF r = QRectF(o.rect).adjusted(Ancho / 2, 0, -AnchoComo, 0);
    QRectF Vista = r;
    if (auto* Area = qobject_cast<const QAbstractScrollArea*>(o.widget))
      Vista = r.intersected(QRectF(Area->viewport()->rect()));
    const bool Elegida = o.state & QStyle::State_Selected;
    p.save();
    p.setFont(o.font);
    p.setClipRect(Vista);
    p.setPen(o.palette.color(Elegida ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft, Numero);
    r.adjust(m.horizontalAdvance(Numero), 0, 0, 0);
    const std::string& Texto = *l.Forma;
    const std::size_t Caben = static_cast<std::size_t>(std::max(1.0, r.width() / Ancho));
    const std::size_t Inicio = InicioLineaPasos(l, Caben);  // the row's first character
    if (Inicio > 0) {
      p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("…"));
      r.adjust(m.horizontalAdvance(QStringLiteral("…")), 0, 0, 0);
    }
    const auto Columna = [&](double x) {
      return Inicio + static_cast<std::size_t>(std::max(0.0, x - r.left()) / Ancho);
    };
    const std::size_t Desde = std::min(Texto.size(), Columna(Vista.left()));
    const std::size_t Hasta = std::max(Desde, std::min(Texto.size(), Columna(Vista.right()) + 1));
    const double x = r.left() + double(Desde - Inicio) * Ancho;
    for (std::size_t k = 0; k < l.Marcas.size(); ++k) {
      const TRango& g = l.Marcas[k];
      const std::size_t a = std::max(g.Desde, Desde), z = std::min(g.Hasta, Hasta);
      if (a < z)
        p.fillRect(
            QRectF(x + double(a - Desde) * Ancho, r.top(), double(z - a) * Ancho, r.height()),
            ColorResalte(static_cast<int>(k % 3)));
    }
    p.setPen(o.palette.color(QPalette::Text));
    if (Elegida && l.Marcas.empty()) p.setPen(o.palette.color(QPalette::HighlightedText));
    p.drawText(QRectF(x, r.top(), double(Hasta - Desde + 1) * Ancho, r.height()),
               Qt::AlignVCenter | Qt::AlignLeft,
               DeCp1252(std::string_view(Texto).substr(Desde, Hasta - Desde)));
    p.restore();
    if (Como.isEmpty()) return;
    p.save();
    p.setFont(o.font);
    p.setPen(o.palette.color(Elegida ? QPalette::HighlightedText : QPalette::PlaceholderText));
    p.drawText(QRectF(o.rect).adjusted(0, 0, -Ancho / 2, 0), Qt::AlignVCenter | Qt::AlignRight,
               Como);
    p.restore();
  }
};

// The list, asking for no more height than the panel's share of the screen leaves it below the
// panel's title: the main window gives a panel the height it asks for.
class TListaPasos : public QListView {
 public:
  using QListView::QListView;
  QSize sizeHint() const override {
    QSize s = QListView::sizeHint();
    QScreen* Pantalla = screen();
    const auto* Panel = qobject_cast<const QDockWidget*>(parentWidget());
    if (!Pantalla || !Panel) return s;
    const int Titulo = Panel->fontMetrics().height() + 8;
    const int Tope = int(Pantalla->availableGeometry().height() * TPanelPasos::PartePantalla);
    s.setHeight(std::max(minimumSizeHint().height(), std::min(s.height(), Tope - Titulo)));
    return s;
  }
};

}  // namespace

void TModeloPasos::Reconstruye() {
  beginResetModel();
  Filas = FilasPasos(Traza);
  Columnas_ = AnchoFilasPasos(Traza, Filas);
  endResetModel();
}

int TModeloPasos::rowCount(const QModelIndex& Padre) const {
  return Padre.isValid() ? 0 : static_cast<int>(Filas.size());
}

QVariant TModeloPasos::data(const QModelIndex& i, int Rol) const {
  if (!i.isValid() || i.row() >= rowCount()) return {};
  const TFila& f = Fila(i.row());
  if (Rol != Qt::DisplayRole && Rol != Qt::ToolTipRole) return {};
  if (f.Tipo != TTipo::Linea) return DeCp1252(TextoFilaPasos(Traza, f));
  const auto& Lineas = Traza.Lineas();
  if (f.Linea >= Lineas.size() || Rol != Qt::ToolTipRole) return {};
  // The whole term on hovering, up to what a tooltip can show.
  return DeCp1252(std::string_view(*Lineas[f.Linea].Forma).substr(0, 2000));
}

Qt::ItemFlags TModeloPasos::flags(const QModelIndex& i) const {
  if (!i.isValid() || i.row() >= rowCount()) return Qt::NoItemFlags;
  const TFila& f = Fila(i.row());
  const auto& Lineas = Traza.Lineas();
  if (f.Tipo != TTipo::Linea || f.Linea >= Lineas.size() || !Lineas[f.Linea].EsTermino)
    return Qt::ItemIsEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int TModeloPasos::FilaActual() const {
  for (std::size_t f = Filas.size(); f-- > 0;)
    if (Filas[f].Tipo == TTipo::Linea && Filas[f].Linea == Traza.Actual())
      return static_cast<int>(f);
  return -1;
}

std::size_t TModeloPasos::LineaDe(int Fila) const {
  if (Fila < 0 || Fila >= rowCount()) return std::size_t(-1);
  const TFila& f = Filas[static_cast<std::size_t>(Fila)];
  return f.Tipo == TTipo::Linea ? f.Linea : std::size_t(-1);
}

TPanelPasos::TPanelPasos(const TTraza& Traza, QWidget* Padre)
    : QDockWidget(QStringLiteral("Pasos"), Padre) {
  setObjectName("Pasos1");
  Modelo = new TModeloPasos(Traza, this);
  Lista = new TListaPasos(this);
  Lista->setObjectName("ListaPasos1");
  Lista->setAccessibleName(QString::fromUtf8(ConsejoDe("ListaPasos1").Nombre));
  Lista->setModel(Modelo);
  Lista->setUniformItemSizes(true);
  Lista->setSelectionMode(QAbstractItemView::SingleSelection);
  Lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Lista->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Lista->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  Lista->setItemDelegate(new TDelegadoPasos(*Modelo, Lista));
  setWidget(Lista);
  connect(Lista->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& i) {
            const std::size_t l = Modelo->LineaDe(i.row());
            if (Fijando || l == std::size_t(-1) || !AlElegir) return;
            // After the view has done with this change: the command rebuilds the rows.
            QMetaObject::invokeMethod(
                this, [this, l] { AlElegir(l); }, Qt::QueuedConnection);
          });
}

void TPanelPasos::Actualiza() {
  Pendiente = true;
  if (!isVisible()) return;
  Pendiente = false;
  Fijando = true;
  Modelo->Reconstruye();
  const QModelIndex i = Modelo->index(Modelo->FilaActual());
  Lista->setCurrentIndex(i);
  if (i.isValid()) Lista->scrollTo(i);
  Fijando = false;
}

void TPanelPasos::showEvent(QShowEvent* e) {
  QDockWidget::showEvent(e);
  if (Pendiente) Actualiza();
}
