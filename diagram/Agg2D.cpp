#include "Agg2D.h"

#include <agg_ellipse.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool Finitos(std::initializer_list<double> valores) {
  for (double v : valores)
    if (!std::isfinite(v)) return false;
  return true;
}

double Acota(double v) {
  return std::clamp(v, -TAgg2D::CoordenadaMaxima, TAgg2D::CoordenadaMaxima);
}

// Vertices of an ellipse for an error of 1/16 pixel, within bounds: AGG's own count turns into
// an undefined conversion or a runaway loop for huge radii.
unsigned PasosElipse(double rx, double ry) {
  const double ra = (rx + ry) / 2;
  const double da = std::acos(ra / (ra + 1.0 / 16)) * 2;
  const double pasos = 2 * std::numbers::pi / da;
  if (!(pasos < 65536)) return 65536;
  return std::max(4u, unsigned(std::lround(pasos)));
}

}  // namespace

TAgg2D::TAgg2D() : Formato(Buffer), Base(Formato), Solido(Base), Trazo(Camino) {
  Trazo.line_cap(agg::round_cap);
  Trazo.line_join(agg::round_join);
  Rasterizador.filling_rule(agg::fill_non_zero);
  detach();
}

bool TAgg2D::Une(uint8_t* buffer, int width, int height, int stride) {
  detach();
  if (buffer == nullptr || width < 1 || height < 2 || stride < int64_t(width) * 4) return false;
  Buffer.attach(buffer, unsigned(width), unsigned(height), stride);
  Formato.attach(Buffer);
  Base.attach(Formato);
  Rasterizador.reset();
  Rasterizador.clip_box(0, 0, std::min(width, LadoMaximo), std::min(height, LadoMaximo));
  Inicio = buffer;
  Unido = true;
  return true;
}

bool TAgg2D::attach(uint8_t* buffer, int width, int height, int stride) {
  return Une(buffer, width, height, stride);
}

bool TAgg2D::attach(TBitmap& bitmap, bool flip) {
  const int alto = bitmap.Height();
  if (!Une(bitmap.Pixeles(), bitmap.Width(), alto, bitmap.Stride())) return false;
  if (flip) {
    // AGG counts rows from the end of the buffer when the stride is negative.
    Buffer.attach(bitmap.Pixeles(), unsigned(bitmap.Width()), unsigned(alto), -bitmap.Stride());
    Formato.attach(Buffer);
    Base.attach(Formato);
  }
  DeBitmap = true;
  Vigencia = bitmap.Vigencia();
  return true;
}

void TAgg2D::detach() {
  Unido = false;
  DeBitmap = false;
  Vigencia.reset();
  Inicio = nullptr;
  AnchoLinea = 1;
  ColorLinea = agg::rgba8(0, 0, 0, 255);
  ColorRelleno = agg::rgba8(255, 255, 255, 255);
}

bool TAgg2D::attached() const {
  return Unido && (!DeBitmap || !Vigencia.expired());
}

bool TAgg2D::attachedTo(const TBitmap& bitmap) const {
  return attached() && DeBitmap && Inicio == bitmap.Pixeles() &&
         int(Buffer.width()) == bitmap.Width() && int(Buffer.height()) == bitmap.Height();
}

void TAgg2D::clearAll(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  if (attached()) Base.clear(agg::rgba8(r, g, b, a));
}

void TAgg2D::lineWidth(double w) {
  if (std::isnan(w)) return;
  AnchoLinea = std::clamp(w, 0.0, AnchoMaximo);
}

void TAgg2D::lineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  ColorLinea = agg::rgba8(r, g, b, a);
}

void TAgg2D::fillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  ColorRelleno = agg::rgba8(r, g, b, a);
}

bool TAgg2D::Visible(double x1, double y1, double x2, double y2) const {
  const double margen = AnchoLinea / 2 + 1;
  return std::max(x1, x2) + margen >= 0 && std::min(x1, x2) - margen <= Buffer.width() &&
         std::max(y1, y2) + margen >= 0 && std::min(y1, y2) - margen <= Buffer.height();
}

void TAgg2D::Pinta(bool rellena) {
  if (rellena && ColorRelleno.a > 0) {
    Rasterizador.reset();
    Rasterizador.add_path(Camino);
    Solido.color(ColorRelleno);
    agg::render_scanlines(Rasterizador, Linea, Solido);
  }
  if (AnchoLinea > 0 && ColorLinea.a > 0) {
    Rasterizador.reset();
    Trazo.width(AnchoLinea);
    Rasterizador.add_path(Trazo);
    Solido.color(ColorLinea);
    agg::render_scanlines(Rasterizador, Linea, Solido);
  }
}

void TAgg2D::line(double x1, double y1, double x2, double y2) {
  if (!attached() || !Finitos({x1, y1, x2, y2}) || !Visible(x1, y1, x2, y2)) return;
  Camino.remove_all();
  Camino.move_to(Acota(x1), Acota(y1));
  Camino.line_to(Acota(x2), Acota(y2));
  Pinta(false);
}

void TAgg2D::rectangle(double x1, double y1, double x2, double y2) {
  if (!attached() || !Finitos({x1, y1, x2, y2}) || !Visible(x1, y1, x2, y2)) return;
  // Edges moved out to the buffer widened by more than half a stroke do not show.
  const double margen = AnchoLinea / 2 + 2;
  const double ancho = Buffer.width(), alto = Buffer.height();
  x1 = std::clamp(x1, -margen, ancho + margen), x2 = std::clamp(x2, -margen, ancho + margen);
  y1 = std::clamp(y1, -margen, alto + margen), y2 = std::clamp(y2, -margen, alto + margen);
  Camino.remove_all();
  Camino.move_to(x1, y1);
  Camino.line_to(x2, y1);
  Camino.line_to(x2, y2);
  Camino.line_to(x1, y2);
  Camino.close_polygon();
  Pinta(true);
}

void TAgg2D::ellipse(double cx, double cy, double rx, double ry) {
  if (!attached() || !Finitos({cx, cy, rx, ry})) return;
  rx = std::fabs(rx), ry = std::fabs(ry);
  if (!Visible(cx - rx, cy - ry, cx + rx, cy + ry)) return;
  // Only an ellipse far larger than any screen gets here with such numbers; it is approximated.
  cx = Acota(cx), cy = Acota(cy);
  rx = std::min(rx, CoordenadaMaxima), ry = std::min(ry, CoordenadaMaxima);
  agg::ellipse forma(cx, cy, rx, ry, PasosElipse(rx, ry));
  Camino.remove_all();
  Camino.concat_path(forma);
  Pinta(true);
}
