// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpalEleccion.h"

#include <cstdint>
#include <vector>

#include "uLienzo.h"
#include "uMemo.h"
#include "uVentPpal.h"

void TEleccionVentana::MemoApunta(qint64 Pos) {
  std::vector<TRango> Redex;
  bool Mano = true;
  V.Orden([&](TMesaTrabajo& m) {
    int64_t k = m.Eleccion.RedexEn(Pos);
    if (k < 0) {
      k = m.Eleccion.SeleccionEnTexto();
      Mano = false;
    }
    if (k >= 0) {
      const TRango* r = m.Eleccion.RangosRedex().data() + 3 * k;
      Redex.assign(r, r + 3);
    }
  });
  V.Memo1->FijaApuntado(std::move(Redex), Mano);
}

void TEleccionVentana::MemoPulsa(qint64 Pos) {
  V.Orden([&](TMesaTrabajo& m) {
    if (int64_t k = m.Eleccion.RedexEn(Pos); k >= 0) m.ContraeRedex(static_cast<std::size_t>(k));
  });
  MemoApunta(Pos);  // the new term's redex now under the pointer
}

void TEleccionVentana::LienzoApunta(QPointF Punto) {
  bool Mano = false;
  V.Orden([&](TMesaTrabajo& m) { Mano = m.LienzoApunta(Punto.x(), Punto.y()); });
  V.Lienzo->FijaMano(Mano);
}

void TEleccionVentana::LienzoPulsa(QPointF Punto) {
  V.Orden([&](TMesaTrabajo& m) { m.LienzoPulsa(Punto.x(), Punto.y()); });
}

void TEleccionVentana::SeleccionaRedex(bool Siguiente) {
  V.Orden([&](TMesaTrabajo& m) { m.SeleccionaRedex(Siguiente); });
  MuestraSeleccion(true);
}

void TEleccionVentana::ContraeSeleccionado() {
  V.Orden([&](TMesaTrabajo& m) { m.ContraeSeleccionado(); });
  MuestraSeleccion(true);
}

void TEleccionVentana::MuestraSeleccion(bool Ir) {
  std::vector<TRango> Redex;
  V.Orden([&](TMesaTrabajo& m) {
    if (int64_t k = m.Eleccion.SeleccionEnTexto(); k >= 0) {
      const TRango* r = m.Eleccion.RangosRedex().data() + 3 * k;
      Redex.assign(r, r + 3);
    }
  });
  if (Ir && !Redex.empty()) V.Memo1->MuestraPosicion(Redex[0].Desde);
  V.Memo1->FijaApuntado(std::move(Redex), false);
}
