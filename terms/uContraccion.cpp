// SPDX-License-Identifier: GPL-3.0-or-later
// A beta step's own work: copying a term, finding a variable's occurrences, substitution, and
// the contraction of a redex.
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uPool.h"
#include "uReduccion.h"

void SueltaRedex(TAplicacion* ap) {
  TFuncion* f = static_cast<TFuncion*>(ap->Func);
  if (ap->Arg || f->Cuerpo) {
    delete ap;
    return;
  }
  // Childless but for the variable, which nothing points at any more: no destructor would do
  // anything, and the generic release costs more than the contraction's other bookkeeping.
  TPool& P = Pool();
  P.Devuelve(f->Param);
  P.Devuelve(f);
  P.Devuelve(ap);
}

// ---------------------------------------------------------------------------------------------
// Copying. A bound variable met inside the copy is replaced by its binder's new variable, found
// through the old variable's Copiada; this gives the same result as copying the body and then
// substituting the new variable for the old, in one walk.

namespace {

// The copy of a variable occurrence: the new binder's variable, or the variable itself.
inline TExprLambda* CopiaOcurrencia(TVariable* v) {
  TVariable* r = v->Copiada ? v->Copiada : v;
  ++r->Refs;
  return r;
}

// The walk of a copy, on the caller's scratch: down the function parts, pushing the arguments; a
// variable is copied where it is met.
// Marks are set as each node is made, before its children. A copied node keeps its original's
// marks (SinRedex, SinRedexNiEta, Cerrado, Escrito). Its level bound comes from its original's, m:
// the variables bound outside the copy that occur in it lie at m or above, and at the bound of the
// copy's root or above; the copy's own binders that occur in it are among those above it whose
// originals lie at m or above, and the outermost of those has the lowest level of them, being made
// first.
class TCopiador {
 public:
  TCopiador(TExprLambda* raiz, TPilasCopia& Pilas)
      : Tareas(Pilas.Tareas),
        Ligadores(Pilas.Ligadores),
        Copiadas(Pilas.Copiadas),
        NivelRaiz(NivelMinimo(raiz)) {
    Copiadas.clear();
  }

  // Copies `Origen` into *Destino.
  [[gnu::always_inline]] void Copia(TExprLambda* Origen, TExprLambda** Destino) {
    for (;;) {
      if (TAplicacion* ap = ComoAplicacion(Origen)) {
        Origen = Aplicacion(ap, Destino);
      } else if (TFuncion* f = ComoFuncion(Origen)) {
        Origen = Funcion(f, Destino);
      } else {
        *Destino = CopiaOcurrencia(static_cast<TVariable*>(Origen));
        if (k == 0) return;
        const TTarea& t = Tareas[--k];
        Origen = t.Origen;
        Destino = t.Destino;
        h = t.Ligadores;
      }
    }
  }

 private:
  using TTarea = TPilasCopia::TTarea;
  std::vector<TTarea>& Tareas;
  std::vector<TPilasCopia::TLigador>& Ligadores;
  std::vector<TVariable*>& Copiadas;
  const uint32_t NivelRaiz;
  // The stacks are used through indexes, grown by hand: the vector's own push is not inlined,
  // and it cost as much as the copying.
  std::size_t k = 0, h = 0;

  // Makes the copy of `ap` in *Destino; returns its function part, to copy next into Destino.
  [[gnu::always_inline]] TExprLambda* Aplicacion(TAplicacion* ap, TExprLambda**& Destino) {
    TAplicacion* n = ::new (NuevoNodo()) TAplicacion;
    Marca(n, ap);
    *Destino = n;
    if (EsVariable(ap->Arg)) {
      n->Arg = CopiaOcurrencia(static_cast<TVariable*>(ap->Arg));
    } else {
      if (k == Tareas.size()) Tareas.resize(2 * k + 64);
      Tareas[k++] = {ap->Arg, &n->Arg, h};
    }
    Destino = &n->Func;
    return ap->Func;
  }

  // Makes the copy of `f` and of its variable in *Destino; returns its body, to copy next.
  [[gnu::always_inline]] TExprLambda* Funcion(TFuncion* f, TExprLambda**& Destino) {
    TFuncion* n = ::new (NuevoNodo()) TFuncion;
    Marca(n, f);
    *Destino = n;
    n->Param = ::new (NuevoNodo()) TVariable(false, f->Param->Nombre);
    f->Param->Copiada = n->Param;
    Copiadas.push_back(f->Param);
    if (h == Ligadores.size()) Ligadores.resize(2 * h + 16);
    uint32_t l = Nivel(f->Param);
    Ligadores[h] = {l, Nivel(n->Param), h ? std::max(l, Ligadores[h - 1].Maximo) : l};
    ++h;
    Destino = &n->Cuerpo;
    return f->Cuerpo;
  }

