// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench: the state behind the main window and the commands given through it.
//
// How a window drives it (the Qt window, lambda-cli and the tests all do this):
//  - Implement IVista on the widgets: edtEnt and edtDef texts, StatusBar1's simple text, Memo1's
//    text and font size in points, btnBack's and btnBeta's enabled state, the "Opciones" menu
//    (its TOpciones, uOpciones.h), PageControl1's active index (0 "Texto", 1 "Gráficos"), a
//    synchronous repaint of Lienzo (QWidget::repaint(), not update(): the command goes on right
//    after it), processing of pending events (QCoreApplication::processEvents()), the answers of
//    the file dialogs, the error box, and the locale's thousands separator.
//  - Own one TMesaTrabajo built on that view and call FormCreate() once the widgets exist.
//  - Forward every event to the command of the same name: Enter and every other character typed
//    in edtEnt to edtEntKeyPress, the clicks to btnBetaClick, btnBackClick, btnBetaAllClick,
//    Abrir1Click, Salvar1Click, an arrow of the spinner to UpDown1ChangingEx with the arrow
//    actually pressed (also at the ends of the spinner's range), a change of the active tab to
//    PageControl1Change. Commands never throw: an exception ends the command and reaches
//    IVista::MuestraError, and the state stays usable.
//  - Lienzo's paint event calls LienzoPaint(width, height) and then copies Vistas.Bitmap
//    (Pixeles(), Stride(), Width() x Height(), 32-bit BGRA) to the canvas at (0, 0).
//  - Call FijaIntervalo(1.0 / 60) so that run-all redraws at most about 60 times a second.
//  - On a close request ask FormCloseQuery() and close only when it answers true (it may ask
//    about changed definitions through PreguntaGuardar, and close later through Cierra); on
//    close call FormClose(): a running loop ends without touching the view again and every
//    later command does nothing. Never destroy the TMesaTrabajo while Todo.Ejecutando is true
//    (the loop is still on the stack below processEvents): destroy it after the event loop has
//    returned.
//  - Ask what it holds of its components: Sesion (the current term, the definitions, the entry),
//    Vistas (the diagram's bitmap and zoom, the limits of the views), Eleccion (the redexes the
//    user can choose), Historial (the reduction since the last Enter) and Todo (run-all). The
//    commands change it; Sesion.CambiaActual is the one operation that replaces the term from
//    outside them.
//  - Every text that crosses IVista is Windows-1252 bytes (convert with uCp1252.h); the paths of
//    the file dialogs are file-system paths (QFile::encodeName) and are not converted. A box that
//    holds a character Windows-1252 cannot hold must not reach the workbench as '?': refuse the
//    Enter and say which character ("Carácter no admitido: Ω").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "uCorridaTodo.h"
#include "uDireccion.h"
#include "uEleccion.h"
#include "uHistorial.h"
#include "uOpciones.h"
#include "uPractica.h"
#include "uRango.h"
#include "uSesion.h"
#include "uTraza.h"
#include "uVistas.h"

// The widget operations the commands use, and nothing more.
class IVista {
 public:
  virtual ~IVista() = default;

  // The expression box edtEnt and the name box edtDef, which an Enter reads together.
  struct TEntrada {
    std::string Texto, Nombre;
  };
  virtual TEntrada Entrada() = 0;
  virtual void VaciaDef() = 0;                            // empties the name box
  virtual void FijaEstado(const std::string& Texto) = 0;  // StatusBar1
  virtual void FijaMemo(TTextoCompartido Texto) = 0;      // Memo1, never null
  virtual int TamanoFuenteMemo() = 0;                     // Memo1's font size, in points
  virtual void FijaTamanoFuenteMemo(int Puntos) = 0;
  // btnBack, and btnBeta (disabled while run-all runs).
  enum class TBoton { Back, Beta };
  virtual void Habilita(TBoton Boton, bool Habilitado) = 0;
  virtual int PestanaActiva() = 0;  // PageControl1: 0 text, otherwise diagram
  // Repaints Lienzo now: its paint handler calls LienzoPaint and shows Vistas.Bitmap.
  virtual void RefrescaLienzo() = 0;
  virtual void ProcesaEventos() = 0;  // run-all, between passes
  // A view that answers its events only once the command has returned (the browser's page):
  // true makes run-all wait there, and the view calls TMesaTrabajo::ReanudaTodo after them.
  virtual bool CedeEntrePasadas() { return false; }
  // The file dialogs: OpenDialog1, SaveDialog1, and the save dialogs of "Exportar diagrama…" and
  // "Exportar reducción…". False when cancelled, otherwise the chosen path.
  enum class TDialogo { Abrir, Salvar, ExportarDiagrama, ExportarReduccion };
  virtual bool Dialogo(TDialogo Cual, std::string& Ruta) = 0;
  virtual void MuestraError(const std::string& Mensaje) = 0;  // the error box
  virtual std::string SeparadorMillares() = 0;                // the user's locale; may be empty
  // Run-all, after each pass (lambda-cli counts them); the window has nothing to do here.
  virtual void PasadaHecha() {}
  // Definitions changed since the last open or save would be lost (a close, an open): the user
  // saves them first, goes on without them, or stays (`Pregunta` says which). A view that does
  // not ask goes on, as lambda-cli does. Cierra closes the window as its close button would (a
  // close that had to wait for a view update of run-all).
  enum class TRespuesta { Guardar, Descartar, Cancelar };
  virtual TRespuesta PreguntaGuardar(const std::string& /*Pregunta*/) {
    return TRespuesta::Descartar;
  }
  virtual void Cierra() {}
  // An open or a save went through: the definitions are now those of the file at Ruta.
  virtual void DefinicionesDeFichero(const std::string& /*Ruta*/) {}

