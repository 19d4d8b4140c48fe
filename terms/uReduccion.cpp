// SPDX-License-Identifier: GPL-3.0-or-later
#include "uReduccion.h"

#include <algorithm>
#include <limits>

#include "uEstrategiaInterno.h"
#include "uLambdaInterno.h"

int64_t NumReducciones = 0;

namespace {

constexpr uint32_t SinRedex = TExprLambda::SinRedex;

// Marks a node whose walk has ended when nothing below it, nor itself, is a redex.
inline void Cierra(TExprLambda* n) {
  if (TAplicacion* ap = ComoAplicacion(n)) {
    if (!EsFuncion(ap->Func) && Limpio(ap->Func) && Limpio(ap->Arg)) n->Marca |= SinRedex;
  } else if (Limpio(static_cast<TFuncion*>(n)->Cuerpo)) {
    n->Marca |= SinRedex;
  }
}

// A frame of a pass's walk: a slot and the phase, packed in one word (slots are aligned), so
// that the frames down a term a million deep take 8 MB rather than 16.
class TMarco {
 public:
  TMarco() = default;
  TMarco(TExprLambda** hueco, uintptr_t fase) : Valor(reinterpret_cast<uintptr_t>(hueco) | fase) {}
  TExprLambda** Hueco() const { return reinterpret_cast<TExprLambda**>(Valor & ~uintptr_t(3)); }
  // 0 arriving, 1 after the first child, 2 after the argument
  uintptr_t Fase() const { return Valor & 3; }
  void PonFase(uintptr_t f) { Valor = (Valor & ~uintptr_t(3)) | f; }

