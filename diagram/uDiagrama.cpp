// SPDX-License-Identifier: GPL-3.0-or-later
#include "uDiagrama.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Sizes in diagram units.
constexpr int64_t LadoVariable = 10;        // a variable's box, both ways
constexpr int64_t AnchoMinimoFuncion = 10;  // an abstraction is at least this wide
constexpr int64_t AltoTallo = 32;           // an abstraction's height over its body; its stem
constexpr int64_t CaidaCuerpo = 22;         // from the binder's foot to the body's top
constexpr int64_t Separacion = 5;           // between the two parts of an application
constexpr int64_t CaidaAplicacion = 22;     // from an application to its parts' tops
constexpr int64_t Margen = 10;              // top of the root; least left margin, in pixels
constexpr double GrosorTrazo = 1.5;
constexpr double RadioVariable = 5;
constexpr double RadioUnion = 3;
constexpr double MedioCuadro = 5;  // half the side of a binder square
constexpr double PieCuerpo = 43;   // lower edge of a body's dot, which hangs just below the stem
constexpr double BandaHalo = 4;    // width of a halo's band around a part of a redex
constexpr double RadioHalo = 8;    // of a halo's glow on a redex's junction

// The handlers of the two layout walks, over one array of boxes.
class TDisposicion {
 public:
  TDisposicion(std::vector<TCaja>& cajas, int32_t& numVars) : Cajas(cajas), NumVars(numVars) {}

  // Post-order: a node's children are measured before it, so their boxes exist.
  void MideNodo(TExprLambda* Nodo) {
    if (TVariable* v = ComoVariable(Nodo)) {
      NumVars = std::max(NumVars, v->Indice);
    } else if (TFuncion* f = ComoFuncion(Nodo)) {
      f->Caja = Nueva();
      Cajas.back() = {0, 0, std::max(AnchoMinimoFuncion, Ancho(f->Cuerpo)),
                      Alto(f->Cuerpo) + AltoTallo};
    } else {
      TAplicacion* a = static_cast<TAplicacion*>(Nodo);
      a->Caja = Nueva();
      Cajas.back() = {0, 0, Ancho(a->Func) + Ancho(a->Arg) + Separacion,
                      std::max(Alto(a->Func), Alto(a->Arg)) + CaidaAplicacion};
    }
  }

  // Pre-order: a node is placed by its parent before it places its own children.
  void SituaNodo(TExprLambda* Nodo) {
    if (TFuncion* f = ComoFuncion(Nodo)) {
      const TCaja& Caja = Cajas[f->Caja];
      Situa(f->Cuerpo, Caja.X, Caja.Y + LadoVariable + CaidaCuerpo);
    } else if (TAplicacion* a = ComoAplicacion(Nodo)) {
      const TCaja& Caja = Cajas[a->Caja];
      Situa(a->Func, Caja.X, Caja.Y + CaidaAplicacion);
      Situa(a->Arg, Caja.X + Ancho(a->Func) + Separacion, Caja.Y + CaidaAplicacion);
    }
  }

 private:
  uint32_t Nueva() {
    Cajas.emplace_back();
    return uint32_t(Cajas.size() - 1);
  }
  static uint32_t NumCaja(TExprLambda* n) {
    return EsFuncion(n) ? static_cast<TFuncion*>(n)->Caja : static_cast<TAplicacion*>(n)->Caja;
  }
  int64_t Ancho(TExprLambda* n) const {
    return EsVariable(n) ? LadoVariable : Cajas[NumCaja(n)].Ancho;
  }
  int64_t Alto(TExprLambda* n) const {
    return EsVariable(n) ? LadoVariable : Cajas[NumCaja(n)].Alto;
  }
  // A variable has no box of its own: its mark is placed from its parent's.
  void Situa(TExprLambda* n, int64_t x, int64_t y) {
    if (EsVariable(n)) return;
    TCaja& Caja = Cajas[NumCaja(n)];
    Caja.X = x;
    Caja.Y = y;
  }

  std::vector<TCaja>& Cajas;
  int32_t& NumVars;
};

