// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLector.h"

#include <algorithm>

#include "uLambda.h"
#include "uTextos.h"

namespace {

constexpr std::size_t LargoEntrada = 60;

}  // namespace

std::string EntradaDefinicion(const TDefinicion& d) {
  return d.Nombre + " = " + TextoCorto(d.Termino, LargoEntrada);
}

void TLector::Recalcula(const TDefiniciones& d) {
  Definiciones.clear();
  Definiciones.reserve(d.Cuenta());
  for (const TDefinicion& e : d) Definiciones.push_back(LeeTermino(e.Termino));
}

void TLector::Recalcula(const TDefiniciones& d, std::size_t i) {
  if (Definiciones.size() + 1 == d.Cuenta() && i + 1 == d.Cuenta())
    Definiciones.push_back(LeeTermino(d[i].Termino));
  else if (Definiciones.size() == d.Cuenta() && i < d.Cuenta())
    Definiciones[i] = LeeTermino(d[i].Termino);
  else
    Recalcula(d);
}

void TLector::Invalida() {
  ++Pasada;
  Leida = false;
  Periodo = 0;
  OlvidaRecientes();
  // A stack grown for a deep term that has gone goes back to the allocator.
  if (Pila.capacity() > (std::size_t(1) << 17)) std::vector<uintptr_t>().swap(Pila);
  NumTamanos = 0;
}

bool TLector::VigilaPasada(TExprLambda* t) {
  // What was seen otherwise, in the middle of a run or in the other mode, does not tell an
  // exact period; the run's first term does.
  const bool Desde0 = !Vigilando && Pasada == PasadaInicial + 1;
  if ((!Vigilando && !Desde0) || MultipleVigilado != MultipleActual) {
    OlvidaRecientes();
    NumTamanos = 0;
  }
  Vigilando = true;
  MultipleVigilado = MultipleActual;
  if (!Cambiado) return false;
  const std::size_t n = NodosVivos() - Apartados;
  bool Igual = false;
  for (std::size_t k = 0; k < std::min(NumTamanos, Tamanos); ++k) Igual |= UltimosTamanos[k] == n;
  UltimosTamanos[NumTamanos++ % Tamanos] = n;
  if (!Igual) return false;
  Reloj::time_point Antes = Reloj::now();
  LeeTermino(t, Ultima, SIZE_MAX, Pila);
  Credito.Gasta(Reloj::now() - Antes, Ultima.Nodos);
  Leida = true;
  return Anota(Ultima);
}

void TLector::DejaDeVigilar() {
  Vigilando = false;
  OlvidaRecientes();
  NumTamanos = 0;
}

const TLectura& TLector::Lectura(TExprLambda* t) {
  if (!Leida) {
    const bool Mide = Credito.Mide();
    Reloj::time_point Antes = Mide ? Reloj::now() : Reloj::time_point();
    LeeTermino(t, Ultima, SIZE_MAX, Pila);
    if (Mide) Credito.Medida(Reloj::now() - Antes, Ultima.Nodos);
    Toma(Ultima);
  }
  return Ultima;
}

void TLector::Toma(const TLectura& r) {
  Ultima = r;
  Credito.Preve(Ultima.Nodos);
  Leida = true;
  if (Corriendo && Cambiado) Anota(Ultima);
}

std::size_t TLector::Numera(TExprLambda* t, int32_t& NumVars, const std::function<void()>& Pulso,
                            const TModoImpresion& Modo) {
  if (Leida) return Renumera(t, NumVars, Pulso, Modo);
  TLectura r;
  // The walk may pause in Pulso, and what runs meanwhile may read a term too: it must not find
  // this walk's stack, so the walk takes it for itself while it lasts.
  std::vector<uintptr_t> Propia = std::move(Pila);
  std::size_t Longitud = RenumeraYLee(t, NumVars, r, Propia, Pulso, Modo);
  Pila = std::move(Propia);
  Toma(r);
  return Longitud;
}

