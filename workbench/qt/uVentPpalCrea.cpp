// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpalCrea.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "uAyuda.h"
#include "uLienzo.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uPasos.h"
#include "uUpDown.h"
#include "uVentPpal.h"

namespace {

// The input row, positions within Panel1 as laid out for a panel AnchoCliente wide.
struct TSitio {
  int X, Y, Ancho, Alto;
};
constexpr TSitio SitioDef{8, 7, 109, 32};
constexpr TSitio SitioLabel{127, 7, 14, 30};
constexpr TSitio SitioEnt{152, 7, 697, 32};
constexpr TSitio SitioUpDown{857, 5, 23, 35};
constexpr TSitio SitioBeta{886, 6, 38, 33};
constexpr TSitio SitioBack{929, 6, 38, 33};
constexpr TSitio SitioBetaAll{976, 6, 44, 33};
constexpr int AltoPanel1 = 47;
constexpr int AltoEstado = 19;
constexpr int BordePanel = 5;
// Narrower than this the expression box would be narrower than the name box.
constexpr int AnchoMinimoPanel1 = TVentPpal::AnchoCliente - SitioEnt.Ancho + SitioDef.Ancho;
// The room the layout leaves around a page of the tabs: 4 pixels on either side, 28 in all
// from top to bottom (the frame, and the row of tabs below the page), 4 above it.
constexpr int HolguraPaginaAncho = 8, HolguraPaginaAlto = 28, HolguraPaginaArriba = 4;
// The window's outer size at start, for keeping it on a small screen.
constexpr int AnchoExterior = 1045, AltoExterior = 591;
constexpr int Izquierda = 395, Arriba = 234;

QFont FuenteSimbolo() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(24);
  f.setBold(true);
  return f;
}

// The largest size up to the buttons' at which the sign, centred in a label of the given width,
// keeps a pixel clear on either side: at 24 pixels ≡ is wider than the label.
QFont FuenteSigno(QChar Signo, int Ancho) {
  QFont f = FuenteSimbolo();
  for (int Alto = f.pixelSize(); Alto > 6; --Alto) {
    f.setPixelSize(Alto);
    QFontMetricsF m(f);
    QRectF Tinta = m.tightBoundingRect(QString(Signo));
    double Izquierda = (Ancho - m.horizontalAdvance(Signo)) / 2 + Tinta.left();
    if (Izquierda >= 1 && Izquierda + Tinta.width() <= Ancho - 1) break;
  }
  return f;
}

QFont FuenteCaja() {
  // Asked for by name: the generic monospace family may resolve to a font Qt does not take as
  // fixed-pitch.
  QFont f(QStringLiteral("DejaVu Sans Mono"));
  f.setStyleHint(QFont::Monospace);
  f.setPixelSize(21);
  return f;
}

QPushButton* Boton(const QString& Texto, const char* Nombre, QWidget* Padre) {
  auto* b = new QPushButton(Texto, Padre);
  b->setObjectName(Nombre);
  b->setFont(FuenteSimbolo());
  return b;
}

}  // namespace

// The library is static: its resources are brought in by hand.
static void CargaRecursos() {
  Q_INIT_RESOURCE(iconos);
  Q_INIT_RESOURCE(manual);
  Q_INIT_RESOURCE(lecciones);
}

void TMontaje::Crea() {
  CargaRecursos();
  V.setWindowIcon(QIcon(QStringLiteral(":/iconos/calculo-lambda.png")));
  V.setWindowTitle(QString::fromStdString(TituloVentana()));
  QFont FuenteVentana(QStringLiteral("DejaVu Sans"));
  FuenteVentana.setPixelSize(11);
  V.setFont(FuenteVentana);

  auto* Central = new QWidget(&V);
  auto* Columna = new QVBoxLayout(Central);
  Columna->setContentsMargins(0, 0, 0, 0);
  Columna->setSpacing(0);
  V.setCentralWidget(Central);

  CreaFila(Central);
  CreaPaginas(Central);
  CreaBarraDeEstado();
  V.Menus.Crea();
  ExplicaControles();
  CreaLectura();
  V.Menus.CreaAyudas();
  Columna->addWidget(V.Panel2, 1);
  Columna->addWidget(V.Panel1);
  V.Conecta();
  CreaTeclas();
}

