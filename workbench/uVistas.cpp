// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVistas.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "uExporta.h"
#include "uNombres.h"
#include "uOpciones.h"
#include "uParser.h"
#include "uTextos.h"
#include "vLambda.h"

namespace {

std::size_t MemoriaFisica() {
  long Paginas = sysconf(_SC_PHYS_PAGES), Tamano = sysconf(_SC_PAGESIZE);
  if (Paginas <= 0 || Tamano <= 0) return std::size_t(1) << (sizeof(std::size_t) > 4 ? 32 : 31);
  return static_cast<std::size_t>(Paginas) * static_cast<std::size_t>(Tamano);
}

constexpr double PasoZoom = 1.2;  // one press of the spinner's arrows

// What the layout keeps above the root, in units; what is left on the other sides, in pixels, and
// a unit more on each for the strokes and for where the centred root's edge rounds to.
constexpr double MargenUnidades = 10, MargenPixeles = 10;

}  // namespace

TVistas::TVistas(TMesaTrabajo& mesa, IVista& vista)
    : LimiteTexto(MemoriaFisica() / 16), Mesa(mesa), Vista(vista) {}

void TVistas::NuevaOrden() {
  Numerado = false;
  ModoImpresion.ConservaNombres = Vista.Opciones().Nombres;
  Pliegue.Quita();
}

void TVistas::Caduca() {
  Numerado = false;
  MemoAlDia = false;
}

void TVistas::Renumera() {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  if (!Actual) return;
  Numerado = false;
  PliegaActual();
  LongitudNumerada = Mesa.Sesion.Lector.Numera(Actual, Mesa.Sesion.NumVars, Mesa.Todo.Ritmo.Pulso(),
                                               ModoImpresion);
  Numerado = true;
}

void TVistas::PliegaActual() {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  if (!Actual || !Vista.Opciones().Pliegue) return Pliegue.Quita();
  // The definitions the entry named, by the place of each among Definiciones.
  const TDefiniciones& Definiciones = Mesa.Sesion.Definiciones;
  const std::vector<std::string>& Nombres = Mesa.Sesion.Escritura.Nombres;
  const std::size_t n = Definiciones.Cuenta();
  std::vector<int32_t> Escritas(Nombres.size(), -1);
  std::vector<bool> Nombrada(n, false);
  for (std::size_t k = 0; k < Escritas.size(); ++k)
    if ((Escritas[k] = Definiciones.Busca(Nombres[k])) >= 0)
      Nombrada[static_cast<std::size_t>(Escritas[k])] = true;
  // A name stands for its definition only when an entry would read it as that one: the first
  // whose name matches without regard to case. Among equal definitions the first one folds: the
  // names the entry wrote go first, then the others, each in the order of the list.
  std::vector<TPlegable> Plegables;
  std::vector<int32_t> Lugar(n, -1);
  for (bool Primero : {true, false})
    for (std::size_t i = 0; i < n; ++i) {
      const TDefinicion& d = Definiciones[i];
      if (Nombrada[i] == Primero && NombreLegible(d.Nombre) &&
          Definiciones.Busca(d.Nombre) == static_cast<int>(i)) {
        Lugar[i] = static_cast<int32_t>(Plegables.size());
        Plegables.push_back({d.Nombre, d.Termino});
      }
    }
  for (int32_t& e : Escritas)
    if (e >= 0) e = Lugar[static_cast<std::size_t>(e)];
  Pliegue.Pliega(Actual, Plegables, Escritas, Mesa.Todo.Ritmo.Pulso());
}

void TVistas::Muestra() {
  AvisoVista.clear();
  // The printer writes exactly the length measured here: it comes from this numbering.
  Renumera();
  const std::size_t Longitud = LongitudNumerada;
  TTraza& Traza = Mesa.Historial.Traza;
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
      MuestraResalte ? TextoResaltado(Longitud, Rangos)
                     : TextoConPulso(Mesa.Sesion.TerminoActual(), Longitud, Mesa.Todo.Ritmo.Pulso(),
                                     ModoImpresion));
  Mesa.Historial.AnotaEnTraza(Forma, Rangos);  // when this step has no form yet
  // A line gone back to: the view shares the panel's text rather than holding it twice.
  if (TTextoCompartido f = Traza.FormaActual(); f && f != Forma && *f == *Forma) Forma = f;
  Vista.FijaMemo(std::move(Forma));
  Vista.FijaResalte(Rangos);
  MemoAlDia = true;
}

