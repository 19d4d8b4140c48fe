// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpalMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <cmath>
#include <utility>
#include <vector>

#include "uAyuda.h"
#include "uCp1252.h"
#include "uEstrategia.h"
#include "uLector.h"
#include "uLineaUnica.h"
#include "uPrograma.h"
#include "uUpDown.h"
#include "uVentPpal.h"

namespace {

// Where the options are kept: ~/.config/calculo-lambda/lambda.conf on Linux.
QSettings Ajustes() {
  return QSettings(QStringLiteral("calculo-lambda"), QStringLiteral("lambda"));
}

const QString ClaveDeEstrategia = QStringLiteral("Opciones/Estrategia");
const QString ClaveCarpeta = QStringLiteral("Ficheros/UltimaCarpeta");

// Checkable options kept between sessions, by their keys.
std::vector<std::pair<QString, QAction*>> OpcionesRecordadas(TVentPpal& v) {
  return {{QStringLiteral("Opciones/ReduccionEta"), v.ReduccionEta1},
          {QStringLiteral("Opciones/ConservarNombres"), v.ConservarNombres1},
          {QStringLiteral("Opciones/NombresDefiniciones"), v.NombresDefiniciones1},
          {QStringLiteral("Opciones/MostrarPasos"), v.MostrarPasos1},
          {QStringLiteral("Opciones/ResaltarDiagrama"), v.HaloDiagrama1},
          {QStringLiteral("Opciones/DetenerCiclo"), v.DetenerCiclo1}};
}

QAction* Casilla(QMenu* Menu, const QString& Texto, const char* Nombre) {
  QAction* a = Menu->addAction(Texto);
  a->setObjectName(Nombre);
  a->setCheckable(true);
  a->setChecked(false);
  return a;
}

}  // namespace

void TMenusVentana::Crea() {
  V.MainMenu1 = V.menuBar();
  V.MainMenu1->setObjectName("MainMenu1");
  V.Ficheros1 = V.MainMenu1->addMenu(QStringLiteral("&Ficheros"));
  V.Ficheros1->setObjectName("Ficheros1");
  V.Abrir1 = V.Ficheros1->addAction(QStringLiteral("Abrir.."));
  V.Abrir1->setObjectName("Abrir1");
  V.Abrir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  V.Salvar1 = V.Ficheros1->addAction(QStringLiteral("Salvar.."));
  V.Salvar1->setObjectName("Salvar1");
  V.Salvar1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  CreaMenuExportar();

  QMenu* o = V.Pciones1 = V.MainMenu1->addMenu(QStringLiteral("&Opciones"));
  o->setObjectName("Pciones1");
  V.Betamltiple1 = Casilla(o, QStringLiteral("&Beta múltiple"), "Betamltiple1");
  CreaMenuEstrategia();
  V.HaloDiagrama1 =
      Casilla(o, QStringLiteral("&Resaltar el siguiente paso en el diagrama"), "HaloDiagrama1");
  V.ConservarNombres1 = Casilla(o, QStringLiteral("Conservar los &nombres"), "ConservarNombres1");
  V.NombresDefiniciones1 = Casilla(o, QStringLiteral("Mostrar los nombres de las de&finiciones"),
                                   "NombresDefiniciones1");
  o->addSeparator();
  V.CompararEstrategias1 = o->addAction(QStringLiteral("Com&parar estrategias…"));
  V.CompararEstrategias1->setObjectName("CompararEstrategias1");
  V.Centrar1 = o->addAction(QStringLiteral("&Centrar el diagrama"));
  V.Centrar1->setObjectName("Centrar1");
  V.Ajustar1 = o->addAction(QStringLiteral("&Ajustar el diagrama a la ventana"));
  V.Ajustar1->setObjectName("Ajustar1");
  QObject::connect(V.Ajustar1, &QAction::triggered, &V, [this] {
    if (!V.MesaTrabajo) return;
    const double Antes = V.MesaTrabajo->Vistas.Zoom;
    V.MesaTrabajo->AjustarDiagrama1Click();
    // The spinner's position follows the steps taken, as after its arrows.
    const double Pasos = std::log(V.MesaTrabajo->Vistas.Zoom / Antes) / std::log(1.2);
    V.UpDown1->FijaPosicion(V.UpDown1->Posicion() + int(std::lround(Pasos)));
  });
}

