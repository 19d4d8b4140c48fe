// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's views of the current term: the text (Memo1, with the next step's background,
// the names the options fold it into and the numbering it prints with), the diagram (its bitmap,
// zoom, shift and device scale) and the status bar with its second panel.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Agg2D.h"
#include "uBitmap.h"
#include "uDiagrama.h"
#include "uDireccion.h"
#include "uLambda.h"
#include "uPliegue.h"
#include "uRango.h"

class IVista;
class TMesaTrabajo;

class TVistas {
 public:
  TVistas(TMesaTrabajo& Mesa, IVista& Vista);
  TVistas(const TVistas&) = delete;
  TVistas& operator=(const TVistas&) = delete;

  // Every command starts here: nothing numbered yet, "Conservar los nombres" as the command
  // finds it (a term prints in the mode it was numbered in, so the option is read once a
  // command), and no fold.
  void NuevaOrden();
  // The term changed: its numbering and the text shown are stale.
  void Caduca();

  // The text view: Muestra shows Actual, or the notice why not; Renumera numbers its variables
  // for printing (folding it first when "Mostrar los nombres de las definiciones" says so);
  // TextoResaltado gives its text with the ranges of the redexes the next β contracts.
  void Muestra();
  void Renumera();
  std::string TextoResaltado(std::size_t Longitud, std::vector<TRango>& Rangos);

  // The diagram. Redibuja lays Actual out and renders it into Bitmap at Zoom (nothing without a
  // current term); RefrescaDiagrama then has the view repaint Lienzo.
  void Redibuja();
  void RefrescaDiagrama();
  bool DiagramaActivo();
  // The visible view brought up to date (run-all).
  void ActualizaVistaVisible();
  // Lienzo's paint handler with its size; the drawing moved to (X, Y) from its standard place;
  // Ctrl+wheel at (X, Y); "Ajustar el diagrama a la ventana"; the spinner (the diagram's zoom or
  // Memo1's font); a change of tab; a new device scale; an export of the whole diagram.
  void Pinta(int Ancho, int Alto);
  void Desplaza(double X, double Y);
  void ZoomRueda(TUpDownDirection Direction, double X, double Y);
  void AjustaZoom();
  void Zoom1(TUpDownDirection Direction);
  void CambiaPestana();
  void CambiaEscala(double e);
  void ExportaDiagrama();
  // The options changed: the next step as they now say (OpcionesClick), the names the text
  // prints (NombresClick).
  void MuestraOpciones();
  void MuestraNombres();

  // The status bar: the count of contractions with a notice after it, a notice (outside run-all
  // the status bar says it), and the second panel for Actual as it is now, with a notice after it.
  void MuestraCuenta(const std::string& Anexo = {});
  void Avisa(std::string Aviso);
  void MuestraLectura(const std::string& Aviso = {});

  // Device pixels to a pixel of the window (above 1 on a scaled desktop): the bitmap is that
  // much larger, and the drawing that much larger in it, so it is shown sharp without scaling.
  // Zoom, the shift and the mouse's coordinates stay in the window's pixels.
  double Escala() const { return EscalaDispositivo; }

  // A small term fitted is drawn no larger than this: a variable 40 pixels across.
  static constexpr double ZoomAjusteMaximo = 4.0;

  TBitmap Bitmap;
  TAgg2DPlus Agg;
  double Zoom = 1.0;
  // Where the user moved the diagram from its standard place, in pixels.
  double DesplX = 0, DesplY = 0;
  // Longest printed form the text view is given (a sixteenth of the machine's memory): names
  // grow with the number of variables, so a term well within the node limit can print to more
  // than memory holds.
  std::size_t LimiteTexto;
  // Largest diagram drawn: past it a view update would keep the window from answering for
  // seconds, and its detail is far below one pixel anyway.
  std::size_t LimiteDiagrama = 25'000'000;
  // Whether Memo1 shows the next step's background, as the window and lambda-cli always do; a
  // benchmark weighing its cost spares the workbench finding it.
  bool MuestraResalte = true;

  // How Actual prints: "Conservar los nombres" as the command found it, and Actual's fold, which
  // Renumera makes and every command drops.
  TModoImpresion ModoImpresion{false, &Pliegue};
  // Actual's variables are numbered as it is now: set by Renumera, cleared by every command,
  // by each change of the term and by anything that numbers a definition (they share free
  // variables).
  bool Numerado = false;
  std::size_t LongitudNumerada = 0;  // Actual's printed length, measured as it was numbered
  bool MemoAlDia = false;            // Memo1 shows Actual as it is now

 private:
  // Folds Actual for its printing when "Mostrar los nombres de las definiciones" says so.
  void PliegaActual();

  TMesaTrabajo& Mesa;
  IVista& Vista;
  TPliegue Pliegue;
  double EscalaDispositivo = 1;
  TCaja RaizDibujada;         // the root's box drawn last, in units
  std::string AvisoVista;     // why a view shows nothing, or empty
  bool FormaEnPanel = false;  // the second panel starts with the name of the form reached
};
