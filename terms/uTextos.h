// SPDX-License-Identifier: GPL-3.0-or-later
// The words the user reads: every message of the term model, the parser, the PNG export, the
// definitions file and the workbench, and the texts the window shows for errors. Windows-1252
// bytes, as every text inside. The window's captions (menus, tabs, dialogs) stay with its layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

// "52.000.000": groups of three digits, with full stops or the separator given.
std::string ConMillares(uint64_t n, std::string_view Separador = ".");

// An error whose message may hold any byte, a NUL too: it is carried whole in Mensaje, where
// what() stops at the first NUL.
class EConMensaje : public std::runtime_error {
 public:
  explicit EConMensaje(const std::string& mensaje);
  std::string Mensaje;
};

namespace Mensajes {
// The parser's.
inline constexpr const char* EntradaVacia =
    "Entrada vac\xED"
    "a";
inline constexpr const char* LambdaMalConstruido = "Lambda mal construido";
inline constexpr const char* LambdaMalConstruidoP = "Lambda mal construido.";
inline constexpr const char* Ambiguedad = "Ambiguedad en variables de lambdas.";
inline constexpr const char* PuntoSinLambda = "Punto sin lambda";
inline constexpr const char* ParentesisNoCerrado = "Par\xE9ntesis no cerrado";
inline constexpr const char* CierreSinApertura = "Par\xE9ntesis de cierre sin apertura";
inline constexpr const char* SimboloNoDefinido = "S\xEDmbolo no definido: ";
inline constexpr const char* NoHayActual = "No hay t\xE9rmino actual";
// "Comparar estrategias…": the line that says which term it compares, and a strategy stopped
// before its turn came.
inline constexpr const char* TerminoComparado = "T\xE9rmino comparado: ";
inline constexpr const char* SinEmpezar = "detenida antes de empezar";
// Below its table: under way, ended by itself, stopped by "Detener".
inline constexpr const char* Comparando = "Comparando\x85";
inline constexpr const char* ComparacionTerminada = "Terminado.";
inline constexpr const char* ComparacionDetenida = "Detenido.";
inline constexpr const char* EntradaDemasiadoLarga = "Entrada demasiado larga";
// "Carácter "X" no permitido en variable NAME"
std::string CaracterNoPermitido(char c, std::string_view Variable);

// An entry with a character that Windows-1252 cannot hold; the character follows, in the
// encoding of the text it is added to.
inline constexpr const char* CaracterNoAdmitido =
    "Car\xE1"
    "cter no admitido: ";
// "Carácter de control no admitido en el nombre (código 9)"
std::string ControlEnNombre(int Codigo);
// A name beginning with '#': its record would read back as a comment line.
inline constexpr const char* AlmohadillaEnNombre =
    "Un nombre no puede empezar por \"#\": en el fichero se leer\xED"
    "a como comentario";
// The second panel, after a name the parser cannot read as a symbol is stored: "«doble» empieza
// por minúscula: se lee como variable" or "«A B» tiene un blanco o un signo: no se lee como
// nombre"
std::string NombreIlegible(std::string_view Nombre);
// The second panel, after an open that loaded definitions whose names no expression can write
// (the file still loads): the first of them, as NombreIlegible, "Definición sin nombre" or "«A?B»
// tiene un carácter de control (código 9)" (each control character shown as '?'), then "(y 2 más)".
std::string NombresIlegibles(std::string_view Primero, std::size_t Cuantos);
// The numbers of the messages below are grouped with the thousands separator given: the view's
// (IVista::SeparadorMillares), so that one window shows one convention.
// "Texto demasiado grande para mostrarlo: más de 1.000 caracteres"
std::string TextoDemasiadoGrande(std::size_t Limite, std::string_view Separador);
// "Diagrama demasiado grande para dibujarlo: más de 1.000 nodos"
std::string DiagramaDemasiadoGrande(std::size_t Limite, std::string_view Separador);
// "Selección demasiado grande para copiarla: más de 1.000 caracteres"
std::string SeleccionDemasiadoGrande(std::size_t Limite, std::string_view Separador);
// A definitions file longer than an open reads: "Texto demasiado grande para guardarlo: más de
// 1.073.741.824 caracteres"
std::string TextoDemasiadoGrandeGuardar(std::size_t Limite, std::string_view Separador);

// The exports of the diagram and of the reduction.
// "Diagrama demasiado grande para exportarlo: más de 1.000.000 nodos" (or "píxeles").
std::string DiagramaDemasiadoGrandeExportar(std::size_t Limite, const char* Unidades,
                                            std::string_view Separador);
inline constexpr const char* Nodos = "nodos";
inline constexpr const char* Pixeles = "p\xEDxeles";
// The lines of the reduction's file, around its numbered passes.
inline constexpr const char* TituloReduccion =
    "C\xE1lculo Lambda: reducci\xF3n desde la \xFAltima entrada";
std::string ModoReduccion(bool Simple, bool Multiple);  // "Modo: beta simple"...
// The same with the other strategies the steps took, bit 2 e + η of each strategy e (in the
// menu's order): "Modo: beta simple y Llamada por valor", "Modo: Orden normal con reducción eta".
std::string ModoReduccion(bool Simple, bool Multiple, uint32_t Otros);
std::string PasosReduccion(int64_t Pasos);                  // "Pasos: 12"
std::string ContraccionesReduccion(int64_t Contracciones);  // "Contracciones: 12"
std::string PasosSinMostrar(int64_t Pasos);                 // "(10 pasos sin mostrar)"
// "(Descartadas las 3 líneas más antiguas: pasaban de 64 MB)"
std::string LineasDescartadas(std::size_t Lineas, std::size_t Limite);
// "(Descartadas las 3 líneas más antiguas: pasaban de 262.144 líneas)"
std::string LineasDescartadasPorCuenta(std::size_t Lineas, std::size_t Limite);
// The second panel's start while the steps are shown: "paso 12".
std::string PasoActual(int64_t Paso, std::string_view Separador);
// The reduction with its redexes marked starts with the text typed: "Expresión: SUMA 2 3".
inline constexpr const char* ExpresionEntrada = "Expresi\xF3n: ";
inline constexpr const char* FormaNoGuardada = "(Texto demasiado grande para guardarlo)";

// The PNG export's: an empty bitmap, and a file libpng could not write ("No se pudo escribir
// RUTA: CAUSA").
inline constexpr const char* ImagenVacia =
    "Imagen vac\xED"
    "a";
std::string NoSePudoEscribir(const std::string& Ruta, const char* Causa);

// Added to a write error once the file written in place has been emptied.
inline constexpr const char* FicheroIncompleto = "; el fichero ha quedado incompleto";
// "Error en la definición "NAME" (línea 4): ERROR", a long name cut.
std::string RegistroErroneo(const std::string& Nombre, std::size_t Linea, const std::string& error);
// The definitions file's own: a path that is no regular file; a character of a UTF-8 file that
// Windows-1252 cannot hold ("Carácter no admitido: U+03A9 (línea 3)"); the question before the
// changed definitions would be lost.
inline constexpr const char* NoEsUnFichero =
    "No es un fichero normal (es una tuber\xED"
    "a, un dispositivo o un socket)";
std::string CaracterNoAdmitidoEnLinea(char32_t c, std::size_t Linea);
inline constexpr const char* GuardarAntesDeCerrar =
    "Las definiciones han cambiado. \xBFGuardarlas antes de cerrar?";
inline constexpr const char* GuardarAntesDeAbrir =
    "Las definiciones han cambiado. \xBFGuardarlas antes de abrir otro fichero?";

// What is shown when memory has run out, and for an error that is not an exception.
inline constexpr const char* SinMemoria = "Out of memory";
inline constexpr const char* ErrorDesconocido = "Error desconocido.";
}  // namespace Mensajes

