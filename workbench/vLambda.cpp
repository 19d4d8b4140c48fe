// SPDX-License-Identifier: GPL-3.0-or-later
#include "vLambda.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <utility>

#include "uExporta.h"
#include "uFichero.h"
#include "uLambda.h"
#include "uNombres.h"
#include "uParser.h"
#include "uTextos.h"

namespace {

// A name is a line of the definitions file, where a control character would not come back as
// it went (code 26 ends the file there); the code of the first one, or -1.
int CaracterDeControl(const std::string& Nombre) {
  for (char c : Nombre) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 32 || b == 127) return b;
  }
  return -1;
}

}  // namespace

namespace {

std::size_t MemoriaFisica() {
  long Paginas = sysconf(_SC_PHYS_PAGES), Tamano = sysconf(_SC_PAGESIZE);
  if (Paginas <= 0 || Tamano <= 0) return std::size_t(1) << (sizeof(std::size_t) > 4 ? 32 : 31);
  return static_cast<std::size_t>(Paginas) * static_cast<std::size_t>(Tamano);
}

}  // namespace

TMesaTrabajo::TMesaTrabajo(IVista& vista)
    : LimiteTexto(MemoriaFisica() / 16), Vista(vista), Ritmo([this] {
        Vista.ProcesaEventos();
        return !Cerrada;
      }) {}

TMesaTrabajo::~TMesaTrabajo() {
  Motor.Olvida();
  Libera(Actual);
  Libera(Anterior);
}

template <typename F>
void TMesaTrabajo::Protegido(F&& Orden) {
  if (Cerrada) return;
  if (Ritmo.Atendiendo()) return Ritmo.Encola(std::forward<F>(Orden));
  Numerado = false;
  ModoImpresion.ConservaNombres = Vista.ConservarNombres();
  Pliegue.Quita();
  try {
    Orden();
  } catch (const std::exception& e) {
    // The window may be closing while the error happened inside run-all's event processing.
    if (!Cerrada) Vista.MuestraError(MensajeExcepcion(e, Vista.SeparadorMillares()));
  }
}
// The commands of the workbench's other files go through it as a std::function.
template void TMesaTrabajo::Protegido(std::function<void()>&&);

void TMesaTrabajo::FormCreate() {
  Protegido([&] {
    Ejecutando = false;
    PararPedido = false;
    Zoom = 1.0;
    Definiciones.Vacia();
    Motor.Olvida();
    Libera(Actual);
    Actual = nullptr;
    Libera(Anterior);
    Anterior = nullptr;
    Traza.Vacia();
    Bitmap.SetSize(0, 0);
    NumVars = 0;
    Vista.HabilitaBack(false);
    Lector.Invalida();
    Lector.Recalcula(Definiciones);
    Vista.FijaLectura({});
    Vista.DefinicionesCambiadas();
  });
}

void TMesaTrabajo::edtEntKeyPress(char Key) {
  if (Key != '\r') return;
  // The boxes as they are now: an Enter that waits for a view update must not enter what the
  // user typed after it.
  Protegido([this, Ent = Vista.TextoEnt(), Def = Vista.TextoDef()] { Introduce(Ent, Def); });
}
void TMesaTrabajo::btnBetaClick() {
  Protegido([this] { Paso(); });
}
void TMesaTrabajo::ContraeRedex(std::size_t i) {
  Protegido([this, i] {
    if (TAplicacion* Elegido = RedexNumero(i)) Paso(Elegido);
  });
}
void TMesaTrabajo::btnBackClick() {
  Protegido([this] { Atras(); });
}
void TMesaTrabajo::btnBetaAllClick() {
  // Never waits: a press during run-all is its stop.
  if (Ejecutando && !Cerrada) {
    PararPedido = true;
    return;
  }
  Protegido([this] { EjecutaTodo(); });
}
bool TMesaTrabajo::UpDown1ChangingEx(TUpDownDirection Direction) {
  Protegido([this, Direction] { Zoom1(Direction); });
  return true;
}
void TMesaTrabajo::PageControl1Change() {
  Protegido([this] { CambiaPestana(); });
}
void TMesaTrabajo::Abrir1Click() {
  Protegido([this] { Abre(); });
}
void TMesaTrabajo::Salvar1Click() {
  Protegido([this] { Salva(); });
}
void TMesaTrabajo::FijaEscala(double e) {
  if (!std::isfinite(e) || e < 1) e = 1;
  if (e == EscalaDispositivo) return;
  // Redrawing walks the term, which a paused view update is still walking: it waits its turn
  // like any other command.
  Protegido([this, e] {
    if (e == EscalaDispositivo) return;
    EscalaDispositivo = e;
    Redibuja();
  });
}