// The shades of a halo: the junction's glow, the function part's band, the argument's band.
struct TPaletaHalo {
  TColorHalo Redex, Funcion, Argumento;
};
constexpr TPaletaHalo PaletaSiguiente{HaloRedex, HaloFuncion, HaloArgumento};
constexpr TPaletaHalo PaletaElegido{ElegidoRedex, ElegidoFuncion, ElegidoArgumento};

// The handlers of the drawing walk, on TAgg2D or on another drawing object (ILapiz).
template <typename TLapiz>
class TDibujo {
 public:
  TDibujo(const std::vector<TCaja>& cajas, TLapiz& agg, double zoom, int32_t numVars,
          double anchoBitmap, double altoBitmap, double desplX = 0, double desplY = 0)
      : Cajas(cajas),
        Agg(agg),
        Zoom(zoom),
        NumVars(numVars),
        AnchoBitmap(anchoBitmap),
        AltoBitmap(altoBitmap),
        DX(desplX),
        DY(desplY) {}

  // The halo under a redex: a glow on its junction, and a band around its function part and
  // another around its argument, each in its shade. Bands rather than filled boxes: a redex may
  // cover the whole canvas, and filling it would cost as much as the rest of the drawing.
  void DibujaHalo(TAplicacion* a, const TPaletaHalo& Paleta = PaletaSiguiente) {
    const TCaja& Caja = Cajas[a->Caja];
    const double x = double(Caja.X), y = double(Caja.Y), Pie = y + CaidaAplicacion;
    const double AnchoFunc = double(AnchoDe(a->Func)), AltoFunc = double(AltoDe(a->Func));
    const bool VArg = EsVariable(a->Arg);
    const double AnchoArg = double(VArg ? LadoVariable : AnchoDe(a->Arg));
    const double AltoArg = double(VArg ? LadoVariable : AltoDe(a->Arg));
    const double xa = x + AnchoFunc + Separacion;
    const double cm = x + double(Caja.Ancho) * 0.5;
    if (!Visible(x - 2 * BandaHalo, y - RadioHalo, x + double(Caja.Ancho) + 2 * BandaHalo,
                 y + double(Caja.Alto) + 2 * BandaHalo))
      return;
    Agg.lineWidth(BandaHalo * Zoom);
    Agg.fillColor(0, 0, 0, 0);
    Marco(Paleta.Funcion, x - BandaHalo / 2, Pie - BandaHalo / 2, x + AnchoFunc + BandaHalo / 2,
          Pie + AltoFunc + BandaHalo / 2);
    Marco(Paleta.Argumento, xa - BandaHalo / 2, Pie - BandaHalo / 2, xa + AnchoArg + BandaHalo / 2,
          Pie + AltoArg + BandaHalo / 2);
    Agg.lineColor(0, 0, 0, 0);
    Agg.fillColor(Paleta.Redex.R, Paleta.Redex.G, Paleta.Redex.B, Paleta.Redex.A);
    Agg.ellipse(cm * Zoom + DX, y * Zoom + DY, RadioHalo * Zoom, RadioHalo * Zoom);
  }

  void DibujaHalo(TExprLambda* r) {
    if (TAplicacion* a = ComoAplicacion(r))
      DibujaHalo(a);
    else if (TFuncion* f = ComoFuncion(r))
      DibujaHaloEta(f);
  }
  void DibujaHaloEta(TFuncion* f) {
    const TCaja& Caja = Cajas[f->Caja];
    const double x1 = double(Caja.X) - BandaHalo / 2, y1 = double(Caja.Y) - BandaHalo / 2;
    const double x2 = double(Caja.X + Caja.Ancho) + BandaHalo / 2;
    const double y2 = double(Caja.Y + Caja.Alto) + BandaHalo / 2;
    if (!Visible(x1 - BandaHalo, y1 - BandaHalo, x2 + BandaHalo, y2 + BandaHalo)) return;
    Agg.lineWidth(BandaHalo * Zoom);
    Agg.fillColor(0, 0, 0, 0);
    Marco(HaloRedex, x1, y1, x2, y2);
  }

