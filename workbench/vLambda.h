// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench: the state behind the main window and the commands given through it.
//
// How a window drives it (the Qt window, lambda-cli and the tests all do this):
//  - Implement IVista on the widgets: edtEnt and edtDef texts, StatusBar1's simple text, Memo1's
//    text and font size in points, btnBack's enabled state, Betamltiple1's check mark,
//    PageControl1's active index (0 "Texto", 1 "Gráficos"), a synchronous repaint of Lienzo
//    (QWidget::repaint(), not update(): the command goes on right after it), processing of
//    pending events (QCoreApplication::processEvents()), the answers of OpenDialog1 and
//    SaveDialog1, the error box, and the locale's thousands separator.
//  - Own one TMesaTrabajo built on that view and call FormCreate() once the widgets exist.
//  - Forward every event to the command of the same name: Enter and every other character typed
//    in edtEnt to edtEntKeyPress, the clicks to btnBetaClick, btnBackClick, btnBetaAllClick,
//    Abrir1Click, Salvar1Click, an arrow of the spinner to UpDown1ChangingEx with the arrow
//    actually pressed (also at the ends of the spinner's range), a change of the active tab to
//    PageControl1Change. Commands never throw: an exception ends the command and reaches
//    IVista::MuestraError, and the state stays usable.
//  - Lienzo's paint event calls LienzoPaint(width, height) and then copies Bitmap (Pixeles(),
//    Stride(), Width() x Height(), 32-bit BGRA) to the canvas at (0, 0).
//  - Call FijaIntervalo(1.0 / 60) so that run-all redraws at most about 60 times a second.
//  - On a close request ask FormCloseQuery() and close only when it answers true (it may ask
//    about changed definitions through PreguntaGuardar, and close later through Cierra); on
//    close call FormClose(): a running loop ends without touching the view again and every
//    later command does nothing. Never destroy the TMesaTrabajo while Ejecutando is true (the loop
//    is still on the stack below processEvents): destroy it after the event loop has returned.
//  - Every text that crosses IVista is Windows-1252 bytes (convert with uCp1252.h); the paths of
//    the file dialogs are file-system paths (QFile::encodeName) and are not converted. A box that
//    holds a character Windows-1252 cannot hold must not reach the workbench as '?': refuse the
//    Enter and say which character ("Carácter no admitido: Ω").
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uDiagrama.h"
#include "uDireccion.h"
#include "uLector.h"
#include "uPliegue.h"
#include "uReduccion.h"
#include "uRitmo.h"
#include "uTraza.h"

class TExprLambda;
class TRetenido;

// The widget operations the commands use, and nothing more.
class IVista {
 public:
  virtual ~IVista() = default;

  virtual std::string TextoEnt() = 0;                     // the expression box edtEnt
  virtual std::string TextoDef() = 0;                     // the name box edtDef
  virtual void VaciaDef() = 0;                            // empties the name box
  virtual void FijaEstado(const std::string& Texto) = 0;  // StatusBar1
  virtual void FijaMemo(TTextoCompartido Texto) = 0;      // Memo1, never null
  virtual int TamanoFuenteMemo() = 0;                     // Memo1's font size, in points
  virtual void FijaTamanoFuenteMemo(int Puntos) = 0;
  virtual void HabilitaBack(bool Habilitado) = 0;  // btnBack
  virtual void HabilitaBeta(bool) {}               // btnBeta: disabled while run-all runs
  virtual bool BetaMultiple() = 0;                 // check mark of Betamltiple1
  virtual int PestanaActiva() = 0;                 // PageControl1: 0 text, otherwise diagram
  // Repaints Lienzo now: its paint handler calls LienzoPaint and shows Bitmap.
  virtual void RefrescaLienzo() = 0;
  virtual void ProcesaEventos() = 0;  // run-all, between passes
  // A view that answers its events only once the command has returned (the browser's page):
  // true makes run-all wait there, and the view calls TMesaTrabajo::ReanudaTodo after them.
  virtual bool CedeEntrePasadas() { return false; }
  // OpenDialog1 / SaveDialog1: false when cancelled, otherwise the chosen path.
  virtual bool DialogoAbrir(std::string& Ruta) = 0;
  virtual bool DialogoSalvar(std::string& Ruta) = 0;
  virtual void MuestraError(const std::string& Mensaje) = 0;  // the error box
  virtual std::string SeparadorMillares() = 0;                // the user's locale; may be empty
  // Run-all, after each pass (lambda-cli counts them); the window has nothing to do here.
  virtual void PasadaHecha() {}
  // The save dialogs of "Exportar diagrama…" and "Exportar reducción…": false when cancelled.
  virtual bool DialogoExportarDiagrama(std::string&) { return false; }
  virtual bool DialogoExportarReduccion(std::string&) { return false; }
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
  // The check mark of "Detener ∀β en un ciclo": run-all stops when its term repeats.
  virtual bool DetenerEnCiclo() { return false; }
  // The definitions list has changed (an Enter with a name, an open).
  virtual void DefinicionesCambiadas() {}

