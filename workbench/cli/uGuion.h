// SPDX-License-Identifier: GPL-3.0-or-later
// lambda-cli's interpreter: runs the workbench from a script, one command a line, and writes
// what the commands print to a stream. lambda-cli and the commands' fuzzer both run it.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "uSesionEjercicios.h"
#include "uVistaGrabadora.h"
#include "vLambda.h"

// The command list, which --help and the help command print.
extern const char* const AyudaGuion;

// --corregir: the CSV of a class's files against the define exercises of the lesson at
// RutaLeccion (see AyudaGuion). A file that cannot be read or does not load gets 0 for each and
// a line on `Errores`. Returns the exit status: 1 when the lesson or a file could not be read.
int Corrige(const std::string& RutaLeccion, const std::vector<std::string>& Ficheros,
            std::ostream& Salida, std::ostream& Errores);

class TGuion {
 public:
  explicit TGuion(std::ostream& salida);

  void Ejecuta(std::string_view Linea);

  bool HuboError = false;
  // The workbench driven, for checks from outside.
  const TMesaTrabajo& MesaDeTrabajo() const { return Mesa; }

 private:
  // The commands in three groups, each false for a command that is not its own: the boxes and
  // the buttons; the options, the tabs, the spinner and the canvas; the files, and what is
  // printed.
  bool Botones(std::string_view Orden, std::string_view Resto, bool SinArgumento);
  bool Opciones(std::string_view Orden, std::string_view Resto, bool SinArgumento);
  bool Salidas(std::string_view Orden, std::string_view Resto, bool SinArgumento);
  // The lesson's exercises (uGuionEjercicios.cpp).
  bool Ejercicios(std::string_view Orden, std::string_view Resto, bool SinArgumento);

  void Error(const std::string& Mensaje);
  void Contrae(std::string_view Resto);
  void VeAPaso(std::string_view Resto);
  // As in the window: a character that Windows-1252 cannot hold refuses the Enter.
  void Entra(std::string_view Texto);
  void Pestana(int Nueva);
  void Todo(std::string_view Resto, bool SinArgumento);
  void Multiple(bool Activa);
  // As the window's menus: what a strategy does not admit is turned off.
  void Estrategia(std::string_view Clave);
  void Eta(bool Activa);
  void Compara(std::string_view Resto, bool SinArgumento);
  void Tamano(std::string_view Resto);
  void Intervalo(std::string_view Resto);
  void Muestra();
  void Pasos();
  // Lines of `info`: the redexes first, the error last.
  void InfoRedex();
  void Informa();
  void InfoError();

  // Exercises: the number N of a command's argument, from 1, of an exercise of kind *Tipo (any
  // when null; false after saying what is wrong); its line "exercise N: KIND STATE TEXT"; the term
  // of a reduce exercise entered; a contraction the exercise under way judges first.
  bool NumeroEjercicio(std::string_view Texto, const TTipoEjercicio* Tipo, const char* Uso,
                       std::size_t& i);
  void LineaEjercicio(std::size_t i);
  void ListaEjercicios();
  void CompruebaEjercicio(std::string_view Resto);
  void Responde(std::string_view Resto);
  void EmpiezaEjercicio(std::string_view Resto);
  void ContraeJuzgado(std::size_t n);
  void Pista(std::string_view Resto);
  void Semilla(std::string_view Resto);
  // The lesson's exercises come with each open that loads a file.
  void Abre(bool SinArgumento, std::string_view Ruta);

  std::ostream& Salida;
  TVistaGrabadora Vista;
  TMesaTrabajo Mesa;
  TSesionEjercicios& Sesion = Mesa.Practica.Ejercicios;
  std::string NoCabeDef;  // the first character of the name that Windows-1252 cannot hold
};
