// SPDX-License-Identifier: GPL-3.0-or-later
// The definitions file in the window: the open dialog as a user types into it, and the question
// before changed definitions are lost.
#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "Banco.h"
#include "uEjercicios.h"

class TPruebaFicheros : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;
  QStringList Errores;
  QTemporaryDir Dir;

  void Escribe(const QString& Nombre, const QByteArray& Bytes) {
    QFile f(Dir.filePath(Nombre));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Bytes);
  }
  // Chooses a file in the open dialog as a user does once it is up: types its name, then Enter.
  void TecleaEnElDialogo(const QString& Nombre) {
    QTimer::singleShot(100, b->V.get(), [Nombre] {
      auto* Dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(Dialogo);
      auto* Caja = Dialogo->findChild<QLineEdit*>("fileNameEdit");
      QVERIFY(Caja);
      QTest::keyClicks(Caja, Nombre);
      QTest::keyClick(Caja, Qt::Key_Return);
      // Should the dialog stay open, the test fails instead of hanging.
      if (Dialogo->isVisible()) Dialogo->reject();
    });
  }

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    Errores.clear();
    FijaRespuestaCajaError([this](QMessageBox& Caja) { Errores << Caja.text(); });
    QVERIFY(b->Abre());
  }
  void cleanup() {
    b.reset();
    FijaRespuestaCajaError(nullptr);
  }

  void elNombreAnteriorSeReemplazaAlTeclear() {
    Escribe("logica.txt", "V\n\\x y.x\n");
    Escribe("numerales.txt", "CERO\n\\f x.x\n");
    b->V->Dialogos.OpenDialog1()->setDirectory(Dir.path());
    TecleaEnElDialogo("logica.txt");
    b->V->Abrir1Click();
    QCOMPARE(b->V->Mesa().Sesion.Definiciones[0].Nombre, "V");
    // The dialog offers the last name again, selected: what is typed replaces it.
    TecleaEnElDialogo("numerales.txt");
    b->V->Abrir1Click();
    QCOMPARE(Errores, QStringList());
    QCOMPARE(b->V->Mesa().Sesion.Definiciones[0].Nombre, "CERO");
    // The names suggested while typing went with the dialog.
    auto* Caja = b->V->Dialogos.OpenDialog1()->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(!Caja->completer()->popup()->isVisible());
  }

  void cerrarPreguntaPorLasDefinicionesCambiadas() {
    int Preguntas = 0;
    int Boton = QMessageBox::Cancel;
    QString Texto;
    auto Responde = [&] {
      b->V->Dialogos.FijaRespuestaPregunta([&](QMessageBox& Caja) {
        ++Preguntas;
        Texto = Caja.text();
        if (Caja.windowTitle() != "Cálculo Lambda" || Caja.textFormat() != Qt::PlainText ||
            Caja.button(QMessageBox::Save)->text() != "&Guardar" ||
            Caja.button(QMessageBox::Discard)->text() != "&Descartar" ||
            Caja.button(QMessageBox::Cancel)->text() != "&Cancelar" ||
            Caja.defaultButton() != Caja.button(QMessageBox::Save))
          Texto = "caja distinta";
        return Boton;
      });
    };
    // Nothing changed, or a term without a name: the window closes without a question.
    Responde();
    b->Entra("\\x.x");
    QVERIFY(b->V->close());
    QCOMPARE(Preguntas, 0);
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
    Responde();

    // A definition entered: Cancelar keeps the window open and working.
    b->Entra("\\x.x", "I");
    QVERIFY(!b->V->close());
    QCOMPARE(Preguntas, 1);
    QCOMPARE(Texto, "Las definiciones han cambiado. ¿Guardarlas antes de cerrar?");
    QVERIFY(b->V->isVisible());
    QVERIFY(!b->V->Mesa().Cerrado());
    b->Entra("I I");
    QCOMPARE(b->V->Mesa().Sesion.TerminoActual()->Texto(), "(\\ a . a) (\\ b . b)");

    // Guardar, the save dialog cancelled: still open. Then saved: closed, and the file written.
    Boton = QMessageBox::Save;
    b->V->Dialogos.FijaRespuestaDialogo([](QFileDialog&) -> std::optional<QString> { return {}; });
    QVERIFY(!b->V->close());
    const QString Ruta = Dir.filePath("d.txt");
    b->V->Dialogos.FijaRespuestaDialogo(
        [&](QFileDialog&) -> std::optional<QString> { return Ruta; });
    QVERIFY(b->V->close());
    QCOMPARE(Preguntas, 3);
    QVERIFY(b->V->Mesa().Cerrado());
    QFile f(Ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), "I\r\n\\ a . a\r\n");
    QCOMPARE(Errores, QStringList());
  }

  // "Lecciones" opens a lesson the program carries; its exercises show in their panel, a
  // definition is checked from it, and the progress comes back in the next session's window.
  void unaLeccionYSusEjercicios() {
    QAction* Logica = b->V->findChild<QAction*>("Leccion_logica.txt");
    QVERIFY(Logica);
    Logica->trigger();
    QCOMPARE(b->V->windowTitle(), "Cálculo Lambda - logica.txt");
    TPanelEjercicios* p = b->V->Ejercicios1;
    QVERIFY(p->isVisible());
    QVERIFY(p->Lista->count() >= 3);
    b->Entra("\\p q.p FALSO VERDADERO", "NOY");  // wrong: NO (YLOG p q) is right
    b->Pulsa(p->Comprobar1);
    QVERIFY(p->Resultado->text().contains("Todavía no"));
    b->Entra("\\p q.NO (YLOG p q)", "NOY");
    b->Pulsa(p->Comprobar1);
    QVERIFY(p->Resultado->text().contains("Muy bien"));
    QVERIFY(p->Lista->item(0)->text().contains("resuelto"));
    b = std::make_unique<TBanco>();
    QVERIFY(b->Abre());
    b->V->findChild<QAction*>("Leccion_logica.txt")->trigger();
    QVERIFY(b->V->Ejercicios1->Lista->item(0)->text().contains("resuelto"));
    QCOMPARE(Errores, QStringList());
  }
};

PRUEBAS_VENTANA(TPruebaFicheros)
#include "ficheros_test.moc"
