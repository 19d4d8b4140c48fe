// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's widgets: made, wired to their handlers and laid out at start; the dialogs,
// made when first needed.
#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "uAyuda.h"
#include "uAyudas.h"
#include "uComparar.h"
#include "uCp1252.h"
#include "uEstrategia.h"
#include "uLienzo.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uPasos.h"
#include "uPrograma.h"
#include "uUpDown.h"
#include "uVentPpal.h"

namespace {

const QString Filtro = QStringLiteral("Ficheros de texto (*.txt)");

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

TVentPpal::TVentPpal(QWidget* Padre) : QMainWindow(Padre), FuenteMemo(TMesaTrabajo::FuenteInicial) {
  setObjectName("VentPpal");
  CargaRecursos();
  setWindowIcon(QIcon(QStringLiteral(":/iconos/calculo-lambda.png")));
  CreaComponentes();
  Coloca();
  MesaTrabajo = std::make_unique<TMesaTrabajo>(static_cast<IVista&>(*this));
  // Run-all brings the view up to date about as often as a screen can show it.
  MesaTrabajo->FijaIntervalo(1.0 / 60);
  CreaPasos();
  CreaEjercicios();
  ConectaOpciones();  // the panel's entry among them
  FormCreate();
}

TVentPpal::~TVentPpal() {
  Recuerda = false;  // the options going with the window are no change of the user's
  // Children die after this body and may still signal (the tabs, as they go): every handler
  // finds no workbench then and does nothing. The steps panel reads the workbench's record: it
  // goes first.
  delete Pasos1;  // with its toggle
  Pasos1 = nullptr;
  MostrarPasos1 = nullptr;
  auto Fin = std::move(MesaTrabajo);
}

// The dialogs are made when first needed: making them takes longer than the rest of the window.
QFileDialog* TVentPpal::OpenDialog1() {
  if (!OpenDialog1_) {
    OpenDialog1_ = new QFileDialog(this, QStringLiteral("Abrir definiciones"), QString(), Filtro);
    OpenDialog1_->setObjectName("OpenDialog1");
    OpenDialog1_->setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist is accepted; the open then fails and says so.
    OpenDialog1_->setFileMode(QFileDialog::AnyFile);
    EnUltimaCarpeta(OpenDialog1_);
  }
  return OpenDialog1_;
}

QFileDialog* TVentPpal::SaveDialog1() {
  if (!SaveDialog1_) {
    SaveDialog1_ = new QFileDialog(this, QStringLiteral("Salvar definiciones"), QString(), Filtro);
    SaveDialog1_->setObjectName("SaveDialog1");
    SaveDialog1_->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1_->setDefaultSuffix(QStringLiteral("TXT"));
    EnUltimaCarpeta(SaveDialog1_);
  }
  return SaveDialog1_;
}

QFileDialog* TVentPpal::DialogoDiagrama1() {
  if (!DialogoDiagrama1_) {
    const QString Svg = QStringLiteral("Imagen SVG (*.svg)");
    const QString Png = QStringLiteral("Imagen PNG (*.png)");
    DialogoDiagrama1_ = new QFileDialog(this, QStringLiteral("Exportar diagrama"));
    DialogoDiagrama1_->setObjectName("DialogoDiagrama1");
    DialogoDiagrama1_->setAcceptMode(QFileDialog::AcceptSave);
    DialogoDiagrama1_->setNameFilters({Svg, Png});
    DialogoDiagrama1_->selectNameFilter(Svg);
    // A name typed without extension takes that of the chosen filter; the extension decides.
    DialogoDiagrama1_->setDefaultSuffix(QStringLiteral("svg"));
    connect(DialogoDiagrama1_, &QFileDialog::filterSelected, DialogoDiagrama1_,
            [d = DialogoDiagrama1_, Png](const QString& f) {
              d->setDefaultSuffix(f == Png ? QStringLiteral("png") : QStringLiteral("svg"));
            });
    EnUltimaCarpeta(DialogoDiagrama1_);
  }
  return DialogoDiagrama1_;
}

QFileDialog* TVentPpal::DialogoReduccion1() {
  if (!DialogoReduccion1_) {
    DialogoReduccion1_ = new QFileDialog(this, QStringLiteral("Exportar reducción"), QString(),
                                         QStringLiteral("Ficheros de texto (*.txt)"));
    DialogoReduccion1_->setObjectName("DialogoReduccion1");
    DialogoReduccion1_->setAcceptMode(QFileDialog::AcceptSave);
    DialogoReduccion1_->setDefaultSuffix(QStringLiteral("txt"));
    EnUltimaCarpeta(DialogoReduccion1_);
  }
  return DialogoReduccion1_;
}

QDialog* TVentPpal::DialogoSintaxis() {
  if (!DialogoSintaxis_) DialogoSintaxis_ = CreaDialogoSintaxis(this);
  return DialogoSintaxis_;
}

QDialog* TVentPpal::DialogoAcercaDe() {
  if (!DialogoAcercaDe_) DialogoAcercaDe_ = CreaDialogoAcercaDe(this);
  return DialogoAcercaDe_;
}

QDialog* TVentPpal::DialogoManual() {
  if (!DialogoManual_) DialogoManual_ = CreaDialogoManual(this);
  return DialogoManual_;
}

TDialogoComparar* TVentPpal::DialogoComparar() {
  if (!DialogoComparar_) {
    DialogoComparar_ = new TDialogoComparar(this);
    DialogoComparar_->PuedeAvanzar = [this] {
      return MesaTrabajo && !MesaTrabajo->Cerrado() && !MesaTrabajo->Todo.Ritmo.Atendiendo();
    };
  }
  return DialogoComparar_;
}

// Building and laying out.

void TVentPpal::CreaComponentes() {
  setWindowTitle(QString::fromStdString(TituloVentana()));
  QFont FuenteVentana(QStringLiteral("DejaVu Sans"));
  FuenteVentana.setPixelSize(11);
  setFont(FuenteVentana);

  auto* Central = new QWidget(this);
  auto* Columna = new QVBoxLayout(Central);
  Columna->setContentsMargins(0, 0, 0, 0);
  Columna->setSpacing(0);
  setCentralWidget(Central);

  CreaFila(Central);
  CreaPaginas(Central);
  CreaBarraDeEstado();
  CreaMenus();
  ExplicaControles();
  CreaAyudas();
  Columna->addWidget(Panel2, 1);
  Columna->addWidget(Panel1);
  Conecta();
  CreaTeclas();
}

// Panel1: name ≡ expression, the spinner and the three buttons.
void TVentPpal::CreaFila(QWidget* Central) {
  Panel1 = new QFrame(Central);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(AltoPanel1);
  Panel1->installEventFilter(this);

  edtEnt = new TLineaUnica(Panel1);
  edtEnt->setObjectName("edtEnt");
  edtEnt->setFont(FuenteCaja());
  edtEnt->AlPulsarTecla = [this](char Key) { edtEntKeyPress(Key); };

  edtDef = new TLineaUnica(Panel1);
  edtDef->setObjectName("edtDef");
  edtDef->setFont(FuenteCaja());
  connect(edtDef, &QLineEdit::returnPressed, this, [this] { edtDefIntro(); });

  Label1 = new QLabel(QStringLiteral("≡"), Panel1);
  Label1->setObjectName("Label1");
  Label1->setFont(FuenteSigno(u'≡', SitioLabel.Ancho));
  Label1->setAlignment(Qt::AlignCenter);

  btnBeta = Boton(QStringLiteral("β"), "btnBeta", Panel1);

  UpDown1 = new TUpDown(Panel1);
  UpDown1->setObjectName("UpDown1");
  UpDown1->AlCambiar = [this](int Propuesta, TUpDownDirection d) {
    return UpDown1ChangingEx(Propuesta, d);
  };

  btnBetaAll = Boton(QStringLiteral("∀β"), "btnBetaAll", Panel1);
  btnBack = Boton(QStringLiteral("←"), "btnBack", Panel1);
  btnBack->setEnabled(false);
}

// Tooltips, and the same words for screen readers; the buttons' own captions are symbols. The
// boxes say in grey, while empty, what they are for, to a first-time user.
void TVentPpal::ExplicaControles() {
  for (const TConsejo& c : ConsejosControles()) {
    auto* w = findChild<QWidget*>(QString::fromLatin1(c.Control));
    if (!w) continue;
    w->setToolTip(QString::fromUtf8(c.Consejo));
    w->setAccessibleName(QString::fromUtf8(c.Nombre));
    if (auto* Caja = qobject_cast<QLineEdit*>(w))
      Caja->setPlaceholderText(QString::fromUtf8(c.Indicacion));
  }
}

// Panel2: the tabs at the bottom, "Texto" with Memo1 and "Gráficos" with Lienzo.
void TVentPpal::CreaPaginas(QWidget* Central) {
  Panel2 = new QFrame(Central);
  Panel2->setObjectName("Panel2");
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* Relleno = new QVBoxLayout(Panel2);
  Relleno->setContentsMargins(BordePanel, BordePanel, BordePanel, BordePanel);

  PageControl1 = new QTabWidget(Panel2);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setTabPosition(QTabWidget::South);
  Relleno->addWidget(PageControl1);
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName("TabSheet1");
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName("TabSheet2");
  PageControl1->addTab(TabSheet1, QStringLiteral("Texto"));
  PageControl1->addTab(TabSheet2, QStringLiteral("Gráficos"));

  Memo1 = new TMemo(TabSheet1);
  Memo1->setObjectName("Memo1");
  QFont FuenteTexto(QStringLiteral("Carlito"));
  FuenteTexto.setBold(true);
  FuenteTexto.setPointSize(TMesaTrabajo::FuenteInicial);
  Memo1->setFont(FuenteTexto);
  auto* Hoja1 = new QVBoxLayout(TabSheet1);
  Hoja1->setContentsMargins(0, 0, 0, 0);
  Hoja1->addWidget(Memo1);

  Lienzo = new TLienzo(TabSheet2);
  Lienzo->setObjectName("Lienzo");
  Lienzo->AlPintar = [this] { LienzoPaint(); };
  auto* Hoja2 = new QVBoxLayout(TabSheet2);
  Hoja2->setContentsMargins(0, 0, 0, 0);
  Hoja2->addWidget(Lienzo);
  // The diagram tab is active at start, and that is no change of tab.
  PageControl1->setCurrentIndex(1);
}

void TVentPpal::CreaBarraDeEstado() {
  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFixedHeight(AltoEstado);
  Estado = new QLabel(StatusBar1);
  Estado->setObjectName("StatusBar1Texto");
  // Messages quote what the user typed, which may look like markup ("<B>X").
  Estado->setTextFormat(Qt::PlainText);
  // A long message must not widen the window.
  Estado->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  StatusBar1->addWidget(Estado, 1);
}

void TVentPpal::CreaMenus() {
  MainMenu1 = menuBar();
  MainMenu1->setObjectName("MainMenu1");
  Ficheros1 = MainMenu1->addMenu(QStringLiteral("&Ficheros"));
  Ficheros1->setObjectName("Ficheros1");
  Abrir1 = Ficheros1->addAction(QStringLiteral("Abrir.."));
  Abrir1->setObjectName("Abrir1");
  Abrir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Salvar1 = Ficheros1->addAction(QStringLiteral("Salvar.."));
  Salvar1->setObjectName("Salvar1");
  Salvar1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  CreaMenuExportar();

  Pciones1 = MainMenu1->addMenu(QStringLiteral("&Opciones"));
  Pciones1->setObjectName("Pciones1");
  Betamltiple1 = Pciones1->addAction(QStringLiteral("&Beta múltiple"));
  Betamltiple1->setObjectName("Betamltiple1");
  Betamltiple1->setCheckable(true);
  Betamltiple1->setChecked(false);
  CreaMenuEstrategia();
  HaloDiagrama1 = Pciones1->addAction(QStringLiteral("&Resaltar el siguiente paso en el diagrama"));
  HaloDiagrama1->setObjectName("HaloDiagrama1");
  HaloDiagrama1->setCheckable(true);
  HaloDiagrama1->setChecked(false);
  ConservarNombres1 = Pciones1->addAction(QStringLiteral("Conservar los &nombres"));
  ConservarNombres1->setObjectName("ConservarNombres1");
  ConservarNombres1->setCheckable(true);
  NombresDefiniciones1 =
      Pciones1->addAction(QStringLiteral("Mostrar los nombres de las de&finiciones"));
  NombresDefiniciones1->setObjectName("NombresDefiniciones1");
  NombresDefiniciones1->setCheckable(true);
  Pciones1->addSeparator();
  CompararEstrategias1 = Pciones1->addAction(QStringLiteral("Com&parar estrategias…"));
  CompararEstrategias1->setObjectName("CompararEstrategias1");
  Centrar1 = Pciones1->addAction(QStringLiteral("&Centrar el diagrama"));
  Centrar1->setObjectName("Centrar1");
  Ajustar1 = Pciones1->addAction(QStringLiteral("&Ajustar el diagrama a la ventana"));
  Ajustar1->setObjectName("Ajustar1");
  connect(Ajustar1, &QAction::triggered, this, [this] {
    if (!MesaTrabajo) return;
    const double Antes = MesaTrabajo->Vistas.Zoom;
    MesaTrabajo->AjustarDiagrama1Click();
    // The spinner's position follows the steps taken, as after its arrows.
    const double Pasos = std::log(MesaTrabajo->Vistas.Zoom / Antes) / std::log(1.2);
    UpDown1->FijaPosicion(UpDown1->Posicion() + int(std::lround(Pasos)));
  });
}

// F5, F6 and F7 press β, ← and ∀β, in the buttons' order from left to right; none of them edits
// text. Ctrl+Tab and Ctrl+PgDn go to the next tab, Ctrl+Shift+Tab and Ctrl+PgUp to the previous
// one, round and round.
void TVentPpal::CreaTeclas() {
  auto Tecla = [this](const QList<QKeySequence>& Teclas, auto Accion) {
    auto* a = new QAction(this);
    a->setShortcuts(Teclas);
    addAction(a);
    connect(a, &QAction::triggered, this, Accion);
  };
  Tecla({Qt::Key_F5}, [this] { btnBeta->click(); });
  Tecla({Qt::Key_F6}, [this] { btnBack->click(); });
  Tecla({Qt::Key_F7}, [this] { btnBetaAll->click(); });
  Tecla({Qt::Key_F8}, [this] { SeleccionaRedex(true); });
  Tecla({QKeySequence(Qt::SHIFT | Qt::Key_F8)}, [this] { SeleccionaRedex(false); });
  Tecla({Qt::Key_F9}, [this] { ContraeSeleccionado(); });
  auto Pasa = [this](int Paso) {
    int n = PageControl1->count();
    PageControl1->setCurrentIndex((PageControl1->currentIndex() + Paso + n) % n);
  };
  Tecla({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        [Pasa] { Pasa(1); });
  Tecla({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
         QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        [Pasa] { Pasa(-1); });
  for (QPushButton* b : {btnBeta, btnBack, btnBetaAll}) b->installEventFilter(this);
}

// A push button outside a dialog takes only the space bar.
bool TVentPpal::PulsaConIntro(QObject* Objeto, QEvent* Evento) {
  if (Evento->type() != QEvent::KeyPress) return false;
  auto* Tecla = static_cast<QKeyEvent*>(Evento);
  bool Intro = Tecla->key() == Qt::Key_Return || Tecla->key() == Qt::Key_Enter;
  if (!Intro || (Tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  for (QPushButton* b : {btnBeta, btnBack, btnBetaAll})
    if (Objeto == b) {
      b->click();
      return true;
    }
  return false;
}

// "Estrategia", orden normal checked, and "Reducción η", off; the mnemonics keep clear of the
// menu's others (R is "Resaltar").
void TVentPpal::CreaMenuEstrategia() {
  Estrategia1 = Pciones1->addMenu(QStringLiteral("&Estrategia"));
  Estrategia1->setObjectName("Estrategia1");
  Estrategias1 = new QActionGroup(this);
  Estrategias1->setExclusive(true);
  for (TEstrategia e : Estrategias) {
    QAction* a = Estrategia1->addAction(QString::fromStdString(Cp1252AUtf8(NombreEstrategia(e))));
    a->setCheckable(true);
    a->setData(int(e));
    a->setChecked(e == TEstrategia::Normal);
    Estrategias1->addAction(a);
  }
  ReduccionEta1 = Pciones1->addAction(QStringLiteral("Red&ucción η"));
  ReduccionEta1->setObjectName("ReduccionEta1");
  ReduccionEta1->setCheckable(true);
  ReduccionEta1->setChecked(false);
}

void TVentPpal::CreaMenuExportar() {
  Ficheros1->addSeparator();
  ExportarDiagrama1 = Ficheros1->addAction(QStringLiteral("Exportar diagrama…"));
  ExportarDiagrama1->setObjectName("ExportarDiagrama1");
  ExportarReduccion1 = Ficheros1->addAction(QStringLiteral("Exportar reducción…"));
  ExportarReduccion1->setObjectName("ExportarReduccion1");
  connect(ExportarDiagrama1, &QAction::triggered, this, [this] { ExportarDiagrama1Click(); });
  connect(ExportarReduccion1, &QAction::triggered, this, [this] { ExportarReduccion1Click(); });
}

void TVentPpal::CreaAyudas() {
  Lectura1 = new QLabel(StatusBar1);
  Lectura1->setObjectName("StatusBar1Lectura");
  Lectura1->setTextFormat(Qt::PlainText);
  // A long list of names must leave room for the status text.
  Lectura1->setMaximumWidth(AnchoCliente / 2);
  StatusBar1->addPermanentWidget(Lectura1);

  // First in its menu: the keyboard opens the menu on this entry, and one step down reaches
  // "Beta múltiple".
  DetenerCiclo1 = new QAction(QStringLiteral("&Detener ∀β en un ciclo"), Pciones1);
  DetenerCiclo1->setObjectName("DetenerCiclo1");
  DetenerCiclo1->setCheckable(true);
  Pciones1->insertAction(Betamltiple1, DetenerCiclo1);

  Definiciones1 = MainMenu1->addMenu(QStringLiteral("&Definiciones"));
  Definiciones1->setObjectName("Definiciones1");
  // Taller than the screen, the list scrolls instead of opening more columns.
  Definiciones1->setStyleSheet(QStringLiteral("QMenu { menu-scrollable: 1; }"));
  ReconstruyeDefiniciones();

  Ayuda1 = MainMenu1->addMenu(QStringLiteral("&Ayuda"));
  Ayuda1->setObjectName("Ayuda1");
  Sintaxis1 = Ayuda1->addAction(QStringLiteral("&Sintaxis"));
  Sintaxis1->setObjectName("Sintaxis1");
  Sintaxis1->setShortcut(QKeySequence(Qt::Key_F1));
  AcercaDe1 = Ayuda1->addAction(QStringLiteral("&Acerca de ") + TituloPrograma);
  AcercaDe1->setObjectName("AcercaDe1");
  Manual1 = Ayuda1->addAction(QStringLiteral("&Manual"));
  Manual1->setObjectName("Manual1");
  // Not modal: the help may stay open beside the window, also while run-all goes on.
  auto Muestra = [this](QDialog* d) {
    CabeEnPantalla(d);
    d->show();
    d->raise();
    d->activateWindow();
  };
  connect(Sintaxis1, &QAction::triggered, this, [this, Muestra] { Muestra(DialogoSintaxis()); });
  connect(AcercaDe1, &QAction::triggered, this, [this, Muestra] { Muestra(DialogoAcercaDe()); });
  connect(Manual1, &QAction::triggered, this, [this, Muestra] { Muestra(DialogoManual()); });
}

void TVentPpal::Coloca() {
  // Menu bar and client area: the menu bar lies outside the client area, which keeps its full
  // AnchoCliente x AltoCliente.
  resize(AnchoCliente, MainMenu1->sizeHint().height() + AltoCliente);
  // Down to this width every control of the input row keeps its size and place.
  Panel1->setMinimumWidth(AnchoMinimoPanel1);
  for (QWidget* Hoja : {TabSheet1, TabSheet2}) Hoja->installEventFilter(this);
  ColocaFila();
  // At its standard place, as long as that keeps it on the screen; on a screen smaller than the
  // window (or one scaled up) it is made to fit, frame included.
  int x = Izquierda, y = Arriba;
  if (QScreen* Pantalla = screen()) {
    QRect Zona = Pantalla->availableGeometry();
    const QSize Marco = QSize(AnchoExterior, AltoExterior) - size();
    resize(size().boundedTo(Zona.size() - Marco));
    const int Ancho = width() + Marco.width(), Alto = height() + Marco.height();
    x = std::clamp(x, Zona.left(), std::max(Zona.left(), Zona.right() + 1 - Ancho));
    y = std::clamp(y, Zona.top(), std::max(Zona.top(), Zona.bottom() + 1 - Alto));
  }
  move(x, y);
}

void TVentPpal::ColocaFila() {
  // Anchors: the expression box stretches, the spinner and the buttons keep their distance
  // from the right edge.
  int Sobra = Panel1->width() - AnchoCliente;
  auto Pon = [](QWidget* w, TSitio s, int Desplaza, int Estira) {
    w->setGeometry(s.X + Desplaza, s.Y, std::max(0, s.Ancho + Estira), s.Alto);
  };
  Pon(edtDef, SitioDef, 0, 0);
  Pon(Label1, SitioLabel, 0, 0);
  Pon(edtEnt, SitioEnt, 0, Sobra);
  Pon(UpDown1, SitioUpDown, Sobra, 0);
  Pon(btnBeta, SitioBeta, Sobra, 0);
  Pon(btnBack, SitioBack, Sobra, 0);
  Pon(btnBetaAll, SitioBetaAll, Sobra, 0);
}

// Qt's tab frame is thinner than the room the layout leaves around a page: the page's own
// margins make up the difference, so that Lienzo gets the size the diagram's figures assume
// (1009 x 427 at start).
void TVentPpal::AjustaHoja(QWidget* Hoja) {
  QLayout* Relleno = Hoja->layout();
  if (!Relleno) return;
  QPoint Sitio = Hoja->mapTo(PageControl1, QPoint(0, 0));
  int Ancho = std::max(0, HolguraPaginaAncho - (PageControl1->width() - Hoja->width()));
  int Alto = std::max(0, HolguraPaginaAlto - (PageControl1->height() - Hoja->height()));
  int Izquierda = std::clamp(HolguraPaginaAncho / 2 - Sitio.x(), 0, Ancho);
  int Arriba = std::clamp(HolguraPaginaArriba - Sitio.y(), 0, Alto);
  Relleno->setContentsMargins(Izquierda, Arriba, Ancho - Izquierda, Alto - Arriba);
}

bool TVentPpal::eventFilter(QObject* Objeto, QEvent* Evento) {
  if (PulsaConIntro(Objeto, Evento)) return true;
  if (Evento->type() == QEvent::Resize) {
    if (Objeto == Panel1) ColocaFila();
    if (Objeto == TabSheet1 || Objeto == TabSheet2) AjustaHoja(static_cast<QWidget*>(Objeto));
  }
  return QMainWindow::eventFilter(Objeto, Evento);
}