// Panel1: name ≡ expression, the spinner and the three buttons.
void TMontaje::CreaFila(QWidget* Central) {
  V.Panel1 = new QFrame(Central);
  V.Panel1->setObjectName("Panel1");
  V.Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  V.Panel1->setFixedHeight(AltoPanel1);
  V.Panel1->installEventFilter(this);

  V.edtEnt = new TLineaUnica(V.Panel1);
  V.edtEnt->setObjectName("edtEnt");
  V.edtEnt->setFont(FuenteCaja());
  V.edtEnt->AlPulsarTecla = [this](char Key) { V.edtEntKeyPress(Key); };

  V.edtDef = new TLineaUnica(V.Panel1);
  V.edtDef->setObjectName("edtDef");
  V.edtDef->setFont(FuenteCaja());
  connect(V.edtDef, &QLineEdit::returnPressed, &V, [this] { V.edtDefIntro(); });

  V.Label1 = new QLabel(QStringLiteral("≡"), V.Panel1);
  V.Label1->setObjectName("Label1");
  V.Label1->setFont(FuenteSigno(u'≡', SitioLabel.Ancho));
  V.Label1->setAlignment(Qt::AlignCenter);

  V.btnBeta = Boton(QStringLiteral("β"), "btnBeta", V.Panel1);

  V.UpDown1 = new TUpDown(V.Panel1);
  V.UpDown1->setObjectName("UpDown1");
  V.UpDown1->AlCambiar = [this](int Propuesta, TUpDownDirection d) {
    return V.UpDown1ChangingEx(Propuesta, d);
  };

  V.btnBetaAll = Boton(QStringLiteral("∀β"), "btnBetaAll", V.Panel1);
  V.btnBack = Boton(QStringLiteral("←"), "btnBack", V.Panel1);
  V.btnBack->setEnabled(false);
}

// Tooltips, and the same words for screen readers; the buttons' own captions are symbols. The
// boxes say in grey, while empty, what they are for, to a first-time user.
void TMontaje::ExplicaControles() {
  for (const TConsejo& c : ConsejosControles()) {
    auto* w = V.findChild<QWidget*>(QString::fromLatin1(c.Control));
    if (!w) continue;
    w->setToolTip(QString::fromUtf8(c.Consejo));
    w->setAccessibleName(QString::fromUtf8(c.Nombre));
    if (auto* Caja = qobject_cast<QLineEdit*>(w))
      Caja->setPlaceholderText(QString::fromUtf8(c.Indicacion));
  }
}

// Panel2: the tabs at the bottom, "Texto" with Memo1 and "Gráficos" with Lienzo.
void TMontaje::CreaPaginas(QWidget* Central) {
  V.Panel2 = new QFrame(Central);
  V.Panel2->setObjectName("Panel2");
  V.Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* Relleno = new QVBoxLayout(V.Panel2);
  Relleno->setContentsMargins(BordePanel, BordePanel, BordePanel, BordePanel);

  QTabWidget* Pestanas = V.PageControl1 = new QTabWidget(V.Panel2);
  Pestanas->setObjectName("PageControl1");
  Pestanas->setTabPosition(QTabWidget::South);
  Relleno->addWidget(Pestanas);
  V.TabSheet1 = new QWidget;
  V.TabSheet1->setObjectName("TabSheet1");
  V.TabSheet2 = new QWidget;
  V.TabSheet2->setObjectName("TabSheet2");
  Pestanas->addTab(V.TabSheet1, QStringLiteral("Texto"));
  Pestanas->addTab(V.TabSheet2, QStringLiteral("Gráficos"));

  V.Memo1 = new TMemo(V.TabSheet1);
  V.Memo1->setObjectName("Memo1");
  QFont FuenteTexto(QStringLiteral("Carlito"));
  FuenteTexto.setBold(true);
  FuenteTexto.setPointSize(TMesaTrabajo::FuenteInicial);
  V.Memo1->setFont(FuenteTexto);
  auto* Hoja1 = new QVBoxLayout(V.TabSheet1);
  Hoja1->setContentsMargins(0, 0, 0, 0);
  Hoja1->addWidget(V.Memo1);

  V.Lienzo = new TLienzo(V.TabSheet2);
  V.Lienzo->setObjectName("Lienzo");
  V.Lienzo->AlPintar = [this] { V.LienzoPaint(); };
  auto* Hoja2 = new QVBoxLayout(V.TabSheet2);
  Hoja2->setContentsMargins(0, 0, 0, 0);
  Hoja2->addWidget(V.Lienzo);
  // The diagram tab is active at start, and that is no change of tab.
  Pestanas->setCurrentIndex(1);
}