 private:
  uintptr_t Valor = 0;
};

// Scratch of the passes and contractions, kept from one to the next so that they allocate
// nothing of their own: a pass costs about what it changes, and a fresh vector per pass or per
// copy cost more than the contraction.
struct TAuxiliar {
  TPilasContraccion Contraccion;
  std::vector<TMarco> Marcos;
  std::vector<TExprLambda**> CaminoCambios;
};

// Reused by every pass of every engine; passes never nest.
TAuxiliar& AuxiliarDelHilo() {
  thread_local TAuxiliar a;
  return a;
}

// A scratch vector grown past a megabyte for a big term goes back to the allocator.
template <typename T>
void Suelta(std::vector<T>& v) {
  if (v.capacity() * sizeof(T) > (std::size_t(1) << 20)) std::vector<T>().swap(v);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

namespace {

// One pass over part of a term. The walk runs on the slots (the fields that hold each node), so
// a contraction writes its result straight into its parent.
class TPasada {
 public:
  TPasada(bool multiple, bool& cambio, TAuxiliar& auxiliar)
      : CaminoCambios(auxiliar.CaminoCambios),
        Pila(auxiliar.Marcos),
        Multiple(multiple),
        Cambio(cambio),
        Auxiliar(auxiliar) {}

  // Walks the subtree in *inicio. In single mode it stops at the first contraction, leaving in
  // Pila the path from *inicio down to it. Returns false when a contraction was refused.
  bool Recorre(TExprLambda** Inicio) {
    Alto = 0;
    Empuja({Inicio, 0});
    while (Alto > 0) {
      TMarco& m = Pila[Alto - 1];
      TExprLambda* n = *m.Hueco();
      if (m.Fase() == 0) {
        TLlegada l = Llega(m, n);
        if (l == Sigue) continue;
        return l == Acaba;
      }
      if (m.Fase() == 1 && (Multiple || !Cambio)) {
        m.PonFase(2);
        Empuja({&static_cast<TAplicacion*>(n)->Arg, 0});
        continue;
      }
      Cierra(n);
      Sale();
    }
    return true;
  }

  // After a walk: how many frames below the start lead to the lowest node that holds every
  // change of the pass (-1: the start's parent, which has become a redex), and those frames.
  int ProfundidadCambios = 0;
  std::vector<TExprLambda**>& CaminoCambios;
  bool HuboCambios = false;
  bool Rechazada = false;
  std::size_t NodosPedidos = 0;
  // Whether the start of the walk is the function part of its parent.
  bool InicioEsFuncion = false;
  // The walk's frames: the first Alto of Pila, which only grows, by hand: the vector's own push
  // is not inlined and cost a tenth of a pass.
  std::vector<TMarco>& Pila;
  std::size_t Alto = 0;

 private:
  enum TLlegada { Sigue, Acaba, Rechaza };

  // The walk arrives at `n`, in the frame `m`: it goes down, or contracts a redex.
  [[gnu::always_inline]] TLlegada Llega(TMarco& m, TExprLambda* n) {
    if (Limpio(n)) {
      Sale();
      return Sigue;
    }
    // A node a pass goes into holds a redex the pass contracts, there or below: it is no longer
    // what was written (those above the start of a pass that resumes were gone into by an earlier
    // one). Else it holds none but lost the mark that says so, which only a change or a stale
    // copy ('%', or a definition made of one) does: then it was not as written anyway, or holds
    // such a copy, and folds as any other part. A contraction refused at the node limit leaves the
    // nodes above it so too.
    n->Marca &= ~TExprLambda::Escrito;
    if (TFuncion* f = ComoFuncion(n)) {
      m.PonFase(2);
      Empuja({&f->Cuerpo, 0});
      return Sigue;
    }
    TAplicacion* ap = static_cast<TAplicacion*>(n);
    if (!EsFuncion(ap->Func)) {
      m.PonFase(1);
      Empuja({&ap->Func, 0});
      return Sigue;
    }
    TExprLambda* R = Contrae(ap, Auxiliar.Contraccion, NodosPedidos);
    if (!R) {
      Rechazada = true;
      return Rechaza;
    }
    *m.Hueco() = R;
    Cambio = true;
    AnotaCambio(R);
    if (!Multiple) return Acaba;
    Sale();
    return Sigue;
  }

  void Empuja(TMarco x) {
    if (Alto == Pila.size()) Pila.resize(2 * Alto + 64);
    Pila[Alto++] = x;
  }

  void Sale() {
    --Alto;
    if (Alto < MinimoPila) MinimoPila = Alto;
  }

  // The place a later pass must start from for the change just made at the top of Pila: the
  // change itself, or its parent when the result is an abstraction in function position.
  void AnotaCambio(TExprLambda* R) {
    int k = static_cast<int>(Alto) - 1;
    int Efectiva = k;
    if (EsFuncion(R)) {
      if (k > 0) {
        TAplicacion* Padre = ComoAplicacion(*Pila[k - 1].Hueco());
        if (Padre && Pila[k].Hueco() == &Padre->Func) Efectiva = k - 1;
      } else if (InicioEsFuncion) {
        Efectiva = -1;
      }
    }
    if (!HuboCambios) {
      HuboCambios = true;
      CaminoCambios.clear();
      for (int i = 1; i <= Efectiva; ++i) CaminoCambios.push_back(Pila[i].Hueco());
      ProfundidadCambios = Efectiva;
      MinimoPila = Alto;
      return;
    }
    int Comun = static_cast<int>(MinimoPila) - 1;
    ProfundidadCambios = std::min(std::min(ProfundidadCambios, Comun), Efectiva);
  }

  bool Multiple;
  bool& Cambio;
  TAuxiliar& Auxiliar;
  std::size_t MinimoPila = 0;
};

}  // namespace

namespace {

// After a pass that changed something: the next one starts at the lowest node holding every
// change of this one.
void Avanza(TCamino& Camino, const TPasada& p) {
  if (p.ProfundidadCambios < 0) {
    Camino.pop_back();
  } else {
    for (int i = 0; i < p.ProfundidadCambios; ++i) Camino.push_back(p.CaminoCambios[i]);
  }
}

// The rest of a single pass that found nothing from the end of the path: the arguments of the
// applications whose function part the path goes through, from the lowest up. Returns false when
// a contraction was refused.
bool SigueEnOrden(TCamino& Camino, TPasada& p, bool Cambio) {
  while (Camino.size() > 1) {
    TExprLambda** Hijo = Camino.back();
    Camino.pop_back();
    TExprLambda* Padre = *Camino.back();
    TAplicacion* ap = ComoAplicacion(Padre);
    if (!ap || Hijo != &ap->Func || Cambio) {
      Cierra(Padre);
      continue;
    }
    Camino.push_back(&ap->Arg);
    p.InicioEsFuncion = false;
    if (!p.Recorre(&ap->Arg)) return false;
    if (p.HuboCambios) {
      Avanza(Camino, p);
      return true;
    }
  }
  return true;
}

}  // namespace

void TCamino::Inicia(TExprLambda** Raiz) {
  Limpia();
  Pasos.push_back(0);
  Puntos.push_back(Raiz);
  Tramo.push_back(Raiz);
}

void TCamino::Limpia() {
  Pasos.clear();
  Puntos.clear();
  Tramo.clear();
}

void TCamino::Suelta() {
  ::Suelta(Pasos);
  ::Suelta(Puntos);
  ::Suelta(Tramo);
}

void TCamino::push_back(TExprLambda** Hueco) {
  TExprLambda* n = *Tramo.back();
  uint8_t Paso = 2;
  if (TAplicacion* ap = ComoAplicacion(n)) Paso = Hueco == &ap->Func ? 0 : 1;
  Pasos.push_back(Paso);
  if ((Pasos.size() - 1) % Cada == 0) {
    Puntos.push_back(Hueco);
    Tramo.clear();
  }
  Tramo.push_back(Hueco);
}

void TCamino::pop_back() {
  Pasos.pop_back();
  Tramo.pop_back();
  if (!Tramo.empty() || Pasos.empty()) return;
  // Below the last point: the slots down from the one before, again.
  Puntos.pop_back();
  std::size_t Desde = (Pasos.size() - 1) / Cada * Cada;
  TExprLambda** h = Puntos.back();
  Tramo.push_back(h);
  for (std::size_t i = Desde + 1; i < Pasos.size(); ++i) {
    TExprLambda* n = *h;
    if (Pasos[i] == 2)
      h = &static_cast<TFuncion*>(n)->Cuerpo;
    else
      h = Pasos[i] == 0 ? &static_cast<TAplicacion*>(n)->Func : &static_cast<TAplicacion*>(n)->Arg;
    Tramo.push_back(h);
  }
}

TMotor::TMotor() : Recorrido(std::make_unique<TRecorridoEstrategia>()) {}
TMotor::~TMotor() = default;

void TMotor::FijaModo(TModo m) {
  if (m == ModoActual) return;
  Olvida();
  ModoActual = m;
}

void TMotor::Olvida() {
  Camino.Limpia();
  Camino.Suelta();
  Raiz = nullptr;
  Recorrido->Olvida();
  // The scratch of the passes grew with the term this engine worked on.
  TAuxiliar& a = AuxiliarDelHilo();
  Suelta(a.Contraccion.Ocurrencias);
  Suelta(a.Contraccion.Pila);
  Suelta(a.Marcos);
  Suelta(a.CaminoCambios);
  Suelta(a.Contraccion.Copia.Tareas);
  Suelta(a.Contraccion.Copia.Ligadores);
  Suelta(a.Contraccion.Copia.Copiadas);
}

TExprLambda* TMotor::Reduce(TExprLambda* raiz, bool& Cambio, bool multiple) {
  Fin = TFinPasada::Normal;
  NodosPedidos = 0;
  RenuevaNiveles();
  if (!ModoActual.Clasico()) return PasoEnModo(raiz, Cambio);
  // A single pass that starts with Cambio set visits no argument at all: only a walk from the
  // root gives that.
  if (Camino.empty() || raiz != Raiz || multiple != Multiple || (!multiple && Cambio)) {
    Raiz = raiz;
    Camino.Inicia(&Raiz);
    Multiple = multiple;
  }
  TPasada p(Multiple, Cambio, AuxiliarDelHilo());

  auto Fallo = [&]() {
    Fin = TFinPasada::DemasiadoGrande;
    NodosPedidos = p.NodosPedidos;
    TExprLambda* r = Raiz;
    Olvida();
    return r;
  };

  p.InicioEsFuncion = Camino.UltimoEsFuncion();
  if (!p.Recorre(Camino.back())) return Fallo();
  if (p.HuboCambios) {
    Avanza(Camino, p);
    return Raiz;
  }
  // Multiple mode keeps everything outside the start free of redexes; a single pass must still
  // go on in walk order.
  if (!Multiple && !SigueEnOrden(Camino, p, Cambio)) return Fallo();
  return Raiz;
}

TExprLambda* TMotor::PasoEnModo(TExprLambda* raiz, bool& Cambio) {
  TRecorridoEstrategia& r = *Recorrido;
  if (!r.Iniciado || raiz != r.Raiz) r.Inicia(raiz, ModoActual);
  switch (r.Paso(AuxiliarDelHilo().Contraccion, NodosPedidos)) {
    case TRecorridoEstrategia::TPaso::Hecho:
      Cambio = true;
      break;
    case TRecorridoEstrategia::TPaso::Rechazado:
      Fin = TFinPasada::DemasiadoGrande;
      r.Olvida();
      return raiz;
    case TRecorridoEstrategia::TPaso::Ninguno:
      break;
  }
  return r.Raiz;
}

void TMotor::Proximos(TExprLambda* raiz, bool multiple, std::vector<TExprLambda*>& Redex,
                      const std::function<void()>& Pulso) {
  Redex.clear();
  if (!raiz) return;
  if (ModoActual.Clasico()) {
    std::vector<TAplicacion*> Beta;
    Siguientes(raiz, multiple, Beta, Pulso);
    Redex.assign(Beta.begin(), Beta.end());
    return;
  }
  TRecorridoEstrategia& r = *Recorrido;
  if (!r.Iniciado || raiz != r.Raiz) r.Inicia(raiz, ModoActual);
  if (TExprLambda* n = r.Siguiente(Pulso)) Redex.push_back(n);
}

TExprLambda* Pasada(TExprLambda* Raiz, bool& Cambio, bool Multiple, TFinPasada& Fin,
                    std::size_t& NodosPedidos) {
  TMotor Motor;
  TExprLambda* r = Motor.Reduce(Raiz, Cambio, Multiple);
  Fin = Motor.Fin;
  NodosPedidos = Motor.NodosPedidos;
  return r;
}

namespace {

// The walk of a pass without its contractions, over the subtree at `Inicio`: function parts
// before arguments, never into a redex. Appends the redexes it finds; in single mode it stops at
// the first, and returns whether it found one. A subtree it walks whole and finds free of
// redexes gets the engine's mark, which is true and stays true until the engine changes it.
bool BuscaRedex(TExprLambda* Inicio, bool Multiple, std::vector<TAplicacion*>& Redex,
                const std::function<void()>& Pulso) {
  struct TMarcoBusca {
    TExprLambda* Nodo;
    std::size_t Antes;  // redexes found before it; SIZE_MAX while its children are not pushed
  };
  std::vector<TMarcoBusca> Pila{{Inicio, SIZE_MAX}};
  std::size_t k = 0;
  while (!Pila.empty()) {
    TMarcoBusca& m = Pila.back();
    TExprLambda* n = m.Nodo;
    if (m.Antes != SIZE_MAX) {
      if (Redex.size() == m.Antes) n->Marca |= SinRedex;
      Pila.pop_back();
      continue;
    }
    Late(Pulso, k);
    if (Limpio(n)) {
      Pila.pop_back();
      continue;
    }
    m.Antes = Redex.size();
    if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back({f->Cuerpo, SIZE_MAX});
      continue;
    }
    TAplicacion* ap = static_cast<TAplicacion*>(n);
    if (EsFuncion(ap->Func)) {
      Redex.push_back(ap);
      if (!Multiple) return true;
      Pila.pop_back();
      continue;
    }
    Pila.push_back({ap->Arg, SIZE_MAX});
    Pila.push_back({ap->Func, SIZE_MAX});
  }
  return false;
}

}  // namespace

void SiguientesRedex(TExprLambda* Raiz, bool Multiple, std::vector<TAplicacion*>& Redex,
                     const std::function<void()>& Pulso) {
  Redex.clear();
  if (Raiz) BuscaRedex(Raiz, Multiple, Redex, Pulso);
}

void TodosLosRedex(TExprLambda* Raiz, std::vector<TAplicacion*>& Redex,
                   const std::function<void()>& Pulso) {
  Redex.clear();
  if (!Raiz) return;
  std::vector<TExprLambda*> Pila{Raiz};
  std::size_t k = 0;
  while (!Pila.empty()) {
    TExprLambda* n = Pila.back();
    Pila.pop_back();
    Late(Pulso, k);
    if (Limpio(n)) continue;
    if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back(f->Cuerpo);
      continue;
    }
    TAplicacion* ap = static_cast<TAplicacion*>(n);
    if (EsFuncion(ap->Func)) Redex.push_back(ap);
    Pila.push_back(ap->Arg);
    Pila.push_back(ap->Func);
  }
}

