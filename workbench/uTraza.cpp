// SPDX-License-Identifier: GPL-3.0-or-later
#include "uTraza.h"

#include "uTextos.h"

void TTraza::Empieza(std::string Entrada) {
  Vacia();
  Activo = true;
  TextoEntrada = std::move(Entrada);
}

void TTraza::Vacia() {
  Activo = false;
  Estado = Marcado = {};
  Lista.clear();
  Siguiente.clear();
  Cursor = 0;
  Memoria = 0;
  NodosLineas = 0;
  Fuera = 0;
  FueraPorCuenta = false;
  TextoEntrada.clear();
}

namespace {

uint32_t BitModo(TModo m) {
  return 1u << (2 * static_cast<uint32_t>(m.Estrategia) + (m.Eta ? 1 : 0));
}

}  // namespace

std::size_t TTraza::Peso(const TLinea& l) {
  // A term's nodes are 32 bytes each.
  return l.Forma->size() + l.Marcas.size() * sizeof(TRango) + 32 * l.Nodos;
}

void TTraza::Pasada(bool Multiple, int64_t Contracciones, bool Cambio, TModo Modo, bool Elegido) {
  if (!Activo || !Cambio) return;
  Marcado = Estado;
  if (Cursor < Lista.size()) {
    // A step from a line gone back to: the lines after it were another road.
    while (Lista.size() > Cursor + 1) {
      Memoria -= Peso(Lista.back());
      NodosLineas -= Lista.back().Nodos;
      Lista.pop_back();
    }
    TLinea& l = Lista[Cursor];
    Memoria -= Peso(l);
    l.Marcas = std::move(Siguiente);
    l.Por = Elegido ? TPor::Elegido : Multiple ? TPor::Multiple : TPor::Modo;
    l.Modo = Modo;
    Memoria += Peso(l);
  }
  Siguiente.clear();
  ++Estado.Pasos;
  Estado.Contracciones += Contracciones;
  if (!Modo.Clasico())
    Estado.Otros |= BitModo(Modo);
  else
    (Multiple ? Estado.Multiple : Estado.Simple) = true;
  Cursor = Lista.size();
  Descarta();
}

void TTraza::Deshaz() {
  if (!Activo) return;
  Estado = Marcado;
  while (!Lista.empty() && Lista.back().Estado.Pasos > Estado.Pasos) {
    Memoria -= Peso(Lista.back());
    NodosLineas -= Lista.back().Nodos;
    Lista.pop_back();
  }
  Siguiente.clear();
  Cursor = Lista.size();
  if (Lista.empty() || Lista.back().Estado.Pasos != Estado.Pasos) return;
  // No step has left this line now.
  TLinea& l = Lista.back();
  Memoria -= Peso(l);
  l.Marcas.clear();
  l.Por = TPor::Nada;
  Memoria += Peso(l);
  --Cursor;
}

bool TTraza::Ir(std::size_t i) {
  if (!Activo || i >= Lista.size() || !Lista[i].EsTermino) return false;
  Estado = Marcado = Lista[i].Estado;
  Cursor = i;
  Siguiente.clear();
  return true;
}

bool TTraza::FaltaForma() const {
  return Activo && Cursor == Lista.size();
}

void TTraza::Anota(TTextoCompartido Forma, const std::vector<TRango>& Sig, bool EsTermino,
                   TTerminoCompartido Termino, std::size_t Nodos) {
  if (!Activo) return;
  if (!FaltaForma()) {
    Siguiente = Sig;
    return;
  }
  Siguiente = EsTermino ? Sig : std::vector<TRango>();
  // A form that alone passes the cap is not kept, but its place is.
  if (Forma->size() > Limite) {
    Forma = std::make_shared<const std::string>(Mensajes::FormaNoGuardada);
    EsTermino = false;
    Siguiente.clear();
  }
  TLinea l;
  l.Estado = Estado;
  l.Forma = std::move(Forma);
  l.EsTermino = EsTermino;
  if (EsTermino && 32 * Nodos <= Limite) {
    l.Termino = std::move(Termino);
    l.Nodos = l.Termino ? Nodos : 0;
  }
  Memoria += Peso(l);
  NodosLineas += l.Nodos;
  Lista.push_back(std::move(l));
  Cursor = Lista.size() - 1;
  Descarta();
}