  // Pre-order, so the marks of a part lie over those of the node above it.
  void DibujaNodo(TExprLambda* Nodo) {
    if (TFuncion* f = ComoFuncion(Nodo)) {
      const TCaja& Caja = Cajas[f->Caja];
      const double c = double(Caja.X) + double(Caja.Ancho) * 0.5;
      const double y = double(Caja.Y);
      if (!Visible(c - MedioCuadro, y, c + MedioCuadro, y + PieCuerpo)) return;
      Agg.lineColor(0, 0, 0, 255);
      Linea(c, y, c, y + AltoTallo);
      Relleno(f->Param);
      Agg.rectangle((c - MedioCuadro) * Zoom + DX, y * Zoom + DY, (c + MedioCuadro) * Zoom + DX,
                    (y + 2 * MedioCuadro) * Zoom + DY);
      if (TVariable* v = ComoVariable(f->Cuerpo)) DibujaVariable(v, c, y + PieCuerpo);
    } else if (TAplicacion* a = ComoAplicacion(Nodo)) {
      const TCaja& Caja = Cajas[a->Caja];
      const double x = double(Caja.X);
      const double y = double(Caja.Y);
      if (!Visible(x, y - RadioUnion, x + double(Caja.Ancho),
                   y + CaidaAplicacion + 2 * RadioVariable))
        return;
      TVariable* VFunc = ComoVariable(a->Func);
      TVariable* VArg = ComoVariable(a->Arg);
      const double AnchoFunc = double(VFunc ? LadoVariable : AnchoDe(a->Func));
      const double AnchoArg = double(VArg ? LadoVariable : AnchoDe(a->Arg));
      const double cm = x + double(Caja.Ancho) * 0.5;
      const double cf = x + AnchoFunc * 0.5;
      const double ca = x + AnchoFunc + Separacion + AnchoArg * 0.5;
      const double Pie = y + CaidaAplicacion;
      // A redex: the function part is an abstraction.
      if (!VFunc && EsFuncion(a->Func))
        Agg.lineColor(255, 0, 0, 255);
      else
        Agg.lineColor(0, 0, 0, 255);
      Linea(cm, y, cf, Pie);
      Agg.lineColor(0, 0, 0, 255);
      Linea(cm, y, ca, Pie);
      Agg.fillColor(0, 0, 0, 255);
      Agg.ellipse(cm * Zoom + DX, y * Zoom + DY, RadioUnion * Zoom, RadioUnion * Zoom);
      if (VFunc) DibujaVariable(VFunc, cf, Pie + RadioVariable);
      if (VArg) DibujaVariable(VArg, ca, Pie + RadioVariable);
    }
  }

  // A dot of the variable's colour whose lower edge is yb, outlined with the line colour.
  void DibujaVariable(TVariable* V, double xc, double yb) {
    Relleno(V);
    Agg.ellipse(xc * Zoom + DX, (yb - RadioVariable) * Zoom + DY, RadioVariable * Zoom,
                RadioVariable * Zoom);
  }

 private:
  // Width of an application or abstraction.
  int64_t AnchoDe(TExprLambda* n) const {
    return Cajas[EsFuncion(n) ? static_cast<TFuncion*>(n)->Caja
                              : static_cast<TAplicacion*>(n)->Caja]
        .Ancho;
  }
  int64_t AltoDe(TExprLambda* n) const {
    return Cajas[EsFuncion(n) ? static_cast<TFuncion*>(n)->Caja
                              : static_cast<TAplicacion*>(n)->Caja]
        .Alto;
  }
  void Marco(TColorHalo c, double x1, double y1, double x2, double y2) {
    Agg.lineColor(c.R, c.G, c.B, c.A);
    Agg.rectangle(x1 * Zoom + DX, y1 * Zoom + DY, x2 * Zoom + DX, y2 * Zoom + DY);
  }
  // Whether marks within these bounds, in units, can reach the bitmap; most nodes of a large
  // term cannot, and skipping them here spares the colour and the drawing calls. Any doubt
  // (a NaN zoom) answers yes and leaves the decision to the drawing object.
  bool Visible(double x1, double y1, double x2, double y2) const {
    const double margen = std::fabs(Zoom) * GrosorTrazo / 2 + 1;
    const auto [xa, xb] = std::minmax({x1 * Zoom + DX, x2 * Zoom + DX});
    const auto [ya, yb] = std::minmax({y1 * Zoom + DY, y2 * Zoom + DY});
    return !(xb + margen < 0 || xa - margen > AnchoBitmap || yb + margen < 0 ||
             ya - margen > AltoBitmap);
  }
  void Linea(double x1, double y1, double x2, double y2) {
    Agg.line(x1 * Zoom + DX, y1 * Zoom + DY, x2 * Zoom + DX, y2 * Zoom + DY);
  }
  void Relleno(TVariable* v) {
    int32_t r, g, b;
    // In double: NumVars + 1 must not overflow.
    ColorRampa(double(v->Indice) / (double(NumVars) + 1), r, g, b);
    Agg.fillColor(uint8_t(r), uint8_t(g), uint8_t(b), 255);
  }

