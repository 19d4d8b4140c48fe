// SPDX-License-Identifier: GPL-3.0-or-later
// Lambda terms in memory.
//
// Ownership, once for the whole program:
//  - An application owns its Func and Arg, and an abstraction owns its Cuerpo and its Param,
//    except children that are variables: no occurrence owns its variable.
//  - A bound variable is the Param of exactly one abstraction and dies with it.
//  - A free variable belongs to no term, and is reclaimed when the last reference goes.
//  - Every variable counts its references in Refs: tree edges (an abstraction's own Param is
//    not one) and holders of a term whose root is that variable. Terms built by hand must keep
//    that count (EsValido checks it); the reduction engine relies on it.
//  - Whoever holds a term owns its root and gives it up with Libera().
//
// Every operation walks with an explicit stack, so a term may be as deep as memory allows.
// Nodes come from a pool (see Nodos*), which also enforces the size limit (EDemasiadoGrande).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "uRango.h"

class TExprLambda;
class TVariable;
class TAplicacion;
class TFuncion;
class TPliegue;

// How a term prints: with the letters a, b, c... or with the names the user wrote (see
// uNombres.h), and folded or not (see uPliegue.h). A fold is made for one term and folds that one
// alone: any other prints whole. The printers take it from the caller, which numbers and prints
// a term in one mode; the default, letters and no fold, is what Texto() prints.
struct TModoImpresion {
  bool ConservaNombres = false;
  const TPliegue* Pliegue = nullptr;
};

// The handler of the walks: a routine bound to the object it works on, called with each node.
// It refers to the callable it was made from, which must outlive it (a walk's argument does).
class TProcNodo {
 public:
  template <typename F,
            typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TProcNodo> &&
                                        !std::is_function_v<std::remove_reference_t<F>>>>
  TProcNodo(F&& f)
      : Objeto(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
        Rutina([](void* o, TExprLambda* n) { (*static_cast<std::remove_reference_t<F>*>(o))(n); }) {
  }
  TProcNodo(void (*f)(TExprLambda*)) : Directa(f) {}
  void operator()(TExprLambda* n) const { Directa ? Directa(n) : Rutina(Objeto, n); }

 private:
  void* Objeto = nullptr;
  void (*Rutina)(void*, TExprLambda*) = nullptr;
  void (*Directa)(TExprLambda*) = nullptr;
};

class TExprLambda {
 public:
  virtual ~TExprLambda() = default;

  // Visita on the node, then on its children in order (Func, Arg / Param, Cuerpo).
  virtual void RecorrePre(TProcNodo Visita) = 0;
  // Visita on the children in order, then on the node.
  virtual void RecorrePost(TProcNodo Visita) = 0;
  // Printed form with letters, not folded; the term must have been numbered (Renumera).
  virtual std::string Texto() = 0;
  // Copy with new applications, abstractions and bound variables; free variables are shared.
  virtual TExprLambda* Copia() = 0;
  // Replaces every occurrence of Vble by its own copy of Valor, in place; returns the node that
  // takes the receiver's place. Valor stays with the caller.
  virtual TExprLambda* Sustituye(TVariable* Vble, TExprLambda* Valor) = 0;
  // One pass of beta reduction (see uReduccion.h); returns the node that takes the receiver's
  // place, which may have been destroyed.
  virtual TExprLambda* Reduce(bool& Cambio, bool Multiple) = 0;

  // Nodes are allocated from the pool below.
  static void* operator new(std::size_t n);
  static void operator delete(void* p, std::size_t n) noexcept;

