// SPDX-License-Identifier: GPL-3.0-or-later
// The strategies other than the classic passes, as one walk with an explicit stack. Each
// strategy is a rule saying, at an application, which strategy walks its function part first,
// and then either (the function part is an abstraction) which one walks its argument before the
// contraction, or (it is not) which ones walk the function part again and the argument; and at
// an abstraction, which one walks its body. A contraction puts its result in the same frame,
// which the same strategy walks again: the stack between two steps is the rest of the work, so a
// step resumes where the last one left off and costs about what it changes.
#include "uEstrategia.h"

#include <algorithm>
#include <vector>

#include "uEstrategiaInterno.h"
#include "uLambda.h"
#include "uLambdaInterno.h"
#include "uReduccion.h"

TForma FormaDe(TEstrategia e) {
  switch (e) {
    case TEstrategia::PorNombre:
      return TForma::CabezaDebil;
    case TEstrategia::PorValor:
      return TForma::Debil;
    case TEstrategia::Cabeza:
      return TForma::Cabeza;
    default:
      return TForma::Normal;
  }
}

namespace {

struct TNombres {
  const char* Nombre;
  const char* Clave;
};
constexpr TNombres NombresEstrategia[] = {{"Orden normal", "normal"},
                                          {"Orden aplicativo", "applicative"},
                                          {"Llamada por nombre", "name"},
                                          {"Llamada por valor", "value"},
                                          {"Cabeza", "head"},
                                          {"H\xED"
                                           "brida aplicativa",
                                           "hybrid-applicative"},
                                          {"H\xED"
                                           "brida normal",
                                           "hybrid-normal"}};
constexpr TNombres NombresForma[] = {{"forma normal", "nf"},
                                     {"forma normal de cabeza", "hnf"},
                                     {"forma normal d\xE9"
                                      "bil",
                                      "wnf"},
                                     {"forma normal de cabeza d\xE9"
                                      "bil",
                                      "whnf"}};

}  // namespace

const char* NombreEstrategia(TEstrategia e) {
  return NombresEstrategia[static_cast<int>(e)].Nombre;
}
const char* ClaveEstrategia(TEstrategia e) {
  return NombresEstrategia[static_cast<int>(e)].Clave;
}
bool EstrategiaDeClave(std::string_view Clave, TEstrategia& e) {
  for (TEstrategia x : Estrategias)
    if (Clave == ClaveEstrategia(x)) {
      e = x;
      return true;
    }
  return false;
}
const char* NombreForma(TForma f) {
  return NombresForma[static_cast<int>(f)].Nombre;
}
const char* ClaveForma(TForma f) {
  return NombresForma[static_cast<int>(f)].Clave;
}

bool EsRedexEta(const TFuncion* f) {
  // A bound variable's references are its occurrences: one, the argument, leaves none in M.
  const TAplicacion* ap = ComoAplicacion(f->Cuerpo);
  return ap && ap->Arg == f->Param && f->Param->Refs == 1;
}

// ---------------------------------------------------------------------------------------------

namespace {

// No strategy walks that part.
constexpr TEstrategia Ninguna = static_cast<TEstrategia>(0xFF);

// What a strategy walks at each kind of node (see the top of the file): the strategy that walks
// each part, the strategies' rules being the rows of Reglas in their order.
struct TRegla {
  TEstrategia PrimeroFunc;  // the function part, before looking at it
  TEstrategia ArgDeRedex;   // the argument before the contraction, when the function part is one
  TEstrategia LuegoFunc;    // the function part again, when it is not an abstraction
  TEstrategia LuegoArg;     // the argument then
  TEstrategia Cuerpo;       // an abstraction's body
};

constexpr TEstrategia N = TEstrategia::Normal, A = TEstrategia::Aplicativo,
                      BN = TEstrategia::PorNombre, BV = TEstrategia::PorValor,
                      HE = TEstrategia::Cabeza, HA = TEstrategia::HibridaAplicativa,
                      HN = TEstrategia::HibridaNormal, X = Ninguna;
constexpr TRegla Reglas[] = {
    {BN, X, N, N, N},      // orden normal: by name in function place, then everywhere
    {A, A, X, A, A},       // orden aplicativo: everything inside first
    {BN, X, X, X, X},      // llamada por nombre: the function part only, never inside one
    {BV, BV, X, BV, X},    // llamada por valor: both parts, never inside an abstraction
    {HE, X, X, X, HE},     // cabeza: the function part, inside abstractions too
    {BV, HA, HA, HA, HA},  // híbrida aplicativa
    {HE, X, HN, HN, HN}};  // híbrida normal

constexpr const TRegla& Regla(TEstrategia e) {
  return Reglas[static_cast<uint8_t>(e)];
}

constexpr bool MismoPrimero() {
  for (const TRegla& r : Reglas)
    if (r.LuegoFunc != Ninguna && Regla(r.LuegoFunc).PrimeroFunc != r.PrimeroFunc) return false;
  return true;
}
static_assert(MismoPrimero(), "a function part walked again skips what it has been through");

// An abstraction that is an η-redex in function place forms a β-redex above it, the outer one.
inline void CierraEta(TExprLambda* n) {
  constexpr uint32_t Ambas = TExprLambda::SinRedex | TExprLambda::SinRedexNiEta;
  if (TAplicacion* ap = ComoAplicacion(n)) {
    if (!EsFuncion(ap->Func) && LimpioEta(ap->Func) && LimpioEta(ap->Arg)) n->Marca |= Ambas;
  } else if (LimpioEta(static_cast<TFuncion*>(n)->Cuerpo) &&
             !EsRedexEta(static_cast<TFuncion*>(n))) {
    n->Marca |= Ambas;
  }
}

// Marks a node the walk leaves, when nothing below it, nor itself, is a beta redex.
inline void CierraBeta(TExprLambda* n) {
  if (TAplicacion* ap = ComoAplicacion(n)) {
    if (!EsFuncion(ap->Func) && Limpio(ap->Func) && Limpio(ap->Arg))
      n->Marca |= TExprLambda::SinRedex;
  } else if (Limpio(static_cast<TFuncion*>(n)->Cuerpo)) {
    n->Marca |= TExprLambda::SinRedex;
  }
}

// λx.M x becomes M; returns M.
TExprLambda* ContraeEta(TFuncion* f) {
  TAplicacion* ap = static_cast<TAplicacion*>(f->Cuerpo);
  TExprLambda* M = ap->Func;
  ap->Func = nullptr;
  ap->Arg = nullptr;  // the variable dies with its abstraction
  delete f;           // and with it the application, now childless
  ++NumReducciones;
  return M;
}

}  // namespace

