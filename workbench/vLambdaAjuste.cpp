// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram fitted to the canvas.
#include <algorithm>
#include <functional>

#include "vLambda.h"

namespace {

constexpr double PasoZoom = 1.2;  // one press of the spinner's arrows

// What the layout keeps above the root, in units; what is left on the other sides, in pixels, and
// a unit more on each for the strokes and for where the centred root's edge rounds to.
constexpr double MargenUnidades = 10, MargenPixeles = 10;

}  // namespace

void TMesaTrabajo::AjustarDiagrama1Click() {
  Protegido(std::function<void()>([this] { AjustaZoom(); }));
}

void TMesaTrabajo::AjustaZoom() {
  if (!Actual || !Bitmap.Pixeles() || !Agg.attachedTo(Bitmap)) return;
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
