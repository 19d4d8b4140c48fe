// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLectura.h"

#include <algorithm>
#include <bit>
#include <unordered_map>
#include <utility>

#include "uLambda.h"
#include "uLambdaInterno.h"

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

// The fingerprint is a hash of the pre-order sequence of the nodes, which tells the term apart:
// an application, an abstraction, a bound occurrence by its distance to its binder (low bits
// 01), a free one by its address (low bits 00). Each node's token is mixed with its position
// and the results added up, so that no node waits for the hash of the one before it.
constexpr uint64_t FichaAplicacion = 2, FichaFuncion = 6;
inline uint64_t Mezcla(uint64_t Ficha, uint64_t Posicion) {
  uint64_t x = (Ficha ^ (Posicion * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
  return x ^ (x >> 31);
}

// A Church numeral's pre-order sequence: two abstractions, then n times an application and the
// outer variable (distance 1), then the inner one (distance 0), and nothing after it.
enum TEstadoNumeral : uint8_t { Ninguno, UnaLambda, Cuerpo, TrasAplicacion, Fin, NoEs };

inline uintptr_t Guardada(TVariable* v) {
  return uintptr_t(v->Marca) << 1;
}
inline void Devuelve(uintptr_t Salida, uintptr_t Guardada) {
  Ligadora(Salida)->Marca = uint32_t(Guardada >> 1);
}

}  // namespace

namespace {

// What the walk does besides when it numbers the term too: Renumera's numbers, in the same
// order (a bound variable at its binder, a free one at its first occurrence, which the bit
// Renumera uses tells), and the printed length, piece by piece as LongitudTexto counts it.
struct TNumeracion {
  static constexpr uint32_t Numerada = 1u << 2;
  int32_t Num = 0;
  std::size_t Longitud = 0;
  std::vector<TVariable*> Libres;
  const std::function<void()>* Pulso = nullptr;
  ~TNumeracion() {
    for (TVariable* v : Libres) v->Marca &= ~Numerada;
  }
};

template <bool Numera>
bool Lee(TExprLambda* t, TLectura& r, std::size_t Tope, std::vector<uintptr_t>& Pila,
         TNumeracion* N) {
  uint64_t h = 0;
  std::size_t n = 0;
  uint32_t Profundidad = 0;
  TEstadoNumeral Estado = Ninguno;
  int64_t Aplicaciones = 0;
  bool Completa = true;
  // Where x stands, for the parentheses the printer writes around it (see Renumera).
  enum { Otro, Argumento, Funcion } Lugar = Otro;
  Pila.clear();
  // Gives the borrowed marks back, for the binders still open on the stack.
  auto Limpia = [&] {
    while (!Pila.empty()) {
      uintptr_t e = Pila.back();
      Pila.pop_back();
      if (e & Salida) {
        Devuelve(e, Pila.back());
        Pila.pop_back();
      }
    }
  };
  try {
    // The function part and the body are walked straight away, without going through the
    // stack; only arguments and the ends of scopes wait there.
    TExprLambda* x = t;
    while (true) {
      if (++n > Tope) {
        Completa = false;
        break;
      }
      if constexpr (Numera) {
        if (*N->Pulso && (n & 0xFFFF) == 0) (*N->Pulso)();
      }
      uint64_t Ficha;
      TExprLambda* Siguiente = nullptr;
      if (TAplicacion* ap = ComoAplicacion(x)) {
        Ficha = FichaAplicacion;
        // The argument comes off the stack only after the whole function part: fetching it now
        // overlaps its cache miss with that walk, which matters on terms scattered in memory.
        __builtin_prefetch(ap->Arg);
        Pila.push_back(Entrada(ap->Arg));
        Siguiente = ap->Func;
        if (Estado == Cuerpo) {
          Estado = TrasAplicacion;
          ++Aplicaciones;
        } else {
          Estado = NoEs;
        }
        if constexpr (Numera) {
          N->Longitud += Lugar == Argumento ? 3 : 1;
          Lugar = Funcion;
        }
      } else if (TFuncion* f = ComoFuncion(x)) {
        Ficha = FichaFuncion;
        Pila.push_back(Guardada(f->Param));
        f->Param->Marca = ++Profundidad;
        Pila.push_back(Entrada(f->Param) | Salida);
        Siguiente = f->Cuerpo;
        Estado = Estado == Ninguno ? UnaLambda : Estado == UnaLambda ? Cuerpo : NoEs;
        if constexpr (Numera) {
          f->Param->Indice = N->Num++;
          N->Longitud += 5 + LongitudNombre(f->Param->Indice) + (Lugar == Otro ? 0 : 2);
          Lugar = Otro;
        }
      } else {
        TVariable* v = static_cast<TVariable*>(x);
        if (v->Libre) {
          Ficha = Entrada(v);
          Estado = NoEs;
          if constexpr (Numera) {
            if (!(v->Marca & TNumeracion::Numerada)) {
              N->Libres.push_back(v);
              v->Marca |= TNumeracion::Numerada;
              v->Indice = N->Num++;
            }
          }
        } else {
          uint32_t Distancia = Profundidad - v->Marca;
          Ficha = (uint64_t(Distancia) << 2) | 1;
          if (Estado == TrasAplicacion && Distancia == 1)
            Estado = Cuerpo;
          else if (Estado == Cuerpo && Distancia == 0)
            Estado = Fin;
          else
            Estado = NoEs;
        }
        if constexpr (Numera) N->Longitud += LongitudNombre(v->Indice);
      }
      h += Mezcla(Ficha, n);
      if (Siguiente) {
        x = Siguiente;
        continue;
      }
      // A leaf: the next node waits on the stack, past the scopes that end here.
      while (!Pila.empty() && (Pila.back() & Salida)) {
        Devuelve(Pila.back(), Pila.end()[-2]);
        Pila.resize(Pila.size() - 2);
        --Profundidad;
      }
      if (Pila.empty()) break;
      x = Nodo(Pila.back());
      Pila.pop_back();
      if constexpr (Numera) Lugar = Argumento;
    }
  } catch (...) {
    Limpia();
    throw;
  }
  if (!Completa) {
    Limpia();
    return false;
  }
  r.Huella = h;
  r.Nodos = n;
  r.Numeral = Estado == Fin ? Aplicaciones : -1;
  return true;
}

}  // namespace

bool LeeTermino(TExprLambda* t, TLectura& r, std::size_t Tope, std::vector<uintptr_t>& Pila) {
  return Lee<false>(t, r, Tope, Pila, nullptr);
}

std::size_t RenumeraYLee(TExprLambda* t, int32_t& NumVars, TLectura& r,
                         std::vector<uintptr_t>& Pila, const std::function<void()>& Pulso) {
  TNumeracion N;
  N.Pulso = &Pulso;
  Lee<true>(t, r, SIZE_MAX, Pila, &N);
  NumVars = N.Num;
  return N.Longitud;
}

TLectura LeeTermino(TExprLambda* t) {
  TLectura r;
  std::vector<uintptr_t> Pila;
  LeeTermino(t, r, SIZE_MAX, Pila);
  return r;
}

bool MismaEstructura(TExprLambda* a, TExprLambda* b) {
  if (a == b) return true;
  // Both walks in step; a binder pair gets one depth, so two bound occurrences agree when their
  // binders' depths do.
  std::vector<std::pair<uintptr_t, uintptr_t>> Pila;
  // The end of a pair of scopes, just taken off the stack: the marks saved below it go back.
  auto Sale = [&](uintptr_t x, uintptr_t y) {
    Devuelve(x, Pila.back().first);
    Devuelve(y, Pila.back().second);
    Pila.pop_back();
  };
  // Gives the borrowed marks back, for the binders still open on the stack.
  auto Limpia = [&] {
    while (!Pila.empty()) {
      auto [x, y] = Pila.back();
      Pila.pop_back();
      if (x & Salida) Sale(x, y);
    }
  };
  uint32_t Profundidad = 0;
  bool Igual = true;
  try {
    Pila.push_back({Entrada(a), Entrada(b)});
    while (Igual && !Pila.empty()) {
      auto [x, y] = Pila.back();
      Pila.pop_back();
      if (x & Salida) {
        Sale(x, y);
        --Profundidad;
        continue;
      }
      TExprLambda *p = Nodo(x), *q = Nodo(y);
      if (p == q) continue;  // one free variable, reached from both
      if (TAplicacion* ap = ComoAplicacion(p)) {
        TAplicacion* aq = ComoAplicacion(q);
        if (!aq) {
          Igual = false;
        } else {
          Pila.push_back({Entrada(ap->Arg), Entrada(aq->Arg)});
          Pila.push_back({Entrada(ap->Func), Entrada(aq->Func)});
        }
      } else if (TFuncion* fp = ComoFuncion(p)) {
        TFuncion* fq = ComoFuncion(q);
        if (!fq) {
          Igual = false;
        } else {
          Pila.push_back({Guardada(fp->Param), Guardada(fq->Param)});
          fp->Param->Marca = fq->Param->Marca = ++Profundidad;
          Pila.push_back({Entrada(fp->Param) | Salida, Entrada(fq->Param) | Salida});
          Pila.push_back({Entrada(fp->Cuerpo), Entrada(fq->Cuerpo)});
        }
      } else {
        TVariable* vp = static_cast<TVariable*>(p);
        TVariable* vq = ComoVariable(q);
        // Two different free variables, or a free and a bound one, differ.
        Igual = vq && !vp->Libre && !vq->Libre && vp->Marca == vq->Marca;
      }
    }
  } catch (...) {
    Limpia();
    throw;
  }
  Limpia();
  return Igual;
}

std::string TextoCorto(TExprLambda* t, std::size_t Maximo) {
  // The pieces that the printer writes, in its order (see Imprime in uLambda.cpp).
  struct TTarea {
    TExprLambda* Nodo;
    const char* Literal;
    std::size_t Cierres;
  };
  std::string s;
  std::unordered_map<const TVariable*, int32_t> Numeros;
  auto Nombre = [&](const TVariable* v) {
    auto [i, Nuevo] = Numeros.try_emplace(v, static_cast<int32_t>(Numeros.size()));
    s += NombreVariable(i->second);
  };
  std::vector<TTarea> Pila{{t, nullptr, 0}};
  while (!Pila.empty() && s.size() <= Maximo) {
    TTarea e = Pila.back();
    Pila.pop_back();
    if (e.Cierres) {
      s.append(std::min(e.Cierres, Maximo + 1 - s.size()), ')');
    } else if (e.Literal) {
      s += e.Literal;
    } else if (TVariable* v = ComoVariable(e.Nodo)) {
      Nombre(v);
    } else if (TFuncion* f = ComoFuncion(e.Nodo)) {
      s += "\\ ";
      Nombre(f->Param);
      s += " . ";
      Pila.push_back({f->Cuerpo, nullptr, 0});
    } else {
      TAplicacion* ap = static_cast<TAplicacion*>(e.Nodo);
      bool ArgCompuesto = !EsVariable(ap->Arg);
      bool FuncAbs = EsFuncion(ap->Func);
      if (ArgCompuesto) {
        if (!Pila.empty() && Pila.back().Cierres)
          ++Pila.back().Cierres;
        else
          Pila.push_back({nullptr, nullptr, 1});
      }
      Pila.push_back({ap->Arg, nullptr, 0});
      Pila.push_back({nullptr, ArgCompuesto ? " (" : " ", 0});
      if (FuncAbs) Pila.push_back({nullptr, ")", 0});
      Pila.push_back({ap->Func, nullptr, 0});
      if (FuncAbs) Pila.push_back({nullptr, "(", 0});
    }
  }
  if (s.size() > Maximo) {
    s.resize(Maximo);
    s += "\x85";  // "…" in Windows-1252
  }
  return s;
}
