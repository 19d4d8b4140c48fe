// SPDX-License-Identifier: GPL-3.0-or-later
// The redex under the pointer on "Texto": shown in place of the next step, contracted by a
// click, undone by back.
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
};

PRUEBAS_VENTANA(TPruebaEleccion)
#include "eleccion_test.moc"