void TMesaTrabajo::LienzoPaint(int Ancho, int Alto) {
  // While an update is under way the canvas shows the bitmap it has; a new size waits.
  Protegido([this, Ancho, Alto] { Pinta(Ancho, Alto); });
}

void TMesaTrabajo::ExportarDiagrama1Click() {
  Protegido([this] { ExportaDiagrama(); });
}
void TMesaTrabajo::ExportarReduccion1Click() {
  Protegido([this] { ExportaReduccion(); });
}

void TMesaTrabajo::AbreAlEmpezar(const std::string& Ruta) {
  Protegido([this, Ruta] { AbreRuta(Ruta); });
}
void TMesaTrabajo::LienzoArrastra(double Dx, double Dy) {
  Protegido([this, Dx, Dy] { Desplaza(DesplX + Dx, DesplY + Dy); });
}
void TMesaTrabajo::LienzoMouseWheel(TUpDownDirection Direction, double X, double Y) {
  Protegido([this, Direction, X, Y] {
    if (!DiagramaActivo()) return;
    double z = Direction == updUp ? Zoom * 1.2 : Zoom / 1.2;
    if (!std::isfinite(z) || !(z > 0) || !std::isfinite(X) || !std::isfinite(Y)) return;
    // The point under the pointer stays there: in units from the root's left edge, which the
    // standard layout moves with the zoom, and from the top.
    int w = int(Bitmap.Width() / EscalaDispositivo);  // in the window's pixels, as X and Zoom
    double u = (X - DesplX) / Zoom - double(PosicionRaiz(RaizDibujada.Ancho, w, Zoom));
    double v = (Y - DesplY) / Zoom;
    double x = X - (double(PosicionRaiz(RaizDibujada.Ancho, w, z)) + u) * z;
    Zoom = z;
    Desplaza(x, Y - v * z);
  });
}
void TMesaTrabajo::LienzoDblClick() {
  Protegido([this] { Desplaza(0, 0); });
}
void TMesaTrabajo::Desplaza(double X, double Y) {
  // Far enough for any drag; no further, so that the drawing's sums stay exact.
  constexpr double Tope = 1e9;
  DesplX = std::isfinite(X) ? std::clamp(X, -Tope, Tope) : 0;
  DesplY = std::isfinite(Y) ? std::clamp(Y, -Tope, Tope) : 0;
  if (DiagramaActivo()) RefrescaDiagrama();
}
void TMesaTrabajo::OpcionesClick() {
  Protegido([this] {
    if (!Actual) return;
    // Run-all shows the panel with its next update.
    if (!Ejecutando && (FormaEnPanel || FormaAlcanzada())) MuestraLectura();
    if (DiagramaActivo()) return RefrescaDiagrama();
    // The same text again, only its background changes; a text behind the term (run-all between
    // two updates) gets it with its next update.
    if (!MemoAlDia || !Vista.MuestraResalte()) return;
    Renumera();
    if (LongitudNumerada > LimiteTexto) return;
    std::vector<TRango> Rangos;
    TextoResaltado(LongitudNumerada, Rangos);
    Vista.FijaResalte(Rangos);
  });
}

void TMesaTrabajo::FormClose() {
  Cerrada = true;
  PararPedido = true;
}

bool TMesaTrabajo::FormCloseQuery() {
  if (Cerrada || !Modificadas) return true;
  if (Ritmo.Atendiendo()) {
    // A save would renumber what the paused walk is reading: the question comes after it.
    if (!CierreEnEspera) {
      CierreEnEspera = true;
      Ritmo.Encola([this] {
        CierreEnEspera = false;
        Vista.Cierra();
      });
    }
    return false;
  }
  CierreEnEspera = false;
  bool Sigue = false;
  Protegido([&] { Sigue = GuardaSiCambiaron(Mensajes::GuardarAntesDeCerrar); });
  return Sigue;
}

std::string TMesaTrabajo::LineaDefinicion(std::size_t i) {
  Numerado = false;
  return LineaGuardada(Definiciones, i, NumVars, Vista.SeparadorMillares(),
                       Vista.ConservarNombres());
}

void TMesaTrabajo::Renumera() {
  if (!Actual) return;
  Numerado = false;
  PliegaActual();
  LongitudNumerada = Lector.Numera(Actual, NumVars, Ritmo.Pulso(), ModoImpresion);
  Numerado = true;
}

