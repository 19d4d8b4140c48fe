// SPDX-License-Identifier: GPL-3.0-or-later
#include "uPrograma.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "uAyuda.h"
#include "uCp1252.h"
#include "uTextos.h"

namespace {

std::function<void(QMessageBox&)> RespuestaCajaError;

// Made at start: when they are wanted, memory may have run out.
const QString TextoSinMemoria = QString::fromStdString(Cp1252AUtf8(Mensajes::SinMemoria));
const QString TextoDesconocido = QString::fromStdString(Cp1252AUtf8(Mensajes::ErrorDesconocido));

// What Qt is given for a command line: the program's name alone. Qt keeps references to both
// for the life of the application.
int ArgcQt = 1;
char NombreQt[] = "lambda";
char* ArgvQt[] = {NombreQt, nullptr};

int& SoloElNombre(int argc, char** argv) {
  if (argc > 0 && argv && argv[0]) ArgvQt[0] = argv[0];
  ArgcQt = 1;
  return ArgcQt;
}

}  // namespace

const QString TituloPrograma = QString::fromUtf8(NombrePrograma);

void FijaRespuestaCajaError(std::function<void(QMessageBox&)> Respuesta) {
  RespuestaCajaError = std::move(Respuesta);
}

QString TextoError(const std::exception& e) {
  return QString::fromStdString(
      Cp1252AUtf8(ConPuntoFinal(MensajeExcepcion(e, SeparadorDelLocale()))));
}

std::string SeparadorDelLocale() {
  QString s = QLocale().groupSeparator();
  std::string r = Utf8ACp1252(s.toStdString());
  if (r.find('?') != std::string::npos && !s.contains(u'?')) return "\xA0";
  return r;
}

void MuestraCajaError(QWidget* Padre, const QString& Texto, bool Diferida) {
  if (Diferida) {
    QPointer<QWidget> P(Padre);
    QTimer::singleShot(0, qApp, [P, Texto] { MuestraCajaError(P.data(), Texto); });
    return;
  }
  QMessageBox Caja(QMessageBox::Critical, TituloPrograma, Texto, QMessageBox::Ok, Padre);
  Caja.setObjectName("CajaError");
  // A name or a symbol may look like markup: "<i>K</i>" is shown as typed.
  Caja.setTextFormat(Qt::PlainText);
  // A box as narrow as a short message leaves a window manager no room for the title beside
  // its buttons ("Cál… da"); the grid's last row holds it open.
  if (auto* Rejilla = qobject_cast<QGridLayout*>(Caja.layout())) {
    const int Ancho = QFontMetrics(QApplication::font()).horizontalAdvance(TituloPrograma) + 240;
    Rejilla->addItem(new QSpacerItem(Ancho, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                     Rejilla->rowCount(), 0, 1, Rejilla->columnCount());
  }
  if (RespuestaCajaError) {
    RespuestaCajaError(Caja);
    return;
  }
  Caja.exec();
}

TPrograma::TPrograma(int& argc, char** argv, bool OpcionesQt)
    : QApplication(OpcionesQt ? argc : SoloElNombre(argc, argv), OpcionesQt ? argv : ArgvQt) {
  // Without the translations (not installed) Qt's texts stay in English.
  if (Traduccion.load(QStringLiteral("qtbase_es"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(&Traduccion);
}

bool TPrograma::notify(QObject* Receptor, QEvent* Evento) {
  // No modal box may run inside a paint: there the box waits for the event loop.
  const bool Pintura = Evento->type() == QEvent::Paint || Evento->type() == QEvent::UpdateRequest;
  QString Texto;
  try {
    return QApplication::notify(Receptor, Evento);
  } catch (const std::exception& e) {
    try {
      Texto = TextoError(e);
    } catch (...) {
      Texto = TextoSinMemoria;
    }
  } catch (...) {
    Texto = TextoDesconocido;
  }
  // The box is shown out of the catch block, so that the exception's memory is free again.
  try {
    MuestraCajaError(nullptr, Texto, Pintura);
  } catch (...) {
    // Nothing is left to report with; the window goes on.
  }
  return false;
}

QString DeCp1252(std::string_view Texto) {
  return QString::fromStdString(Cp1252AUtf8(Texto));
}