// "Estrategia", orden normal checked, and "Reducción η", off; the mnemonics keep clear of the
// menu's others (R is "Resaltar").
void TMenusVentana::CreaMenuEstrategia() {
  V.Estrategia1 = V.Pciones1->addMenu(QStringLiteral("&Estrategia"));
  V.Estrategia1->setObjectName("Estrategia1");
  V.Estrategias1 = new QActionGroup(&V);
  V.Estrategias1->setExclusive(true);
  for (TEstrategia e : Estrategias) {
    QAction* a = V.Estrategia1->addAction(DeCp1252(NombreEstrategia(e)));
    a->setCheckable(true);
    a->setData(int(e));
    a->setChecked(e == TEstrategia::Normal);
    V.Estrategias1->addAction(a);
  }
  V.ReduccionEta1 = Casilla(V.Pciones1, QStringLiteral("Red&ucción η"), "ReduccionEta1");
}

void TMenusVentana::CreaMenuExportar() {
  V.Ficheros1->addSeparator();
  V.ExportarDiagrama1 = V.Ficheros1->addAction(QStringLiteral("Exportar diagrama…"));
  V.ExportarDiagrama1->setObjectName("ExportarDiagrama1");
  V.ExportarReduccion1 = V.Ficheros1->addAction(QStringLiteral("Exportar reducción…"));
  V.ExportarReduccion1->setObjectName("ExportarReduccion1");
  QObject::connect(V.ExportarDiagrama1, &QAction::triggered, &V,
                   [this] { V.ExportarDiagrama1Click(); });
  QObject::connect(V.ExportarReduccion1, &QAction::triggered, &V,
                   [this] { V.ExportarReduccion1Click(); });
}

void TMenusVentana::CreaAyudas() {
  // First in its menu: the keyboard opens the menu on this entry, and one step down reaches
  // "Beta múltiple".
  V.DetenerCiclo1 = new QAction(QStringLiteral("&Detener ∀β en un ciclo"), V.Pciones1);
  V.DetenerCiclo1->setObjectName("DetenerCiclo1");
  V.DetenerCiclo1->setCheckable(true);
  V.Pciones1->insertAction(V.Betamltiple1, V.DetenerCiclo1);

  V.Definiciones1 = V.MainMenu1->addMenu(QStringLiteral("&Definiciones"));
  V.Definiciones1->setObjectName("Definiciones1");
  // Taller than the screen, the list scrolls instead of opening more columns.
  V.Definiciones1->setStyleSheet(QStringLiteral("QMenu { menu-scrollable: 1; }"));
  ReconstruyeDefiniciones();

  V.Ayuda1 = V.MainMenu1->addMenu(QStringLiteral("&Ayuda"));
  V.Ayuda1->setObjectName("Ayuda1");
  V.Sintaxis1 = V.Ayuda1->addAction(QStringLiteral("&Sintaxis"));
  V.Sintaxis1->setObjectName("Sintaxis1");
  V.Sintaxis1->setShortcut(QKeySequence(Qt::Key_F1));
  V.AcercaDe1 = V.Ayuda1->addAction(QStringLiteral("&Acerca de ") + TituloPrograma);
  V.AcercaDe1->setObjectName("AcercaDe1");
  V.Manual1 = V.Ayuda1->addAction(QStringLiteral("&Manual"));
  V.Manual1->setObjectName("Manual1");
  TDialogosVentana& d = V.Dialogos;
  QObject::connect(V.Sintaxis1, &QAction::triggered, &V, [&d] { d.Muestra(d.DialogoSintaxis()); });
  QObject::connect(V.AcercaDe1, &QAction::triggered, &V, [&d] { d.Muestra(d.DialogoAcercaDe()); });
  QObject::connect(V.Manual1, &QAction::triggered, &V, [&d] { d.Muestra(d.DialogoManual()); });
}

void TMenusVentana::ReconstruyeDefiniciones() {
  V.Definiciones1->clear();
  const auto& m = V.MesaTrabajo;
  std::size_t n = m ? m->Sesion.Definiciones.Cuenta() : 0;
  if (n == 0) V.Definiciones1->addAction(QStringLiteral("Sin definiciones"))->setEnabled(false);
  for (std::size_t i = 0; i < n; ++i) {
    // A name may hold '&', which would mark an accelerator.
    QString Texto = DeCp1252(EntradaDefinicion(m->Sesion.Definiciones[i]));
    QAction* a = V.Definiciones1->addAction(Texto.replace(u'&', QStringLiteral("&&")));
    QObject::connect(a, &QAction::triggered, &V, [this, i] { InsertaDefinicion(i); });
  }
}

void TMenusVentana::InsertaDefinicion(std::size_t i) {
  const auto& m = V.MesaTrabajo;
  if (!m || i >= m->Sesion.Definiciones.Cuenta()) return;
  V.edtEnt->insert(DeCp1252(m->Sesion.Definiciones[i].Nombre));
  V.edtEnt->setFocus();
}

