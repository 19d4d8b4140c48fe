// SPDX-License-Identifier: GPL-3.0-or-later
// The page's workbench: a TMesaTrabajo driven from JavaScript, in the page's Web Worker, through
// an IVista whose widgets are the page's. Texts cross as UTF-8 (the workbench's Windows-1252 is
// converted here); every view call becomes a message to the page (trabajador.js, `Vista`).
// Run-all answers the page between its passes: it waits there (CedeEntrePasadas), the command
// returns, and the worker handles the messages waiting, the stop among them, before it goes on
// (web_reanuda).
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "uAyuda.h"
#include "uComparacion.h"
#include "uCp1252.h"
#include "uEstrategia.h"
#include "uParser.h"
#include "uTextos.h"
#include "uTraza.h"
#include "vLambda.h"

// The page's side, in biblioteca.js.
extern "C" {
void web_vista(int Que, const char* Texto, int Numero);
void web_resalte(const int32_t* Rangos, int n);
void web_lienzo(const uint8_t* Pixeles, int Ancho, int Alto);
void web_apuntado(const int32_t* Rangos, int n, int Mano, int Ir);
void web_cede();
}

namespace {

// What web_vista's first argument says.
enum TQue {
  qEstado,
  qMemo,
  qFuente,
  qBack,
  qBeta,
  qError,
  qLectura,
  qVaciaDef,
  qDefiniciones,
  qPasos
};

class TVistaWeb : public IVista {
 public:
  std::string Ent, Def, Separador = ".", RutaDialogo;
  int Fuente = TMesaTrabajo::FuenteInicial, Pestana = 0;
  bool Multiple = false, Ciclo = false, Halo = false, Pasos = false;
  bool Nombres = false, Pliegue = false;  // "Conservar los nombres", "Mostrar los nombres…"
  bool DeFichero = false;                 // an open or a save went through
  TModo Modo;
  TMesaTrabajo* Mesa = nullptr;
  int AnchoLienzo = 0, AltoLienzo = 0;

  std::string TextoEnt() override { return Ent; }
  std::string TextoDef() override { return Def; }
  void VaciaDef() override {
    Def.clear();
    web_vista(qVaciaDef, "", 0);
  }
  void FijaEstado(const std::string& t) override { Envia(qEstado, t); }
  void FijaMemo(TTextoCompartido t) override { Envia(qMemo, *t); }
  int TamanoFuenteMemo() override { return Fuente; }
  void FijaTamanoFuenteMemo(int p) override {
    Fuente = p;
    web_vista(qFuente, "", p);
  }
  void HabilitaBack(bool h) override { web_vista(qBack, "", h); }
  void HabilitaBeta(bool h) override { web_vista(qBeta, "", h); }
  bool BetaMultiple() override { return Multiple; }
  int PestanaActiva() override { return Pestana; }
  void RefrescaLienzo() override {
    if (!Mesa || AnchoLienzo <= 0 || AltoLienzo <= 0) return;
    Mesa->LienzoPaint(AnchoLienzo, AltoLienzo);
    const TBitmap& b = Mesa->Bitmap;
    if (b.Pixeles()) web_lienzo(b.Pixeles(), b.Width(), b.Height());
  }
  // The events come between two commands, while run-all waits; none inside a view update.
  void ProcesaEventos() override {}
  bool CedeEntrePasadas() override {
    web_cede();
    return true;
  }
  // The page hands a file over before it opens it, and fetches the one written after a save.
  bool DialogoAbrir(std::string& Ruta) override { return Dialogo(Ruta); }
  bool DialogoSalvar(std::string& Ruta) override { return Dialogo(Ruta); }
  bool DialogoExportarDiagrama(std::string& Ruta) override { return Dialogo(Ruta); }
  bool DialogoExportarReduccion(std::string& Ruta) override { return Dialogo(Ruta); }
  void MuestraError(const std::string& m) override { Envia(qError, m); }
  void DefinicionesDeFichero(const std::string&) override { DeFichero = true; }
  std::string SeparadorMillares() override { return Separador; }
  void FijaLectura(const std::string& t) override { Envia(qLectura, t); }
  bool DetenerEnCiclo() override { return Ciclo; }
  bool ConservarNombres() override { return Nombres; }
  bool MuestraNombresDefiniciones() override { return Pliegue; }
  void DefinicionesCambiadas() override { web_vista(qDefiniciones, "", 0); }
  void FijaResalte(const std::vector<TRango>& r) override {
    const std::vector<int32_t> v = Planos(r.data(), r.size());
    web_resalte(v.data(), int(r.size()));
  }
  bool HaloDiagrama() override { return Halo; }
  TModo ModoReduccion() override { return Modo; }
  bool MuestraPasos() override { return Pasos; }
  // The rows are made again at each change: only while the panel shows.
  void PasosCambiados() override {
    if (Pasos) web_vista(qPasos, "", 0);
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
    if (k >= 0) v = Planos(Mesa->RangosRedex().data() + 3 * k, 3);
    web_apuntado(v.data(), int(v.size() / 2), Mano, Ir);
  }

