// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpal.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QCompleter>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "uAyudas.h"
#include "uCp1252.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uPrograma.h"
#include "uTextos.h"
#include "uUpDown.h"

namespace {

const QString Curso = QStringLiteral("Lógica y computabilidad");
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
// The room that the tab control the window was drawn for leaves around a page: 4 pixels on
// either side, 28 in all across (its frame, and the row of tabs below the page), 4 above it.
constexpr int HolguraPaginaAncho = 8, HolguraPaginaAlto = 28, HolguraPaginaArriba = 4;
// The window's outer size at start, for keeping it on a small screen.
constexpr int AnchoExterior = 1045, AltoExterior = 591;
constexpr int Izquierda = 395, Arriba = 234;

QString DeCp1252(const std::string& Texto) {
  return QString::fromStdString(Cp1252AUtf8(Texto));
}

std::string ACp1252(const QString& Texto) {
  return Utf8ACp1252(Texto.toStdString());
}

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
  FormCreate();
}

TVentPpal::~TVentPpal() {
  // Children die after this body and may still signal (the tabs, as they go): every handler
  // finds no workbench then and does nothing.
  auto Fin = std::move(MesaTrabajo);
}

void TVentPpal::CreaComponentes() {
  setWindowTitle(TituloPrograma + " - " + Curso);
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

// Tooltips, and the same words for screen readers; the buttons' own captions are symbols.
void TVentPpal::ExplicaControles() {
  auto Explica = [](QWidget* w, const QString& Consejo, const QString& Nombre) {
    w->setToolTip(Consejo);
    w->setAccessibleName(Nombre);
  };
  Explica(edtEnt,
          QStringLiteral("Expresión: escriba un término y pulse Intro (% es el término actual)"),
          QStringLiteral("Expresión"));
  Explica(edtDef,
          QStringLiteral("Nombre: si no está vacío, Intro guarda la expresión con este nombre"),
          QStringLiteral("Nombre"));
  Explica(btnBeta, QStringLiteral("Reducir un paso"), QStringLiteral("Reducir un paso"));
  Explica(btnBetaAll, QStringLiteral("Reducir hasta la forma normal (pulsar otra vez para parar)"),
          QStringLiteral("Reducir hasta la forma normal"));
  Explica(btnBack, QStringLiteral("Volver al término anterior"),
          QStringLiteral("Volver al término anterior"));
  Explica(UpDown1, QStringLiteral("Agrandar o achicar: la letra en Texto, el diagrama en Gráficos"),
          QStringLiteral("Tamaño"));
  Explica(Memo1, QStringLiteral("El término actual, escrito"),
          QStringLiteral("Término como texto"));
  Explica(Lienzo, QStringLiteral("El término actual, dibujado"),
          QStringLiteral("Término como diagrama"));
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
  Betamltiple1 = Pciones1->addAction(QStringLiteral("Beta múltiple"));
  Betamltiple1->setObjectName("Betamltiple1");
  Betamltiple1->setCheckable(true);
  Betamltiple1->setChecked(false);
  HaloDiagrama1 = Pciones1->addAction(QStringLiteral("&Resaltar el siguiente paso en el diagrama"));
  HaloDiagrama1->setObjectName("HaloDiagrama1");
  HaloDiagrama1->setCheckable(true);
  HaloDiagrama1->setChecked(false);
  Pciones1->addSeparator();
  Centrar1 = Pciones1->addAction(QStringLiteral("&Centrar el diagrama"));
  Centrar1->setObjectName("Centrar1");
}

// Every event that does something runs the handler of the same name; then the tab order.
void TVentPpal::Conecta() {
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
  connect(btnBeta, &QPushButton::clicked, this, [this] { btnBetaClick(); });
  connect(btnBack, &QPushButton::clicked, this, [this] { btnBackClick(); });
  connect(btnBetaAll, &QPushButton::clicked, this, [this] { btnBetaAllClick(); });
  connect(Abrir1, &QAction::triggered, this, [this] { Abrir1Click(); });
  connect(Salvar1, &QAction::triggered, this, [this] { Salvar1Click(); });
  connect(Memo1, &TMemo::Aviso, Estado, &QLabel::setText);  // a copy refused
  // The next step shown follows the options; the drawing moves with the mouse.
  for (QAction* Opcion : {Betamltiple1, HaloDiagrama1})
    connect(Opcion, &QAction::triggered, this,
            [this] { Orden([](TMesaTrabajo& m) { m.OpcionesClick(); }); });
  connect(Centrar1, &QAction::triggered, this,
          [this] { Orden([](TMesaTrabajo& m) { m.LienzoDblClick(); }); });
  Lienzo->AlArrastrar = [this](QPoint d) {
    Orden([d](TMesaTrabajo& m) { m.LienzoArrastra(d.x(), d.y()); });
  };
  Lienzo->AlRodar = [this](bool Arriba, QPointF p) { LienzoMouseWheel(Arriba, p); };
  Lienzo->AlDobleClic = [this] { Orden([](TMesaTrabajo& m) { m.LienzoDblClick(); }); };

  // Read from left to right: name ≡ expression, then the spinner and the buttons.
  setTabOrder(edtDef, edtEnt);
  setTabOrder(edtEnt, btnBeta);
  setTabOrder(btnBeta, UpDown1);
  setTabOrder(UpDown1, btnBetaAll);
  setTabOrder(btnBetaAll, btnBack);
  setTabOrder(btnBack, PageControl1);
  setTabOrder(PageControl1, Memo1);
  edtDef->setFocus();
}

void TVentPpal::Coloca() {
  // Menu bar and client area: the menu bar is outside the client area, as on the desktop the
  // workbench was drawn for.
  resize(AnchoCliente, MainMenu1->sizeHint().height() + AltoCliente);
  // Down to this width every control of the input row keeps its size and place.
  Panel1->setMinimumWidth(AnchoMinimoPanel1);
  for (QWidget* Hoja : {TabSheet1, TabSheet2}) Hoja->installEventFilter(this);
  ColocaFila();
  // Where it was drawn, as long as that keeps it on the screen.
  int x = Izquierda, y = Arriba;
  if (QScreen* Pantalla = screen()) {
    QRect Zona = Pantalla->availableGeometry();
    x = std::clamp(x, Zona.left(), std::max(Zona.left(), Zona.right() + 1 - AnchoExterior));
    y = std::clamp(y, Zona.top(), std::max(Zona.top(), Zona.bottom() + 1 - AltoExterior));
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

// Qt's tab frame is thinner than that of the toolkit the window was drawn for: the page's own
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
  if (Evento->type() == QEvent::Resize) {
    if (Objeto == Panel1) ColocaFila();
    if (Objeto == TabSheet1 || Objeto == TabSheet2) AjustaHoja(static_cast<QWidget*>(Objeto));
  }
  return QMainWindow::eventFilter(Objeto, Evento);
}

void TVentPpal::closeEvent(QCloseEvent* e) {
  // Changed definitions: the user may save them first, or stay.
  if (MesaTrabajo && !MesaTrabajo->FormCloseQuery()) return e->ignore();
  FormClose();
  QMainWindow::closeEvent(e);
}

template <typename F>
void TVentPpal::Orden(F&& Accion) {
  if (!MesaTrabajo) return;
  try {
    Accion(*MesaTrabajo);
  } catch (const std::exception& e) {
    // The commands catch their own; this is for what the window adds around them.
    MuestraError(MensajeExcepcion(e, SeparadorMillares()));
  }
}

void TVentPpal::edtEntKeyPress(char Key) {
  // A character that Windows-1252 cannot hold would reach the workbench as '?': the Enter is
  // refused before that, and nothing is entered or stored.
  if (Key == '\r' && MesaTrabajo && !MesaTrabajo->Cerrado()) {
    QString Signo = NoAdmitido();
    if (!Signo.isEmpty()) {
      Estado->setText(DeCp1252(Mensajes::CaracterNoAdmitido) + Signo);
      return;
    }
  }
  Orden([&](TMesaTrabajo& m) { m.edtEntKeyPress(Key); });
}
void TVentPpal::FormCreate() {
  Orden([&](TMesaTrabajo& m) { m.FormCreate(); });
}
bool TVentPpal::UpDown1ChangingEx(int, TUpDownDirection Direction) {
  bool Permitido = true;
  Orden([&](TMesaTrabajo& m) { Permitido = m.UpDown1ChangingEx(Direction); });
  return Permitido;
}
void TVentPpal::btnBetaClick() {
  Orden([&](TMesaTrabajo& m) { m.btnBetaClick(); });
}
void TVentPpal::Abrir1Click() {
  Orden([&](TMesaTrabajo& m) { m.Abrir1Click(); });
}
void TVentPpal::Salvar1Click() {
  Orden([&](TMesaTrabajo& m) { m.Salvar1Click(); });
}
void TVentPpal::btnBetaAllClick() {
  Orden([&](TMesaTrabajo& m) { m.btnBetaAllClick(); });
}
void TVentPpal::btnBackClick() {
  Orden([&](TMesaTrabajo& m) { m.btnBackClick(); });
}
void TVentPpal::PageControl1Change() {
  Orden([&](TMesaTrabajo& m) { m.PageControl1Change(); });
}
void TVentPpal::FormClose() {
  Orden([&](TMesaTrabajo& m) { m.FormClose(); });
}
void TVentPpal::LienzoMouseWheel(bool Arriba, QPointF Punto) {
  // A zoom step of the spinner's: its position follows, within its range.
  UpDown1->FijaPosicion(
      std::clamp(UpDown1->Posicion() + (Arriba ? 1 : -1), UpDown1->Minimo(), UpDown1->Maximo()));
  Orden(
      [&](TMesaTrabajo& m) { m.LienzoMouseWheel(Arriba ? updUp : updDown, Punto.x(), Punto.y()); });
}

TLienzo::TLienzo(QWidget* Padre) : QWidget(Padre) {
  setCursor(Qt::OpenHandCursor);
}
void TLienzo::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  Arrastrando = true;
  Ultimo = e->position().toPoint();
  setCursor(Qt::ClosedHandCursor);
}
void TLienzo::mouseMoveEvent(QMouseEvent* e) {
  if (!Arrastrando) return;
  QPoint p = e->position().toPoint();
  QPoint d = p - Ultimo;
  Ultimo = p;
  if (!d.isNull() && AlArrastrar) AlArrastrar(d);
}
void TLienzo::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  Arrastrando = false;
  setCursor(Qt::OpenHandCursor);
}
void TLienzo::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(e);
  if (AlDobleClic) AlDobleClic();
}
void TLienzo::wheelEvent(QWheelEvent* e) {
  if (!(e->modifiers() & Qt::ControlModifier)) return QWidget::wheelEvent(e);
  e->accept();
  // 120 eighths of a degree make a notch; a fine wheel or a touchpad sends less at a time.
  Giro += e->angleDelta().y();
  for (; Giro >= 120; Giro -= 120)
    if (AlRodar) AlRodar(true, e->position());
  for (; Giro <= -120; Giro += 120)
    if (AlRodar) AlRodar(false, e->position());
}

