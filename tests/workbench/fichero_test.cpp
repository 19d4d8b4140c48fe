// SPDX-License-Identifier: GPL-3.0-or-later
// The definitions file: line ends, records, failures, and the open and save commands.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "Comun.h"
#include "uCp1252.h"
#include "uFichero.h"
#include "uLambda.h"

namespace {

using Lineas = std::vector<std::string>;

TEST(Fichero, FinesDeLinea) {
  Lineas Esperadas{"I", "\\x.x", "K", "\\x y.x"};
  EXPECT_EQ(PartirLineas("I\r\n\\x.x\r\nK\r\n\\x y.x\r\n"), Esperadas);
  EXPECT_EQ(PartirLineas("I\n\\x.x\nK\n\\x y.x\n"), Esperadas);
  EXPECT_EQ(PartirLineas("I\n\\x.x\r\nK\n\\x y.x"), Esperadas);        // mixed, no last line end
  EXPECT_EQ(PartirLineas("I\r\r\n\\x\r.x\nK\n\\x y.x\r"), Esperadas);  // stray CRs dropped
  EXPECT_EQ(PartirLineas("I\n\\x.x\nK\n\\x y.x\n\x1A"
                         "basura\n"),
            Esperadas);  // code 26 ends it
  EXPECT_EQ(PartirLineas("I\n\\x.x\nK\n\\x y.x\x1A"), Esperadas);
  EXPECT_EQ(PartirLineas(""), Lineas{});
  EXPECT_EQ(PartirLineas("\x1A\n"), Lineas{});
  EXPECT_EQ(PartirLineas("\n"), Lineas{""});
  EXPECT_EQ(PartirLineas("a\n\n"), (Lineas{"a", ""}));
  EXPECT_EQ(PartirLineas("\r"), Lineas{""});
  // Bytes pass unchanged.
  EXPECT_EQ(PartirLineas(std::string_view("Funci\xF3n\n\x80\xFF\x00z", 12)),
            (Lineas{"Funci\xF3n", std::string("\x80\xFF\x00z", 4)}));
}

TEST(Fichero, Registros) {
  int32_t n = 0;
  {
    TDefiniciones d;
    CargaDefiniciones("", d, n);
    EXPECT_EQ(d.Cuenta(), 0u);
  }
  {
    // Earlier records are symbols of later ones; a name may come twice.
    TDefiniciones d;
    CargaDefiniciones("I\n\\x.x\ni\n\\y.y y\nII\nI I\n", d, n);
    ASSERT_EQ(d.Cuenta(), 3u);
    EXPECT_EQ(d[1].Nombre, "i");
    EXPECT_EQ(d[2].Termino->Texto(), "(\\ a . a) (\\ b . b)");  // numbered on load
  }
  {
    // An odd number of lines: the last record has an empty expression, reported on the line
    // after the name.
    TDefiniciones d;
    try {
      CargaDefiniciones("I\n\\x.x\nK\n", d, n);
      FAIL();
    } catch (const ERegistroErroneo& e) {
      EXPECT_EQ(e.Linea, 4u);
      EXPECT_EQ(e.Mensaje,
                "Error en la definici\xF3n \"K\" (l\xEDnea 4): Entrada vac\xED"
                "a");
    }
    EXPECT_EQ(d.Cuenta(), 1u);
  }
  {
    // An empty line after the last record is a blank line, kept after it.
    TDefiniciones d;
    CargaDefiniciones("I\r\n\\x.x\r\n\r\n", d, n);
    EXPECT_EQ(d.Cuenta(), 1u);
    ASSERT_EQ(d.Comentarios().size(), 1u);
    EXPECT_EQ(d.Comentarios()[0].Antes, 1u);
  }
  {
    // A symbol defined later, or never; a '%' has no current term. Loading stops there, and
    // the line reported is the expression's.
    TDefiniciones d;
    try {
      CargaDefiniciones("A\nB\nB\n\\x.x\n", d, n);
      FAIL();
    } catch (const ERegistroErroneo& e) {
      EXPECT_EQ(e.Mensaje,
                "Error en la definici\xF3n \"A\" (l\xEDnea 2): S\xEDmbolo no definido: B");
    }
    EXPECT_EQ(d.Cuenta(), 0u);
    EXPECT_THROW(CargaDefiniciones("P\n%\n", d, n), ERegistroErroneo);
    // A very long name is cut in the message.
    try {
      CargaDefiniciones(std::string(1000, 'N') + "\n(\n", d, n);
      FAIL();
    } catch (const ERegistroErroneo& e) {
      EXPECT_LT(std::string(e.what()).size(), 150u);
    }
  }
}

TEST(Fichero, TextoGuardado) {
  int32_t n = 0;
  TDefiniciones d;
  EXPECT_EQ(TextoDefiniciones(d, n), "");
  CargaDefiniciones("I\n\\x.x\n", d, n);
  std::string t = TextoDefiniciones(d, n);
  EXPECT_EQ(t, "I\r\n\\ a . a\r\n");
  EXPECT_EQ(t.size(), 12u);
}

TEST(Fichero, Mensajes) {
  EXPECT_EQ(MensajeEntradaSalida(2), "File not found");
  EXPECT_EQ(MensajeEntradaSalida(3), "Invalid filename");
  EXPECT_EQ(MensajeEntradaSalida(4), "Too many open files");
  EXPECT_EQ(MensajeEntradaSalida(5), "File access denied");
  EXPECT_EQ(MensajeEntradaSalida(100), "Read beyond end of file");
  EXPECT_EQ(MensajeEntradaSalida(101), "Disk full");
  EXPECT_EQ(MensajeEntradaSalida(106), "Invalid numeric input");
  EXPECT_EQ(MensajeEntradaSalida(32), "I/O error 32");
  EXPECT_EQ(CodigoDeErrno(ENOENT), 2);
  EXPECT_EQ(CodigoDeErrno(ENOENT, "/no/existe/x.txt"), 3);
  EXPECT_EQ(CodigoDeErrno(EACCES), 5);
  EXPECT_EQ(CodigoDeErrno(EISDIR), 5);
  EXPECT_EQ(CodigoDeErrno(EMFILE), 4);
  EXPECT_EQ(CodigoDeErrno(ENOSPC), 101);
  // No other errno may borrow the message of a code that has one.
  for (int e = 1; e < 200; ++e) {
    int c = CodigoDeErrno(e);
    if (c == 2) {
      EXPECT_EQ(e, ENOENT);
    }
    if (c == 100 || c == 106) ADD_FAILURE() << e;
  }
}

// The open and save commands through a workbench.
class Ficheros : public ::testing::Test {
 protected:
  TCarpeta Carpeta;
  TBanco b;

