// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpal.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCompleter>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
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
#include "uPasos.h"
#include "uPrograma.h"
#include "uTextos.h"
#include "uUpDown.h"

namespace {

QString DeCp1252(const std::string& Texto) {
  return QString::fromStdString(Cp1252AUtf8(Texto));
}

std::string ACp1252(const QString& Texto) {
  return Utf8ACp1252(Texto.toStdString());
}

}  // namespace

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
  if (MesaTrabajo && MesaTrabajo->Eleccion.SeleccionEnTexto() >= 0) MuestraSeleccion(false);
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
    DialogoComparar()->Empieza(t, m.Sesion.Definiciones, Opciones_.Modo().Eta, SeparadorMillares());
    Empezada = true;
  });
  if (!Empezada) return;
  CabeEnPantalla(DialogoComparar());
  DialogoComparar()->show();
  DialogoComparar()->raise();
  DialogoComparar()->activateWindow();
}

void TVentPpal::AbreAlEmpezar(const QString& Ruta) {
  Orden([&](TMesaTrabajo& m) { m.AbreAlEmpezar(QFile::encodeName(Ruta).toStdString()); });
}

void TVentPpal::closeEvent(QCloseEvent* e) {
  // Changed definitions: the user may save them first, or stay.
  if (MesaTrabajo && !MesaTrabajo->FormCloseQuery()) return e->ignore();
  FormClose();
  if (DialogoComparar_) DialogoComparar_->hide();
  QMainWindow::closeEvent(e);
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
  connect(Memo1, &TMemo::Apunta, this, [this](qint64 Pos) { MemoApunta(Pos); });
  connect(Memo1, &TMemo::Pulsa, this, [this](qint64 Pos) { MemoPulsa(Pos); });
  connect(CompararEstrategias1, &QAction::triggered, this, [this] { CompararEstrategias1Click(); });
  connect(Centrar1, &QAction::triggered, this,
          [this] { Orden([](TMesaTrabajo& m) { m.LienzoDblClick(); }); });
  Lienzo->AlArrastrar = [this](QPoint d) {
    Orden([d](TMesaTrabajo& m) { m.LienzoArrastra(d.x(), d.y()); });
  };
  Lienzo->AlRodar = [this](bool Arriba, QPointF p) { LienzoMouseWheel(Arriba, p); };
  Lienzo->AlDobleClic = [this] { Orden([](TMesaTrabajo& m) { m.LienzoDblClick(); }); };
  Lienzo->AlApuntar = [this](QPointF p) { LienzoApunta(p); };
  Lienzo->AlPulsar = [this](QPointF p) { LienzoPulsa(p); };

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

// The view interface.

IVista::TEntrada TVentPpal::Entrada() {
  return {ACp1252(edtEnt->text()), ACp1252(edtDef->text())};
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
void TVentPpal::Habilita(TBoton Boton, bool Habilitado) {
  (Boton == TBoton::Back ? btnBack : btnBeta)->setEnabled(Habilitado);
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
bool TVentPpal::Dialogo(TDialogo Cual, std::string& Ruta) {
  switch (Cual) {
    case TDialogo::Abrir:
      return EligeFichero(OpenDialog1(), Ruta);
    case TDialogo::Salvar:
      return EligeFichero(SaveDialog1(), Ruta);
    case TDialogo::ExportarDiagrama:
      return EligeFichero(DialogoDiagrama1(), Ruta);
    case TDialogo::ExportarReduccion:
      return EligeFichero(DialogoReduccion1(), Ruta);
  }
  return false;
}
void TVentPpal::MuestraError(const std::string& Mensaje) {
  MuestraCajaError(this, DeCp1252(ConPuntoFinal(Mensaje)), Pintando > 0);
}
std::string TVentPpal::SeparadorMillares() {
  return SeparadorDelLocale();
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

void TVentPpal::FijaLectura(const std::string& Texto) {
  QString t = DeCp1252(Texto);
  Lectura1->setText(t);
  Lectura1->setToolTip(t);
}
void TVentPpal::DefinicionesCambiadas() {
  ReconstruyeDefiniciones();
}

// The next step shown, and where a failed entry is wrong.
void TVentPpal::FijaResalte(const std::vector<TRango>& Rangos) {
  Memo1->FijaResalte(Rangos);
}
void TVentPpal::PasosCambiados() {
  if (Pasos1) Pasos1->Actualiza();
}
void TVentPpal::SeleccionaEnt(std::size_t Desde, std::size_t Hasta) {
  // One Windows-1252 byte is one character of the box.
  int n = edtEnt->text().size();
  int a = static_cast<int>(std::min<std::size_t>(Desde, n));
  int z = static_cast<int>(std::min<std::size_t>(std::max(Desde, Hasta), n));
  edtEnt->setSelection(a, z - a);
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

// Below the views, hidden at start: the window is laid out as without it until it is shown.
void TVentPpal::CreaPasos() {
  Pasos1 = new TPanelPasos(MesaTrabajo->Historial.Traza, this);
  Pasos1->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
  Pasos1->setFont(font());
  addDockWidget(Qt::BottomDockWidgetArea, Pasos1);
  Pasos1->hide();
  MostrarPasos1 = Pasos1->toggleViewAction();
  MostrarPasos1->setText(QStringLiteral("&Mostrar los pasos"));
  MostrarPasos1->setObjectName("MostrarPasos1");
  Pciones1->insertAction(Centrar1, MostrarPasos1);
  Pasos1->AlElegir = [this](std::size_t i) { Orden([i](TMesaTrabajo& m) { m.IrALinea(i); }); };
}

// The redex under the pointer on "Texto": shown, and contracted by a click.
void TVentPpal::MemoApunta(qint64 Pos) {
  std::vector<TRango> Redex;
  bool Mano = true;
  Orden([&](TMesaTrabajo& m) {
    int64_t k = m.Eleccion.RedexEn(Pos);
    if (k < 0) {
      k = m.Eleccion.SeleccionEnTexto();
      Mano = false;
    }
    if (k >= 0) {
      const TRango* r = m.Eleccion.RangosRedex().data() + 3 * k;
      Redex.assign(r, r + 3);
    }
  });
  Memo1->FijaApuntado(std::move(Redex), Mano);
}
void TVentPpal::MemoPulsa(qint64 Pos) {
  Orden([&](TMesaTrabajo& m) {
    if (int64_t k = m.Eleccion.RedexEn(Pos); k >= 0) m.ContraeRedex(static_cast<std::size_t>(k));
  });
  MemoApunta(Pos);  // the new term's redex now under the pointer
}
void TVentPpal::LienzoApunta(QPointF Punto) {
  bool Mano = false;
  Orden([&](TMesaTrabajo& m) { Mano = m.LienzoApunta(Punto.x(), Punto.y()); });
  Lienzo->FijaMano(Mano);
}
void TVentPpal::LienzoPulsa(QPointF Punto) {
  Orden([&](TMesaTrabajo& m) { m.LienzoPulsa(Punto.x(), Punto.y()); });
}
void TVentPpal::SeleccionaRedex(bool Siguiente) {
  Orden([&](TMesaTrabajo& m) { m.SeleccionaRedex(Siguiente); });
  MuestraSeleccion(true);
}
void TVentPpal::ContraeSeleccionado() {
  Orden([&](TMesaTrabajo& m) { m.ContraeSeleccionado(); });
  MuestraSeleccion(true);
}
void TVentPpal::MuestraSeleccion(bool Ir) {
  std::vector<TRango> Redex;
  Orden([&](TMesaTrabajo& m) {
    if (int64_t k = m.Eleccion.SeleccionEnTexto(); k >= 0) {
      const TRango* r = m.Eleccion.RangosRedex().data() + 3 * k;
      Redex.assign(r, r + 3);
    }
  });
  if (Ir && !Redex.empty()) Memo1->MuestraPosicion(Redex[0].Desde);
  Memo1->FijaApuntado(std::move(Redex), false);
}

QString TVentPpal::NoAdmitido() const {
  for (const TLineaUnica* Caja : {edtDef, edtEnt}) {
    std::string NoCabe;
    Utf8ACp1252(Caja->text().toStdString(), &NoCabe);
    if (!NoCabe.empty()) return QString::fromStdString(NoCabe);
  }
  return {};
}

bool TVentPpal::EligeFichero(QFileDialog* Dialogo, std::string& Ruta) {
  std::optional<QString> Eleccion;
  CabeEnPantalla(Dialogo);
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
  CarpetaElegida(Dialogo, *Eleccion);
  Ruta = QFile::encodeName(*Eleccion).toStdString();
  return true;
}

void TVentPpal::ReconstruyeDefiniciones() {
  Definiciones1->clear();
  std::size_t n = MesaTrabajo ? MesaTrabajo->Sesion.Definiciones.Cuenta() : 0;
  if (n == 0) Definiciones1->addAction(QStringLiteral("Sin definiciones"))->setEnabled(false);
  for (std::size_t i = 0; i < n; ++i) {
    // A name may hold '&', which would mark an accelerator.
    QString Texto = DeCp1252(EntradaDefinicion(MesaTrabajo->Sesion.Definiciones[i]));
    QAction* a = Definiciones1->addAction(Texto.replace(u'&', QStringLiteral("&&")));
    connect(a, &QAction::triggered, this, [this, i] { InsertaDefinicion(i); });
  }
}

QAction* TVentPpal::Entrada(TOpcion o) const {
  switch (o) {
    case TOpcion::Multiple:
      return Betamltiple1;
    case TOpcion::Eta:
      return ReduccionEta1;
    case TOpcion::Halo:
      return HaloDiagrama1;
    case TOpcion::Ciclo:
      return DetenerCiclo1;
    case TOpcion::Pasos:
      return MostrarPasos1;
    case TOpcion::Nombres:
      return ConservarNombres1;
    case TOpcion::Pliegue:
      return NombresDefiniciones1;
  }
  return nullptr;
}

// A check mark changed, by a click or otherwise, goes to Opciones first; a click's command
// follows. "Mostrar los pasos" is the panel's own: its close button unchecks it as well, and the
// command goes with the check.
void TVentPpal::ConectaOpciones() {
  for (TOpcion o : OpcionesDelMenu) {
    QAction* a = Entrada(o);
    connect(a, &QAction::toggled, this, [this, o](bool Marcada) {
      Opciones_.Marca(o, Marcada);
      PintaOpciones();
    });
    const TOpciones::TOrdenMesa Sigue = TOpciones::Orden(o);
    if (!Sigue) continue;
    connect(a, o == TOpcion::Pasos ? &QAction::toggled : &QAction::triggered, this,
            [this, Sigue] { Orden([Sigue](TMesaTrabajo& m) { (m.*Sigue)(); }); });
  }
  connect(Estrategias1, &QActionGroup::triggered, this, [this](QAction* a) {
    Opciones_.Elige(TEstrategia(a->data().toInt()));
    PintaOpciones();
    Orden([](TMesaTrabajo& m) { m.OpcionesClick(); });
  });
}

void TVentPpal::PintaOpciones() {
  for (TOpcion o : OpcionesDelMenu) {
    QAction* a = Entrada(o);
    a->setChecked(Opciones_.Marcada(o));
    a->setEnabled(Opciones_.Habilitada(o));
  }
  for (QAction* a : Estrategias1->actions())
    a->setChecked(a->data().toInt() == int(Opciones_.Estrategia()));
}

void TVentPpal::InsertaDefinicion(std::size_t i) {
  if (!MesaTrabajo || i >= MesaTrabajo->Sesion.Definiciones.Cuenta()) return;
  edtEnt->insert(DeCp1252(MesaTrabajo->Sesion.Definiciones[i].Nombre));
  edtEnt->setFocus();
}