void TMesaTrabajo::EjecutaPendientes() {
  // Once one of them has closed the window, Protegido refuses the rest.
  for (std::function<void()>& Orden : Ritmo.TomaPendientes()) Protegido(Orden);
}

void TMesaTrabajo::Muestra() {
  AvisoVista.clear();
  // The printer writes exactly the length measured here: it comes from this numbering.
  Renumera();
  const std::size_t Longitud = LongitudNumerada;
  if (Longitud > LimiteTexto) {
    Vista.FijaMemo(std::make_shared<const std::string>());
    Vista.FijaResalte({});
    MemoAlDia = false;
    Avisa(Mensajes::TextoDemasiadoGrande(LimiteTexto, Vista.SeparadorMillares()));
    Traza.AnotaAviso("(" + AvisoVista + ")");
    return;
  }
  std::vector<TRango> Rangos;
  TTextoCompartido Forma = std::make_shared<const std::string>(
      Vista.MuestraResalte() ? TextoResaltado(Longitud, Rangos)
                             : TextoConPulso(Actual, Longitud, Ritmo.Pulso(), ModoImpresion));
  AnotaEnTraza(Forma, Rangos);  // when this step has no form yet
  // A line gone back to: the view shares the panel's text rather than holding it twice.
  if (TTextoCompartido f = Traza.FormaActual(); f && f != Forma && *f == *Forma) Forma = f;
  Vista.FijaMemo(std::move(Forma));
  Vista.FijaResalte(Rangos);
  MemoAlDia = true;
}

// The ranges come from the walk that prints: they agree with the text by construction.
// An η-redex (an abstraction) is shown whole: its range, and empty ones for the two parts.
std::string TMesaTrabajo::TextoResaltado(std::size_t Longitud, std::vector<TRango>& Rangos) {
  std::vector<TExprLambda*> Redex;
  Proximos(Redex);
  std::vector<TExprLambda*> Nodos;
  Nodos.reserve(3 * Redex.size());
  for (TExprLambda* r : Redex) {
    if (TAplicacion* a = ComoAplicacion(r))
      Nodos.insert(Nodos.end(), {a, a->Func, a->Arg});
    else
      Nodos.insert(Nodos.end(), {r, nullptr, nullptr});
  }
  return TextoConRangos(Actual, Longitud, Nodos, Rangos, Ritmo.Pulso(), ModoImpresion);
}

bool TMesaTrabajo::TomaModo() {
  TModo m = Vista.ModoReduccion();
  m.Eta = m.Eta && AdmiteEta(m.Estrategia);
  Motor.FijaModo(m);
  return m.Clasico() && Vista.BetaMultiple();
}

void TMesaTrabajo::Proximos(std::vector<TExprLambda*>& Redex) {
  const bool Multiple = TomaModo();
  Motor.Proximos(Actual, Multiple, Redex, Ritmo.Pulso());
}

// The engine resumes its walk: asked after every step, this costs what finding the next redex
// costs, which the next step would pay anyway.
const char* TMesaTrabajo::FormaAlcanzada() {
  if (!Actual) return nullptr;
  TomaModo();
  return HayRedex() ? nullptr : NombreForma(FormaDe(Motor.Modo().Estrategia));
}

void TMesaTrabajo::Redibuja() {
  // Nothing to draw into (a canvas of no size, or lambda-cli before `size`): no walk at all.
  if (!Actual || !Bitmap.Pixeles() || !Agg.attachedTo(Bitmap)) return;
  std::size_t Nodos = CuentaNodos(Actual, LimiteDiagrama, Ritmo.Pulso());
  if (Nodos > LimiteDiagrama) {
    Agg.clearAll(ColorFondo.R, ColorFondo.G, ColorFondo.B, ColorFondo.A);
    if (DiagramaActivo())
      Avisa(Mensajes::DiagramaDemasiadoGrande(LimiteDiagrama, Vista.SeparadorMillares()));
    return;
  }
  // Definitions share free variables with Actual, so their numbering may have moved since the
  // last command.
  if (!Numerado) Renumera();
  TExtrasDiagrama Extras{DesplX * EscalaDispositivo, DesplY * EscalaDispositivo, nullptr};
  std::vector<TExprLambda*> Halo;
  if (Vista.HaloDiagrama()) {
    Proximos(Halo);
    Extras.Halo = &Halo;
  }
  RaizDibujada = DibujaConEleccion(Extras);
}