  [[gnu::always_inline]] void Marca(TExprLambda* n, const TExprLambda* o) {
    // A closed node's Marca goes whole, its upper bits the name it was written as
    // (NombreEscrito): no walk with scratch bits runs during a copy.
    const uint32_t Original = o->Marca;
    if (Original & TExprLambda::Cerrado) {
      n->Marca = Original;
      return;
    }
    uint32_t m = Original >> TExprLambda::PrimerBitNivel;
    uint32_t Fuera = std::max(m, NivelRaiz);
    // The first binder whose highest level so far reaches m: the maxima never decrease.
    std::size_t Bajo = 0, Alto = h;
    while (Bajo < Alto) {
      std::size_t Medio = (Bajo + Alto) / 2;
      if (Ligadores[Medio].Maximo >= m)
        Alto = Medio;
      else
        Bajo = Medio + 1;
    }
    uint32_t Dentro = Bajo < h ? Ligadores[Bajo].Nuevo : SinNivel;
    const uint32_t Cota = std::min(Fuera, Dentro);
    n->Marca = (Original & BitsMarca::Marcas) |
               (Cota == SinNivel ? TExprLambda::Cerrado : Cota << TExprLambda::PrimerBitNivel);
  }
};

}  // namespace

// Flattened: the allocations inline, which the copy of a small argument spends most on.
__attribute__((flatten)) TExprLambda* CopiaConPila(TExprLambda* raiz, TPilasCopia& Pilas) {
  if (EsVariable(raiz)) return CopiaOcurrencia(static_cast<TVariable*>(raiz));
  TExprLambda* Copia = nullptr;
  try {
    TCopiador(raiz, Pilas).Copia(raiz, &Copia);
  } catch (...) {
    // Out of room: undo the scratch links and drop the half-made copy.
    for (TVariable* v : Pilas.Copiadas) v->Copiada = nullptr;
    Libera(Copia);
    throw;
  }
  for (TVariable* v : Pilas.Copiadas) v->Copiada = nullptr;
  return Copia;
}

namespace {

TExprLambda* CopiaTermino(TExprLambda* raiz) {
  TPilasCopia Pilas;
  return CopiaConPila(raiz, Pilas);
}

}  // namespace

TExprLambda* TVariable::Copia() {
  return CopiaTermino(this);
}
TExprLambda* TAplicacion::Copia() {
  return CopiaTermino(this);
}
TExprLambda* TFuncion::Copia() {
  return CopiaTermino(this);
}

// ---------------------------------------------------------------------------------------------
// Substitution.

namespace {

// The search when the variable may be bound anywhere: every node is entered.
void BuscaEnTodo(TExprLambda* raiz, TVariable* v, uint32_t Borra, std::size_t Total,
                 std::vector<TExprLambda**>& Huecos, std::vector<TExprLambda*>& Pila) {
  Pila.assign(1, raiz);
  while (!Pila.empty() && Huecos.size() < Total) {
    TExprLambda* n = Pila.back();
    Pila.pop_back();
    n->Marca &= ~Borra;
    auto Hijo = [&](TExprLambda * &h) __attribute__((always_inline)) {
      if (h == v)
        Huecos.push_back(&h);
      else if (!EsVariable(h))
        Pila.push_back(h);
    };
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Hijo(ap->Arg);
      Hijo(ap->Func);
    } else {
      Hijo(static_cast<TFuncion*>(n)->Cuerpo);
    }
  }
}

// The search for a variable bound outside `raiz`: a walk before and after the children, past
// every subtree whose bound lies above v's level. A node entered goes back on the stack tagged in
// its lowest bit (nodes are aligned), to have its bound set as the walk leaves it. The stack is
// the first k of Pila, grown by hand so that pushing stays inline.
class TBusquedaPorNiveles {
 public:
  TBusquedaPorNiveles(TVariable* v, uint32_t NivelValor, std::vector<TExprLambda**>& Huecos,
                      std::vector<TExprLambda*>& Pila)
      : v(v), L(Nivel(v)), NivelValor(NivelValor), Huecos(Huecos), Pila(Pila) {}

