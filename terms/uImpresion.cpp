// SPDX-License-Identifier: GPL-3.0-or-later
// The printer: the printed form of a term, its length, where each node prints, the numbering of
// the variables, and the cut-off print of a term not numbered.
#include <algorithm>
#include <bit>
#include <cstring>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uLectura.h"
#include "uNombres.h"
#include "uRecorrido.h"

// ---------------------------------------------------------------------------------------------
// Printing.

std::string NombreVariable(int32_t Indice) {
  // A negative number only appears while a numbering runs; print it as the first name.
  uint32_t i = Indice < 0 ? 0u : static_cast<uint32_t>(Indice);
  std::string s(1, static_cast<char>('a' + i % 26));
  s.append(i / 26, '\'');
  return s;
}

namespace {

using BitsMarca::Buscado;

// The wanted nodes by address, with their places in the caller's list. A variable is one node
// for all its occurrences, so a wanted variable is sought as a child of an application instead.
struct TBuscados {
  std::vector<std::pair<TExprLambda*, std::size_t>> Orden;
  // A wanted variable: its application, which side (0 Func, 1 Arg), its place in the list.
  std::vector<std::tuple<TExprLambda*, int, std::size_t>> Hijos;
  std::vector<TRango>* Rangos = nullptr;
  // What the walk met, in its order: a wanted node (Lado 0) or a variable child of one (Lado 1
  // Func, 2 Arg), and where it printed. Looking each up as it comes would cost a cache miss
  // apiece, the walk having pushed the table out; they are looked up together afterwards.
  struct TEvento {
    TExprLambda* Nodo;
    int Lado;
    std::size_t Desde, Hasta;
  };
  std::vector<TEvento> Eventos;

  // Out of the printing loop, which meets them seldom.
  // A wanted node starts at Desde: the place of its range's end, once known, in Eventos.
  [[gnu::noinline]] std::size_t Empieza(TExprLambda* n, std::size_t Desde) {
    Eventos.push_back({n, 0, Desde, 0});
    return Eventos.size() - 1;
  }
  // A variable child of a wanted application, on Lado 1 (Func) or 2 (Arg).
  [[gnu::noinline]] void Hijo(TAplicacion* ap, int Lado, std::size_t Desde, std::size_t Hasta) {
    if (!Hijos.empty()) Eventos.push_back({ap, Lado, Desde, Hasta});
  }
  // The first place in Orden of a node, and in Hijos of an application's side (its address plus
  // one or two), by open addressing: a binary search over a few thousand nodes for each of them
  // would cost more than the walk.
  std::vector<std::pair<uintptr_t, uint32_t>> Tabla;
  int Desplaza = 64;

  std::size_t Celda(uintptr_t Clave) const {
    return static_cast<std::size_t>((Clave * 0x9E3779B97F4A7C15ull) >> Desplaza);
  }
  void Pon(uintptr_t Clave, uint32_t Valor) {
    std::size_t c = Celda(Clave);
    while (Tabla[c].first) c = (c + 1) & (Tabla.size() - 1);
    Tabla[c] = {Clave, Valor};
  }
  // The value of a key, or UINT32_MAX.
  uint32_t Mira(uintptr_t Clave) const {
    for (std::size_t c = Celda(Clave);; c = (c + 1) & (Tabla.size() - 1)) {
      if (Tabla[c].first == Clave) return Tabla[c].second;
      if (!Tabla[c].first) return UINT32_MAX;
    }
  }
  void Indexa() {
    std::sort(Orden.begin(), Orden.end());
    std::sort(Hijos.begin(), Hijos.end());
    std::size_t Tam = 16;
    while (Tam < 2 * (Orden.size() + Hijos.size())) Tam *= 2;
    Desplaza = 64 - std::countr_zero(Tam);
    Tabla.assign(Tam, {0, 0});
    for (std::size_t j = 0; j < Orden.size(); ++j)
      if (j == 0 || Orden[j].first != Orden[j - 1].first)
        Pon(reinterpret_cast<uintptr_t>(Orden[j].first), static_cast<uint32_t>(j));
    for (std::size_t j = 0; j < Hijos.size(); ++j)
      if (j == 0 || std::get<0>(Hijos[j]) != std::get<0>(Hijos[j - 1]) ||
          std::get<1>(Hijos[j]) != std::get<1>(Hijos[j - 1]))
        Pon(ClaveHijo(std::get<0>(Hijos[j]), std::get<1>(Hijos[j])), static_cast<uint32_t>(j));
  }
  static uintptr_t ClaveHijo(TExprLambda* ap, int Lado) {
    return reinterpret_cast<uintptr_t>(ap) + 1 + static_cast<uintptr_t>(Lado);
  }