QAction* TMenusVentana::Entrada(TOpcion o) const {
  switch (o) {
    case TOpcion::Multiple:
      return V.Betamltiple1;
    case TOpcion::Eta:
      return V.ReduccionEta1;
    case TOpcion::Halo:
      return V.HaloDiagrama1;
    case TOpcion::Ciclo:
      return V.DetenerCiclo1;
    case TOpcion::Pasos:
      return V.MostrarPasos1;
    case TOpcion::Nombres:
      return V.ConservarNombres1;
    case TOpcion::Pliegue:
      return V.NombresDefiniciones1;
  }
  return nullptr;
}

// A check mark changed, by a click or otherwise, goes to Opciones first; a click's command
// follows. "Mostrar los pasos" is the panel's own: its close button unchecks it as well, and the
// command goes with the check.
void TMenusVentana::ConectaOpciones() {
  for (TOpcion o : OpcionesDelMenu) {
    QAction* a = Entrada(o);
    QObject::connect(a, &QAction::toggled, &V, [this, o](bool Marcada) {
      Opciones_.Marca(o, Marcada);
      PintaOpciones();
    });
    const TOpciones::TOrdenMesa Sigue = TOpciones::Orden(o);
    if (!Sigue) continue;
    QObject::connect(a, o == TOpcion::Pasos ? &QAction::toggled : &QAction::triggered, &V,
                     [this, Sigue] { V.Orden([Sigue](TMesaTrabajo& m) { (m.*Sigue)(); }); });
  }
  QObject::connect(V.Estrategias1, &QActionGroup::triggered, &V, [this](QAction* a) {
    Opciones_.Elige(TEstrategia(a->data().toInt()));
    PintaOpciones();
    V.Orden([](TMesaTrabajo& m) { m.OpcionesClick(); });
  });
}

void TMenusVentana::PintaOpciones() {
  for (TOpcion o : OpcionesDelMenu) {
    QAction* a = Entrada(o);
    a->setChecked(Opciones_.Marcada(o));
    a->setEnabled(Opciones_.Habilitada(o));
  }
  for (QAction* a : V.Estrategias1->actions())
    a->setChecked(a->data().toInt() == int(Opciones_.Estrategia()));
}

void TMenusVentana::RecuerdaOpciones() {
  if (Recuerda) return;
  QSettings s = Ajustes();
  // Each restored as a click would set it, so that what follows a change follows (the rule
  // between η and "Beta múltiple", the steps panel shown): the strategy first, η then.
  TEstrategia Estrategia;
  if (EstrategiaDeClave(s.value(ClaveDeEstrategia).toString().toStdString(), Estrategia))
    for (QAction* a : V.Estrategias1->actions())
      if (a->data().toInt() == int(Estrategia) && !a->isChecked()) a->trigger();
  for (const auto& [Clave, Opcion] : OpcionesRecordadas(V))
    if (s.contains(Clave) && s.value(Clave).toBool() != Opcion->isChecked()) Opcion->trigger();
  const QString Carpeta = s.value(ClaveCarpeta).toString();
  if (!Carpeta.isEmpty() && QFileInfo(Carpeta).isDir()) UltimaCarpeta = Carpeta;
  Recuerda = true;
  for (QAction* a : V.Estrategias1->actions())
    QObject::connect(a, &QAction::toggled, &V, [this] { GuardaOpciones(); });
  for (const auto& Opcion : OpcionesRecordadas(V))
    QObject::connect(Opcion.second, &QAction::toggled, &V, [this] { GuardaOpciones(); });
}

void TMenusVentana::GuardaOpciones() {
  if (!Recuerda) return;
  QSettings s = Ajustes();
  // By lambda-cli's key for it, which no rewording of the menu changes.
  if (QAction* a = V.Estrategias1->checkedAction())
    s.setValue(ClaveDeEstrategia,
               QString::fromLatin1(ClaveEstrategia(TEstrategia(a->data().toInt()))));
  for (const auto& [Clave, Opcion] : OpcionesRecordadas(V)) s.setValue(Clave, Opcion->isChecked());
  if (!UltimaCarpeta.isEmpty()) s.setValue(ClaveCarpeta, UltimaCarpeta);
}

void TMenusVentana::CarpetaElegida(QFileDialog* Dialogo, const QString& Fichero) {
  UltimaCarpeta = QFileInfo(Fichero).absolutePath();
  Dialogo->setDirectory(UltimaCarpeta);
  GuardaOpciones();
}

void TMenusVentana::EnUltimaCarpeta(QFileDialog* Dialogo) {
  if (!UltimaCarpeta.isEmpty()) Dialogo->setDirectory(UltimaCarpeta);
}

void TMenusVentana::SigueEstrategia(TEstrategia e) {
  Opciones_.Elige(e);
  Opciones_.Marca(TOpcion::Eta, false);
  Opciones_.Marca(TOpcion::Multiple, false);
  PintaOpciones();
}
