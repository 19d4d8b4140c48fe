// SPDX-License-Identifier: GPL-3.0-or-later
// The one walk of the printed syntax, which the printer, the numbering and the reading plug
// into. Private to terms/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uNombresInterno.h"
#include "uPliegue.h"

// What every sink of the walk has unless it says otherwise.
struct TSumidero {
  static constexpr bool ConRangos = false, CierraAlAbrir = false, SinOrden = false;
  // An application, met before its function part.
  void Aplicacion() {}
};

// The one walk of the printed syntax. It tells what the printer writes, piece by piece, to a
// sink that writes it, counts it, numbers the variables on the way, or stops at a length:
//   Literal(l): fixed text; Nombre(v): an occurrence of v; Ligador(v): an abstraction's variable,
//   met before its body; Cierres(c): c closing parentheses; Basta(): whether to stop here.
// A sink with CierraAlAbrir, to which the order of the parentheses makes no difference (a count),
// hears each ")" with its "(", and one with SinOrden, to which no order does, hears an argument
// with its application: the walk then keeps fewer entries on its stack.
// A sink with ConRangos also learns where each wanted node (marked Buscado) starts and ends:
//   Pos(): the length so far; TrasApertura(): whether "(" was the last thing written;
//   Empieza(n, desde), Termina(k), Hijo(ap, lado, desde, hasta): as TBuscados's.
// With Pliega, a folded node (see uPliegue.h) prints as its name, Palabra(nombre), the way a
// variable prints, and the walk does not enter it.
// Every part is forced inline: the walk must cost what a printer written out by hand costs.
template <class S, bool Pliega = false>
class TImpresor {
 public:
  // The stack lies outside: the walk's own state must not escape with it, so that the sink's
  // cursor stays in a register.
  TImpresor(S& s, std::vector<uintptr_t>& pila, const std::function<void()>& pulso,
            const TPliegue* pliegue = nullptr)
      : Sumidero(s), Pila(pila), Pulso(pulso), Pliegue(pliegue) {}

  [[gnu::always_inline]] void Recorre(TExprLambda* n) {
    std::size_t k = 0;
    for (;;) {
      while (n) {
        Late(Pulso, k);
        n = Nodo(n);
        if (Sumidero.Basta()) return;
      }
      if (Pila.empty() || Sumidero.Basta()) return;
      n = Desapila();
    }
  }

 private:
  // The printing stack holds what is still due once the node being printed is done, one word an
  // entry, the kind in the low bits (nodes are at least 8-byte aligned):
  //   eSigue, eSigueCierra: an application whose function part is being printed; its argument
  //     comes next, after the ")" that closes an abstraction in function place for eSigueCierra;
  //   eCierres: so many closing parentheses, shared by arguments that end together, so that a
  //     chain of arguments keeps the stack small;
  //   eFin: the end of the range of Eventos[k] of a TBuscados.
  enum : uintptr_t { eSigue = 0, eCierres = 1, eFin = 2, eSigueCierra = 3, eTipo = 3, eUno = 4 };

  S& Sumidero;
  std::vector<uintptr_t>& Pila;
  const std::function<void()>& Pulso;
  const TPliegue* Pliegue;
  // For a sink with CierraAlAbrir that keeps the order of the rest: the node to print next is
  // the function part of an application, so an abstraction there prints between parentheses.
  static constexpr bool LugarAparte = S::CierraAlAbrir && !S::SinOrden;
  bool EnFuncion = false;

  // What `n` itself prints; returns the node to print next, or null when `n` is done.
  [[gnu::always_inline]] TExprLambda* Nodo(TExprLambda* n) {
    if (EsVariable(n)) {
      Sumidero.Nombre(static_cast<TVariable*>(n));
      return nullptr;
    }
    bool Quiere = false;
    if constexpr (S::ConRangos) {
      Quiere = n->Marca & BitsMarca::Buscado;
      if (__builtin_expect(Quiere, 0)) Empieza(n);
    }
    if constexpr (Pliega) {
      if (const std::string* r = Pliegue->Rotulo(n)) {
        if constexpr (LugarAparte) EnFuncion = false;
        Sumidero.Palabra(*r);
        return nullptr;
      }
    }
    if (EsFuncion(n)) {
      if constexpr (LugarAparte) {
        if (EnFuncion) Sumidero.Literal("()");
        EnFuncion = false;
      }
      TFuncion* f = static_cast<TFuncion*>(n);
      Sumidero.Literal("\\ ");
      Sumidero.Ligador(f->Param);
      Sumidero.Literal(" . ");
      return f->Cuerpo;
    }
    TAplicacion* ap = static_cast<TAplicacion*>(n);
    if constexpr (LugarAparte) EnFuncion = false;
    Sumidero.Aplicacion();
    TExprLambda* fn = ap->Func;
    if (EsVariable(fn)) {
      Hijo(ap, 1, static_cast<TVariable*>(fn), Quiere);
      return Argumento(ap->Arg, ap, Quiere);
    }
    // The argument comes after the whole function part: fetching it now overlaps its cache
    // miss with that walk, which matters on a term scattered in memory.
    __builtin_prefetch(ap->Arg);
    // With CierraAlAbrir the stack holds the argument itself: printed already without order, to
    // print after the function part otherwise.
    if constexpr (S::SinOrden) {
      if (EntreParentesis(fn)) Sumidero.Literal("()");
      if (TExprLambda* a = Argumento(ap->Arg, ap, false))
        Pila.push_back(reinterpret_cast<uintptr_t>(a));
    } else if constexpr (S::CierraAlAbrir) {
      EnFuncion = true;
      Pila.push_back(reinterpret_cast<uintptr_t>(ap->Arg));
    } else if (EntreParentesis(fn)) {
      Sumidero.Literal("(");
      Pila.push_back(reinterpret_cast<uintptr_t>(ap) | eSigueCierra);
    } else {
      Pila.push_back(reinterpret_cast<uintptr_t>(ap) | eSigue);
    }
    return fn;
  }

