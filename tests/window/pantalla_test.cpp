// SPDX-License-Identifier: GPL-3.0-or-later
// On a laptop's 1280 x 720 screen scaled to 150 % (run so: 853 x 480 for the windows), the
// window, its dialogs and the steps panel fit the screen, and the panel's long lines can be
// scrolled to their end.
#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QListView>
#include <QScreen>
#include <QScrollBar>

#include "Banco.h"
#include "uComparar.h"
#include "uPasos.h"

class TPruebaPantalla : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;
  QRect Zona;

  bool Cabe(QWidget* w) const { return Zona.contains(w->frameGeometry()); }
  QByteArray Donde(QWidget* w) const {
    QRect r = w->frameGeometry();
    return w->objectName().toUtf8() + QByteArray(" at ") + QByteArray::number(r.x()) + "," +
           QByteArray::number(r.y()) + " " + QByteArray::number(r.width()) + "x" +
           QByteArray::number(r.height());
  }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
    Zona = b->V->screen()->availableGeometry();
    QCOMPARE(Zona.size(), QSize(853, 480));
  }
  void cleanup() { b.reset(); }

  void ventanasDentroDeLaPantalla() {
    QVERIFY2(Cabe(b->V.get()), Donde(b->V.get()));
    b->Entra("(\\x.x) y");
    const QList<std::pair<QAction*, std::function<QWidget*()>>> Dialogos = {
        {b->V->Sintaxis1, [this] { return b->V->Dialogos.DialogoSintaxis(); }},
        {b->V->Manual1, [this] { return b->V->Dialogos.DialogoManual(); }},
        {b->V->AcercaDe1, [this] { return b->V->Dialogos.DialogoAcercaDe(); }},
        {b->V->CompararEstrategias1, [this] { return b->V->Dialogos.DialogoComparar(); }}};
    for (const auto& [Entrada, Dialogo] : Dialogos) {
      Entrada->trigger();
      QWidget* d = Dialogo();
      QVERIFY(QTest::qWaitForWindowExposed(d));
      QVERIFY2(Cabe(d), Donde(d));
      d->hide();
    }
    bool Dentro = false;
    QByteArray Sitio;
    b->V->Dialogos.FijaRespuestaDialogo([&](QFileDialog& d) -> std::optional<QString> {
      d.show();
      Dentro = QTest::qWaitForWindowExposed(&d) && Cabe(&d);
      Sitio = Donde(&d);
      d.hide();
      return std::nullopt;
    });
    b->V->Abrir1Click();
    QVERIFY2(Dentro, Sitio);
  }

  // The panel leaves the views most of the window, and its rows reach as far as their lines.
  void pasosCabenYSeLeen() {
    QString Larga = "(\\x.x";
    for (int i = 0; i < 60; ++i) Larga += " x";
    b->Entra(Larga + ") (\\y.y)");
    b->V->MostrarPasos1->trigger();
    QCoreApplication::processEvents();
    TPanelPasos* p = b->V->Pasos1;
    QVERIFY(p->isVisible());
    QVERIFY2(3 * p->height() <= b->V->height(), QByteArray::number(p->height()));
    b->Pulsa(b->V->btnBeta);
    QListView* l = p->Lista;
    const QRect Fila = l->visualRect(l->model()->index(1, 0));
    QVERIFY(l->horizontalScrollBar()->maximum() > 0);
    const QString Texto =
        "0: " + QString::fromStdString(p->Modelo->Traza.Lineas()[0].Forma->c_str());
    QVERIFY(Fila.width() >= QFontMetrics(l->font()).horizontalAdvance(Texto));
  }
};

PRUEBAS_VENTANA(TPruebaPantalla)
#include "pantalla_test.moc"
