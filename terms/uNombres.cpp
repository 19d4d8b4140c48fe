// SPDX-License-Identifier: GPL-3.0-or-later
// The table of names, and the numbering that keeps them: which name each variable prints.
#include "uNombres.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uNombresInterno.h"
#include "uPliegue.h"

namespace {

uint32_t InternaRaiz(std::string_view Texto) {
  TTablaNombres& t = TablaNombres();
  auto [i, Nueva] =
      t.PorRaiz.try_emplace(std::string(Texto), static_cast<uint32_t>(t.Raices.size()));
  if (Nueva) t.Raices.emplace_back(Texto);
  return i->second;
}

TClave ClaveDe(std::string_view Texto) {
  std::size_t n = Texto.find_last_not_of('\'');
  n = n == std::string_view::npos ? 0 : n + 1;
  return Clave(InternaRaiz(Texto.substr(0, n)), static_cast<uint32_t>(Texto.size() - n));
}

// A name for a display number as the letters give it: what a variable made without a name
// starts from.
TClave ClaveDeLetras(int32_t Indice) {
  std::string s = NombreVariable(Indice);
  return ClaveDe(std::string_view(s).substr(0, 1)) + (s.size() - 1);
}

// Both walks below go through the term in printing order, with an explicit stack of nodes and,
// for each abstraction, an exit: its number among the abstractions, shifted, with the low bit
// set (nodes are aligned, so the bit is free).
constexpr uintptr_t Salida = 1;

class TNombrador {
 public:
  explicit TNombrador(const std::function<void()>& pulso) : Pulso(pulso) {}
  TNombrador(const TNombrador&) = delete;
  TNombrador& operator=(const TNombrador&) = delete;
  ~TNombrador() {
    for (TVariable* v : Libres) v->Marca &= ~BitsMarca::Numerada;
  }

  int32_t Numera(TExprLambda* t) {
    Impresos.clear();
    Primera(t);
    NombraLibres();
    Segunda(t);
    return Num;
  }

  std::vector<TClave> Impresos;  // by display number

 private:
  void Primera(TExprLambda* t);
  void NombraLibres();
  void Segunda(TExprLambda* t);
  TClave Elige(TClave Propia, uint32_t Desde, uint32_t Hasta);
  bool Ocurre(TClave c, uint32_t Desde, uint32_t Hasta) const;
  void Entra(TClave c);
  void Sale();

  TClave Propia(const TVariable* v, int32_t Indice) const {
    return v->Nombre ? TablaNombres().Nombres[v->Nombre] : ClaveDeLetras(Indice);
  }
  int32_t Siguiente() {
    if (Num == INT32_MAX) throw std::bad_alloc();
    Impresos.push_back(0);
    return Num++;
  }
  void Late() { ::Late(Pulso, Pulsos); }

