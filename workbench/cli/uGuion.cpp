// SPDX-License-Identifier: GPL-3.0-or-later
#include "uGuion.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "uComparacion.h"
#include "uCp1252.h"
#include "uOpciones.h"
#include "uPng.h"
#include "uTextos.h"

const char* const AyudaGuion =
    R"(usage: lambda-cli [SCRIPT]   (or --help, --version)
       lambda-cli --corregir LESSON FILE...
Runs the workbench of Cálculo Lambda from a script, one command a line, on standard input or in
the file SCRIPT. Texts are UTF-8 outside and Windows-1252 inside. With --corregir it grades a
class: each FILE (a student's definitions, read after LESSON's) against every define exercise of
LESSON, as CSV: "fichero,1,2,...,total", then one row a FILE with 1 (solved) or 0 for each.

  name [TEXT]        sets the name box          enter TEXT      sets the expression box, Enter
  beta, back         the two buttons            all [N]         run-all; N: pressed again
  multiple on|off    "Beta múltiple"                            after pass N
                     (on: orden normal without eta only)
  strategy KEY       "Opciones > Estrategia": KEY normal, applicative, name, value, head,
                     hybrid-applicative or hybrid-normal; any but normal turns multiple off
  eta on|off         "Reducción η", for normal and applicative only (another strategy turns it
                     off; on turns multiple off)
  tab text|diagram   the active tab             up, down        an arrow of the spinner
  size W H           sizes and paints Lienzo    png FILE        writes the bitmap
  fit                "Opciones > Ajustar el diagrama a la ventana", for the size last given
  interval MS        run-all's update interval  open [FILE], save [FILE]   (no FILE: cancel)
  show               prints the state           help            prints this text
  svg FILE           "Exportar diagrama…": the whole diagram (PNG when FILE ends in .png)
  trace FILE         "Exportar reducción…": the passes since the last Enter, as text
  info               what the state means: "redex: A B" for each redex that beta contracts next
                     (bytes [A, B) of show's text); "value: " and what the term reads back as
                     (the second panel's text); "cycle: N" when the last run-all was seen to
                     repeat every N passes; "error-at: A B" after an entry that did not parse
                     (bytes [A, B) of its text)
  redexes            "redex: A B" for every redex of the term (bytes [A, B) of show's text),
                     in order of their start
  contract N         contracts redex N (from 0) of that list as one step, as a click on it does
  panel on|off       "Mostrar los pasos": back goes through the steps, the second panel starts
                     with "paso N", trace marks each contracted redex with a line of '^'
  steps              "step N: TEXT" for each term the panel holds (0: the term entered), after
                     "dropped: " and the panel's line when the oldest went for its caps
  goto N             makes step N current, as a click on its line does
  stop-on-cycle on|off   "Detener ∀β en un ciclo"
  halo on|off        "Resaltar el siguiente paso en el diagrama"
  names on|off       "Conservar los nombres": show prints terms with the names written, and
                     its def lines as a save writes them
  fold on|off        "Mostrar los nombres de las definiciones": show prints each closed part
                     of the term equal to a definition as the definition's name
  compare [CAP]      "Comparar estrategias…" without its time limit: a line "compare: KEY COUNT
                     FORM TEXT" for each strategy, in the menu's order: COUNT the contractions
                     made; FORM nf, hnf, wnf or whnf (the form it stopped at), cut (CAP
                     contractions made, 100000 by default) or big (the next one would pass the
                     node limit); TEXT the term reached as show prints it (its first MiB, then
                     "…")

The exercises of the lesson last opened (its "#ejercicio" blocks):
  exercises          "exercise N: KIND STATE TEXT" for each: N from 1, KIND define, reduce or
                     normal, STATE pendiente or resuelto, TEXT its statement
  check N            define exercise N, each case reduced by normal order (100000
                     contractions at most a side): "case K: ok", "case K: fail TEXT" (what
                     the student's side gave) or "case K: cut N", then the exercise's line
  answer N TEXT      TEXT as the normal form that exercise N asks for ("no tiene": it has
                     none): "answer N: ok" or "answer N: no", then its line when solved
  start N            makes the term of reduce exercise N current, with its strategy; each
                     contract then prints "judge: ok", or "judge: no REASON" and leaves the
                     term as it was; the exercise's line once solved. A drill ("azar") enters
                     a fresh term after each one done, until three in a row without a mistake
  hint N             "hint N: TEXT", the exercise's next hint
  seed N             the drills' random terms from seed N, for a repeatable script

Blank lines and lines starting with '#' are skipped. A command that fails prints a line
starting with "error: "; the exit status is then 1 (0 when none failed, 2 on wrong usage).
)";

namespace {

constexpr int MaximoLienzo = 8192;

bool LeeEntero(std::string_view s, int& n) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), n);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

const char* FinComparacion(const TComparacion::TFila& f) {
  switch (f.Fin) {
    case TComparacion::TFila::TFin::Forma:
      return ClaveForma(FormaDe(f.Estrategia));
    case TComparacion::TFila::TFin::Tope:
      return "cut";
    case TComparacion::TFila::TFin::Grande:
      return "big";
    default:
      return "stopped";  // no time limit here, and nothing stops it
  }
}

}  // namespace

TGuion::TGuion(std::ostream& salida) : Salida(salida), Mesa(Vista) {
  Vista.Mesa = &Mesa;
  Vista.AlMostrarError = [this](const std::string& m) { Error(Cp1252AUtf8(m)); };
  Mesa.FormCreate();
}

void TGuion::Ejecuta(std::string_view Linea) {
  if (!Linea.empty() && Linea.back() == '\r') Linea.remove_suffix(1);
  if (Linea.empty() || Linea[0] == '#') return;
  std::size_t Blanco = Linea.find(' ');
  std::string_view Orden = Linea.substr(0, Blanco);
  std::string_view Resto = Blanco == std::string_view::npos ? "" : Linea.substr(Blanco + 1);
  bool SinArgumento = Blanco == std::string_view::npos;
  if (!Botones(Orden, Resto, SinArgumento) && !Opciones(Orden, Resto, SinArgumento) &&
      !Salidas(Orden, Resto, SinArgumento) && !Ejercicios(Orden, Resto, SinArgumento))
    Error("unknown command: " + std::string(Linea));
}

bool TGuion::Botones(std::string_view Orden, std::string_view Resto, bool SinArgumento) {
  if (Orden == "name") {
    Vista.Def = Utf8ACp1252(Resto, &NoCabeDef);
  } else if (Orden == "enter") {
    Entra(Resto);
  } else if (Orden == "beta" && SinArgumento) {
    Mesa.btnBetaClick();
  } else if (Orden == "back" && SinArgumento) {
    Mesa.btnBackClick();
  } else if (Orden == "all") {
    Todo(Resto, SinArgumento);
  } else if (Orden == "contract") {
    Contrae(Resto);
  } else if (Orden == "goto") {
    VeAPaso(Resto);
  } else {
    return false;
  }
  return true;
}

bool TGuion::Opciones(std::string_view Orden, std::string_view Resto, bool SinArgumento) {
  const bool OnOff = Resto == "on" || Resto == "off";
  if (Orden == "multiple" && OnOff) {
    Multiple(Resto == "on");
  } else if (Orden == "strategy") {
    Estrategia(Resto);
  } else if (Orden == "eta" && OnOff) {
    Eta(Resto == "on");
  } else if (Orden == "tab" && (Resto == "text" || Resto == "diagram")) {
    Pestana(Resto == "text" ? TMesaTrabajo::PestanaTexto : 1);
  } else if ((Orden == "up" || Orden == "down") && SinArgumento) {
    Mesa.UpDown1ChangingEx(Orden == "up" ? updUp : updDown);
  } else if (Orden == "fit" && SinArgumento) {
    Mesa.AjustarDiagrama1Click();
  } else if (Orden == "size") {
    Tamano(Resto);
  } else if (Orden == "interval") {
    Intervalo(Resto);
  } else if (Orden == "stop-on-cycle" && OnOff) {
    Vista.DetenerCiclo = Resto == "on";
  } else if (Orden == "panel" && OnOff) {
    Vista.Pasos = Resto == "on";
    Mesa.MostrarPasos1Click();
  } else if (Orden == "halo" && OnOff) {
    Vista.Halo = Resto == "on";
    Mesa.OpcionesClick();
  } else if (Orden == "names" && OnOff) {
    Vista.Nombres = Resto == "on";
    Mesa.NombresClick();
  } else if (Orden == "fold" && OnOff) {
    Vista.Pliega = Resto == "on";
    Mesa.NombresClick();
  } else {
    return false;
  }
  return true;
}

bool TGuion::Salidas(std::string_view Orden, std::string_view Resto, bool SinArgumento) {
  if (Orden == "png" && !SinArgumento) {
    std::string Mensaje;
    if (!EscribePNG(Mesa.Vistas.Bitmap, std::string(Resto), Mensaje)) Error(Mensaje);
  } else if (Orden == "open") {
    Abre(SinArgumento, Resto);
  } else if (Orden == "save") {
    Vista.RutaSalvar = SinArgumento ? std::nullopt : std::optional<std::string>(Resto);
    Mesa.Salvar1Click();
  } else if (Orden == "svg" && !SinArgumento) {
    Vista.RutaDiagrama = std::string(Resto);
    Mesa.ExportarDiagrama1Click();
  } else if (Orden == "trace" && !SinArgumento) {
    Vista.RutaReduccion = std::string(Resto);
    Mesa.ExportarReduccion1Click();
  } else if (Orden == "show" && SinArgumento) {
    Muestra();
  } else if (Orden == "help" && SinArgumento) {
    Salida << AyudaGuion;
  } else if (Orden == "compare") {
    Compara(Resto, SinArgumento);
  } else if (Orden == "redexes" && SinArgumento) {
    const std::vector<TRango>& Rangos = Mesa.Eleccion.RangosRedex();
    for (std::size_t i = 0; i + 2 < Rangos.size(); i += 3)
      Salida << "redex: " << Rangos[i].Desde << ' ' << Rangos[i].Hasta << '\n';
  } else if (Orden == "steps" && SinArgumento) {
    Pasos();
  } else if (Orden == "info" && SinArgumento) {
    InfoRedex();
    Informa();
    InfoError();
  } else {
    return false;
  }
  return true;
}

void TGuion::Error(const std::string& Mensaje) {
  HuboError = true;
  Salida << "error: " << Mensaje << '\n';
}

void TGuion::Contrae(std::string_view Resto) {
  int n = 0;
  if (!LeeEntero(Resto, n) || n < 0) return Error("usage: contract N, N from 0");
  if (!Mesa.Sesion.TerminoActual()) return Error("no term");
  const std::size_t Cuenta = Mesa.Eleccion.RangosRedex().size() / 3;
  if (static_cast<std::size_t>(n) >= Cuenta)
    return Error("no redex " + std::to_string(n) + " (the term has " + std::to_string(Cuenta) +
                 ")");
  if (Sesion.Activo()) return ContraeJuzgado(static_cast<std::size_t>(n));
  Mesa.ContraeRedex(static_cast<std::size_t>(n));
}

void TGuion::VeAPaso(std::string_view Resto) {
  int n = 0;
  if (!LeeEntero(Resto, n) || n < 0) return Error("usage: goto N, N from 0");
  const std::deque<TTraza::TLinea>& Lineas = Mesa.Historial.Traza.Lineas();
  for (std::size_t i = 0; i < Lineas.size(); ++i)
    if (Lineas[i].Estado.Pasos == n && Lineas[i].EsTermino) return Mesa.IrALinea(i);
  Error("no step " + std::to_string(n));
}

void TGuion::Entra(std::string_view Texto) {
  std::string NoCabe;
  Vista.Ent = Utf8ACp1252(Texto, &NoCabe);
  if (NoCabe.empty()) NoCabe = NoCabeDef;
  if (!NoCabe.empty()) return Error(Cp1252AUtf8(Mensajes::CaracterNoAdmitido) + NoCabe);
  Mesa.edtEntKeyPress('\r');
}

void TGuion::Pestana(int Nueva) {
  if (Nueva == Vista.Pestana) return;
  Vista.Pestana = Nueva;
  Mesa.PageControl1Change();
}

void TGuion::Todo(std::string_view Resto, bool SinArgumento) {
  int Pasadas = 0;
  if (!SinArgumento && (!LeeEntero(Resto, Pasadas) || Pasadas < 1))
    return Error("usage: all [N], N at least 1");
  int Hechas = 0;  // lives as long as the loop that the hook runs in
  if (Pasadas > 0) {
    Vista.AlTerminarPasada = [&] {
      if (++Hechas == Pasadas) Mesa.btnBetaAllClick();
    };
  }
  Mesa.btnBetaAllClick();
  Vista.AlTerminarPasada = nullptr;
}

// The menu's rule (TOpciones) over the view's mode and "Beta múltiple": the options as they are,
// one change, and the result written back; an entry the menu greys out refuses to be checked.
static TOpciones OpcionesDe(const TVistaGrabadora& v) {
  TOpciones o;
  o.Elige(v.Modo.Estrategia);
  o.Marca(TOpcion::Eta, v.Modo.Eta);
  o.Marca(TOpcion::Multiple, v.Multiple);
  return o;
}
static void FijaOpciones(TVistaGrabadora& v, const TOpciones& o) {
  v.Modo = o.Modo();
  v.Multiple = o.Marcada(TOpcion::Multiple);
}

void TGuion::Multiple(bool Activa) {
  TOpciones o = OpcionesDe(Vista);
  if (Activa && !o.Habilitada(TOpcion::Multiple))
    return Error("multiple applies only to normal without eta");
  o.Marca(TOpcion::Multiple, Activa);
  FijaOpciones(Vista, o);
  Mesa.OpcionesClick();
}

void TGuion::Estrategia(std::string_view Clave) {
  TEstrategia e;
  if (!EstrategiaDeClave(Clave, e))
    return Error(
        "usage: strategy normal|applicative|name|value|head|hybrid-applicative|hybrid-normal");
  TOpciones o = OpcionesDe(Vista);
  o.Elige(e);
  FijaOpciones(Vista, o);
  Mesa.OpcionesClick();
}

void TGuion::Eta(bool Activa) {
  TOpciones o = OpcionesDe(Vista);
  if (Activa && !o.Habilitada(TOpcion::Eta))
    return Error("eta applies only to normal and applicative");
  o.Marca(TOpcion::Eta, Activa);
  FijaOpciones(Vista, o);
  Mesa.OpcionesClick();
}

void TGuion::Compara(std::string_view Resto, bool SinArgumento) {
  int64_t Tope = 100000;
  auto r = std::from_chars(Resto.data(), Resto.data() + Resto.size(), Tope);
  if (!SinArgumento && (r.ec != std::errc() || r.ptr != Resto.data() + Resto.size() || Tope < 0))
    return Error("usage: compare [CAP], CAP at least 0");
  if (!Mesa.Sesion.TerminoActual()) return Error(Cp1252AUtf8(Mensajes::NoHayActual));
  TComparacion c(Mesa.Sesion.TerminoActual(), Mesa.Sesion.Definiciones, Vista.Modo.Eta, Tope, {},
                 Vista.Separador);
  while (c.Avanza(std::chrono::seconds(1))) {
  }
  for (const TComparacion::TFila& f : c.Filas()) {
    Salida << "compare: " << ClaveEstrategia(f.Estrategia) << ' ' << f.Reducciones << ' '
           << FinComparacion(f) << ' ';
    EscribeUtf8(Salida, f.Texto);
    Salida << '\n';
  }
}

void TGuion::Tamano(std::string_view Resto) {
  std::size_t Blanco = Resto.find(' ');
  int w, h;
  if (Blanco == std::string_view::npos || !LeeEntero(Resto.substr(0, Blanco), w) ||
      !LeeEntero(Resto.substr(Blanco + 1), h) || w < 0 || h < 0 || w > MaximoLienzo ||
      h > MaximoLienzo)
    return Error("usage: size W H, each from 0 to " + std::to_string(MaximoLienzo));
  Vista.AnchoLienzo = w;
  Vista.AltoLienzo = h;
  Mesa.LienzoPaint(w, h);
}

void TGuion::Intervalo(std::string_view Resto) {
  std::string s(Resto);
  char* Fin = nullptr;
  double ms = std::strtod(s.c_str(), &Fin);
  if (s.empty() || *Fin != '\0' || !std::isfinite(ms) || ms < 0)
    return Error("usage: interval MS, MS at least 0");
  Mesa.FijaIntervalo(ms / 1000);
}

void TGuion::Muestra() {
  Salida << "text: ";
  EscribeUtf8(Salida, Vista.Memo());  // a printed term may run to many megabytes
  Salida << '\n';
  Salida << "status: " << Cp1252AUtf8(Vista.Estado) << '\n';
  Salida << "back: " << (Vista.Back ? "on" : "off") << '\n';
  Salida << "defs: " << Mesa.Sesion.Definiciones.Cuenta() << '\n';
  for (std::size_t i = 0; i < Mesa.Sesion.Definiciones.Cuenta(); ++i) {
    std::string Linea;
    try {
      Linea = Mesa.Sesion.LineaDefinicion(i);
    } catch (const std::exception& e) {
      Error(Cp1252AUtf8(MensajeExcepcion(e)));
      continue;
    }
    Salida << "def " << Cp1252AUtf8(Mesa.Sesion.Definiciones[i].Nombre) << " = "
           << Cp1252AUtf8(Linea) << '\n';
  }
}

void TGuion::Informa() {
  Salida << "value: " << Cp1252AUtf8(Vista.Lectura) << '\n';
  if (Mesa.Sesion.Ciclo() > 0) Salida << "cycle: " << Mesa.Sesion.Ciclo() << '\n';
}

void TGuion::Pasos() {
  // As the export and the panel: a line says that the oldest were dropped, and why.
  const TTraza& t = Mesa.Historial.Traza;
  if (t.Descartadas() > 0) Salida << "dropped: " << Cp1252AUtf8(t.AvisoDescartadas()) << '\n';
  for (const TTraza::TLinea& l : t.Lineas()) {
    Salida << "step " << l.Estado.Pasos << ": ";
    EscribeUtf8(Salida, *l.Forma);
    Salida << '\n';
  }
}

void TGuion::InfoRedex() {
  for (std::size_t i = 0; i + 2 < Vista.Resalte.size(); i += 3)
    Salida << "redex: " << Vista.Resalte[i].Desde << ' ' << Vista.Resalte[i].Hasta << '\n';
}

void TGuion::InfoError() {
  if (Mesa.Sesion.FaltaEntrada)
    Salida << "error-at: " << Mesa.Sesion.FaltaEntrada->Desde << ' '
           << Mesa.Sesion.FaltaEntrada->Hasta << '\n';
}
