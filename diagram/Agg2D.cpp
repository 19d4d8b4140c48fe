// SPDX-License-Identifier: GPL-3.0-or-later
#include "Agg2D.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_ellipse.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_p.h>

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

struct TAgg2D::TNucleo {
  using TFormato = agg::pixfmt_bgra32;
  using TBase = agg::renderer_base<TFormato>;

  TNucleo() : Formato(Buffer), Base(Formato), Solido(Base) {
    Rasterizador.filling_rule(agg::fill_non_zero);
    Forma.Inicios = {0};
  }

  // Hands every polygon of `p` to the rasterizer, each closed.
  void Poligonos(const TPoligonos& p) {
    const std::vector<TPunto>& Vertices = p.Vertices;
    const std::vector<std::size_t>& Inicios = p.Inicios;
    for (std::size_t i = 0; i < Inicios.size(); ++i) {
      const std::size_t Fin = i + 1 < Inicios.size() ? Inicios[i + 1] : Vertices.size();
      if (Inicios[i] == Fin) continue;
      Rasterizador.move_to_d(Vertices[Inicios[i]].X, Vertices[Inicios[i]].Y);
      for (std::size_t j = Inicios[i] + 1; j < Fin; ++j)
        Rasterizador.line_to_d(Vertices[j].X, Vertices[j].Y);
      Rasterizador.close_polygon();
    }
  }

  agg::rendering_buffer Buffer;
  TFormato Formato;
  TBase Base;
  agg::renderer_scanline_aa_solid<TBase> Solido;
  agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> Rasterizador;
  agg::scanline_p8 Linea;
  TPoligonos Forma;  // the shape: one polygon, closed unless it is a line
  bool Cerrado = false;
  TPoligonos Trazo;  // its stroke's outline, from TAgg2D::Contorno
  agg::rgba8 ColorLinea;
  agg::rgba8 ColorRelleno;
};

TAgg2D::TAgg2D() : Nucleo(std::make_unique<TNucleo>()) {
  detach();
}

TAgg2D::~TAgg2D() = default;

bool TAgg2D::Une(uint8_t* buffer, int Width, int Height, int Stride) {
  TNucleo& n = *Nucleo;
  detach();
  if (buffer == nullptr || Width < 1 || Height < 2 || Stride < int64_t(Width) * 4) return false;
  n.Buffer.attach(buffer, unsigned(Width), unsigned(Height), Stride);
  n.Formato.attach(n.Buffer);
  n.Base.attach(n.Formato);
  n.Rasterizador.reset();
  n.Rasterizador.clip_box(0, 0, std::min(Width, LadoMaximo), std::min(Height, LadoMaximo));
  Inicio = buffer;
  Unido = true;
  return true;
}

bool TAgg2D::attach(uint8_t* buffer, int Width, int Height, int Stride) {
  return Une(buffer, Width, Height, Stride);
}

bool TAgg2D::attach(TBitmap& Bitmap, bool Flip) {
  TNucleo& n = *Nucleo;
  const int Alto = Bitmap.Height();
  if (!Une(Bitmap.Pixeles(), Bitmap.Width(), Alto, Bitmap.Stride())) return false;
  if (Flip) {
    // AGG counts rows from the end of the buffer when the stride is negative.
    n.Buffer.attach(Bitmap.Pixeles(), unsigned(Bitmap.Width()), unsigned(Alto), -Bitmap.Stride());
    n.Formato.attach(n.Buffer);
    n.Base.attach(n.Formato);
  }
  DeBitmap = true;
  Vigencia = Bitmap.Vigencia();
  return true;
}

void TAgg2D::detach() {
  TNucleo& n = *Nucleo;
  Unido = false;
  DeBitmap = false;
  Vigencia.reset();
  Inicio = nullptr;
  AnchoLinea = 1;
  n.ColorLinea = agg::rgba8(0, 0, 0, 255);
  n.ColorRelleno = agg::rgba8(255, 255, 255, 255);
}

bool TAgg2D::attached() const {
  return Unido && (!DeBitmap || !Vigencia.expired());
}

bool TAgg2D::attachedTo(const TBitmap& Bitmap) const {
  const TNucleo& n = *Nucleo;
  return attached() && DeBitmap && Inicio == Bitmap.Pixeles() &&
         int(n.Buffer.width()) == Bitmap.Width() && int(n.Buffer.height()) == Bitmap.Height();
}

