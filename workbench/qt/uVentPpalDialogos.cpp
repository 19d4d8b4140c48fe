// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpalDialogos.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "uAyudas.h"
#include "uComparar.h"
#include "uPrograma.h"
#include "uVentPpal.h"

namespace {

const QString Filtro = QStringLiteral("Ficheros de texto (*.txt)");

// The room a window manager's frame takes around a window not yet shown.
constexpr int MarcoAncho = 16, MarcoAlto = 40;

}  // namespace

// The dialogs are made when first needed: making them takes longer than the rest of the window.
QFileDialog* TDialogosVentana::OpenDialog1() {
  if (!OpenDialog1_) {
    OpenDialog1_ = new QFileDialog(&V, QStringLiteral("Abrir definiciones"), QString(), Filtro);
    OpenDialog1_->setObjectName("OpenDialog1");
    OpenDialog1_->setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist is accepted; the open then fails and says so.
    OpenDialog1_->setFileMode(QFileDialog::AnyFile);
    V.Menus.EnUltimaCarpeta(OpenDialog1_);
  }
  return OpenDialog1_;
}

QFileDialog* TDialogosVentana::SaveDialog1() {
  if (!SaveDialog1_) {
    SaveDialog1_ = new QFileDialog(&V, QStringLiteral("Salvar definiciones"), QString(), Filtro);
    SaveDialog1_->setObjectName("SaveDialog1");
    SaveDialog1_->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1_->setDefaultSuffix(QStringLiteral("TXT"));
    V.Menus.EnUltimaCarpeta(SaveDialog1_);
  }
  return SaveDialog1_;
}

QFileDialog* TDialogosVentana::DialogoDiagrama1() {
  if (!DialogoDiagrama1_) {
    const QString Svg = QStringLiteral("Imagen SVG (*.svg)");
    const QString Png = QStringLiteral("Imagen PNG (*.png)");
    DialogoDiagrama1_ = new QFileDialog(&V, QStringLiteral("Exportar diagrama"));
    DialogoDiagrama1_->setObjectName("DialogoDiagrama1");
    DialogoDiagrama1_->setAcceptMode(QFileDialog::AcceptSave);
    DialogoDiagrama1_->setNameFilters({Svg, Png});
    DialogoDiagrama1_->selectNameFilter(Svg);
    // A name typed without extension takes that of the chosen filter; the extension decides.
    DialogoDiagrama1_->setDefaultSuffix(QStringLiteral("svg"));
    QObject::connect(
        DialogoDiagrama1_, &QFileDialog::filterSelected, DialogoDiagrama1_,
        [d = DialogoDiagrama1_, Png](const QString& f) {
          d->setDefaultSuffix(f == Png ? QStringLiteral("png") : QStringLiteral("svg"));
        });
    V.Menus.EnUltimaCarpeta(DialogoDiagrama1_);
  }
  return DialogoDiagrama1_;
}

QFileDialog* TDialogosVentana::DialogoReduccion1() {
  if (!DialogoReduccion1_) {
    DialogoReduccion1_ = new QFileDialog(&V, QStringLiteral("Exportar reducción"), QString(),
                                         QStringLiteral("Ficheros de texto (*.txt)"));
    DialogoReduccion1_->setObjectName("DialogoReduccion1");
    DialogoReduccion1_->setAcceptMode(QFileDialog::AcceptSave);
    DialogoReduccion1_->setDefaultSuffix(QStringLiteral("txt"));
    V.Menus.EnUltimaCarpeta(DialogoReduccion1_);
  }
  return DialogoReduccion1_;
}

QDialog* TDialogosVentana::DialogoSintaxis() {
  if (!DialogoSintaxis_) DialogoSintaxis_ = CreaDialogoSintaxis(&V);
  return DialogoSintaxis_;
}

QDialog* TDialogosVentana::DialogoAcercaDe() {
  if (!DialogoAcercaDe_) DialogoAcercaDe_ = CreaDialogoAcercaDe(&V);
  return DialogoAcercaDe_;
}

QDialog* TDialogosVentana::DialogoManual() {
  if (!DialogoManual_) DialogoManual_ = CreaDialogoManual(&V);
  return DialogoManual_;
}

TDialogoComparar* TDialogosVentana::DialogoComparar() {
  if (!DialogoComparar_) {
    DialogoComparar_ = new TDialogoComparar(&V);
    DialogoComparar_->PuedeAvanzar = [this] {
      const auto& m = V.MesaTrabajo;
      return m && !m->Cerrado() && !m->Todo.Ritmo.Atendiendo();
    };
  }
  return DialogoComparar_;
}

void TDialogosVentana::Cierra() {
  if (DialogoComparar_) DialogoComparar_->hide();
}

void TDialogosVentana::Muestra(QDialog* d) {
  CabeEnPantalla(d);
  d->show();
  d->raise();
  d->activateWindow();
}

bool TDialogosVentana::Elige(IVista::TDialogo Cual, std::string& Ruta) {
  switch (Cual) {
    case IVista::TDialogo::Abrir:
      return EligeFichero(OpenDialog1(), Ruta);
    case IVista::TDialogo::Salvar:
      return EligeFichero(SaveDialog1(), Ruta);
    case IVista::TDialogo::ExportarDiagrama:
      return EligeFichero(DialogoDiagrama1(), Ruta);
    case IVista::TDialogo::ExportarReduccion:
      return EligeFichero(DialogoReduccion1(), Ruta);
  }
  return false;
}

bool TDialogosVentana::EligeFichero(QFileDialog* Dialogo, std::string& Ruta) {
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
  V.Menus.CarpetaElegida(Dialogo, *Eleccion);
  Ruta = QFile::encodeName(*Eleccion).toStdString();
  return true;
}

IVista::TRespuesta TDialogosVentana::PreguntaGuardar(const QString& Pregunta) {
  QMessageBox Caja(QMessageBox::Warning, TituloPrograma, Pregunta,
                   QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &V);
  Caja.setObjectName("PreguntaGuardar");
  Caja.setTextFormat(Qt::PlainText);
  Caja.button(QMessageBox::Save)->setText(QStringLiteral("&Guardar"));
  Caja.button(QMessageBox::Discard)->setText(QStringLiteral("&Descartar"));
  Caja.button(QMessageBox::Cancel)->setText(QStringLiteral("&Cancelar"));
  Caja.setDefaultButton(QMessageBox::Save);
  Caja.setEscapeButton(QMessageBox::Cancel);
  int Boton = RespuestaPregunta ? RespuestaPregunta(Caja) : Caja.exec();
  if (Boton == QMessageBox::Save) return IVista::TRespuesta::Guardar;
  if (Boton == QMessageBox::Discard) return IVista::TRespuesta::Descartar;
  return IVista::TRespuesta::Cancelar;
}

void TDialogosVentana::CabeEnPantalla(QWidget* w) {
  QScreen* Pantalla = V.screen();
  if (!w || !Pantalla) return;
  const QRect Zona = Pantalla->availableGeometry();
  const QSize Marco =
      w->isVisible() ? w->frameGeometry().size() - w->size() : QSize(MarcoAncho, MarcoAlto);
  const QSize Tamano = w->size().boundedTo(Zona.size() - Marco);
  if (Tamano != w->size()) w->resize(Tamano);
}