bool TLector::Anota(const TLectura& r) {
  if (NumRecientes > 0 && !Vigilando) {
    const TVisto& u = Anillo[(PrimeroAnillo + NumRecientes - 1) % Recientes];
    // Only terms of consecutive passes in one mode tell a period.
    if (u.Pasada + 1 != Pasada || u.Multiple != MultipleActual) OlvidaRecientes();
  }
  bool Repite = false;
  for (std::size_t k = NumRecientes; k-- > 0;) {
    const TVisto& v = Anillo[(PrimeroAnillo + k) % Recientes];
    if (v.Huella == r.Huella && v.Nodos == r.Nodos) {
      Repite = true;
      if (Periodo == 0) Periodo = static_cast<int64_t>(Pasada - v.Pasada);
      break;
    }
  }
  TVisto Nuevo{r.Huella, r.Nodos, Pasada, MultipleActual};
  if (NumRecientes < Recientes) {
    Anillo[(PrimeroAnillo + NumRecientes++) % Recientes] = Nuevo;
  } else {
    Anillo[PrimeroAnillo] = Nuevo;
    PrimeroAnillo = (PrimeroAnillo + 1) % Recientes;
  }
  return Repite;
}

void TLector::Empieza(bool Multiple, Reloj::time_point Ahora) {
  Corriendo = true;
  Periodo = 0;
  OlvidaRecientes();
  // Watched from the first pass on, the term the run starts from counts among its sizes.
  Vigilando = false;
  PasadaInicial = Pasada;
  MultipleVigilado = Multiple;
  UltimosTamanos[0] = NodosVivos() - Apartados;
  NumTamanos = 1;
  MultipleActual = Multiple;
  Credito.Empieza(Ahora);
  Cambiado = true;
  // The term the run starts from is the first of its sequence, when it has been read already.
  if (Leida) Anota(Ultima);
}

bool TLector::LeePasada(TExprLambda* t) {
  const std::size_t Tope = Credito.Tope();
  // Always timed: a term that the pass has just changed is partly out of the cache, and reads
  // slower than any estimate made on a warm one.
  Reloj::time_point Antes = Reloj::now();
  TLectura r;
  const bool Completa = LeeTermino(t, r, Tope, Pila);
  Credito.Cobra(Reloj::now() - Antes, Completa, r.Nodos, Tope);
  if (!Completa) return false;
  Ultima = r;
  Leida = true;
  return Anota(Ultima);
}

namespace {

void Une(std::string& s, const std::string& Parte) {
  if (!s.empty()) s += Mensajes::SeparadorLectura;
  s += Parte;
}

}  // namespace

std::string TLector::Identidad(TExprLambda* t, const TLectura& r, const TDefiniciones& d,
                               const std::string& Miles) const {
  std::string s;
  if (r.Numeral >= 0) Une(s, Mensajes::LecturaNumero(static_cast<uint64_t>(r.Numeral), Miles));
  std::string Nombres;
  for (std::size_t i = 0; i < d.Cuenta(); ++i) {
    const TLectura& e = Definiciones[i];
    if (e.Huella != r.Huella || e.Nodos != r.Nodos || !MismaEstructura(t, d[i].Termino)) continue;
    if (!Nombres.empty()) Nombres += Mensajes::SeparadorNombres;
    Nombres += d[i].Nombre;
  }
  if (!Nombres.empty()) Une(s, Mensajes::LecturaIgualA(Nombres));
  return s;
}

std::string TLector::Texto(TExprLambda* t, const TDefiniciones& d, const std::string& Miles) {
  if (!t) return {};
  if (Definiciones.size() != d.Cuenta()) Recalcula(d);
  const TLectura& r = Lectura(t);
  std::string s = Identidad(t, r, d, Miles);
  Une(s, Mensajes::LecturaNodos(r.Nodos, Miles));
  if (Periodo > 0) Une(s, Mensajes::LecturaCiclo(static_cast<uint64_t>(Periodo), Miles));
  return s;
}

std::string TLector::Reconoce(TExprLambda* t, const TDefiniciones& d, const std::string& Miles,
                              std::size_t Tope) {
  if (Definiciones.size() != d.Cuenta()) Recalcula(d);
  TLectura r;
  if (!LeeTermino(t, r, Tope, Pila)) return {};
  return Identidad(t, r, d, Miles);
}