void TAgg2D::clearAll(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  if (attached()) Nucleo->Base.clear(agg::rgba8(r, g, b, a));
}

void TAgg2D::lineWidth(double w) {
  if (std::isnan(w)) return;
  AnchoLinea = std::clamp(w, 0.0, AnchoMaximo);
}

void TAgg2D::lineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Nucleo->ColorLinea = agg::rgba8(r, g, b, a);
}

void TAgg2D::fillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Nucleo->ColorRelleno = agg::rgba8(r, g, b, a);
}

bool TAgg2D::Visible(double x1, double y1, double x2, double y2) const {
  const TNucleo& n = *Nucleo;
  const double margen = AnchoLinea / 2 + 1;
  return std::max(x1, x2) + margen >= 0 && std::min(x1, x2) - margen <= n.Buffer.width() &&
         std::max(y1, y2) + margen >= 0 && std::min(y1, y2) - margen <= n.Buffer.height();
}

void TAgg2D::Contorno(const std::vector<TPunto>& Puntos, bool Cerrado, double Ancho,
                      TPoligonos& Salida) {
  Trazo.Ancho(Ancho);
  if (Cerrado)
    Trazo.Cerrado(Puntos.data(), Puntos.size(), Salida);
  else if (Puntos.size() == 2)
    Trazo.Segmento(Puntos[0], Puntos[1], Salida);
  else
    Salida.Vacia();
}

void TAgg2D::Pinta() {
  TNucleo& n = *Nucleo;
  if (n.Cerrado && n.ColorRelleno.a > 0) {
    n.Rasterizador.reset();
    n.Poligonos(n.Forma);
    n.Solido.color(n.ColorRelleno);
    agg::render_scanlines(n.Rasterizador, n.Linea, n.Solido);
  }
  if (AnchoLinea > 0 && n.ColorLinea.a > 0) {
    n.Rasterizador.reset();
    Contorno(n.Forma.Vertices, n.Cerrado, AnchoLinea, n.Trazo);
    n.Poligonos(n.Trazo);
    n.Solido.color(n.ColorLinea);
    agg::render_scanlines(n.Rasterizador, n.Linea, n.Solido);
  }
}

void TAgg2D::line(double x1, double y1, double x2, double y2) {
  TNucleo& n = *Nucleo;
  if (!attached() || !Finitos({x1, y1, x2, y2}) || !Visible(x1, y1, x2, y2)) return;
  n.Forma.Vertices.assign({{Acota(x1), Acota(y1)}, {Acota(x2), Acota(y2)}});
  n.Cerrado = false;
  Pinta();
}

void TAgg2D::rectangle(double x1, double y1, double x2, double y2) {
  TNucleo& n = *Nucleo;
  if (!attached() || !Finitos({x1, y1, x2, y2}) || !Visible(x1, y1, x2, y2)) return;
  // Edges moved out to the buffer widened by more than half a stroke do not show.
  const double margen = AnchoLinea / 2 + 2;
  const double Ancho = n.Buffer.width(), Alto = n.Buffer.height();
  x1 = std::clamp(x1, -margen, Ancho + margen), x2 = std::clamp(x2, -margen, Ancho + margen);
  y1 = std::clamp(y1, -margen, Alto + margen), y2 = std::clamp(y2, -margen, Alto + margen);
  n.Forma.Vertices.assign({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
  n.Cerrado = true;
  Pinta();
}

void TAgg2D::ellipse(double cx, double cy, double rx, double ry) {
  TNucleo& n = *Nucleo;
  if (!attached() || !Finitos({cx, cy, rx, ry})) return;
  rx = std::fabs(rx), ry = std::fabs(ry);
  if (!Visible(cx - rx, cy - ry, cx + rx, cy + ry)) return;
  // Only an ellipse far larger than any screen gets here with such numbers; it is approximated.
  cx = Acota(cx), cy = Acota(cy);
  rx = std::min(rx, CoordenadaMaxima), ry = std::min(ry, CoordenadaMaxima);
  agg::ellipse Elipse(cx, cy, rx, ry, PasosElipse(rx, ry));
  n.Forma.Vertices.clear();
  double x, y;
  for (unsigned Orden; !agg::is_stop(Orden = Elipse.vertex(&x, &y));)
    if (agg::is_vertex(Orden)) n.Forma.Vertices.push_back({x, y});
  n.Cerrado = true;
  Pinta();
}