// The ranges come from the walk that prints: they agree with the text by construction.
// An η-redex (an abstraction) is shown whole: its range, and empty ones for the two parts.
std::string TVistas::TextoResaltado(std::size_t Longitud, std::vector<TRango>& Rangos) {
  std::vector<TExprLambda*> Redex;
  Mesa.Sesion.Proximos(Redex);
  std::vector<TExprLambda*> Nodos;
  Nodos.reserve(3 * Redex.size());
  for (TExprLambda* r : Redex) {
    if (TAplicacion* a = ComoAplicacion(r))
      Nodos.insert(Nodos.end(), {a, a->Func, a->Arg});
    else
      Nodos.insert(Nodos.end(), {r, nullptr, nullptr});
  }
  return TextoConRangos(Mesa.Sesion.TerminoActual(), Longitud, Nodos, Rangos,
                        Mesa.Todo.Ritmo.Pulso(), ModoImpresion);
}

void TVistas::Redibuja() {
  TExprLambda* Actual = Mesa.Sesion.TerminoActual();
  // Nothing to draw into (a canvas of no size, or lambda-cli before `size`): no walk at all.
  if (!Actual || !Bitmap.Pixeles() || !Agg.attachedTo(Bitmap)) return;
  std::size_t Nodos = CuentaNodos(Actual, LimiteDiagrama, Mesa.Todo.Ritmo.Pulso());
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
  if (Vista.Opciones().Halo) {
    Mesa.Sesion.Proximos(Halo);
    Extras.Halo = &Halo;
  }
  RaizDibujada = Mesa.Eleccion.DibujaConEleccion(Extras);
}

void TVistas::RefrescaDiagrama() {
  Redibuja();
  Vista.RefrescaLienzo();
}

bool TVistas::DiagramaActivo() {
  return Vista.PestanaActiva() != TMesaTrabajo::PestanaTexto;
}

void TVistas::ActualizaVistaVisible() {
  AvisoVista.clear();
  // The diagram numbers the term itself, once it knows it will draw it.
  if (DiagramaActivo()) {
    RefrescaDiagrama();
  } else if (!MemoAlDia) {
    Muestra();
  }
}

void TVistas::Pinta(int Ancho, int Alto) {
  if (AjustaBitmap(Bitmap, Agg, Ancho < 0 ? 0 : Ancho, Alto < 0 ? 0 : Alto)) Redibuja();
}

void TVistas::Desplaza(double X, double Y) {
  // Far enough for any drag; no further, so that the drawing's sums stay exact.
  constexpr double Tope = 1e9;
  DesplX = std::isfinite(X) ? std::clamp(X, -Tope, Tope) : 0;
  DesplY = std::isfinite(Y) ? std::clamp(Y, -Tope, Tope) : 0;
  if (DiagramaActivo()) RefrescaDiagrama();
}

void TVistas::ZoomRueda(TUpDownDirection Direction, double X, double Y) {
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
}

void TVistas::AjustaZoom() {
  if (!Mesa.Sesion.TerminoActual() || !Bitmap.Pixeles() || !Agg.attachedTo(Bitmap)) return;
  // Drawing measures the root; a diagram too big to draw measures nothing and is left alone.
  RaizDibujada = {};
  Redibuja();
  if (RaizDibujada.Ancho <= 0 || RaizDibujada.Alto <= 0) return;
  const double Ancho = Bitmap.Width() / EscalaDispositivo;  // in the window's pixels, as Zoom
  const double Alto = Bitmap.Height() / EscalaDispositivo;
  const double Tope =
      std::min({(Ancho - 2 * MargenPixeles) / double(RaizDibujada.Ancho + 2),
                (Alto - MargenPixeles) / (double(RaizDibujada.Alto) + MargenUnidades + 1),
                ZoomAjusteMaximo});
  // A canvas narrower than the margins fits nothing.
  if (!(Tope > 0)) return;
  // The arrows' own steps, so that they lead back to the zooms they reach from here.
  double z = Zoom;
  while (z > Tope && z / PasoZoom > 0) z /= PasoZoom;
  while (z * PasoZoom <= Tope) z *= PasoZoom;
  Zoom = z;
  Desplaza(0, 0);
}