// "Término demasiado grande: 52.000.000 nodos en memoria" (full stops: the text of
// EDemasiadoGrande). Memory holds every term kept, and a variable once however often it occurs:
// not the size the second panel gives, which counts the term as written.
std::string MensajeDemasiadoGrande(std::size_t nodos, std::string_view Separador = ".");
// Message of an input/output error code: 2 "File not found", ..., "I/O error %d" otherwise.
std::string MensajeEntradaSalida(int Codigo);
// " 1.234 reducciones" with the given thousands separator.
std::string TextoReducciones(int64_t Cuenta, const std::string& Separador);
// The error box's text: a full stop is added after a letter or a digit.
std::string ConPuntoFinal(const std::string& mensaje);
// The message of an exception that ends a command; the numbers it holds grouped with
// `Separador` (EDemasiadoGrande's).
std::string MensajeExcepcion(const std::exception& e, std::string_view Separador = ".");

// The workbench's second panel: what the current term reads back as, its parts joined by
// SeparadorLectura ("número 6 · igual a SEIS, 6 · 243 nodos · se repite cada 2 pasos"), the
// numbers grouped with the view's thousands separator.
namespace Mensajes {
inline constexpr const char* SeparadorLectura = " \xB7 ";  // " · "
inline constexpr const char* SeparadorNombres = ", ";
std::string LecturaNumero(uint64_t Numeral, std::string_view Separador);  // "número 6"
std::string LecturaIgualA(std::string_view Nombres);                      // "igual a SEIS, 6"
std::string LecturaNodos(std::size_t Nodos, std::string_view Separador);  // "243 nodos", "1 nodo"
// "se repite cada paso", "se repite cada 2 pasos"
std::string LecturaCiclo(uint64_t Periodo, std::string_view Separador);
}  // namespace Mensajes
