// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start: the application is made from a command line full of Qt's options, as a
// user could type it, and Qt must take none of them.
#include <QApplication>
#include <QTest>
#include <QWindow>

#include "uPrograma.h"
#include "uVentPpal.h"

namespace {
char Nombre[] = "lambda", Reverso[] = "-reverse", Titulo[] = "-qwindowtitle", Otro[] = "Otro";
char* Linea[] = {Nombre, Reverso, Titulo, Otro, nullptr};
int Cuenta = 4;
}  // namespace

class TPruebaPrograma : public QObject {
  Q_OBJECT

 private slots:
  void laLineaDeOrdenesNoLlegaAQt() {
    QCOMPARE(QCoreApplication::arguments(), QStringList{"lambda"});
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    TVentPpal v;
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QVERIFY(v.windowHandle()->title().startsWith("Cálculo Lambda - "));
    // The program's own copy of its command line is left as it was.
    QCOMPARE(Cuenta, 4);
    QCOMPARE(Linea[1], Reverso);
  }
};

int main(int argc, char** argv) {
  QApplication::setAttribute(Qt::AA_Use96Dpi);
  TPrograma Aplicacion(Cuenta, Linea);
  TPruebaPrograma Pruebas;
  return QTest::qExec(&Pruebas, argc, argv);
}
#include "programa_test.moc"
