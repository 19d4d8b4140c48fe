// SPDX-License-Identifier: GPL-3.0-or-later
// "Pasos": hidden at start; shown, it lists every term since the last Enter, and a click on a
// line, Up/Down in it, or back make a listed term current.
#include <QDockWidget>
#include <QLabel>
#include <QListView>

#include "Banco.h"
#include "uPasos.h"

class TPruebaPasos : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

  void Pulsa(int Fila) {
    QListView* l = b->V->Pasos1->Lista;
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                      l->visualRect(l->model()->index(Fila, 0)).center());
    QCoreApplication::processEvents();
  }
  QString Lectura() { return b->V->findChild<QLabel*>("StatusBar1Lectura")->text(); }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  void llenarElegirYVolver() {
    QVERIFY(!b->V->Pasos1->isVisible());
    QVERIFY(!b->V->MostrarPasos1->isChecked());
    b->Pestana(0);
    b->Entra("(\\x.x x) ((\\y.y) (\\z.z))");
    b->V->MostrarPasos1->trigger();
    QVERIFY(b->V->Pasos1->isVisible());
    const QString Inicial = b->Memo();
    b->Pulsa(b->V->btnBeta);
    const QString Uno = b->Memo();
    b->Pulsa(b->V->btnBeta);
    // The text typed, then the three terms, the last one current.
    QListView* l = b->V->Pasos1->Lista;
    QCOMPARE(l->model()->rowCount(), 4);
    QCOMPARE(l->currentIndex().row(), 3);
    QVERIFY(Lectura().startsWith("paso 2"));
    Pulsa(1);
    QCOMPARE(b->Memo(), Inicial);
    QVERIFY(Lectura().startsWith("paso 0"));
    QCOMPARE(l->model()->rowCount(), 4);  // the later lines stay
    QTest::keyClick(l, Qt::Key_Down);
    QCoreApplication::processEvents();
    QCOMPARE(b->Memo(), Uno);
    b->Pulsa(b->V->btnBack);
    QCOMPARE(b->Memo(), Inicial);
    QVERIFY(!b->V->btnBack->isEnabled());
    // Hidden again, the second panel and back are as without it.
    b->V->MostrarPasos1->trigger();
    QVERIFY(!Lectura().startsWith("paso"));
  }
};

PRUEBAS_VENTANA(TPruebaPasos)
#include "pasos_test.moc"
