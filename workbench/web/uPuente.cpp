// SPDX-License-Identifier: GPL-3.0-or-later
// The page's workbench: a TMesaTrabajo driven from JavaScript, in the page's Web Worker, through
// an IVista whose widgets are the page's. Texts cross as UTF-8 (the workbench's Windows-1252 is
// converted here); every view call becomes a message to the page (trabajador.js, `Vista`).
// Run-all answers the page between its passes: it waits there (CedeEntrePasadas), the command
// returns, and the worker handles the messages waiting, the stop among them, before it goes on
// (`reanuda`).
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "uAyuda.h"
#include "uComparacion.h"
#include "uCp1252.h"
#include "uEstrategia.h"
#include "uFilasPasos.h"
#include "uOpciones.h"
#include "uParser.h"
#include "uTextos.h"
#include "uTraza.h"
#include "vLambda.h"

using emscripten::val;

// The page's side, in biblioteca.js.
extern "C" {
void web_vista(const char* Tipo, const char* Texto, int Numero);
void web_resalte(const int32_t* Rangos, int n);
void web_lienzo(const uint8_t* Pixeles, int Ancho, int Alto);
void web_apuntado(const int32_t* Rangos, int n, int Mano, int Ir);
void web_cede();
}

namespace {

class TVistaWeb : public IVista {
 public:
  std::string Ent, Def, Separador = ".", RutaDialogo;
  int Fuente = TMesaTrabajo::FuenteInicial, Pestana = 1;  // the page starts on "Gráficos"
  bool DeFichero = false;                                 // an open or a save went through
  TOpciones Menu;                                         // the "Opciones" menu
  TMesaTrabajo* Mesa = nullptr;
  int AnchoLienzo = 0, AltoLienzo = 0;

  TEntrada Entrada() override { return {Ent, Def}; }
  void VaciaDef() override {
    Def.clear();
    web_vista("vaciaDef", "", 0);
  }
  void FijaEstado(const std::string& t) override { Envia("estado", t); }
  void FijaMemo(TTextoCompartido t) override { Envia("memo", *t); }
  int TamanoFuenteMemo() override { return Fuente; }
  void FijaTamanoFuenteMemo(int p) override {
    Fuente = p;
    web_vista("fuente", "", p);
  }
  void Habilita(TBoton b, bool h) override {
    web_vista(b == TBoton::Back ? "back" : "beta", "", h);
  }
  int PestanaActiva() override { return Pestana; }
  void RefrescaLienzo() override {
    if (!Mesa || AnchoLienzo <= 0 || AltoLienzo <= 0) return;
    Mesa->LienzoPaint(AnchoLienzo, AltoLienzo);
    const TBitmap& b = Mesa->Vistas.Bitmap;
    if (b.Pixeles()) web_lienzo(b.Pixeles(), b.Width(), b.Height());
  }
  // The events come between two commands, while run-all waits; none inside a view update.
  void ProcesaEventos() override {}
  bool CedeEntrePasadas() override {
    web_cede();
    return true;
  }
  // The page hands a file over before it opens it, and fetches the one written after a save.
  bool Dialogo(TDialogo, std::string& Ruta) override {
    if (RutaDialogo.empty()) return false;
    Ruta = std::exchange(RutaDialogo, {});
    return true;
  }
  void MuestraError(const std::string& m) override { Envia("error", m); }
  void DefinicionesDeFichero(const std::string&) override { DeFichero = true; }
  std::string SeparadorMillares() override { return Separador; }
  void FijaLectura(const std::string& t) override { Envia("lectura", t); }
  void DefinicionesCambiadas() override { web_vista("definiciones", "", 0); }
  void FijaResalte(const std::vector<TRango>& r) override {
    const std::vector<int32_t> v = Planos(r.data(), r.size());
    web_resalte(v.data(), int(r.size()));
  }
  TAjustes Opciones() override { return Menu.Ajustes(); }
  // The "Opciones" menu to be drawn again (EstadoOpciones).
  void OpcionesCambiadas() { web_vista("opciones", "", 0); }
  // The rows are made again at each change: only while the panel shows.
  void PasosCambiados() override {
    if (Menu.Marcada(TOpcion::Pasos)) web_vista("pasos", "", 0);
  }
  // The "Ejercicios" panel: the worker asks for the panel (`ejercicios`) and hands the page the
  // lesson's progress line to keep. The lines the page kept (the browser's storage, which the
  // worker cannot read) come at the start; each new one is kept here as well, for the next open
  // in this session.
  std::map<std::string, std::string> Progresos;  // lesson (Windows-1252) -> its line
  void EjerciciosCambiados() override {
    if (Mesa && !Mesa->Practica.Leccion().empty())
      Progresos[Mesa->Practica.Leccion()] = Mesa->Practica.Ejercicios.ProgresoGuardado();
    web_vista("ejercicios", "", 0);
  }
  std::string ProgresoGuardado(const std::string& Leccion) override {
    const auto i = Progresos.find(Leccion);
    return i == Progresos.end() ? std::string() : i->second;
  }
  // A reduction exercise's strategy, alone: the menu follows and is drawn again.
  void FijaEstrategia(TEstrategia e) override {
    Menu.Elige(e);
    Menu.Marca(TOpcion::Eta, false);
    Menu.Marca(TOpcion::Multiple, false);
    OpcionesCambiadas();
  }