  [[gnu::always_inline]] void Busca(TExprLambda* raiz, uint32_t Borra, std::size_t Total) {
    Empuja(raiz);
    while (k > 0) {
      TExprLambda* n = Pila[--k];
      if (Marcado(n)) {
        Sale(n);
        continue;
      }
      n->Marca &= ~Borra;
      Empuja(reinterpret_cast<TExprLambda*>(reinterpret_cast<uintptr_t>(n) | 1));
      if (TAplicacion* ap = ComoAplicacion(n)) {
        Hijo(ap->Arg);
        Hijo(ap->Func);
      } else {
        Hijo(static_cast<TFuncion*>(n)->Cuerpo);
      }
      if (Huecos.size() == Total) break;
    }
    // Every occurrence found: what is left to enter holds none; the nodes entered and not yet
    // left lie on one path, the deepest last on the stack.
    while (k > 0) {
      TExprLambda* n = Pila[--k];
      if (Marcado(n)) Sale(n);
    }
  }

 private:
  TVariable* const v;
  const uint32_t L, NivelValor;
  std::vector<TExprLambda**>& Huecos;
  std::vector<TExprLambda*>& Pila;
  std::size_t k = 0;

  // Forced inline: called at every node of a small body, the calls cost more than the search.
  [[gnu::always_inline]] void Empuja(TExprLambda* n) {
    if (k == Pila.size()) Pila.resize(2 * k + 64);
    Pila[k++] = n;
  }
  static bool Marcado(TExprLambda* n) { return (reinterpret_cast<uintptr_t>(n) & 1) != 0; }
  [[gnu::always_inline]] uint32_t Valor(const TExprLambda* h) const {
    return h == v ? NivelValor : NivelMinimo(h);
  }
  [[gnu::always_inline]] void Sale(TExprLambda* n) {
    n = reinterpret_cast<TExprLambda*>(reinterpret_cast<uintptr_t>(n) & ~uintptr_t(1));
    if (TAplicacion* ap = ComoAplicacion(n)) {
      PonNivelMinimo(n, std::min(Valor(ap->Func), Valor(ap->Arg)));
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      PonNivelMinimo(n, NivelSinParam(Valor(f->Cuerpo), f->Param, false));
    }
  }
  [[gnu::always_inline]] void Hijo(TExprLambda*& h) {
    if (h == v)
      Huecos.push_back(&h);
    else if (!EsVariable(h) && NivelMinimo(h) <= L)
      Empuja(h);
  }
};

}  // namespace

void BuscaOcurrencias(TExprLambda* raiz, TVariable* v, uint32_t Borra, bool LigadaFuera,
                      uint32_t NivelValor, std::vector<TExprLambda**>& Huecos,
                      std::vector<TExprLambda*>& Pila) {
  Huecos.clear();
  const std::size_t Total = v->Refs;
  if (EsVariable(raiz) || Total == 0) return;
  if (LigadaFuera)
    TBusquedaPorNiveles(v, NivelValor, Huecos, Pila).Busca(raiz, Borra, Total);
  else
    BuscaEnTodo(raiz, v, Borra, Total, Huecos, Pila);
}

namespace {

// Replaces every occurrence of Vble below `raiz` (not `raiz` itself) by a copy of Valor.
void SustituyeDebajo(TExprLambda* raiz, TVariable* Vble, TExprLambda* Valor) {
  // A copy put in place of a variable may form a redex anywhere above it, and a free variable
  // may occur inside a closed subtree whose replacement is not closed.
  // What each node knows of the levels below it goes too: the copies bring variables of their own.
  constexpr uint32_t Niveles = ~((1u << TExprLambda::PrimerBitNivel) - 1);
  uint32_t Borra = (EsVariable(Valor) ? 0u : BitsMarca::MarcasDeRedex) |
                   (Vble->Libre ? TExprLambda::Cerrado : 0u) | Niveles | TExprLambda::Escrito;
  std::vector<TExprLambda**> Huecos;
  std::vector<TExprLambda*> Pila;
  BuscaOcurrencias(raiz, Vble, Borra, false, 0, Huecos, Pila);
  for (TExprLambda** h : Huecos) {
    *h = Valor->Copia();
    --Vble->Refs;  // the caller holds Vble, so a free one never reaches zero here
  }
}

}  // namespace

TExprLambda* TVariable::Sustituye(TVariable* Vble, TExprLambda* Valor) {
  if (this != Vble) return this;
  TExprLambda* r = Valor->Copia();
  --Refs;  // the receiver's place now holds the copy
  return r;
}

TExprLambda* TAplicacion::Sustituye(TVariable* Vble, TExprLambda* Valor) {
  SustituyeDebajo(this, Vble, Valor);
  return this;
}

TExprLambda* TFuncion::Sustituye(TVariable* Vble, TExprLambda* Valor) {
  SustituyeDebajo(this, Vble, Valor);
  return this;
}

// ---------------------------------------------------------------------------------------------
// Contraction.