  // The first place of a wanted node in Orden.
  std::size_t Busca(TExprLambda* n) const { return Mira(reinterpret_cast<uintptr_t>(n)); }
  // Sets Desde or Hasta for every place of the node at Orden[k].
  void Fija(std::size_t k, std::size_t TRango::*Campo, std::size_t Valor) const {
    for (std::size_t j = k; j < Orden.size() && Orden[j].first == Orden[k].first; ++j)
      (*Rangos)[Orden[j].second].*Campo = Valor;
  }
  // The range of `ap`'s variable child on `Lado`, for every place that wants it there.
  void FijaHijo(TAplicacion* ap, int Lado, std::size_t Desde, std::size_t Hasta) const {
    uint32_t k = Mira(ClaveHijo(ap, Lado));
    if (k == UINT32_MAX) return;
    for (std::size_t j = k;
         j < Hijos.size() && std::get<0>(Hijos[j]) == ap && std::get<1>(Hijos[j]) == Lado; ++j)
      (*Rangos)[std::get<2>(Hijos[j])] = {Desde, Hasta};
  }
};

// Writes the text into a buffer made to its exact length beforehand, so no write needs to check
// for room. Nombres names the variables (TLetras or TConservados).
template <class Nombres>
struct TEscritor : TSumidero {
  char* p;
  template <std::size_t N>
  [[gnu::always_inline]] void Literal(const char (&l)[N]) {
    std::memcpy(p, l, N - 1);
    p += N - 1;
  }
  [[gnu::always_inline]] void Nombre(const TVariable* v) { p = Nombres::Agrega(p, v->Indice); }
  [[gnu::always_inline]] void Ligador(const TVariable* v) { Nombre(v); }
  [[gnu::always_inline]] void Cierres(std::size_t c) {
    p = static_cast<char*>(std::memset(p, ')', c)) + c;
  }
  void Palabra(const std::string& s) { p = std::copy(s.begin(), s.end(), p); }
  static constexpr bool Basta() { return false; }
};

// The same, and where the wanted nodes print.
template <class N>
struct TEscritorConRangos : TEscritor<N> {
  static constexpr bool ConRangos = true;
  char* Inicio;
  TBuscados* Buscados;
  std::size_t Pos() const { return static_cast<std::size_t>(this->p - Inicio); }
  bool TrasApertura() const { return this->p > Inicio && this->p[-1] == '('; }
  std::size_t Empieza(TExprLambda* n, std::size_t Desde) { return Buscados->Empieza(n, Desde); }
  void Termina(std::size_t k) { Buscados->Eventos[k].Hasta = Pos(); }
  void Hijo(TAplicacion* ap, int Lado, std::size_t Desde, std::size_t Hasta) {
    Buscados->Hijo(ap, Lado, Desde, Hasta);
  }
};

// Writes the beginning of the text of a term not numbered: names by first appearance, as the
// numbering gives them, up to a length.
struct TCorto : TSumidero {
  std::string Texto;
  std::size_t Maximo;
  std::unordered_map<const TVariable*, int32_t> Numeros;
  void Literal(const char* l) { Texto += l; }
  void Nombre(const TVariable* v) {
    auto [i, Nuevo] = Numeros.try_emplace(v, static_cast<int32_t>(Numeros.size()));
    Texto += NombreVariable(i->second);
  }
  void Ligador(const TVariable* v) { Nombre(v); }
  void Cierres(std::size_t c) { Texto.append(std::min(c, Maximo + 1 - Texto.size()), ')'); }
  bool Basta() const { return Texto.size() > Maximo; }
};

template <class N>
void Escribe(TExprLambda* raiz, std::string& s, const std::function<void()>& Pulso,
             TBuscados* Buscados, const TPliegue* Pliegue) {
  if (Buscados) {
    TEscritorConRangos<N> e{{{}, s.data()}, s.data(), Buscados};
    RecorrePlegando(raiz, e, Pulso, Pliegue);
  } else {
    TEscritor<N> e{{}, s.data()};
    RecorrePlegando(raiz, e, Pulso, Pliegue);
  }
}

std::string Imprime(TExprLambda* raiz, std::size_t Longitud, const std::function<void()>& Pulso,
                    const TModoImpresion& Modo, TBuscados* Buscados = nullptr) {
  std::string s;
  s.reserve(Longitud);
  PaginasGrandes(s.data(), Longitud);
  s.resize(Longitud);
  if (Modo.ConservaNombres)
    Escribe<TConservados>(raiz, s, Pulso, Buscados, PliegueDe(Modo, raiz));
  else
    Escribe<TLetras>(raiz, s, Pulso, Buscados, PliegueDe(Modo, raiz));
  return s;
}

}  // namespace

namespace {

template <class N>
std::size_t Mide(TExprLambda* t, std::size_t Tope, const std::function<void()>& Pulso,
                 const TPliegue* Pliegue) {
  TMedidorDe<N> m;
  m.Tope = Tope;
  RecorrePlegando(t, m, Pulso, Pliegue);
  return m.Longitud;
}

}  // namespace

