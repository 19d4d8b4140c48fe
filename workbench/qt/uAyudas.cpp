// SPDX-License-Identifier: GPL-3.0-or-later
#include "uAyudas.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QtGlobal>

#include "uAyuda.h"
#include "uPrograma.h"

namespace {

QDialog* Dialogo(QWidget* Padre, const QString& Titulo, const char* Nombre, QWidget* Contenido) {
  auto* d = new QDialog(Padre);
  d->setObjectName(Nombre);
  d->setWindowTitle(Titulo);
  auto* Columna = new QVBoxLayout(d);
  Columna->addWidget(Contenido);
  auto* Botones = new QDialogButtonBox(QDialogButtonBox::Close, d);
  Botones->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
  QObject::connect(Botones, &QDialogButtonBox::rejected, d, &QDialog::hide);
  Columna->addWidget(Botones);
  return d;
}

}  // namespace

QDialog* CreaDialogoSintaxis(QWidget* Padre) {
  auto* Texto = new QTextBrowser;
  Texto->setObjectName("TextoSintaxis");
  Texto->setHtml(QString::fromStdString(HtmlSintaxis(false)));
  QDialog* d = Dialogo(Padre, QStringLiteral("Sintaxis"), "DialogoSintaxis", Texto);
  d->resize(640, 560);
  return d;
}

QDialog* CreaDialogoAcercaDe(QWidget* Padre) {
  auto* Texto = new QLabel;
  Texto->setObjectName("TextoAcercaDe");
  Texto->setTextFormat(Qt::RichText);
  Texto->setText(QString::fromStdString(
      HtmlAcercaDe(LAMBDA_VERSION, "Bibliotecas: Qt " + std::string(qVersion()) +
                                       ", AGG (Anti-Grain Geometry) " LAMBDA_AGG_VERSION ".")));
  Texto->setWordWrap(true);
  QDialog* d = Dialogo(Padre, "Acerca de " + TituloPrograma, "DialogoAcercaDe", Texto);
  d->resize(420, 220);
  return d;
}

QDialog* CreaDialogoManual(QWidget* Padre) {
  auto* Texto = new QTextBrowser;
  Texto->setObjectName("TextoManual");
  Texto->setOpenExternalLinks(true);
  // The manual and its screenshots are built into the program, so it is there wherever the
  // program is.
  Texto->setSource(QUrl(QStringLiteral("qrc:/manual/manual.html")), QTextDocument::HtmlResource);
  QDialog* d = Dialogo(Padre, QString::fromStdString(TituloManual()), "DialogoManual", Texto);
  d->resize(820, 640);
  return d;
}
