// SPDX-License-Identifier: GPL-3.0-or-later
#include "uSesion.h"

#include <utility>

#include "uFichero.h"
#include "uLambda.h"
#include "uNombres.h"
#include "uOpciones.h"
#include "uParser.h"
#include "uTextos.h"
#include "vLambda.h"

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

TSesion::TSesion(TMesaTrabajo& mesa, IVista& vista) : Mesa(mesa), Vista(vista) {}

TSesion::~TSesion() {
  Motor.Olvida();
  Libera(Actual);
  Libera(Anterior);
}

void TSesion::Vacia() {
  Definiciones.Vacia();
  Motor.Olvida();
  Libera(Actual);
  Actual = nullptr;
  Libera(Anterior);
  Anterior = nullptr;
}

void TSesion::Empieza() {
  NumVars = 0;
  Vista.Habilita(IVista::TBoton::Back, false);
  Lector.Invalida();
  Lector.Recalcula(Definiciones);
  Vista.FijaLectura({});
  Vista.DefinicionesCambiadas();
}

std::string TSesion::LineaDefinicion(std::size_t i) {
  Mesa.Vistas.Numerado = false;
  return LineaGuardada(Definiciones, i, NumVars, Vista.SeparadorMillares(),
                       Vista.Opciones().Nombres);
}

void TSesion::CambiaActual(TExprLambda* Nuevo) {
  // The engine remembers a path into the old term; it must not outlive it.
  Motor.Olvida();
  Libera(Actual);
  SueltaCajas();  // the boxes it was drawn with go back to the allocator, as its nodes do
  Actual = Nuevo;
  ++Reemplazos_;
  TerminoCambiado(TCambio::Orden);
}

void TSesion::TerminoCambiado(TCambio Causa) {
  ++Version;
  Mesa.Vistas.Caduca();
  Mesa.Eleccion.Caduca();
  if (Causa == TCambio::Orden) Lector.Invalida();
}

bool TSesion::TomaModo() {
  const TAjustes o = Vista.Opciones();
  TModo m = o.Modo;
  m.Eta = m.Eta && AdmiteEta(m.Estrategia);
  Motor.FijaModo(m);
  return m.Clasico() && o.Multiple;
}

void TSesion::Proximos(std::vector<TExprLambda*>& Redex) {
  const bool Multiple = TomaModo();
  Motor.Proximos(Actual, Multiple, Redex, Mesa.Todo.Ritmo.Pulso());
}

// The engine resumes its walk: asked after every step, this costs what finding the next redex
// costs, which the next step would pay anyway.
const char* TSesion::FormaAlcanzada() {
  if (!Actual) return nullptr;
  TomaModo();
  return HayRedex() ? nullptr : NombreForma(FormaDe(Motor.Modo().Estrategia));
}

bool TSesion::PasadaBeta(bool Multiple) {
  bool Cambio = false;
  const int64_t Antes = NumReducciones;
  Actual = Motor.Reduce(Actual, Cambio, Multiple);
  Mesa.Historial.Traza.Pasada(Multiple, NumReducciones - Antes, Cambio, Motor.Modo());
  return Cambio;
}

bool TSesion::ContraeEnPaso(TAplicacion* Elegido) {
  bool Cambio = false;
  const int64_t Antes = NumReducciones;
  TomaModo();
  Actual = Motor.ContraeElegido(Actual, Elegido, Cambio);
  Mesa.Historial.Traza.Pasada(false, NumReducciones - Antes, Cambio, Motor.Modo(), true);
  return Cambio;
}

// Enter: parse, make the result current, and define it under the name box's text.
void TSesion::Introduce(const std::string& Texto, const std::string& Nombre) {
  // A name that could not be saved is refused before anything changes.
  FaltaEntrada.reset();
  if (int c = CaracterDeControl(Nombre); c >= 0) {
    Vista.FijaEstado(Mensajes::ControlEnNombre(c));
    return;
  }
  if (!Nombre.empty() && Nombre[0] == '#') return Vista.FijaEstado(Mensajes::AlmohadillaEnNombre);
  // An entry ends a run-all under way: the run's count and views belong to the old term; and a
  // reduction exercise under way, unless it is the exercise's own term.
  if (Mesa.Todo.Ejecutando) Mesa.Todo.PararPedido = true;
  Mesa.Practica.Abandona();
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
  TTraza& Traza = Mesa.Historial.Traza;
  if (!Error.empty()) {
    Vista.FijaEstado(Error);
    CambiaActual(nullptr);
    Traza.Vacia();
  } else {
    CambiaActual(Nuevo.Suelta());
    Traza.Empieza(Texto);
  }
  Vista.Habilita(IVista::TBoton::Back, false);
  TVistas& Vistas = Mesa.Vistas;
  if (!Actual) return Vistas.MuestraLectura();

  Vista.FijaEstado("");
  Vistas.Muestra();
  if (!Nombre.empty()) Define(Nombre, CopiaDef, Texto);
  Vista.VaciaDef();
  Vistas.RefrescaDiagrama();
  Vistas.MuestraLectura(Nombre.empty() || NombreLegible(Nombre) ? std::string()
                                                                : Mensajes::NombreIlegible(Nombre));
}

std::string TSesion::CopiaDefinicion(TExprLambda* t, TRetenido& Copia) {
  try {
    Copia.Toma(t->Copia());
  } catch (const EDemasiadoGrande& e) {
    return MensajeDemasiadoGrande(e.Nodos, Vista.SeparadorMillares());
  }
  return {};
}