  // Ranges as the page takes them, Desde and Hasta in turn. Texts here stay far below 2 GiB:
  // the memory's own limit.
  static std::vector<int32_t> Planos(const TRango* r, std::size_t n) {
    std::vector<int32_t> v;
    v.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i)
      v.insert(v.end(), {int32_t(r[i].Desde), int32_t(r[i].Hasta)});
    return v;
  }
  // Redex k of RangosRedex's list, or none, to the page as the one pointed at; Ir scrolls to it.
  void Apuntado(int64_t k, bool Mano, bool Ir) {
    std::vector<int32_t> v;
    if (k >= 0) v = Planos(Mesa->Eleccion.RangosRedex().data() + 3 * k, 3);
    web_apuntado(v.data(), int(v.size() / 2), Mano, Ir);
  }

 private:
  void Envia(const char* Tipo, const std::string& Cp1252) {
    const std::string u = Cp1252AUtf8(Cp1252);
    web_vista(Tipo, u.c_str(), int(u.size()));
  }
};

TVistaWeb Vista;
std::unique_ptr<TMesaTrabajo> Mesa;

// The "Pasos" panel's rows, as the workbench makes them (uFilasPasos.h): made again at every
// change; the page asks for the rows it shows.
std::vector<TFilaPasos> Filas;

// A row as the page draws it: its kind ("E" the text typed, "D" the lines dropped, "H" passes
// that showed nothing, "L" a line, "A" a notice in place of a term), its step, how the step from
// it was taken, its marks (start and end in turn) and its text, UTF-8.
val Fila(const char* Tipo, int64_t Paso, const std::string& Como,
         const std::vector<int32_t>& Marcas, const std::string& Texto) {
  val f = val::object();
  f.set("tipo", Tipo);
  f.set("paso", double(Paso));
  f.set("como", Cp1252AUtf8(Como));
  f.set("marcas", val::array(Marcas));
  f.set("texto", Cp1252AUtf8(Texto));
  return f;
}

// A line's row: the part of its text that fits in Caben characters, from a little before the first
// mark when that lies further.
val FilaDeLinea(const TTraza::TLinea& l, std::size_t Caben) {
  const std::string& Texto = *l.Forma;
  const std::size_t Desde = InicioLineaPasos(l, Caben);
  std::string Parte = Desde > 0 ? "\x85" : "";  // "…"
  const std::size_t Corrido = Parte.size(), Hasta = std::min(Texto.size(), Desde + Caben + 1);
  Parte.append(Texto, Desde, Hasta - Desde);
  std::vector<int32_t> Marcas;
  for (const TRango& g : l.Marcas) {
    const std::size_t a = std::clamp(g.Desde, Desde, Hasta), z = std::clamp(g.Hasta, Desde, Hasta);
    Marcas.insert(Marcas.end(), {int32_t(a - Desde + Corrido), int32_t(z - Desde + Corrido)});
  }
  return Fila(l.EsTermino ? "L" : "A", l.Estado.Pasos, TTraza::Como(l), Marcas, Parte);
}

