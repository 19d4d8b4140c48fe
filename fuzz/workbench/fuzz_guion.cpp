// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's commands on any script, through lambda-cli's interpreter: after every command
// the current term, the previous one and every definition are valid with true marks, and once the
// workbench is gone no node is alive. Each line is bounded first so that no run can hang or fill
// the machine: short texts, few passes and contractions, a small canvas, a low node limit, and
// files only in a folder of their own (with copies of the lessons).
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "uGuion.h"
#include "uLambda.h"

namespace {

constexpr std::size_t MaximoLineas = 200;
constexpr std::size_t MaximoTexto = 300;  // of an entry or a name
constexpr int MaximoPasadas = 16;         // all N
constexpr int MaximoTope = 300;           // compare CAP
constexpr int MaximoLienzo = 256;         // size W H

// The fuzzer's working folder, with the lessons in it; files are made only there. (Not made the
// current folder: libFuzzer's own paths are relative to it.)
std::string Carpeta;

void PreparaCarpeta() {
  namespace fs = std::filesystem;
  Carpeta = (fs::temp_directory_path() / "fuzz_guion.XXXXXX").string();
  if (!::mkdtemp(Carpeta.data())) std::abort();
  for (const fs::directory_entry& e : fs::directory_iterator(EJEMPLOS_DIR))
    if (e.path().extension() == ".txt") fs::copy_file(e.path(), Carpeta / e.path().filename());
  Carpeta += '/';
  std::atexit([] { std::filesystem::remove_all(Carpeta); });
}

// A file name in the working folder: a lesson's name stays, anything else is one of a few names
// (so the folder stays small), keeping an extension the command cares for.
std::string Fichero(std::string_view Pedido, bool Svg) {
  static constexpr const char* Lecciones[] = {"combinadores.txt", "estrategias.txt",
                                              "listas.txt",       "logica.txt",
                                              "numerales.txt",    "recursion.txt"};
  for (const char* l : Lecciones)
    if (Pedido == l) return Carpeta + l;
  unsigned Suma = 0;
  for (char c : Pedido) Suma += static_cast<unsigned char>(c);
  const bool Png = Pedido.size() >= 4 && Pedido.substr(Pedido.size() - 4) == ".png";
  return Carpeta + "f" + std::to_string(Suma % 6) + (Svg ? ".svg" : Png ? ".png" : ".txt");
}

bool Numero(std::string_view s, int& n) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), n);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// The line as it is run, bounded; false: skipped.
bool Acota(std::string& Linea) {
  if (Linea.size() > MaximoTexto + 16) return false;
  const std::size_t Blanco = Linea.find(' ');
  const std::string Orden = Linea.substr(0, Blanco);
  const std::string Resto = Blanco == std::string::npos ? "" : Linea.substr(Blanco + 1);
  int n = 0;
  if (Orden == "all") {
    // Run-all without a count may never end.
    if (Resto.empty() || (Numero(Resto, n) && n > MaximoPasadas))
      Linea = "all " + std::to_string(MaximoPasadas);
  } else if (Orden == "compare") {
    if (Resto.empty() || (Numero(Resto, n) && n > MaximoTope))
      Linea = "compare " + std::to_string(MaximoTope);
    else if (!Resto.empty() && !Numero(Resto, n))
      Linea = "compare x";  // a count past int: still a wrong usage, never a long run
  } else if (Orden == "size") {
    const std::size_t b = Resto.find(' ');
    int w = 0, h = 0;
    if (b != std::string::npos && Numero(Resto.substr(0, b), w) && Numero(Resto.substr(b + 1), h) &&
        (w > MaximoLienzo || h > MaximoLienzo))
      return false;
  } else if (Orden == "open" || Orden == "save" || Orden == "png" || Orden == "trace" ||
             Orden == "svg") {
    if (Blanco != std::string::npos) Linea = Orden + " " + Fichero(Resto, Orden == "svg");
  }
  return true;
}

void Comprueba(TExprLambda* t) {
  if (t && (!EsValido(t) || !MarcasCiertas(t))) std::abort();
}

void CompruebaMesa(const TMesaTrabajo& m) {
  Comprueba(m.Sesion.TerminoActual());
  Comprueba(m.Sesion.Anterior);
  for (std::size_t i = 0; i < m.Sesion.Definiciones.Cuenta(); ++i)
    Comprueba(m.Sesion.Definiciones[i].Termino);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Datos, std::size_t Tamano) {
  // A low node limit keeps every command short (the printed form grows with the square of the
  // variables); a refused term is a normal failure.
  static const std::size_t Base = [] {
    PreparaCarpeta();
    FijaLimiteNodos(NodosVivos() + 20000);
    return NodosVivos();
  }();
  std::string_view Guion(reinterpret_cast<const char*>(Datos), Tamano);
  {
    std::ostream Nada(nullptr);  // what the commands print is not looked at
    TGuion g(Nada);
    for (std::size_t i = 0; i < MaximoLineas && !Guion.empty(); ++i) {
      const std::size_t Fin = Guion.find('\n');
      std::string Linea(Guion.substr(0, Fin));
      Guion.remove_prefix(Fin == std::string_view::npos ? Guion.size() : Fin + 1);
      if (!Acota(Linea)) continue;
      g.Ejecuta(Linea);
      CompruebaMesa(g.MesaDeTrabajo());
    }
  }
  if (NodosVivos() != Base) std::abort();
  return 0;
}