 private:
  bool Dialogo(std::string& Ruta) {
    if (RutaDialogo.empty()) return false;
    Ruta = std::exchange(RutaDialogo, {});
    return true;
  }
  void Envia(TQue q, const std::string& Cp1252) {
    const std::string u = Cp1252AUtf8(Cp1252);
    web_vista(q, u.c_str(), int(u.size()));
  }
};

TVistaWeb Vista;
std::unique_ptr<TMesaTrabajo> Mesa;
std::string Devuelto;  // a text handed back to the page, alive until the next call

// The "Pasos" panel's rows: the text typed, the lines dropped, each line kept and the passes
// between two of them that showed nothing. Made again at every change; the page asks for the rows
// it shows.
enum TTipoFila : char { fEntrada = 'E', fDescartadas = 'D', fHueco = 'H', fLinea = 'L' };
struct TFila {
  TTipoFila Tipo;
  std::size_t Linea;
  int64_t Paso;
};
std::vector<TFila> Filas;

void ConstruyeFilas(const TTraza& t) {
  Filas.clear();
  if (!t.Activa()) return;
  Filas.push_back({fEntrada, 0, 0});
  if (t.Descartadas() > 0) Filas.push_back({fDescartadas, 0, 0});
  const auto& Lineas = t.Lineas();
  int64_t Anterior = -1;
  if (t.Descartadas() > 0) Anterior = (Lineas.empty() ? 0 : Lineas.front().Estado.Pasos) - 1;
  for (std::size_t i = 0; i < Lineas.size(); ++i) {
    const int64_t Paso = Lineas[i].Estado.Pasos;
    if (Paso > Anterior + 1) Filas.push_back({fHueco, 0, Paso - Anterior - 1});
    Filas.push_back({fLinea, i, Paso});
    Anterior = Paso;
  }
  if (t.Pasos() > Anterior) Filas.push_back({fHueco, 0, t.Pasos() - Anterior});
}

// A line's row: "L" ("A" for a notice in place of a term), its step, how the step from it was
// taken, its marks and the part of its text that fits in Caben characters (from a little before the
// first mark when that lies further), tab-separated; the text last, whatever it holds.
std::string FilaDeLinea(const TTraza::TLinea& l, std::size_t Caben) {
  const std::string& Texto = *l.Forma;
  std::size_t Desde = 0;
  if (!l.Marcas.empty() && l.Marcas[0].Hasta > Caben)
    Desde = l.Marcas[0].Desde - std::min<std::size_t>(l.Marcas[0].Desde, 4);
  std::string Parte = Desde > 0 ? "\x85" : "";  // "…"
  const std::size_t Corrido = Parte.size(), Hasta = std::min(Texto.size(), Desde + Caben + 1);
  Parte.append(Texto, Desde, Hasta - Desde);
  std::string s = (l.EsTermino ? "L\t" : "A\t") + std::to_string(l.Estado.Pasos) + "\t" +
                  TTraza::Como(l) + "\t";
  for (const TRango& g : l.Marcas) {
    const std::size_t a = std::clamp(g.Desde, Desde, Hasta), z = std::clamp(g.Hasta, Desde, Hasta);
    s += std::to_string(a - Desde + Corrido) + "," + std::to_string(z - Desde + Corrido) + ",";
  }
  return s + "\t" + Parte;
}

// The page's commands, by number (trabajador.js, `Orden`), with up to three numbers of theirs.
using TOrden = void (*)(TMesaTrabajo&, double, double, double);
const TOrden Ordenes[] = {
    [](TMesaTrabajo& m, double a, double, double) { m.edtEntKeyPress(char(a)); },
    [](TMesaTrabajo& m, double, double, double) { m.btnBetaClick(); },
    [](TMesaTrabajo& m, double, double, double) { m.btnBackClick(); },
    [](TMesaTrabajo& m, double, double, double) { m.btnBetaAllClick(); },
    [](TMesaTrabajo& m, double a, double, double) { m.UpDown1ChangingEx(a > 0 ? updUp : updDown); },
    [](TMesaTrabajo& m, double, double, double) { m.PageControl1Change(); },
    [](TMesaTrabajo& m, double, double, double) { m.Abrir1Click(); },
    [](TMesaTrabajo& m, double, double, double) { m.Salvar1Click(); },
    [](TMesaTrabajo& m, double, double, double) { m.ExportarDiagrama1Click(); },
    [](TMesaTrabajo& m, double, double, double) { m.ExportarReduccion1Click(); },
    [](TMesaTrabajo& m, double a, double b, double) { m.LienzoArrastra(a, b); },
    [](TMesaTrabajo& m, double a, double b, double c) {
      m.LienzoMouseWheel(a > 0 ? updUp : updDown, b, c);
    },
    [](TMesaTrabajo& m, double, double, double) { m.LienzoDblClick(); },
    [](TMesaTrabajo& m, double, double, double) { m.AjustarDiagrama1Click(); },
    [](TMesaTrabajo& m, double, double, double) { m.OpcionesClick(); },
    [](TMesaTrabajo& m, double a, double, double) { m.ContraeRedex(std::size_t(a)); },
    // F8 / Shift+F8 and F9: the selected redex shown as the one pointed at, scrolled to.
    [](TMesaTrabajo& m, double a, double, double) {
      m.SeleccionaRedex(a > 0);
      Vista.Apuntado(m.SeleccionEnTexto(), false, true);
    },
    [](TMesaTrabajo& m, double, double, double) {
      m.ContraeSeleccionado();
      Vista.Apuntado(m.SeleccionEnTexto(), false, true);
    },
    [](TMesaTrabajo& m, double a, double b, double) { m.LienzoPulsa(a, b); },
    // A row of the panel made current, when it is a line's.
    [](TMesaTrabajo& m, double a, double, double) {
      const std::size_t f = std::size_t(a);
      if (f < Filas.size() && Filas[f].Tipo == fLinea) m.IrALinea(Filas[f].Linea);
    },
    [](TMesaTrabajo& m, double, double, double) { m.MostrarPasos1Click(); },
    [](TMesaTrabajo& m, double, double, double) { m.NombresClick(); },
};

// "Comparar estrategias…": copies of the current term and of the definitions, which the
// comparison reads until it ends, while the workbench goes on with its own.
struct TComparando {
  TDefiniciones Definiciones;
  std::unique_ptr<TExprLambda, void (*)(TExprLambda*)> Termino{nullptr, &Libera};
  std::unique_ptr<TComparacion> Comparacion;  // last: it goes first
};
std::unique_ptr<TComparando> Comparando;
std::string ErrorComparacion;  // the error that ended it, UTF-8

}  // namespace