  void Abre(const std::string& Ruta) {
    b.Vista.RutaAbrir = Ruta;
    b.Mesa.Abrir1Click();
  }
  void Salva(const std::string& Ruta) {
    b.Vista.RutaSalvar = Ruta;
    b.Mesa.Salvar1Click();
  }
  // Saves a long definition with room for 4 KiB only, as a disk that fills up part way.
  void SalvaSinSitio(const std::string& Ruta) {
    std::string Largo = "\\x.x";
    for (int i = 0; i < 2000; ++i) Largo = "(\\v.v) (" + Largo + ")";
    b.Entra(Largo, "L");
    struct rlimit Viejo;
    getrlimit(RLIMIT_FSIZE, &Viejo);
    struct rlimit Limite = Viejo;
    Limite.rlim_cur = 4096;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &Limite);
    Salva(Ruta);
    setrlimit(RLIMIT_FSIZE, &Viejo);
  }
  void DosDefiniciones() {
    b.Entra("\\x.x", "I");
    b.Entra("\\x y.x", "K");
  }
};

TEST_F(Ficheros, CancelarNoCambiaNada) {
  DosDefiniciones();
  b.Vista.RutaAbrir.reset();
  b.Vista.RutaSalvar.reset();
  b.Mesa.Abrir1Click();
  b.Mesa.Salvar1Click();
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  EXPECT_EQ(b.Vista.Errores, 0);
}

