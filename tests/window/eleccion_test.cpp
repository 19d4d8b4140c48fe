// SPDX-License-Identifier: GPL-3.0-or-later
// The redex under the pointer on "Texto": shown in place of the next step, contracted by a
// click, undone by back. On "Gráficos" the same by its junction; F8 and F9 choose from the keys.
#include <vector>

#include "Banco.h"

class TPruebaEleccion : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

  // A point of Memo1's viewport over byte Pos of its first line.
  QPoint Sobre(std::size_t Pos) {
    for (int x = 0; x < b->V->Memo1->viewport()->width(); ++x)
      if (b->V->Memo1->PosicionEn(QPoint(x, 8)) == Pos) return {x + 2, 8};
    return {-1, -1};
  }
  static std::vector<std::size_t> Extremos(const std::vector<TRango>& R) {
    std::vector<std::size_t> v;
    for (const TRango& r : R) v.insert(v.end(), {r.Desde, r.Hasta});
    return v;
  }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  void apuntarPulsarYVolver() {
    b->Pestana(0);
    b->Entra("(\\x.x) ((\\y.y y) z)");
    TMemo* m = b->V->Memo1;
    const QString Inicial = m->toPlainText();
    QCOMPARE(Inicial, "(\\ a . a) ((\\ b . b b) c)");
    // Over the argument's redex: it, not the outer one the strategy contracts next.
    QTest::mouseMove(m->viewport(), Sobre(14));
    QCOMPARE(Extremos(m->Apuntado()), (std::vector<std::size_t>{10, 25, 11, 22, 23, 24}));
    QCOMPARE(m->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(m->viewport(), Sobre(3));
    QCOMPARE(Extremos(m->Apuntado()), (std::vector<std::size_t>{0, 25, 0, 9, 10, 25}));
    QEvent Sale(QEvent::Leave);
    QApplication::sendEvent(m, &Sale);
    QVERIFY(m->Apuntado().empty());
    QCOMPARE(m->Resalte().size(), 3u);
    // A click contracts the redex under it as one step; back undoes it.
    QTest::mouseClick(m->viewport(), Qt::LeftButton, {}, Sobre(14));
    QCOMPARE(m->toPlainText(), "(\\ a . a) (b b)");
    QVERIFY(b->V->btnBack->isEnabled());
    QTest::mouseClick(b->V->btnBack, Qt::LeftButton);
    QCOMPARE(m->toPlainText(), Inicial);
  }

  void lienzoYTeclas() {
    b->Pestana(1);
    b->Entra("(\\x.x) ((\\y.y y) z)");
    TLienzo* l = b->V->Lienzo;
    auto* a = static_cast<TAplicacion*>(b->V->Mesa().Sesion.TerminoActual());
    auto* Dentro = static_cast<TAplicacion*>(a->Arg);
    std::vector<TCaja> Cajas;
    int32_t NumVars = 0;
    Dispone(a, b->V->ImagenLienzo().width(), 1.0, Cajas, NumVars);
    const TCaja& c = Cajas[Dentro->Caja];
    const QPoint Union(int(c.X + c.Ancho / 2), int(c.Y) + 1);
    const QImage Antes = b->V->ImagenLienzo().copy();
    // Over the inner redex's junction: a halo of its own and the hand; away, the same pixels.
    QTest::mouseMove(l, Union);
    QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(b->V->ImagenLienzo() != Antes);
    QTest::mouseMove(l, QPoint(5, l->height() - 5));
    QCOMPARE(l->cursor().shape(), Qt::OpenHandCursor);
    QCOMPARE(b->V->ImagenLienzo(), Antes);
    // A drag from it moves the drawing and contracts nothing; a click contracts it.
    QTest::mousePress(l, Qt::LeftButton, {}, Union);
    QTest::mouseMove(l, Union + QPoint(40, 0));
    QTest::mouseRelease(l, Qt::LeftButton, {}, Union + QPoint(40, 0));
    QCOMPARE(b->Memo(), "(\\ a . a) ((\\ b . b b) c)");
    QTest::mouseDClick(l, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(l, Qt::LeftButton, {}, Union);
    QCOMPARE(b->Memo(), "(\\ a . a) (b b)");
    b->Pulsa(b->V->btnBack);
    // F8 selects in printed order, wrapping, and Shift+F8 goes back; Memo1 shows the selected.
    b->Pestana(0);
    TMemo* m = b->V->Memo1;
    QTest::keyClick(b->V.get(), Qt::Key_F8);
    QCOMPARE(m->Apuntado().front().Desde, 0u);
    QTest::keyClick(b->V.get(), Qt::Key_F8);
    QCOMPARE(m->Apuntado().front().Desde, 10u);
    QTest::keyClick(b->V.get(), Qt::Key_F8);
    QCOMPARE(m->Apuntado().front().Desde, 0u);
    QTest::keyClick(b->V.get(), Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(m->Apuntado().front().Desde, 10u);
    // F9 contracts it as one step, and the new term has nothing selected.
    QTest::keyClick(b->V.get(), Qt::Key_F9);
    QCOMPARE(b->Memo(), "(\\ a . a) (b b)");
    QVERIFY(m->Apuntado().empty());
    QCOMPARE(b->V->Mesa().Eleccion.RedexSeleccionado(), -1);
  }
};

PRUEBAS_VENTANA(TPruebaEleccion)
#include "eleccion_test.moc"