namespace {

// Nodes that a copy of `t` allocates (applications, abstractions and their variables).
std::size_t NodosQueCopia(TExprLambda* t, std::vector<TExprLambda*>& Pila) {
  std::size_t n = 0;
  Pila.assign(1, t);
  while (!Pila.empty()) {
    TExprLambda* e = Pila.back();
    Pila.pop_back();
    if (TAplicacion* ap = ComoAplicacion(e)) {
      ++n;
      Pila.push_back(ap->Func);
      Pila.push_back(ap->Arg);
    } else if (TFuncion* f = ComoFuncion(e)) {
      n += 2;
      Pila.push_back(f->Cuerpo);
    }
  }
  return n;
}

// Clears what the nodes of `t` know of their levels and closedness. A node still marked Escrito
// was not entered by the search (which clears the mark on its way), nor was anything below it:
// its marks stand.
void OlvidaNiveles(TExprLambda* t, std::vector<TExprLambda*>& Pila) {
  Pila.assign(1, t);
  while (!Pila.empty()) {
    TExprLambda* e = Pila.back();
    Pila.pop_back();
    if (EsVariable(e) || (e->Marca & TExprLambda::Escrito)) continue;
    e->Marca &= BitsMarca::MarcasDeRedex;
    if (TAplicacion* ap = ComoAplicacion(e)) {
      Pila.push_back(ap->Func);
      Pila.push_back(ap->Arg);
    } else {
      Pila.push_back(static_cast<TFuncion*>(e)->Cuerpo);
    }
  }
}

// Puts a copy of `N` in each of the first `Copias` occurrences. The pool refuses the node that
// would pass the limit, which happens exactly when the copies together would pass it; then the
// copies made so far go and `x` is back in its place. Counting the argument first would walk it
// once more on every contraction.
bool PonCopias(TExprLambda* N, TVariable* x, std::size_t Copias, TPilasContraccion& a) {
  std::size_t Hechas = 0;
  try {
    for (; Hechas < Copias; ++Hechas) *a.Ocurrencias[Hechas] = CopiaConPila(N, a.Copia);
  } catch (const EDemasiadoGrande&) {
    for (std::size_t i = 0; i < Hechas; ++i) {
      Libera(*a.Ocurrencias[i]);
      *a.Ocurrencias[i] = x;
    }
    return false;
  }
  return true;
}

}  // namespace

// Every occurrence but the last gets a copy of the argument and
// the last gets the argument itself, which the contraction would destroy anyway: the term is the
// same as with a copy everywhere.
TExprLambda* Contrae(TAplicacion* ap, TPilasContraccion& a, std::size_t& Pedidos) {
  TFuncion* F = static_cast<TFuncion*>(ap->Func);
  TVariable* x = F->Param;
  TExprLambda* M = F->Cuerpo;
  TExprLambda* N = ap->Arg;

  // x is bound outside M, so it cannot occur in a subtree whose level bound lies above its own;
  // a copy of a compound argument may form a redex anywhere above where it goes, and whatever
  // lies above an occurrence is no longer what was written. (A refused contraction leaves those
  // unmarked too: they hold x, bound outside them, so no fold could use the mark meanwhile.)
  BuscaOcurrencias(M, x, (EsVariable(N) ? 0u : BitsMarca::MarcasDeRedex) | TExprLambda::Escrito,
                   true, NivelMinimo(N), a.Ocurrencias, a.Pila);
  std::vector<TExprLambda**>& Ocurrencias = a.Ocurrencias;
  std::size_t Copias = Ocurrencias.empty() ? 0 : Ocurrencias.size() - 1;
  if (Copias > 0 && !PonCopias(N, x, Copias, a)) {
    // The search has set M's bounds for the argument in place of x, which stays; and taken the
    // mark of writing from M, so the redex above goes without it too.
    OlvidaNiveles(M, a.Pila);
    F->Marca &= ~TExprLambda::Escrito;
    ap->Marca &= ~TExprLambda::Escrito;
    // The copies would pass the node limit: report the size they would have made.
    std::size_t Tam = NodosQueCopia(N, a.Pila);
    long double Total =
        static_cast<long double>(NodosVivos()) + static_cast<long double>(Tam) * Copias;
    Pedidos = Total >= static_cast<long double>(std::numeric_limits<std::size_t>::max())
                  ? std::numeric_limits<std::size_t>::max()
                  : static_cast<std::size_t>(Total);
    return nullptr;
  }

  TExprLambda* R;
  if (M == x) {
    R = N;
    ap->Arg = nullptr;
  } else {
    if (!Ocurrencias.empty()) {
      *Ocurrencias.back() = N;
      ap->Arg = nullptr;
    }
    R = M;
  }
  F->Cuerpo = nullptr;
  SueltaRedex(ap);  // the abstraction, its variable, and the argument if it went nowhere
  ++NumReducciones;
  return R;
}