  // Marks of an application or abstraction: facts about its subtree, set from its children when
  // it is made (ActualizaMarcas, which the constructor with children calls; Copia works them out
  // for the copy).
  // A set mark is always true; a clear one says nothing. Whoever changes a subtree clears what it
  // can no longer vouch for: substitution along its way, and the engine sets SinRedex again as
  // it leaves a node it has walked.
  static constexpr uint32_t SinRedex = 1;  // no redex anywhere in this subtree
  // No redex of either kind, beta or eta (see EsRedexEta), anywhere in this subtree; implies
  // SinRedex. Only the walks that reduce eta set it; whatever clears SinRedex clears it too.
  static constexpr uint32_t SinRedexNiEta = 4;
  // No variable bound outside this subtree occurs in it. Beta reduction never adds such a
  // variable, so the mark stays true through every contraction inside the subtree.
  static constexpr uint32_t Cerrado = 2;
  // Unchanged since the entry made it: an application or abstraction the student typed, or any
  // of a copy the entry holds (a definition it named, '%'). Only an entry's parse sets it (see
  // MarcaEscrito); copies keep it, and whatever changes a subtree clears it there and on every
  // node above: so a node without it has none above it. "Mostrar los nombres de las
  // definiciones" leaves what was written as it was.
  static constexpr uint32_t Escrito = 32;
  // From this bit up. A bound variable keeps here its level: a number given when it is made,
  // larger than that of every variable made before it (NivelTope once they run out). An
  // application or abstraction that is not closed keeps a lower bound of the levels of the
  // variables bound outside it that occur in it (0: nothing known), so that the search for a
  // bound variable's occurrences passes by every subtree whose bound lies above its level.
  // The bits below are marks and the walks' scratch (all listed in uLambdaInterno.h).
  static constexpr uint32_t PrimerBitNivel = 6;
  static constexpr uint32_t NivelTope = UINT32_MAX >> PrimerBitNivel;

  uint32_t Marca = 0;
};

// The level of the next bound variable (see TExprLambda::PrimerBitNivel).
extern uint32_t UltimoNivel;
inline uint32_t NuevoNivel() {
  return UltimoNivel < TExprLambda::NivelTope ? ++UltimoNivel : TExprLambda::NivelTope;
}

class TVariable final : public TExprLambda {
 public:
  explicit TVariable(bool libre = false, uint32_t nombre = 0) : Libre(libre), Nombre(nombre) {
    if (!libre) Marca = NuevoNivel() << PrimerBitNivel;
  }
  void RecorrePre(TProcNodo Visita) override { Visita(this); }
  void RecorrePost(TProcNodo Visita) override { Visita(this); }
  std::string Texto() override;
  TExprLambda* Copia() override;
  TExprLambda* Sustituye(TVariable* Vble, TExprLambda* Valor) override;
  TExprLambda* Reduce(bool& Cambio, bool Multiple) override;

  // Display number: -1 while a numbering runs, then 0, 1, 2... Printed a..z, a'..z', a''...
  int32_t Indice = 0;
  // References to this variable: edges to it and held roots (see the top of this file).
  uint32_t Refs = 0;
  const bool Libre;
  // The name the user wrote for it (see uNombres.h), kept by its copies; 0: none. In the bytes
  // that Libre leaves over, so that the name costs a node nothing.
  uint32_t Nombre : 24;
  // Scratch of Copia: the new variable that replaces this bound one inside the copy.
  TVariable* Copiada = nullptr;
};

class TAplicacion final : public TExprLambda {
 public:
  TAplicacion() = default;
  TAplicacion(TExprLambda* func, TExprLambda* arg) : Func(func), Arg(arg) { ActualizaMarcas(); }
  ~TAplicacion() override;
  void RecorrePre(TProcNodo Visita) override;
  void RecorrePost(TProcNodo Visita) override;
  std::string Texto() override;
  TExprLambda* Copia() override;
  TExprLambda* Sustituye(TVariable* Vble, TExprLambda* Valor) override;
  TExprLambda* Reduce(bool& Cambio, bool Multiple) override;
  // Sets the marks from those of Func and Arg.
  void ActualizaMarcas();

  uint32_t Caja = 0;  // index of this node's box in the diagram's layout
  TExprLambda* Func = nullptr;
  TExprLambda* Arg = nullptr;
};

class TFuncion final : public TExprLambda {
 public:
  TFuncion() = default;
  ~TFuncion() override;
  void RecorrePre(TProcNodo Visita) override;
  void RecorrePost(TProcNodo Visita) override;
  std::string Texto() override;
  TExprLambda* Copia() override;
  TExprLambda* Sustituye(TVariable* Vble, TExprLambda* Valor) override;
  TExprLambda* Reduce(bool& Cambio, bool Multiple) override;
  // Sets the marks from those of Cuerpo; every occurrence of Param must be in it already, and
  // every other variable bound outside it that occurs in it must have been made before Param
  // (as a parse makes them: outer binders first).
  void ActualizaMarcas();