  // The part of an application `ap` after its function: its argument `a`, a variable at once, a
  // compound one between parentheses that close once it is done (the node to print next).
  // `Quiere`: `ap` is wanted.
  [[gnu::always_inline]] TExprLambda* Argumento(TExprLambda* a, TAplicacion* ap, bool Quiere) {
    if (EsVariable(a)) {
      Sumidero.Literal(" ");
      Hijo(ap, 2, static_cast<TVariable*>(a), Quiere);
      return nullptr;
    }
    if constexpr (Pliega) {
      if (const std::string* r = Pliegue->Rotulo(a)) {
        Sumidero.Literal(" ");
        Plegado(a, *r);
        return nullptr;
      }
    }
    Sumidero.Literal(" (");
    if constexpr (S::CierraAlAbrir) {
      Sumidero.Cierres(1);
      return a;
    }
    if (!Pila.empty() && (Pila.back() & eTipo) == eCierres && Pila.back() < UINTPTR_MAX - eUno)
      Pila.back() += eUno;
    else
      Pila.push_back(eUno | eCierres);
    return a;
  }

  // An abstraction in function place prints between parentheses, unless it prints as a name.
  [[gnu::always_inline]] bool EntreParentesis(TExprLambda* fn) const {
    if constexpr (Pliega) return EsFuncion(fn) && !Pliegue->Rotulo(fn);
    return EsFuncion(fn);
  }

  // A folded argument, whose range, when wanted, is its name.
  void Plegado(TExprLambda* a, const std::string& Nombre) {
    if constexpr (S::ConRangos) {
      if (a->Marca & BitsMarca::Buscado) {
        const std::size_t k = Sumidero.Empieza(a, Sumidero.Pos());
        Sumidero.Palabra(Nombre);
        Sumidero.Termina(k);
        return;
      }
    }
    Sumidero.Palabra(Nombre);
  }

  // A variable child of `ap` on Lado 1 (Func) or 2 (Arg).
  [[gnu::always_inline]] void Hijo(TAplicacion* ap, int Lado, TVariable* v, bool Quiere) {
    if constexpr (S::ConRangos) {
      if (__builtin_expect(Quiere, 0)) {
        std::size_t Desde = Sumidero.Pos();
        Sumidero.Nombre(v);
        Sumidero.Hijo(ap, Lado, Desde, Sumidero.Pos());
        return;
      }
    }
    Sumidero.Nombre(v);
  }

  // The next entry of the stack; returns the node to print next, or null.
  [[gnu::always_inline]] TExprLambda* Desapila() {
    uintptr_t e = Pila.back();
    Pila.pop_back();
    // With the closing parentheses heard at the opening, the stack holds only arguments: printed
    // already when the sink keeps no order, to print now otherwise.
    if constexpr (S::SinOrden) return reinterpret_cast<TExprLambda*>(e);
    if constexpr (S::CierraAlAbrir)
      return Argumento(reinterpret_cast<TExprLambda*>(e), nullptr, false);
    TAplicacion* ap = reinterpret_cast<TAplicacion*>(e & ~eTipo);
    switch (e & eTipo) {
      case eCierres:
        Sumidero.Cierres(e >> 2);
        return nullptr;
      case eFin:
        if constexpr (S::ConRangos) Sumidero.Termina(e >> 2);
        return nullptr;
      case eSigueCierra:
        Sumidero.Literal(")");
        return Argumento(ap->Arg, ap, S::ConRangos && (ap->Marca & BitsMarca::Buscado));
      default:
        return Argumento(ap->Arg, ap, S::ConRangos && (ap->Marca & BitsMarca::Buscado));
    }
  }