  const std::vector<TCaja>& Cajas;
  TLapiz& Agg;
  const double Zoom;
  const int32_t NumVars;
  const double AnchoBitmap, AltoBitmap;
  // Where the user moved the drawing, in pixels; 0 leaves every coordinate as it was.
  const double DX, DY;
};

// The two layout walks; the root's left edge is given once it is measured.
template <typename FRaizX>
void DisponeCon(TExprLambda* Actual, std::vector<TCaja>& Cajas, int32_t& NumVars, FRaizX RaizX) {
  Cajas.clear();
  NumVars = 0;
  TDisposicion Disposicion(Cajas, NumVars);
  Actual->RecorrePost([&](TExprLambda* n) { Disposicion.MideNodo(n); });
  if (EsVariable(Actual)) Cajas.push_back({0, 0, LadoVariable, LadoVariable});
  TCaja& raiz = Cajas.back();
  raiz.X = RaizX(raiz.Ancho);
  raiz.Y = Margen;
  Actual->RecorrePre([&](TExprLambda* n) { Disposicion.SituaNodo(n); });
}

// Background, stroke width, then every node, as the window draws.
template <typename TLapiz>
void DibujaTodo(TExprLambda* Actual, const std::vector<TCaja>& Cajas, TLapiz& Agg, double Zoom,
                int32_t NumVars, double Ancho, double Alto, const TExtrasDiagrama& Extras = {}) {
  Agg.clearAll(ColorFondo.R, ColorFondo.G, ColorFondo.B, ColorFondo.A);
  // A shift that is not finite would throw the drawing away; it counts as none.
  const double dx = std::isfinite(Extras.DesplX) ? Extras.DesplX : 0;
  const double dy = std::isfinite(Extras.DesplY) ? Extras.DesplY : 0;
  TDibujo<TLapiz> Dibujo(Cajas, Agg, Zoom, NumVars, Ancho, Alto, dx, dy);
  if (Extras.Halo)
    for (TExprLambda* r : *Extras.Halo) Dibujo.DibujaHalo(r);
  if (Extras.Elegido && EsFuncion(Extras.Elegido->Func))
    Dibujo.DibujaHalo(Extras.Elegido, PaletaElegido);
  Agg.lineWidth(GrosorTrazo * Zoom);
  Actual->RecorrePre([&](TExprLambda* n) { Dibujo.DibujaNodo(n); });
}

// 255 * v rounded to the nearest integer, halves to even, decided on the exact product: fma
// gives the error of the rounded product, which settles a product that rounded onto a half.
int32_t Componente(double v) {
  const double p = 255 * v;
  const double error = std::fma(255, v, -p);
  double r = std::nearbyint(p);
  if (p - std::floor(p) == 0.5 && error != 0) r = error > 0 ? std::ceil(p) : std::floor(p);
  return int32_t(r);
}

}  // namespace

int64_t PosicionRaiz(int64_t AnchoRaiz, int AnchoBitmap, double Zoom) {
  double p = std::nearbyint((double(AnchoBitmap) - double(AnchoRaiz) * Zoom) * 0.5);
  if (!(p >= Margen)) p = Margen;  // NaN included
  const double x = std::nearbyint(p / Zoom);
  if (std::isnan(x)) return Margen;
  // Far enough for any picture, near enough that no sum of widths overflows.
  constexpr double Limite = 0x1p60;
  return int64_t(std::clamp(x, -Limite, Limite));
}