  // The next step, shown. Memo1's background under what β contracts next: three byte ranges of
  // the text last given to FijaMemo for each redex (the redex, its function part, its argument),
  // in text order; given after every FijaMemo, an empty list clears it.
  virtual void FijaResalte(const std::vector<TRango>&) {}
  // Check mark of "Resaltar el siguiente paso en el diagrama": a halo under the same redexes.
  virtual bool HaloDiagrama() { return false; }
  // Whether Memo1 shows that background, as the window and lambda-cli always do; a view that
  // does not (a benchmark weighing its cost) spares the workbench finding it.
  virtual bool MuestraResalte() { return true; }
  // A failed entry selects in edtEnt the bytes [Desde, Hasta) that the message is about.
  virtual void SeleccionaEnt(std::size_t, std::size_t) {}
  // The radio entry checked in "Opciones > Estrategia" and the check mark of "Opciones >
  // Reducción η" (never set where η does not apply). BetaMultiple() is false outside the
  // classic mode.
  virtual TModo ModoReduccion() { return {}; }
  // The check mark of "Opciones > Mostrar los pasos": the panel listing every term since the
  // last Enter is shown. PasosCambiados: what it lists, or which line is current, has changed
  // (TMesaTrabajo::Reduccion() holds it).
  virtual bool MuestraPasos() { return false; }
  virtual void PasosCambiados() {}
  // The check mark of "Opciones > Conservar los nombres": terms print with the names the user
  // wrote (see uNombres.h), and a save writes each definition as it was written.
  virtual bool ConservarNombres() { return false; }
  // The check mark of "Opciones > Mostrar los nombres de las definiciones": on "Texto", the
  // closed subterms equal to a definition print as its name (see uPliegue.h).
  virtual bool MuestraNombresDefiniciones() { return false; }
};

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
  // Paint handler of Lienzo with its present size: resizes Bitmap and redraws when the size has
  // changed. The caller then shows Bitmap.
  void LienzoPaint(int Ancho, int Alto);
  // The window is closing: ends a running loop and refuses every later command.
  void FormClose();
  // The window is asked to close: true when it may, after the user was asked about changed
  // definitions (and saved them if so chosen). Inside a view update of run-all the question
  // waits for its end, the answer is false, and the window is then closed through IVista::Cierra.
  bool FormCloseQuery();
  // The definitions changed since the last open or save (or since the start).
  bool SinGuardar() const { return Modificadas; }
  // "Exportar diagrama…" (the whole diagram at Zoom: PNG for a name ending in .png, else SVG)
  // and "Exportar reducción…" (the passes since the last Enter, as text).
  void ExportarDiagrama1Click();
  void ExportarReduccion1Click();
  const TTraza& Reduccion() const { return Traza; }
  // Opens a definitions file given at start, as "Abrir.." does with the file chosen.
  void AbreAlEmpezar(const std::string& Ruta);
  // Moving the diagram: a drag by (Dx, Dy) pixels; Ctrl+wheel at (X, Y) zooms one step of the
  // spinner about that point; a double click puts the drawing back in its standard place.
  void LienzoArrastra(double Dx, double Dy);
  void LienzoMouseWheel(TUpDownDirection Direction, double X, double Y);
  void LienzoDblClick();
  // "Ajustar el diagrama a la ventana": the largest zoom that the spinner's steps reach from the
  // present one, up to ZoomAjusteMaximo, at which the whole diagram fits the canvas as last
  // sized; the drawing back in its standard place.
  void AjustarDiagrama1Click();
  // A small term fitted is drawn no larger than this: a variable 40 pixels across.
  static constexpr double ZoomAjusteMaximo = 4.0;
  // "Beta múltiple", "Resaltar el siguiente paso en el diagrama", the strategy or "Reducción η"
  // changed: the views show the next step, and the second panel the form reached, as the options
  // now say.
  void OpcionesClick();
  // "Conservar los nombres" or "Mostrar los nombres de las definiciones" changed: the text shows
  // the term as the options now say.
  void NombresClick();

  // Lays Actual out and renders it into Bitmap at Zoom; nothing without a current term.
  void Redibuja();

  // The redex the user chose: every β-redex of Actual in printing order, each as three byte
  // ranges of its printed form (the redex, its function part, its argument, as FijaResalte's),
  // empty when there is no term or its text is past LimiteTexto. Kept until the term changes.
  const std::vector<TRango>& RangosRedex();
  // Index of the innermost redex whose range holds byte Pos of Memo1's text, or -1 (also when
  // Memo1 does not show Actual as it is now, or run-all runs).
  int64_t RedexEn(int64_t Pos);
  // Contracts redex i of that list as one β step would, whatever the strategy; nothing when there
  // is no such redex or run-all runs.
  void ContraeRedex(std::size_t i);
  // On "Gráficos": the redex whose junction or red stroke lies within RadioEleccion pixels of
  // the canvas point (X, Y), in the window's pixels, as the drawing now shown has it; null when
  // none, or when that drawing is not of Actual as it is now.
  TAplicacion* RedexEnLienzo(double X, double Y);
  static constexpr double RadioEleccion = 4;
  // The pointer moved over the canvas (NaN: it left): the redex under it gets a halo of its own,
  // in place of the selected one's. True when there is one.
  bool LienzoApunta(double X, double Y);
  // A click on the canvas contracts the redex under it as ContraeRedex does.
  void LienzoPulsa(double X, double Y);
  // From the keyboard: the next redex of RangosRedex's list selected (or the previous one),
  // wrapping; the selected one contracted, or with none selected the first one selected. The
  // selection is forgotten when the term changes; the canvas shows it as it shows the pointed.
  void SeleccionaRedex(bool Siguiente);
  void ContraeSeleccionado();
  // The selected redex's index in RangosRedex's list, or -1; SeleccionEnTexto is -1 also while
  // Memo1 does not show Actual as it is now.
  int64_t RedexSeleccionado() const { return RedexAlDia ? Seleccion : -1; }
  int64_t SeleccionEnTexto() const { return MemoAlDia ? RedexSeleccionado() : -1; }

  // "Mostrar los pasos" changed. IrALinea: a click on line i of the panel, or Up/Down in it,
  // makes its term current (the later lines stay until a step replaces them); nothing for a line
  // that holds no term or while run-all runs. With the panel shown, ← goes to the line before.
  void MostrarPasos1Click();
  void IrALinea(std::size_t i);

  // Seconds between two view updates of run-all; 0 updates after every pass.
  void FijaIntervalo(double Segundos) { Ritmo.FijaIntervalo(Segundos); }
  double Intervalo() const { return Ritmo.Intervalo(); }
  bool ParadaPedida() const { return PararPedido; }
  bool Cerrado() const { return Cerrada; }
  // Events are being answered from inside a view update: every command waits for its end.
  bool Atendiendo() const { return Ritmo.Atendiendo(); }
  // The expression line a save would write for definition i (renumbers its term).
  std::string LineaDefinicion(std::size_t i);

  // The current term, and the one operation that replaces it from outside the commands: the
  // workbench takes the term, releases the old one and forgets the engine's path into it.
  TExprLambda* TerminoActual() const { return Actual; }
  void CambiaActual(TExprLambda* Nuevo);
  // Period of the cycle the last run-all was seen to go through, until the term changes; 0: none.
  int64_t Ciclo() const { return Lector.Ciclo(); }

  // State.
  TDefiniciones Definiciones;
  TEscritura Escritura;  // what the entry of the current term wrote
  TExprLambda* Anterior = nullptr;
  TBitmap Bitmap;
  TAgg2DPlus Agg;
  double Zoom = 1.0;
  bool Ejecutando = false;  // a run-all is under way: on the stack, or waiting for its view
  int32_t NumVars = 0;
  // Longest printed form the text view is given (a sixteenth of the machine's memory): names
  // grow with the number of variables, so a term well within the node limit can print to more
  // than memory holds.
  std::size_t LimiteTexto;
  // Largest diagram drawn: past it a view update would keep the window from answering for
  // seconds, and its detail is far below one pixel anyway.
  std::size_t LimiteDiagrama = 25'000'000;
  // Where the user moved the diagram from its standard place, in pixels.
  double DesplX = 0, DesplY = 0;
  // Device pixels to a pixel of the window (above 1 on a scaled desktop): the bitmap is that
  // much larger, and the drawing that much larger in it, so it is shown sharp without scaling.
  // Zoom, the shift and the mouse's coordinates stay in the window's pixels.
  void FijaEscala(double e);
  double Escala() const { return EscalaDispositivo; }
  // After an entry that did not parse, the bytes of its text that the message is about.
  std::optional<TRango> FaltaEntrada;

 private:
  void Introduce(const std::string& Texto, const std::string& Nombre);
  // Copia holds a copy of t for a definition: the message why it could not, or empty.
  std::string CopiaDefinicion(TExprLambda* t, TRetenido& Copia);
  // Stores Copia under Nombre, in place of the definition of that name or as a new one.
  void Define(const std::string& Nombre, TRetenido& Copia, const std::string& Texto);
  void Paso(TAplicacion* Elegido = nullptr);
  // Whether the strategy in force has a redex to contract in Actual.
  bool HayRedex();
  // A step refused at the node limit: the term's version, the way, the redex chosen, the live
  // nodes and the limit when it was tried, and the size it asked for.
  struct TRechazo {
    uint64_t Version;
    TModo Modo;
    bool Multiple;
    TAplicacion* Elegido;
    std::size_t Vivos, Limite, Pedidos;
    bool Repite(const TRechazo& o) const {
      return Version == o.Version && Modo == o.Modo && Multiple == o.Multiple &&
             Elegido == o.Elegido && o.Vivos >= Vivos && o.Limite <= Limite;
    }
  };
  std::optional<TRechazo> Rechazo;
  // Redex i of RangosRedex's list, or null (no such redex, run-all runs).
  TAplicacion* RedexNumero(std::size_t i);
  // The pass of a step that contracts Elegido, noted in the trace; true when it changed the term.
  bool ContraeEnPaso(TAplicacion* Elegido);
  // RangosRedex's list: the redexes, their ranges, and the nearest redex holding each one (-1).
  std::vector<TAplicacion*> RedexTodos;
  std::vector<TRango> RangosTodos;
  std::vector<int64_t> Contenedor;
  bool RedexAlDia = false;
  // The panel's history: going to line i (false when its term could not come back), the line
  // before the current one that holds a term, ← through it, btnBack as the panel or Anterior
  // allows, the panel's last line after run-all, "paso N" for the second panel, and the ranges of
  // what the coming step contracts, noted for the current line.
  bool IrA(std::size_t i);
  std::optional<std::size_t> LineaAnterior() const;
  void AtrasEnPasos();
  void ActualizaBack();
  void TerminaEnPasos();
  std::string NotaPaso();
  void MarcaSiguiente(TAplicacion* Elegido);
  // The chosen redex on the canvas: the one under the pointer, the one selected from the keyboard,
  // the one drawn last, and what the drawing shown was made with (device pixels and zoom).
  TAplicacion* ApuntadoLienzo = nullptr;
  int64_t Seleccion = -1;
  TAplicacion* MarcadoLienzo = nullptr;
  TAplicacion* RedexMarcado();
  bool DibujoAlDia = false;  // the last drawing's layout is Actual's as it is now
  uint64_t NumDibujo = 0;
  double ZoomDibujo = 1, EscalaDibujo = 1, DXDibujo = 0, DYDibujo = 0;
  // ::Redibuja with the chosen redex, noting what the drawing was made with.
  TCaja DibujaConEleccion(TExtrasDiagrama& Extras);
  // One pass of β on Actual, noted in the trace; true when it changed the term.
  bool PasadaBeta(bool Multiple);
  void Atras();
  void EjecutaTodo();
  // Run-all between two passes: where it stands, so that it can wait for a view that answers
  // its events only once the command has returned.
  struct TCorrida {
    uint64_t Termino = 0;                   // Reemplazos at the start
    bool Pendiente = false;                 // a pass the view does not show yet
    bool Vigila = false;                    // watching for a cycle
    bool Cambio = false, Excedido = false;  // what the last pass did
    bool EnEspera = false;                  // waiting for ReanudaTodo
    int64_t Anotadas = 0;                   // passes that changed the term, while few
  } Corrida;
  // With "Mostrar los pasos", the passes of a run that each get their line in the trace, and the
  // largest term they do so for.
  static constexpr int64_t PasadasAnotadas = 1000;
  static constexpr std::size_t NodosAnotados = 10'000;
  struct TFinBucle;
  void TerminaTodo();
  // The loop and what follows it; true when the run waits for its view.
  bool SigueTodo(bool Reanuda);
  bool BucleTodo(bool Reanuda);
  // Passes until the window's events are due (Eventos), the run is over (Fin) or the window
  // closed under a view update (Cerrada).
  enum class TTrasPasadas { Eventos, Fin, Cerrada };
  TTrasPasadas Pasadas();
  bool SigueCorrida() const;
  // The visible view after a pass of run-all, then the commands that came in meanwhile; false
  // once the window closed.
  bool ActualizaEnBucle(bool Excedido);
  void Zoom1(TUpDownDirection Direction);
  void CambiaPestana();
  void Abre();
  void AbreRuta(const std::string& Ruta);
  bool Salva();  // false when the dialog was cancelled
  // Asks about changed definitions, saving them if so chosen: true when what asked may go on.
  bool GuardaSiCambiaron(const char* Pregunta);
  bool Modificadas = false;     // set by an Enter with a name, cleared by an open or a save
  bool CierreEnEspera = false;  // a close waits for the end of a view update
  void Pinta(int Ancho, int Alto);
  void ExportaDiagrama();
  void ExportaReduccion();
  // The printed form of the last step, when nothing has printed it yet (run-all on "Gráficos").
  void CompletaTraza();
  // Notes Actual's printed form in the trace, with a copy of the term for a new line.
  void AnotaEnTraza(TTextoCompartido Forma, const std::vector<TRango>& Rangos);
  TTraza Traza;  // the reduction since the last Enter
  // Runs a command: not at all once the window has closed; after the view update of run-all
  // when it arrives while that update answers events (every command but the stop and the close);
  // an exception it throws goes to the error box.
  template <typename F>
  void Protegido(F&& Orden);
  void EjecutaPendientes();  // the commands that waited for the view update

  void Renumera();
  // Folds Actual for its printing when "Mostrar los nombres de las definiciones" says so.
  void PliegaActual();
  // How Actual prints: "Conservar los nombres" as the command found it (a term prints in the mode
  // it was numbered in, so the option is read once a command), and Actual's fold, which Renumera
  // makes and every command drops.
  TPliegue Pliegue;
  TModoImpresion ModoImpresion{false, &Pliegue};
  // The ranges of the redexes hidden in a folded name (see RangosRedex).
  void EnSuSitio();
  void Muestra();           // the text view shows Actual, or AvisoVista says why not
  void RefrescaDiagrama();  // Redibuja, then the repaint of Lienzo
  void ActualizaVistaVisible();
  void MuestraCuenta(const std::string& Anexo = {});
  bool DiagramaActivo();
  // The text of Actual with the ranges of the redexes the next β contracts.
  std::string TextoResaltado(std::size_t Longitud, std::vector<TRango>& Rangos);
  // Puts the engine on the road the view's options say; whether its passes are multiple ("Beta
  // múltiple" belongs to the classic mode alone).
  bool TomaModo();
  // The redexes the next β contracts, as the engine gives them.
  void Proximos(std::vector<TExprLambda*>& Redex);
  // When the strategy in force has no next redex in Actual: the name of the form reached
  // (Windows-1252). Null otherwise.
  const char* FormaAlcanzada();
  bool FormaEnPanel = false;  // the second panel starts with that name
  void Desplaza(double X, double Y);

  IVista& Vista;
  TMotor Motor;
  TLector Lector;
  // The second panel, for Actual as it is now, with a notice after it.
  void MuestraLectura(const std::string& Aviso = {});
  void DefinicionesAbiertas();  // after an open, whole or not
  TExprLambda* Actual = nullptr;
  // Actual changed, by a command (CambiaActual, a β step) or by a pass of run-all: the one place
  // that marks what the views hold of it as stale (Numerado, MemoAlDia and, after a command, the
  // reader's reading and its sequence of terms; run-all's passes tell the reader themselves).
  enum class TCambio { Orden, Pasada };
  void TerminoCambiado(TCambio Causa);
  uint64_t Version = 0;  // counts those changes
  // Actual's variables are numbered as it is now: set by Renumera, cleared by every command,
  // by each change of the term and by anything that numbers a definition (they share free
  // variables).
  bool Numerado = false;
  std::size_t LongitudNumerada = 0;  // Actual's printed length, measured as it was numbered
  bool MemoAlDia = false;            // Memo1 shows Actual as it is now
  TCaja RaizDibujada;                // the root's box drawn last, in units
  void AjustaZoom();
  double EscalaDispositivo = 1;
  bool PararPedido = false;
  bool Cerrada = false;
  uint64_t Reemplazos = 0;        // counts CambiaActual: a run-all sees an entry made meanwhile
  std::string AvisoVista;         // why a view shows nothing, or empty
  void Avisa(std::string Aviso);  // sets AvisoVista; outside run-all the status bar says it
  // Run-all's pace: its views, the window's events (the heartbeat of a long view update among
  // them) and the commands that wait meanwhile.
  TRitmo Ritmo;
};