void TVentPpal::LienzoPaint() {
  struct TEnPintura {
    int& n;
    TEnPintura(int& c) : n(c) { ++n; }
    ~TEnPintura() { --n; }
  } EnPintura(Pintando);
  // On a scaled desktop the bitmap is drawn at device pixels, and shown as it is.
  const double Escala = Lienzo->devicePixelRatioF();
  const int Ancho = int(std::ceil(Lienzo->width() * Escala));
  const int Alto = int(std::ceil(Lienzo->height() * Escala));
  Orden([&](TMesaTrabajo& m) {
    m.FijaEscala(Escala);
    m.LienzoPaint(Ancho, Alto);
  });
  QPainter Lienzo1(Lienzo);
  QImage Imagen = ImagenLienzo();
  // A size the bitmap could not take leaves the rest of the canvas in the diagram's background.
  if (Imagen.width() < Ancho || Imagen.height() < Alto)
    Lienzo1.fillRect(Lienzo->rect(), QColor(ColorFondo.R, ColorFondo.G, ColorFondo.B));
  Imagen.setDevicePixelRatio(Escala);
  if (!Imagen.isNull()) Lienzo1.drawImage(0, 0, Imagen);
}

QImage TVentPpal::ImagenLienzo() {
  if (!MesaTrabajo || !MesaTrabajo->Bitmap.Pixeles()) return {};
  TBitmap& b = MesaTrabajo->Bitmap;
  return QImage(b.Pixeles(), b.Width(), b.Height(), b.Stride(), QImage::Format_ARGB32);
}

