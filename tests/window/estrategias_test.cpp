// SPDX-License-Identifier: GPL-3.0-or-later
// The road of β chosen in "Opciones" (the strategies, η, and what "Beta múltiple" becomes), and
// the comparison of every strategy in its dialog: run to the end, stopped, closed mid-run.
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>

#include "Banco.h"
#include "uComparar.h"
#include "uLambda.h"

class TPruebaEstrategias : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

  QAction* Entrada(int i) { return b->V->Estrategia1->actions()[i]; }
  QStringList Columna(QTableWidget* t, int c) {
    QStringList l;
    for (int i = 0; i < t->rowCount(); ++i) l << t->item(i, c)->text();
    return l;
  }
  // The current term compared, once it is `Termino` (none: as it is).
  TDialogoComparar* Compara(const QString& Termino = {}) {
    if (!Termino.isEmpty()) b->Entra(Termino);
    b->V->CompararEstrategias1->trigger();
    TDialogoComparar* d = b->V->Dialogos.DialogoComparar();
    [&] { QTRY_VERIFY(d->isVisible()); }();
    return d;
  }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  void elMenuEligeElCamino() {
    QStringList Nombres;
    for (QAction* a : b->V->Estrategia1->actions()) Nombres << a->text();
    QCOMPARE(Nombres,
             QStringList({"Orden normal", "Orden aplicativo", "Llamada por nombre",
                          "Llamada por valor", "Cabeza", "Híbrida aplicativa", "Híbrida normal"}));
    QCOMPARE(b->V->Estrategias1->checkedAction(), Entrada(0));
    QVERIFY(b->V->ReduccionEta1->isEnabled() && !b->V->ReduccionEta1->isChecked());
    QVERIFY(b->V->Vista().Opciones().Modo.Clasico());

    // From the keyboard: Alt+O, E opens the submenu on its first entry, one down, Enter.
    b->V->Betamltiple1->trigger();
    QTest::keyClick(b->V.get(), Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(b->V->Pciones1->isVisible());
    QTest::keyClick(b->V->Pciones1, Qt::Key_E);
    QTRY_VERIFY(b->V->Estrategia1->isVisible());
    QTest::keyClick(b->V->Estrategia1, Qt::Key_Down);
    QTest::keyClick(b->V->Estrategia1, Qt::Key_Return);
    QTRY_VERIFY(!b->V->Pciones1->isVisible());
    QCOMPARE(b->V->Estrategias1->checkedAction(), Entrada(1));
    QVERIFY(!b->V->Betamltiple1->isChecked() && !b->V->Betamltiple1->isEnabled());

    // β takes the strategy's redex: the argument first under orden aplicativo, Ω again.
    const QString Termino = "(\\x.\\y.y) ((\\x.x x) (\\x.x x))";
    b->Pestana(0);
    b->Entra(Termino);
    b->Pulsa(b->V->btnBeta);
    QCOMPARE(b->Memo(), "(\\ a . \\ b . b) ((\\ c . c c) (\\ d . d d))");

    // η where it applies; a weak strategy takes it away.
    b->V->ReduccionEta1->trigger();
    QCOMPARE(b->V->Vista().Opciones().Modo, (TModo{TEstrategia::Aplicativo, true}));
    Entrada(4)->trigger();
    QVERIFY(!b->V->ReduccionEta1->isEnabled() && !b->V->ReduccionEta1->isChecked());
    QCOMPARE(b->V->Vista().Opciones().Modo, (TModo{TEstrategia::Cabeza, false}));

    // Orden normal with η leaves "Beta múltiple" off; without η it is back, unchecked.
    Entrada(0)->trigger();
    b->V->ReduccionEta1->trigger();
    QVERIFY(!b->V->Betamltiple1->isEnabled());
    b->V->ReduccionEta1->trigger();
    QVERIFY(b->V->Betamltiple1->isEnabled() && !b->V->Betamltiple1->isChecked());
    b->Entra(Termino);
    b->Pulsa(b->V->btnBeta);
    QCOMPARE(b->Memo(), "\\ a . a");
  }

  void comparaCadaEstrategia() {
    b->V->CompararEstrategias1->trigger();
    QCOMPARE(b->Estado(), "No hay término actual");
    QVERIFY(!b->V->Dialogos.DialogoComparar()->isVisible());

    TDialogoComparar* d = Compara("(\\x.\\y.y) ((\\x.x x) (\\x.x x))");
    QCOMPARE(d->windowTitle(), "Comparar estrategias");
    QCOMPARE(d->EtiquetaTermino->text(),
             "Término comparado: (\\ a . \\ b . b) ((\\ c . c c) (\\ d . d d))");
    QTRY_VERIFY_WITH_TIMEOUT(!d->EnMarcha(), 60000);
    QTableWidget* t = d->Tabla;
    QCOMPARE(t->rowCount(), 7);
    QCOMPARE(Columna(t, 0)[5], "Híbrida aplicativa");
    QStringList Formas = Columna(t, 2);
    const QString SinTerminar = "sin terminar tras ";
    for (int i : {1, 3, 5}) QVERIFY2(Formas[i].startsWith(SinTerminar), qPrintable(Formas[i]));
    for (int i : {1, 3, 5}) Formas[i] = SinTerminar;
    QCOMPARE(Formas,
             QStringList({"forma normal", SinTerminar, "forma normal de cabeza débil", SinTerminar,
                          "forma normal de cabeza", SinTerminar, "forma normal"}));
    QCOMPARE(Columna(t, 1)[0], "1");
    QVERIFY(!Columna(t, 3)[0].isEmpty());
    QVERIFY(!d->btnDetener->isEnabled());

    // A term that grows at every step under every strategy: stopped, then closed, mid-run.
    b->Entra("(\\x.x x x) (\\x.x x x)");
    const std::size_t Antes = NodosVivos();
    d = Compara();
    QTRY_VERIFY(!Columna(t, 1)[0].isEmpty());
    QVERIFY(d->EnMarcha());
    b->Pulsa(d->btnDetener);
    QVERIFY(!d->EnMarcha());
    QCOMPARE(Columna(t, 2)[6], "detenida antes de empezar");
    d->close();
    d = Compara();
    QTRY_VERIFY(!Columna(t, 1)[0].isEmpty());
    QVERIFY(d->EnMarcha());
    d->close();
    QVERIFY(!d->EnMarcha());
    QCOMPARE(NodosVivos(), Antes);
    // The window closing stops it too.
    d = Compara();
    QTRY_VERIFY(!Columna(t, 1)[0].isEmpty());
    b->V->close();
    QVERIFY(!d->EnMarcha() && !d->isVisible());
  }
};

PRUEBAS_VENTANA(TPruebaEstrategias)
#include "estrategias_test.moc"
