// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's first use and its memory: Intro in the name box, the options and the last
// folder kept between sessions, the caption naming the file, and every window kept within the
// screen.
#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <algorithm>

#include "uAyuda.h"
#include "uCp1252.h"
#include "uEstrategia.h"
#include "uLineaUnica.h"
#include "uParser.h"
#include "uPrograma.h"
#include "uVentPpal.h"

namespace {

// Where the options are kept: ~/.config/calculo-lambda/lambda.conf on Linux.
QSettings Ajustes() {
  return QSettings(QStringLiteral("calculo-lambda"), QStringLiteral("lambda"));
}

const QString ClaveDeEstrategia = QStringLiteral("Opciones/Estrategia");
const QString ClaveCarpeta = QStringLiteral("Ficheros/UltimaCarpeta");

// The room a window manager's frame takes around a window not yet shown.
constexpr int MarcoAncho = 16, MarcoAlto = 40;

}  // namespace

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

// Checkable options kept between sessions, by their keys.
static std::vector<std::pair<QString, QAction*>> OpcionesRecordadas(TVentPpal& v) {
  return {{QStringLiteral("Opciones/ReduccionEta"), v.ReduccionEta1},
          {QStringLiteral("Opciones/ConservarNombres"), v.ConservarNombres1},
          {QStringLiteral("Opciones/NombresDefiniciones"), v.NombresDefiniciones1},
          {QStringLiteral("Opciones/MostrarPasos"), v.MostrarPasos1},
          {QStringLiteral("Opciones/ResaltarDiagrama"), v.HaloDiagrama1},
          {QStringLiteral("Opciones/DetenerCiclo"), v.DetenerCiclo1}};
}

void TVentPpal::RecuerdaOpciones() {
  if (Recuerda) return;
  QSettings s = Ajustes();
  // Each restored as a click would set it, so that what follows a change follows (the rule
  // between η and "Beta múltiple", the steps panel shown): the strategy first, η then.
  TEstrategia Estrategia;
  if (EstrategiaDeClave(s.value(ClaveDeEstrategia).toString().toStdString(), Estrategia))
    for (QAction* a : Estrategias1->actions())
      if (a->data().toInt() == int(Estrategia) && !a->isChecked()) a->trigger();
  for (const auto& [Clave, Opcion] : OpcionesRecordadas(*this))
    if (s.contains(Clave) && s.value(Clave).toBool() != Opcion->isChecked()) Opcion->trigger();
  const QString Carpeta = s.value(ClaveCarpeta).toString();
  if (!Carpeta.isEmpty() && QFileInfo(Carpeta).isDir()) UltimaCarpeta = Carpeta;
  Recuerda = true;
  for (QAction* a : Estrategias1->actions())
    connect(a, &QAction::toggled, this, [this] { GuardaOpciones(); });
  for (const auto& Opcion : OpcionesRecordadas(*this))
    connect(Opcion.second, &QAction::toggled, this, [this] { GuardaOpciones(); });
}

void TVentPpal::GuardaOpciones() {
  if (!Recuerda) return;
  QSettings s = Ajustes();
  // By lambda-cli's key for it, which no rewording of the menu changes.
  if (QAction* a = Estrategias1->checkedAction())
    s.setValue(ClaveDeEstrategia,
               QString::fromLatin1(ClaveEstrategia(TEstrategia(a->data().toInt()))));
  for (const auto& [Clave, Opcion] : OpcionesRecordadas(*this))
    s.setValue(Clave, Opcion->isChecked());
  if (!UltimaCarpeta.isEmpty()) s.setValue(ClaveCarpeta, UltimaCarpeta);
}

void TVentPpal::CarpetaElegida(QFileDialog* Dialogo, const QString& Fichero) {
  UltimaCarpeta = QFileInfo(Fichero).absolutePath();
  Dialogo->setDirectory(UltimaCarpeta);
  GuardaOpciones();
}

void TVentPpal::EnUltimaCarpeta(QFileDialog* Dialogo) {
  if (!UltimaCarpeta.isEmpty()) Dialogo->setDirectory(UltimaCarpeta);
}

void TVentPpal::DefinicionesDeFichero(const std::string& Ruta) {
  const QString Nombre = QFileInfo(QFile::decodeName(QByteArray::fromStdString(Ruta))).fileName();
  setWindowTitle(QString::fromStdString(TituloVentana(Nombre.toStdString())));
}

void TVentPpal::CabeEnPantalla(QWidget* w) {
  QScreen* Pantalla = screen();
  if (!w || !Pantalla) return;
  const QRect Zona = Pantalla->availableGeometry();
  const QSize Marco =
      w->isVisible() ? w->frameGeometry().size() - w->size() : QSize(MarcoAncho, MarcoAlto);
  const QSize Tamano = w->size().boundedTo(Zona.size() - Marco);
  if (Tamano != w->size()) w->resize(Tamano);
}