TEST_F(Ficheros, IdaYVuelta) {
  // Long definitions, names with spaces and non-ASCII bytes, a repeated name.
  std::string Largo = "\\x.x";
  for (int i = 0; i < 200; ++i) Largo = "(\\v.v) (" + Largo + ")";
  b.Entra(Largo, "Largo \xF1");
  b.Entra("\\f x.f (f (f (f x)))", "4");
  b.Entra("Largo \xF1", "largo \xD1");
  b.Pestana(0);
  std::string Memo = b.Vista.Memo();
  Salva(Carpeta.Ruta("d.txt"));
  ASSERT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  std::string Bytes = LeeTodo(Carpeta.Ruta("d.txt"));
  std::vector<std::string> Antes;
  for (std::size_t i = 0; i < b.Mesa.Sesion.Definiciones.Cuenta(); ++i)
    Antes.push_back(b.Mesa.Sesion.Definiciones[i].Nombre + "=" + b.Mesa.Sesion.LineaDefinicion(i));

  TBanco c;
  c.Vista.RutaAbrir = Carpeta.Ruta("d.txt");
  c.Mesa.Abrir1Click();
  ASSERT_EQ(c.Vista.Errores, 0) << c.Vista.UltimoError;
  std::vector<std::string> Despues;
  for (std::size_t i = 0; i < c.Mesa.Sesion.Definiciones.Cuenta(); ++i)
    Despues.push_back(c.Mesa.Sesion.Definiciones[i].Nombre + "=" +
                      c.Mesa.Sesion.LineaDefinicion(i));
  EXPECT_EQ(Antes, Despues);
  EXPECT_EQ(Antes.size(), 2u);
  // Saving again gives the same bytes; the current term and its view are not touched.
  c.Vista.RutaSalvar = Carpeta.Ruta("e.txt");
  c.Mesa.Salvar1Click();
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("e.txt")), Bytes);
  EXPECT_EQ(b.Vista.Memo(), Memo);
  EXPECT_EQ(c.Mesa.Sesion.TerminoActual(), nullptr);
  // The file takes the usual permissions, not a temporary file's.
  struct stat st;
  ASSERT_EQ(stat(Carpeta.Ruta("d.txt").c_str(), &st), 0);
  mode_t m = umask(0);
  umask(m);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~m);
}

TEST_F(Ficheros, SinDefinicionesFicheroVacio) {
  Salva(Carpeta.Ruta("v.txt"));
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("v.txt")), "");
  DosDefiniciones();
  Abre(Carpeta.Ruta("v.txt"));
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 0u);
  EXPECT_EQ(b.Vista.Errores, 0);
}

TEST_F(Ficheros, AbrirQueFallaConservaLasDefiniciones) {
  DosDefiniciones();
  Abre(Carpeta.Ruta("no_existe.txt"));
  EXPECT_EQ(b.Vista.UltimoError, "File not found");
  Abre(Carpeta.Ruta("falta/d.txt"));
  EXPECT_EQ(b.Vista.UltimoError, "Invalid filename");
  Abre(Carpeta.Dir);
  EXPECT_EQ(b.Vista.UltimoError, "File access denied");
  // A read that fails part way.
  Abre("/proc/self/mem");
  EXPECT_EQ(b.Vista.UltimoError.rfind("I/O error ", 0), 0u) << b.Vista.UltimoError;
  if (geteuid() != 0) {
    EscribeTodo(Carpeta.Ruta("cerrado.txt"), "A\n\\x.x\n");
    chmod(Carpeta.Ruta("cerrado.txt").c_str(), 0);
    Abre(Carpeta.Ruta("cerrado.txt"));
    EXPECT_EQ(b.Vista.UltimoError, "File access denied");
  }
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[1].Nombre, "K");
}

// An open that fails changes nothing: a bad record, or a file that is no definitions file (a
// PNG's first bytes), leaves the list as it was; the message says which record, on which line.
TEST_F(Ficheros, AbrirQueFallaNoCambiaNada) {
  DosDefiniciones();
  b.Pestana(0);
  b.Entra("K K");
  std::string Memo = b.Vista.Memo();
  const int Cambios = b.Vista.CambiosDefiniciones;
  EscribeTodo(Carpeta.Ruta("d.txt"), "A\n\\x.x\nB\n\\x.(x\nC\n\\y.y\n");
  Abre(Carpeta.Ruta("d.txt"));
  EXPECT_EQ(b.Vista.UltimoError,
            "Error en la definici\xF3n \"B\" (l\xEDnea 4): Par\xE9ntesis no cerrado");
  EscribeTodo(Carpeta.Ruta("i.png"), std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
  Abre(Carpeta.Ruta("i.png"));
  EXPECT_EQ(b.Vista.UltimoError,
            "Error en la definici\xF3n \"\x89PNG\" (l\xEDnea 2): Entrada vac\xED"
            "a");
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "I");
  EXPECT_EQ(b.Mesa.Sesion.LineaDefinicion(1), "\\ a . \\ b . a");
  EXPECT_EQ(b.Vista.CambiosDefiniciones, Cambios);
  EXPECT_TRUE(b.Mesa.Sesion.SinGuardar());
  // The current term and the views stay as they were.
  EXPECT_EQ(b.Vista.Memo(), Memo);
  EXPECT_TRUE(EsValido(b.Mesa.Sesion.TerminoActual()));
}