std::size_t LongitudTexto(TExprLambda* t, std::size_t Tope, const std::function<void()>& Pulso,
                          const TModoImpresion& Modo) {
  if (Modo.ConservaNombres) return Mide<TConservados>(t, Tope, Pulso, PliegueDe(Modo, t));
  return Mide<TLetras>(t, Tope, Pulso, PliegueDe(Modo, t));
}

std::string TVariable::Texto() {
  return NombreVariable(Indice);
}
std::string TAplicacion::Texto() {
  return Imprime(this, LongitudTexto(this), {}, {});
}
std::string TFuncion::Texto() {
  return Imprime(this, LongitudTexto(this), {}, {});
}
std::string TextoConPulso(TExprLambda* t, std::size_t Longitud, const std::function<void()>& Pulso,
                          const TModoImpresion& Modo) {
  return Imprime(t, Longitud, Pulso, Modo);
}

std::string TextoConRangos(TExprLambda* t, std::size_t Longitud,
                           const std::vector<TExprLambda*>& Nodos, std::vector<TRango>& Rangos,
                           const std::function<void()>& Pulso, const TModoImpresion& Modo) {
  Rangos.assign(Nodos.size(), TRango{});
  if (EsVariable(t)) {
    std::string s = Imprime(t, LongitudTexto(t, SIZE_MAX, {}, Modo), Pulso, Modo);
    for (std::size_t i = 0; i < Nodos.size(); ++i)
      if (Nodos[i] == t) Rangos[i] = {0, s.size()};
    return s;
  }
  TBuscados b;
  b.Rangos = &Rangos;
  b.Orden.reserve(Nodos.size());
  for (std::size_t i = 0; i < Nodos.size(); ++i) {
    TExprLambda* n = Nodos[i];
    if (!n) continue;
    if (!EsVariable(n)) {
      b.Orden.push_back({n, i});
      continue;
    }
    // The nearest application before it in the list that has it as a child.
    for (std::size_t j = i; j-- > 0;) {
      TAplicacion* ap = Nodos[j] ? ComoAplicacion(Nodos[j]) : nullptr;
      if (ap && (ap->Arg == n || ap->Func == n)) {
        b.Hijos.emplace_back(ap, ap->Arg == n ? 1 : 0, i);
        break;
      }
    }
  }
  if (b.Orden.size() >= UINT32_MAX / 4) throw std::bad_alloc();
  b.Indexa();
  b.Eventos.reserve(3 * b.Orden.size());
  // The marks go again whatever happens: the pulse may throw.
  struct TDesmarca {
    TBuscados& b;
    ~TDesmarca() {
      for (auto& [n, i] : b.Orden) n->Marca &= ~Buscado;
    }
  } Desmarca{b};
  for (auto& [n, i] : b.Orden) n->Marca |= Buscado;
  std::string s = Imprime(t, Longitud, Pulso, Modo, &b);
  for (const TBuscados::TEvento& e : b.Eventos) {
    if (e.Lado == 0) {
      std::size_t j = b.Busca(e.Nodo);
      b.Fija(j, &TRango::Desde, e.Desde);
      b.Fija(j, &TRango::Hasta, e.Hasta);
    } else {
      b.FijaHijo(static_cast<TAplicacion*>(e.Nodo), e.Lado - 1, e.Desde, e.Hasta);
    }
  }
  return s;
}

// ---------------------------------------------------------------------------------------------
// Numbering.

void ReseteaVariable(TExprLambda* Nodo) {
  if (EsVariable(Nodo)) static_cast<TVariable*>(Nodo)->Indice = -1;
}

void NumeraVariable(int32_t& NumVars, TExprLambda* Nodo) {
  if (!EsVariable(Nodo)) return;
  TVariable* v = static_cast<TVariable*>(Nodo);
  if (v->Indice < 0) v->Indice = NumVars++;
}

std::size_t Renumera(TExprLambda* t, int32_t& NumVars) {
  return Renumera(t, NumVars, {});
}

std::size_t Renumera(TExprLambda* t, int32_t& NumVars, const std::function<void()>& Pulso,
                     const TModoImpresion& Modo) {
  if (Modo.ConservaNombres) return RenumeraConNombres(t, NumVars, Pulso, Modo.Pliegue);
  TLibresNumeradas L;
  TNumerador N(L.Libres);
  RecorrePlegando(t, N, Pulso, PliegueDe(Modo, t));
  NumVars = N.Num;
  return N.Longitud;
}

std::string TextoCorto(TExprLambda* t, std::size_t Maximo) {
  TCorto c;
  c.Maximo = Maximo;
  Recorre(t, c, {});
  if (c.Texto.size() > Maximo) {
    c.Texto.resize(Maximo);
    c.Texto += "\x85";  // "…" in Windows-1252
  }
  return c.Texto;
}
