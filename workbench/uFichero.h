// SPDX-License-Identifier: GPL-3.0-or-later
// The definitions file: records of a name line and an expression line, single-byte text.
// Reading accepts LF, CR LF, a stray CR (dropped), code 26 as the end, and a last line without
// line end; writing ends every line with CR LF.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "uTextos.h"

class TDefiniciones;

// An input/output failure, with the platform's code and message ("File not found"...).
class EEntradaSalida : public std::runtime_error {
 public:
  explicit EEntradaSalida(int codigo, const std::string& Anexo = {});
  int Codigo;
};

// A record of a definitions file whose expression does not parse. A name may hold any byte, a
// NUL too, so the message is carried whole in Mensaje.
class ERegistroErroneo : public EConMensaje {
 public:
  ERegistroErroneo(const std::string& nombre, std::size_t linea, const std::string& error);
  std::size_t Linea;  // of the record's expression line, from 1
};

// The code of an errno value for a file at `Ruta` (a missing folder is code 3, not 2).
int CodigoDeErrno(int Errno, const std::string& Ruta = {});

// Whether a line read where a record's name would stand is a comment or a blank line instead
// (see TComentario): it is empty or begins with '#'.
bool EsComentario(std::string_view Linea);
// The lines of a file's bytes.
std::vector<std::string> PartirLineas(std::string_view Bytes);
// Appends the records of a file's bytes to `Definiciones`, each term numbered, and its comment
// and blank lines among them. A record that does not parse stops the loading with
// ERegistroErroneo; the records before it stay (the open loads into a list of its own, and keeps
// nothing of a file that fails). Numbers in its message are grouped with `Separador`. Then the
// file's exercises are read (uEjercicios.h): one that does not parse throws EEjercicioErroneo.
void CargaDefiniciones(std::string_view Bytes, TDefiniciones& Definiciones, int32_t& NumVars,
                       std::string_view Separador = ".");
// After an open: Mensajes::NombresIlegibles for the definitions whose names no expression can
// write (not one symbol, or with a control character, which neither box takes); empty if none.
std::string AvisoNombres(const TDefiniciones& Definiciones);
// A file's bytes as Windows-1252 text, up to code 26. A file that is valid UTF-8 and holds bytes
// above 127 (what editors write today) is read as UTF-8, a leading byte-order mark dropped; its
// first character that Windows-1252 cannot hold is refused (EConMensaje, with the character and
// its line). Any other file is Windows-1252 already.
std::string TextoDeFichero(std::string Bytes);
// The bytes a save writes, each comment and blank line where it stood; renumbers every term. Bytes
// past what LeeFichero reads are refused (EConMensaje, its number grouped with `Separador`) before
// they are made.
std::string TextoDefiniciones(TDefiniciones& Definiciones, int32_t& NumVars,
                              std::string_view Separador = ".", bool ConservaNombres = false);
// The expression line a save writes for definition i. With "Conservar los nombres" on
// (`ConservaNombres`), the text it was written with when that still reads back as its term where
// the record stands (with only the definitions before it, and no current term); otherwise its
// printed form, with the names kept or not, which renumbers its term, and is refused as
// TextoDefiniciones refuses.
std::string LineaGuardada(TDefiniciones& Definiciones, std::size_t i, int32_t& NumVars,
                          std::string_view Separador = ".", bool ConservaNombres = false);

// Whole file; throws EEntradaSalida. Anything but a regular file (a pipe, a device, a socket) is
// refused at once with EConMensaje, without waiting on it.
std::string LeeFichero(const std::string& Ruta);
// Writes a file whole or not at all: a temporary file beside it is renamed over it once written
// and closed. A symbolic link is written through, and its target made when it does not exist.
// The file is written in place instead where a new file would not be the same file to its other
// users: a device, a file with more than one link or of another owner (or group), or where no
// temporary file can be made beside it (a folder the user cannot write to). An in-place write
// that fails after the file was emptied says so in its message. Throws EEntradaSalida. A pipe or
// a socket is refused at once with EConMensaje, and so is a device unless `Dispositivo` (an
// export may go to /dev/null; the definitions file is a regular file).
void EscribeFichero(const std::string& Ruta, std::string_view Bytes, bool Dispositivo = true);
// The same for a file made a piece at a time, never held whole: `Genera` hands each piece to the
// sink it is given. It runs once, when the file to write is open; an exception from it ends the
// write as a write error does.
using TSumidero = std::function<void(std::string_view)>;
using TGenerador = std::function<void(const TSumidero&)>;
void EscribeFichero(const std::string& Ruta, const TGenerador& Genera, bool Dispositivo = true);
