// SPDX-License-Identifier: GPL-3.0-or-later
// Between sessions: the options that go beyond the first start and the last folder of the file
// dialogs are kept, what every start fixes is not; the caption names the file last opened or
// saved.
#include <QActionGroup>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>

#include "Banco.h"
#include "uEstrategia.h"
#include "uPasos.h"

class TPruebaRecuerdo : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> Ajustes;  // a settings store of each test's own

  static QAction* Estrategia(TVentPpal& v, TEstrategia e) {
    for (QAction* a : v.Estrategias1->actions())
      if (a->data().toInt() == int(e)) return a;
    return nullptr;
  }
  static QList<QAction*> Opciones(TVentPpal& v) {
    return {v.ConservarNombres1, v.NombresDefiniciones1, v.HaloDiagrama1, v.DetenerCiclo1,
            v.MostrarPasos1};
  }
  // A session of the program: the window made, then the options of the last one restored.
  static std::unique_ptr<TBanco> Sesion() {
    auto b = std::make_unique<TBanco>();
    b->V->Menus.RecuerdaOpciones();
    return b;
  }
  static void Escribe(const QString& Ruta, const QByteArray& Texto) {
    QFile f(Ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Texto);
  }

 private slots:
  void init() {
    Ajustes = std::make_unique<QTemporaryDir>();
    AjustesEn(Ajustes->path());
  }

  void opcionesEntreSesiones() {
    QTemporaryDir Dir;
    QVERIFY(QDir(Dir.path()).mkdir("curso"));
    const QString Carpeta = Dir.filePath("curso");
    Escribe(Carpeta + "/d.txt", "I\n\\x.x\n");
    {
      auto b = Sesion();
      QVERIFY(b->Abre());
      // A first start: everything as the window makes it.
      QVERIFY(Estrategia(*b->V, TEstrategia::Normal)->isChecked());
      QVERIFY(!b->V->ReduccionEta1->isChecked());
      for (QAction* a : Opciones(*b->V)) QVERIFY(!a->isChecked());
      Estrategia(*b->V, TEstrategia::Aplicativo)->trigger();
      b->V->ReduccionEta1->trigger();
      for (QAction* a : Opciones(*b->V)) a->trigger();
      b->Pestana(0);
      b->V->resize(900, 500);
      b->V->Dialogos.FijaRespuestaDialogo(
          [&](QFileDialog&) -> std::optional<QString> { return Carpeta + "/d.txt"; });
      b->V->Abrir1Click();
      QCOMPARE(b->V->Mesa().Sesion.Definiciones.Cuenta(), 1u);
    }
    {
      auto b = Sesion();
      QVERIFY(b->Abre());
      QVERIFY(Estrategia(*b->V, TEstrategia::Aplicativo)->isChecked());
      QVERIFY(b->V->ReduccionEta1->isChecked() && b->V->ReduccionEta1->isEnabled());
      QVERIFY(!b->V->Betamltiple1->isChecked() && !b->V->Betamltiple1->isEnabled());
      for (QAction* a : Opciones(*b->V)) QVERIFY2(a->isChecked(), qPrintable(a->text()));
      QVERIFY(b->V->Pasos1->isVisible());
      QCOMPARE(b->V->PageControl1->currentIndex(), 1);
      QCOMPARE(b->V->centralWidget()->width(), TVentPpal::AnchoCliente);
      for (QFileDialog* d : {b->V->Dialogos.OpenDialog1(), b->V->Dialogos.SaveDialog1(),
                             b->V->Dialogos.DialogoDiagrama1(), b->V->Dialogos.DialogoReduccion1()})
        QCOMPARE(d->directory().absolutePath(), QDir(Carpeta).absolutePath());
      // A strategy without η unticks it, and that is what is kept.
      Estrategia(*b->V, TEstrategia::PorNombre)->trigger();
      QVERIFY(!b->V->ReduccionEta1->isChecked());
    }
    {
      auto b = Sesion();
      QVERIFY(Estrategia(*b->V, TEstrategia::PorNombre)->isChecked());
      QVERIFY(!b->V->ReduccionEta1->isChecked() && !b->V->ReduccionEta1->isEnabled());
      QVERIFY(!b->V->Betamltiple1->isEnabled());
      Estrategia(*b->V, TEstrategia::Normal)->trigger();
      b->V->Betamltiple1->trigger();
      QVERIFY(b->V->Betamltiple1->isChecked());
    }
    {
      // "Beta múltiple" starts unchecked, whatever the last session left.
      auto b = Sesion();
      QVERIFY(Estrategia(*b->V, TEstrategia::Normal)->isChecked());
      QVERIFY(b->V->Betamltiple1->isEnabled() && !b->V->Betamltiple1->isChecked());
      QVERIFY(b->V->ReduccionEta1->isEnabled() && !b->V->ReduccionEta1->isChecked());
      QVERIFY(b->V->ConservarNombres1->isChecked());
    }
    // A window that is not asked to (every other test's) starts as at a first start.
    TBanco b;
    QVERIFY(b.Abre());
    for (QAction* a : Opciones(*b.V)) QVERIFY(!a->isChecked());
    QVERIFY(!b.V->Pasos1->isVisible());
  }

  // Once an open or a save has gone through, the caption names the file, without its folder;
  // one that failed leaves it as it was.
  void tituloNombraElFichero() {
    QTemporaryDir Dir;
    Escribe(Dir.filePath("numerales.txt"), "DOS\n\\f x.f (f x)\n");
    Escribe(Dir.filePath("malo.txt"), "K\n(\n");
    QStringList Errores;
    FijaRespuestaCajaError([&](QMessageBox& Caja) { Errores << Caja.text(); });
    TBanco b;
    QVERIFY(b.Abre());
    QCOMPARE(b.V->windowTitle(), "Cálculo Lambda - Lógica y computabilidad");
    QString Elegido;
    b.V->Dialogos.FijaRespuestaDialogo(
        [&](QFileDialog&) -> std::optional<QString> { return Elegido; });
    const auto Tras = [&](const QString& Fichero, void (TVentPpal::*Orden)()) {
      Elegido = Dir.filePath(Fichero);
      (b.V.get()->*Orden)();
      return b.V->windowTitle();
    };
    QCOMPARE(Tras("malo.txt", &TVentPpal::Abrir1Click), "Cálculo Lambda - Lógica y computabilidad");
    QCOMPARE(Tras("numerales.txt", &TVentPpal::Abrir1Click), "Cálculo Lambda - numerales.txt");
    QCOMPARE(Tras("no/hay/otro.txt", &TVentPpal::Salvar1Click), "Cálculo Lambda - numerales.txt");
    QCOMPARE(Tras("otro.txt", &TVentPpal::Salvar1Click), "Cálculo Lambda - otro.txt");
    QCOMPARE(Errores.size(), 2);
    b.V->AbreAlEmpezar(Dir.filePath("numerales.txt"));
    QCOMPARE(b.V->windowTitle(), "Cálculo Lambda - numerales.txt");
    FijaRespuestaCajaError({});
  }
};

PRUEBAS_VENTANA(TPruebaRecuerdo)
#include "recuerdo_test.moc"