  uint32_t Caja = 0;  // index of this node's box in the diagram's layout
  TVariable* Param = nullptr;
  TExprLambda* Cuerpo = nullptr;
};

// Marks `n` as written by the entry: as a lambda or an application when `Nombre` is 0, otherwise
// as the name numbered `Nombre` (from 1) in the entry's own list. A name needs a closed node: its
// number takes the place of the level bound, which a closed node does not use.
void MarcaEscrito(TExprLambda* n, uint32_t Nombre = 0);
// The name of every closed node of a copy the entry holds but did not write: it folds as any
// other part.
constexpr uint32_t NombreDeCopia = TExprLambda::NivelTope;
// Marks every application and abstraction of such a copy, each closed one (no free variable, no
// variable bound outside it) with NombreDeCopia. Returns whether `t` is closed.
bool MarcaCopiaEscrita(TExprLambda* t);
// The number of the name `n` was written as, NombreDeCopia, or 0: written as a lambda or an
// application, or changed since (and then not marked).
uint32_t NombreEscrito(const TExprLambda* n);
// Clears the mark of writing on every node of `t`: a definition is no entry.
void OlvidaEscritura(TExprLambda* t);

// Run-time class tests.
// The classes are final, so the dynamic type is the whole test. The type_info objects are
// compared by address: their operator== may compare the names as strings.
inline bool EsVariable(const TExprLambda* e) {
  return &typeid(*e) == &typeid(TVariable);
}
inline bool EsAplicacion(const TExprLambda* e) {
  return &typeid(*e) == &typeid(TAplicacion);
}
inline bool EsFuncion(const TExprLambda* e) {
  return &typeid(*e) == &typeid(TFuncion);
}
inline TVariable* ComoVariable(TExprLambda* e) {
  return EsVariable(e) ? static_cast<TVariable*>(e) : nullptr;
}
inline TAplicacion* ComoAplicacion(TExprLambda* e) {
  return EsAplicacion(e) ? static_cast<TAplicacion*>(e) : nullptr;
}
inline TFuncion* ComoFuncion(TExprLambda* e) {
  return EsFuncion(e) ? static_cast<TFuncion*>(e) : nullptr;
}

// A new reference to a term's root for another holder: counts it when the root is a free
// variable. Used where one holder takes the very object another holds.
TExprLambda* Retiene(TExprLambda* t);
// Gives up a held term: destroys an application or abstraction with all it owns; for a variable
// root only drops the holder's reference. Accepts nullptr.
void Libera(TExprLambda* t);

// Holds a term in flight, between whoever made it and whoever takes it, so that an exception on
// the way releases it.
class TRetenido {
 public:
  explicit TRetenido(TExprLambda* t = nullptr) : T(t) {}
  TRetenido(const TRetenido&) = delete;
  TRetenido& operator=(const TRetenido&) = delete;
  ~TRetenido() { Libera(T); }
  TExprLambda* Get() const { return T; }
  // Releases the term held so far and holds `t` instead.
  void Toma(TExprLambda* t) {
    Libera(T);
    T = t;
  }
  // Hands the term over; nothing is held any more.
  TExprLambda* Suelta() {
    TExprLambda* t = T;
    T = nullptr;
    return t;
  }

