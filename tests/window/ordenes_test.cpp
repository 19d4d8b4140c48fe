// SPDX-License-Identifier: GPL-3.0-or-later
// The window's wiring: real keys and clicks reach the workbench's commands, and what they set
// reaches the widgets.
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include "Banco.h"
#include "uLambda.h"
#include "uParser.h"

class TPruebaOrdenes : public QObject {
  Q_OBJECT

  std::unique_ptr<TBanco> b;
  QStringList Errores;           // texts of the error boxes, which are never shown
  bool ErroresComoTexto = true;  // every box showed its text as plain text

 private slots:
  void init() {
    b = std::make_unique<TBanco>();
    Errores.clear();
    ErroresComoTexto = true;
    FijaRespuestaCajaError([this](QMessageBox& Caja) {
      QCOMPARE(Caja.icon(), QMessageBox::Critical);
      QCOMPARE(Caja.windowTitle(), "Cálculo Lambda");
      QCOMPARE(Caja.standardButtons(), QMessageBox::Ok);
      // Wide enough for its title beside a window manager's buttons, however short the text.
      QVERIFY(Caja.sizeHint().width() >=
              QFontMetrics(Caja.font()).horizontalAdvance(Caja.windowTitle()) + 200);
      Errores << Caja.text();
      ErroresComoTexto = ErroresComoTexto && Caja.textFormat() == Qt::PlainText;
    });
    QVERIFY(b->Abre());
  }
  void cleanup() {
    b.reset();
    FijaRespuestaCajaError(nullptr);
  }

  void ejemploDeCincoOrdenes() {
    b->Pestana(0);
    QCOMPARE(b->V->PageControl1->currentIndex(), 0);
    b->Entra("\\x.x", "I");
    QCOMPARE(b->Memo(), "\\ a . a");
    QCOMPARE(b->Estado(), "");
    QCOMPARE(b->V->edtDef->text(), "");
    QVERIFY(!b->V->btnBack->isEnabled());

    b->Entra("I I");
    QCOMPARE(b->Memo(), "(\\ a . a) (\\ b . b)");
    QVERIFY(!b->V->btnBack->isEnabled());

    b->Pulsa(b->V->btnBeta);
    QCOMPARE(b->Memo(), "\\ a . a");
    QCOMPARE(b->Estado(), "");
    QVERIFY(b->V->btnBack->isEnabled());

    b->Pulsa(b->V->btnBack);
    QCOMPARE(b->Memo(), "(\\ a . a) (\\ b . b)");
    QVERIFY(!b->V->btnBack->isEnabled());

    b->Pulsa(b->V->btnBetaAll);
    QCOMPARE(b->Memo(), "\\ a . a");
    QCOMPARE(b->Estado(), " 1 reducciones");
    QVERIFY(!b->V->btnBack->isEnabled());
    QCOMPARE(b->V->Mesa().Sesion.Definiciones.Cuenta(), 1u);
    QCOMPARE(b->V->Mesa().Sesion.Definiciones[0].Nombre, "I");
    // The workbench never clears the expression box.
    QCOMPARE(b->V->edtEnt->text(), "I I");
    QVERIFY(Errores.isEmpty());
  }

  void errorDeAnalisisEnLaBarraDeEstado() {
    b->Pestana(0);
    b->Entra("\\x.x");
    b->Entra("(\\x.x");
    QCOMPARE(b->Estado(), "Paréntesis no cerrado");
    // No current term now: the views keep the old one and β does nothing.
    b->Pulsa(b->V->btnBeta);
    QCOMPARE(b->Memo(), "\\ a . a");
    QVERIFY(!b->V->btnBack->isEnabled());
    // Windows-1252 both ways: ñ goes in from the box and comes back in the message.
    b->Entra("Ñu");
    QCOMPARE(b->Estado(), "Símbolo no definido: Ñu");
    b->Entra("\\x.x x");
    QCOMPARE(b->Estado(), "");
    QCOMPARE(b->Memo(), "\\ a . a a");
  }