// The page's side: the boxes' texts and the options before every command, then the command.
extern "C" {

EMSCRIPTEN_KEEPALIVE void web_crea(const char* Separador) {
  Vista.Separador = Utf8ACp1252(Separador);
  Mesa = std::make_unique<TMesaTrabajo>(Vista);
  Vista.Mesa = Mesa.get();
  Mesa->FijaIntervalo(1.0 / 60);
  Mesa->FormCreate();
}

// The boxes' texts, and the message about the first character of theirs that Windows-1252 cannot
// hold, or empty: the worker refuses the Enter with it, as the window does.
EMSCRIPTEN_KEEPALIVE const char* web_cajas(const char* Ent, const char* Def) {
  std::string NoCabe, NoCabeEnt;
  Vista.Def = Utf8ACp1252(Def, &NoCabe);
  Vista.Ent = Utf8ACp1252(Ent, &NoCabeEnt);
  if (NoCabe.empty()) NoCabe = NoCabeEnt;
  Devuelto = NoCabe.empty() ? NoCabe : Cp1252AUtf8(Mensajes::CaracterNoAdmitido) + NoCabe;
  return Devuelto.c_str();
}

// Intro in the name box: whether its text is an expression typed there, to move to the empty
// expression box and enter, as the window does.
EMSCRIPTEN_KEEPALIVE int web_expresion_en_nombre() {
  return Vista.Ent.empty() && EsExpresionEnNombre(Vista.Def);
}

EMSCRIPTEN_KEEPALIVE void web_opciones(int Multiple, int Pestana, int Ciclo, int Halo,
                                       int Estrategia, int Eta, int Pasos, int Nombres,
                                       int Pliegue) {
  Vista.Pasos = Pasos;
  Vista.Nombres = Nombres;
  Vista.Pliegue = Pliegue;
  Vista.Multiple = Multiple;
  Vista.Pestana = Pestana;
  Vista.Ciclo = Ciclo;
  Vista.Halo = Halo;
  Vista.Modo.Estrategia = Estrategias[Estrategia];
  Vista.Modo.Eta = Eta && AdmiteEta(Vista.Modo.Estrategia);
}

EMSCRIPTEN_KEEPALIVE void web_lienzo_tamano(int Ancho, int Alto, double Escala) {
  Vista.AnchoLienzo = Ancho;
  Vista.AltoLienzo = Alto;
  Mesa->FijaEscala(Escala);
}

// Whether an open or a save went through since the last call: the page's title then names the
// file, and a save takes its name.
EMSCRIPTEN_KEEPALIVE int web_de_fichero() {
  return std::exchange(Vista.DeFichero, false);
}

// A path in the worker's memory file system that the next dialog answers with.
EMSCRIPTEN_KEEPALIVE void web_ruta(const char* Ruta) {
  Vista.RutaDialogo = Ruta;
}

EMSCRIPTEN_KEEPALIVE void web_orden(int Orden, double a, double b, double c) {
  if (Orden >= 0 && Orden < int(std::size(Ordenes)))
    Ordenes[Orden](*Mesa, a, b, c);
  else
    Vista.RefrescaLienzo();  // the canvas's new size
}

// Run-all after the messages that came while it waited.
EMSCRIPTEN_KEEPALIVE void web_reanuda() {
  Mesa->ReanudaTodo();
}

// The pointer over byte Pos of "Texto" (-1: it left): the redex under it, or else the selected
// one without the pointing hand, to the page (web_apuntado).
EMSCRIPTEN_KEEPALIVE void web_apunta(double Pos) {
  int64_t k = Pos < 0 ? -1 : Mesa->RedexEn(int64_t(Pos));
  const bool Mano = k >= 0;
  if (!Mano) k = Mesa->SeleccionEnTexto();
  Vista.Apuntado(k, Mano, false);
}
// The pointer over the canvas, in CSS pixels (NaN: it left): whether a redex lies under it.
EMSCRIPTEN_KEEPALIVE int web_lienzo_apunta(double X, double Y) {
  return Mesa->LienzoApunta(X, Y);
}

// Byte Pos of the text shown: the redex under it, or -1.
EMSCRIPTEN_KEEPALIVE int web_redex_en(double Pos) {
  return int(Mesa->RedexEn(int64_t(Pos)));
}
// Every redex's three ranges, as FijaResalte's, for the hover.
EMSCRIPTEN_KEEPALIVE void web_rangos() {
  Vista.FijaResalte(Mesa->RangosRedex());
}

EMSCRIPTEN_KEEPALIVE int web_num_definiciones() {
  return int(Mesa->Definiciones.Cuenta());
}
EMSCRIPTEN_KEEPALIVE const char* web_definicion(int i) {
  Devuelto = Cp1252AUtf8(Mesa->Definiciones[std::size_t(i)].Nombre);
  return Devuelto.c_str();
}
// "Opciones > Estrategia", in the menu's order.
EMSCRIPTEN_KEEPALIVE const char* web_estrategia(int i) {
  Devuelto = Cp1252AUtf8(NombreEstrategia(Estrategias[i]));
  return Devuelto.c_str();
}
// Strategy i's key, lambda-cli's name for it, which no rewording of the menu changes: the page
// keeps the strategy chosen by it.
EMSCRIPTEN_KEEPALIVE const char* web_clave_estrategia(int i) {
  return ClaveEstrategia(Estrategias[i]);
}
// Whether η applies to strategy i, and whether it is then the classic mode, which alone has
// "Beta múltiple": the menu's rule, as the window's.
EMSCRIPTEN_KEEPALIVE int web_admite_eta(int i) {
  return AdmiteEta(Estrategias[i]);
}
EMSCRIPTEN_KEEPALIVE int web_clasico(int i, int Eta) {
  return TModo{Estrategias[i], Eta && AdmiteEta(Estrategias[i])}.Clasico();
}
EMSCRIPTEN_KEEPALIVE int web_ejecutando() {
  return Mesa->Ejecutando;
}
// The panel's rows, made again; the current one (-1: none); row i as FilaDeLinea gives a line's,
// the others with their message alone, for Caben characters.
EMSCRIPTEN_KEEPALIVE int web_pasos() {
  ConstruyeFilas(Mesa->Reduccion());
  return int(Filas.size());
}
EMSCRIPTEN_KEEPALIVE int web_pasos_actual() {
  const std::size_t Actual = Mesa->Reduccion().Actual();
  for (std::size_t f = Filas.size(); f-- > 0;)
    if (Filas[f].Tipo == fLinea && Filas[f].Linea == Actual) return int(f);
  return -1;
}
EMSCRIPTEN_KEEPALIVE const char* web_pasos_fila(int i, int Caben) {
  const TTraza& t = Mesa->Reduccion();
  const TFila& f = Filas[std::size_t(i)];
  std::string s;
  const std::size_t Cabe = std::size_t(std::max(1, Caben));
  if (f.Tipo == fEntrada)  // as much of the text typed as fits
    s = std::string("E\t\t\t\t") + Mensajes::ExpresionEntrada + t.Entrada().substr(0, Cabe);
  else if (f.Tipo == fDescartadas)
    s = "D\t\t\t\t" + Mensajes::LineasDescartadas(t.Descartadas(), TTraza::LimiteMemoria);
  else if (f.Tipo == fHueco)
    s = "H\t\t\t\t" + Mensajes::PasosSinMostrar(f.Paso);
  else if (f.Linea < t.Lineas().size())
    s = FilaDeLinea(t.Lineas()[f.Linea], Cabe);
  Devuelto = Cp1252AUtf8(s);
  return Devuelto.c_str();
}
// Definitions changed since the last open or save, and what the window asks before another file
// replaces them: the page asks it before its file picker.
EMSCRIPTEN_KEEPALIVE int web_sin_guardar() {
  return Mesa->SinGuardar();
}
EMSCRIPTEN_KEEPALIVE const char* web_pregunta_abrir() {
  Devuelto = Cp1252AUtf8(Mensajes::GuardarAntesDeAbrir);
  return Devuelto.c_str();
}

// "Ayuda > Sintaxis", as the window shows it but for the menus' Alt keys (UTF-8 already).
EMSCRIPTEN_KEEPALIVE const char* web_sintaxis() {
  Devuelto = HtmlSintaxis(true);
  return Devuelto.c_str();
}

// "Comparar estrategias…": false with no current term (the status bar says so). Then a slice of
// work at a time while the worker answers the page between two; 0 once it has ended, 2 when it
// ended on an error, whose message (web_compara_error) is the table's status.
EMSCRIPTEN_KEEPALIVE int web_compara() {
  Comparando.reset();
  TExprLambda* t = Mesa->TerminoActual();
  if (!t) {
    Vista.FijaEstado(Mensajes::NoHayActual);
    return 0;
  }
  auto c = std::make_unique<TComparando>();
  for (const TDefinicion& d : Mesa->Definiciones)
    c->Definiciones.Agrega(d.Nombre, d.Termino->Copia());
  c->Termino.reset(t->Copia());
  c->Comparacion =
      std::make_unique<TComparacion>(c->Termino.get(), c->Definiciones, Vista.Modo.Eta,
                                     TComparacion::TopeVentana, TComparacion::LimiteVentana);
  Comparando = std::move(c);
  return 1;
}
// Which term it compares, as a line above the table: cut after Caben characters.
EMSCRIPTEN_KEEPALIVE const char* web_compara_termino(int Caben) {
  Devuelto = Comparando ? Cp1252AUtf8(Comparando->Comparacion->TextoTermino(std::size_t(Caben)))
                        : std::string();
  return Devuelto.c_str();
}
EMSCRIPTEN_KEEPALIVE int web_compara_avanza() {
  if (!Comparando) return 0;
  try {
    if (Comparando->Comparacion->Avanza(TComparacion::RodajaVentana)) return 1;
  } catch (const std::exception& e) {
    // Out of memory, most likely: what has ended stays in the table.
    Comparando->Comparacion->Para();
    ErrorComparacion = Cp1252AUtf8(MensajeExcepcion(e, Vista.Separador));
    return 2;
  }
  return 0;
}
EMSCRIPTEN_KEEPALIVE const char* web_compara_error() {
  return ErrorComparacion.c_str();
}
EMSCRIPTEN_KEEPALIVE void web_compara_para() {
  if (Comparando) Comparando->Comparacion->Para();
}
// The table's rows, a line each: strategy, count, how it ended, result (tab-separated); then the
// copies go when the comparison has ended.
EMSCRIPTEN_KEEPALIVE const char* web_compara_filas(int Acabada) {
  std::string s;
  if (Comparando) {
    bool Primera = true;
    for (const TComparacion::TFila& f : Comparando->Comparacion->Filas()) {
      const bool Hecha = f.Fin != TComparacion::TFila::TFin::EnCurso;
      const bool EnEspera = !Hecha && !Primera;
      s += std::string(NombreEstrategia(f.Estrategia)) + "\t" +
           (EnEspera ? "" : ConMillares(uint64_t(f.Reducciones), Vista.Separador)) + "\t" +
           TComparacion::TextoForma(f, Primera, Vista.Separador) + "\t" +
           (Hecha ? TComparacion::TextoResultado(f, 200) : "") + "\n";
      if (!Hecha) Primera = false;
    }
    if (Acabada) Comparando.reset();
  }
  Devuelto = Cp1252AUtf8(s);
  return Devuelto.c_str();
}
}