 private:
  TExprLambda* T;
};

// Numbering of variables, as two handlers for RecorrePost bound to the counter's holder.
void ReseteaVariable(TExprLambda* Nodo);
void NumeraVariable(int32_t& NumVars, TExprLambda* Nodo);
// Both numbering walks; NumVars ends at the number of distinct variables. Returns the length of
// the printed form under the new numbering: what LongitudTexto(t) gives.
std::size_t Renumera(TExprLambda* t, int32_t& NumVars);
// The same, with a pulse as LongitudTexto's, for printing in `Modo`.
std::size_t Renumera(TExprLambda* t, int32_t& NumVars, const std::function<void()>& Pulso,
                     const TModoImpresion& Modo = {});

// Name printed for a display number: 0 -> a, 25 -> z, 26 -> a', 52 -> a''.
std::string NombreVariable(int32_t Indice);
// Length of the printed form of a term numbered for `Modo`, without making it. Names grow with the
// number of variables, so a modest term can print to more than memory holds: the count stops at the
// first value above `tope`.
// `pulso`, when given, is called every so many nodes, so that a window can answer meanwhile; it
// may throw to cut the walk short.
std::size_t LongitudTexto(TExprLambda* t, std::size_t Tope = SIZE_MAX,
                          const std::function<void()>& Pulso = {}, const TModoImpresion& Modo = {});
// Texto, in `Modo`, with a pulse as LongitudTexto's and the length known beforehand.
std::string TextoConPulso(TExprLambda* t, std::size_t Longitud, const std::function<void()>& Pulso,
                          const TModoImpresion& Modo = {});

// TextoConPulso, and where each of `Nodos` prints: Rangos[i] (resized to Nodos.size()) gets the
// bytes of Nodos[i]'s printed form, the parentheses printed around it included; {0, 0} for a
// node not in the term. A by-product of the one walk that prints, not a second walk.
// A variable is one node for all its occurrences: it gets the range of its occurrence as the Func
// or Arg of the nearest application before it in Nodos that has it so (the whole text when it is
// the term itself). Nodos may hold a node twice, and null.
std::string TextoConRangos(TExprLambda* t, std::size_t Longitud,
                           const std::vector<TExprLambda*>& Nodos, std::vector<TRango>& Rangos,
                           const std::function<void()>& Pulso = {},
                           const TModoImpresion& Modo = {});

// Asks for large pages under a buffer of many megabytes about to be written from end to end
// (a printed text, a token list): fresh memory otherwise costs a page fault every 4 KiB, more
// than the writing itself. Does nothing for a small buffer or where the system has no such
// advice.
void PaginasGrandes(void* p, std::size_t n);

// Counts of nodes, and the limit past which no node is made.
class EDemasiadoGrande : public std::runtime_error {
 public:
  explicit EDemasiadoGrande(std::size_t nodos);
  std::size_t Nodos;
};
std::size_t NodosVivos();
std::size_t LimiteNodos();
void FijaLimiteNodos(std::size_t Limite);
// Bytes the pool holds for nodes, live or free: what the terms cost the process.
std::size_t BytesDeNodos();
// When the pool holds more than twice its live nodes by more than 64 MB, gives back to the
// system its blocks that hold no live node (but for a few kept ready) and the allocator's free
// pages. Libera does it after releasing a term of a sixteenth of the pool or more; call it where
// a term shrank otherwise (after a run of reductions). Costs about the number of blocks.
void DevuelveMemoria();
// Throws EDemasiadoGrande when `mas` more nodes would pass the limit.
void CompruebaLimite(std::size_t Mas);

// Checks the invariants of a term (every bound occurrence inside its binder, no node shared,
// no binder twice); for tests and debug builds.
bool EsValido(TExprLambda* t);
// Checks the marks and level bounds of a valid term against what they claim, worked out again
// from the term: no redex under a node marked SinRedex, none of either kind under one marked
// SinRedexNiEta, no variable bound outside a node marked
// Cerrado occurring in it, no such variable below a node's level bound. A clear mark claims
// nothing. For tests: it costs the nodes times the distance of each occurrence to its binder.
bool MarcasCiertas(TExprLambda* t);
// Number of nodes (one per application, abstraction, Param and occurrence), and depth.
std::size_t CuentaNodos(TExprLambda* t);
// The same count, stopping at the first value above `tope`, with a pulse as LongitudTexto's.
std::size_t CuentaNodos(TExprLambda* t, std::size_t Tope, const std::function<void()>& Pulso);
std::size_t Profundidad(TExprLambda* t);
