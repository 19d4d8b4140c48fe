// SPDX-License-Identifier: GPL-3.0-or-later
#include "Agg2D.h"

#include <agg_ellipse.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool Finitos(std::initializer_list<double> Valores) {
  for (double v : Valores)
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
  const double Pasos = 2 * std::numbers::pi / da;
  if (!(Pasos < 65536)) return 65536;
  return std::max(4u, unsigned(std::lround(Pasos)));
}

}  // namespace

TAgg2D::TAgg2D() : Formato(Buffer), Base(Formato), Solido(Base), Trazo(Camino) {
  Trazo.line_cap(agg::round_cap);
  Trazo.line_join(agg::round_join);
  Rasterizador.filling_rule(agg::fill_non_zero);
  detach();
}

bool TAgg2D::Une(uint8_t* buffer, int Width, int Height, int Stride) {
  detach();
  if (buffer == nullptr || Width < 1 || Height < 2 || Stride < int64_t(Width) * 4) return false;
  Buffer.attach(buffer, unsigned(Width), unsigned(Height), Stride);
  Formato.attach(Buffer);
  Base.attach(Formato);
  Rasterizador.reset();
  Rasterizador.clip_box(0, 0, std::min(Width, LadoMaximo), std::min(Height, LadoMaximo));
  Inicio = buffer;
  Unido = true;
  return true;
}

bool TAgg2D::attach(uint8_t* buffer, int Width, int Height, int Stride) {
  return Une(buffer, Width, Height, Stride);
}

bool TAgg2D::attach(TBitmap& Bitmap, bool Flip) {
  const int Alto = Bitmap.Height();
  if (!Une(Bitmap.Pixeles(), Bitmap.Width(), Alto, Bitmap.Stride())) return false;
  if (Flip) {
    // AGG counts rows from the end of the buffer when the stride is negative.
    Buffer.attach(Bitmap.Pixeles(), unsigned(Bitmap.Width()), unsigned(Alto), -Bitmap.Stride());
    Formato.attach(Buffer);
    Base.attach(Formato);
  }
  DeBitmap = true;
  Vigencia = Bitmap.Vigencia();
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

bool TAgg2D::attachedTo(const TBitmap& Bitmap) const {
  return attached() && DeBitmap && Inicio == Bitmap.Pixeles() &&
         int(Buffer.width()) == Bitmap.Width() && int(Buffer.height()) == Bitmap.Height();
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

void TAgg2D::Pinta(bool Rellena) {
  if (Rellena && ColorRelleno.a > 0) {
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
  const double Ancho = Buffer.width(), Alto = Buffer.height();
  x1 = std::clamp(x1, -margen, Ancho + margen), x2 = std::clamp(x2, -margen, Ancho + margen);
  y1 = std::clamp(y1, -margen, Alto + margen), y2 = std::clamp(y2, -margen, Alto + margen);
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
  agg::ellipse Forma(cx, cy, rx, ry, PasosElipse(rx, ry));
  Camino.remove_all();
  Camino.concat_path(Forma);
  Pinta(true);
}
