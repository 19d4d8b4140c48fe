// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the widgets of the workbench, each event forwarded to the command of the same
// name of TMesaTrabajo, which reaches the widgets back through IVista.
//
// The window is made of parts, each a concern of its own, all reaching the widgets by their names
// (TComponentes) and the window's commands:
//  - TMontaje (uVentPpalCrea.h): the widgets made, laid out and kept in place, the keys, the
//    docks (the steps panel; a new dock goes next to it, in TMontaje::CreaDocks);
//  - TMenusVentana (uVentPpalMenus.h): the menu bar (a new menu goes in TMenusVentana::Crea), the
//    "Opciones" menu's state and what is kept between sessions;
//  - TDialogosVentana (uVentPpalDialogos.h): the file dialogs, the help, the comparison and the
//    question about changed definitions;
//  - TVistaVentana (uVentPpalVista.h): IVista on the widgets;
//  - TEleccionVentana (uVentPpalEleccion.h): the redex under the pointer or chosen by the keys;
//  - TVentPpal itself: the commands, run on the workbench it owns.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <exception>
#include <memory>

#include "uTextos.h"
#include "uVentPpalCrea.h"
#include "uVentPpalDialogos.h"
#include "uVentPpalEjercicios.h"
#include "uVentPpalEleccion.h"
#include "uVentPpalMenus.h"
#include "uVentPpalVista.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TPanelEjercicios;
class TLienzo;
class TLineaUnica;
class TMemo;
class TPanelPasos;
class TUpDown;

// The components by their names.
struct TComponentes {
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
  QLabel* Estado;  // StatusBar1's one text
};

class TVentPpal : public QMainWindow, public TComponentes {
  Q_OBJECT

 public:
  explicit TVentPpal(QWidget* Padre = nullptr);
  ~TVentPpal() override;

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
  // Intro in the name box: the expression box is next.
  void edtDefIntro();

  // Helpers: for main and the tests.
  TMesaTrabajo& Mesa() { return *MesaTrabajo; }
  QString TextoEstado() const;
  // Bitmap as an image over its own pixels (no copy); null while the bitmap is empty.
  QImage ImagenLienzo();
  // The workbench as the window shows it; open for tests that check what the widgets answer.
  IVista& Vista() { return Vista_; }

  // Runs a command on the workbench, if there is one; what the window adds around it and throws
  // goes to the error box.
  template <typename F>
  void Orden(F&& Accion);

  // The parts (see above). Dialogos: each dialog by the accessor of its name, and the answers of
  // the tests. Menus: the menus' state, and RecuerdaOpciones, which the program's start asks
  // for.
  TDialogosVentana Dialogos{*this};
  TMenusVentana Menus{*this};

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  friend class TMontaje;
  friend class TVistaVentana;
  friend class TEleccionVentana;
  friend class TMenusVentana;
  friend class TDialogosVentana;
  friend class TEjerciciosVentana;

  void Conecta();  // each event to its handler, and the tab order
  // The first character of the name box or the expression box that Windows-1252 cannot hold.
  QString NoAdmitido() const;

  TEleccionVentana Eleccion{*this};
  TEjerciciosVentana EjerciciosV{*this};
  TVistaVentana Vista_{*this};
  TMontaje Montaje{*this};
  std::unique_ptr<TMesaTrabajo> MesaTrabajo;
};

template <typename F>
void TVentPpal::Orden(F&& Accion) {
  if (!MesaTrabajo) return;
  try {
    Accion(*MesaTrabajo);
  } catch (const std::exception& e) {
    // The commands catch their own; this is for what the window adds around them.
    Vista_.MuestraError(MensajeExcepcion(e, Vista_.SeparadorMillares()));
  }
}