TEST_F(Ficheros, SalvarQueFallaDejaElFicheroEntero) {
  DosDefiniciones();
  Salva(Carpeta.Ruta("d.txt"));
  std::string Antes = LeeTodo(Carpeta.Ruta("d.txt"));

  Salva(Carpeta.Ruta("falta/d.txt"));
  EXPECT_EQ(b.Vista.UltimoError, "Invalid filename");
  Salva(Carpeta.Dir);
  EXPECT_EQ(b.Vista.UltimoError, "File access denied");

  // A disk that fills up part way: the old file stays whole, no temporary file is left.
  SalvaSinSitio(Carpeta.Ruta("d.txt"));
  EXPECT_EQ(b.Vista.UltimoError, "Disk full");
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("d.txt")), Antes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Carpeta.Dir),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 3u);
}

TEST_F(Ficheros, SalvarPorUnEnlace) {
  DosDefiniciones();
  EscribeTodo(Carpeta.Ruta("real.txt"), "viejo");
  ASSERT_EQ(symlink(Carpeta.Ruta("real.txt").c_str(), Carpeta.Ruta("enlace.txt").c_str()), 0);
  Salva(Carpeta.Ruta("enlace.txt"));
  EXPECT_EQ(b.Vista.Errores, 0);
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("real.txt")), "I\r\n\\ a . a\r\nK\r\n\\ a . \\ b . a\r\n");
  struct stat st;
  ASSERT_EQ(lstat(Carpeta.Ruta("enlace.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// A link whose target does not exist yet: the save makes the target, and the link stays.
TEST_F(Ficheros, SalvarPorUnEnlaceRoto) {
  DosDefiniciones();
  ASSERT_EQ(mkdir(Carpeta.Ruta("sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("sub/nuevo.txt", Carpeta.Ruta("enlace.txt").c_str()), 0);
  Salva(Carpeta.Ruta("enlace.txt"));
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("sub/nuevo.txt")), "I\r\n\\ a . a\r\nK\r\n\\ a . \\ b . a\r\n");
  struct stat st;
  ASSERT_EQ(lstat(Carpeta.Ruta("enlace.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// A pipe, a device or a socket is refused at once, to open and to save; nothing waits on it.
TEST_F(Ficheros, SoloFicherosNormales) {
  DosDefiniciones();
  ASSERT_EQ(mkfifo(Carpeta.Ruta("tubo").c_str(), 0600), 0);
  // Should an open wait on the pipe, an alarm cuts it short and the test fails.
  struct sigaction Nueva = {};
  struct sigaction Vieja;
  Nueva.sa_handler = [](int) {};
  sigemptyset(&Nueva.sa_mask);
  sigaction(SIGALRM, &Nueva, &Vieja);
  const std::string NoEs =
      "No es un fichero normal (es una tuber\xED"
      "a, un dispositivo o un socket)";
  for (const std::string& Ruta : {Carpeta.Ruta("tubo"), std::string("/dev/null")}) {
    alarm(2);
    Abre(Ruta);
    EXPECT_EQ(b.Vista.UltimoError, NoEs) << Ruta;
    alarm(2);
    Salva(Ruta);
    EXPECT_EQ(b.Vista.UltimoError, NoEs) << Ruta;
    alarm(0);
  }
  sigaction(SIGALRM, &Vieja, nullptr);
  EXPECT_EQ(b.Vista.Errores, 4);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  struct stat st;
  ASSERT_EQ(lstat(Carpeta.Ruta("tubo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A file in UTF-8, as editors write it today, reads as the characters it holds; one that
// Windows-1252 cannot hold is refused, named with its line, and nothing changes. A file in
// Windows-1252 reads as before.
TEST_F(Ficheros, FicheroEnUtf8) {
  EscribeTodo(Carpeta.Ruta("u.txt"),
              "\xEF\xBB\xBFPEQUE\xC3\x91O\n\xCE\xBBx.x\n\xC2\xBFY?\nPEQUE\xC3\x91O\n");
  Abre(Carpeta.Ruta("u.txt"));
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "PEQUE\xD1O");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[1].Nombre, "\xBFY?");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Texto, "\\x.x");  // λ read as the lambda

  EscribeTodo(Carpeta.Ruta("o.txt"), "A\n\\x.x\n\xCE\xA9\nA\n");
  Abre(Carpeta.Ruta("o.txt"));
  EXPECT_EQ(b.Vista.UltimoError,
            "Car\xE1"
            "cter no admitido: U+03A9 (l\xEDnea 3)");
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "PEQUE\xD1O");

  // What is not UTF-8 is Windows-1252: a cut sequence, an overlong form, a surrogate.
  EXPECT_TRUE(EsUtf8("\xC3\x91\xF0\x9F\x98\x80"));
  for (const char* No : {"PEQUE\xD1O", "\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
    EXPECT_FALSE(EsUtf8(No)) << No;
  EscribeTodo(Carpeta.Ruta("w.txt"), "PEQUE\xD1O\n\\x.x\n");
  Abre(Carpeta.Ruta("w.txt"));
  ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 1u);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "PEQUE\xD1O");
  EXPECT_EQ(b.Vista.Errores, 1);
}

// Where renaming a new file over the target would not give the user the same file, the file is
// written where it is: a hard link, another owner, a folder the user cannot write to, a name with
// no room for a temporary one beside it. The file keeps its links, owner, group and mode.
TEST_F(Ficheros, SalvarEnSuSitio) {
  DosDefiniciones();
  const std::string Nuevo = "I\r\n\\ a . a\r\nK\r\n\\ a . \\ b . a\r\n";
  auto Estado = [](const std::string& Ruta) {
    struct stat st {};
    EXPECT_EQ(stat(Ruta.c_str(), &st), 0) << Ruta;
    return st;
  };
  auto CuentaFicheros = [&] {
    return std::distance(std::filesystem::directory_iterator(Carpeta.Dir),
                         std::filesystem::directory_iterator());
  };

  // Two links: both see the new contents; the mode stays.
  EscribeTodo(Carpeta.Ruta("a.txt"), "viejo");
  ASSERT_EQ(link(Carpeta.Ruta("a.txt").c_str(), Carpeta.Ruta("b.txt").c_str()), 0);
  chmod(Carpeta.Ruta("a.txt").c_str(), 0604);
  ino_t Nodo = Estado(Carpeta.Ruta("a.txt")).st_ino;
  Salva(Carpeta.Ruta("a.txt"));
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("b.txt")), Nuevo);
  EXPECT_EQ(Estado(Carpeta.Ruta("a.txt")).st_ino, Nodo);
  EXPECT_EQ(Estado(Carpeta.Ruta("a.txt")).st_mode & 07777, 0604u);

  // A single link keeps the atomic save, and still the mode.
  EscribeTodo(Carpeta.Ruta("c.txt"), "viejo");
  chmod(Carpeta.Ruta("c.txt").c_str(), 0640);
  Salva(Carpeta.Ruta("c.txt"));
  EXPECT_EQ(LeeTodo(Carpeta.Ruta("c.txt")), Nuevo);
  EXPECT_EQ(Estado(Carpeta.Ruta("c.txt")).st_mode & 07777, 0640u);

  // No room for the temporary name beside it.
  std::string Largo = Carpeta.Ruta(std::string(NAME_MAX - 4, 'n') + ".txt");
  EscribeTodo(Largo, "viejo");
  Salva(Largo);
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  EXPECT_EQ(LeeTodo(Largo), Nuevo);

  if (geteuid() == 0) {
    // Another user's file keeps its owner; a file of another group keeps its group.
    EscribeTodo(Carpeta.Ruta("ajeno.txt"), "viejo");
    ASSERT_EQ(chown(Carpeta.Ruta("ajeno.txt").c_str(), 4321, 4321), 0);
    EscribeTodo(Carpeta.Ruta("grupo.txt"), "viejo");
    ASSERT_EQ(chown(Carpeta.Ruta("grupo.txt").c_str(), 0, 4321), 0);
    Salva(Carpeta.Ruta("ajeno.txt"));
    Salva(Carpeta.Ruta("grupo.txt"));
    EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
    EXPECT_EQ(LeeTodo(Carpeta.Ruta("ajeno.txt")), Nuevo);
    EXPECT_EQ(Estado(Carpeta.Ruta("ajeno.txt")).st_uid, 4321u);
    EXPECT_EQ(LeeTodo(Carpeta.Ruta("grupo.txt")), Nuevo);
    EXPECT_EQ(Estado(Carpeta.Ruta("grupo.txt")).st_gid, 4321u);
  } else {
    // A shared folder: the file can be written, the folder cannot.
    TCarpeta Compartida;
    std::string Ruta = Compartida.Ruta("d.txt");
    EscribeTodo(Ruta, "viejo");
    chmod(Compartida.Dir.c_str(), 0555);
    Salva(Ruta);
    chmod(Compartida.Dir.c_str(), 0755);
    EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
    EXPECT_EQ(LeeTodo(Ruta), Nuevo);
  }
  EXPECT_EQ(b.Vista.Errores, 0) << b.Vista.UltimoError;
  long Antes = CuentaFicheros();

  // A failure part way through an in-place save says that the file is left incomplete.
  SalvaSinSitio(Carpeta.Ruta("a.txt"));
  EXPECT_EQ(b.Vista.UltimoError, "Disk full; el fichero ha quedado incompleto");
  EXPECT_EQ(CuentaFicheros(), Antes);  // no temporary file left behind
}

// A name is a line of the definitions file: a control character in it is refused at the Enter,
// and one that comes in from a file reaches the error message whole.
TEST_F(Ficheros, NombresConCaracteresDeControl) {
  b.Pestana(0);
  b.Entra("\\x.x", "I");
  b.Entra("I I");
  b.Mesa.btnBetaClick();
  TExprLambda* Actual = b.Mesa.Sesion.TerminoActual();
  std::string Memo = b.Vista.Memo();
  for (std::string Nombre : {std::string("A\x1A"
                                         "B"),
                             std::string("A\0B", 3), std::string("\t"), std::string("\x7F")}) {
    b.Vista.Estado.clear();
    b.Entra("\\y.y y", Nombre);
    EXPECT_EQ(b.Vista.Estado.rfind("Car\xE1"
                                   "cter de control no admitido en el nombre (c\xF3"
                                   "digo ",
                                   0),
              0u)
        << b.Vista.Estado;
    EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 1u);
    EXPECT_EQ(b.Mesa.Sesion.TerminoActual(), Actual);
    EXPECT_TRUE(b.Vista.Back);
    EXPECT_EQ(b.Vista.Memo(), Memo);
    EXPECT_EQ(b.Vista.Def, Nombre);
  }
  EXPECT_EQ(b.Vista.Estado,
            "Car\xE1"
            "cter de control no admitido en el nombre (c\xF3"
            "digo 127)");
  // The expression box keeps the parser's handling of them.
  b.Entra(std::string("I\0", 2));
  EXPECT_EQ(b.Vista.Estado.rfind("S\xEDmbolo no definido: I", 0), 0u);

  EscribeTodo(Carpeta.Ruta("d.txt"), std::string("A\0B\n(\n", 6));
  Abre(Carpeta.Ruta("d.txt"));
  EXPECT_EQ(b.Vista.UltimoError, std::string("Error en la definici\xF3n \"A") + '\0' +
                                     "B\" (l\xEDnea 2): Par\xE9ntesis no cerrado");
}

// A view that answers the question about changed definitions, and closes as a window would.
class TVistaQuePregunta : public TVistaGrabadora {
 public:
  TRespuesta Respuesta = TRespuesta::Cancelar;
  std::vector<std::string> Preguntas;
  int Cierres = 0;
  TRespuesta PreguntaGuardar(const std::string& Pregunta) override {
    Preguntas.push_back(Pregunta);
    return Respuesta;
  }
  void Cierra() override {
    ++Cierres;
    if (Mesa->FormCloseQuery()) Mesa->FormClose();
  }
};

struct TBancoQuePregunta : TBancoCon<TVistaQuePregunta> {
  TCarpeta Carpeta;
};

// Definitions changed since the last open or save are not lost without a question, on a close
// or an open: Guardar saves them first (a save cancelled or failed stops there), Descartar goes
// on, Cancelar stays.
TEST(Pregunta, AntesDePerderLasDefiniciones) {
  TBancoQuePregunta b;
  TVistaQuePregunta& v = b.Vista;
  const std::string Otro = b.Carpeta.Ruta("otro.txt");
  EscribeTodo(Otro, "O\n\\x.x\n");
  // Nothing changed yet, or only a term without a name: no question.
  b.Entra("\\x.x");
  EXPECT_FALSE(b.Mesa.Sesion.SinGuardar());
  EXPECT_TRUE(b.Mesa.FormCloseQuery());
  b.Entra("\\x.x", "I");
  EXPECT_TRUE(b.Mesa.Sesion.SinGuardar());

  v.RutaAbrir = Otro;
  v.Respuesta = IVista::TRespuesta::Cancelar;
  b.Mesa.Abrir1Click();
  EXPECT_FALSE(b.Mesa.FormCloseQuery());
  ASSERT_EQ(v.Preguntas.size(), 2u);
  EXPECT_EQ(v.Preguntas[0],
            "Las definiciones han cambiado. \xBFGuardarlas antes de abrir otro fichero?");
  EXPECT_EQ(v.Preguntas[1], "Las definiciones han cambiado. \xBFGuardarlas antes de cerrar?");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "I");

  // Guardar, and the save dialog cancelled or the save failing: nothing goes on.
  v.Respuesta = IVista::TRespuesta::Guardar;
  v.RutaSalvar.reset();
  b.Mesa.Abrir1Click();
  EXPECT_FALSE(b.Mesa.FormCloseQuery());
  v.RutaSalvar = b.Carpeta.Ruta("falta/d.txt");
  b.Mesa.Abrir1Click();
  EXPECT_FALSE(b.Mesa.FormCloseQuery());
  EXPECT_EQ(v.UltimoError, "Invalid filename");
  EXPECT_EQ(v.Errores, 2);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "I");
  EXPECT_FALSE(b.Mesa.Cerrado());

  // Guardar and a save that works: the open goes on.
  v.RutaSalvar = b.Carpeta.Ruta("d.txt");
  b.Mesa.Abrir1Click();
  EXPECT_EQ(LeeTodo(b.Carpeta.Ruta("d.txt")), "I\r\n\\ a . a\r\n");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones[0].Nombre, "O");
  EXPECT_FALSE(b.Mesa.Sesion.SinGuardar());
  const std::size_t Preguntas = v.Preguntas.size();
  EXPECT_TRUE(b.Mesa.FormCloseQuery());
  b.Entra("\\x.x x", "D");
  v.Respuesta = IVista::TRespuesta::Descartar;
  EXPECT_TRUE(b.Mesa.FormCloseQuery());
  EXPECT_EQ(v.Preguntas.size(), Preguntas + 1);
}

// A close inside a view update of run-all asks once the update is over (a save would renumber
// what the paused walk reads), and then closes through the view.
TEST(Pregunta, CierreDuranteUnaActualizacion) {
  TBancoQuePregunta b;
  TVistaQuePregunta& v = b.Vista;
  b.Entra("\\x.x", "I");
  std::string Numeral = "(\\y.y) \\f x.";
  for (int i = 0; i < 100000; ++i) Numeral += "f (";
  Numeral += "x" + std::string(100000, ')');
  v.Pestana = 0;
  b.Mesa.PageControl1Change();
  b.Entra(Numeral);
  b.Mesa.FijaIntervalo(1e-9);
  v.Respuesta = IVista::TRespuesta::Descartar;
  int Llamadas = 0;
  v.AlProcesarEventos = [&] {
    if (++Llamadas > 1) return;
    EXPECT_FALSE(b.Mesa.FormCloseQuery());
    EXPECT_FALSE(b.Mesa.FormCloseQuery());
    EXPECT_TRUE(v.Preguntas.empty());
  };
  b.Mesa.btnBetaAllClick();
  EXPECT_EQ(v.Cierres, 1);
  EXPECT_EQ(v.Preguntas.size(), 1u);
  EXPECT_TRUE(b.Mesa.Cerrado());
  EXPECT_FALSE(b.Mesa.Todo.Ejecutando);
}

}  // namespace

// Names that no expression can write (a trailing blank, none, a NUL, a lowercase letter first)
// still load; the second panel names the first and counts the rest, with or without a term.
TEST_F(Ficheros, AbrirAvisaDeNombresQueNoSeEscriben) {
  using namespace std::string_literals;
  const std::string Ruta = Carpeta.Ruta("n.txt");
  const auto Empieza = [&](const std::string& Aviso) {
    return b.Vista.Lectura.substr(0, Aviso.size()) == Aviso;
  };
  EscribeTodo(Ruta, "A \r\n\\x.x\r\ndoble\r\n\\y.y\r\nB\0C\r\n\\z.z\r\nBIEN\r\n\\w.w\r\n"s);
  Abre(Ruta);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 4u);
  EXPECT_EQ(b.Vista.Lectura,
            "\xAB"
            "A \xBB tiene un blanco o un signo: no se lee como nombre (y 2 m\xE1s)");
  b.Entra("(\\x.x) y");  // not a normal form, which the panel would name first
  EscribeTodo(Ruta, "BIEN\r\n\\w.w\r\nB\0C\r\n\\z.z\r\n"s);
  Abre(Ruta);
  EXPECT_TRUE(
      Empieza("\xAB"
              "B?C\xBB tiene un car\xE1"
              "cter de control (c\xF3"
              "digo 0) \xB7 "))
      << b.Vista.Lectura;
  EscribeTodo(Ruta, "BIEN\r\n\\w.w\r\n");
  Abre(Ruta);
  EXPECT_EQ(b.Vista.Lectura.find("nombre"), std::string::npos);
}

