// SPDX-License-Identifier: GPL-3.0-or-later
// A window for each test, shown on the offscreen platform, and real input to drive it.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "uLienzo.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uPrograma.h"
#include "uUpDown.h"
#include "uVentPpal.h"

struct TBanco {
  std::unique_ptr<TVentPpal> V = std::make_unique<TVentPpal>();

  // The question about changed definitions (on a close, on an open) is answered "Descartar",
  // as lambda-cli goes on; a test of the question answers it itself.
  TBanco() {
    V->Dialogos.FijaRespuestaPregunta([](QMessageBox&) { return int(QMessageBox::Discard); });
  }

  // Shows the window and gives it the focus, so that shortcuts reach it.
  bool Abre() {
    V->show();
    if (!QTest::qWaitForWindowExposed(V.get())) return false;
    V->activateWindow();
    return QTest::qWaitForWindowActive(V.get());
  }

  // Types into a box as a user would: click, select all, type over it.
  void Escribe(TLineaUnica* Caja, const QString& Texto) {
    QTest::mouseClick(Caja, Qt::LeftButton);
    QTest::keyClick(Caja, Qt::Key_A, Qt::ControlModifier);
    if (Texto.isEmpty())
      QTest::keyClick(Caja, Qt::Key_Delete);
    else
      Teclea(Caja, Texto);
  }
  // Qt Test types only ASCII by key; other characters arrive as the text of an unknown key, as
  // from an input method.
  static void Teclea(QWidget* w, const QString& Texto) {
    for (QChar c : Texto) {
      if (c.unicode() < 0x80)
        QTest::keyClick(w, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
  // Name box, expression box, Enter.
  void Entra(const QString& Expresion, const QString& Nombre = {}) {
    Escribe(V->edtDef, Nombre);
    Escribe(V->edtEnt, Expresion);
    QTest::keyClick(V->edtEnt, Qt::Key_Return);
  }
  void Pulsa(QAbstractButton* Boton) { QTest::mouseClick(Boton, Qt::LeftButton); }
  void Pestana(int i) {
    QTabBar* Barra = V->PageControl1->tabBar();
    QTest::mouseClick(Barra, Qt::LeftButton, {}, Barra->tabRect(i).center());
  }
  // Clicks an arrow of UpDown1.
  void Flecha(bool Arriba) {
    QPoint p(V->UpDown1->width() / 2, Arriba ? 4 : V->UpDown1->height() - 4);
    QTest::mouseClick(V->UpDown1, Qt::LeftButton, {}, p);
  }
  QString Memo() const { return V->Memo1->toPlainText(); }
  QString Estado() const { return V->TextoEstado(); }
};

// Qt's settings store (the options kept between sessions, Qt's own file dialogs' state) in a
// folder of the test's, so that no test reads or leaves a user's settings.
inline void AjustesEn(const QString& Carpeta) {
  for (QSettings::Format f : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(f, QSettings::UserScope, Carpeta);
}

// Qt Test's main, with the program's application object (its error handler is under test).
#define PRUEBAS_VENTANA(Clase)                   \
  int main(int argc, char** argv) {              \
    QApplication::setAttribute(Qt::AA_Use96Dpi); \
    QTemporaryDir Ajustes;                       \
    AjustesEn(Ajustes.path());                   \
    TPrograma Aplicacion(argc, argv);            \
    Aplicacion.setQuitOnLastWindowClosed(false); \
    Clase Pruebas;                               \
    return QTest::qExec(&Pruebas, argc, argv);   \
  }