void TMontaje::CreaBarraDeEstado() {
  V.StatusBar1 = V.statusBar();
  V.StatusBar1->setObjectName("StatusBar1");
  V.StatusBar1->setFixedHeight(AltoEstado);
  V.Estado = new QLabel(V.StatusBar1);
  V.Estado->setObjectName("StatusBar1Texto");
  // Messages quote what the user typed, which may look like markup ("<B>X").
  V.Estado->setTextFormat(Qt::PlainText);
  // A long message must not widen the window.
  V.Estado->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  V.StatusBar1->addWidget(V.Estado, 1);
}

// The status bar's second panel: what the current term reads back as.
void TMontaje::CreaLectura() {
  V.Lectura1 = new QLabel(V.StatusBar1);
  V.Lectura1->setObjectName("StatusBar1Lectura");
  V.Lectura1->setTextFormat(Qt::PlainText);
  // A long list of names must leave room for the status text.
  V.Lectura1->setMaximumWidth(TVentPpal::AnchoCliente / 2);
  V.StatusBar1->addPermanentWidget(V.Lectura1);
}

// "Pasos", below the views, hidden at start; the dock shows the workbench's record.
void TMontaje::CreaDocks() {
  V.Pasos1 = new TPanelPasos(V.MesaTrabajo->Historial.Traza, &V);
  V.Pasos1->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
  V.Pasos1->setFont(V.font());
  V.addDockWidget(Qt::BottomDockWidgetArea, V.Pasos1);
  V.Pasos1->hide();
  V.MostrarPasos1 = V.Pasos1->toggleViewAction();
  V.MostrarPasos1->setText(QStringLiteral("&Mostrar los pasos"));
  V.MostrarPasos1->setObjectName("MostrarPasos1");
  V.Pciones1->insertAction(V.Centrar1, V.MostrarPasos1);
  V.Pasos1->AlElegir = [this](std::size_t i) { V.Orden([i](TMesaTrabajo& m) { m.IrALinea(i); }); };
  V.EjerciciosV.Crea();
}

