// SPDX-License-Identifier: GPL-3.0-or-later
#include "uFichero.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "uDefiniciones.h"
#include "uLambda.h"
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
// message says so.
void EscribeEnSuSitio(const std::string& Ruta, const TGenerador& Genera) {
  TDescriptor f(::open(Ruta.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (f.Get() < 0) Falla(errno, Ruta);
  struct stat st;
  bool Regular = ::fstat(f.Get(), &st) == 0 && S_ISREG(st.st_mode);
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

void CargaDefiniciones(std::string_view Bytes, TDefiniciones& Definiciones, int32_t& NumVars) {
  std::string_view Resto = HastaFinDeFichero(Bytes);
  std::string Nombre, Expresion, Error;
  std::size_t Linea = 1;
  while (!Resto.empty()) {
    LeeLinea(Resto, Nombre);
    LeeLinea(Resto, Expresion);  // empty when the file ended after the name
    TRetenido t(Analiza(Expresion, Definiciones, nullptr, Error));
    // The fault is in the expression line, also when the file ended before it.
    if (!Error.empty()) throw ERegistroErroneo(Nombre, Linea + 1, Error);
    Renumera(t.Get(), NumVars);
    // Agrega releases the term itself when it fails.
    std::string n = Nombre;
    Definiciones.Agrega(std::move(n), t.Suelta());
    Linea += 2;
  }
}

std::string TextoDefiniciones(TDefiniciones& Definiciones, int32_t& NumVars) {
  std::string Bytes;
  for (std::size_t i = 0; i < Definiciones.Cuenta(); ++i) {
    Bytes += Definiciones[i].Nombre;
    Bytes += "\r\n";
    Renumera(Definiciones[i].Termino, NumVars);
    Bytes += Definiciones[i].Termino->Texto();
    Bytes += "\r\n";
  }
  return Bytes;
}

std::string LeeFichero(const std::string& Ruta) {
  TDescriptor f(::open(Ruta.c_str(), O_RDONLY | O_CLOEXEC));
  if (f.Get() < 0) Falla(errno, Ruta);
  struct stat st;
  if (::fstat(f.Get(), &st) != 0) Falla(errno, Ruta);
  if (S_ISDIR(st.st_mode)) Falla(EISDIR, Ruta);
  std::string Bytes;
  if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= MaximoFichero)
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

void EscribeFichero(const std::string& Ruta, std::string_view Bytes) {
  EscribeFichero(Ruta, [Bytes](const TSumidero& Escribe) { Escribe(Bytes); });
}

void EscribeFichero(const std::string& RutaPedida, const TGenerador& Genera) {
  std::string Ruta = RutaPedida;
  struct stat st;
  bool Existe = ::lstat(Ruta.c_str(), &st) == 0;
  if (Existe && S_ISLNK(st.st_mode)) {
    // Replace the file the link points to, not the link.
    if (char* Real = ::realpath(Ruta.c_str(), nullptr)) {
      Ruta = Real;
      std::free(Real);
    }
    Existe = ::stat(Ruta.c_str(), &st) == 0;
  }
  if (Existe && S_ISDIR(st.st_mode)) Falla(EISDIR, Ruta);
  // A device or a pipe has no contents to keep whole; renaming over it would replace it. A new
  // file would leave the other links with the old contents, or take the saver's owner.
  if (Existe && (!S_ISREG(st.st_mode) || st.st_nlink > 1 || st.st_uid != ::geteuid()))
    return EscribeEnSuSitio(Ruta, Genera);

  std::string Temporal = Ruta + ".tmpXXXXXX";
  TDescriptor f(::mkstemp(Temporal.data()));
  if (f.Get() < 0) {
    int e = errno;
    if (SinTemporal(e)) return EscribeEnSuSitio(Ruta, Genera);
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
    EscribeEnSuSitio(Ruta, Genera);
  }
}