  // The status bar's second panel: what the current term reads back as (empty: no term).
  virtual void FijaLectura(const std::string& /*Texto*/) {}
  // The definitions list has changed (an Enter with a name, an open).
  virtual void DefinicionesCambiadas() {}

  // The next step, shown. Memo1's background under what β contracts next: three byte ranges of
  // the text last given to FijaMemo for each redex (the redex, its function part, its argument),
  // in text order; given after every FijaMemo, an empty list clears it.
  virtual void FijaResalte(const std::vector<TRango>&) {}
  // A failed entry selects in edtEnt the bytes [Desde, Hasta) that the message is about.
  virtual void SeleccionaEnt(std::size_t, std::size_t) {}
  // What the panel of "Mostrar los pasos" lists, or which line is current, has changed
  // (Historial.Traza holds it).
  virtual void PasosCambiados() {}

  // The "Opciones" menu as the user left it: the strategy and "Reducción η" (never checked where
  // η does not apply), "Beta múltiple" (never outside the classic mode), "Resaltar el siguiente
  // paso en el diagrama" (a halo under the redexes of the next step), "Detener ∀β en un ciclo"
  // (run-all stops when its term repeats), "Mostrar los pasos" (the panel listing every term
  // since the last Enter), "Conservar los nombres" (terms print with the names the user wrote,
  // see uNombres.h, and a save writes each definition as it was written) and "Mostrar los
  // nombres de las definiciones" (on "Texto", the closed subterms equal to a definition print as
  // its name, see uPliegue.h). Read afresh wherever the workbench needs it (a face holds the menu
  // in a TOpciones, and gives TOpciones::Ajustes()).
  virtual TAjustes Opciones() = 0;

  // The "Ejercicios" panel: what TMesaTrabajo::Practica holds has changed (the lesson's exercises,
  // their progress, the exercise shown and what it said); a face draws it again, and keeps the
  // progress under Practica.Leccion(). ProgresoGuardado gives back what it kept for a lesson
  // (empty: nothing). FijaEstrategia: a reduction exercise puts its strategy in the menu, with
  // neither "Reducción η" nor "Beta múltiple".
  virtual void EjerciciosCambiados() {}
  virtual std::string ProgresoGuardado(const std::string& /*Leccion*/) { return {}; }
  virtual void FijaEstrategia(TEstrategia) {}
};

// The commands, each handed to the component whose concern it is; the queries go to the
// components themselves.
class TMesaTrabajo {
 public:
  static constexpr int PestanaTexto = 0;
  static constexpr int FuenteInicial = 18;  // Memo1's font size at start, in points

  explicit TMesaTrabajo(IVista& Vista);
  TMesaTrabajo(const TMesaTrabajo&) = delete;
  TMesaTrabajo& operator=(const TMesaTrabajo&) = delete;
  ~TMesaTrabajo();