  void nombresEnWindows1252() {
    b->Pestana(0);
    b->Entra("\\x.x", "Año");
    b->Entra("Año Año");
    QCOMPARE(b->Estado(), "");
    QCOMPARE(b->Memo(), "(\\ a . a) (\\ b . b)");
    TDefiniciones& d = b->V->Mesa().Sesion.Definiciones;
    QCOMPARE(d.Cuenta(), 1u);
    QCOMPARE(d[0].Nombre, "A\xF1o");
    // A character that Windows-1252 cannot hold, in either box, refuses the Enter; nothing is
    // entered, stored or replaced.
    TExprLambda* Actual = b->V->Mesa().Sesion.TerminoActual();
    b->Entra("\\y.y y", "Ω");
    QCOMPARE(b->Estado(), "Carácter no admitido: Ω");
    QCOMPARE(b->V->edtDef->text(), "Ω");
    b->Entra("\\y.y y", "año");
    QCOMPARE(b->Estado(), "");
    b->Entra("∀ z");
    QCOMPARE(b->Estado(), "Carácter no admitido: ∀");
    b->V->edtEnt->setText("Año 😀");  // pasted: keys bring no character past U+FFFF
    QTest::keyClick(b->V->edtEnt, Qt::Key_Return);
    QCOMPARE(b->Estado(), "Carácter no admitido: 😀");
    QCOMPARE(d.Cuenta(), 1u);
    QCOMPARE(b->Memo(), "\\ a . a a");
    QVERIFY(b->V->Mesa().Sesion.TerminoActual() != Actual);
    Actual = b->V->Mesa().Sesion.TerminoActual();
    b->Entra("Año", "Ω");
    QCOMPARE(b->V->Mesa().Sesion.TerminoActual(), Actual);
    QCOMPARE(b->Memo(), "\\ a . a a");
  }

  void mensajesComoTextoPlano() {
    // What the user typed is shown as typed, however much it looks like markup.
    b->Entra("<B>X");
    QCOMPARE(b->Estado(), "Símbolo no definido: <B>X");
    auto* Etiqueta = b->V->StatusBar1->findChild<QLabel*>("StatusBar1Texto");
    QVERIFY(Etiqueta->sizeHint().width() >= Etiqueta->fontMetrics().horizontalAdvance(b->Estado()));
    QTemporaryDir Dir;
    const QString Ruta = Dir.filePath("d.txt");
    QFile f(Ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<i>K</i>\n(\n");
    f.close();
    b->V->Dialogos.FijaRespuestaDialogo(
        [&](QFileDialog&) -> std::optional<QString> { return Ruta; });
    b->V->Abrir1Click();
    QCOMPARE(Errores, QStringList{"Error en la definición \"<i>K</i>\" (línea 2): Paréntesis no "
                                  "cerrado."});
    QVERIFY(ErroresComoTexto);
  }

  // The focus starts in the name box, and Intro there goes on to the expression box without
  // entering or storing anything; an expression typed there first, as a new user does, moves
  // over and is entered. Empty, both boxes say in grey what they are for.
  void introEnLaCajaDelNombre() {
    QVERIFY(!b->V->edtDef->placeholderText().isEmpty());
    QVERIFY(!b->V->edtEnt->placeholderText().isEmpty());
    QCOMPARE(QApplication::focusWidget(), b->V->edtDef);
    b->Teclea(b->V->edtDef, "\\x.x");
    QTest::keyClick(b->V->edtDef, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), b->V->edtEnt);
    QCOMPARE(b->V->edtEnt->text(), "\\x.x");
    QCOMPARE(b->V->edtDef->text(), "");
    QVERIFY(b->V->Mesa().Sesion.TerminoActual() != nullptr);
    QCOMPARE(b->V->Mesa().Sesion.Definiciones.Cuenta(), 0u);

    b->V->FormCreate();
    b->Escribe(b->V->edtEnt, "\\y.y");
    for (const QString Nombre : {"I", "(\\z.z) q"}) {
      b->Escribe(b->V->edtDef, Nombre);
      QTest::keyClick(b->V->edtDef, Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), b->V->edtEnt);
      QCOMPARE(b->V->edtEnt->text(), "\\y.y");
      QCOMPARE(b->V->edtDef->text(), Nombre);
      QCOMPARE(b->V->Mesa().Sesion.TerminoActual(), nullptr);
      QCOMPARE(b->V->Mesa().Sesion.Definiciones.Cuenta(), 0u);
    }
  }