// The page's commands by name (trabajador.js sends them as the page names them), with up to
// three numbers of theirs.
using TOrden = void (*)(TMesaTrabajo&, double, double, double);
struct TOrdenWeb {
  const char* Nombre;
  TOrden Hace;
};
const TOrdenWeb Ordenes[] = {
    {"tecla", [](TMesaTrabajo& m, double a, double, double) { m.edtEntKeyPress(char(a)); }},
    {"beta", [](TMesaTrabajo& m, double, double, double) { m.btnBetaClick(); }},
    {"atras", [](TMesaTrabajo& m, double, double, double) { m.btnBackClick(); }},
    {"todo", [](TMesaTrabajo& m, double, double, double) { m.btnBetaAllClick(); }},
    {"flecha", [](TMesaTrabajo& m, double a, double,
                  double) { m.UpDown1ChangingEx(a > 0 ? updUp : updDown); }},
    // The tab shown: 0 "Texto", 1 "Gráficos".
    {"pestana",
     [](TMesaTrabajo& m, double a, double, double) {
       Vista.Pestana = int(a);
       m.PageControl1Change();
     }},
    {"abrir", [](TMesaTrabajo& m, double, double, double) { m.Abrir1Click(); }},
    {"salvar", [](TMesaTrabajo& m, double, double, double) { m.Salvar1Click(); }},
    {"exportarDiagrama",
     [](TMesaTrabajo& m, double, double, double) { m.ExportarDiagrama1Click(); }},
    {"exportarReduccion",
     [](TMesaTrabajo& m, double, double, double) { m.ExportarReduccion1Click(); }},
    // The canvas's size in device pixels and their ratio: the diagram drawn again.
    {"lienzo",
     [](TMesaTrabajo& m, double a, double b, double c) {
       Vista.AnchoLienzo = int(a);
       Vista.AltoLienzo = int(b);
       m.FijaEscala(c);
       Vista.RefrescaLienzo();
     }},
    {"arrastra", [](TMesaTrabajo& m, double a, double b, double) { m.LienzoArrastra(a, b); }},
    {"rueda", [](TMesaTrabajo& m, double a, double b,
                 double c) { m.LienzoMouseWheel(a > 0 ? updUp : updDown, b, c); }},
    {"dobleClic", [](TMesaTrabajo& m, double, double, double) { m.LienzoDblClick(); }},
    {"ajustar", [](TMesaTrabajo& m, double, double, double) { m.AjustarDiagrama1Click(); }},
    {"contrae", [](TMesaTrabajo& m, double a, double, double) { m.ContraeRedex(std::size_t(a)); }},
    // F8 / Shift+F8 and F9: the selected redex shown as the one pointed at, scrolled to.
    {"selecciona",
     [](TMesaTrabajo& m, double a, double, double) {
       m.SeleccionaRedex(a > 0);
       Vista.Apuntado(m.Eleccion.SeleccionEnTexto(), false, true);
     }},
    {"contraeSeleccionado",
     [](TMesaTrabajo& m, double, double, double) {
       m.ContraeSeleccionado();
       Vista.Apuntado(m.Eleccion.SeleccionEnTexto(), false, true);
     }},
    {"lienzoPulsa", [](TMesaTrabajo& m, double a, double b, double) { m.LienzoPulsa(a, b); }},
    // A row of the panel made current, when it is a line's.
    {"irALinea",
     [](TMesaTrabajo& m, double a, double, double) {
       const std::size_t f = std::size_t(a);
       if (f < Filas.size() && Filas[f].Tipo == TFilaPasos::TTipo::Linea)
         m.IrALinea(Filas[f].Linea);
     }},
};