void Dispone(TExprLambda* Actual, int AnchoBitmap, double Zoom, std::vector<TCaja>& Cajas,
             int32_t& NumVars) {
  if (Actual == nullptr) return;
  DisponeCon(Actual, Cajas, NumVars,
             [&](int64_t Ancho) { return PosicionRaiz(Ancho, AnchoBitmap, Zoom); });
}

double Rampa(double x) {
  if (x >= 0 && x < 0.25) return 4 * x;
  if (x >= 0.25 && x < 0.5) return 1;
  if (x >= 0.5 && x < 0.75) return 3 - 4 * x;
  return 0;
}

void ColorRampa(double t, int32_t& R, int32_t& G, int32_t& B) {
  R = Componente(Rampa(t + 0.125));
  G = Componente(Rampa(t - 0.125));
  B = Componente(Rampa(t - 0.375));
}

namespace {

// Redibuja's boxes, kept from call to call: a large term's boxes then cost no fresh pages at
// every drawing. They hold numbers only, never a reference to a term.
std::vector<TCaja>& CajasDeRedibuja() {
  static thread_local std::vector<TCaja> Cajas;
  return Cajas;
}
thread_local uint64_t NumDibujos = 0;  // layouts made or released by Redibuja and SueltaCajas

}  // namespace

TCaja Redibuja(TExprLambda* Actual, TBitmap& Bitmap, TAgg2DPlus& Agg, double Zoom, int32_t& NumVars,
               const TExtrasDiagrama& Extras) {
  if (Actual == nullptr || Bitmap.Pixeles() == nullptr || !Agg.attachedTo(Bitmap)) return {};
  std::vector<TCaja>& cajas = CajasDeRedibuja();
  Dispone(Actual, Bitmap.Width(), Zoom, cajas, NumVars);
  ++NumDibujos;
  DibujaTodo<TAgg2D>(Actual, cajas, Agg, Zoom, NumVars, Bitmap.Width(), Bitmap.Height(), Extras);
  TCaja Raiz = cajas.back();
  // Room kept for a bigger term, which has gone, goes back to the allocator; the boxes stay,
  // for finding what lies under the pointer.
  if (cajas.capacity() > 2 * cajas.size() + (std::size_t(1) << 20) / sizeof(TCaja))
    std::vector<TCaja>(cajas).swap(cajas);
  return Raiz;
}

void SueltaCajas() {
  std::vector<TCaja>& Cajas = CajasDeRedibuja();
  ++NumDibujos;
  if (Cajas.capacity() * sizeof(TCaja) > (std::size_t(1) << 20)) std::vector<TCaja>().swap(Cajas);
}

const std::vector<TCaja>& CajasDibujadas() {
  return CajasDeRedibuja();
}
uint64_t DibujosHechos() {
  return NumDibujos;
}

namespace {

// The box of an application or abstraction; null for a variable, or past the layout's end.
const TCaja* CajaDe(TExprLambda* n, const std::vector<TCaja>& Cajas) {
  uint32_t i;
  if (TFuncion* f = ComoFuncion(n))
    i = f->Caja;
  else if (TAplicacion* a = ComoAplicacion(n))
    i = a->Caja;
  else
    return nullptr;
  return i < Cajas.size() ? &Cajas[i] : nullptr;
}

bool Cerca(const TCaja& c, double X, double Y, double Holgura) {
  return X >= double(c.X) - Holgura && X <= double(c.X + c.Ancho) + Holgura &&
         Y >= double(c.Y) - Holgura && Y <= double(c.Y + c.Alto) + Holgura;
}

// From (X, Y) to the segment from (x1, y1) to (x2, y2).
double DistanciaSegmento(double X, double Y, double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1, l = dx * dx + dy * dy;
  const double t = l > 0 ? std::clamp(((X - x1) * dx + (Y - y1) * dy) / l, 0.0, 1.0) : 0.0;
  return std::hypot(X - (x1 + t * dx), Y - (y1 + t * dy));
}

// From (X, Y) to a redex's junction dot or red stroke, drawn as TDibujo draws them; 0 on them.
double DistanciaRedex(const TCaja& Caja, const TCaja& Func, double X, double Y) {
  const double cm = double(Caja.X) + double(Caja.Ancho) * 0.5, y = double(Caja.Y);
  const double cf = double(Caja.X) + double(Func.Ancho) * 0.5;
  const double Union = std::hypot(X - cm, Y - y) - RadioUnion;
  const double Trazo = DistanciaSegmento(X, Y, cm, y, cf, y + CaidaAplicacion) - GrosorTrazo / 2;
  return std::max(0.0, std::min(Union, Trazo));
}

}  // namespace