  void betaTodoSinFormaNormalParaConOtroClic() {
    b->Entra("(\\x.x x) (\\x.x x)");
    // The second click comes in through the loop's own event processing.
    QTimer::singleShot(150, b->V.get(), [this] { b->Pulsa(b->V->btnBetaAll); });
    // Should the loop not stop, the test fails instead of hanging.
    bool Atascado = false;
    QTimer::singleShot(10000, b->V.get(), [this, &Atascado] {
      Atascado = b->V->Mesa().Todo.Ejecutando;
      b->V->Mesa().FormClose();
    });
    b->Pulsa(b->V->btnBetaAll);
    QVERIFY(!Atascado);
    QVERIFY(!b->V->Mesa().Todo.Ejecutando);
    QVERIFY(!b->V->Mesa().Cerrado());
    QVERIFY(b->Estado().endsWith(" reducciones"));
    QVERIFY(NumReducciones > 1);
    QVERIFY(!b->V->btnBack->isEnabled());
    // The window goes on working.
    b->Pulsa(b->V->btnBeta);
    QVERIFY(b->V->btnBack->isEnabled());
  }

  void betaTodoEnTextoParaConOtroClic() {
    // A term that grows at every pass, on the text view: the second click still gets through,
    // and the text view ends on the last term.
    b->Pestana(0);
    b->Entra("(\\x.x x y) (\\x.x x y)");
    QTimer::singleShot(300, b->V.get(), [this] { b->Pulsa(b->V->btnBetaAll); });
    QTimer::singleShot(10000, b->V.get(), [this] { b->V->Mesa().FormClose(); });
    b->Pulsa(b->V->btnBetaAll);
    TMesaTrabajo& m = b->V->Mesa();
    QVERIFY(!m.Cerrado());
    QVERIFY(NumReducciones > 1);
    QVERIFY(b->Estado().endsWith(" reducciones"));
    ::Renumera(m.Sesion.TerminoActual(), m.Sesion.NumVars);
    QVERIFY(b->V->Memo1->Texto() == m.Sesion.TerminoActual()->Texto());
  }