// "Comparar estrategias…", while its table is open.
std::unique_ptr<TSesionComparacion> Comparando;

// The page's side: what the worker calls, by name (EMSCRIPTEN_BINDINGS below). Texts cross as
// UTF-8 both ways.

void Crea(const std::string& Separador) {
  Vista.Separador = Utf8ACp1252(Separador);
  Mesa = std::make_unique<TMesaTrabajo>(Vista);
  Vista.Mesa = Mesa.get();
  Mesa->FijaIntervalo(1.0 / 60);
  Mesa->FormCreate();
  Vista.OpcionesCambiadas();
}

// "Opciones > Estrategia", in the menu's order: each strategy's caption and its key, lambda-cli's
// name for it, which no rewording of the menu changes (the page keeps the strategy chosen by it).
val ListaEstrategias() {
  val l = val::array();
  for (TEstrategia e : Estrategias) {
    val x = val::object();
    x.set("nombre", Cp1252AUtf8(NombreEstrategia(e)));
    x.set("clave", std::string(ClaveEstrategia(e)));
    l.call<void>("push", x);
  }
  return l;
}

// The texts the page asks with: the question before another file replaces unsaved definitions,
// the comparison's state before its first slice, "Ayuda > Sintaxis" as the window shows it but
// for the menus' Alt keys, "Acerca de", the title once a file is open, and what each control says
// of itself.
val Textos() {
  val t = val::object();
  t.set("guardarAntesDeAbrir", Cp1252AUtf8(Mensajes::GuardarAntesDeAbrir));
  t.set("comparando", Cp1252AUtf8(Mensajes::Comparando));
  t.set("sintaxis", HtmlSintaxis(true));
  t.set("acercaDe",
        HtmlAcercaDe(LAMBDA_VERSION,
                     "En el navegador: el mismo banco de trabajo compilado a WebAssembly con "
                     "emscripten. Bibliotecas: AGG (Anti-Grain Geometry)."));
  t.set("programa", std::string(NombrePrograma));
  t.set("manual", TituloManual());
  val Consejos = val::array();
  for (const TConsejo& c : ConsejosControles()) {
    val x = val::object();
    x.set("control", std::string(c.Control));
    x.set("consejo", std::string(c.Consejo));
    x.set("nombre", std::string(c.Nombre));
    x.set("indicacion", std::string(c.Indicacion));
    Consejos.call<void>("push", x);
  }
  t.set("consejos", Consejos);
  return t;
}

// The page's title once a file is open or saved, as the window's caption.
std::string Titulo(const std::string& Fichero) {
  return TituloVentana(Fichero);
}

// The boxes' texts, and the message about the first character of theirs that Windows-1252 cannot
// hold, or empty: the worker refuses the Enter with it, as the window does.
std::string Cajas(const std::string& Ent, const std::string& Def) {
  std::string NoCabe, NoCabeEnt;
  Vista.Def = Utf8ACp1252(Def, &NoCabe);
  Vista.Ent = Utf8ACp1252(Ent, &NoCabeEnt);
  if (NoCabe.empty()) NoCabe = NoCabeEnt;
  return NoCabe.empty() ? NoCabe : Cp1252AUtf8(Mensajes::CaracterNoAdmitido) + NoCabe;
}

// Intro in the name box: whether its text is an expression typed there, to move to the empty
// expression box and enter, as the window does.
bool ExpresionEnNombre() {
  return Vista.Ent.empty() && EsExpresionEnNombre(Vista.Def);
}

// A command by its name; false for a name the table lacks.
bool Ordena(const std::string& Nombre, double a, double b, double c) {
  for (const TOrdenWeb& o : Ordenes)
    if (Nombre == o.Nombre) {
      o.Hace(*Mesa, a, b, c);
      return true;
    }
  return false;
}

