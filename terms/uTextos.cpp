// SPDX-License-Identifier: GPL-3.0-or-later
#include "uTextos.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>
#include <vector>

#include "uEstrategia.h"
#include "uLambda.h"

std::string ConMillares(uint64_t n, std::string_view Separador) {
  std::string Digitos = std::to_string(n), s;
  for (std::size_t i = 0; i < Digitos.size(); ++i) {
    if (i > 0 && (Digitos.size() - i) % 3 == 0) s += Separador;
    s += Digitos[i];
  }
  return s;
}

EConMensaje::EConMensaje(const std::string& mensaje)
    : std::runtime_error(mensaje), Mensaje(mensaje) {}

std::string Mensajes::CaracterNoPermitido(char c, std::string_view Variable) {
  std::string s =
      "Car\xE1"
      "cter \"";
  s += c;
  s += "\" no permitido en variable ";
  s += Variable;
  return s;
}

std::string Mensajes::ControlEnNombre(int Codigo) {
  return "Car\xE1"
         "cter de control no admitido en el nombre (c\xF3"
         "digo " +
         std::to_string(Codigo) + ")";
}

std::string Mensajes::NombreIlegible(std::string_view Nombre) {
  const std::string Citado = "\xAB" + std::string(Nombre) + "\xBB";
  if (!Nombre.empty() && Nombre[0] >= 'a' && Nombre[0] <= 'z')
    return Citado +
           " empieza por min\xFA"
           "scula: se lee como variable";
  return Citado + " tiene un blanco o un signo: no se lee como nombre";
}

std::string Mensajes::NombresIlegibles(std::string_view Primero, std::size_t Cuantos) {
  std::string s;
  const auto Control = std::find_if(Primero.begin(), Primero.end(), [](char c) {
    return static_cast<unsigned char>(c) < 32 || c == 127;
  });
  if (Primero.empty()) {
    s = "Definici\xF3n sin nombre";
  } else if (Control != Primero.end()) {
    std::string Visible(Primero);
    for (char& c : Visible)
      if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
    s = "\xAB" + Visible +
        "\xBB tiene un car\xE1"
        "cter de control (c\xF3"
        "digo " +
        std::to_string(static_cast<unsigned char>(*Control)) + ")";
  } else {
    s = NombreIlegible(Primero);
  }
  if (Cuantos > 1) s += " (y " + ConMillares(Cuantos - 1) + " m\xE1s)";
  return s;
}

std::string Mensajes::TextoDemasiadoGrande(std::size_t Limite, std::string_view Separador) {
  return "Texto demasiado grande para mostrarlo: m\xE1s de " + ConMillares(Limite, Separador) +
         " caracteres";
}

std::string Mensajes::TextoDemasiadoGrandeGuardar(std::size_t Limite, std::string_view Separador) {
  return "Texto demasiado grande para guardarlo: m\xE1s de " + ConMillares(Limite, Separador) +
         " caracteres";
}

std::string Mensajes::DiagramaDemasiadoGrande(std::size_t Limite, std::string_view Separador) {
  return "Diagrama demasiado grande para dibujarlo: m\xE1s de " + ConMillares(Limite, Separador) +
         " nodos";
}

std::string Mensajes::SeleccionDemasiadoGrande(std::size_t Limite, std::string_view Separador) {
  return "Selecci\xF3n demasiado grande para copiarla: m\xE1s de " +
         ConMillares(Limite, Separador) + " caracteres";
}

std::string Mensajes::NoSePudoEscribir(const std::string& Ruta, const char* Causa) {
  return "No se pudo escribir " + Ruta + ": " + Causa;
}

std::string Mensajes::DiagramaDemasiadoGrandeExportar(std::size_t Limite, const char* Unidades,
                                                      std::string_view Separador) {
  return "Diagrama demasiado grande para exportarlo: m\xE1s de " + ConMillares(Limite, Separador) +
         " " + Unidades;
}

std::string Mensajes::ModoReduccion(bool Simple, bool Multiple, uint32_t Otros) {
  if (Otros == 0) return ModoReduccion(Simple, Multiple);
  std::vector<std::string> Partes;
  if (Simple) Partes.push_back("beta simple");
  if (Multiple) Partes.push_back("beta m\xFAltiple");
  for (uint32_t b = 0; b < 2 * std::size(Estrategias); ++b)
    if (Otros & (1u << b))
      Partes.push_back(NombreEstrategia(Estrategias[b / 2]) +
                       std::string(b % 2 ? " con reducci\xF3n eta" : ""));
  std::string s = "Modo: ";
  for (std::size_t i = 0; i < Partes.size(); ++i)
    s += (i == 0 ? "" : i + 1 == Partes.size() ? " y " : ", ") + Partes[i];
  return s;
}

