// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's way to the buttons and the tabs, and the diagram fitted to the window.
#include <QAction>
#include <QImage>

#include "Banco.h"

class TPruebasTeclas : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  // F5, F6 and F7 press β, ← and ∀β, also from the expression box, whose text stays as typed.
  void teclasDeLosBotones() {
    b->Pestana(0);
    b->Entra("(\\x.x) ((\\y.y) (\\z.z))");
    const QString Inicio = b->Memo(), Texto = b->V->edtEnt->text();
    QTest::keyClick(b->V->edtEnt, Qt::Key_F5);
    const QString Paso = b->Memo();
    QVERIFY(Paso != Inicio);
    QTest::keyClick(b->V->edtEnt, Qt::Key_F6);
    QCOMPARE(b->Memo(), Inicio);
    QTest::keyClick(b->V->edtEnt, Qt::Key_F7);
    QCOMPARE(b->Memo(), "\\ a . a");
    QCOMPARE(b->V->edtEnt->text(), Texto);
  }

  // Ctrl+Tab and Ctrl+PgDn go to the next tab, Ctrl+PgUp to the previous one, round and round.
  void teclasDeLasPestanas() {
    QTest::mouseClick(b->V->edtEnt, Qt::LeftButton);
    QCOMPARE(b->V->PageControl1->currentIndex(), 1);
    QTest::keyClick(b->V->edtEnt, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(b->V->PageControl1->currentIndex(), 0);
    QTest::keyClick(b->V->edtEnt, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(b->V->PageControl1->currentIndex(), 1);
    QTest::keyClick(b->V->edtEnt, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(b->V->PageControl1->currentIndex(), 0);
    QVERIFY(b->V->edtEnt->hasFocus());
  }

  // Enter on a focused button presses it, as the space bar does.
  void introEnUnBoton() {
    b->Entra("(\\x.x) (\\y.y)");
    const QString Inicio = b->Memo();
    b->V->btnBeta->setFocus();
    QTest::keyClick(b->V->btnBeta, Qt::Key_Return);
    QCOMPARE(b->Memo(), "\\ a . a");
    b->V->btnBack->setFocus();
    QTest::keyClick(b->V->btnBack, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(b->Memo(), Inicio);
  }

  // A diagram far wider and taller than the canvas, fitted: everything drawn keeps clear of the
  // edges and still spans most of the canvas one way or the other.
  void ajustarAlaVentana() {
    QString Termino = "\\f.f";
    for (int i = 0; i < 300; ++i) Termino += " f";
    Termino += " (\\a.a";
    for (int i = 1; i <= 30; ++i) Termino += QString(" (\\b%1.b%1").arg(QString(i, 'q'));
    Termino += QString(31, ')');
    // Set whole: typed key by key it would take long.
    b->V->edtEnt->setText(Termino);
    QTest::keyClick(b->V->edtEnt, Qt::Key_Return);
    auto Dibujado = [this] {
      QImage Imagen = b->V->ImagenLienzo().copy();
      const QRgb Fondo = Imagen.pixel(0, 0);
      QRect Caja;
      for (int y = 0; y < Imagen.height(); ++y)
        for (int x = 0; x < Imagen.width(); ++x)
          if (Imagen.pixel(x, y) != Fondo) Caja |= QRect(x, y, 1, 1);
      return Caja;
    };
    const QRect Lienzo = b->V->ImagenLienzo().rect();
    QVERIFY(!Lienzo.adjusted(1, 1, -1, -1).contains(Dibujado()));
    const double Zoom = b->V->Mesa().Vistas.Zoom;
    b->V->Ajustar1->trigger();
    QVERIFY(b->V->Mesa().Vistas.Zoom < Zoom);
    const QRect Ajustado = Dibujado();
    // Above the root the layout keeps ten units, less than a pixel at this zoom.
    QVERIFY(Lienzo.adjusted(1, 0, -1, -1).contains(Ajustado));
    QVERIFY(Ajustado.width() > Lienzo.width() * 2 / 3 ||
            Ajustado.height() > Lienzo.height() * 2 / 3);
    // A term already fitted stays as it is.
    b->V->Ajustar1->trigger();
    QCOMPARE(Dibujado(), Ajustado);
  }
};

PRUEBAS_VENTANA(TPruebasTeclas)
#include "teclas_test.moc"