void TRecorridoEstrategia::Inicia(TExprLambda* raiz, TModo modo) {
  Raiz = raiz;
  Modo = modo;
  Alto = 0;
  Formas.clear();
  Empuja(&Raiz, modo.Estrategia);
  Listo = false;
  Iniciado = true;
}

void TRecorridoEstrategia::Olvida() {
  Iniciado = false;
  Listo = false;
  Raiz = nullptr;
  Alto = 0;
  if (Pila.size() * sizeof(TMarco) > (std::size_t(1) << 20)) std::vector<TMarco>().swap(Pila);
  Formas.clear();
}

inline bool TRecorridoEstrategia::UsaEta(const TMarco& m) const {
  return Modo.Eta && m.Estrategia == Modo.Estrategia;
}

inline void TRecorridoEstrategia::Empuja(TExprLambda** Hueco, TEstrategia Estrategia, TFase Fase) {
  if (EsVariable(*Hueco)) return;
  if (Alto == Pila.size()) Pila.resize(2 * Alto + 64);
  Pila[Alto++] = {Hueco, Estrategia, Fase};
}

inline void TRecorridoEstrategia::Quita() {
  --Alto;
  if (!Formas.empty() && Formas.back() == Alto) Formas.pop_back();
}

inline void TRecorridoEstrategia::Sale(TExprLambda* n, bool Eta) {
  if (Eta)
    CierraEta(n);
  else
    CierraBeta(n);
  Quita();
}

// One move of the walk at an application; true when it stands at a redex to contract. A phase
// with nothing to walk goes on to the next at once.
inline bool TRecorridoEstrategia::EnAplicacion(TAplicacion* ap) {
  TMarco& m = Tope();
  const TRegla& r = Regla(m.Estrategia);
  const bool Eta = UsaEta(m);
  for (;;) {
    switch (m.Fase) {
      case TFase::Inicio:
        if (Eta ? LimpioEta(ap) : Limpio(ap)) {
          Quita();
          return false;
        }
        m.Fase = TFase::FuncionVista;
        if (r.PrimeroFunc != Ninguna) {
          Empuja(&ap->Func, r.PrimeroFunc);
          return false;
        }
        break;
      case TFase::FuncionVista:
        if (EsFuncion(ap->Func)) {
          m.Fase = TFase::ArgDeRedex;
          if (r.ArgDeRedex != Ninguna && !EsVariable(ap->Arg)) {
            Empuja(&ap->Arg, r.ArgDeRedex);
            return false;
          }
          return true;
        }
        m.Fase = TFase::FuncionOtra;
        if (r.LuegoFunc != Ninguna) {
          // The function part has just been walked by the first strategy of the second (it is
          // the same in every rule), and is no abstraction: so is its own function part, which
          // the walk need not look at again.
          Empuja(&ap->Func, r.LuegoFunc, TFase::FuncionVista);
          return false;
        }
        break;
      case TFase::FuncionOtra:
        m.Fase = TFase::Terminada;
        if (r.LuegoArg != Ninguna) {
          Empuja(&ap->Arg, r.LuegoArg);
          return false;
        }
        break;
      case TFase::Terminada:
      case TFase::CuerpoVisto:  // an abstraction's phase, never an application's
        Sale(ap, Eta);
        return false;
      case TFase::ArgDeRedex:
        return true;
    }
  }
}