void TMesaTrabajo::Avisa(std::string Aviso) {
  AvisoVista = std::move(Aviso);
  // Run-all shows it beside its count.
  if (!Ejecutando) Vista.FijaEstado(AvisoVista);
}

void TMesaTrabajo::RefrescaDiagrama() {
  Redibuja();
  Vista.RefrescaLienzo();
}

bool TMesaTrabajo::DiagramaActivo() {
  return Vista.PestanaActiva() != PestanaTexto;
}

void TMesaTrabajo::ActualizaVistaVisible() {
  AvisoVista.clear();
  // The diagram numbers the term itself, once it knows it will draw it.
  if (DiagramaActivo()) {
    RefrescaDiagrama();
  } else if (!MemoAlDia) {
    Muestra();
  }
}

void TMesaTrabajo::MuestraCuenta(const std::string& Anexo) {
  std::string Texto = TextoReducciones(NumReducciones, Vista.SeparadorMillares()) + Anexo;
  if (!AvisoVista.empty()) Texto += "; " + AvisoVista;
  Vista.FijaEstado(Texto);
}

void TMesaTrabajo::CambiaActual(TExprLambda* Nuevo) {
  // The engine remembers a path into the old term; it must not outlive it.
  Motor.Olvida();
  Libera(Actual);
  SueltaCajas();  // the boxes it was drawn with go back to the allocator, as its nodes do
  Actual = Nuevo;
  ++Reemplazos;
  TerminoCambiado(TCambio::Orden);
}

void TMesaTrabajo::TerminoCambiado(TCambio Causa) {
  ++Version;
  Numerado = false;
  MemoAlDia = false;
  RedexAlDia = false;
  DibujoAlDia = false;
  if (Causa == TCambio::Orden) Lector.Invalida();
}

bool TMesaTrabajo::PasadaBeta(bool Multiple) {
  bool Cambio = false;
  const int64_t Antes = NumReducciones;
  Actual = Motor.Reduce(Actual, Cambio, Multiple);
  Traza.Pasada(Multiple, NumReducciones - Antes, Cambio, Motor.Modo());
  return Cambio;
}

void TMesaTrabajo::MuestraLectura(const std::string& Aviso) {
  // The notices first, the form reached before all: a long reading is cut at the panel's end.
  std::string Texto = Lector.Texto(Actual, Definiciones, Vista.SeparadorMillares());
  const char* Forma = FormaAlcanzada();
  FormaEnPanel = Forma != nullptr;
  std::string Nota = Aviso;
  if (Forma) Nota = Forma + (Nota.empty() ? "" : Mensajes::SeparadorLectura + Nota);
  if (!Nota.empty()) Texto = Nota + (Texto.empty() ? "" : Mensajes::SeparadorLectura) + Texto;
  if (Vista.MuestraPasos() && Traza.Activa())
    Texto = NotaPaso() + (Texto.empty() ? "" : Mensajes::SeparadorLectura) + Texto;
  Vista.FijaLectura(Texto);
  Vista.PasosCambiados();
}

// Enter: parse, make the result current, and define it under the name box's text.
void TMesaTrabajo::Introduce(const std::string& Texto, const std::string& Nombre) {
  // A name that could not be saved is refused before anything changes.
  FaltaEntrada.reset();
  if (int c = CaracterDeControl(Nombre); c >= 0) {
    Vista.FijaEstado(Mensajes::ControlEnNombre(c));
    return;
  }
  if (!Nombre.empty() && Nombre[0] == '#') return Vista.FijaEstado(Mensajes::AlmohadillaEnNombre);
  // An entry ends a run-all under way: the run's count and views belong to the old term.
  if (Ejecutando) PararPedido = true;
  // Both old terms go whatever the parse gives; released first, they leave the pool to it
  // (after a run that filled it). Only a text that copies the current term needs it still.
  Libera(Anterior);
  Anterior = nullptr;
  if (Texto.find('%') == std::string::npos) CambiaActual(nullptr);
  std::string Error;
  TRango Falta;
  TRetenido Nuevo(
      Analiza(Texto, Definiciones, Actual, Error, Falta, Vista.SeparadorMillares(), &Escritura));
  if (!Nuevo.Get()) {
    FaltaEntrada = Falta;
    Vista.SeleccionaEnt(Falta.Desde, Falta.Hasta);
    Vista.FijaResalte({});  // there is no next step now
  }
  // The definition's copy is made before anything changes, so that a copy past the node limit
  // fails the entry as a whole.
  TRetenido CopiaDef;
  if (Error.empty() && !Nombre.empty()) Error = CopiaDefinicion(Nuevo.Get(), CopiaDef);
  if (!Error.empty()) {
    Vista.FijaEstado(Error);
    CambiaActual(nullptr);
    Traza.Vacia();
  } else {
    CambiaActual(Nuevo.Suelta());
    Traza.Empieza(Texto);
  }
  Vista.HabilitaBack(false);
  if (!Actual) return MuestraLectura();

  Vista.FijaEstado("");
  Muestra();
  if (!Nombre.empty()) Define(Nombre, CopiaDef, Texto);
  Vista.VaciaDef();
  RefrescaDiagrama();
  MuestraLectura(Nombre.empty() || NombreLegible(Nombre) ? std::string()
                                                         : Mensajes::NombreIlegible(Nombre));
}