void TSesion::Define(const std::string& Nombre, TRetenido& Copia, const std::string& Texto) {
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

void TSesion::Paso(TAplicacion* Elegido) {
  // β has no place inside run-all: the run owns the term and its count until it ends.
  if (!Actual || Mesa.Todo.Ejecutando) return;
  const bool Multiple = TomaModo();
  // A step refused at the node limit cost its whole attempt: as long as the term, the way it is
  // taken, the memory in use and the limit are the same, it is refused again at once.
  const TRechazo Intento{Version, Motor.Modo(), Multiple, Elegido, NodosVivos(), LimiteNodos(), 0};
  if (Rechazo && Rechazo->Repite(Intento))
    return Vista.FijaEstado(MensajeDemasiadoGrande(Rechazo->Pedidos, Vista.SeparadorMillares()));
  // In a reduction exercise the student chooses each redex: a β ends it, and a redex its
  // strategy would not contract now is refused.
  if (!Elegido) Mesa.Practica.Abandona();
  // A step that contracts nothing changes nothing, back included.
  if (!Elegido && !HayRedex()) return;
  if (Elegido && !Mesa.Practica.Admite(Elegido)) return;
  THistorial& Historial = Mesa.Historial;
  Historial.CompletaTraza();
  TRetenido Copia;
  try {
    Copia.Toma(Actual->Copia());
  } catch (const EDemasiadoGrande& e) {
    Vista.FijaEstado(MensajeDemasiadoGrande(e.Nodos, Vista.SeparadorMillares()));
    return;
  }
  if (Vista.Opciones().Pasos || Elegido) Historial.MarcaSiguiente(Elegido);
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
  Mesa.Vistas.Muestra();
  Mesa.Vistas.RefrescaDiagrama();
  Historial.ActualizaBack();
  Mesa.Vistas.MuestraLectura();
  if (Elegido) Mesa.Practica.TrasPaso();
}

bool TSesion::HayRedex() {
  std::vector<TExprLambda*> Redex;
  Motor.Proximos(Actual, false, Redex, Mesa.Todo.Ritmo.Pulso());
  return !Redex.empty();
}

void TSesion::Atras() {
  if (Mesa.Todo.Ejecutando) return;
  Mesa.Practica.Abandona();
  if (Vista.Opciones().Pasos) return Mesa.Historial.AtrasEnPasos();
  Vista.Habilita(IVista::TBoton::Back, false);
  if (!Anterior) return;
  Mesa.Historial.Traza.Deshaz();
  TExprLambda* Previo = Anterior;
  Anterior = nullptr;
  CambiaActual(Previo);
  Mesa.Vistas.Muestra();
  Mesa.Vistas.RefrescaDiagrama();
  Mesa.Vistas.MuestraLectura();
}

// Open: changed definitions are offered a save first. The file is read and loaded whole into a
// list of its own before anything changes, so an open that fails in any way (a file that cannot
// be read, a character that does not fit, a record that does not parse) keeps the definitions.
void TSesion::Abre() {
  if (!GuardaSiCambiaron(Mensajes::GuardarAntesDeAbrir)) return;
  std::string Ruta;
  if (!Vista.Dialogo(IVista::TDialogo::Abrir, Ruta)) return;
  AbreRuta(Ruta);
}

void TSesion::AbreRuta(const std::string& Ruta) {
  AbreBytes(Ruta, LeeFichero(Ruta));
}

void TSesion::AbreLeccion(const std::string& Nombre, std::string Contenido) {
  if (!GuardaSiCambiaron(Mensajes::GuardarAntesDeAbrir)) return;
  AbreBytes(Nombre, std::move(Contenido));
}

void TSesion::AbreBytes(const std::string& Ruta, std::string Contenido) {
  std::string Bytes = TextoDeFichero(std::move(Contenido));
  TDefiniciones Nuevas;
  // Loading numbers the new terms, which share free variables with Actual.
  Mesa.Vistas.Numerado = false;
  CargaDefiniciones(Bytes, Nuevas, NumVars, Vista.SeparadorMillares());
  Definiciones.Intercambia(Nuevas);
  Modificadas = false;
  DefinicionesAbiertas();
  // Names that no expression can write load all the same; the second panel says so.
  if (std::string Aviso = AvisoNombres(Definiciones); !Aviso.empty())
    Mesa.Vistas.MuestraLectura(Aviso);
  Vista.DefinicionesDeFichero(Ruta);
  Mesa.Practica.Abierta(Ruta);
}

void TSesion::DefinicionesAbiertas() {
  Lector.Recalcula(Definiciones);
  Vista.DefinicionesCambiadas();
  // The same term may now be equal to other names.
  if (Actual) Mesa.Vistas.MuestraLectura();
}

bool TSesion::Salva() {
  std::string Ruta;
  if (!Vista.Dialogo(IVista::TDialogo::Salvar, Ruta)) return false;
  Mesa.Vistas.Numerado = false;
  EscribeFichero(Ruta,
                 TextoDefiniciones(Definiciones, NumVars, Vista.SeparadorMillares(),
                                   Mesa.Vistas.ModoImpresion.ConservaNombres),
                 false);
  Modificadas = false;
  Vista.DefinicionesDeFichero(Ruta);
  return true;
}

bool TSesion::GuardaSiCambiaron(const char* Pregunta) {
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