  // A wanted node starts. Its range takes in the parentheses its parent prints around it: the
  // "(" just written, and the ")" that the entry on top of the stack writes, so the eFin that
  // ends the range goes after that one. Right after a "(" is an argument when the entry on top
  // is its closing eCierres, an abstraction in function place when it is the eSigueCierra of
  // its application; any other node starts after a blank, or at the start of its parent with
  // another entry on top.
  [[gnu::noinline]] void Empieza(TExprLambda* n) {
    int Sitio = 0;
    if (Sumidero.TrasApertura() && !Pila.empty()) {
      uintptr_t Tipo = Pila.back() & eTipo;
      Sitio = Tipo == eCierres ? 1 : Tipo == eSigueCierra ? 2 : 0;
    }
    std::size_t j = Sumidero.Empieza(n, Sumidero.Pos() - (Sitio ? 1 : 0));
    if (Sitio == 1) {
      if ((Pila.back() >> 2) > 1)
        Pila.back() -= eUno;
      else
        Pila.pop_back();
    } else if (Sitio == 2) {
      Pila.back() &= ~eTipo;  // eSigue
    }
    Pila.push_back(static_cast<uintptr_t>(j) << 2 | eFin);
    if (Sitio) Pila.push_back(eUno | eCierres);
  }
};

template <class S>
[[gnu::always_inline]] inline void Recorre(TExprLambda* t, S& s,
                                           const std::function<void()>& Pulso) {
  // Not kept between calls: the pulse may let a window print meanwhile.
  std::vector<uintptr_t> Pila;
  Pila.reserve(64);
  TImpresor<S>(s, Pila, Pulso).Recorre(t);
}

// The same walk, folding what `Pliegue` folds (none: Recorre's).
template <class S>
void RecorrePlegando(TExprLambda* t, S& s, const std::function<void()>& Pulso,
                     const TPliegue* Pliegue) {
  if (!Pliegue) return Recorre(t, s, Pulso);
  std::vector<uintptr_t> Pila;
  Pila.reserve(64);
  TImpresor<S, true>(s, Pila, Pulso, Pliegue).Recorre(t);
}

// The names of the display numbers: letters, or the names kept (see uNombres.h).
struct TLetras {
  [[gnu::always_inline]] static std::size_t Longitud(int32_t i) { return LongitudNombre(i); }
  [[gnu::always_inline]] static char* Agrega(char* p, int32_t i) { return AgregaNombre(p, i); }
};
struct TConservados {
  static std::size_t Longitud(int32_t i) { return LongitudConservado(i); }
  static char* Agrega(char* p, int32_t i) { return AgregaConservado(p, i); }
};

// Counts what the printer would write, stopping at the first count above Tope.
template <class Nombres>
struct TMedidorDe : TSumidero {
  static constexpr bool CierraAlAbrir = true, SinOrden = true;
  std::size_t Longitud = 0;
  std::size_t Tope = SIZE_MAX;
  template <std::size_t N>
  [[gnu::always_inline]] void Literal(const char (&)[N]) {
    Longitud += N - 1;
  }
  [[gnu::always_inline]] void Nombre(const TVariable* v) {
    Longitud += Nombres::Longitud(v->Indice);
  }
  [[gnu::always_inline]] void Ligador(const TVariable* v) { Nombre(v); }
  [[gnu::always_inline]] void Cierres(std::size_t c) { Longitud += c; }
  void Palabra(const std::string& s) { Longitud += s.size(); }
  [[gnu::always_inline]] bool Basta() const { return Longitud > Tope; }
};
using TMedidor = TMedidorDe<TLetras>;

// Numbers the variables as the printer meets them, and counts what it would write under those
// numbers: a bound variable takes the next number at its binder, a free one at its first
// occurrence, which the scratch bit Numerada tells until the end.
// The free variables numbered lie outside, as the walk's stack does, and lose their mark when
// they go, whatever happens (the pulse may throw).
struct TLibresNumeradas {
  std::vector<TVariable*> Libres;
  ~TLibresNumeradas() {
    for (TVariable* v : Libres) v->Marca &= ~BitsMarca::Numerada;
  }
};

struct TNumerador : TMedidor {
  static constexpr bool SinOrden = false;
  explicit TNumerador(std::vector<TVariable*>& libres) : Libres(libres) {}
  int32_t Num = 0;
  std::vector<TVariable*>& Libres;
  [[gnu::always_inline]] void Nombre(TVariable* v) {
    if (v->Libre && !(v->Marca & BitsMarca::Numerada)) [[unlikely]] {
      Libres.push_back(v);
      v->Marca |= BitsMarca::Numerada;
      v->Indice = Num++;
    }
    TMedidor::Nombre(v);
  }
  [[gnu::always_inline]] void Ligador(TVariable* v) {
    v->Indice = Num++;
    TMedidor::Nombre(v);
  }
  static constexpr bool Basta() { return false; }
};
