// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's dialogs: the file dialogs, the help, the comparison of the strategies and the
// question about changed definitions. Each dialog is made by the accessor of its name (also its
// object name) when first needed, and kept in the field of that name with '_' at the end.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "vLambda.h"

class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;
class TDialogoComparar;
class TVentPpal;

class TDialogosVentana {
 public:
  explicit TDialogosVentana(TVentPpal& Ventana) : V(Ventana) {}

  QFileDialog* OpenDialog1();
  QFileDialog* SaveDialog1();
  QFileDialog* DialogoDiagrama1();
  QFileDialog* DialogoReduccion1();
  QDialog* DialogoSintaxis();
  QDialog* DialogoAcercaDe();
  QDialog* DialogoManual();
  TDialogoComparar* DialogoComparar();

  // The file dialog of IVista's, answered: false when cancelled, otherwise the chosen path.
  bool Elige(IVista::TDialogo Cual, std::string& Ruta);
  // Changed definitions would be lost: save them, go on without them, or stay.
  IVista::TRespuesta PreguntaGuardar(const QString& Pregunta);
  // Not modal: the help may stay open beside the window, also while run-all goes on.
  void Muestra(QDialog* d);
  // Shown on a screen too small for it, a window is made to fit the screen the main window is
  // on.
  void CabeEnPantalla(QWidget* w);
  // The window is closing: the comparison goes with it.
  void Cierra();

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

 private:
  bool EligeFichero(QFileDialog* Dialogo, std::string& Ruta);

  TVentPpal& V;
  QFileDialog* OpenDialog1_ = nullptr;
  QFileDialog* SaveDialog1_ = nullptr;
  QFileDialog* DialogoDiagrama1_ = nullptr;
  QFileDialog* DialogoReduccion1_ = nullptr;
  QDialog* DialogoSintaxis_ = nullptr;
  QDialog* DialogoAcercaDe_ = nullptr;
  QDialog* DialogoManual_ = nullptr;
  TDialogoComparar* DialogoComparar_ = nullptr;
  std::function<std::optional<QString>(QFileDialog&)> RespuestaDialogo;
  std::function<int(QMessageBox&)> RespuestaPregunta;
};