  // The commands, named after the events that run them.
  void FormCreate();
  void edtEntKeyPress(char Key);  // '\r' enters the expression box's text
  void btnBetaClick();
  void btnBackClick();
  void btnBetaAllClick();
  // Goes on with a run-all that waits for its view (IVista::CedeEntrePasadas).
  void ReanudaTodo();
  bool UpDown1ChangingEx(TUpDownDirection Direction);  // always allows the change
  void PageControl1Change();
  void Abrir1Click();
  void Salvar1Click();
  // Paint handler of Lienzo with its present size: resizes Vistas.Bitmap and redraws when the
  // size has changed. The caller then shows the bitmap.
  void LienzoPaint(int Ancho, int Alto);
  // The window is closing: ends a running loop and refuses every later command.
  void FormClose();
  // The window is asked to close: true when it may, after the user was asked about changed
  // definitions (and saved them if so chosen). Inside a view update of run-all the question
  // waits for its end, the answer is false, and the window is then closed through IVista::Cierra.
  bool FormCloseQuery();
  // "Exportar diagrama…" (the whole diagram at Vistas.Zoom: PNG for a name ending in .png, else
  // SVG) and "Exportar reducción…" (the passes since the last Enter, as text).
  void ExportarDiagrama1Click();
  void ExportarReduccion1Click();
  // Opens a definitions file given at start, as "Abrir.." does with the file chosen; a lesson of
  // the "Lecciones" menu, by its file's name and bytes, as "Abrir.." does.
  void AbreAlEmpezar(const std::string& Ruta);
  void AbreLeccion(const std::string& Nombre, const std::string& Bytes);
  // Moving the diagram: a drag by (Dx, Dy) pixels; Ctrl+wheel at (X, Y) zooms one step of the
  // spinner about that point; a double click puts the drawing back in its standard place.
  void LienzoArrastra(double Dx, double Dy);
  void LienzoMouseWheel(TUpDownDirection Direction, double X, double Y);
  void LienzoDblClick();
  // "Ajustar el diagrama a la ventana": the largest zoom that the spinner's steps reach from the
  // present one, up to TVistas::ZoomAjusteMaximo, at which the whole diagram fits the canvas as
  // last sized; the drawing back in its standard place.
  void AjustarDiagrama1Click();
  // "Beta múltiple", "Resaltar el siguiente paso en el diagrama", the strategy or "Reducción η"
  // changed: the views show the next step, and the second panel the form reached, as the options
  // now say.
  void OpcionesClick();
  // "Conservar los nombres" or "Mostrar los nombres de las definiciones" changed: the text shows
  // the term as the options now say.
  void NombresClick();

  // The redex the user chose (see TEleccion). ContraeRedex contracts redex i of
  // Eleccion.RangosRedex's list as one β step would, whatever the strategy; nothing when there is
  // no such redex or run-all runs. The pointer moved over the canvas (NaN: it left): the redex
  // under it gets a halo of its own, in place of the selected one's; true when there is one. A
  // click on the canvas contracts the redex under it as ContraeRedex does.
  void ContraeRedex(std::size_t i);
  bool LienzoApunta(double X, double Y);
  void LienzoPulsa(double X, double Y);
  // From the keyboard: the next redex of Eleccion.RangosRedex's list selected (or the previous
  // one), wrapping; the selected one contracted, or with none selected the first one selected.
  // The selection is forgotten when the term changes; the canvas shows it as it shows the
  // pointed.
  void SeleccionaRedex(bool Siguiente);
  void ContraeSeleccionado();

  // "Mostrar los pasos" changed. IrALinea: a click on line i of the panel, or Up/Down in it,
  // makes its term current (the later lines stay until a step replaces them); nothing for a line
  // that holds no term or while run-all runs. With the panel shown, ← goes to the line before.
  void MostrarPasos1Click();
  void IrALinea(std::size_t i);
  // The "Ejercicios" panel's buttons, for exercise i (see TPractica).
  void Ejercicio(TAccionEjercicio Accion, std::size_t i, const std::string& Respuesta = {});

  // Seconds between two view updates of run-all; 0 updates after every pass.
  void FijaIntervalo(double Segundos) { Todo.Ritmo.FijaIntervalo(Segundos); }
  // Device pixels to a pixel of the window (above 1 on a scaled desktop): see TVistas::Escala.
  void FijaEscala(double e);
  bool Cerrado() const { return Cerrada; }

 private:
  IVista& Vista;
  bool Cerrada = false;
  bool CierreEnEspera = false;  // a close waits for the end of a view update

 public:
  // The components; each reaches the others through the workbench.
  TSesion Sesion;
  TVistas Vistas;
  TEleccion Eleccion;
  THistorial Historial;
  TCorridaTodo Todo;
  TPractica Practica;

 private:
  // Runs a command: not at all once the window has closed; after the view update of run-all
  // when it arrives while that update answers events (every command but the stop and the close);
  // an exception it throws goes to the error box.
  template <typename F>
  void Protegido(F&& Orden);
  // The commands that waited for the view update (run-all runs them after it).
  void EjecutaPendientes();
  friend class TCorridaTodo;
  friend class TPractica;
};
