// SPDX-License-Identifier: GPL-3.0-or-later
#include "uTraza.h"

#include "uTextos.h"

void TTraza::Empieza() {
  Vacia();
  Activo = true;
}

void TTraza::Vacia() {
  Activo = false;
  Estado = Marcado = {};
  Lineas.clear();
  Memoria = 0;
  Fuera = 0;
}

namespace {

uint32_t BitModo(TModo m) {
  return 1u << (2 * static_cast<uint32_t>(m.Estrategia) + (m.Eta ? 1 : 0));
}

}  // namespace

void TTraza::Pasada(bool Multiple, int64_t Contracciones, bool Cambio, TModo Modo) {
  if (!Activo || !Cambio) return;
  ++Estado.Pasos;
  Estado.Contracciones += Contracciones;
  if (!Modo.Clasico())
    Estado.Otros |= BitModo(Modo);
  else
    (Multiple ? Estado.Multiple : Estado.Simple) = true;
}

void TTraza::Marca() {
  Marcado = Estado;
}

void TTraza::Deshaz() {
  if (!Activo) return;
  Estado = Marcado;
  while (!Lineas.empty() && Lineas.back().Paso > Estado.Pasos) {
    Memoria -= Lineas.back().Forma->size();
    Lineas.pop_back();
  }
}

bool TTraza::FaltaForma() const {
  return Activo && (Lineas.empty() || Lineas.back().Paso != Estado.Pasos);
}

void TTraza::Anota(TTextoCompartido Forma) {
  if (!FaltaForma()) return;
  // A form that alone passes the cap is not kept, but its place is.
  if (Forma->size() > Limite)
    Forma = std::make_shared<const std::string>(Mensajes::FormaNoGuardada);
  Lineas.push_back({Estado.Pasos, std::move(Forma)});
  Memoria += Lineas.back().Forma->size();
  while (Memoria > Limite && Lineas.size() > 1) {
    Memoria -= Lineas.front().Forma->size();
    Lineas.pop_front();
    ++Fuera;
  }
}

std::string TTraza::Texto(bool MultipleAhora, TModo ModoAhora) const {
  const char* Fin = "\r\n";
  std::string s = Mensajes::TituloReduccion;
  s += Fin;
  // Without a step yet, the mode is the one the next step would take.
  const bool Ninguno = !Estado.Simple && !Estado.Multiple && Estado.Otros == 0;
  if (Ninguno && !ModoAhora.Clasico())
    s += Mensajes::ModoReduccion(false, false, BitModo(ModoAhora));
  else
    s += Mensajes::ModoReduccion(Ninguno ? !MultipleAhora : Estado.Simple,
                                 Ninguno ? MultipleAhora : Estado.Multiple, Estado.Otros);
  s += Fin;
  s += Mensajes::PasosReduccion(Estado.Pasos) + Fin;
  s += Mensajes::ContraccionesReduccion(Estado.Contracciones) + Fin;
  s += Fin;
  if (Fuera > 0) s += Mensajes::LineasDescartadas(Fuera, Limite) + Fin;
  s.reserve(s.size() + Memoria + Lineas.size() * 24);
  int64_t Anterior = Lineas.empty() ? 0 : Lineas.front().Paso - 1;
  if (Fuera == 0) Anterior = -1;
  for (const TLinea& l : Lineas) {
    if (l.Paso > Anterior + 1) s += Mensajes::PasosSinMostrar(l.Paso - Anterior - 1) + Fin;
    s += std::to_string(l.Paso);
    s += ": ";
    s += *l.Forma;
    s += Fin;
    Anterior = l.Paso;
  }
  if (Estado.Pasos > Anterior) s += Mensajes::PasosSinMostrar(Estado.Pasos - Anterior) + Fin;
  return s;
}