TExprLambda* TMotor::ContraeElegido(TExprLambda* raiz, TAplicacion* Elegido, bool& Cambio) {
  Fin = TFinPasada::Normal;
  NodosPedidos = 0;
  RenuevaNiveles();
  Olvida();
  // The slot that holds it, and the nodes above it: it lies below no node marked free of
  // redexes. Each slot goes with its depth; Camino holds the slots from the root down to the one
  // being looked at.
  std::vector<std::pair<TExprLambda**, std::size_t>> Pila{{&raiz, 0}};
  std::vector<TExprLambda**> Camino;
  TExprLambda** Hueco = nullptr;
  while (!Pila.empty() && !Hueco) {
    auto [h, d] = Pila.back();
    Pila.pop_back();
    Camino.resize(d);
    Camino.push_back(h);
    if (*h == Elegido) {
      Hueco = h;
    } else if (TFuncion* f = ComoFuncion(*h)) {
      if (!Limpio(f)) Pila.push_back({&f->Cuerpo, d + 1});
    } else if (TAplicacion* ap = ComoAplicacion(*h); ap && !Limpio(ap)) {
      Pila.push_back({&ap->Arg, d + 1});
      Pila.push_back({&ap->Func, d + 1});
    }
  }
  if (!Hueco || !EsFuncion(Elegido->Func)) return raiz;
  Camino.pop_back();
  for (TExprLambda** h : Camino) (*h)->Marca &= ~TExprLambda::Escrito;
  TExprLambda* R = Contrae(Elegido, AuxiliarDelHilo().Contraccion, NodosPedidos);
  if (!R) {
    Fin = TFinPasada::DemasiadoGrande;
    return raiz;
  }
  *Hueco = R;
  Cambio = true;
  return raiz;
}