TAplicacion* RedexEnPunto(TExprLambda* Actual, const std::vector<TCaja>& Cajas, double X, double Y,
                          double Radio) {
  if (!Actual || !std::isfinite(X) || !std::isfinite(Y) || !(Radio >= 0)) return nullptr;
  // Parts lie inside their node's box, but a junction's dot rises above it.
  const double Holgura = Radio + RadioUnion;
  TAplicacion* Mejor = nullptr;
  std::size_t HonduraMejor = 0;
  double DistanciaMejor = 0;
  std::vector<std::pair<TExprLambda*, std::size_t>> Pila{{Actual, 0}};
  while (!Pila.empty()) {
    const auto [n, Hondura] = Pila.back();
    Pila.pop_back();
    const TCaja* c = CajaDe(n, Cajas);
    if (!c || !Cerca(*c, X, Y, Holgura)) continue;
    if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back({f->Cuerpo, Hondura + 1});
      continue;
    }
    TAplicacion* a = static_cast<TAplicacion*>(n);
    const TCaja* Func = EsFuncion(a->Func) ? CajaDe(a->Func, Cajas) : nullptr;
    const double d = Func ? DistanciaRedex(*c, *Func, X, Y) : Radio + 1;
    // The innermost: the deepest; between two as deep, the nearer.
    if (d <= Radio &&
        (!Mejor || Hondura > HonduraMejor || (Hondura == HonduraMejor && d < DistanciaMejor))) {
      Mejor = a;
      HonduraMejor = Hondura;
      DistanciaMejor = d;
    }
    Pila.push_back({a->Func, Hondura + 1});
    Pila.push_back({a->Arg, Hondura + 1});
  }
  return Mejor;
}

bool AjustaBitmap(TBitmap& Bitmap, TAgg2DPlus& Agg, int Ancho, int Alto) {
  const bool OtroTamano =
      Bitmap.Width() != std::max(Ancho, 0) || Bitmap.Height() != std::max(Alto, 0);
  // Pixels that were resized behind Agg's back are attached again too.
  const bool Desunido = Bitmap.Width() > 0 && Bitmap.Height() > 1 && !Agg.attachedTo(Bitmap);
  if (!OtroTamano && !Desunido) return false;
  Bitmap.SetSize(Ancho, Alto);
  Agg.attach(Bitmap, false);
  return true;
}

TDiagramaEntero::TDiagramaEntero(TExprLambda* actual, double zoom) : Actual(actual), Zoom(zoom) {
  if (Actual == nullptr) return;
  DisponeCon(Actual, Cajas, NumVars, [](int64_t) { return MargenEntero; });
  const TCaja& Raiz = Cajas.back();
  // Rounded up, so that the margin on the right and below is never less than on the left.
  AnchoPx = std::max(2.0, std::ceil(double(Raiz.Ancho + 2 * MargenEntero) * Zoom));
  AltoPx = std::max(2.0, std::ceil(double(Raiz.Alto + 2 * MargenEntero) * Zoom));
}

void TDiagramaEntero::Dibuja(TAgg2D& Agg) const {
  if (Actual) DibujaTodo<TAgg2D>(Actual, Cajas, Agg, Zoom, NumVars, AnchoPx, AltoPx);
}

void TDiagramaEntero::Dibuja(ILapiz& Lapiz) const {
  if (Actual) DibujaTodo<ILapiz>(Actual, Cajas, Lapiz, Zoom, NumVars, AnchoPx, AltoPx);
}
