// SPDX-License-Identifier: GPL-3.0-or-later
// "Ejercicios": the dock of the lesson's exercises, drawn from what the workbench's practice
// holds (TPractica): the list with each one's progress, the statement of the one shown, its
// buttons, the answer box of a normal-form exercise, and what its last action said.
#pragma once

#include <QDockWidget>
#include <functional>
#include <string>

#include "uPractica.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TPanelEjercicios : public QDockWidget {
  Q_OBJECT

 public:
  explicit TPanelEjercicios(QWidget* Padre);
  // Draws the practice as it is now.
  void Dibuja(const TPractica& p);
  // A button pressed: the action, the exercise shown, the answer box's text (Windows-1252, empty
  // when it holds a character that Windows-1252 cannot).
  std::function<void(TAccionEjercicio, std::size_t, const std::string&)> AlPulsar;

  QListWidget* Lista;
  QLabel* Enunciado;
  QLineEdit* Respuesta1;
  QPushButton *Comprobar1, *Empezar1, *Pista1, *Reiniciar1;
  QLabel* Resultado;

 private:
  void Pulsa(TAccionEjercicio a);
  bool Dibujando = false;  // the list's selection is set by Dibuja, not by the user
};