void TMotor::Siguientes(TExprLambda* raiz, bool multiple, std::vector<TAplicacion*>& Redex,
                        const std::function<void()>& Pulso) const {
  // Where the next pass would start from the root, so does the search.
  if (Camino.empty() || raiz != Raiz || multiple != Multiple)
    return SiguientesRedex(raiz, multiple, Redex, Pulso);
  Redex.clear();
  // The next pass starts at the end of the path; in multiple mode nothing outside it holds a
  // redex, in single mode it goes on as Reduce does: the arguments of the applications whose
  // function part the path goes through, from the lowest up.
  if (BuscaRedex(*Camino.back(), multiple, Redex, Pulso) || multiple) return;
  Camino.SubePorFunciones(
      [&](TAplicacion* ap) { return BuscaRedex(ap->Arg, false, Redex, Pulso); });
}

TExprLambda* TVariable::Reduce(bool&, bool) {
  return this;
}

TExprLambda* TAplicacion::Reduce(bool& Cambio, bool Multiple) {
  TFinPasada Fin;
  std::size_t Pedidos;
  return Pasada(this, Cambio, Multiple, Fin, Pedidos);
}

TExprLambda* TFuncion::Reduce(bool& Cambio, bool Multiple) {
  TFinPasada Fin;
  std::size_t Pedidos;
  return Pasada(this, Cambio, Multiple, Fin, Pedidos);
}
