// SPDX-License-Identifier: GPL-3.0-or-later
#include "uOpciones.h"

#include <cstring>

#include "vLambda.h"

void TOpciones::Marca(TOpcion o, bool Marcada) {
  if (!Habilitada(o)) return;
  Marcas[Indice(o)] = Marcada;
  Ajusta();
}

void TOpciones::Elige(TEstrategia e) {
  Modo_.Estrategia = e;
  Ajusta();
}

bool TOpciones::Habilitada(TOpcion o) const {
  if (o == TOpcion::Eta) return AdmiteEta(Modo_.Estrategia);
  if (o == TOpcion::Multiple) return Modo_.Clasico();
  return true;
}

void TOpciones::Ajusta() {
  // η first: whether it holds decides whether the mode is the classic one.
  if (!AdmiteEta(Modo_.Estrategia)) Marcas[Indice(TOpcion::Eta)] = false;
  Modo_.Eta = Marcas[Indice(TOpcion::Eta)];
  if (!Modo_.Clasico()) Marcas[Indice(TOpcion::Multiple)] = false;
}

TOpciones::TOrdenMesa TOpciones::Orden(TOpcion o) {
  switch (o) {
    case TOpcion::Multiple:
    case TOpcion::Eta:
    case TOpcion::Halo:
      return &TMesaTrabajo::OpcionesClick;
    case TOpcion::Nombres:
    case TOpcion::Pliegue:
      return &TMesaTrabajo::NombresClick;
    case TOpcion::Pasos:
      return &TMesaTrabajo::MostrarPasos1Click;
    case TOpcion::Ciclo:
      break;
  }
  return nullptr;
}

const char* TOpciones::Nombre(TOpcion o) {
  switch (o) {
    case TOpcion::Multiple:
      return "Betamltiple1";
    case TOpcion::Eta:
      return "ReduccionEta1";
    case TOpcion::Halo:
      return "HaloDiagrama1";
    case TOpcion::Ciclo:
      return "DetenerCiclo1";
    case TOpcion::Pasos:
      return "MostrarPasos1";
    case TOpcion::Nombres:
      return "ConservarNombres1";
    case TOpcion::Pliegue:
      return "NombresDefiniciones1";
  }
  return "";
}

bool TOpciones::DeNombre(const char* Nombre, TOpcion& o) {
  for (TOpcion p : OpcionesDelMenu)
    if (std::strcmp(Nombre, TOpciones::Nombre(p)) == 0) {
      o = p;
      return true;
    }
  return false;
}