// Comment and blank lines stand anywhere between records, in either encoding, and a save with
// or without "Conservar los nombres" writes them back where they stood; new records go last.
TEST_F(Ficheros, ComentariosEnSuSitio) {
  const std::string Ruta = Carpeta.Ruta("c.txt");
  std::string Texto;
  for (bool Nombres : {false, true}) {
    Texto = "# Lecci\xF3n\r\n\r\nI\r\n" + std::string(Nombres ? "\\x.x" : "\\ a . a") +
            "\r\n#ejercicio Escribe K.\r\n#definir K\r\n#caso K I I = I\r\n\r\nII\r\n" +
            (Nombres ? "I I" : "(\\ a . a) (\\ b . b)") + "\r\n# fin\r\n";
    EscribeTodo(Ruta,
                "# Lecci\xC3\xB3n\n\nI\n\\x.x\n#ejercicio Escribe K.\n#definir K\n"
                "#caso K I I = I\n\nII\nI I\n# fin\n");
    Abre(Ruta);
    ASSERT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 2u) << b.Vista.UltimoError;
    b.Vista.Nombres = Nombres;
    b.Mesa.NombresClick();
    Salva(Ruta);
    EXPECT_EQ(LeeTodo(Ruta), Texto);
  }
  b.Entra("\\x y.x", "K");
  Salva(Ruta);
  EXPECT_EQ(LeeTodo(Ruta), Texto + "K\r\n\\x y.x\r\n");  // names kept, as last set
  // A name beginning with '#' would read back as a comment.
  b.Entra("\\x.x", "#I");
  EXPECT_EQ(b.Vista.Estado, Mensajes::AlmohadillaEnNombre);
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 3u);
  // An exercise that does not parse fails the open, as a record does.
  EscribeTodo(Ruta, "A\r\n\\x.x\r\n#ejercicio Sin tipo.\r\n#pista Nada.\r\n");
  Abre(Ruta);
  EXPECT_EQ(b.Vista.UltimoError,
            "Error en el ejercicio (l\xEDnea 3): falta #definir, #reducir o #normal");
  EXPECT_EQ(b.Mesa.Sesion.Definiciones.Cuenta(), 3u);
}
