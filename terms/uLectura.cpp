// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLectura.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uNombres.h"
#include "uPliegue.h"
#include "uRecorrido.h"

namespace {

// The fingerprint is a hash of the pre-order sequence of the nodes, which tells the term apart:
// an application, an abstraction, a bound occurrence by the place of its binder among the
// binders in that order (low bits 01), a free one by its address (low bits 00). Each node's
// token is mixed with its position and the results added up, so that no node waits for the hash
// of the one before it.
constexpr uint64_t FichaAplicacion = 2, FichaFuncion = 6;
inline uint64_t Mezcla(uint64_t Ficha, uint64_t Posicion) {
  uint64_t x = (Ficha ^ (Posicion * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
  return x ^ (x >> 31);
}

// A Church numeral's pre-order sequence: two abstractions, then n times an application and the
// first binder's variable, then the second's, and nothing after it.
enum TEstadoNumeral : uint8_t { Ninguno, UnaLambda, Cuerpo, TrasAplicacion, Fin, NoEs };

// A sink of the printer's walk that reads the term. A binder's variable lends its Marca, which
// holds the binder's place meanwhile; the variable and what it held wait in Prestadas, and go
// back at the end whatever happens.
struct TLeedor : TSumidero {
  static constexpr bool CierraAlAbrir = true;
  explicit TLeedor(std::vector<uintptr_t>& prestadas) : Prestadas(prestadas) { Prestadas.clear(); }
  TLeedor(const TLeedor&) = delete;
  TLeedor& operator=(const TLeedor&) = delete;
  ~TLeedor() {
    for (std::size_t i = 0; i < Prestadas.size(); i += 2)
      reinterpret_cast<TVariable*>(Prestadas[i])->Marca = static_cast<uint32_t>(Prestadas[i + 1]);
  }

  uint64_t Huella = 0;
  std::size_t Nodos = 0;
  std::size_t Tope = SIZE_MAX;
  TEstadoNumeral Estado = Ninguno;
  int64_t Aplicaciones = 0;

  template <std::size_t N>
  void Literal(const char (&)[N]) {}
  void Cierres(std::size_t) {}
  bool Basta() const { return Nodos > Tope; }

  [[gnu::always_inline]] void Aplicacion() {
    Estado = Estado == Cuerpo ? TrasAplicacion : NoEs;
    Aplicaciones += Estado == TrasAplicacion;
    Ficha(FichaAplicacion);
  }
  [[gnu::always_inline]] void Ligador(TVariable* v) {
    Estado = Estado == Ninguno ? UnaLambda : Estado == UnaLambda ? Cuerpo : NoEs;
    Prestadas.push_back(reinterpret_cast<uintptr_t>(v));
    Prestadas.push_back(v->Marca);
    v->Marca = Ligadores++;
    Ficha(FichaFuncion);
  }
  [[gnu::always_inline]] void Nombre(const TVariable* v) {
    if (v->Libre) {
      Estado = NoEs;
      Ficha(reinterpret_cast<uintptr_t>(v));
      return;
    }
    uint32_t Lugar = v->Marca;
    if (Estado == TrasAplicacion && Lugar == 0)
      Estado = Cuerpo;
    else if (Estado == Cuerpo && Lugar == 1)
      Estado = Fin;
    else
      Estado = NoEs;
    Ficha((uint64_t(Lugar) << 2) | 1);
  }

 private:
  std::vector<uintptr_t>& Prestadas;
  uint32_t Ligadores = 0;

  [[gnu::always_inline]] void Ficha(uint64_t f) { Huella += Mezcla(f, ++Nodos); }
};

void Resultado(const TLeedor& L, TLectura& r) {
  r.Huella = L.Huella;
  r.Nodos = L.Nodos;
  r.Numeral = L.Estado == Fin ? L.Aplicaciones : -1;
}

// Numbers the term and reads it in the one walk.
struct TNumeradorYLeedor : TSumidero {
  static constexpr bool CierraAlAbrir = true;
  TNumerador& N;
  TLeedor& L;
  template <std::size_t K>
  [[gnu::always_inline]] void Literal(const char (&l)[K]) {
    N.Literal(l);
  }
  [[gnu::always_inline]] void Cierres(std::size_t c) { N.Cierres(c); }
  static constexpr bool Basta() { return false; }
  [[gnu::always_inline]] void Aplicacion() { L.Aplicacion(); }
  // The numbering first: a binder's Marca is lent to the reading once its own bits are read.
  [[gnu::always_inline]] void Ligador(TVariable* v) {
    N.Ligador(v);
    L.Ligador(v);
  }
  [[gnu::always_inline]] void Nombre(TVariable* v) {
    N.Nombre(v);
    L.Nombre(v);
  }
};

}  // namespace

bool LeeTermino(TExprLambda* t, TLectura& r, std::size_t Tope, std::vector<uintptr_t>& Pila) {
  TLeedor L(Pila);
  L.Tope = Tope;
  Recorre(t, L, {});
  if (L.Nodos > Tope) return false;
  Resultado(L, r);
  return true;
}

std::size_t RenumeraYLee(TExprLambda* t, int32_t& NumVars, TLectura& r,
                         std::vector<uintptr_t>& Pila, const std::function<void()>& Pulso,
                         const TModoImpresion& Modo) {
  // A name kept or a fold changes what the numbering walk meets: the reading walks apart.
  if (Modo.ConservaNombres || PliegueDe(Modo, t)) {
    std::size_t Longitud = Renumera(t, NumVars, Pulso, Modo);
    TLeedor L(Pila);
    Recorre(t, L, Pulso);
    Resultado(L, r);
    return Longitud;
  }
  TLibresNumeradas Libres;
  TNumerador N(Libres.Libres);
  TLeedor L(Pila);
  TNumeradorYLeedor Ambos{{}, N, L};
  Recorre(t, Ambos, Pulso);
  NumVars = N.Num;
  Resultado(L, r);
  return N.Longitud;
}

TLectura LeeTermino(TExprLambda* t) {
  TLectura r;
  std::vector<uintptr_t> Pila;
  LeeTermino(t, r, SIZE_MAX, Pila);
  return r;
}

namespace {

// Stack entries are nodes, or a binder's variable with the low bit set: the walk leaves that
// binder's scope there. Nodes come aligned, so the bit is free. Below each such exit lies the
// variable's own Marca (its level, which the engine relies on), shifted clear of that bit, to be
// given back when the scope ends.
constexpr uintptr_t Salida = 1;

inline uintptr_t Entrada(TExprLambda* n) {
  return reinterpret_cast<uintptr_t>(n);
}
inline TExprLambda* Nodo(uintptr_t e) {
  return reinterpret_cast<TExprLambda*>(e);
}
inline TVariable* Ligadora(uintptr_t e) {
  return reinterpret_cast<TVariable*>(e & ~Salida);
}

inline uintptr_t Guardada(TVariable* v) {
  return uintptr_t(v->Marca) << 1;
}
inline void Devuelve(uintptr_t Salida, uintptr_t Guardada) {
  Ligadora(Salida)->Marca = uint32_t(Guardada >> 1);
}

// Both walks in step; a binder pair gets one depth, so two bound occurrences agree when their
// binders' depths do. Whatever way it ends, the borrowed marks of the binders still open go back.
class TComparacion {
 public:
  explicit TComparacion(bool PorNombre) : LibresPorNombre(PorNombre) {}
  TComparacion(const TComparacion&) = delete;
  TComparacion& operator=(const TComparacion&) = delete;
  ~TComparacion() {
    while (!Pila.empty()) {
      auto [x, y] = Pila.back();
      Pila.pop_back();
      if (x & Salida) Sale(x, y);
    }
  }

  bool Compara(TExprLambda* a, TExprLambda* b) {
    Pila.push_back({Entrada(a), Entrada(b)});
    while (!Pila.empty()) {
      auto [x, y] = Pila.back();
      Pila.pop_back();
      if (x & Salida) {
        Sale(x, y);
        --Profundidad;
      } else if (!Par(Nodo(x), Nodo(y))) {
        return false;
      }
    }
    return true;
  }

 private:
  std::vector<std::pair<uintptr_t, uintptr_t>> Pila;
  uint32_t Profundidad = 0;
  const bool LibresPorNombre;

  // The end of a pair of scopes, just taken off the stack: the marks saved below it go back.
  void Sale(uintptr_t x, uintptr_t y) {
    Devuelve(x, Pila.back().first);
    Devuelve(y, Pila.back().second);
    Pila.pop_back();
  }

  // Whether p and q agree as far as they go themselves; their children wait on the stack.
  bool Par(TExprLambda* p, TExprLambda* q) {
    if (p == q) return true;  // one free variable, reached from both
    if (TAplicacion* ap = ComoAplicacion(p)) {
      TAplicacion* aq = ComoAplicacion(q);
      if (!aq) return false;
      Pila.push_back({Entrada(ap->Arg), Entrada(aq->Arg)});
      Pila.push_back({Entrada(ap->Func), Entrada(aq->Func)});
      return true;
    }
    if (TFuncion* fp = ComoFuncion(p)) {
      TFuncion* fq = ComoFuncion(q);
      if (!fq) return false;
      Pila.push_back({Guardada(fp->Param), Guardada(fq->Param)});
      fp->Param->Marca = fq->Param->Marca = ++Profundidad;
      Pila.push_back({Entrada(fp->Param) | Salida, Entrada(fq->Param) | Salida});
      Pila.push_back({Entrada(fp->Cuerpo), Entrada(fq->Cuerpo)});
      return true;
    }
    TVariable* vp = static_cast<TVariable*>(p);
    TVariable* vq = ComoVariable(q);
    // Two different free variables (but of one name, when names count), or a free and a bound
    // one, differ.
    if (vq && vp->Libre && vq->Libre && LibresPorNombre)
      return vp->Nombre != SinNombre && vp->Nombre == vq->Nombre;
    return vq && !vp->Libre && !vq->Libre && vp->Marca == vq->Marca;
  }
};

}  // namespace

bool MismaEstructura(TExprLambda* a, TExprLambda* b) {
  if (a == b) return true;
  return TComparacion(false).Compara(a, b);
}

bool MismoTerminoEscrito(TExprLambda* a, TExprLambda* b) {
  if (a == b) return true;
  return TComparacion(true).Compara(a, b);
}
