// SPDX-License-Identifier: GPL-3.0-or-later
// What the window looks like and how its parts behave on their own: geometry and anchors, tab
// order, fonts and captions, menus, dialogs, the one-line boxes and the spinner.
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include "Banco.h"

namespace {

QRect EnPanel(QWidget* w) {
  return w->geometry();  // every child of the input row sits directly in Panel1
}

}  // namespace

class TPruebaAspecto : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
  }
  void cleanup() { b.reset(); }

  void geometriaDeLaFilaAlEmpezarYAlEnsanchar() {
    TVentPpal& v = *b->V;
    QWidget* Central = v.centralWidget();
    QCOMPARE(Central->width(), 1029);
    QCOMPARE(Central->height() + v.StatusBar1->height(), 533);
    QCOMPARE(v.StatusBar1->height(), 19);
    QCOMPARE(v.Panel1->height(), 47);
    QCOMPARE(v.Panel1->geometry().bottom(), Central->height() - 1);
    QCOMPARE(v.Panel1->width(), 1029);
    // The drawing area of the window drawn at 1029 x 533: Panel2 1029 x 467 less its bevel and
    // border (6 a side), less the tab control's frame and row of tabs (8 across, 28 down).
    QCOMPARE(v.Lienzo->size(), QSize(1009, 427));

    QCOMPARE(EnPanel(v.edtDef), QRect(8, 7, 109, 32));
    QCOMPARE(EnPanel(v.Label1), QRect(127, 7, 14, 30));
    QCOMPARE(EnPanel(v.edtEnt), QRect(152, 7, 697, 32));
    QCOMPARE(EnPanel(v.UpDown1), QRect(857, 5, 23, 35));
    QCOMPARE(EnPanel(v.btnBeta), QRect(886, 6, 38, 33));
    QCOMPARE(EnPanel(v.btnBack), QRect(929, 6, 38, 33));
    QCOMPARE(EnPanel(v.btnBetaAll), QRect(976, 6, 44, 33));

    v.resize(v.width() + 200, v.height());
    QTRY_COMPARE(v.Panel1->width(), 1229);
    QCOMPARE(EnPanel(v.edtDef), QRect(8, 7, 109, 32));
    QCOMPARE(EnPanel(v.Label1), QRect(127, 7, 14, 30));
    QCOMPARE(EnPanel(v.edtEnt), QRect(152, 7, 897, 32));
    QCOMPARE(EnPanel(v.UpDown1), QRect(1057, 5, 23, 35));
    QCOMPARE(EnPanel(v.btnBeta), QRect(1086, 6, 38, 33));
    QCOMPARE(EnPanel(v.btnBack), QRect(1129, 6, 38, 33));
    QCOMPARE(EnPanel(v.btnBetaAll), QRect(1176, 6, 44, 33));
    // Taller: the row stays 47 high at the bottom, the pages take the rest.
    int Alto = v.Panel2->height();
    v.resize(v.width(), v.height() + 100);
    QTRY_COMPARE(v.Panel2->height(), Alto + 100);
    QCOMPARE(v.Panel1->height(), 47);
    // Very small: the window stops where every control of the row still has its size and place,
    // the expression box as wide as the name box; the row stays whole above the status bar.
    v.resize(200, 60);
    QTRY_VERIFY(v.Panel1->width() < 500);
    QCOMPARE(v.Panel1->width(), 441);
    QCOMPARE(v.width(), 441);
    QCOMPARE(EnPanel(v.edtDef), QRect(8, 7, 109, 32));
    QCOMPARE(EnPanel(v.Label1), QRect(127, 7, 14, 30));
    QCOMPARE(EnPanel(v.edtEnt), QRect(152, 7, 109, 32));
    QCOMPARE(EnPanel(v.UpDown1), QRect(269, 5, 23, 35));
    QCOMPARE(EnPanel(v.btnBetaAll), QRect(388, 6, 44, 33));
    QCOMPARE(v.Panel1->height(), 47);
    QCOMPARE(v.StatusBar1->height(), 19);
    QVERIFY(v.PageControl1->tabBar()->isVisible());
    QVERIFY(v.Panel1->geometry().bottom() < v.centralWidget()->height());
  }

  void unMensajeLargoNoEnsanchaLaVentana() {
    int Ancho = b->V->width();
    b->Entra(QString(3000, u'X'));
    QVERIFY(b->Estado().startsWith("S\u00edmbolo no definido: XXX"));
    QTest::qWait(20);
    QCOMPARE(b->V->width(), Ancho);
  }

  void ordenDeTabulacion() {
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(b->V->edtDef));
    QList<QWidget*> Esperado{b->V->edtEnt, b->V->btnBeta, b->V->UpDown1, b->V->btnBetaAll};
    for (QWidget* w : Esperado) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), w);
    }
    // btnBack is disabled at start; once enabled it comes after ∀β.
    b->Entra("(\\x.x) y");
    b->Pulsa(b->V->btnBeta);
    b->V->btnBetaAll->setFocus();
    QTest::keyClick(b->V->btnBetaAll, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(b->V->btnBack));
  }

  void controlesQueSeExplican() {
    TVentPpal& v = *b->V;
    QCOMPARE(v.btnBeta->toolTip(), QStringLiteral("Reducir un paso"));
    QCOMPARE(v.btnBetaAll->toolTip(),
             QStringLiteral("Reducir hasta la forma normal (pulsar otra vez para parar)"));
    QCOMPARE(v.btnBack->toolTip(), QStringLiteral("Volver al término anterior"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{v.edtEnt, v.edtDef, v.UpDown1, v.Memo1, v.Lienzo}) {
      QVERIFY2(!w->toolTip().isEmpty() && !w->accessibleName().isEmpty(),
               qPrintable(w->objectName()));
    }
  }

  void fuentesPedidasPorNombre() {
    // The fonts must resolve to the families asked for, not to a fallback.
    TVentPpal& v = *b->V;
    for (QWidget* Caja : {static_cast<QWidget*>(v.edtEnt), static_cast<QWidget*>(v.edtDef)}) {
      QFontInfo f(Caja->font());
      QCOMPARE(f.family(), "DejaVu Sans Mono");
      QVERIFY(f.fixedPitch());
      QCOMPARE(f.pixelSize(), 21);
    }
    QFontInfo Texto(v.Memo1->font());
    QCOMPARE(Texto.family(), "Carlito");
    QVERIFY(Texto.bold());
    QCOMPARE(Texto.pointSize(), 18);
    for (QWidget* w : {static_cast<QWidget*>(v.Label1), static_cast<QWidget*>(v.btnBeta),
                       static_cast<QWidget*>(v.btnBack), static_cast<QWidget*>(v.btnBetaAll)}) {
      QFontInfo f(w->font());
      QCOMPARE(f.family(), "DejaVu Sans");
      QVERIFY(f.bold());
      QString t = w == v.Label1 ? v.Label1->text() : static_cast<QPushButton*>(w)->text();
      for (QChar c : t) QVERIFY(QFontMetrics(w->font()).inFont(c));
    }
  }

  void dialogos() {
    QFileDialog* Abrir = b->V->Dialogos.OpenDialog1();
    QCOMPARE(Abrir->nameFilters(), QStringList{"Ficheros de texto (*.txt)"});
    QCOMPARE(Abrir->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(Abrir->fileMode(), QFileDialog::AnyFile);
    QFileDialog* Salvar = b->V->Dialogos.SaveDialog1();
    QCOMPARE(Salvar->nameFilters(), QStringList{"Ficheros de texto (*.txt)"});
    QCOMPARE(Salvar->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(Salvar->defaultSuffix(), "TXT");
    // Made once.
    QCOMPARE(b->V->Dialogos.OpenDialog1(), Abrir);

    // Qt's own texts speak Spanish whatever the locale (the tests run in C.UTF-8).
    auto Etiqueta = [](QFileDialog* d, const char* Nombre) {
      QLabel* l = d->findChild<QLabel*>(Nombre);
      return l ? l->text() : QString();
    };
    auto Boton = [](QFileDialog* d, QDialogButtonBox::StandardButton Cual) {
      auto* Caja = d->findChild<QDialogButtonBox*>();
      QPushButton* p = Caja ? Caja->button(Cual) : nullptr;
      return p ? p->text() : QString();
    };
    Abrir->show();
    QCOMPARE(Etiqueta(Abrir, "lookInLabel"), "Ver en:");
    QCOMPARE(Etiqueta(Abrir, "fileNameLabel"), "&Nombre de fichero:");
    QCOMPARE(Boton(Abrir, QDialogButtonBox::Open), "&Abrir");
    QCOMPARE(Boton(Abrir, QDialogButtonBox::Cancel), "Cancelar");
    Abrir->hide();
    // The save dialog still asks before it replaces a file, in Spanish.
    QTemporaryDir Dir;
    QFile Existente(Dir.filePath("d.txt"));
    QVERIFY(Existente.open(QIODevice::WriteOnly));
    Existente.close();
    Salvar->setDirectory(Dir.path());
    Salvar->show();
    Salvar->selectFile("d.txt");
    QString Pregunta;
    QTimer::singleShot(0, this, [&] {
      auto* Caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!Caja) return;
      Pregunta = Caja->text();
      Caja->button(QMessageBox::No)->click();
    });
    Salvar->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    QVERIFY2(Pregunta.endsWith("¿Desea reemplazarlo?"), qPrintable(Pregunta));
    QVERIFY(Salvar->isVisible());
    Salvar->hide();
  }

  void lasCajasGuardanUnaLinea_data() {
    QTest::addColumn<QString>("Antes");
    QTest::addColumn<int>("Desde");
    QTest::addColumn<int>("Hasta");  // the selection replaced
    QTest::addColumn<QString>("Pegado");
    QTest::addColumn<QString>("Despues");
    QTest::newRow("al final") << "ab" << 2 << 2 << "cd\nef"
                              << "abcd";
    QTest::newRow("en medio") << "ab" << 1 << 1 << "x\r\ny"
                              << "axb";
    QTest::newRow("repetido") << "ab" << 1 << 1 << "b\nb"
                              << "abb";
    QTest::newRow("seleccion") << "xSELy" << 1 << 4 << "a\nb"
                               << "xay";
    QTest::newRow("todo") << "abc" << 0 << 3 << "\nzz"
                          << "";
    QTest::newRow("sin salto") << "ab" << 1 << 1 << "12"
                               << "a12b";
    QTest::newRow("separador") << "" << 0 << 0 << QString("p\u2029q") << "p";
    // The pasted text overlaps the text it replaces.
    QTest::newRow("solapa todo") << "\\x.x" << 0 << 4 << "I\n\\x.x"
                                 << "I";
    QTest::newRow("solapa el final") << "abc" << 0 << 3 << "zz\nabc"
                                     << "zz";
    QTest::newRow("solapa en medio") << "xaby" << 1 << 3 << "a\nab"
                                     << "xay";
  }
  void lasCajasGuardanUnaLinea() {
    QFETCH(QString, Antes);
    QFETCH(int, Desde);
    QFETCH(int, Hasta);
    QFETCH(QString, Pegado);
    QFETCH(QString, Despues);
    for (TLineaUnica* Caja : {b->V->edtEnt, b->V->edtDef}) {
      // Pasted with Ctrl+V.
      Caja->setText(Antes);
      Caja->setSelection(Desde, Hasta - Desde);
      QGuiApplication::clipboard()->setText(Pegado);
      QTest::keyClick(Caja, Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(Caja->text(), Despues);
      // Inserted any other way (a drop, the context menu, setText).
      Caja->setText(Antes);
      Caja->setSelection(Desde, Hasta - Desde);
      Caja->insert(Pegado);
      QCOMPARE(Caja->text(), Despues);
    }
    b->V->edtDef->setText("uno\ndos");
    QCOMPARE(b->V->edtDef->text(), "uno");
  }

  void signoEntero() {
    // ≡ fits its 14-pixel label, centred: a pixel clear on either side, no side cut.
    QImage Imagen = b->V->Label1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(Imagen.width(), 14);
    int Primera = -1, Ultima = -1;
    for (int x = 0; x < Imagen.width(); ++x)
      for (int y = 0; y < Imagen.height(); ++y)
        if (QColor(Imagen.pixel(x, y)).lightness() < 200) {
          if (Primera < 0) Primera = x;
          Ultima = x;
        }
    QVERIFY(Primera >= 1);
    QVERIFY(Ultima <= 12);
    QVERIFY(Ultima - Primera >= 9);
    QVERIFY(qAbs(Primera - (13 - Ultima)) <= 1);
  }

  void unaExpresionLargaLlegaEntera() {
    QString Larga = "\\x.x" + QString(" ").repeated(40000) + "y";
    b->V->edtEnt->setText(Larga);
    QCOMPARE(b->V->edtEnt->text().size(), Larga.size());
    b->Pestana(0);
    b->V->edtEnt->setFocus();
    QTest::keyClick(b->V->edtEnt, Qt::Key_Return);
    QCOMPARE(b->Memo(), "\\ a . a b");
  }

  void flechasSueltas() {
    TUpDown u;
    u.resize(u.sizeHint());
    QCOMPARE(u.size(), QSize(23, 35));
    QCOMPARE(u.Minimo(), 0);
    QCOMPARE(u.Maximo(), 100);
    QList<QPair<int, TUpDownDirection>> Avisos;
    bool Permite = true;
    u.AlCambiar = [&](int p, TUpDownDirection d) {
      Avisos.append({p, d});
      return Permite;
    };
    QPoint Arriba(11, 3), Abajo(11, 32);
    QTest::mouseClick(&u, Qt::LeftButton, {}, Arriba);
    QTest::mouseClick(&u, Qt::LeftButton, {}, Arriba);
    QCOMPARE(u.Posicion(), 2);
    QTest::mouseClick(&u, Qt::LeftButton, {}, Abajo);
    QCOMPARE(u.Posicion(), 1);
    Permite = false;
    QTest::mouseClick(&u, Qt::LeftButton, {}, Abajo);
    QCOMPARE(u.Posicion(), 1);
    Permite = true;
    QTest::mouseClick(&u, Qt::LeftButton, {}, Abajo);
    QTest::mouseClick(&u, Qt::LeftButton, {}, Abajo);
    QCOMPARE(u.Posicion(), 0);
    u.FijaPosicion(250);
    QCOMPARE(u.Posicion(), 100);
    QTest::mouseClick(&u, Qt::LeftButton, {}, Arriba);
    QCOMPARE(u.Posicion(), 100);
    QList<QPair<int, TUpDownDirection>> Esperado{{1, updUp},   {2, updUp},   {1, updDown},
                                                 {0, updDown}, {0, updDown}, {-1, updDown},
                                                 {101, updUp}};
    QCOMPARE(Avisos, Esperado);
    // The right button and clicks outside the arrows do nothing.
    QTest::mouseClick(&u, Qt::RightButton, {}, Arriba);
    QCOMPARE(Avisos.size(), Esperado.size());
  }
};

PRUEBAS_VENTANA(TPruebaAspecto)
#include "apariencia_test.moc"
