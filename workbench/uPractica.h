// SPDX-License-Identifier: GPL-3.0-or-later
// The lesson's exercises inside the workbench: loaded with each open, worked through the
// workbench's commands, the same for every face. A face shows the "Ejercicios" panel from what
// this gives (the rows, the exercise shown and what its last action said) and feeds it the
// panel's buttons through TMesaTrabajo::Ejercicio. All texts are Windows-1252, as the views'.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "uSesionEjercicios.h"

class IVista;
class TMesaTrabajo;
class TAplicacion;

// The panel's buttons: show an exercise, "Comprobar" (a definition, or the answer typed for a
// normal form), "Empezar" (a reduction), "Pista", and "Reiniciar" (the lesson's progress
// forgotten).
enum class TAccionEjercicio { Muestra, Comprueba, Empieza, Pista, Reinicia };

class TPractica {
 public:
  TPractica(TMesaTrabajo& Mesa, IVista& Vista);

  TSesionEjercicios Ejercicios;

  // The name the lesson's progress is kept under (its file's name); empty with no exercises.
  const std::string& Leccion() const { return Nombre; }
  // A row of the panel's list: the kind ("definir", "reducir", "forma normal"), the progress
  // ("resuelto · 2 errores"), the statement.
  struct TFila {
    std::string Tipo, Estado, Enunciado;
    bool Resuelto = false;
  };
  std::vector<TFila> Filas() const;
  // The exercise the panel shows, and what its last action said, a line each.
  std::size_t Mostrado() const { return Actual; }
  const std::vector<std::string>& Resultado() const { return Lineas; }
  bool Comprobando() const { return EnComprobacion; }

  // After an open that went through: the exercises of the definitions now open, with the
  // progress the face kept for the file at `Ruta`.
  void Abierta(const std::string& Ruta);
  void Accion(TAccionEjercicio a, std::size_t i, const std::string& Respuesta);

  // A redex chosen while a reduction is under way: true when the exercise's strategy contracts
  // it next; otherwise the status bar says why, and it counts as a mistake. TrasPaso follows the
  // contraction it allowed. Abandona: the term was replaced otherwise (β, ←, ∀β, an Enter, a
  // line of "Pasos"), which ends the reduction under way.
  bool Admite(TAplicacion* Elegido);
  void TrasPaso();
  void Abandona();
  // The last judgement of a chosen redex (lambda-cli prints it).
  std::optional<TSesionEjercicios::TJuicio> UltimoJuicio;

 private:
  void Comprueba(std::size_t i, const std::string& Respuesta);
  void CompruebaDefinicion(std::size_t i);
  void Empieza(std::size_t i);
  void Entra(const std::string& Texto);
  void Cambiado();

  TMesaTrabajo& Mesa;
  IVista& Vista;
  std::string Nombre;
  std::size_t Actual = 0;
  std::vector<std::string> Lineas;
  bool EnComprobacion = false;
  bool Entrando = false;  // the practice itself enters a term: nothing is abandoned
};
