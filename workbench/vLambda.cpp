#include "vLambda.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <new>
#include <utility>

#include "uFichero.h"
#include "uLambda.h"
#include "uParser.h"

std::string TextoReducciones(int64_t Cuenta, const std::string& Separador) {
  std::string Digitos = std::to_string(Cuenta < 0 ? 0 : Cuenta);
  std::string Grupos;
  for (std::size_t i = 0; i < Digitos.size(); ++i) {
    if (i > 0 && (Digitos.size() - i) % 3 == 0) Grupos += Separador;
    Grupos += Digitos[i];
  }
  return " " + Grupos + " reducciones";
}

std::string ConPuntoFinal(const std::string& Mensaje) {
  if (!Mensaje.empty() && static_cast<unsigned char>(Mensaje.back()) > '.') return Mensaje + ".";
  return Mensaje;
}

std::string MensajeExcepcion(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Out of memory";
  return e.what();
}

TMesaTrabajo::TMesaTrabajo(IVista& vista) : Vista(vista) {}

TMesaTrabajo::~TMesaTrabajo() {
  Motor.Olvida();
  Libera(Actual);
  Libera(Anterior);
}

template <typename F>
void TMesaTrabajo::Protegido(F&& Orden) {
  if (Cerrada) return;
  try {
    Orden();
  } catch (const std::exception& e) {
    // The window may be closing while the error happened inside run-all's event processing.
    if (!Cerrada) Vista.MuestraError(MensajeExcepcion(e));
  }
}

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
    Bitmap.SetSize(0, 0);
    NumVars = 0;
    Vista.HabilitaBack(false);
  });
}

void TMesaTrabajo::edtEntKeyPress(char Key) {
  if (Key != '\r') return;
  Protegido([&] { Introduce(); });
}
void TMesaTrabajo::btnBetaClick() {
  Protegido([&] { Paso(); });
}
void TMesaTrabajo::btnBackClick() {
  Protegido([&] { Atras(); });
}
void TMesaTrabajo::btnBetaAllClick() {
  Protegido([&] { EjecutaTodo(); });
}
bool TMesaTrabajo::UpDown1ChangingEx(TUpDownDirection Direction) {
  Protegido([&] { Zoom1(Direction); });
  return true;
}
void TMesaTrabajo::PageControl1Change() {
  Protegido([&] { CambiaPestana(); });
}
void TMesaTrabajo::Abrir1Click() {
  Protegido([&] { Abre(); });
}
void TMesaTrabajo::Salvar1Click() {
  Protegido([&] { Salva(); });
}
void TMesaTrabajo::LienzoPaint(int Ancho, int Alto) {
  Protegido([&] { Pinta(Ancho, Alto); });
}

void TMesaTrabajo::FormClose() {
  Cerrada = true;
  PararPedido = true;
}

void TMesaTrabajo::FijaIntervalo(double Segundos) {
  if (!(Segundos > 0)) Segundos = 0;  // also NaN
  if (Segundos > 3600) Segundos = 3600;
  IntervaloPaso = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(Segundos));
}

double TMesaTrabajo::Intervalo() const {
  return std::chrono::duration<double>(IntervaloPaso).count();
}

std::string TMesaTrabajo::LineaDefinicion(std::size_t i) {
  TExprLambda* t = Definiciones[i].Termino;
  ::Renumera(t, NumVars);
  return t->Texto();
}

void TMesaTrabajo::Renumera() {
  if (Actual) ::Renumera(Actual, NumVars);
}

void TMesaTrabajo::Muestra() {
  Vista.FijaMemo(Actual->Texto());
}

void TMesaTrabajo::Redibuja() {
  if (!Actual) return;
  // Definitions share free variables with Actual, so their numbering may have moved since.
  Renumera();
  ::Redibuja(Actual, Bitmap, Agg, Zoom, NumVars);
}

void TMesaTrabajo::RefrescaDiagrama() {
  Redibuja();
  Vista.RefrescaLienzo();
}

bool TMesaTrabajo::DiagramaActivo() {
  return Vista.PestanaActiva() != PestanaTexto;
}

void TMesaTrabajo::ActualizaVistaVisible() {
  Renumera();
  if (DiagramaActivo())
    RefrescaDiagrama();
  else
    Muestra();
}

void TMesaTrabajo::MuestraCuenta(const std::string& Anexo) {
  Vista.FijaEstado(TextoReducciones(NumReducciones, Vista.SeparadorMillares()) + Anexo);
}

void TMesaTrabajo::CambiaActual(TExprLambda* Nuevo) {
  // The engine remembers a path into the old term; it must not outlive it.
  Motor.Olvida();
  Libera(Actual);
  Actual = Nuevo;
}

