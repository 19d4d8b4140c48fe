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

#include "vLambda.h"

class QAction;
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
class TLineaUnica;
class TMemo;
class TUpDown;

// Lienzo: the drawing area; its paint event runs the window's LienzoPaint. The mouse moves the
// drawing: a drag by the pixels it goes, Ctrl+wheel one zoom step per notch at the pointer, a
// double click back to the standard place.
class TLienzo : public QWidget {
  Q_OBJECT

 public:
  explicit TLienzo(QWidget* Padre = nullptr);
  std::function<void()> AlPintar;
  std::function<void(QPoint Desplazamiento)> AlArrastrar;
  std::function<void(bool Arriba, QPointF Punto)> AlRodar;
  std::function<void()> AlDobleClic;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (AlPintar) AlPintar();
  }
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  bool Arrastrando = false;
  QPoint Ultimo;
  int Giro = 0;  // wheel turned with Ctrl and not yet a whole notch, in eighths of a degree
};

class TVentPpal : public QMainWindow, private IVista {
  Q_OBJECT

 public:
  explicit TVentPpal(QWidget* Padre = nullptr);
  ~TVentPpal() override;

  // The client area at start, below the menu bar, and Panel1's width it was laid out for.
  static constexpr int AnchoCliente = 1029;
  static constexpr int AltoCliente = 533;

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
  QFileDialog* OpenDialog1();
  QFileDialog* SaveDialog1();
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
  QAction* Centrar1;

  // Teaching aids: the status bar's second panel (what the term reads back as), "Detener ∀β en
  // un ciclo", the menus "Definiciones" (choosing one types its name) and "Ayuda".
  QLabel* Lectura1;
  QAction* DetenerCiclo1;
  QMenu* Definiciones1;
  QMenu* Ayuda1;
  QAction* Sintaxis1;
  QAction* AcercaDe1;
  QAction* Manual1;
  QDialog* DialogoSintaxis();  // made when first shown
  QDialog* DialogoAcercaDe();
  QDialog* DialogoManual();

  void edtEntKeyPress(char Key);
  void FormCreate();
  bool UpDown1ChangingEx(int Propuesta, TUpDownDirection Direction);
  void btnBetaClick();
  void Abrir1Click();
  void Salvar1Click();
  void btnBetaAllClick();
  void LienzoPaint();
  void btnBackClick();
  void PageControl1Change();
  void FormClose();
  void LienzoMouseWheel(bool Arriba, QPointF Punto);

  // Exports, on the menu "Ficheros": the whole diagram (SVG or PNG) and the reduction (text).
  QAction* ExportarDiagrama1;
  QAction* ExportarReduccion1;
  QFileDialog* DialogoDiagrama1();
  QFileDialog* DialogoReduccion1();
  void ExportarDiagrama1Click();
  void ExportarReduccion1Click();
  // The definitions file named on the command line, opened as "Abrir.." opens one.
  void AbreAlEmpezar(const QString& Ruta);

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
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* Objeto, QEvent* Evento) override;

 private:
  void CreaComponentes();
  void CreaFila(QWidget* Central);
  void CreaPaginas(QWidget* Central);
  void CreaBarraDeEstado();
  void CreaMenus();
  void ExplicaControles();
  void Conecta();
  void ColocaFila();
  void Coloca();
  void AjustaHoja(QWidget* Hoja);
  // The first character of the name box or the expression box that Windows-1252 cannot hold.
  QString NoAdmitido() const;
  template <typename F>
  void Orden(F&& Accion);
  bool EligeFichero(QFileDialog* Dialogo, std::string& Ruta);
  TRespuesta PreguntaGuardar(const std::string& Pregunta) override;
  void Cierra() override;
  std::function<int(QMessageBox&)> RespuestaPregunta;

  std::string TextoEnt() override;
  std::string TextoDef() override;
  void VaciaDef() override;
  void FijaEstado(const std::string& Texto) override;
  void FijaMemo(TTextoCompartido Texto) override;
  int TamanoFuenteMemo() override;
  void FijaTamanoFuenteMemo(int Puntos) override;
  void HabilitaBack(bool Habilitado) override;
  void HabilitaBeta(bool Habilitado) override;
  bool BetaMultiple() override;
  int PestanaActiva() override;
  void RefrescaLienzo() override;
  void ProcesaEventos() override;
  bool DialogoAbrir(std::string& Ruta) override;
  bool DialogoSalvar(std::string& Ruta) override;
  void MuestraError(const std::string& Mensaje) override;
  std::string SeparadorMillares() override;
  bool DialogoExportarDiagrama(std::string& Ruta) override;
  bool DialogoExportarReduccion(std::string& Ruta) override;
  void CreaMenuExportar();
  QFileDialog* DialogoDiagrama = nullptr;
  QFileDialog* DialogoReduccion = nullptr;

  void CreaAyudas();
  void ReconstruyeDefiniciones();
  void InsertaDefinicion(std::size_t i);
  void FijaLectura(const std::string& Texto) override;
  bool DetenerEnCiclo() override;
  void DefinicionesCambiadas() override;
  QDialog* DialogoSintaxis1 = nullptr;
  QDialog* DialogoAcercaDe1 = nullptr;
  QDialog* DialogoManual1 = nullptr;
  void FijaResalte(const std::vector<TRango>& Rangos) override;
  bool HaloDiagrama() override;
  void SeleccionaEnt(std::size_t Desde, std::size_t Hasta) override;

  QFileDialog* DialogoAbrir1 = nullptr;
  QFileDialog* DialogoSalvar1 = nullptr;
  QLabel* Estado;    // StatusBar1's one text
  int FuenteMemo;    // the size the workbench counts, which may be no size at all
  int Pintando = 0;  // inside LienzoPaint
  std::function<std::optional<QString>(QFileDialog&)> RespuestaDialogo;
  std::unique_ptr<TMesaTrabajo> MesaTrabajo;
};