  const std::function<void()>& Pulso;
  std::size_t Pulsos = 0;
  int32_t Num = 0;
  std::vector<uintptr_t> Pila;
  // The free variables by first occurrence; the places of their occurrences among all the free
  // occurrences, in order; for each abstraction, the free occurrences before the end of its body.
  std::vector<TVariable*> Libres;
  std::vector<std::vector<uint32_t>> Lugares;
  std::vector<uint32_t> Fines;
  std::unordered_map<TClave, uint32_t> LibrePorClave;  // by the name it prints
  // The names the binders around the walk print: how many print each, and for each stem the
  // most apostrophes among them, as a stack that grows and shrinks with the binders.
  std::unordered_map<TClave, uint32_t> EnUso;
  std::unordered_map<uint32_t, std::vector<uint32_t>> Maximos;
  std::vector<TClave> Ambito;
};

// Numbers the variables as Renumera does, and finds the free ones, where they occur and where
// each abstraction's body ends among their occurrences. A free variable holds meanwhile, in its
// Indice, its place in Libres.
void TNombrador::Primera(TExprLambda* t) {
  std::vector<int32_t> Numeros;
  uint32_t Libre = 0;
  Pila.assign(1, reinterpret_cast<uintptr_t>(t));
  while (!Pila.empty()) {
    uintptr_t e = Pila.back();
    Pila.pop_back();
    Late();
    if (e & Salida) {
      Fines[e >> 1] = Libre;
    } else if (TAplicacion* ap = ComoAplicacion(reinterpret_cast<TExprLambda*>(e))) {
      Pila.push_back(reinterpret_cast<uintptr_t>(ap->Arg));
      Pila.push_back(reinterpret_cast<uintptr_t>(ap->Func));
    } else if (TFuncion* f = ComoFuncion(reinterpret_cast<TExprLambda*>(e))) {
      f->Param->Indice = Siguiente();
      Pila.push_back(uintptr_t{Fines.size()} << 1 | Salida);
      Fines.push_back(0);
      Pila.push_back(reinterpret_cast<uintptr_t>(f->Cuerpo));
    } else if (TVariable* v = static_cast<TVariable*>(reinterpret_cast<TExprLambda*>(e));
               v->Libre) {
      if (!(v->Marca & BitsMarca::Numerada)) {
        v->Marca |= BitsMarca::Numerada;
        v->Indice = static_cast<int32_t>(Libres.size());
        Libres.push_back(v);
        Lugares.emplace_back();
        Numeros.push_back(Siguiente());
      }
      Lugares[static_cast<std::size_t>(v->Indice)].push_back(Libre++);
    }
  }
  for (std::size_t i = 0; i < Libres.size(); ++i) Libres[i]->Indice = Numeros[i];
}

// Each free variable keeps its own name when no other free variable before it has taken it; the
// rest get apostrophes until their names are free.
void TNombrador::NombraLibres() {
  std::unordered_set<TClave> Tomadas;
  std::vector<std::size_t> Repetidas;
  for (std::size_t i = 0; i < Libres.size(); ++i) {
    TClave c = Propia(Libres[i], Libres[i]->Indice);
    if (Tomadas.insert(c).second)
      Impresos[static_cast<std::size_t>(Libres[i]->Indice)] = c;
    else
      Repetidas.push_back(i);
  }
  for (std::size_t i : Repetidas) {
    TClave c = Propia(Libres[i], Libres[i]->Indice);
    while (!Tomadas.insert(c).second) ++c;
    Impresos[static_cast<std::size_t>(Libres[i]->Indice)] = c;
  }
  for (std::size_t i = 0; i < Libres.size(); ++i)
    LibrePorClave[Impresos[static_cast<std::size_t>(Libres[i]->Indice)]] = static_cast<uint32_t>(i);
}

// Whether a free variable printed as `c` occurs among the free occurrences [Desde, Hasta).
bool TNombrador::Ocurre(TClave c, uint32_t Desde, uint32_t Hasta) const {
  auto i = LibrePorClave.find(c);
  if (i == LibrePorClave.end()) return false;
  const std::vector<uint32_t>& l = Lugares[i->second];
  auto j = std::lower_bound(l.begin(), l.end(), Desde);
  return j != l.end() && *j < Hasta;
}

// The name of a binder whose body holds the free occurrences [Desde, Hasta).
TClave TNombrador::Elige(TClave c, uint32_t Desde, uint32_t Hasta) {
  for (;;) {
    if (EnUso.count(c)) {
      c = Clave(Raiz(c), Maximos[Raiz(c)].back() + 1);
    } else if (Ocurre(c, Desde, Hasta)) {
      ++c;
    } else {
      return c;
    }
  }
}

void TNombrador::Entra(TClave c) {
  ++EnUso[c];
  std::vector<uint32_t>& m = Maximos[Raiz(c)];
  m.push_back(m.empty() ? Primas(c) : std::max(m.back(), Primas(c)));
  Ambito.push_back(c);
}

void TNombrador::Sale() {
  TClave c = Ambito.back();
  Ambito.pop_back();
  Maximos[Raiz(c)].pop_back();
  auto i = EnUso.find(c);
  if (--i->second == 0) EnUso.erase(i);
}

// Names the binders, outermost first, each as its scope then stands.
void TNombrador::Segunda(TExprLambda* t) {
  uint32_t Libre = 0;
  std::size_t Abstraccion = 0;
  Pila.assign(1, reinterpret_cast<uintptr_t>(t));
  while (!Pila.empty()) {
    uintptr_t e = Pila.back();
    Pila.pop_back();
    Late();
    if (e & Salida) {
      Sale();
    } else if (TAplicacion* ap = ComoAplicacion(reinterpret_cast<TExprLambda*>(e))) {
      Pila.push_back(reinterpret_cast<uintptr_t>(ap->Arg));
      Pila.push_back(reinterpret_cast<uintptr_t>(ap->Func));
    } else if (TFuncion* f = ComoFuncion(reinterpret_cast<TExprLambda*>(e))) {
      TVariable* v = f->Param;
      TClave c = Elige(Propia(v, v->Indice), Libre, Fines[Abstraccion++]);
      Impresos[static_cast<std::size_t>(v->Indice)] = c;
      Entra(c);
      Pila.push_back(Salida);
      Pila.push_back(reinterpret_cast<uintptr_t>(f->Cuerpo));
    } else if (static_cast<TVariable*>(reinterpret_cast<TExprLambda*>(e))->Libre) {
      ++Libre;
    }
  }
}

}  // namespace

uint32_t InternaNombre(std::string_view Texto) {
  TTablaNombres& t = TablaNombres();
  TClave c = ClaveDe(Texto);
  auto i = t.PorClave.find(c);
  if (i != t.PorClave.end()) return i->second;
  if (t.Nombres.size() > MaximoNombres) return SinNombre;
  uint32_t n = static_cast<uint32_t>(t.Nombres.size());
  t.Nombres.push_back(c);
  t.PorClave.emplace(c, n);
  return n;
}

std::string TextoNombre(uint32_t Nombre) {
  const TTablaNombres& t = TablaNombres();
  if (Nombre == SinNombre || Nombre >= t.Nombres.size()) return {};
  TClave c = t.Nombres[Nombre];
  return t.Raices[Raiz(c)] + std::string(Primas(c), '\'');
}

std::size_t RenumeraConNombres(TExprLambda* t, int32_t& NumVars, const std::function<void()>& Pulso,
                               const TPliegue* Pliegue) {
  TNombrador n(Pulso);
  NumVars = n.Numera(t);
  TablaNombres().Impresos.swap(n.Impresos);
  return LongitudTexto(t, SIZE_MAX, Pulso, {true, Pliegue});
}
