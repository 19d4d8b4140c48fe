// SPDX-License-Identifier: GPL-3.0-or-later
// lambda-cli's interpreter: runs the workbench from a script, one command a line, and writes
// what the commands print to a stream. lambda-cli and the commands' fuzzer both run it.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "uVistaGrabadora.h"
#include "vLambda.h"

// The command list, which --help and the help command print.
extern const char* const AyudaGuion;

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

  std::ostream& Salida;
  TVistaGrabadora Vista;
  TMesaTrabajo Mesa;
  std::string NoCabeDef;  // the first character of the name that Windows-1252 cannot hold
};
