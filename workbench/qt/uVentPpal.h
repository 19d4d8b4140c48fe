// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the widgets of the workbench, each event forwarded to the command of the same
// name of TMesaTrabajo, which reaches the widgets back through IVista.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "uOpciones.h"
#include "vLambda.h"

class QAction;
class QActionGroup;
class QDialog;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QMessageBox;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TDialogoComparar;
class TPanelEjercicios;
class TLienzo;
class TLineaUnica;
class TMemo;
class TPanelPasos;
class TUpDown;

class TVentPpal : public QMainWindow, private IVista {
  Q_OBJECT

 public:
  explicit TVentPpal(QWidget* Padre = nullptr);
  ~TVentPpal() override;

  // Widgets: the components by their names, and the dialogs, made on first use.
  QFrame* Panel1;
  TLineaUnica* edtEnt;
  QFrame* Panel2;
  TLineaUnica* edtDef;
  QLabel* Label1;
  QPushButton* btnBeta;
  QStatusBar* StatusBar1;
  TUpDown* UpDown1;
  QMenuBar* MainMenu1;
  QMenu* Ficheros1;
  QAction* Abrir1;
  QAction* Salvar1;
  QPushButton* btnBetaAll;
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  TMemo* Memo1;
  TLienzo* Lienzo;
  QPushButton* btnBack;
  QMenu* Pciones1;
  QAction* Betamltiple1;
  // The next step in the diagram, and the drawing back in its place.
  QAction* HaloDiagrama1;
  QAction* ConservarNombres1;
  QAction* NombresDefiniciones1;
  QAction* Centrar1;
  // The zoom at which the whole diagram fits the canvas, the drawing in its standard place.
  QAction* Ajustar1;
  // Exports, on the menu "Ficheros": the whole diagram (SVG or PNG) and the reduction (text).
  QAction* ExportarDiagrama1;
  QAction* ExportarReduccion1;
  // The road of β: "Estrategia" (a radio entry per strategy, in the order of Estrategias, each
  // holding its strategy as data), "Reducción η", and the comparison of every road.
  QMenu* Estrategia1;
  QActionGroup* Estrategias1;
  QAction* ReduccionEta1;
  QAction* CompararEstrategias1;

  // Teaching aids: the status bar's second panel (what the term reads back as), "Detener ∀β en
  // un ciclo", the menus "Definiciones" (choosing one types its name) and "Ayuda".
  QLabel* Lectura1;
  QAction* DetenerCiclo1;
  QMenu* Definiciones1;
  QMenu* Ayuda1;
  QAction* Sintaxis1;
  QAction* AcercaDe1;
  QAction* Manual1;
  // "Pasos", the dock of every term since the last Enter, and "Opciones > Mostrar los pasos"
  // (its own toggle, off at start).
  TPanelPasos* Pasos1 = nullptr;
  QAction* MostrarPasos1 = nullptr;
  // "Ejercicios", the dock of the lesson's exercises, shown when a lesson that has them opens,
  // and "Opciones > Mostrar los ejercicios"; "Lecciones", the lessons the program carries.
  TPanelEjercicios* Ejercicios1 = nullptr;
  QAction* MostrarEjercicios1 = nullptr;
  QMenu* Lecciones1 = nullptr;

  // Each dialog is made by the accessor of its name (also its object name) when first needed,
  // and kept in the field of that name with '_' at the end.
  QFileDialog* OpenDialog1();
  QFileDialog* SaveDialog1();
  QFileDialog* DialogoDiagrama1();
  QFileDialog* DialogoReduccion1();
  QDialog* DialogoSintaxis();
  QDialog* DialogoAcercaDe();
  QDialog* DialogoManual();
  TDialogoComparar* DialogoComparar();

  // The client area at start, below the menu bar, and Panel1's width it was laid out for.
  static constexpr int AnchoCliente = 1029;
  static constexpr int AltoCliente = 533;

  // Commands: each event runs the handler of its name, which runs TMesaTrabajo's command.
  void edtEntKeyPress(char Key);
  void FormCreate();
  bool UpDown1ChangingEx(int Propuesta, TUpDownDirection Direction);
  void btnBetaClick();
  void Abrir1Click();
  void Salvar1Click();
  void btnBetaAllClick();
  void btnBackClick();
  void PageControl1Change();
  void FormClose();
  void LienzoMouseWheel(bool Arriba, QPointF Punto);
  void LienzoPaint();
  void ExportarDiagrama1Click();
  void ExportarReduccion1Click();
  // The current term compared under every strategy, in the dialog; without one the status bar
  // says so.
  void CompararEstrategias1Click();
  // The definitions file named on the command line, opened as "Abrir.." opens one.
  void AbreAlEmpezar(const QString& Ruta);
  // Intro in the name box: the expression box is next (see uVentPpalOpciones.cpp).
  void edtDefIntro();
  // The options that go beyond the first start, and the last folder of the file dialogs, kept
  // between sessions in Qt's settings store: the last session's restored now, and from now on
  // kept as they change. The program's start asks for it; a window without it (the tests, the
  // benchmarks) starts as at a first start and keeps nothing.
  void RecuerdaOpciones();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Conecta();  // each event to its handler, and the tab order

