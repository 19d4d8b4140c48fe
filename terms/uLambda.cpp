// SPDX-License-Identifier: GPL-3.0-or-later
// Nodes and ownership: release, the walks, the marks of a node made over its children, and the
// checks of a term.
#include "uLambda.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "uEstrategia.h"
#include "uLambdaInterno.h"
#include "uPool.h"

// ---------------------------------------------------------------------------------------------
// Release. Children are detached and destroyed from a work list, so destroying a deep term
// never nests destructors more than one level.

namespace {

// Drops one reference to a child; applications and abstractions go on the work list.
inline void SueltaHijo(TExprLambda* h, std::vector<TExprLambda*>& Pendientes) {
  if (!h) return;
  if (EsVariable(h)) {
    TVariable* v = static_cast<TVariable*>(h);
    if (--v->Refs == 0 && v->Libre) delete v;
    return;
  }
  Pendientes.push_back(h);
}

// Bound variables are freed last: until the whole body is gone, its nodes still point at them.
void DestruyeHijos(TExprLambda* a, TExprLambda* b, TVariable* Param) {
  if (!a && !b) {
    delete Param;
    return;
  }
  // Reused from call to call: the destructors called below find their children already gone
  // and return before reaching here, so the lists are never in use twice at once.
  thread_local std::vector<TExprLambda*> Pendientes;
  thread_local std::vector<TVariable*> Variables;
  TPool& P = Pool();
  if (Param) Variables.push_back(Param);
  SueltaHijo(a, Pendientes);
  SueltaHijo(b, Pendientes);
  while (!Pendientes.empty()) {
    TExprLambda* n = Pendientes.back();
    Pendientes.pop_back();
    if (TAplicacion* ap = ComoAplicacion(n)) {
      SueltaHijo(ap->Func, Pendientes);
      SueltaHijo(ap->Arg, Pendientes);
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      SueltaHijo(f->Cuerpo, Pendientes);
      if (f->Param) Variables.push_back(f->Param);
    }
    // Its children are in hand: the slot goes straight back, no destructor runs to look at them.
    P.Devuelve(n);
  }
  for (TVariable* v : Variables) P.Devuelve(v);
  Variables.clear();
  if (Pendientes.capacity() > (1u << 20)) Pendientes.shrink_to_fit();
  if (Variables.capacity() > (1u << 20)) Variables.shrink_to_fit();
}

}  // namespace

TAplicacion::~TAplicacion() {
  TExprLambda* f = Func;
  TExprLambda* a = Arg;
  Func = Arg = nullptr;
  DestruyeHijos(f, a, nullptr);
}

TFuncion::~TFuncion() {
  TExprLambda* c = Cuerpo;
  TVariable* p = Param;
  Cuerpo = nullptr;
  Param = nullptr;
  DestruyeHijos(c, nullptr, p);
}

TExprLambda* Retiene(TExprLambda* t) {
  if (t && EsVariable(t)) ++static_cast<TVariable*>(t)->Refs;
  return t;
}

void Libera(TExprLambda* t) {
  if (!t) return;
  if (EsVariable(t)) {
    TVariable* v = static_cast<TVariable*>(t);
    if (--v->Refs == 0 && v->Libre) delete v;
    return;
  }
  TPool& P = Pool();
  const std::size_t Antes = P.Vivos;
  delete t;
  // A release of at least a sixteenth of the pool pays for a look at its blocks: a big term
  // gives its memory back to the system as it goes.
  if ((Antes - P.Vivos) * TamNodo * 16 >= P.Reservados()) DevuelveMemoria();
}

// ---------------------------------------------------------------------------------------------
// Walks.

namespace {

void RecorridoPre(TExprLambda* raiz, TProcNodo Visita) {
  std::vector<TExprLambda*> Pila{raiz};
  while (!Pila.empty()) {
    TExprLambda* n = Pila.back();
    Pila.pop_back();
    Visita(n);
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back(f->Cuerpo);
      Pila.push_back(f->Param);
    }
  }
}