// Enter: parse, make the result current, and define it under the name box's text.
void TMesaTrabajo::Introduce() {
  std::string Error;
  TRetenido Nuevo(Analiza(Vista.TextoEnt(), Definiciones, Actual, Error));
  std::string Nombre;
  TRetenido CopiaDef;
  if (Error.empty()) {
    Nombre = Vista.TextoDef();
    // The definition's copy is made before anything changes, so that a copy past the node
    // limit fails the entry as a whole.
    if (!Nombre.empty()) {
      try {
        CopiaDef.Toma(Nuevo.Get()->Copia());
      } catch (const EDemasiadoGrande& e) {
        Error = MensajeDemasiadoGrande(e.Nodos);
      }
    }
  }
  if (!Error.empty()) {
    Vista.FijaEstado(Error);
    CambiaActual(nullptr);
  } else {
    CambiaActual(Nuevo.Suelta());
  }
  Libera(Anterior);
  Anterior = nullptr;
  Vista.HabilitaBack(false);
  if (!Actual) return;

  Vista.FijaEstado("");
  Renumera();
  Muestra();
  if (!Nombre.empty()) {
    int i = Definiciones.Busca(Nombre);
    if (i >= 0) {
      Definiciones.Reemplaza(i, CopiaDef.Suelta());
    } else {
      // Agrega releases the term itself when it fails; nothing may throw once it is handed over.
      std::string n = Nombre;
      Definiciones.Agrega(std::move(n), CopiaDef.Suelta());
    }
  }
  Vista.VaciaDef();
  RefrescaDiagrama();
}

// Step: one pass, keeping the term before it for back.
void TMesaTrabajo::Paso() {
  if (!Actual) return;
  TExprLambda* Copia;
  try {
    Copia = Actual->Copia();
  } catch (const EDemasiadoGrande& e) {
    Vista.FijaEstado(MensajeDemasiadoGrande(e.Nodos));
    return;
  }
  Libera(Anterior);
  Anterior = Copia;
  bool Cambio = false;
  Actual = Motor.Reduce(Actual, Cambio, Vista.BetaMultiple());
  if (Motor.Fin == TFinPasada::DemasiadoGrande)
    Vista.FijaEstado(MensajeDemasiadoGrande(Motor.NodosPedidos));
  Renumera();
  Muestra();
  RefrescaDiagrama();
  Vista.HabilitaBack(true);
}

void TMesaTrabajo::Atras() {
  Vista.HabilitaBack(false);
  if (!Anterior) return;
  TExprLambda* Previo = Anterior;
  Anterior = nullptr;
  CambiaActual(Previo);
  Renumera();
  Muestra();
  RefrescaDiagrama();
}

// Run-all. While it runs, every press of the button only asks it to stop: a second press that
// arrives in the same round of events (a double click) must not start a nested loop.
void TMesaTrabajo::EjecutaTodo() {
  if (Ejecutando) {
    PararPedido = true;
    return;
  }
  if (!Actual) return;
  Libera(Anterior);
  Anterior = nullptr;

  struct TFinBucle {
    TMesaTrabajo& Mesa;
    ~TFinBucle() {
      Mesa.Ejecutando = false;
      Mesa.PararPedido = false;
    }
  } FinBucle{*this};
  Ejecutando = true;
  PararPedido = false;
  Vista.HabilitaBack(false);
  NumReducciones = 0;

  using Reloj = std::chrono::steady_clock;
  Reloj::time_point UltimaVista = Reloj::now();
  bool Cambio;
  bool Excedido;
  do {
    Cambio = false;
    Actual = Motor.Reduce(Actual, Cambio, Vista.BetaMultiple());
    Excedido = Motor.Fin == TFinPasada::DemasiadoGrande;
    // Drawing or printing every pass would cost the size of the term each time; the views are
    // brought up to date at the interval, and always after the last pass.
    bool Ultima = !Cambio || Excedido;
    if (Ultima || IntervaloPaso.count() == 0 || Reloj::now() - UltimaVista >= IntervaloPaso) {
      ActualizaVistaVisible();
      MuestraCuenta(Excedido ? "; " + MensajeDemasiadoGrande(Motor.NodosPedidos) : std::string());
      Vista.ProcesaEventos();
      if (Cerrada) return;
      UltimaVista = Reloj::now();
    }
  } while (Cambio && !Excedido && !PararPedido && Actual);
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
  // A save or an open may have renumbered free variables that Actual shares.
  Renumera();
  if (DiagramaActivo())
    RefrescaDiagrama();
  else
    Muestra();
}

// Open: the file is read whole before anything changes, so a file that cannot be read keeps
// the definitions; a record that does not parse keeps those read before it.
void TMesaTrabajo::Abre() {
  std::string Ruta;
  if (!Vista.DialogoAbrir(Ruta)) return;
  std::string Bytes = LeeFichero(Ruta);
  TDefiniciones Nuevas;
  try {
    CargaDefiniciones(Bytes, Nuevas, NumVars);
  } catch (const ERegistroErroneo&) {
    Definiciones.Intercambia(Nuevas);
    throw;
  }
  Definiciones.Intercambia(Nuevas);
}

void TMesaTrabajo::Salva() {
  std::string Ruta;
  if (!Vista.DialogoSalvar(Ruta)) return;
  EscribeFichero(Ruta, TextoDefiniciones(Definiciones, NumVars));
}

void TMesaTrabajo::Pinta(int Ancho, int Alto) {
  if (AjustaBitmap(Bitmap, Agg, Ancho < 0 ? 0 : Ancho, Alto < 0 ? 0 : Alto)) Redibuja();
}