QString TVentPpal::TextoEstado() const {
  return Estado->text();
}

// The dialogs are made when first needed: making them takes longer than the rest of the window.
QFileDialog* TVentPpal::OpenDialog1() {
  if (!DialogoAbrir1) {
    DialogoAbrir1 = new QFileDialog(this, QStringLiteral("Abrir definiciones"), QString(), Filtro);
    DialogoAbrir1->setObjectName("OpenDialog1");
    DialogoAbrir1->setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist is accepted; the open then fails and says so.
    DialogoAbrir1->setFileMode(QFileDialog::AnyFile);
  }
  return DialogoAbrir1;
}

QFileDialog* TVentPpal::SaveDialog1() {
  if (!DialogoSalvar1) {
    DialogoSalvar1 =
        new QFileDialog(this, QStringLiteral("Salvar definiciones"), QString(), Filtro);
    DialogoSalvar1->setObjectName("SaveDialog1");
    DialogoSalvar1->setAcceptMode(QFileDialog::AcceptSave);
    DialogoSalvar1->setDefaultSuffix(QStringLiteral("TXT"));
  }
  return DialogoSalvar1;
}

bool TVentPpal::EligeFichero(QFileDialog* Dialogo, std::string& Ruta) {
  std::optional<QString> Eleccion;
  if (RespuestaDialogo) {
    Eleccion = RespuestaDialogo(*Dialogo);
  } else {
    // Qt's own dialog offers the name chosen last time: selected, a name typed replaces it
    // instead of going on after it.
    auto* Nombre = Dialogo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (Nombre) Nombre->selectAll();
    if (Dialogo->exec() == QDialog::Accepted && !Dialogo->selectedFiles().isEmpty())
      Eleccion = Dialogo->selectedFiles().first();
    // The names it suggested while typing go with it; Qt leaves their list on the screen.
    if (Nombre && Nombre->completer()) Nombre->completer()->popup()->hide();
  }
  if (!Eleccion || Eleccion->isEmpty()) return false;
  Ruta = QFile::encodeName(*Eleccion).toStdString();
  return true;
}