void RecorridoPost(TExprLambda* raiz, TProcNodo Visita) {
  // A node goes on the stack twice: first to push its children, then (marked) to visit it.
  std::vector<std::pair<TExprLambda*, bool>> Pila{{raiz, false}};
  while (!Pila.empty()) {
    auto [n, hijosHechos] = Pila.back();
    Pila.pop_back();
    if (hijosHechos) {
      Visita(n);
      continue;
    }
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back({n, true});
      Pila.push_back({ap->Arg, false});
      Pila.push_back({ap->Func, false});
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back({n, true});
      Pila.push_back({f->Cuerpo, false});
      Pila.push_back({f->Param, false});
    } else {
      Visita(n);
    }
  }
}

}  // namespace

void TAplicacion::RecorrePre(TProcNodo Visita) {
  RecorridoPre(this, Visita);
}
void TAplicacion::RecorrePost(TProcNodo Visita) {
  RecorridoPost(this, Visita);
}
void TFuncion::RecorrePre(TProcNodo Visita) {
  RecorridoPre(this, Visita);
}
void TFuncion::RecorrePost(TProcNodo Visita) {
  RecorridoPost(this, Visita);
}

// ---------------------------------------------------------------------------------------------
// Marks. Closedness is known through the levels: an abstraction made over its body, whose
// variable is the newest of those that occur there, lets none of the others through once its own
// is left out.

uint32_t UltimoNivel = 0;

void RenuevaNiveles() {
#ifndef LAMBDA_SIN_POOL
  if (UltimoNivel < TExprLambda::NivelTope) return;
  Pool().OlvidaNiveles();
  UltimoNivel = 0;
#endif
}

void TAplicacion::ActualizaMarcas() {
  bool SinRedexDebajo = !EsFuncion(Func) && Limpio(Func) && Limpio(Arg);
  Marca = SinRedexDebajo ? SinRedex : 0u;
  PonNivelMinimo(this, std::min(NivelMinimo(Func), NivelMinimo(Arg)));
}

void TFuncion::ActualizaMarcas() {
  Marca = Limpio(Cuerpo) ? SinRedex : 0u;
  PonNivelMinimo(this, NivelSinParam(NivelMinimo(Cuerpo), Param, true));
}

void MarcaEscrito(TExprLambda* n, uint32_t Nombre) {
  if (EsVariable(n)) return;
  if (Nombre == 0) {
    n->Marca |= TExprLambda::Escrito;
    return;
  }
  constexpr uint32_t Bajos = (1u << TExprLambda::PrimerBitNivel) - 1;
  n->Marca = (n->Marca & Bajos) | TExprLambda::Cerrado | TExprLambda::Escrito |
             (Nombre << TExprLambda::PrimerBitNivel);
}

bool MarcaCopiaEscrita(TExprLambda* t) {
  // Post-order, each node with its depth; a bound variable stands for the depth of its binder's
  // body, a free one for 0: a node is closed when what its subtree refers to lies below it.
  struct TPaso {
    TExprLambda* Nodo;
    uint32_t Profundidad;
    bool Sale;
  };
  std::unordered_map<const TVariable*, uint32_t> Ligadores;
  std::vector<TPaso> Pila{{t, 0, false}};
  std::vector<uint32_t> Minimos;  // of the subtrees done whose parent is not
  while (!Pila.empty()) {
    const TPaso p = Pila.back();
    Pila.pop_back();
    const uint32_t d = p.Profundidad;
    if (TVariable* v = ComoVariable(p.Nodo)) {
      auto i = Ligadores.find(v);
      Minimos.push_back(i == Ligadores.end() ? 0 : i->second);
    } else if (!p.Sale) {
      Pila.push_back({p.Nodo, d, true});
      if (TAplicacion* ap = ComoAplicacion(p.Nodo)) {
        Pila.push_back({ap->Arg, d + 1, false});
        Pila.push_back({ap->Func, d + 1, false});
      } else {
        TFuncion* f = static_cast<TFuncion*>(p.Nodo);
        Ligadores[f->Param] = d + 1;
        Pila.push_back({f->Cuerpo, d + 1, false});
      }
    } else {
      uint32_t m = Minimos.back();
      Minimos.pop_back();
      if (EsAplicacion(p.Nodo)) {
        m = std::min(m, Minimos.back());
        Minimos.pop_back();
      }
      Minimos.push_back(m);
      MarcaEscrito(p.Nodo, m > d ? NombreDeCopia : 0);
    }
  }
  return EsVariable(t) ? false : Minimos.back() > 0;
}