std::string Mensajes::ModoReduccion(bool Simple, bool Multiple) {
  if (Simple && Multiple) return "Modo: beta simple y beta m\xFAltiple";
  return Multiple ? "Modo: beta m\xFAltiple" : "Modo: beta simple";
}

std::string Mensajes::PasosReduccion(int64_t Pasos) {
  return "Pasos: " + ConMillares(uint64_t(Pasos));
}

std::string Mensajes::ContraccionesReduccion(int64_t Contracciones) {
  return "Contracciones: " + ConMillares(uint64_t(Contracciones));
}

std::string Mensajes::PasosSinMostrar(int64_t Pasos) {
  return "(" + ConMillares(uint64_t(Pasos)) + (Pasos == 1 ? " paso" : " pasos") + " sin mostrar)";
}

std::string Mensajes::LineasDescartadas(std::size_t Lineas, std::size_t Limite) {
  std::string s = Lineas == 1
                      ? std::string("(Descartada la l\xEDnea m\xE1s antigua")
                      : "(Descartadas las " + ConMillares(Lineas) + " l\xEDneas m\xE1s antiguas";
  return s + ": pasaban de " + ConMillares(Limite >> 20) + " MB)";
}

std::string Mensajes::PasoActual(int64_t Paso, std::string_view Separador) {
  return "paso " + ConMillares(Paso < 0 ? 0 : uint64_t(Paso), Separador);
}

std::string Mensajes::LineasDescartadasPorCuenta(std::size_t Lineas, std::size_t Limite) {
  const std::string s = LineasDescartadas(Lineas, 0);
  return s.substr(0, s.find(": ")) + ": pasaban de " + ConMillares(Limite) + " l\xEDneas)";
}

namespace {

std::string NombreCorto(const std::string& Nombre) {
  constexpr std::size_t Maximo = 60;
  return Nombre.size() <= Maximo ? Nombre : Nombre.substr(0, Maximo) + "...";
}

}  // namespace

std::string Mensajes::RegistroErroneo(const std::string& Nombre, std::size_t Linea,
                                      const std::string& error) {
  return "Error en la definici\xF3n \"" + NombreCorto(Nombre) + "\" (l\xEDnea " +
         std::to_string(Linea) + "): " + error;
}

std::string Mensajes::CaracterNoAdmitidoEnLinea(char32_t c, std::size_t Linea) {
  char Codigo[16];
  std::snprintf(Codigo, sizeof Codigo, "U+%04X", static_cast<unsigned>(c));
  return CaracterNoAdmitido + std::string(Codigo) + " (l\xEDnea " + std::to_string(Linea) + ")";
}

std::string MensajeDemasiadoGrande(std::size_t nodos, std::string_view Separador) {
  return "T\xE9rmino demasiado grande: " + ConMillares(nodos, Separador) + " nodos en memoria";
}

std::string MensajeEntradaSalida(int Codigo) {
  switch (Codigo) {
    case 2:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case 5:
      return "File access denied";
    case 100:
      return "Read beyond end of file";
    case 101:
      return "Disk full";
    case 106:
      return "Invalid numeric input";
    default:
      return "I/O error " + std::to_string(Codigo);
  }
}

std::string TextoReducciones(int64_t Cuenta, const std::string& Separador) {
  // Appended piece by piece: GCC 12 at -O3 sees a false overlap in `" " + std::string`.
  std::string s = " ";
  s += ConMillares(Cuenta < 0 ? 0 : static_cast<uint64_t>(Cuenta), Separador);
  s += " reducciones";
  return s;
}

std::string ConPuntoFinal(const std::string& mensaje) {
  if (!mensaje.empty() && static_cast<unsigned char>(mensaje.back()) > '.') return mensaje + ".";
  return mensaje;
}

std::string MensajeExcepcion(const std::exception& e, std::string_view Separador) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return Mensajes::SinMemoria;
  if (auto* g = dynamic_cast<const EDemasiadoGrande*>(&e))
    return MensajeDemasiadoGrande(g->Nodos, Separador);
  if (auto* m = dynamic_cast<const EConMensaje*>(&e)) return m->Mensaje;
  return e.what();
}

std::string Mensajes::LecturaNumero(uint64_t Numeral, std::string_view Separador) {
  return "n\xFAmero " + ConMillares(Numeral, Separador);
}

std::string Mensajes::LecturaIgualA(std::string_view Nombres) {
  return "igual a " + std::string(Nombres);
}

std::string Mensajes::LecturaNodos(std::size_t Nodos, std::string_view Separador) {
  return ConMillares(Nodos, Separador) + (Nodos == 1 ? " nodo" : " nodos");
}

std::string Mensajes::LecturaCiclo(uint64_t Periodo, std::string_view Separador) {
  if (Periodo == 1) return "se repite cada paso";
  return "se repite cada " + ConMillares(Periodo, Separador) + " pasos";
}
