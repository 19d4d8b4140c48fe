// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpal.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "uComparar.h"
#include "uCp1252.h"
#include "uLienzo.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uParser.h"
#include "uPasos.h"
#include "uPrograma.h"
#include "uTextos.h"
#include "uUpDown.h"

namespace {}  // namespace

// The window at start: its widgets and menus, then the workbench on them, then the docks that
// show the workbench's own record.
TVentPpal::TVentPpal(QWidget* Padre) : QMainWindow(Padre) {
  setObjectName("VentPpal");
  Montaje.Crea();
  Montaje.Coloca();
  MesaTrabajo = std::make_unique<TMesaTrabajo>(static_cast<IVista&>(Vista_));
  // Run-all brings the view up to date about as often as a screen can show it.
  MesaTrabajo->FijaIntervalo(1.0 / 60);
  Montaje.CreaDocks();
  Menus.ConectaOpciones();  // the steps panel's entry among them
  FormCreate();
}

TVentPpal::~TVentPpal() {
  Menus.Olvida();  // the options going with the window are no change of the user's
  // Children die after this body and may still signal (the tabs, as they go): every handler
  // finds no workbench then and does nothing. The steps panel reads the workbench's record: it
  // goes first.
  delete Pasos1;  // with its toggle
  Pasos1 = nullptr;
  MostrarPasos1 = nullptr;
  auto Fin = std::move(MesaTrabajo);
}

// Commands.

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
  if (MesaTrabajo && MesaTrabajo->Eleccion.SeleccionEnTexto() >= 0)
    Eleccion.MuestraSeleccion(false);
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

void TVentPpal::LienzoPaint() {
  struct TEnPintura {
    int& n;
    TEnPintura(int& c) : n(c) { ++n; }
    ~TEnPintura() { --n; }
  } EnPintura(Vista_.Pintando);
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

void TVentPpal::ExportarDiagrama1Click() {
  Orden([&](TMesaTrabajo& m) { m.ExportarDiagrama1Click(); });
}
void TVentPpal::ExportarReduccion1Click() {
  Orden([&](TMesaTrabajo& m) { m.ExportarReduccion1Click(); });
}

void TVentPpal::CompararEstrategias1Click() {
  if (!MesaTrabajo || MesaTrabajo->Cerrado()) return;
  // Copying the term now would cross the walk of the view update paused under this event.
  if (MesaTrabajo->Todo.Ritmo.Atendiendo()) {
    QTimer::singleShot(10, this, [this] { CompararEstrategias1Click(); });
    return;
  }
  TExprLambda* t = MesaTrabajo->Sesion.TerminoActual();
  if (!t) {
    Estado->setText(DeCp1252(Mensajes::NoHayActual));
    return;
  }
  bool Empezada = false;
  Orden([&](TMesaTrabajo& m) {
    Dialogos.DialogoComparar()->Empieza(t, m.Sesion.Definiciones, Menus.Opciones().Modo().Eta,
                                        Vista_.SeparadorMillares());
    Empezada = true;
  });
  if (!Empezada) return;
  Dialogos.Muestra(Dialogos.DialogoComparar());
}

void TVentPpal::AbreAlEmpezar(const QString& Ruta) {
  Orden([&](TMesaTrabajo& m) { m.AbreAlEmpezar(QFile::encodeName(Ruta).toStdString()); });
}

void TVentPpal::closeEvent(QCloseEvent* e) {
  // Changed definitions: the user may save them first, or stay.
  if (MesaTrabajo && !MesaTrabajo->FormCloseQuery()) return e->ignore();
  FormClose();
  Dialogos.Cierra();
  QMainWindow::closeEvent(e);
}

// Intro in the name box: the expression box is next. A text that no name can hold (a blank
// inside it, %, a parenthesis, a dot, a slash, a backslash or λ) is an expression typed in the
// wrong box, as a new user's first one is: with the expression box empty it moves there and is
// entered.
void TVentPpal::edtDefIntro() {
  edtEnt->setFocus(Qt::TabFocusReason);
  if (!EsExpresionEnNombre(Utf8ACp1252(edtDef->text().toStdString())) || !edtEnt->text().isEmpty())
    return;
  edtEnt->setText(edtDef->text());
  edtDef->clear();
  edtEntKeyPress('\r');
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
  connect(Memo1, &TMemo::Apunta, this, [this](qint64 Pos) { Eleccion.MemoApunta(Pos); });
  connect(Memo1, &TMemo::Pulsa, this, [this](qint64 Pos) { Eleccion.MemoPulsa(Pos); });
  connect(CompararEstrategias1, &QAction::triggered, this, [this] { CompararEstrategias1Click(); });
  connect(Centrar1, &QAction::triggered, this,
          [this] { Orden([](TMesaTrabajo& m) { m.LienzoDblClick(); }); });
  Lienzo->AlArrastrar = [this](QPoint d) {
    Orden([d](TMesaTrabajo& m) { m.LienzoArrastra(d.x(), d.y()); });
  };
  Lienzo->AlRodar = [this](bool Arriba, QPointF p) { LienzoMouseWheel(Arriba, p); };
  Lienzo->AlDobleClic = [this] { Orden([](TMesaTrabajo& m) { m.LienzoDblClick(); }); };
  Lienzo->AlApuntar = [this](QPointF p) { Eleccion.LienzoApunta(p); };
  Lienzo->AlPulsar = [this](QPointF p) { Eleccion.LienzoPulsa(p); };

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

// Helpers.

QString TVentPpal::TextoEstado() const {
  return Estado->text();
}

QImage TVentPpal::ImagenLienzo() {
  if (!MesaTrabajo || !MesaTrabajo->Vistas.Bitmap.Pixeles()) return {};
  TBitmap& b = MesaTrabajo->Vistas.Bitmap;
  return QImage(b.Pixeles(), b.Width(), b.Height(), b.Stride(), QImage::Format_ARGB32);
}

QString TVentPpal::NoAdmitido() const {
  for (const TLineaUnica* Caja : {edtDef, edtEnt}) {
    std::string NoCabe;
    Utf8ACp1252(Caja->text().toStdString(), &NoCabe);
    if (!NoCabe.empty()) return QString::fromStdString(NoCabe);
  }
  return {};
}