uint32_t NombreEscrito(const TExprLambda* n) {
  constexpr uint32_t Ambas = TExprLambda::Escrito | TExprLambda::Cerrado;
  if (EsVariable(n) || (n->Marca & Ambas) != Ambas) return 0;
  return n->Marca >> TExprLambda::PrimerBitNivel;
}

void OlvidaEscritura(TExprLambda* t) {
  std::vector<TExprLambda*> Pila{t};
  while (!Pila.empty()) {
    TExprLambda* e = Pila.back();
    Pila.pop_back();
    if (EsVariable(e)) continue;
    e->Marca &= ~TExprLambda::Escrito;
    if (TAplicacion* ap = ComoAplicacion(e)) {
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    } else {
      Pila.push_back(static_cast<TFuncion*>(e)->Cuerpo);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Checks and measures.

bool EsValido(TExprLambda* t) {
  // Pre-order with an exit marker per abstraction. Scratch bits of Marca say which nodes were
  // seen and which binders are in scope; they are cleared again before returning. Bound
  // variables must count exactly their occurrences.
  using BitsMarca::EnAmbito;
  using BitsMarca::Visto;
  std::vector<TExprLambda*> Marcados;
  std::vector<TVariable*> Ocurrencias, Ligadas;
  std::vector<std::pair<TExprLambda*, TVariable*>> Pila{{t, nullptr}};
  bool Valido = true;
  while (Valido && !Pila.empty()) {
    auto [n, sale] = Pila.back();
    Pila.pop_back();
    if (!n) {
      sale->Marca &= ~EnAmbito;
      continue;
    }
    if (TVariable* v = ComoVariable(n)) {
      if (v->Libre ? v->Refs == 0 : !(v->Marca & EnAmbito)) Valido = false;
      if (!v->Libre) Ocurrencias.push_back(v);
      continue;
    }
    if (n->Marca & Visto) {
      Valido = false;
      break;
    }
    n->Marca |= Visto;
    Marcados.push_back(n);
    if (TAplicacion* ap = ComoAplicacion(n)) {
      if (!ap->Func || !ap->Arg) Valido = false;
      Pila.push_back({ap->Arg, nullptr});
      Pila.push_back({ap->Func, nullptr});
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      if (!f->Param || !f->Cuerpo || f->Param->Libre || (f->Param->Marca & Visto)) {
        Valido = false;
        break;
      }
      f->Param->Marca |= Visto | EnAmbito;
      Ligadas.push_back(f->Param);
      Pila.push_back({nullptr, f->Param});
      Pila.push_back({f->Cuerpo, nullptr});
    }
  }
  for (TExprLambda* n : Marcados) n->Marca &= ~Visto;
  for (TVariable* v : Ligadas) v->Marca &= ~(Visto | EnAmbito);
  if (!Valido) return false;
  // Every binder's count against its occurrences (binders that never occur must count 0).
  std::sort(Ocurrencias.begin(), Ocurrencias.end());
  std::sort(Ligadas.begin(), Ligadas.end());
  std::size_t i = 0;
  for (TVariable* v : Ligadas) {
    std::size_t j = i;
    while (j < Ocurrencias.size() && Ocurrencias[j] == v) ++j;
    if (v->Refs != j - i) return false;
    i = j;
  }
  return i == Ocurrencias.size();
}

namespace {

// The walk of MarcasCiertas: the compound nodes from the root down to where it stands, each with
// the number of its children done and whether a redex was found under it.
struct TCaminoMarcas {
  struct TPaso {
    TExprLambda* Nodo;
    int Hechos;
    bool Redex;  // a beta redex in its subtree
    bool Eta;    // a redex of either kind in its subtree
  };
  std::vector<TPaso> Pasos;

  // Every node between a bound occurrence and its binder must let the search for it through.
  bool Ocurrencia(TVariable* v) const {
    for (std::size_t i = Pasos.size(); i-- > 0;) {
      TExprLambda* n = Pasos[i].Nodo;
      if (EsFuncion(n) && static_cast<TFuncion*>(n)->Param == v) return true;
      if (NivelMinimo(n) > Nivel(v)) return false;
    }
    return false;
  }
  bool Entra(TExprLambda* n) {
    if (TVariable* v = ComoVariable(n)) return v->Libre || Ocurrencia(v);
    Pasos.push_back({n, 0, false, false});
    return true;
  }
  // The next child of the deepest node, or null when it has none left.
  TExprLambda* Siguiente() {
    TPaso& p = Pasos.back();
    if (TAplicacion* ap = ComoAplicacion(p.Nodo)) {
      if (p.Hechos == 2) return nullptr;
      return ++p.Hechos == 1 ? ap->Func : ap->Arg;
    }
    return p.Hechos++ == 0 ? static_cast<TFuncion*>(p.Nodo)->Cuerpo : nullptr;
  }
  // Leaves the deepest node; false when it claims no redex and has one.
  bool Sale() {
    TPaso p = Pasos.back();
    Pasos.pop_back();
    TAplicacion* ap = ComoAplicacion(p.Nodo);
    bool Redex = p.Redex || (ap && EsFuncion(ap->Func));
    bool Eta = Redex || p.Eta || (!ap && EsRedexEta(static_cast<TFuncion*>(p.Nodo)));
    if (!Pasos.empty()) {
      Pasos.back().Redex |= Redex;
      Pasos.back().Eta |= Eta;
    }
    return !(Redex && (p.Nodo->Marca & TExprLambda::SinRedex)) &&
           !(Eta && (p.Nodo->Marca & TExprLambda::SinRedexNiEta));
  }
};

}  // namespace

bool MarcasCiertas(TExprLambda* t) {
  TCaminoMarcas c;
  if (!c.Entra(t)) return false;
  while (!c.Pasos.empty()) {
    if (TExprLambda* h = c.Siguiente()) {
      if (!c.Entra(h)) return false;
    } else if (!c.Sale()) {
      return false;
    }
  }
  return true;
}

std::size_t CuentaNodos(TExprLambda* t) {
  std::size_t n = 0;
  t->RecorrePre([&n](TExprLambda*) { ++n; });
  return n;
}

std::size_t CuentaNodos(TExprLambda* t, std::size_t Tope, const std::function<void()>& Pulso) {
  std::size_t n = 0, k = 0;
  std::vector<TExprLambda*> Pila{t};
  while (!Pila.empty() && n <= Tope) {
    TExprLambda* e = Pila.back();
    Pila.pop_back();
    Late(Pulso, k);
    ++n;
    if (TAplicacion* ap = ComoAplicacion(e)) {
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    } else if (TFuncion* f = ComoFuncion(e)) {
      ++n;  // its variable
      Pila.push_back(f->Cuerpo);
    }
  }
  return n;
}

std::size_t Profundidad(TExprLambda* t) {
  std::size_t Maxima = 0;
  std::vector<std::pair<TExprLambda*, std::size_t>> Pila{{t, 1}};
  while (!Pila.empty()) {
    auto [n, d] = Pila.back();
    Pila.pop_back();
    Maxima = std::max(Maxima, d);
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back({ap->Func, d + 1});
      Pila.push_back({ap->Arg, d + 1});
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back({f->Cuerpo, d + 1});
    }
  }
  return Maxima;
}