// The "Opciones" menu as the page draws it: the strategy checked, by its key, and each entry by
// its name, checked, enabled and kept between sessions or not.
val EstadoOpciones() {
  const TOpciones& o = Vista.Menu;
  val Entradas = val::array();
  for (TOpcion e : OpcionesDelMenu) {
    val x = val::object();
    x.set("nombre", std::string(TOpciones::Nombre(e)));
    x.set("marcada", o.Marcada(e));
    x.set("habilitada", o.Habilitada(e));
    x.set("recordada", TOpciones::Recordada(e));
    Entradas.call<void>("push", x);
  }
  val m = val::object();
  m.set("estrategia", std::string(ClaveEstrategia(o.Estrategia())));
  m.set("entradas", Entradas);
  return m;
}

// A click on an entry (Marcada as it asks), or on a strategy: the menu drawn again, then what
// follows the change; false for a name the menu lacks.
bool MarcaOpcion(const std::string& Nombre, bool Marcada) {
  TOpcion o;
  if (!TOpciones::DeNombre(Nombre.c_str(), o)) return false;
  Vista.Menu.Marca(o, Marcada);
  Vista.OpcionesCambiadas();
  if (const auto Orden = TOpciones::Orden(o)) ((*Mesa).*Orden)();
  return true;
}
bool EligeEstrategia(const std::string& Clave) {
  TEstrategia e;
  if (!EstrategiaDeClave(Clave, e)) return false;
  Vista.Menu.Elige(e);
  Vista.OpcionesCambiadas();
  Mesa->OpcionesClick();
  return true;
}
// The options the browser kept, restored as a start: the strategy by its key, then the marks
// kept (others ignored); the steps panel shown if it was.
void RecuperaOpciones(const std::string& Clave, val Marcas) {
  TEstrategia e;
  if (EstrategiaDeClave(Clave, e)) Vista.Menu.Elige(e);
  for (TOpcion o : OpcionesDelMenu) {
    val m = Marcas[TOpciones::Nombre(o)];
    if (TOpciones::Recordada(o) && m.isTrue()) Vista.Menu.Marca(o, true);
  }
  Vista.OpcionesCambiadas();
  if (Vista.Menu.Marcada(TOpcion::Pasos)) Mesa->MostrarPasos1Click();
}

// Whether an open or a save went through since the last call: the page's title then names the
// file, and a save takes its name.
bool DeFichero() {
  return std::exchange(Vista.DeFichero, false);
}
// A path in the worker's memory file system that the next dialog answers with.
void Ruta(const std::string& r) {
  Vista.RutaDialogo = r;
}
// Run-all after the messages that came while it waited.
void Reanuda() {
  Mesa->ReanudaTodo();
}

// The pointer over byte Pos of "Texto" (-1: it left): the redex under it, or else the selected
// one without the pointing hand, to the page (web_apuntado).
void Apunta(double Pos) {
  int64_t k = Pos < 0 ? -1 : Mesa->Eleccion.RedexEn(int64_t(Pos));
  const bool Mano = k >= 0;
  if (!Mano) k = Mesa->Eleccion.SeleccionEnTexto();
  Vista.Apuntado(k, Mano, false);
}
// The pointer over the canvas, in CSS pixels (NaN: it left): whether a redex lies under it.
bool LienzoApunta(double X, double Y) {
  return Mesa->LienzoApunta(X, Y);
}
// Byte Pos of the text shown: the redex under it, or -1.
int RedexEn(double Pos) {
  return int(Mesa->Eleccion.RedexEn(int64_t(Pos)));
}

val ListaDefiniciones() {
  val l = val::array();
  for (const TDefinicion& d : Mesa->Sesion.Definiciones)
    l.call<void>("push", Cp1252AUtf8(d.Nombre));
  return l;
}

