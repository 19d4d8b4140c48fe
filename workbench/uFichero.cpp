// SPDX-License-Identifier: GPL-3.0-or-later
#include "uFichero.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "uCp1252.h"
#include "uDefiniciones.h"
#include "uEjercicios.h"
#include "uLambda.h"
#include "uLectura.h"
#include "uNombres.h"
#include "uParser.h"

namespace {

// Past this a read is refused rather than run the machine out of memory (/dev/zero...).
constexpr std::size_t MaximoFichero = std::size_t{1} << 30;
constexpr int CodigoSinMemoria = 8;
constexpr int CodigoDispositivo = 1117;

std::string Carpeta(const std::string& Ruta) {
  std::size_t p = Ruta.find_last_of('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return Ruta.substr(0, p);
}

[[noreturn]] void Falla(int Errno, const std::string& Ruta) {
  throw EEntradaSalida(CodigoDeErrno(Errno, Ruta));
}

// A pipe or a socket is never opened: its open would wait for the other end. A device is
// refused too unless the caller takes one.
void CompruebaTipo(const struct stat& st, bool Dispositivo) {
  if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) return;
  if (Dispositivo && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))) return;
  throw EConMensaje(Mensajes::NoEsUnFichero);
}

// The path a write goes to: through symbolic links, also to a target that does not exist yet,
// which the write then makes, as editors do.
std::string Destino(const std::string& Ruta) {
  std::string r = Ruta;
  for (int Saltos = 0;; ++Saltos) {
    struct stat st;
    if (::lstat(r.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return r;
    if (Saltos == 40) Falla(ELOOP, Ruta);
    std::string Enlace(PATH_MAX, '\0');
    ssize_t n = ::readlink(r.c_str(), Enlace.data(), Enlace.size());
    if (n < 0) Falla(errno, Ruta);
    if (static_cast<std::size_t>(n) >= Enlace.size()) Falla(ENAMETOOLONG, Ruta);
    Enlace.resize(static_cast<std::size_t>(n));
    // A relative target is relative to the link's folder.
    r = !Enlace.empty() && Enlace[0] == '/' ? Enlace : Carpeta(r) + "/" + Enlace;
  }
}

// Closes a descriptor on every way out; Cierra() reports the close's own failure.
class TDescriptor {
 public:
  explicit TDescriptor(int fd) : Fd(fd) {}
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  ~TDescriptor() {
    if (Fd >= 0) ::close(Fd);
  }
  int Get() const { return Fd; }
  int Cierra() {
    int r = ::close(Fd);
    Fd = -1;
    return r == 0 ? 0 : errno;
  }

 private:
  int Fd;
};

void EscribeTodo(int Fd, std::string_view Bytes, const std::string& Ruta) {
  while (!Bytes.empty()) {
    ssize_t n = ::write(Fd, Bytes.data(), Bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Falla(errno, Ruta);
    }
    Bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

// Writes over the file itself, which keeps its links, owner and mode; a new file is made with
// the default mode. Once a regular file has been emptied, a failure leaves it incomplete, and the
// message says so. The open does not wait (a pipe put there meanwhile is refused), and nothing is
// emptied before its type is known.
void EscribeEnSuSitio(const std::string& Ruta, const TGenerador& Genera, bool Dispositivo) {
  TDescriptor f(::open(Ruta.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
  if (f.Get() < 0) Falla(errno, Ruta);
  struct stat st;
  if (::fstat(f.Get(), &st) != 0) Falla(errno, Ruta);
  CompruebaTipo(st, Dispositivo);
  bool Regular = S_ISREG(st.st_mode);
  if (Regular && ::ftruncate(f.Get(), 0) != 0) Falla(errno, Ruta);
  if (!Regular && ::fcntl(f.Get(), F_SETFL, ::fcntl(f.Get(), F_GETFL) & ~O_NONBLOCK) != 0)
    Falla(errno, Ruta);
  try {
    Genera([&](std::string_view Bytes) { EscribeTodo(f.Get(), Bytes, Ruta); });
    if (int e = f.Cierra()) Falla(e, Ruta);
  } catch (const EEntradaSalida& e) {
    if (!Regular) throw;
    throw EEntradaSalida(e.Codigo, Mensajes::FicheroIncompleto);
  }
}

// Errors of making the temporary file that say nothing against writing the file in place.
bool SinTemporal(int Errno) {
  switch (Errno) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENAMETOOLONG:
    case EEXIST:
    case EINVAL:
    case EMLINK:
    case EOPNOTSUPP:
      return true;
    default:
      return false;
  }
}

// Reads one line from `Resto`: up to a line feed, every carriage return dropped.
void LeeLinea(std::string_view& Resto, std::string& Linea) {
  std::size_t Fin = Resto.find('\n');
  std::string_view l = Resto.substr(0, Fin);
  Resto.remove_prefix(Fin == std::string_view::npos ? Resto.size() : Fin + 1);
  Linea.clear();
  for (char c : l)
    if (c != '\r') Linea += c;
}

std::string_view HastaFinDeFichero(std::string_view Bytes) {
  return Bytes.substr(0, Bytes.find('\x1A'));
}

}  // namespace

bool EsComentario(std::string_view Linea) {
  return Linea.empty() || Linea[0] == '#';
}

EEntradaSalida::EEntradaSalida(int codigo, const std::string& Anexo)
    : std::runtime_error(MensajeEntradaSalida(codigo) + Anexo), Codigo(codigo) {}

ERegistroErroneo::ERegistroErroneo(const std::string& nombre, std::size_t linea,
                                   const std::string& error)
    : EConMensaje(Mensajes::RegistroErroneo(nombre, linea, error)), Linea(linea) {}

int CodigoDeErrno(int Errno, const std::string& Ruta) {
  switch (Errno) {
    case ENOENT: {
      struct stat st;
      if (!Ruta.empty() && ::stat(Carpeta(Ruta).c_str(), &st) != 0) return 3;
      return 2;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
    case ELOOP:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
      return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return 101;
    case ENOMEM:
      return CodigoSinMemoria;
    case EIO:
      return CodigoDispositivo;
    default:
      // Keep clear of the codes that have a message of their own.
      switch (Errno) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 100:
        case 101:
        case 106:
          return 1000 + Errno;
      }
      return Errno;
  }
}

std::vector<std::string> PartirLineas(std::string_view Bytes) {
  std::vector<std::string> Lineas;
  std::string_view Resto = HastaFinDeFichero(Bytes);
  while (!Resto.empty()) {
    Lineas.emplace_back();
    LeeLinea(Resto, Lineas.back());
  }
  return Lineas;
}

void CargaDefiniciones(std::string_view Bytes, TDefiniciones& Definiciones, int32_t& NumVars,
                       std::string_view Separador) {
  std::string_view Resto = HastaFinDeFichero(Bytes);
  std::string Nombre, Expresion, Error;
  std::size_t Linea = 1;
  const std::size_t PrimerComentario = Definiciones.Comentarios().size();
  while (!Resto.empty()) {
    LeeLinea(Resto, Nombre);
    // Between records: no name is empty or begins with '#' (an Enter refuses such names).
    if (EsComentario(Nombre)) {
      Definiciones.AgregaComentario(Nombre, Linea++);
      continue;
    }
    LeeLinea(Resto, Expresion);  // empty when the file ended after the name
    TRango Falta;
    TRetenido t(Analiza(Expresion, Definiciones, nullptr, Error, Falta, Separador));
    // The fault is in the expression line, also when the file ended before it.
    if (!Error.empty()) throw ERegistroErroneo(Nombre, Linea + 1, Error);
    Renumera(t.Get(), NumVars);
    // Agrega releases the term itself when it fails.
    std::string n = Nombre;
    Definiciones.Agrega(std::move(n), t.Suelta(), Expresion);
    Linea += 2;
  }
  // The file's exercises must be sound too: an open takes the whole file or nothing.
  LeeEjercicios(Definiciones, PrimerComentario);
}

std::string AvisoNombres(const TDefiniciones& Definiciones) {
  const std::string* Primero = nullptr;
  std::size_t Cuantos = 0;
  for (std::size_t i = 0; i < Definiciones.Cuenta(); ++i) {
    const std::string& n = Definiciones[i].Nombre;
    const bool Control = std::any_of(
        n.begin(), n.end(), [](char c) { return static_cast<unsigned char>(c) < 32 || c == 127; });
    if (NombreLegible(n) && !Control) continue;
    if (!Primero) Primero = &n;
    ++Cuantos;
  }
  return Primero ? Mensajes::NombresIlegibles(*Primero, Cuantos) : std::string();
}

std::string TextoDeFichero(std::string Fichero) {
  Fichero.resize(HastaFinDeFichero(Fichero).size());
  std::string_view Bytes = Fichero;
  bool Ascii = std::all_of(Bytes.begin(), Bytes.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (Ascii || !EsUtf8(Bytes)) return Fichero;
  // A byte-order mark, as some editors begin UTF-8 with, is no character of the file.
  if (Bytes.substr(0, 3) == "\xEF\xBB\xBF") Bytes.remove_prefix(3);
  std::string NoCabe;
  std::string Texto = Utf8ACp1252(Bytes, &NoCabe);
  if (!NoCabe.empty()) {
    // The first character that does not fit is the first place its bytes occur.
    std::size_t Donde = Bytes.find(NoCabe);
    std::size_t Linea =
        1 + static_cast<std::size_t>(std::count(Bytes.begin(), Bytes.begin() + Donde, '\n'));
    char32_t c = static_cast<unsigned char>(NoCabe[0]) & (NoCabe.size() == 2   ? 0x1F
                                                          : NoCabe.size() == 3 ? 0x0F
                                                                               : 0x07);
    for (std::size_t i = 1; i < NoCabe.size(); ++i)
      c = (c << 6) | (static_cast<unsigned char>(NoCabe[i]) & 0x3F);
    throw EConMensaje(Mensajes::CaracterNoAdmitidoEnLinea(c, Linea));
  }
  return Texto;
}

std::string TextoDefiniciones(TDefiniciones& Definiciones, int32_t& NumVars,
                              std::string_view Separador, bool ConservaNombres) {
  std::string Bytes;
  const std::vector<TComentario>& Comentarios = Definiciones.Comentarios();
  std::size_t c = 0;
  auto Anade = [&](std::string_view Linea) {
    if (Bytes.size() + Linea.size() + 2 > MaximoFichero)
      throw EConMensaje(Mensajes::TextoDemasiadoGrandeGuardar(MaximoFichero, Separador));
    Bytes += Linea;
    Bytes += "\r\n";
  };
  for (std::size_t i = 0; i <= Definiciones.Cuenta(); ++i) {
    // The comments before record i; those past the last record after it.
    for (; c < Comentarios.size() && (Comentarios[c].Antes <= i || i == Definiciones.Cuenta()); ++c)
      Anade(Comentarios[c].Texto);
    if (i == Definiciones.Cuenta()) break;
    std::string Linea = LineaGuardada(Definiciones, i, NumVars, Separador, ConservaNombres);
    Anade(Definiciones[i].Nombre);
    Anade(Linea);
  }
  return Bytes;
}

namespace {

// Whether definition i's text reads back, where its record stands, as its term.
bool SeRelee(const TDefiniciones& Definiciones, std::size_t i) {
  const TDefinicion& d = Definiciones[i];
  // A line end or code 26 in it would end the record early.
  if (d.Texto.empty() || d.Texto.find_first_of("\r\n\x1A") != std::string::npos) return false;
  TDefiniciones::TSoloAntes Antes(Definiciones, i);
  std::string Error;
  TRetenido t(Analiza(d.Texto, Definiciones, nullptr, Error));
  return t.Get() && MismoTerminoEscrito(t.Get(), d.Termino);
}

}  // namespace

std::string LineaGuardada(TDefiniciones& Definiciones, std::size_t i, int32_t& NumVars,
                          std::string_view Separador, bool ConservaNombres) {
  if (ConservaNombres && SeRelee(Definiciones, i)) return Definiciones[i].Texto;
  // Names grow with the number of variables, so a term of a few million nodes can print to more
  // than memory holds: a file that the open would refuse is refused here, before it is printed.
  const TModoImpresion Modo{ConservaNombres, nullptr};
  TExprLambda* t = Definiciones[i].Termino;
  const std::size_t Longitud = Renumera(t, NumVars, {}, Modo);
  if (Longitud > MaximoFichero)
    throw EConMensaje(Mensajes::TextoDemasiadoGrandeGuardar(MaximoFichero, Separador));
  return TextoConPulso(t, Longitud, {}, Modo);
}

std::string LeeFichero(const std::string& Ruta) {
  // Only a regular file: the type is known before the open, which does not wait either (a pipe
  // put there meanwhile).
  struct stat st;
  if (::stat(Ruta.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Falla(EISDIR, Ruta);
    CompruebaTipo(st, false);
  }
  TDescriptor f(::open(Ruta.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (f.Get() < 0) Falla(errno, Ruta);
  if (::fstat(f.Get(), &st) != 0) Falla(errno, Ruta);
  if (S_ISDIR(st.st_mode)) Falla(EISDIR, Ruta);
  CompruebaTipo(st, false);
  std::string Bytes;
  if (static_cast<std::size_t>(st.st_size) <= MaximoFichero)
    Bytes.reserve(static_cast<std::size_t>(st.st_size));
  char Bloque[65536];
  for (;;) {
    ssize_t n = ::read(f.Get(), Bloque, sizeof Bloque);
    if (n < 0) {
      if (errno == EINTR) continue;
      Falla(errno, Ruta);
    }
    if (n == 0) break;
    if (Bytes.size() + static_cast<std::size_t>(n) > MaximoFichero)
      throw EEntradaSalida(CodigoSinMemoria);
    Bytes.append(Bloque, static_cast<std::size_t>(n));
  }
  if (int e = f.Cierra()) Falla(e, Ruta);
  return Bytes;
}

void EscribeFichero(const std::string& Ruta, std::string_view Bytes, bool Dispositivo) {
  EscribeFichero(
      Ruta, [Bytes](const TSumidero& Escribe) { Escribe(Bytes); }, Dispositivo);
}

void EscribeFichero(const std::string& RutaPedida, const TGenerador& Genera, bool Dispositivo) {
  // The file a link points to is replaced, not the link, and made when it does not exist.
  std::string Ruta = Destino(RutaPedida);
  struct stat st;
  bool Existe = ::stat(Ruta.c_str(), &st) == 0;
  if (Existe && S_ISDIR(st.st_mode)) Falla(EISDIR, Ruta);
  if (Existe) CompruebaTipo(st, Dispositivo);
  // A device has no contents to keep whole; renaming over it would replace it. A new file would
  // leave the other links with the old contents, or take the saver's owner.
  if (Existe && (!S_ISREG(st.st_mode) || st.st_nlink > 1 || st.st_uid != ::geteuid()))
    return EscribeEnSuSitio(Ruta, Genera, Dispositivo);

  std::string Temporal = Ruta + ".tmpXXXXXX";
  TDescriptor f(::mkstemp(Temporal.data()));
  if (f.Get() < 0) {
    int e = errno;
    if (SinTemporal(e)) return EscribeEnSuSitio(Ruta, Genera, Dispositivo);
    Falla(e, Ruta);
  }
  bool EnSuSitio = false;
  try {
    mode_t Modo;
    if (Existe) {
      Modo = st.st_mode & 07777;
      // The group goes with the file; where it cannot, the file is written in place.
      struct stat Nuevo;
      if (::fstat(f.Get(), &Nuevo) != 0) Falla(errno, Ruta);
      if (Nuevo.st_gid != st.st_gid && ::fchown(f.Get(), static_cast<uid_t>(-1), st.st_gid) != 0)
        EnSuSitio = true;
    } else {
      mode_t Mascara = ::umask(0);
      ::umask(Mascara);
      Modo = 0666 & ~Mascara;
    }
    if (!EnSuSitio) {
      if (::fchmod(f.Get(), Modo) != 0) Falla(errno, Ruta);
      Genera([&](std::string_view Bytes) { EscribeTodo(f.Get(), Bytes, Ruta); });
      if (::fsync(f.Get()) != 0 && errno != EINVAL) Falla(errno, Ruta);
      if (int e = f.Cierra()) Falla(e, Ruta);
      if (::rename(Temporal.c_str(), Ruta.c_str()) != 0) Falla(errno, Ruta);
    }
  } catch (...) {
    ::unlink(Temporal.c_str());
    throw;
  }
  if (EnSuSitio) {
    ::unlink(Temporal.c_str());
    EscribeEnSuSitio(Ruta, Genera, Dispositivo);
  }
}