IVista::TRespuesta TVentPpal::PreguntaGuardar(const std::string& Pregunta) {
  QMessageBox Caja(QMessageBox::Warning, TituloPrograma, DeCp1252(Pregunta),
                   QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  Caja.setObjectName("PreguntaGuardar");
  Caja.setTextFormat(Qt::PlainText);
  Caja.button(QMessageBox::Save)->setText(QStringLiteral("&Guardar"));
  Caja.button(QMessageBox::Discard)->setText(QStringLiteral("&Descartar"));
  Caja.button(QMessageBox::Cancel)->setText(QStringLiteral("&Cancelar"));
  Caja.setDefaultButton(QMessageBox::Save);
  Caja.setEscapeButton(QMessageBox::Cancel);
  int Boton = RespuestaPregunta ? RespuestaPregunta(Caja) : Caja.exec();
  if (Boton == QMessageBox::Save) return TRespuesta::Guardar;
  if (Boton == QMessageBox::Discard) return TRespuesta::Descartar;
  return TRespuesta::Cancelar;
}

void TVentPpal::Cierra() {
  close();
}

// IVista.

QString TVentPpal::NoAdmitido() const {
  for (const TLineaUnica* Caja : {edtDef, edtEnt}) {
    std::string NoCabe;
    Utf8ACp1252(Caja->text().toStdString(), &NoCabe);
    if (!NoCabe.empty()) return QString::fromStdString(NoCabe);
  }
  return {};
}

std::string TVentPpal::TextoEnt() {
  return ACp1252(edtEnt->text());
}
std::string TVentPpal::TextoDef() {
  return ACp1252(edtDef->text());
}
void TVentPpal::VaciaDef() {
  edtDef->clear();
}
void TVentPpal::FijaEstado(const std::string& Texto) {
  Estado->setText(DeCp1252(Texto));
}
void TVentPpal::FijaMemo(TTextoCompartido Texto) {
  Memo1->FijaTexto(std::move(Texto));
}
int TVentPpal::TamanoFuenteMemo() {
  return FuenteMemo;
}
void TVentPpal::FijaTamanoFuenteMemo(int Puntos) {
  // The count goes on as the workbench says; Qt only ever sees a size it can draw.
  FuenteMemo = Puntos;
  QFont f = Memo1->font();
  f.setPointSize(std::clamp(Puntos, 1, 1000));
  Memo1->setFont(f);
}
void TVentPpal::HabilitaBack(bool Habilitado) {
  btnBack->setEnabled(Habilitado);
}
void TVentPpal::HabilitaBeta(bool Habilitado) {
  btnBeta->setEnabled(Habilitado);
}
bool TVentPpal::BetaMultiple() {
  return Betamltiple1->isChecked();
}
int TVentPpal::PestanaActiva() {
  return PageControl1->currentIndex();
}
void TVentPpal::RefrescaLienzo() {
  Lienzo->repaint();
}
void TVentPpal::ProcesaEventos() {
  QCoreApplication::processEvents();
}
bool TVentPpal::DialogoAbrir(std::string& Ruta) {
  return EligeFichero(OpenDialog1(), Ruta);
}
bool TVentPpal::DialogoSalvar(std::string& Ruta) {
  return EligeFichero(SaveDialog1(), Ruta);
}
void TVentPpal::MuestraError(const std::string& Mensaje) {
  MuestraCajaError(this, DeCp1252(ConPuntoFinal(Mensaje)), Pintando > 0);
}
std::string TVentPpal::SeparadorMillares() {
  return SeparadorDelLocale();
}

// Exports.

void TVentPpal::CreaMenuExportar() {
  Ficheros1->addSeparator();
  ExportarDiagrama1 = Ficheros1->addAction(QStringLiteral("Exportar diagrama…"));
  ExportarDiagrama1->setObjectName("ExportarDiagrama1");
  ExportarReduccion1 = Ficheros1->addAction(QStringLiteral("Exportar reducción…"));
  ExportarReduccion1->setObjectName("ExportarReduccion1");
  connect(ExportarDiagrama1, &QAction::triggered, this, [this] { ExportarDiagrama1Click(); });
  connect(ExportarReduccion1, &QAction::triggered, this, [this] { ExportarReduccion1Click(); });
}

void TVentPpal::ExportarDiagrama1Click() {
  Orden([&](TMesaTrabajo& m) { m.ExportarDiagrama1Click(); });
}
void TVentPpal::ExportarReduccion1Click() {
  Orden([&](TMesaTrabajo& m) { m.ExportarReduccion1Click(); });
}

void TVentPpal::AbreAlEmpezar(const QString& Ruta) {
  Orden([&](TMesaTrabajo& m) { m.AbreAlEmpezar(QFile::encodeName(Ruta).toStdString()); });
}

QFileDialog* TVentPpal::DialogoDiagrama1() {
  if (!DialogoDiagrama) {
    const QString Svg = QStringLiteral("Imagen SVG (*.svg)");
    const QString Png = QStringLiteral("Imagen PNG (*.png)");
    DialogoDiagrama = new QFileDialog(this, QStringLiteral("Exportar diagrama"));
    DialogoDiagrama->setObjectName("DialogoDiagrama1");
    DialogoDiagrama->setAcceptMode(QFileDialog::AcceptSave);
    DialogoDiagrama->setNameFilters({Svg, Png});
    DialogoDiagrama->selectNameFilter(Svg);
    // A name typed without extension takes that of the chosen filter; the extension decides.
    DialogoDiagrama->setDefaultSuffix(QStringLiteral("svg"));
    connect(DialogoDiagrama, &QFileDialog::filterSelected, DialogoDiagrama,
            [d = DialogoDiagrama, Png](const QString& f) {
              d->setDefaultSuffix(f == Png ? QStringLiteral("png") : QStringLiteral("svg"));
            });
  }
  return DialogoDiagrama;
}

QFileDialog* TVentPpal::DialogoReduccion1() {
  if (!DialogoReduccion) {
    DialogoReduccion = new QFileDialog(this, QStringLiteral("Exportar reducción"), QString(),
                                       QStringLiteral("Ficheros de texto (*.txt)"));
    DialogoReduccion->setObjectName("DialogoReduccion1");
    DialogoReduccion->setAcceptMode(QFileDialog::AcceptSave);
    DialogoReduccion->setDefaultSuffix(QStringLiteral("txt"));
  }
  return DialogoReduccion;
}

bool TVentPpal::DialogoExportarDiagrama(std::string& Ruta) {
  return EligeFichero(DialogoDiagrama1(), Ruta);
}
bool TVentPpal::DialogoExportarReduccion(std::string& Ruta) {
  return EligeFichero(DialogoReduccion1(), Ruta);
}

// Teaching aids.

void TVentPpal::CreaAyudas() {
  Lectura1 = new QLabel(StatusBar1);
  Lectura1->setObjectName("StatusBar1Lectura");
  Lectura1->setTextFormat(Qt::PlainText);
  // A long list of names must leave room for the status text.
  Lectura1->setMaximumWidth(AnchoCliente / 2);
  StatusBar1->addPermanentWidget(Lectura1);

  // First in its menu: the keyboard opens it on its first entry, and one step down reaches
  // "Beta múltiple", as it always has.
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
  auto Muestra = [](QDialog* d) {
    d->show();
    d->raise();
    d->activateWindow();
  };
  connect(Sintaxis1, &QAction::triggered, this, [this, Muestra] { Muestra(DialogoSintaxis()); });
  connect(AcercaDe1, &QAction::triggered, this, [this, Muestra] { Muestra(DialogoAcercaDe()); });
  connect(Manual1, &QAction::triggered, this, [this, Muestra] { Muestra(DialogoManual()); });
}

QDialog* TVentPpal::DialogoSintaxis() {
  if (!DialogoSintaxis1) DialogoSintaxis1 = CreaDialogoSintaxis(this);
  return DialogoSintaxis1;
}

QDialog* TVentPpal::DialogoManual() {
  if (!DialogoManual1) DialogoManual1 = CreaDialogoManual(this);
  return DialogoManual1;
}

QDialog* TVentPpal::DialogoAcercaDe() {
  if (!DialogoAcercaDe1) DialogoAcercaDe1 = CreaDialogoAcercaDe(this);
  return DialogoAcercaDe1;
}

void TVentPpal::ReconstruyeDefiniciones() {
  Definiciones1->clear();
  std::size_t n = MesaTrabajo ? MesaTrabajo->Definiciones.Cuenta() : 0;
  if (n == 0) Definiciones1->addAction(QStringLiteral("Sin definiciones"))->setEnabled(false);
  for (std::size_t i = 0; i < n; ++i) {
    // A name may hold '&', which would mark an accelerator.
    QString Texto = DeCp1252(EntradaDefinicion(MesaTrabajo->Definiciones[i]));
    QAction* a = Definiciones1->addAction(Texto.replace(u'&', QStringLiteral("&&")));
    connect(a, &QAction::triggered, this, [this, i] { InsertaDefinicion(i); });
  }
}

void TVentPpal::InsertaDefinicion(std::size_t i) {
  if (!MesaTrabajo || i >= MesaTrabajo->Definiciones.Cuenta()) return;
  edtEnt->insert(DeCp1252(MesaTrabajo->Definiciones[i].Nombre));
  edtEnt->setFocus();
}

void TVentPpal::FijaLectura(const std::string& Texto) {
  QString t = DeCp1252(Texto);
  Lectura1->setText(t);
  Lectura1->setToolTip(t);
}
bool TVentPpal::DetenerEnCiclo() {
  return DetenerCiclo1->isChecked();
}
void TVentPpal::DefinicionesCambiadas() {
  ReconstruyeDefiniciones();
}

// The next step shown, and where a failed entry is wrong.
void TVentPpal::FijaResalte(const std::vector<TRango>& Rangos) {
  Memo1->FijaResalte(Rangos);
}
bool TVentPpal::HaloDiagrama() {
  return HaloDiagrama1->isChecked();
}
void TVentPpal::SeleccionaEnt(std::size_t Desde, std::size_t Hasta) {
  // One Windows-1252 byte is one character of the box.
  int n = edtEnt->text().size();
  int a = static_cast<int>(std::min<std::size_t>(Desde, n));
  int z = static_cast<int>(std::min<std::size_t>(std::max(Desde, Hasta), n));
  edtEnt->setSelection(a, z - a);
}