// The panel's rows, made again: their number, and the current one (-1: none).
val Pasos() {
  Filas = FilasPasos(Mesa->Historial.Traza);
  const std::size_t Actual = Mesa->Historial.Traza.Actual();
  int a = -1;
  for (std::size_t f = Filas.size(); f-- > 0 && a < 0;)
    if (Filas[f].Tipo == TFilaPasos::TTipo::Linea && Filas[f].Linea == Actual) a = int(f);
  val p = val::object();
  p.set("filas", int(Filas.size()));
  p.set("actual", a);
  return p;
}
// Row i, for Caben characters.
val FilaPasos(std::size_t i, std::size_t Cabe) {
  using TTipo = TFilaPasos::TTipo;
  const TTraza& t = Mesa->Historial.Traza;
  const TFilaPasos& f = Filas[i];
  if (f.Tipo == TTipo::Linea)
    return f.Linea < t.Lineas().size() ? FilaDeLinea(t.Lineas()[f.Linea], Cabe)
                                       : Fila("H", 0, "", {}, "");
  // As much of the text typed as fits.
  const std::string Texto = TextoFilaPasos(t, f);
  return Fila(f.Tipo == TTipo::Entrada       ? "E"
              : f.Tipo == TTipo::Descartadas ? "D"
                                             : "H",
              0, "", {},
              f.Tipo == TTipo::Entrada
                  ? Texto.substr(0, std::strlen(Mensajes::ExpresionEntrada) + Cabe)
                  : Texto);
}
// Rows Desde to Hasta (within those made).
val FilasDelPanel(int Desde, int Hasta, int Caben) {
  val l = val::array();
  const std::size_t Cabe = std::size_t(std::max(1, Caben));
  for (int i = std::max(0, Desde); i < Hasta && std::size_t(i) < Filas.size(); ++i)
    l.call<void>("push", FilaPasos(std::size_t(i), Cabe));
  return l;
}
// Definitions changed since the last open or save: the page asks before its file picker.
bool SinGuardar() {
  return Mesa->Sesion.SinGuardar();
}

}  // namespace

