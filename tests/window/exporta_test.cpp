// SPDX-License-Identifier: GPL-3.0-or-later
// The window's exports and its start with a definitions file: the menu entries, their dialogs,
// and the error box.
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

#include "Banco.h"

class TPruebaExporta : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;
  QStringList Errores;

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

  void exportarDesdeElMenuFicheros() {
    QStringList Entradas;
    for (QAction* a : b->V->Ficheros1->actions())
      if (!a->isSeparator()) Entradas << a->text();
    QCOMPARE(Entradas,
             (QStringList{"Abrir..", "Salvar..", "Exportar diagrama…", "Exportar reducción…"}));

    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    QString Ruta = Dir.filePath("diagrama ñ.svg");
    QStringList Titulos, Filtros, Sufijos;
    b->V->Dialogos.FijaRespuestaDialogo([&](QFileDialog& d) -> std::optional<QString> {
      Titulos << d.windowTitle();
      Filtros << d.nameFilters();
      Sufijos << d.defaultSuffix();
      return Ruta;
    });
    b->V->ExportarDiagrama1->trigger();
    QCOMPARE(Errores, QStringList{"No hay término actual."});
    QVERIFY(Titulos.isEmpty());

    b->Entra("(\\x.x) y");
    b->V->ExportarDiagrama1->trigger();
    QCOMPARE(Titulos, QStringList{"Exportar diagrama"});
    QCOMPARE(Filtros, (QStringList{"Imagen SVG (*.svg)", "Imagen PNG (*.png)"}));
    QCOMPARE(Sufijos, QStringList{"svg"});
    QFile Svg(Ruta);
    QVERIFY(Svg.open(QIODevice::ReadOnly));
    QVERIFY(Svg.readAll().startsWith("<?xml"));

    Ruta = Dir.filePath("r.txt");
    b->V->ExportarReduccion1->trigger();
    QCOMPARE(Titulos.last(), "Exportar reducción");
    QCOMPARE(Sufijos.last(), "txt");
    QFile Texto(Ruta);
    QVERIFY(Texto.open(QIODevice::ReadOnly));
    QVERIFY(Texto.readAll().endsWith("\r\n0: (\\ a . a) b\r\n"));
    QCOMPARE(Errores.size(), 1);
  }

  void abreElFicheroDeLaLineaDeOrdenes() {
    b->V->AbreAlEmpezar(QStringLiteral(EJEMPLOS_DIR "/numerales.txt"));
    QVERIFY(b->V->Mesa().Sesion.Definiciones.Cuenta() > 0);
    QVERIFY(Errores.isEmpty());
    b->V->AbreAlEmpezar(QStringLiteral(EJEMPLOS_DIR "/no-existe.txt"));
    QCOMPARE(Errores, QStringList{"File not found."});
  }
};

PRUEBAS_VENTANA(TPruebaExporta)
#include "exporta_test.moc"
