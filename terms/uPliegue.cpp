// SPDX-License-Identifier: GPL-3.0-or-later
#include "uPliegue.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uLectura.h"

namespace {

inline uint64_t Mezcla(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// What the walk knows of a subterm once it is done.
struct TDato {
  uint64_t Huella;
  // The depth of the outermost binder its variables refer to: 0 for a free variable. The
  // subterm is closed when that binder lies inside it, below the subterm's own depth.
  uint32_t Minimo;
  std::size_t Inicio;  // the place of its first node in post-order
};

// The fingerprints of every subterm, bottom-up, in one walk of an explicit stack. A bound
// occurrence counts by the number of binders between it and its own, so a closed subterm has
// the same fingerprint wherever it lies. A binder's variable lends its Marca, which holds the
// binder's depth meanwhile, and gets it back when its scope ends, whatever way the walk ends.
class THuellas {
 public:
  THuellas() = default;
  THuellas(const THuellas&) = delete;
  THuellas& operator=(const THuellas&) = delete;
  ~THuellas() {
    while (!Prestadas.empty()) Devuelve();
  }

  // Calls Cerrado(n, huella, inicio, fin) for each closed application or abstraction, in
  // post-order, [inicio, fin] the post-order places of its nodes. Returns what the whole is.
  template <class F>
  TDato Recorre(TExprLambda* t, F&& Cerrado, const std::function<void()>& Pulso) {
    Pila.push_back(reinterpret_cast<uintptr_t>(t));
    std::size_t k = 0;
    while (!Pila.empty()) {
      const uintptr_t e = Pila.back();
      Pila.pop_back();
      Late(Pulso, k);
      TExprLambda* n = reinterpret_cast<TExprLambda*>(e & ~Salida);
      if (e & Salida) {
        const TDato& d = Sale(n);
        if (d.Minimo > Profundidad) Cerrado(n, d.Huella, d.Inicio, Contados);
        ++Contados;
      } else if (EsVariable(n)) {
        Hoja(static_cast<TVariable*>(n));
      } else {
        Entra(n, e);
      }
    }
    return Datos.back();
  }

 private:
  static constexpr uintptr_t Salida = 1;  // nodes come aligned: the bit is free
  std::vector<uintptr_t> Pila;            // nodes to enter, and nodes to leave (Salida)
  std::vector<TDato> Datos;               // the subterms done whose parent is not
  std::vector<std::size_t> Inicios;       // the first place of each subterm entered
  std::vector<std::pair<TVariable*, uint32_t>> Prestadas;
  uint32_t Profundidad = 0;
  std::size_t Contados = 0;

  void Devuelve() {
    Prestadas.back().first->Marca = Prestadas.back().second;
    Prestadas.pop_back();
  }

  void Hoja(TVariable* v) {
    if (v->Libre)
      Datos.push_back({Mezcla(reinterpret_cast<uintptr_t>(v)), 0, Contados});
    else
      Datos.push_back({Mezcla((uint64_t(Profundidad - v->Marca) << 2) | 1), v->Marca, Contados});
    ++Contados;
  }

  void Entra(TExprLambda* n, uintptr_t e) {
    Inicios.push_back(Contados);
    Pila.push_back(e | Salida);
    if (TFuncion* f = ComoFuncion(n)) {
      Prestadas.emplace_back(f->Param, f->Param->Marca);
      f->Param->Marca = ++Profundidad;
      Pila.push_back(reinterpret_cast<uintptr_t>(f->Cuerpo));
      return;
    }
    TAplicacion* ap = static_cast<TAplicacion*>(n);
    Pila.push_back(reinterpret_cast<uintptr_t>(ap->Arg));
    Pila.push_back(reinterpret_cast<uintptr_t>(ap->Func));
  }

  // Leaves n, whose children are done; returns what it is.
  const TDato& Sale(TExprLambda* n) {
    TDato d{0, 0, Inicios.back()};
    Inicios.pop_back();
    if (EsFuncion(n)) {
      Devuelve();
      --Profundidad;
      d.Huella = Mezcla(Datos.back().Huella + 0x6A09E667F3BCC909ull);
      d.Minimo = Datos.back().Minimo;
      Datos.back() = d;
      return Datos.back();
    }
    const TDato a = Datos.back();
    Datos.pop_back();
    d.Huella = Mezcla(Mezcla(Datos.back().Huella ^ 0x3C6EF372FE94F82Bull) + a.Huella);
    d.Minimo = std::min(Datos.back().Minimo, a.Minimo);
    Datos.back() = d;
    return Datos.back();
  }
};

// The closed definitions by fingerprint, each list in the order of the definitions.
using TTabla = std::unordered_map<uint64_t, std::vector<uint32_t>>;
TTabla Tabla(const std::vector<TPlegable>& Definiciones) {
  TTabla t;
  for (std::size_t i = 0; i < Definiciones.size(); ++i) {
    THuellas h;
    const TDato d = h.Recorre(Definiciones[i].Termino, [](auto&&...) {}, {});
    if (d.Minimo > 0) t[d.Huella].push_back(static_cast<uint32_t>(i));
  }
  return t;
}

}  // namespace

void TPliegue::Quita() {
  Raiz = nullptr;
  Rotulos.clear();
  Nombres.clear();
}

namespace {

struct TCandidato {
  TExprLambda* Nodo;
  const std::vector<uint32_t>* Iguales;
  int32_t Escrita;  // the definition it was written as, or -1
  std::size_t Inicio, Fin;
};

// The closed subterms whose fingerprint is a definition's, in post-order, but those written as
// lambdas or applications.
std::vector<TCandidato> BuscaCandidatos(TExprLambda* t, const TTabla& Conocidas,
                                        const std::vector<int32_t>& Escritas,
                                        const std::function<void()>& Pulso) {
  std::vector<TCandidato> c;
  THuellas h;
  h.Recorre(
      t,
      [&](TExprLambda* n, uint64_t Huella, std::size_t Inicio, std::size_t Fin) {
        int32_t Escrita = -1;
        if (n->Marca & TExprLambda::Escrito) {
          const uint32_t k = NombreEscrito(n);
          if (k == 0) return;
          if (k <= Escritas.size() && k != NombreDeCopia) Escrita = Escritas[k - 1];
        }
        if (auto i = Conocidas.find(Huella); i != Conocidas.end())
          c.push_back({n, &i->second, Escrita, Inicio, Fin});
      },
      Pulso);
  return c;
}

}  // namespace

void TPliegue::Pliega(TExprLambda* t, const std::vector<TPlegable>& Definiciones,
                      const std::vector<int32_t>& Escritas, const std::function<void()>& Pulso) {
  Quita();
  if (!t) return;
  const TTabla Conocidas = Tabla(Definiciones);
  if (Conocidas.empty()) return;
  const std::vector<TCandidato> Candidatos = BuscaCandidatos(t, Conocidas, Escritas, Pulso);
  // Post-order puts a subterm after all of its own: from the end, the first of a nest is the
  // outermost, and one that lies inside the last folded one is passed over. The exact check comes
  // only there, so it costs at most the size of the term.
  std::size_t Plegado = SIZE_MAX;  // the first place of the last subterm folded
  for (auto c = Candidatos.rbegin(); c != Candidatos.rend(); ++c) {
    if (Plegado != SIZE_MAX && c->Fin >= Plegado) continue;
    auto Pliega = [&](uint32_t i) {
      if (!MismaEstructura(c->Nodo, Definiciones[i].Termino)) return false;
      Rotulos.emplace(c->Nodo, i);
      Plegado = c->Inicio;
      return true;
    };
    // The name written, while it still names this term; otherwise the first that does.
    if (c->Escrita >= 0 && Pliega(static_cast<uint32_t>(c->Escrita))) continue;
    for (uint32_t i : *c->Iguales)
      if (Pliega(i)) break;
  }
  if (Rotulos.empty()) return;
  for (const TPlegable& d : Definiciones) Nombres.push_back(d.Nombre);
  Raiz = t;
}