namespace {

// "Comparar estrategias…": false with no current term (the status bar says so). Then a slice of
// work at a time while the worker answers the page between two (ComparaAvanza: true while there
// is more); the line below the table says how it goes or how it ended (ComparaSituacion).
bool Compara() {
  Comparando.reset();
  TExprLambda* t = Mesa->Sesion.TerminoActual();
  if (!t) {
    Vista.FijaEstado(Mensajes::NoHayActual);
    return false;
  }
  Comparando = std::make_unique<TSesionComparacion>(t, Mesa->Sesion.Definiciones,
                                                    Vista.Menu.Modo().Eta, Vista.Separador);
  return true;
}
// Which term it compares, as a line above the table: cut after Caben characters.
std::string ComparaTermino(int Caben) {
  return Comparando ? Cp1252AUtf8(Comparando->TextoTermino(std::size_t(Caben))) : std::string();
}
bool ComparaAvanza() {
  return Comparando && Comparando->Avanza();
}
void ComparaPara() {
  if (Comparando) Comparando->Para();
}
std::string ComparaSituacion() {
  return Comparando ? Cp1252AUtf8(Comparando->Situacion()) : std::string();
}
// The table's rows: strategy, count, how it ended, result; then the copies go once the
// comparison has ended.
val ComparaFilas(bool Acabada) {
  val l = val::array();
  if (!Comparando) return l;
  for (const TSesionComparacion::TCeldas& c : Comparando->Celdas(200)) {
    val x = val::object();
    x.set("estrategia", Cp1252AUtf8(c.Estrategia));
    x.set("reducciones", Cp1252AUtf8(c.Reducciones));
    x.set("forma", Cp1252AUtf8(c.Forma));
    x.set("resultado", Cp1252AUtf8(c.Resultado));
    l.call<void>("push", x);
  }
  if (Acabada) Comparando.reset();
  return l;
}

// The "Ejercicios" panel as the page draws it: the lesson its progress is kept under and that
// line, each exercise's row (its kind by lambda-cli's key as well, which the page's widgets
// follow), the one shown, what its last action said, and whether a check runs.
val Ejercicios() {
  const TPractica& p = Mesa->Practica;
  const std::vector<TEjercicio>& Lista = p.Ejercicios.Ejercicios();
  const std::vector<TPractica::TFila> Filas = p.Filas();
  val l = val::array();
  for (std::size_t i = 0; i < Filas.size() && i < Lista.size(); ++i) {
    static const char* const Claves[] = {"define", "reduce", "normal"};
    val x = val::object();
    x.set("clave", std::string(Claves[int(Lista[i].Tipo)]));
    x.set("tipo", Cp1252AUtf8(Filas[i].Tipo));
    x.set("estado", Cp1252AUtf8(Filas[i].Estado));
    x.set("enunciado", Cp1252AUtf8(Filas[i].Enunciado));
    x.set("resuelto", Filas[i].Resuelto);
    l.call<void>("push", x);
  }
  val Resultado = val::array();
  for (const std::string& r : p.Resultado()) Resultado.call<void>("push", Cp1252AUtf8(r));
  val e = val::object();
  e.set("leccion", Cp1252AUtf8(p.Leccion()));
  e.set("progreso", p.Leccion().empty() ? std::string() : p.Ejercicios.ProgresoGuardado());
  e.set("filas", l);
  e.set("mostrado", int(p.Mostrado()));
  e.set("resultado", Resultado);
  e.set("comprobando", p.Comprobando());
  return e;
}
// A button of the panel by its name, for exercise i; false for a name it lacks.
bool Ejercicio(const std::string& Accion, int i, const std::string& Respuesta) {
  static const std::pair<const char*, TAccionEjercicio> Acciones[] = {
      {"muestra", TAccionEjercicio::Muestra},
      {"comprueba", TAccionEjercicio::Comprueba},
      {"empieza", TAccionEjercicio::Empieza},
      {"pista", TAccionEjercicio::Pista},
      {"reinicia", TAccionEjercicio::Reinicia}};
  for (const auto& [Nombre, a] : Acciones)
    if (Accion == Nombre) {
      Mesa->Ejercicio(a, std::size_t(std::max(0, i)), Utf8ACp1252(Respuesta));
      return true;
    }
  return false;
}
// The lines the browser kept, by lesson, before any open.
void Progresos(val Guardados) {
  const val Nombres = val::global("Object").call<val>("keys", Guardados);
  const int n = Nombres["length"].as<int>();
  for (int k = 0; k < n; ++k) {
    const std::string Leccion = Nombres[k].as<std::string>();
    const val Linea = Guardados[Leccion];
    if (Linea.isString()) Vista.Progresos[Utf8ACp1252(Leccion)] = Linea.as<std::string>();
  }
}

}  // namespace

// Every name the worker calls: a name it lacks fails at the call, and one that no longer exists
// here is not found at all; the commands of the workbench go through `orden`, by their names.
EMSCRIPTEN_BINDINGS(lambda) {
  using emscripten::function;
  function("crea", &Crea);
  function("estrategias", &ListaEstrategias);
  function("textos", &Textos);
  function("titulo", &Titulo);
  function("cajas", &Cajas);
  function("expresionEnNombre", &ExpresionEnNombre);
  function("orden", &Ordena);
  function("opciones", &EstadoOpciones);
  function("marcaOpcion", &MarcaOpcion);
  function("eligeEstrategia", &EligeEstrategia);
  function("recuperaOpciones", &RecuperaOpciones);
  function("deFichero", &DeFichero);
  function("ruta", &Ruta);
  function("reanuda", &Reanuda);
  function("apunta", &Apunta);
  function("lienzoApunta", &LienzoApunta);
  function("redexEn", &RedexEn);
  function("definiciones", &ListaDefiniciones);
  function("pasos", &Pasos);
  function("filasPasos", &FilasDelPanel);
  function("sinGuardar", &SinGuardar);
  function("compara", &Compara);
  function("comparaTermino", &ComparaTermino);
  function("comparaAvanza", &ComparaAvanza);
  function("comparaSituacion", &ComparaSituacion);
  function("comparaPara", &ComparaPara);
  function("comparaFilas", &ComparaFilas);
  function("ejercicios", &Ejercicios);
  function("ejercicio", &Ejercicio);
  function("progresos", &Progresos);
}
