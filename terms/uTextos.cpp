#include "uTextos.h"

#include <new>

std::string ConMillares(uint64_t n, std::string_view separador) {
  std::string digitos = std::to_string(n), s;
  for (std::size_t i = 0; i < digitos.size(); ++i) {
    if (i > 0 && (digitos.size() - i) % 3 == 0) s += separador;
    s += digitos[i];
  }
  return s;
}

EConMensaje::EConMensaje(const std::string& mensaje)
    : std::runtime_error(mensaje), Mensaje(mensaje) {}

std::string Mensajes::CaracterNoPermitido(char c, std::string_view variable) {
  std::string s =
      "Car\xE1"
      "cter \"";
  s += c;
  s += "\" no permitido en variable ";
  s += variable;
  return s;
}

std::string Mensajes::ControlEnNombre(int codigo) {
  return "Car\xE1"
         "cter de control no admitido en el nombre (c\xF3"
         "digo " +
         std::to_string(codigo) + ")";
}

std::string Mensajes::TextoDemasiadoGrande(std::size_t limite) {
  return "Texto demasiado grande para mostrarlo: m\xE1s de " + ConMillares(limite) + " caracteres";
}

std::string Mensajes::DiagramaDemasiadoGrande(std::size_t limite) {
  return "Diagrama demasiado grande para dibujarlo: m\xE1s de " + ConMillares(limite) + " nodos";
}

std::string Mensajes::NoSePudoEscribir(const std::string& ruta, const char* causa) {
  return "No se pudo escribir " + ruta + ": " + causa;
}

namespace {

std::string NombreCorto(const std::string& nombre) {
  constexpr std::size_t maximo = 60;
  return nombre.size() <= maximo ? nombre : nombre.substr(0, maximo) + "...";
}

}  // namespace

std::string Mensajes::RegistroErroneo(const std::string& nombre, std::size_t linea,
                                      const std::string& error) {
  return "Error en la definici\xF3n \"" + NombreCorto(nombre) + "\" (l\xEDnea " +
         std::to_string(linea) + "): " + error;
}

std::string MensajeDemasiadoGrande(std::size_t nodos) {
  return "T\xE9rmino demasiado grande: " + ConMillares(nodos) + " nodos";
}

std::string MensajeEntradaSalida(int codigo) {
  switch (codigo) {
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
      return "I/O error " + std::to_string(codigo);
  }
}

std::string TextoReducciones(int64_t cuenta, const std::string& separador) {
  return " " + ConMillares(cuenta < 0 ? 0 : static_cast<uint64_t>(cuenta), separador) +
         " reducciones";
}

std::string ConPuntoFinal(const std::string& mensaje) {
  if (!mensaje.empty() && static_cast<unsigned char>(mensaje.back()) > '.') return mensaje + ".";
  return mensaje;
}

std::string MensajeExcepcion(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return Mensajes::SinMemoria;
  if (auto* m = dynamic_cast<const EConMensaje*>(&e)) return m->Mensaje;
  return e.what();
}