void TTraza::Descarta() {
  while (Lista.size() > 1 && (Memoria > Limite || Lista.size() > MaxLineas)) {
    FueraPorCuenta = Memoria <= Limite;
    Memoria -= Peso(Lista.front());
    NodosLineas -= Lista.front().Nodos;
    Lista.pop_front();
    ++Fuera;
    if (Cursor > 0) --Cursor;
  }
}

std::string TTraza::AvisoDescartadas() const {
  if (Fuera == 0) return {};
  return FueraPorCuenta ? Mensajes::LineasDescartadasPorCuenta(Fuera, MaxLineas)
                        : Mensajes::LineasDescartadas(Fuera, Limite);
}

std::size_t TTraza::Bytes() const {
  // Each form is a string in a block of its own, with the shared pointer's count beside it.
  constexpr std::size_t PorForma = sizeof(std::string) + 2 * sizeof(long);
  return Memoria + Lista.size() * (sizeof(TLinea) + PorForma) + TextoEntrada.size();
}

std::string TTraza::Como(const TLinea& l) {
  switch (l.Por) {
    case TPor::Nada:
      return {};
    case TPor::Elegido:
      return "elegido";
    case TPor::Multiple:
      return "beta m\xFAltiple";
    case TPor::Modo:
      break;
  }
  return NombreEstrategia(l.Modo.Estrategia) +
         std::string(l.Modo.Eta ? " con reducci\xF3n eta" : "");
}

// Under the line's text, a '^' under every byte of a contracted redex, then how it was chosen.
void TTraza::LineaMarcada(std::string& s, const TLinea& l) const {
  if (l.Por == TPor::Nada) return;
  std::string m(std::to_string(l.Estado.Pasos).size() + 2, ' ');
  const std::size_t Base = m.size();
  for (std::size_t k = 0; k < l.Marcas.size(); k += 3) {
    const TRango& r = l.Marcas[k];
    if (r.Hasta <= r.Desde) continue;
    if (m.size() < Base + r.Hasta) m.resize(Base + r.Hasta, ' ');
    std::fill(m.begin() + static_cast<std::ptrdiff_t>(Base + r.Desde),
              m.begin() + static_cast<std::ptrdiff_t>(Base + r.Hasta), '^');
  }
  s += m;
  s += m.size() > Base ? "  " : "";
  s += Como(l);
  s += "\r\n";
}

std::string TTraza::Texto(bool MultipleAhora, TModo ModoAhora, bool ConMarcas) const {
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
  if (ConMarcas) s += Mensajes::ExpresionEntrada + TextoEntrada + Fin;
  if (Fuera > 0) s += AvisoDescartadas() + Fin;
  s.reserve(s.size() + (ConMarcas ? 2 : 1) * Memoria + Lista.size() * 24);
  int64_t Anterior = Lista.empty() ? 0 : Lista.front().Estado.Pasos - 1;
  if (Fuera == 0) Anterior = -1;
  for (const TLinea& l : Lista) {
    const int64_t Paso = l.Estado.Pasos;
    if (Paso > Anterior + 1) s += Mensajes::PasosSinMostrar(Paso - Anterior - 1) + Fin;
    s += std::to_string(Paso);
    s += ": ";
    s += *l.Forma;
    s += Fin;
    if (ConMarcas) LineaMarcada(s, l);
    Anterior = Paso;
  }
  if (Estado.Pasos > Anterior) s += Mensajes::PasosSinMostrar(Estado.Pasos - Anterior) + Fin;
  return s;
}
