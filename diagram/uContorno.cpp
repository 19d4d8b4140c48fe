// SPDX-License-Identifier: GPL-3.0-or-later
#include "uContorno.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Points closer than this are one point: an edge between them has no direction.
constexpr double Coinciden = 1e-14;
// The flattening's tolerance, in pixels: a chord's greatest distance from its arc.
constexpr double Tolerancia = 0.125;

double Distancia(TPunto a, TPunto b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  return std::sqrt(dx * dx + dy * dy);
}

// The offset of the edge from a to b (of length `Largo`) by h, to the left of its way.
TPunto Normal(TPunto a, TPunto b, double Largo, double h) {
  return {h * (b.Y - a.Y) / Largo, -h * (b.X - a.X) / Largo};
}

// Where the line through p1 and p2 crosses the line through p3 and p4; false when they are
// parallel.
bool Cruce(TPunto p1, TPunto p2, TPunto p3, TPunto p4, TPunto& x) {
  const double d = (p2.X - p1.X) * (p4.Y - p3.Y) - (p2.Y - p1.Y) * (p4.X - p3.X);
  if (std::fabs(d) < 1e-30) return false;
  const double t = ((p3.X - p1.X) * (p4.Y - p3.Y) - (p3.Y - p1.Y) * (p4.X - p3.X)) / d;
  x = {p1.X + t * (p2.X - p1.X), p1.Y + t * (p2.Y - p1.Y)};
  return true;
}

}  // namespace

void TContorno::Ancho(double w) {
  MedioAncho = std::fabs(w) / 2;
  PasoArco = 2 * std::acos(MedioAncho / (MedioAncho + Tolerancia));
}

void TContorno::Arco(TPunto c, TPunto Desde, TPunto Hasta, double Giro) {
  const double h = MedioAncho;
  Pon(c.X + Desde.X, c.Y + Desde.Y);
  // Equal steps, more of them than the tolerance's step fits in the turn.
  const double Pasos = std::floor(std::fabs(Giro) / PasoArco);
  if (Pasos >= 1 && Pasos < 1e6) {
    const double Paso = Giro / (Pasos + 1);
    double a = std::atan2(Desde.Y, Desde.X);
    for (double i = 0; i < Pasos; ++i) {
      a += Paso;
      Pon(c.X + h * std::cos(a), c.Y + h * std::sin(a));
    }
  }
  Pon(c.X + Hasta.X, c.Y + Hasta.Y);
}

void TContorno::Esquina(TPunto a, TPunto b, TPunto c, double Largo1, double Largo2) {
  const double h = MedioAncho;
  const TPunto n1 = Normal(a, b, Largo1, h), n2 = Normal(b, c, Largo2, h);
  const TPunto b1{b.X + n1.X, b.Y + n1.Y}, b2{b.X + n2.X, b.Y + n2.Y};
  const TPunto a1{a.X + n1.X, a.Y + n1.Y}, c2{c.X + n2.X, c.Y + n2.Y};
  // The turn from a-b to b-c: positive away from this side, which is then the outer one.
  const double Vuelta = (b.X - a.X) * (c.Y - b.Y) - (b.Y - a.Y) * (c.X - b.X);
  TPunto x;
  if (Vuelta < 0) {
    // The inner side: where the two offset edges cross, unless that lies further from the
    // corner than the shorter edge is long (or barely more than the half width); then both
    // ends, and the band's fill covers the corner.
    if (Cruce(a1, b1, b2, c2, x) &&
        Distancia(b, x) <= std::max(std::min(Largo1, Largo2), 1.01 * h)) {
      Pon(x.X, x.Y);
    } else {
      Pon(b1.X, b1.Y);
      Pon(b2.X, b2.Y);
    }
    return;
  }
  // A turn so slight that the bevel lies within 1/1024 of the half width from the arc: one
  // point, where the offset edges cross, draws the same.
  const double Bisel = Distancia({}, {(n1.X + n2.X) / 2, (n1.Y + n2.Y) / 2});
  if (h - Bisel < h / 1024) {
    if (Cruce(a1, b1, b2, c2, x))
      Pon(x.X, x.Y);
    else
      Pon(b1.X, b1.Y);
    return;
  }
  const double Recto = (b.X - a.X) * (c.X - b.X) + (b.Y - a.Y) * (c.Y - b.Y);
  Arco(b, n1, n2, std::atan2(Vuelta, Recto));
}

void TContorno::Segmento(TPunto a, TPunto b, TPoligonos& salida) {
  Salida = &salida;
  Salida->Vacia();
  const double Largo = Distancia(a, b);
  if (!(Largo > Coinciden)) return;
  const TPunto n = Normal(a, b, Largo, MedioAncho), m{-n.X, -n.Y};
  Salida->Inicios.push_back(0);
  // Half a turn round each end, from one side of the segment to the other.
  Arco(a, m, n, std::numbers::pi);
  Arco(b, n, m, std::numbers::pi);
}

void TContorno::Cerrado(const TPunto* p, std::size_t n, TPoligonos& salida) {
  Salida = &salida;
  Salida->Vacia();
  Puntos.clear();
  Largos.clear();
  for (std::size_t i = 0; i < n; ++i)
    if (Puntos.empty() || Distancia(Puntos.back(), p[i]) > Coinciden) Puntos.push_back(p[i]);
  while (Puntos.size() > 1 && Distancia(Puntos.back(), Puntos.front()) <= Coinciden)
    Puntos.pop_back();
  const std::size_t m = Puntos.size();
  // Two points are a segment there and back: its band has round ends.
  if (m == 2) return Segmento(Puntos[0], Puntos[1], salida);
  if (m < 3) return;
  for (std::size_t i = 0; i < m; ++i) Largos.push_back(Distancia(Puntos[i], Puntos[(i + 1) % m]));
  // One side of the band going forwards, the other going back.
  Salida->Inicios.push_back(Salida->Vertices.size());
  for (std::size_t i = 0; i < m; ++i) {
    const std::size_t Antes = (i + m - 1) % m, Despues = (i + 1) % m;
    Esquina(Puntos[Antes], Puntos[i], Puntos[Despues], Largos[Antes], Largos[i]);
  }
  Salida->Inicios.push_back(Salida->Vertices.size());
  for (std::size_t i = m; i-- > 0;) {
    const std::size_t Antes = (i + m - 1) % m, Despues = (i + 1) % m;
    Esquina(Puntos[Despues], Puntos[i], Puntos[Antes], Largos[i], Largos[Antes]);
  }
}