  void textoDeMillonesDeCaracteres() {
    // The Church numeral 750000 prints to over two million characters.
    TMesaTrabajo& m = b->V->Mesa();
    std::string Numeral = "\\f x.";
    for (int i = 0; i < 750000; ++i) Numeral += "f (";
    Numeral += "x" + std::string(750000, ')');
    std::string Error;
    m.Sesion.Definiciones.Agrega("GRANDE", Analiza(Numeral, m.Sesion.Definiciones, nullptr, Error));
    b->Pestana(0);
    b->Entra("GRANDE");
    TMemo* Memo = b->V->Memo1;
    const std::string& Bytes = Memo->Texto();
    QVERIFY(Bytes == m.Sesion.TerminoActual()->Texto());
    QVERIFY(Bytes.size() > 2'000'000);

    // Every line fits the box; where words are short, every line ends at a blank.
    std::size_t Lineas = Memo->NumLineas();
    QFontMetricsF Metrica(Memo->font());
    int Ancho = Memo->viewport()->width();
    for (std::size_t i = 0; i < Lineas / 2; i += 997) {
      std::size_t Desde = Memo->Modelo().InicioLinea(i);
      std::size_t Hasta = i + 1 < Lineas ? Memo->Modelo().InicioLinea(i + 1) : Bytes.size();
      if (i > 0) QCOMPARE(Bytes[Desde - 1], ' ');
      QString Linea =
          QString::fromLatin1(Bytes.data() + Desde, static_cast<qsizetype>(Hasta - Desde));
      QVERIFY(Metrica.horizontalAdvance(Linea.trimmed()) <= Ancho);
    }

    // To the end by the keyboard, then back over the last characters, and copy them.
    QTest::mouseClick(Memo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::keyClick(Memo, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(Memo->Modelo().Cursor(), Bytes.size());
    QScrollBar* Barra = Memo->verticalScrollBar();
    QVERIFY(Barra->value() > 0);
    QVERIFY(Memo->PrimeraVisible() + 3 >= Lineas - Memo->viewport()->height() / 29);
    for (int i = 0; i < 4; ++i) QTest::keyClick(Memo, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(Memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), "))))");

    // A drag across lines in the middle copies exactly the bytes between its ends.
    Barra->setValue(Barra->maximum() / 2);
    QTest::mousePress(Memo->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
    QMouseEvent Mueve(QEvent::MouseMove, QPointF(150, 70),
                      Memo->viewport()->mapToGlobal(QPointF(150, 70)), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Memo->viewport(), &Mueve);
    QTest::mouseRelease(Memo->viewport(), Qt::LeftButton, {}, QPoint(150, 70));
    std::size_t Desde = Memo->Modelo().Ancla(), Hasta = Memo->Modelo().Cursor();
    QVERIFY(Desde > Bytes.size() / 3 && Hasta > Desde + 50);
    QTest::keyClick(Memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromLatin1(Bytes.data() + Desde, static_cast<qsizetype>(Hasta - Desde)));
  }

  void cicloDetenidoEnSeguidaYBetaDeshabilitado() {
    // At the window's own pace, Omega stops within two passes of its first repetition.
    b->V->DetenerCiclo1->setChecked(true);
    b->Pestana(0);
    b->Entra("(\\x.x x) (\\y.y y)");
    bool BetaDuranteElBucle = true;
    QTimer::singleShot(0, b->V.get(), [&] { BetaDuranteElBucle = b->V->btnBeta->isEnabled(); });
    b->V->DetenerCiclo1->setChecked(false);
    QTimer::singleShot(50, b->V.get(), [this] { b->V->DetenerCiclo1->setChecked(true); });
    b->Pulsa(b->V->btnBetaAll);
    QVERIFY(!BetaDuranteElBucle);
    QVERIFY(b->V->btnBeta->isEnabled());
    QVERIFY(NumReducciones > 3);  // turned on while it ran, it stops there all the same
    b->Pulsa(b->V->btnBetaAll);
    QVERIFY2(NumReducciones <= 3, qPrintable(b->Estado()));
  }

  void copiaDemasiadoGrandeSeRehusa() {
    // Past its limit a copy is refused with a message, the clipboard left as it was; within it,
    // the clipboard holds the selection's bytes once, as UTF-8, and nothing beside them.
    b->Pestana(0);
    b->Entra("\\x y z.x y z z y x");
    TMemo* Memo = b->V->Memo1;
    const std::string Bytes = Memo->Texto();
    QVERIFY(Bytes.size() > 20);
    QGuiApplication::clipboard()->setText("antes");
    QTest::mouseClick(Memo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::keyClick(Memo, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Memo->Modelo().Cursor(), Bytes.size());
    Memo->LimiteCopia = Bytes.size() - 1;
    QTest::keyClick(Memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), "antes");
    QCOMPARE(b->Estado(), QStringLiteral("Selección demasiado grande para copiarla: más de %1 "
                                         "caracteres")
                              .arg(Bytes.size() - 1));
    Memo->LimiteCopia = Bytes.size();
    QTest::keyClick(Memo, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* Datos = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(Datos->formats(), QStringList{"text/plain"});
    QCOMPARE(Datos->data("text/plain"), QByteArray::fromStdString(Bytes));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(Bytes));
    // The limit in the message is grouped as every number of the window.
    QLocale Antes;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Memo->LimiteCopia = 1234;
    Memo->FijaTexto(std::make_shared<const std::string>(2000, 'x'));
    QTest::keyClick(Memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(b->Estado(), "Selección demasiado grande para copiarla: más de 1,234 caracteres");
    QLocale::setDefault(Antes);
  }

  void cerrarDuranteBetaTodoTerminaElBucle() {
    b->Pestana(0);
    b->Entra("(\\x.x x) (\\x.x x)");
    QTimer::singleShot(150, b->V.get(), [this] { b->V->close(); });
    QTimer::singleShot(10000, b->V.get(), [this] { b->V->Mesa().FormClose(); });
    b->Pulsa(b->V->btnBetaAll);
    QVERIFY(!b->V->isVisible());
    QVERIFY(b->V->Mesa().Cerrado());
    QVERIFY(!b->V->Mesa().Todo.Ejecutando);
    // Every later command does nothing.
    QString Antes = b->Memo();
    b->V->btnBetaClick();
    QCOMPARE(b->Memo(), Antes);
    QVERIFY(Errores.isEmpty());
  }

  void flechasEnAmbasPestanas() {
    TMesaTrabajo& m = b->V->Mesa();
    b->Entra("\\x.x");
    b->Flecha(true);
    QCOMPARE(m.Vistas.Zoom, 1.2);
    QCOMPARE(b->V->UpDown1->Posicion(), 1);
    b->Flecha(false);
    QCOMPARE(b->V->UpDown1->Posicion(), 0);
    QCOMPARE(m.Vistas.Zoom, 1.2 / 1.2);
    // At the bottom of the range the down arrow still counts as down.
    b->Flecha(false);
    QCOMPARE(b->V->UpDown1->Posicion(), 0);
    QCOMPARE(m.Vistas.Zoom, 1.0 / 1.2);

    b->Pestana(0);
    b->Flecha(true);
    QCOMPARE(b->V->Vista().TamanoFuenteMemo(), 20);
    QCOMPARE(b->V->Memo1->font().pointSize(), 20);
    QCOMPARE(m.Vistas.Zoom, 1.0 / 1.2);
    // At the top of the range the up arrow still counts as up.
    b->V->UpDown1->FijaPosicion(100);
    b->Flecha(true);
    QCOMPARE(b->V->UpDown1->Posicion(), 100);
    QCOMPARE(b->V->Memo1->font().pointSize(), 22);
    b->Flecha(false);
    QCOMPARE(b->V->UpDown1->Posicion(), 99);
    QCOMPARE(b->V->Memo1->font().pointSize(), 20);
    // The keyboard works the arrows too once the spinner has the focus.
    b->V->UpDown1->setFocus();
    QTest::keyClick(b->V->UpDown1, Qt::Key_Up);
    QCOMPARE(b->V->Memo1->font().pointSize(), 22);
  }

  void tamanoDeFuenteSinTamano() {
    IVista& v = b->V->Vista();
    for (int p : {0, -4, -1000}) {
      v.FijaTamanoFuenteMemo(p);
      QCOMPARE(v.TamanoFuenteMemo(), p);
      QCOMPARE(b->V->Memo1->font().pointSize(), 1);
    }
    v.FijaTamanoFuenteMemo(30);
    QCOMPARE(v.TamanoFuenteMemo(), 30);
    QCOMPARE(b->V->Memo1->font().pointSize(), 30);
  }

  void cambioDePestana() {
    QCOMPARE(b->V->PageControl1->currentIndex(), 1);
    b->Entra("(\\x.x) ((\\y.y) z)");
    b->Pulsa(b->V->btnBetaAll);
    QCOMPARE(b->Estado(), " 2 reducciones");
    // Run-all on the diagram tab draws and does not print: the text comes with the tab.
    QCOMPARE(b->Memo(), "(\\ a . a) ((\\ b . b) c)");
    b->Pestana(0);
    QCOMPARE(b->V->PageControl1->currentIndex(), 0);
    QCOMPARE(b->Memo(), "a");
  }

  void betaMultipleSeAlternaDesdeElMenu() {
    QVERIFY(!b->V->Betamltiple1->isChecked());
    // From the keyboard: Alt+O opens "&Opciones", Enter takes its entry.
    QTest::keyClick(b->V.get(), Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(b->V->Pciones1->isVisible());
    QTest::keyClick(b->V->Pciones1, Qt::Key_Down);
    QTest::keyClick(b->V->Pciones1, Qt::Key_Return);
    QTRY_VERIFY(!b->V->Pciones1->isVisible());
    QVERIFY(b->V->Betamltiple1->isChecked());

    b->Pestana(0);
    b->Entra("f ((\\x.x) y) ((\\x.x) z)");
    b->Pulsa(b->V->btnBeta);
    QCOMPARE(b->Memo(), "a b c");

    // With the mouse: the menu bar, then the entry.
    QMenuBar* Barra = b->V->MainMenu1;
    QTest::mouseClick(Barra, Qt::LeftButton, {},
                      Barra->actionGeometry(b->V->Pciones1->menuAction()).center());
    QTRY_VERIFY(b->V->Pciones1->isVisible());
    QTest::mouseClick(b->V->Pciones1, Qt::LeftButton, {},
                      b->V->Pciones1->actionGeometry(b->V->Betamltiple1).center());
    QTRY_VERIFY(!b->V->Pciones1->isVisible());
    QVERIFY(!b->V->Betamltiple1->isChecked());

    b->Entra("f ((\\x.x) y) ((\\x.x) z)");
    b->Pulsa(b->V->btnBeta);
    QCOMPARE(b->Memo(), "a b ((\\ c . c) d)");
  }

  void salvarYAbrirPorLaCostura() {
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString Ruta = Dir.filePath("defs ñ.txt");
    QStringList Titulos;
    b->V->Dialogos.FijaRespuestaDialogo([&](QFileDialog& d) -> std::optional<QString> {
      Titulos << d.windowTitle();
      return Ruta;
    });
    b->Entra("\\x.x", "I");
    b->Entra("\\x y.x", "K");
    QTest::keyClick(b->V.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(Titulos, QStringList{"Salvar definiciones"});
    QFile f(Ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("I\r\n\\ a . a\r\nK\r\n\\ a . \\ b . a\r\n"));

    TBanco Otro;
    QVERIFY(Otro.Abre());
    Otro.V->Dialogos.FijaRespuestaDialogo([&](QFileDialog& d) -> std::optional<QString> {
      Titulos << d.windowTitle();
      return Ruta;
    });
    QTest::keyClick(Otro.V.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Titulos.last(), "Abrir definiciones");
    QCOMPARE(Otro.V->Mesa().Sesion.Definiciones.Cuenta(), 2u);
    Otro.Pestana(0);
    Otro.Entra("K I");
    QCOMPARE(Otro.Estado(), "");
    QCOMPARE(Otro.Memo(), "(\\ a . \\ b . a) (\\ c . c)");

    // A cancelled dialog changes nothing.
    Otro.V->Dialogos.FijaRespuestaDialogo([](QFileDialog&) { return std::nullopt; });
    QTest::keyClick(Otro.V.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(Otro.V->Mesa().Sesion.Definiciones.Cuenta(), 2u);
    QVERIFY(Errores.isEmpty());
  }

  void ficheroQueNoExisteVaALaCajaDeError() {
    QTemporaryDir Dir;
    b->V->Dialogos.FijaRespuestaDialogo(
        [&](QFileDialog&) -> std::optional<QString> { return Dir.filePath("no-esta.txt"); });
    b->Entra("\\x.x", "I");
    // Through the menu, with the mouse.
    QMenuBar* Barra = b->V->MainMenu1;
    QTest::mouseClick(Barra, Qt::LeftButton, {},
                      Barra->actionGeometry(b->V->Ficheros1->menuAction()).center());
    QTRY_VERIFY(b->V->Ficheros1->isVisible());
    QTest::mouseClick(b->V->Ficheros1, Qt::LeftButton, {},
                      b->V->Ficheros1->actionGeometry(b->V->Abrir1).center());
    QCOMPARE(Errores, QStringList{"File not found."});
    // The definitions stay, and the window goes on working.
    QCOMPARE(b->V->Mesa().Sesion.Definiciones.Cuenta(), 1u);
    b->Pestana(0);
    b->Entra("I y");
    QCOMPARE(b->Memo(), "(\\ a . a) b");
  }

  void excepcionQueEscapaDeUnManejador() {
    struct TFalla : QObject {
      bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Fallo de prueba");
        return QObject::event(e);
      }
    } Falla;
    QEvent Evento(QEvent::User);
    QCoreApplication::sendEvent(&Falla, &Evento);
    QCoreApplication::postEvent(&Falla, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&Falla);
    QCOMPARE(Errores, (QStringList{"Fallo de prueba.", "Fallo de prueba."}));
  }

  void lienzoMuestraElDiagrama() {
    // Lienzo 1009 pixels wide, the width the diagram's figures are given for.
    b->V->resize(b->V->width() + 1009 - b->V->Lienzo->width(), b->V->height());
    QTRY_COMPARE(b->V->Lienzo->width(), 1009);
    b->Entra("(\\a.a) b");
    QImage Imagen = b->V->Lienzo->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(Imagen.width(), 1009);
    // The bitmap is shown over its own pixels, not a copy.
    QCOMPARE(b->V->ImagenLienzo().constBits(), b->V->Mesa().Vistas.Bitmap.Pixeles());
    auto Color = [&](int x, int y) { return QColor(Imagen.pixel(x, y)); };
    QCOMPARE(Color(0, 0), QColor(255, 255, 240));
    QCOMPARE(Color(1008, Imagen.height() - 1), QColor(255, 255, 240));
    // The stroke from the junction (504.5, 10) to the redex's stem top (497, 32) is red.
    QColor Rojo = Color(501, 20);
    QVERIFY2(Rojo.red() > 200 && Rojo.green() < 120 && Rojo.blue() < 120, qPrintable(Rojo.name()));
    // The other stroke, to b at (512, 32), is black, and so is the stem (497, 32)-(497, 64).
    QColor Negro = Color(508, 21);
    QVERIFY2(Negro.red() < 120 && Negro.green() < 120, qPrintable(Negro.name()));
    // The stem, 1.5 pixels wide on x = 497, covers three quarters of columns 496 and 497.
    for (int x : {496, 497})
      QVERIFY2(Color(x, 48).lightness() < 100, qPrintable(Color(x, 48).name()));
    QCOMPARE(Color(494, 48), QColor(255, 255, 240));
    // The body's dot of a, in a's colour.
    QCOMPARE(Color(497, 70), QColor(128, 0, 0));
  }

  void separadorDeMillaresDelLocale() {
    IVista& v = b->V->Vista();
    QLocale Antes;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QCOMPARE(v.SeparadorMillares(), ".");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(v.SeparadorMillares(), ",");
    // A narrow no-break space has no place in Windows-1252.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(v.SeparadorMillares(), "\xA0");
    QLocale::setDefault(Antes);
  }
};

PRUEBAS_VENTANA(TPruebaOrdenes)
#include "ordenes_test.moc"
