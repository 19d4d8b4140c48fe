// SPDX-License-Identifier: GPL-3.0-or-later
// The next step shown in both views, where a failed entry is wrong, and the diagram moved with
// the mouse, through real keys and mouse events.
#include <QMenu>
#include <QWheelEvent>

#include "Banco.h"

class TPruebaSiguiente : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

  QImage Imagen() { return b->V->ImagenLienzo().copy(); }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  void haloDesdeElTeclado() {
    b->Entra("(\\x.x) y");
    QImage Patron = Imagen();
    QVERIFY(!b->V->HaloDiagrama1->isChecked());
    // Alt+O, then the entry's own letter.
    for (bool Marcado : {true, false}) {
      QTest::keyClick(b->V.get(), Qt::Key_O, Qt::AltModifier);
      QTRY_VERIFY(b->V->Pciones1->isVisible());
      QTest::keyClick(b->V->Pciones1, Qt::Key_R);
      QTRY_VERIFY(!b->V->Pciones1->isVisible());
      QCOMPARE(b->V->HaloDiagrama1->isChecked(), Marcado);
      QCOMPARE(Imagen() == Patron, !Marcado);
    }
  }

  void textoResaltadoYError() {
    b->Pestana(0);
    b->Entra("a ((\\x.x) y) ((\\z.z) w)");
    QCOMPARE(b->V->Memo1->Resalte().size(), 3u);
    b->V->Betamltiple1->trigger();
    QCOMPARE(b->V->Memo1->Resalte().size(), 6u);
    b->Entra("a b NADA c");
    QCOMPARE(b->V->edtEnt->selectedText(), "NADA");
    QVERIFY(b->V->Memo1->Resalte().empty());
  }

  void arrastreRuedaYDobleClic() {
    b->Entra("\\x.x");
    QImage Patron = Imagen();
    TLienzo* L = b->V->Lienzo;
    QTest::mousePress(L, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(L, QPoint(320, 130));
    QTest::mouseRelease(L, Qt::LeftButton, {}, QPoint(320, 130));
    QImage Movida = Imagen();
    QCOMPARE(Movida.copy(20, 30, 900, 300), Patron.copy(0, 0, 900, 300));

    // Ctrl+wheel: one zoom step at the pointer, and the spinner follows.
    QPointF Punto(505, 15);
    QWheelEvent Rueda(Punto, L->mapToGlobal(Punto), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(L, &Rueda);
    QCOMPARE(b->V->Mesa().Vistas.Zoom, 1.2);
    QCOMPARE(b->V->UpDown1->Posicion(), 1);

    QTest::mouseDClick(L, Qt::LeftButton, {}, QPoint(320, 130));
    QCOMPARE(b->V->Mesa().Vistas.DesplX, 0.0);
    b->Flecha(false);  // back to zoom 1
    QCOMPARE(Imagen(), Patron);
  }
};

PRUEBAS_VENTANA(TPruebaSiguiente)
#include "siguiente_test.moc"
