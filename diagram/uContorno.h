// SPDX-License-Identifier: GPL-3.0-or-later
// The outline of a stroke, worked out from its geometry: closed polygons whose non-zero fill is
// the stroke of a segment with round caps or of a closed polygon with round joins, in pixels.
//
// Curves are flattened so that no chord strays more than 1/8 pixel from its arc. On the inner
// side of a corner the two edges meet where their offset lines cross; on the outer side a round
// corner joins them, or that crossing when the turn is so slight that no arc would show.
#pragma once

#include <cstddef>
#include <vector>

struct TPunto {
  double X = 0, Y = 0;
};

// Polygons one after another: polygon i runs from Vertices[Inicios[i]] to the next start.
struct TPoligonos {
  std::vector<TPunto> Vertices;
  std::vector<std::size_t> Inicios;
  void Vacia() {
    Vertices.clear();
    Inicios.clear();
  }
};

class TContorno {
 public:
  // Width of the stroke; negative counts as its absolute value.
  void Ancho(double w);

  // The outline of the segment from a to b, into `Salida` (emptied first): one polygon, or none
  // when a and b coincide.
  void Segmento(TPunto a, TPunto b, TPoligonos& Salida);
  // The outline of the closed polygon through `n` points, into `Salida` (emptied first): two
  // polygons (the outer and the inner edge of the band); with only two distinct points, the
  // segment's; none with one.
  void Cerrado(const TPunto* Puntos, std::size_t n, TPoligonos& Salida);

 private:
  void Pon(double x, double y) { Salida->Vertices.push_back({x, y}); }
  // The arc of centre c and radius MedioAncho from c + Desde to c + Hasta, turning by `Giro`
  // radians (positive from x towards y), its ends included.
  void Arco(TPunto c, TPunto Desde, TPunto Hasta, double Giro);
  // The corner at b of the edges a-b and b-c (of lengths Largo1 and Largo2), on the side of
  // the way a-b-c that Normal offsets to.
  void Esquina(TPunto a, TPunto b, TPunto c, double Largo1, double Largo2);

  double MedioAncho = 0.5;
  double PasoArco = 0;           // the widest angle whose chord stays within 1/8 pixel of its arc
  std::vector<TPunto> Puntos;    // the input, without repeated points
  std::vector<double> Largos;    // Largos[i]: length of the edge from point i to the next
  TPoligonos* Salida = nullptr;  // where the call under way puts its polygons
};