  // The view interface: what TMesaTrabajo reads from the widgets and shows on them.
  TEntrada Entrada() override;
  void VaciaDef() override;
  void FijaEstado(const std::string& Texto) override;
  void FijaMemo(TTextoCompartido Texto) override;
  int TamanoFuenteMemo() override;
  void FijaTamanoFuenteMemo(int Puntos) override;
  void Habilita(TBoton Boton, bool Habilitado) override;
  int PestanaActiva() override;
  void RefrescaLienzo() override;
  void ProcesaEventos() override;
  bool Dialogo(TDialogo Cual, std::string& Ruta) override;
  void MuestraError(const std::string& Mensaje) override;
  std::string SeparadorMillares() override;
  TRespuesta PreguntaGuardar(const std::string& Pregunta) override;
  void Cierra() override;
  void DefinicionesDeFichero(const std::string& Ruta) override;
  void FijaLectura(const std::string& Texto) override;
  void DefinicionesCambiadas() override;
  // The next step shown, and where a failed entry is wrong.
  void FijaResalte(const std::vector<TRango>& Rangos) override;
  void SeleccionaEnt(std::size_t Desde, std::size_t Hasta) override;
  void PasosCambiados() override;
  void EjerciciosCambiados() override;
  std::string ProgresoGuardado(const std::string& Leccion) override;
  void FijaEstrategia(TEstrategia e) override;
  void CreaEjercicios();
  TAjustes Opciones() override { return Opciones_.Ajustes(); }

 public:
  // Helpers: for main and the tests, then building and laying out the window, then the commands'.
  TMesaTrabajo& Mesa() { return *MesaTrabajo; }
  QString TextoEstado() const;
  // Bitmap as an image over its own pixels (no copy); null while the bitmap is empty.
  QImage ImagenLienzo();

  // For tests: while set, a file dialog is handed here, ready, instead of being shown; the answer
  // is the chosen file name, or none for a cancelled dialog.
  void FijaRespuestaDialogo(std::function<std::optional<QString>(QFileDialog&)> Respuesta) {
    RespuestaDialogo = std::move(Respuesta);
  }
  // The same for the question about changed definitions: the answer is the button chosen
  // (QMessageBox::Save, Discard or Cancel).
  void FijaRespuestaPregunta(std::function<int(QMessageBox&)> Respuesta) {
    RespuestaPregunta = std::move(Respuesta);
  }

  // The workbench as the window shows it; open for tests that check what the widgets answer.
  IVista& Vista() { return *this; }

 protected:
  bool eventFilter(QObject* Objeto, QEvent* Evento) override;

 private:
  void CreaComponentes();
  void CreaFila(QWidget* Central);
  void ExplicaControles();
  void CreaPaginas(QWidget* Central);
  void CreaBarraDeEstado();
  void CreaMenus();
  void CreaMenuExportar();
  void CreaMenuEstrategia();
  void CreaAyudas();
  void Coloca();
  void ColocaFila();
  void AjustaHoja(QWidget* Hoja);
  // Keys for the buttons and the tabs; Enter on a focused button presses it.
  void CreaTeclas();
  void CreaPasos();  // once the workbench exists: the dock shows its record
  bool PulsaConIntro(QObject* Objeto, QEvent* Evento);

  template <typename F>
  void Orden(F&& Accion);
  void MemoApunta(qint64 Pos);
  void MemoPulsa(qint64 Pos);
  // The same on the canvas, and the redex selected from the keyboard (F8, Shift+F8, F9), which
  // Memo1 shows where no redex is under the pointer, scrolled to it when Ir.
  void LienzoApunta(QPointF Punto);
  void LienzoPulsa(QPointF Punto);
  void SeleccionaRedex(bool Siguiente);
  void ContraeSeleccionado();
  void MuestraSeleccion(bool Ir);
  // The first character of the name box or the expression box that Windows-1252 cannot hold.
  QString NoAdmitido() const;
  bool EligeFichero(QFileDialog* Dialogo, std::string& Ruta);
  void ReconstruyeDefiniciones();
  void InsertaDefinicion(std::size_t i);
  // The "Opciones" menu as Opciones_ holds it: each entry checked and enabled as its rule says.
  // Each check mark and strategy feeds Opciones_; the commands follow (ConectaOpciones).
  void PintaOpciones();
  void ConectaOpciones();
  QAction* Entrada(TOpcion o) const;
  // Kept between sessions, once RecuerdaOpciones has been called: the options as they are now,
  // and the folder of a file chosen in a dialog (which every dialog made later starts in).
  void GuardaOpciones();
  void CarpetaElegida(QFileDialog* Dialogo, const QString& Fichero);
  void EnUltimaCarpeta(QFileDialog* Dialogo);
  // Shown on a screen too small for it, a window is made to fit the screen the main window is
  // on.
  void CabeEnPantalla(QWidget* w);

  // Data: the dialogs once made, and the window's own state.
  QFileDialog* OpenDialog1_ = nullptr;
  QFileDialog* SaveDialog1_ = nullptr;
  QFileDialog* DialogoDiagrama1_ = nullptr;
  QFileDialog* DialogoReduccion1_ = nullptr;
  QDialog* DialogoSintaxis_ = nullptr;
  QDialog* DialogoAcercaDe_ = nullptr;
  QDialog* DialogoManual_ = nullptr;
  TDialogoComparar* DialogoComparar_ = nullptr;
  QLabel* Estado;       // StatusBar1's one text
  int FuenteMemo;       // the size the workbench counts, which may be no size at all
  int Pintando = 0;     // inside LienzoPaint
  TOpciones Opciones_;  // the "Opciones" menu's state
  std::function<std::optional<QString>(QFileDialog&)> RespuestaDialogo;
  std::function<int(QMessageBox&)> RespuestaPregunta;
  std::unique_ptr<TMesaTrabajo> MesaTrabajo;
  bool Recuerda = false;  // RecuerdaOpciones was called
  QString UltimaCarpeta;
};