std::string TMesaTrabajo::CopiaDefinicion(TExprLambda* t, TRetenido& Copia) {
  try {
    Copia.Toma(t->Copia());
  } catch (const EDemasiadoGrande& e) {
    return MensajeDemasiadoGrande(e.Nodos, Vista.SeparadorMillares());
  }
  return {};
}

void TMesaTrabajo::Define(const std::string& Nombre, TRetenido& Copia, const std::string& Texto) {
  int i = Definiciones.Busca(Nombre);
  if (i >= 0) {
    Definiciones.Reemplaza(i, Copia.Suelta(), Texto);
  } else {
    // Agrega releases the term itself when it fails; nothing may throw once it is handed over.
    std::string n = Nombre;
    Definiciones.Agrega(std::move(n), Copia.Suelta(), Texto);
  }
  Lector.Recalcula(Definiciones, i >= 0 ? std::size_t(i) : Definiciones.Cuenta() - 1);
  Modificadas = true;
  Vista.DefinicionesCambiadas();
}

// Step: one pass (or the contraction of a chosen redex), keeping the term before it for back.
void TMesaTrabajo::Paso(TAplicacion* Elegido) {
  // β has no place inside run-all: the run owns the term and its count until it ends.
  if (!Actual || Ejecutando) return;
  const bool Multiple = TomaModo();
  // A step refused at the node limit cost its whole attempt: as long as the term, the way it is
  // taken, the memory in use and the limit are the same, it is refused again at once.
  const TRechazo Intento{Version, Motor.Modo(), Multiple, Elegido, NodosVivos(), LimiteNodos(), 0};
  if (Rechazo && Rechazo->Repite(Intento))
    return Vista.FijaEstado(MensajeDemasiadoGrande(Rechazo->Pedidos, Vista.SeparadorMillares()));
  // A step that contracts nothing changes nothing, back included.
  if (!Elegido && !HayRedex()) return;
  CompletaTraza();
  TRetenido Copia;
  try {
    Copia.Toma(Actual->Copia());
  } catch (const EDemasiadoGrande& e) {
    Vista.FijaEstado(MensajeDemasiadoGrande(e.Nodos, Vista.SeparadorMillares()));
    return;
  }
  if (Vista.MuestraPasos() || Elegido) MarcaSiguiente(Elegido);
  const bool Cambio = Elegido ? ContraeEnPaso(Elegido) : PasadaBeta(Multiple);
  if (Cambio) {
    Libera(Anterior);
    Anterior = Copia.Suelta();
  }
  // A step is a command: even one that changed nothing starts the run's sequence of terms again.
  TerminoCambiado(TCambio::Orden);
  if (Motor.Fin == TFinPasada::DemasiadoGrande) {
    Vista.FijaEstado(MensajeDemasiadoGrande(Motor.NodosPedidos, Vista.SeparadorMillares()));
    // Only a refusal that left the term as it was is known to come again.
    if (!Cambio) {
      Rechazo = Intento;
      Rechazo->Version = Version;
      Rechazo->Pedidos = Motor.NodosPedidos;
    }
  }
  Muestra();
  RefrescaDiagrama();
  ActualizaBack();
  MuestraLectura();
}

bool TMesaTrabajo::HayRedex() {
  std::vector<TExprLambda*> Redex;
  Motor.Proximos(Actual, false, Redex, Ritmo.Pulso());
  return !Redex.empty();
}