void TVistas::Zoom1(TUpDownDirection Direction) {
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

void TVistas::CambiaPestana() {
  if (!Mesa.Sesion.TerminoActual()) return;
  // A save or an open may have renumbered free variables that Actual shares (the text numbers
  // it anew itself).
  if (DiagramaActivo()) {
    Renumera();
    RefrescaDiagrama();
  } else {
    Muestra();
  }
}

void TVistas::CambiaEscala(double e) {
  if (e == EscalaDispositivo) return;
  EscalaDispositivo = e;
  Redibuja();
}

// Exports. The diagram is laid out afresh, whole, at the zoom of the window.
void TVistas::ExportaDiagrama() {
  if (!Mesa.Sesion.TerminoActual()) throw EConMensaje(Mensajes::NoHayActual);
  std::string Ruta;
  if (!Vista.Dialogo(IVista::TDialogo::ExportarDiagrama, Ruta)) return;
  Renumera();
  ::ExportaDiagrama(Mesa.Sesion.TerminoActual(), Zoom, Ruta, LimiteDiagrama,
                    Vista.SeparadorMillares());
}

void TVistas::MuestraOpciones() {
  if (!Mesa.Sesion.TerminoActual()) return;
  // Run-all shows the panel with its next update.
  if (!Mesa.Todo.Ejecutando && (FormaEnPanel || Mesa.Sesion.FormaAlcanzada())) MuestraLectura();
  if (DiagramaActivo()) return RefrescaDiagrama();
  // The same text again, only its background changes; a text behind the term (run-all between
  // two updates) gets it with its next update.
  if (!MemoAlDia || !MuestraResalte) return;
  Renumera();
  if (LongitudNumerada > LimiteTexto) return;
  std::vector<TRango> Rangos;
  TextoResaltado(LongitudNumerada, Rangos);
  Vista.FijaResalte(Rangos);
}

void TVistas::MuestraNombres() {
  // The redexes' ranges are byte ranges of the text, which changes.
  Mesa.Eleccion.OlvidaRangos();
  MemoAlDia = false;
  // Run-all shows it with its next update. The text is made on either tab, as an entry makes
  // it: the diagram shows no names.
  if (!Mesa.Sesion.TerminoActual() || Mesa.Todo.Ejecutando) return;
  Muestra();
}

void TVistas::Avisa(std::string Aviso) {
  AvisoVista = std::move(Aviso);
  // Run-all shows it beside its count.
  if (!Mesa.Todo.Ejecutando) Vista.FijaEstado(AvisoVista);
}

void TVistas::MuestraCuenta(const std::string& Anexo) {
  std::string Texto = TextoReducciones(NumReducciones, Vista.SeparadorMillares()) + Anexo;
  if (!AvisoVista.empty()) Texto += "; " + AvisoVista;
  Vista.FijaEstado(Texto);
}

void TVistas::MuestraLectura(const std::string& Aviso) {
  TSesion& Sesion = Mesa.Sesion;
  // The notices first, the form reached before all: a long reading is cut at the panel's end.
  std::string Texto =
      Sesion.Lector.Texto(Sesion.TerminoActual(), Sesion.Definiciones, Vista.SeparadorMillares());
  const char* Forma = Sesion.FormaAlcanzada();
  FormaEnPanel = Forma != nullptr;
  std::string Nota = Aviso;
  if (Forma) Nota = Forma + (Nota.empty() ? "" : Mensajes::SeparadorLectura + Nota);
  if (!Nota.empty()) Texto = Nota + (Texto.empty() ? "" : Mensajes::SeparadorLectura) + Texto;
  if (Vista.Opciones().Pasos && Mesa.Historial.Traza.Activa())
    Texto = Mesa.Historial.NotaPaso() + (Texto.empty() ? "" : Mensajes::SeparadorLectura) + Texto;
  Vista.FijaLectura(Texto);
  Vista.PasosCambiados();
}
