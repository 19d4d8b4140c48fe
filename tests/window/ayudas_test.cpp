// SPDX-License-Identifier: GPL-3.0-or-later
// The teaching aids of the window: the second panel of the status bar, the menu of definitions
// (rebuilt after an open, a choice types the name), the option that stops run-all in a cycle,
// and the help, all from the keyboard.
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include "Banco.h"

class TPruebaAyudas : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

  QString Panel() const { return b->V->Lectura1->text(); }
  QStringList Entradas() const {
    QStringList l;
    for (QAction* a : b->V->Definiciones1->actions()) l << a->text();
    return l;
  }
  // Alt and the letter open a menu on its first entry; then `Bajadas` steps down and Enter.
  void EligeDelMenu(Qt::Key Letra, QMenu* Menu, int Bajadas) {
    QTest::keyClick(b->V.get(), Letra, Qt::AltModifier);
    QTRY_VERIFY(Menu->isVisible());
    for (int i = 0; i < Bajadas; ++i) QTest::keyClick(Menu, Qt::Key_Down);
    QTest::keyClick(Menu, Qt::Key_Return);
    QTRY_VERIFY(!Menu->isVisible());
  }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  void panelYMenuDeDefiniciones() {
    QCOMPARE(Panel(), "");
    QCOMPARE(Entradas(), QStringList{"Sin definiciones"});
    b->Entra("\\f x.f (f x)", "DOS");
    QCOMPARE(Panel(), "forma normal · número 2 · igual a DOS · 7 nodos");
    QCOMPARE(b->Estado(), "");
    QCOMPARE(Entradas(), QStringList{"DOS = \\ a . \\ b . a (a b)"});

    // An open rebuilds the menu; a long printed form is cut, a '&' in a name stays a '&'.
    QTemporaryDir Dir;
    const QString Ruta = Dir.filePath("defs.txt");
    QFile f(Ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray Largo = "\\f x." + QByteArray("f (").repeated(40) + "x" + QByteArray(40, ')');
    f.write("I\r\n\\x.x\r\nY&Z\r\n\\g y.g (g y)\r\nCUARENTA\r\n" + Largo + "\r\n");
    f.close();
    b->V->Dialogos.FijaRespuestaDialogo(
        [&](QFileDialog&) -> std::optional<QString> { return Ruta; });
    QTest::keyClick(b->V.get(), Qt::Key_O, Qt::ControlModifier);
    QStringList l = Entradas();
    QCOMPARE(l.size(), 3);
    QCOMPARE(l[0], "I = \\ a . a");
    QCOMPARE(l[1], "Y&&Z = \\ a . \\ b . a (a b)");
    QVERIFY(l[2].startsWith("CUARENTA = \\ a . \\ b . a (a (a"));
    QVERIFY(l[2].endsWith("a (…"));
    QCOMPARE(l[2].size(), QString("CUARENTA = ").size() + 60 + 1);
    // The current term is now equal to another name.
    QCOMPARE(Panel(), "forma normal · número 2 · igual a Y&Z · 7 nodos");

    // A choice types the name at the cursor.
    b->Escribe(b->V->edtEnt, "SUC  I");
    b->V->edtEnt->setCursorPosition(4);
    EligeDelMenu(Qt::Key_D, b->V->Definiciones1, 1);
    QCOMPARE(b->V->edtEnt->text(), "SUC Y&Z I");
    QVERIFY(b->V->edtEnt->hasFocus());
  }

  void listaLargaSeDesplaza() {
    // Longer than the screen, the list stays one column and scrolls.
    QTemporaryDir Dir;
    const QString Ruta = Dir.filePath("muchas.txt");
    QFile f(Ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 200; ++i) f.write("D" + QByteArray::number(i) + "\r\n\\x.x\r\n");
    f.close();
    b->V->Dialogos.FijaRespuestaDialogo(
        [&](QFileDialog&) -> std::optional<QString> { return Ruta; });
    QTest::keyClick(b->V.get(), Qt::Key_O, Qt::ControlModifier);
    QMenu* m = b->V->Definiciones1;
    QCOMPARE(m->actions().size(), 200);
    m->popup(QPoint(0, 0));
    QTRY_VERIFY(m->isVisible());
    QVERIFY(m->height() <= m->screen()->availableGeometry().height());
    QCOMPARE(m->actionGeometry(m->actions().last()).x(), m->actionGeometry(m->actions()[0]).x());
    m->hide();
  }

  void cicloDetieneTodo() {
    QVERIFY(!b->V->DetenerCiclo1->isChecked());
    EligeDelMenu(Qt::Key_O, b->V->Pciones1, 0);
    QVERIFY(b->V->DetenerCiclo1->isChecked());
    QVERIFY(!b->V->Betamltiple1->isChecked());
    b->Entra("(\\x.x x) (\\y.y y)");
    // Should the run not stop by itself, a second press would end it (and the test fail).
    QTimer::singleShot(20000, b->V.get(), [this] { b->V->btnBetaAll->click(); });
    b->Pulsa(b->V->btnBetaAll);
    QVERIFY(!b->V->Mesa().Todo.Ejecutando);
    QCOMPARE(b->V->Mesa().Sesion.Ciclo(), 1);
    QCOMPARE(Panel(), "9 nodos · se repite cada paso");
    QVERIFY(b->Estado().endsWith(" reducciones"));
    // A step changes the term: the cycle is no longer said.
    b->Pulsa(b->V->btnBeta);
    QCOMPARE(Panel(), "9 nodos");
  }

  void ayudaDesdeElTeclado() {
    EligeDelMenu(Qt::Key_A, b->V->Ayuda1, 0);
    QDialog* s = b->V->Dialogos.DialogoSintaxis();
    QTRY_VERIFY(s->isVisible());
    QString Texto = s->findChild<QTextBrowser*>("TextoSintaxis")->toPlainText();
    for (const char* Parte : {"abstracción", "una copia del término actual", "Intro", "∀β", "←",
                              "λx.M", "arrastrar", "Alt y la letra"})
      QVERIFY2(Texto.contains(QString::fromUtf8(Parte)), Parte);
    QTest::keyClick(s, Qt::Key_Escape);
    QTRY_VERIFY(!s->isVisible());

    EligeDelMenu(Qt::Key_A, b->V->Ayuda1, 1);
    QDialog* a = b->V->Dialogos.DialogoAcercaDe();
    QTRY_VERIFY(a->isVisible());
    QCOMPARE(a->windowTitle(), "Acerca de Cálculo Lambda");
    QString Acerca = a->findChild<QLabel*>("TextoAcercaDe")->text();
    for (const char* Parte :
         {"Cálculo Lambda 1.0", "Qt 6.", "AGG", "Licencia: GPL-3.0 o posterior"})
      QVERIFY2(Acerca.contains(QString::fromUtf8(Parte)), Parte);
  }

  void manualConSusCapturas() {
    EligeDelMenu(Qt::Key_A, b->V->Ayuda1, 2);
    QDialog* m = b->V->Dialogos.DialogoManual();
    QTRY_VERIFY(m->isVisible());
    auto* Texto = m->findChild<QTextBrowser*>("TextoManual");
    QVERIFY(Texto->toPlainText().contains(QStringLiteral("Manual de Cálculo Lambda")));
    // Every screenshot it shows is built in.
    int Imagenes = 0;
    for (QTextBlock Bloque = Texto->document()->begin(); Bloque.isValid(); Bloque = Bloque.next())
      for (auto f = Bloque.begin(); !f.atEnd(); ++f)
        if (f.fragment().charFormat().isImageFormat()) {
          QString Ruta = f.fragment().charFormat().toImageFormat().name();
          QVERIFY2(!Texto->loadResource(QTextDocument::ImageResource, QUrl(Ruta)).isNull(),
                   qPrintable(Ruta));
          ++Imagenes;
        }
    QVERIFY(Imagenes >= 2);
  }
};

PRUEBAS_VENTANA(TPruebaAyudas)
#include "ayudas_test.moc"
