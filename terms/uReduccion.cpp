#include "uReduccion.h"

#include <algorithm>
#include <limits>

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

// Nodes that a copy of `t` allocates (applications, abstractions and their variables).
std::size_t NodosQueCopia(TExprLambda* t) {
  std::size_t n = 0;
  std::vector<TExprLambda*> pila{t};
  while (!pila.empty()) {
    TExprLambda* e = pila.back();
    pila.pop_back();
    if (TAplicacion* ap = ComoAplicacion(e)) {
      ++n;
      pila.push_back(ap->Func);
      pila.push_back(ap->Arg);
    } else if (TFuncion* f = ComoFuncion(e)) {
      n += 2;
      pila.push_back(f->Cuerpo);
    }
  }
  return n;
}

// Scratch of a contraction, kept between contractions so they allocate nothing of their own.
struct TAuxiliar {
  std::vector<TExprLambda**> Ocurrencias;
  std::vector<TExprLambda*> Pila;
};

// Contracts the redex `ap`: the body, with the argument put in place of the bound variable,
// takes the application's place. Every occurrence but the last gets a copy of the argument and
// the last gets the argument itself, which the contraction would destroy anyway: the term is the
// same as with a copy everywhere. Returns null, leaving the term as it was, when the copies would
// pass the node limit; `pedidos` then holds the size that was refused.
TExprLambda* Contrae(TAplicacion* ap, TAuxiliar& a, std::size_t& pedidos) {
  TFuncion* F = static_cast<TFuncion*>(ap->Func);
  TVariable* x = F->Param;
  TExprLambda* M = F->Cuerpo;
  TExprLambda* N = ap->Arg;

  // x is bound outside M, so it cannot occur in a closed subtree; a copy of a compound argument
  // may form a redex anywhere above where it goes.
  BuscaOcurrencias(M, x, EsVariable(N) ? 0u : SinRedex, true, a.Ocurrencias, a.Pila);
  std::vector<TExprLambda**>& ocurrencias = a.Ocurrencias;
  std::size_t copias = ocurrencias.empty() ? 0 : ocurrencias.size() - 1;
  if (copias > 0 && !EsVariable(N)) {
    std::size_t tam = NodosQueCopia(N);
    std::size_t vivos = NodosVivos();
    std::size_t limite = LimiteNodos();
    if (tam > (limite - std::min(limite, vivos)) / copias) {
      long double total = static_cast<long double>(vivos) + static_cast<long double>(tam) * copias;
      pedidos = total >= static_cast<long double>(std::numeric_limits<std::size_t>::max())
                    ? std::numeric_limits<std::size_t>::max()
                    : static_cast<std::size_t>(total);
      return nullptr;
    }
  }

  TExprLambda* R;
  if (M == x) {
    R = N;
    ap->Arg = nullptr;
  } else {
    for (std::size_t i = 0; i < copias; ++i) *ocurrencias[i] = N->Copia();
    if (!ocurrencias.empty()) {
      *ocurrencias.back() = N;
      ap->Arg = nullptr;
    }
    R = M;
  }
  F->Cuerpo = nullptr;
  delete ap;  // the abstraction, its variable, and the argument if it went nowhere
  ++NumReducciones;
  return R;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

namespace {

// One pass over part of a term. The walk runs on the slots (the fields that hold each node), so
// a contraction writes its result straight into its parent.
class TPasada {
 public:
  TPasada(bool multiple, bool& cambio, TAuxiliar& auxiliar)
      : Multiple(multiple), Cambio(cambio), Auxiliar(auxiliar) {}

  struct TMarco {
    TExprLambda** Hueco;
    uint8_t Fase;  // 0 arriving, 1 after the first child, 2 after the argument
  };

  // Walks the subtree in *inicio. In single mode it stops at the first contraction, leaving in
  // Pila the path from *inicio down to it. Returns false when a contraction was refused.
  bool Recorre(TExprLambda** inicio) {
    Pila.clear();
    Pila.push_back({inicio, 0});
    while (!Pila.empty()) {
      TMarco& m = Pila.back();
      TExprLambda* n = *m.Hueco;
      if (m.Fase == 0) {
        if (Limpio(n)) {
          Sale();
          continue;
        }
        if (TFuncion* f = ComoFuncion(n)) {
          m.Fase = 2;
          Pila.push_back({&f->Cuerpo, 0});
          continue;
        }
        TAplicacion* ap = static_cast<TAplicacion*>(n);
        if (EsFuncion(ap->Func)) {
          TExprLambda* R = Contrae(ap, Auxiliar, NodosPedidos);
          if (!R) {
            Rechazada = true;
            return false;
          }
          *m.Hueco = R;
          Cambio = true;
          AnotaCambio(R);
          if (!Multiple) return true;
          Sale();
          continue;
        }
        m.Fase = 1;
        Pila.push_back({&ap->Func, 0});
        continue;
      }
      if (m.Fase == 1 && (Multiple || !Cambio)) {
        m.Fase = 2;
        Pila.push_back({&static_cast<TAplicacion*>(n)->Arg, 0});
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
  std::vector<TExprLambda**> CaminoCambios;
  bool HuboCambios = false;
  bool Rechazada = false;
  std::size_t NodosPedidos = 0;
  // Whether the start of the walk is the function part of its parent.
  bool InicioEsFuncion = false;
  std::vector<TMarco> Pila;

 private:
  void Sale() {
    Pila.pop_back();
    if (Pila.size() < MinimoPila) MinimoPila = Pila.size();
  }

  // The place a later pass must start from for the change just made at the top of Pila: the
  // change itself, or its parent when the result is an abstraction in function position.
  void AnotaCambio(TExprLambda* R) {
    int k = static_cast<int>(Pila.size()) - 1;
    int efectiva = k;
    if (EsFuncion(R)) {
      if (k > 0) {
        TAplicacion* padre = ComoAplicacion(*Pila[k - 1].Hueco);
        if (padre && Pila[k].Hueco == &padre->Func) efectiva = k - 1;
      } else if (InicioEsFuncion) {
        efectiva = -1;
      }
    }
    if (!HuboCambios) {
      HuboCambios = true;
      CaminoCambios.clear();
      for (int i = 1; i <= efectiva; ++i) CaminoCambios.push_back(Pila[i].Hueco);
      ProfundidadCambios = efectiva;
      MinimoPila = Pila.size();
      return;
    }
    int comun = static_cast<int>(MinimoPila) - 1;
    ProfundidadCambios = std::min(std::min(ProfundidadCambios, comun), efectiva);
  }

  bool Multiple;
  bool& Cambio;
  TAuxiliar& Auxiliar;
  std::size_t MinimoPila = 0;
};

}  // namespace

namespace {

// Whether the last slot of a path is the function part of the application above it.
bool EsFuncionDeSuPadre(const std::vector<TExprLambda**>& camino) {
  if (camino.size() < 2) return false;
  TAplicacion* padre = ComoAplicacion(*camino[camino.size() - 2]);
  return padre && camino.back() == &padre->Func;
}

// After a pass that changed something: the next one starts at the lowest node holding every
// change of this one.
void Avanza(std::vector<TExprLambda**>& camino, const TPasada& p) {
  if (p.ProfundidadCambios < 0) {
    camino.pop_back();
  } else {
    camino.insert(camino.end(), p.CaminoCambios.begin(),
                  p.CaminoCambios.begin() + p.ProfundidadCambios);
  }
}

}  // namespace

void TMotor::Olvida() {
  Camino.clear();
  Raiz = nullptr;
}

TExprLambda* TMotor::Reduce(TExprLambda* raiz, bool& Cambio, bool multiple) {
  Fin = TFinPasada::Normal;
  NodosPedidos = 0;
  // A single pass that starts with Cambio set visits no argument at all: only a walk from the
  // root gives that.
  if (Camino.empty() || raiz != Raiz || multiple != Multiple || (!multiple && Cambio)) {
    Raiz = raiz;
    Camino.assign(1, &Raiz);
    Multiple = multiple;
  }
  thread_local TAuxiliar auxiliar;  // reused by every pass; passes never nest
  TPasada p(Multiple, Cambio, auxiliar);

  auto fallo = [&]() {
    Fin = TFinPasada::DemasiadoGrande;
    NodosPedidos = p.NodosPedidos;
    TExprLambda* r = Raiz;
    Olvida();
    return r;
  };

  p.InicioEsFuncion = EsFuncionDeSuPadre(Camino);
  if (!p.Recorre(Camino.back())) return fallo();
  if (p.HuboCambios) {
    Avanza(Camino, p);
    return Raiz;
  }
  // Multiple mode keeps everything outside the start free of redexes; a single pass must still
  // go on in walk order: the arguments of the applications whose function part it came from.
  if (!Multiple) {
    while (Camino.size() > 1) {
      TExprLambda** hijo = Camino.back();
      Camino.pop_back();
      TExprLambda* padre = *Camino.back();
      TAplicacion* ap = ComoAplicacion(padre);
      if (ap && hijo == &ap->Func && !Cambio) {
        Camino.push_back(&ap->Arg);
        p.InicioEsFuncion = false;
        if (!p.Recorre(&ap->Arg)) return fallo();
        if (p.HuboCambios) {
          Avanza(Camino, p);
          return Raiz;
        }
        continue;
      }
      Cierra(padre);
    }
  }
  return Raiz;
}

TExprLambda* Pasada(TExprLambda* Raiz, bool& Cambio, bool Multiple, TFinPasada& Fin,
                    std::size_t& NodosPedidos) {
  TMotor motor;
  TExprLambda* r = motor.Reduce(Raiz, Cambio, Multiple);
  Fin = motor.Fin;
  NodosPedidos = motor.NodosPedidos;
  return r;
}

TExprLambda* TVariable::Reduce(bool&, bool) {
  return this;
}

TExprLambda* TAplicacion::Reduce(bool& Cambio, bool Multiple) {
  TFinPasada fin;
  std::size_t pedidos;
  return Pasada(this, Cambio, Multiple, fin, pedidos);
}

TExprLambda* TFuncion::Reduce(bool& Cambio, bool Multiple) {
  TFinPasada fin;
  std::size_t pedidos;
  return Pasada(this, Cambio, Multiple, fin, pedidos);
}