// One move of the walk at an abstraction; true when it stands at an η-redex to contract.
inline bool TRecorridoEstrategia::EnFuncion(TFuncion* f) {
  TMarco& m = Tope();
  const TRegla& r = Regla(m.Estrategia);
  const bool Eta = UsaEta(m);
  if (m.Fase == TFase::Inicio) {
    if (Eta ? LimpioEta(f) : Limpio(f)) {
      Quita();
      return false;
    }
    // Orden normal looks at the abstraction before anything inside it.
    if (Eta && Modo.Estrategia == TEstrategia::Normal && EsRedexEta(f)) return true;
    m.Fase = TFase::CuerpoVisto;
    if (r.Cuerpo != Ninguna) {
      const TAplicacion* c = ComoAplicacion(f->Cuerpo);
      if (Eta && c && c->Arg == f->Param) Formas.push_back(static_cast<uint32_t>(Alto - 1));
      Empuja(&f->Cuerpo, r.Cuerpo);
      return false;
    }
  }
  // Orden aplicativo, after everything inside it.
  if (Eta && Modo.Estrategia == TEstrategia::Aplicativo && EsRedexEta(f)) return true;
  Sale(f, Eta);
  return false;
}

bool TRecorridoEstrategia::Busca(const std::function<void()>& Pulso) {
  if (Listo) return true;
  std::size_t k = 0;
  while (Alto > 0) {
    Late(Pulso, k);
    TExprLambda* n = *Tope().Hueco;
    bool Redex;
    if (TAplicacion* ap = ComoAplicacion(n))
      Redex = EnAplicacion(ap);
    else if (TFuncion* f = ComoFuncion(n))
      Redex = EnFuncion(f);
    else
      Redex = (Quita(), false);
    if (Redex) return Listo = true;
  }
  return false;
}

TExprLambda* TRecorridoEstrategia::Siguiente(const std::function<void()>& Pulso) {
  return Busca(Pulso) ? *Tope().Hueco : nullptr;
}

TRecorridoEstrategia::TPaso TRecorridoEstrategia::Paso(TPilasContraccion& Aux,
                                                       std::size_t& Pedidos) {
  if (!Busca({})) return TPaso::Ninguno;
  TMarco& m = Tope();
  // The nodes above are no longer what was written, up to the first that was not anyway.
  for (std::size_t i = Alto - 1; i-- > 0;) {
    TExprLambda* a = *Pila[i].Hueco;
    if (!(a->Marca & TExprLambda::Escrito)) break;
    a->Marca &= ~TExprLambda::Escrito;
  }
  TExprLambda* R;
  if (TAplicacion* ap = ComoAplicacion(*m.Hueco)) {
    R = Contrae(ap, Aux, Pedidos);
    if (!R) return TPaso::Rechazado;
  } else {
    R = ContraeEta(static_cast<TFuncion*>(*m.Hueco));
  }
  *m.Hueco = R;
  // The same strategy walks the result again.
  m.Fase = TFase::Inicio;
  Listo = false;
  if (Modo.Eta && Modo.Estrategia == TEstrategia::Normal) BuscaEtaArriba();
  return TPaso::Hecho;
}

// Orden normal with η: a contraction may leave an abstraction above it an η-redex: one whose
// body is M x where x occurred in M until now, the one whose body is M N when N became x, or the
// one just above, whose body is new. The outermost such one is the next redex; everything else
// above has been looked at for good, but for a new body M x whose M still holds x, to look at
// again as M changes.
void TRecorridoEstrategia::BuscaEtaArriba() {
  const std::size_t k = Alto - 1;  // the frame of the contraction
  auto Es = [&](std::size_t j) {
    TFuncion* f = ComoFuncion(*Pila[j].Hueco);
    return f && UsaEta(Pila[j]) && EsRedexEta(f);
  };
  for (uint32_t j : Formas)
    if (j < k && Es(j)) return Retoma(j);
  if (k > 1 && Es(k - 2)) return Retoma(k - 2);
  if (k > 0 && Es(k - 1)) return Retoma(k - 1);
  // A new body M x with x still in M: the abstraction becomes an η-redex if the walk of M
  // drops x, so it joins Formas.
  TFuncion* f = k > 0 ? ComoFuncion(*Pila[k - 1].Hueco) : nullptr;
  const TAplicacion* c = f ? ComoAplicacion(f->Cuerpo) : nullptr;
  if (c && c->Arg == f->Param && UsaEta(Pila[k - 1]) && (Formas.empty() || Formas.back() < k - 1))
    Formas.push_back(static_cast<uint32_t>(k - 1));
}

// The walk goes back to frame j, to arrive at its node again.
void TRecorridoEstrategia::Retoma(std::size_t j) {
  while (!Formas.empty() && Formas.back() >= j) Formas.pop_back();
  Alto = j + 1;
  Pila[j].Fase = TFase::Inicio;
}