// F5, F6 and F7 press β, ← and ∀β, in the buttons' order from left to right; none of them edits
// text. Ctrl+Tab and Ctrl+PgDn go to the next tab, Ctrl+Shift+Tab and Ctrl+PgUp to the previous
// one, round and round.
void TMontaje::CreaTeclas() {
  auto Tecla = [this](const QList<QKeySequence>& Teclas, auto Accion) {
    auto* a = new QAction(&V);
    a->setShortcuts(Teclas);
    V.addAction(a);
    connect(a, &QAction::triggered, &V, Accion);
  };
  TEleccionVentana& e = V.Eleccion;
  Tecla({Qt::Key_F5}, [this] { V.btnBeta->click(); });
  Tecla({Qt::Key_F6}, [this] { V.btnBack->click(); });
  Tecla({Qt::Key_F7}, [this] { V.btnBetaAll->click(); });
  Tecla({Qt::Key_F8}, [&e] { e.SeleccionaRedex(true); });
  Tecla({QKeySequence(Qt::SHIFT | Qt::Key_F8)}, [&e] { e.SeleccionaRedex(false); });
  Tecla({Qt::Key_F9}, [&e] { e.ContraeSeleccionado(); });
  auto Pasa = [this](int Paso) {
    int n = V.PageControl1->count();
    V.PageControl1->setCurrentIndex((V.PageControl1->currentIndex() + Paso + n) % n);
  };
  Tecla({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        [Pasa] { Pasa(1); });
  Tecla({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
         QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        [Pasa] { Pasa(-1); });
  for (QPushButton* b : {V.btnBeta, V.btnBack, V.btnBetaAll}) b->installEventFilter(this);
}

// A push button outside a dialog takes only the space bar.
bool TMontaje::PulsaConIntro(QObject* Objeto, QEvent* Evento) {
  if (Evento->type() != QEvent::KeyPress) return false;
  auto* Tecla = static_cast<QKeyEvent*>(Evento);
  bool Intro = Tecla->key() == Qt::Key_Return || Tecla->key() == Qt::Key_Enter;
  if (!Intro || (Tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  for (QPushButton* b : {V.btnBeta, V.btnBack, V.btnBetaAll})
    if (Objeto == b) {
      b->click();
      return true;
    }
  return false;
}

void TMontaje::Coloca() {
  // Menu bar and client area: the menu bar lies outside the client area, which keeps its full
  // AnchoCliente x AltoCliente.
  V.resize(TVentPpal::AnchoCliente, V.MainMenu1->sizeHint().height() + TVentPpal::AltoCliente);
  // Down to this width every control of the input row keeps its size and place.
  V.Panel1->setMinimumWidth(AnchoMinimoPanel1);
  for (QWidget* Hoja : {V.TabSheet1, V.TabSheet2}) Hoja->installEventFilter(this);
  ColocaFila();
  // At its standard place, as long as that keeps it on the screen; on a screen smaller than the
  // window (or one scaled up) it is made to fit, frame included.
  int x = Izquierda, y = Arriba;
  if (QScreen* Pantalla = V.screen()) {
    QRect Zona = Pantalla->availableGeometry();
    const QSize Marco = QSize(AnchoExterior, AltoExterior) - V.size();
    V.resize(V.size().boundedTo(Zona.size() - Marco));
    const int Ancho = V.width() + Marco.width(), Alto = V.height() + Marco.height();
    x = std::clamp(x, Zona.left(), std::max(Zona.left(), Zona.right() + 1 - Ancho));
    y = std::clamp(y, Zona.top(), std::max(Zona.top(), Zona.bottom() + 1 - Alto));
  }
  V.move(x, y);
}

void TMontaje::ColocaFila() {
  // Anchors: the expression box stretches, the spinner and the buttons keep their distance
  // from the right edge.
  int Sobra = V.Panel1->width() - TVentPpal::AnchoCliente;
  auto Pon = [](QWidget* w, TSitio s, int Desplaza, int Estira) {
    w->setGeometry(s.X + Desplaza, s.Y, std::max(0, s.Ancho + Estira), s.Alto);
  };
  Pon(V.edtDef, SitioDef, 0, 0);
  Pon(V.Label1, SitioLabel, 0, 0);
  Pon(V.edtEnt, SitioEnt, 0, Sobra);
  Pon(V.UpDown1, SitioUpDown, Sobra, 0);
  Pon(V.btnBeta, SitioBeta, Sobra, 0);
  Pon(V.btnBack, SitioBack, Sobra, 0);
  Pon(V.btnBetaAll, SitioBetaAll, Sobra, 0);
}

// Qt's tab frame is thinner than the room the layout leaves around a page: the page's own
// margins make up the difference, so that Lienzo gets the size the diagram's figures assume
// (1009 x 427 at start).
void TMontaje::AjustaHoja(QWidget* Hoja) {
  QLayout* Relleno = Hoja->layout();
  if (!Relleno) return;
  QTabWidget* Pestanas = V.PageControl1;
  QPoint Sitio = Hoja->mapTo(Pestanas, QPoint(0, 0));
  int Ancho = std::max(0, HolguraPaginaAncho - (Pestanas->width() - Hoja->width()));
  int Alto = std::max(0, HolguraPaginaAlto - (Pestanas->height() - Hoja->height()));
  int Izquierda = std::clamp(HolguraPaginaAncho / 2 - Sitio.x(), 0, Ancho);
  int Arriba = std::clamp(HolguraPaginaArriba - Sitio.y(), 0, Alto);
  Relleno->setContentsMargins(Izquierda, Arriba, Ancho - Izquierda, Alto - Arriba);
}

bool TMontaje::eventFilter(QObject* Objeto, QEvent* Evento) {
  if (PulsaConIntro(Objeto, Evento)) return true;
  if (Evento->type() == QEvent::Resize) {
    if (Objeto == V.Panel1) ColocaFila();
    if (Objeto == V.TabSheet1 || Objeto == V.TabSheet2) AjustaHoja(static_cast<QWidget*>(Objeto));
  }
  return QObject::eventFilter(Objeto, Evento);
}
