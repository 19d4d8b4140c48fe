// SPDX-License-Identifier: GPL-3.0-or-later
#include "vLambda.h"

#include <cmath>
#include <exception>
#include <functional>
#include <utility>

#include "uTextos.h"

TMesaTrabajo::TMesaTrabajo(IVista& vista)
    : Vista(vista),
      Sesion(*this, vista),
      Vistas(*this, vista),
      Eleccion(*this),
      Historial(*this, vista),
      Todo(*this, vista),
      Practica(*this, vista) {}

TMesaTrabajo::~TMesaTrabajo() = default;

template <typename F>
void TMesaTrabajo::Protegido(F&& Orden) {
  if (Cerrada) return;
  if (Todo.Ritmo.Atendiendo()) return Todo.Ritmo.Encola(std::forward<F>(Orden));
  Vistas.NuevaOrden();
  try {
    Orden();
  } catch (const std::exception& e) {
    // The window may be closing while the error happened inside run-all's event processing.
    if (!Cerrada) Vista.MuestraError(MensajeExcepcion(e, Vista.SeparadorMillares()));
  }
}

void TMesaTrabajo::EjecutaPendientes() {
  // Once one of them has closed the window, Protegido refuses the rest.
  for (std::function<void()>& Orden : Todo.Ritmo.TomaPendientes()) Protegido(Orden);
}

void TMesaTrabajo::FormCreate() {
  Protegido([&] {
    Todo.Reinicia();
    Vistas.Zoom = 1.0;
    Sesion.Vacia();
    Historial.Traza.Vacia();
    Vistas.Bitmap.SetSize(0, 0);
    Sesion.Empieza();
  });
}

void TMesaTrabajo::edtEntKeyPress(char Key) {
  if (Key != '\r') return;
  // The boxes as they are now: an Enter that waits for a view update must not enter what the
  // user typed after it.
  Protegido([this, Ent = Vista.Entrada()] { Sesion.Introduce(Ent.Texto, Ent.Nombre); });
}
void TMesaTrabajo::btnBetaClick() {
  Protegido([this] { Sesion.Paso(); });
}
void TMesaTrabajo::btnBackClick() {
  Protegido([this] { Sesion.Atras(); });
}
void TMesaTrabajo::btnBetaAllClick() {
  // Never waits: a press during run-all is its stop.
  if (Todo.Ejecutando && !Cerrada) {
    Todo.PararPedido = true;
    return;
  }
  Protegido([this] { Todo.EjecutaTodo(); });
}
void TMesaTrabajo::ReanudaTodo() {
  Protegido([this] { Todo.ReanudaTodo(); });
}
bool TMesaTrabajo::UpDown1ChangingEx(TUpDownDirection Direction) {
  Protegido([this, Direction] { Vistas.Zoom1(Direction); });
  return true;
}
void TMesaTrabajo::PageControl1Change() {
  Protegido([this] { Vistas.CambiaPestana(); });
}
void TMesaTrabajo::Abrir1Click() {
  Protegido([this] { Sesion.Abre(); });
}
void TMesaTrabajo::Salvar1Click() {
  Protegido([this] { Sesion.Salva(); });
}
void TMesaTrabajo::AbreAlEmpezar(const std::string& Ruta) {
  Protegido([this, Ruta] { Sesion.AbreRuta(Ruta); });
}
void TMesaTrabajo::AbreLeccion(const std::string& Nombre, const std::string& Bytes) {
  Protegido([this, Nombre, Bytes] { Sesion.AbreLeccion(Nombre, Bytes); });
}

void TMesaTrabajo::FormClose() {
  Cerrada = true;
  Todo.PararPedido = true;
}

bool TMesaTrabajo::FormCloseQuery() {
  if (Cerrada || !Sesion.SinGuardar()) return true;
  if (Todo.Ritmo.Atendiendo()) {
    // A save would renumber what the paused walk is reading: the question comes after it.
    if (!CierreEnEspera) {
      CierreEnEspera = true;
      Todo.Ritmo.Encola([this] {
        CierreEnEspera = false;
        Vista.Cierra();
      });
    }
    return false;
  }
  CierreEnEspera = false;
  bool Sigue = false;
  Protegido([&] { Sigue = Sesion.GuardaSiCambiaron(Mensajes::GuardarAntesDeCerrar); });
  return Sigue;
}

void TMesaTrabajo::ExportarDiagrama1Click() {
  Protegido([this] { Vistas.ExportaDiagrama(); });
}
void TMesaTrabajo::ExportarReduccion1Click() {
  Protegido([this] { Historial.ExportaReduccion(); });
}

// The canvas and the diagram.
void TMesaTrabajo::LienzoPaint(int Ancho, int Alto) {
  // While an update is under way the canvas shows the bitmap it has; a new size waits.
  Protegido([this, Ancho, Alto] { Vistas.Pinta(Ancho, Alto); });
}
void TMesaTrabajo::FijaEscala(double e) {
  if (!std::isfinite(e) || e < 1) e = 1;
  if (e == Vistas.Escala()) return;
  // Redrawing walks the term, which a paused view update is still walking: it waits its turn
  // like any other command.
  Protegido([this, e] { Vistas.CambiaEscala(e); });
}
void TMesaTrabajo::LienzoArrastra(double Dx, double Dy) {
  Protegido([this, Dx, Dy] { Vistas.Desplaza(Vistas.DesplX + Dx, Vistas.DesplY + Dy); });
}
void TMesaTrabajo::LienzoMouseWheel(TUpDownDirection Direction, double X, double Y) {
  Protegido([this, Direction, X, Y] { Vistas.ZoomRueda(Direction, X, Y); });
}
void TMesaTrabajo::LienzoDblClick() {
  Protegido([this] { Vistas.Desplaza(0, 0); });
}
void TMesaTrabajo::AjustarDiagrama1Click() {
  Protegido([this] { Vistas.AjustaZoom(); });
}

// The options.
void TMesaTrabajo::OpcionesClick() {
  Protegido([this] { Vistas.MuestraOpciones(); });
}
void TMesaTrabajo::NombresClick() {
  Protegido([this] { Vistas.MuestraNombres(); });
}
void TMesaTrabajo::MostrarPasos1Click() {
  Protegido([this] { Historial.MuestraPanel(); });
}
void TMesaTrabajo::IrALinea(std::size_t i) {
  Protegido([this, i] { Historial.IrA(i); });
}
void TMesaTrabajo::Ejercicio(TAccionEjercicio Accion, std::size_t i, const std::string& Respuesta) {
  Protegido([this, Accion, i, Respuesta] { Practica.Accion(Accion, i, Respuesta); });
}

// The redex the user chose.
void TMesaTrabajo::ContraeRedex(std::size_t i) {
  Protegido([this, i] { Eleccion.Contrae(i); });
}
bool TMesaTrabajo::LienzoApunta(double X, double Y) {
  if (Todo.Ejecutando || Cerrada || Todo.Ritmo.Atendiendo()) return false;
  bool Hay = false;
  Protegido([&] { Eleccion.Apunta(X, Y, Hay); });
  return Hay;
}
void TMesaTrabajo::LienzoPulsa(double X, double Y) {
  Protegido([this, X, Y] { Eleccion.Pulsa(X, Y); });
}
void TMesaTrabajo::SeleccionaRedex(bool Siguiente) {
  Protegido([this, Siguiente] { Eleccion.Selecciona(Siguiente); });
}
void TMesaTrabajo::ContraeSeleccionado() {
  Protegido([this] {
    if (Eleccion.RedexSeleccionado() < 0) return SeleccionaRedex(true);
    Eleccion.ContraeSeleccionado();
  });
}