void TMesaTrabajo::Atras() {
  if (Ejecutando) return;
  if (Vista.MuestraPasos()) return AtrasEnPasos();
  Vista.HabilitaBack(false);
  if (!Anterior) return;
  Traza.Deshaz();
  TExprLambda* Previo = Anterior;
  Anterior = nullptr;
  CambiaActual(Previo);
  Muestra();
  RefrescaDiagrama();
  MuestraLectura();
}

void TMesaTrabajo::Zoom1(TUpDownDirection Direction) {
  bool Arriba = Direction == updUp;
  if (DiagramaActivo()) {
    // No bound: the diagram copes with any zoom, however large or small. Only a step that would
    // overflow to infinity or underflow to zero is not taken, since no later step could undo it.
    double z = Arriba ? Zoom * 1.2 : Zoom / 1.2;
    if (std::isfinite(z) && z > 0) Zoom = z;
    RefrescaDiagrama();
  } else {
    // The count goes on past zero (the window shows such sizes as its smallest); it only
    // stops short of overflowing.
    int f = Vista.TamanoFuenteMemo();
    if (Arriba ? f <= INT_MAX - 2 : f >= INT_MIN + 2)
      Vista.FijaTamanoFuenteMemo(f + (Arriba ? 2 : -2));
  }
}

void TMesaTrabajo::CambiaPestana() {
  if (!Actual) return;
  // A save or an open may have renumbered free variables that Actual shares (the text numbers
  // it anew itself).
  if (DiagramaActivo()) {
    Renumera();
    RefrescaDiagrama();
  } else {
    Muestra();
  }
}

// Open: changed definitions are offered a save first. The file is read and loaded whole into a
// list of its own before anything changes, so an open that fails in any way (a file that cannot
// be read, a character that does not fit, a record that does not parse) keeps the definitions.
void TMesaTrabajo::Abre() {
  if (!GuardaSiCambiaron(Mensajes::GuardarAntesDeAbrir)) return;
  std::string Ruta;
  if (!Vista.DialogoAbrir(Ruta)) return;
  AbreRuta(Ruta);
}

void TMesaTrabajo::AbreRuta(const std::string& Ruta) {
  std::string Bytes = TextoDeFichero(LeeFichero(Ruta));
  TDefiniciones Nuevas;
  // Loading numbers the new terms, which share free variables with Actual.
  Numerado = false;
  CargaDefiniciones(Bytes, Nuevas, NumVars, Vista.SeparadorMillares());
  Definiciones.Intercambia(Nuevas);
  Modificadas = false;
  DefinicionesAbiertas();
  // Names that no expression can write load all the same; the second panel says so.
  if (std::string Aviso = AvisoNombres(Definiciones); !Aviso.empty()) MuestraLectura(Aviso);
  Vista.DefinicionesDeFichero(Ruta);
}

void TMesaTrabajo::DefinicionesAbiertas() {
  Lector.Recalcula(Definiciones);
  Vista.DefinicionesCambiadas();
  // The same term may now be equal to other names.
  if (Actual) MuestraLectura();
}

bool TMesaTrabajo::Salva() {
  std::string Ruta;
  if (!Vista.DialogoSalvar(Ruta)) return false;
  Numerado = false;
  EscribeFichero(Ruta,
                 TextoDefiniciones(Definiciones, NumVars, Vista.SeparadorMillares(),
                                   ModoImpresion.ConservaNombres),
                 false);
  Modificadas = false;
  Vista.DefinicionesDeFichero(Ruta);
  return true;
}

bool TMesaTrabajo::GuardaSiCambiaron(const char* Pregunta) {
  if (!Modificadas) return true;
  switch (Vista.PreguntaGuardar(Pregunta)) {
    case IVista::TRespuesta::Guardar:
      return Salva();  // a failed save throws, and what asked does not go on either
    case IVista::TRespuesta::Descartar:
      return true;
    case IVista::TRespuesta::Cancelar:
      break;
  }
  return false;
}

void TMesaTrabajo::Pinta(int Ancho, int Alto) {
  if (AjustaBitmap(Bitmap, Agg, Ancho < 0 ? 0 : Ancho, Alto < 0 ? 0 : Alto)) Redibuja();
}

// Exports. The diagram is laid out afresh, whole, at the zoom of the window.
void TMesaTrabajo::ExportaDiagrama() {
  if (!Actual) throw EConMensaje(Mensajes::NoHayActual);
  std::string Ruta;
  if (!Vista.DialogoExportarDiagrama(Ruta)) return;
  Renumera();
  ::ExportaDiagrama(Actual, Zoom, Ruta, LimiteDiagrama, Vista.SeparadorMillares());
}
