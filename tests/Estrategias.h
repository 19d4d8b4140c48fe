// SPDX-License-Identifier: GPL-3.0-or-later
// The reference strategies, on the reference reducer's terms (Literal.h): each one written
// straight from its big-step definition, recursive, contracting in place in the whole term so
// that every contraction can be recorded as the whole term's printed form. With η, orden normal
// and orden aplicativo are written as "find the next redex from the root, contract it".
#pragma once

#include <string>
#include <vector>

#include "Literal.h"
#include "uEstrategia.h"

namespace literal {

// A contraction: where its redex was (its position in preorder, counting every node) and the
// whole term's printed form after it.
struct Contraccion {
  std::size_t Posicion;
  std::string Texto;
};

class Estrategias {
 public:
  // Runs `modo` on `t`, up to `tope` contractions or a printed form longer than `largo`;
  // returns whether the strategy stopped by itself.
  static bool Ejecuta(Termino& t, TModo modo, std::size_t tope, std::size_t largo,
                      std::vector<Contraccion>& pasos) {
    Estrategias r(t, tope, largo, pasos);
    try {
      r.Empieza(modo);
    } catch (const Corte&) {
      return false;
    }
    return true;
  }

 private:
  struct Corte {};
  Estrategias(Termino& t, std::size_t tope, std::size_t largo, std::vector<Contraccion>& pasos)
      : T(t), Tope(tope), Largo(largo), Pasos(pasos) {}

  void Empieza(TModo modo) {
    Expr*& e = T.Raiz;
    switch (modo.Estrategia) {
      case TEstrategia::Normal:
        return modo.Eta ? PasoAPaso(true) : no(e);
      case TEstrategia::Aplicativo:
        return modo.Eta ? PasoAPaso(false) : ao(e);
      case TEstrategia::PorNombre:
        return bn(e);
      case TEstrategia::PorValor:
        return bv(e);
      case TEstrategia::Cabeza:
        return he(e);
      case TEstrategia::HibridaAplicativa:
        return ha(e);
      case TEstrategia::HibridaNormal:
        return hn(e);
    }
  }

  static Fun* F(Expr* e) { return dynamic_cast<Fun*>(e); }
  static Apl* A(Expr* e) { return dynamic_cast<Apl*>(e); }

  // x gives x everywhere; an abstraction's body and an application's parts are slots of the
  // whole term, so a contraction below changes it in place.
  void no(Expr*& e) {
    if (Fun* f = F(e)) return no(f->Cuerpo);
    Apl* a = A(e);
    if (!a) return;
    bn(a->Func);
    if (F(a->Func)) return Beta(e), no(e);
    no(a->Func);
    no(a->Arg);
  }
  void ao(Expr*& e) {
    if (Fun* f = F(e)) return ao(f->Cuerpo);
    Apl* a = A(e);
    if (!a) return;
    ao(a->Func);
    ao(a->Arg);
    if (F(a->Func)) Beta(e), ao(e);
  }
  void bn(Expr*& e) {
    Apl* a = A(e);
    if (!a) return;
    bn(a->Func);
    if (F(a->Func)) Beta(e), bn(e);
  }
  void bv(Expr*& e) {
    Apl* a = A(e);
    if (!a) return;
    bv(a->Func);
    bv(a->Arg);
    if (F(a->Func)) Beta(e), bv(e);
  }
  void he(Expr*& e) {
    if (Fun* f = F(e)) return he(f->Cuerpo);
    Apl* a = A(e);
    if (!a) return;
    he(a->Func);
    if (F(a->Func)) Beta(e), he(e);
  }
  void ha(Expr*& e) {
    if (Fun* f = F(e)) return ha(f->Cuerpo);
    Apl* a = A(e);
    if (!a) return;
    bv(a->Func);
    if (F(a->Func)) return ha(a->Arg), Beta(e), ha(e);
    ha(a->Func);
    ha(a->Arg);
  }
  void hn(Expr*& e) {
    if (Fun* f = F(e)) return hn(f->Cuerpo);
    Apl* a = A(e);
    if (!a) return;
    he(a->Func);
    if (F(a->Func)) return Beta(e), hn(e);
    hn(a->Func);
    hn(a->Arg);
  }

  // With η: the leftmost-outermost redex of either kind (externo), or the leftmost-innermost.
  void PasoAPaso(bool externo) {
    while (Expr** r = Proximo(T.Raiz, externo)) A(*r) ? Beta(*r) : Eta(*r);
  }
  static Expr** Proximo(Expr*& e, bool externo) {
    const bool aqui = A(e) ? F(A(e)->Func) != nullptr : F(e) && EsRedexEta(F(e));
    if (externo && aqui) return &e;
    Expr** r = nullptr;
    if (Fun* f = F(e)) r = Proximo(f->Cuerpo, externo);
    if (Apl* a = A(e)) {
      r = Proximo(a->Func, externo);
      if (!r) r = Proximo(a->Arg, externo);
    }
    return r ? r : aqui ? &e : nullptr;
  }
  static bool EsRedexEta(Fun* f) {
    Apl* c = A(f->Cuerpo);
    return c && c->Arg == f->Param && !Ocurre(f->Param, c->Func);
  }
  static bool Ocurre(Var* v, Expr* e) {
    if (Fun* f = F(e)) return Ocurre(v, f->Cuerpo);
    if (Apl* a = A(e)) return Ocurre(v, a->Func) || Ocurre(v, a->Arg);
    return e == v;
  }

  // (λx.M) N becomes M[N/x].
  void Beta(Expr*& e) {
    const std::size_t p = Posicion(T.Raiz, e);
    Apl* a = A(e);
    Fun* f = F(a->Func);
    Expr* r = f->Cuerpo->Sustituye(f->Param, a->Arg);
    f->Cuerpo = nullptr;
    delete a;
    e = r;
    Anota(p);
  }
  // λx.M x becomes M.
  void Eta(Expr*& e) {
    const std::size_t p = Posicion(T.Raiz, e);
    Fun* f = F(e);
    Apl* c = A(f->Cuerpo);
    Expr* m = c->Func;
    c->Func = nullptr;
    c->Arg = nullptr;
    delete f;
    e = m;
    Anota(p);
  }
  void Anota(std::size_t posicion) {
    Pasos.push_back({posicion, T.Texto()});
    if (Pasos.size() >= Tope || Pasos.back().Texto.size() > Largo) throw Corte{};
  }

  // The position of `buscado` in `e` in preorder, the root 0.
  static std::size_t Posicion(Expr* e, Expr* buscado) {
    std::size_t n = 0;
    Busca(e, buscado, n);
    return n;
  }
  static bool Busca(Expr* e, Expr* buscado, std::size_t& n) {
    if (e == buscado) return true;
    ++n;
    if (Fun* f = F(e)) return Busca(f->Cuerpo, buscado, n);
    if (Apl* a = A(e)) return Busca(a->Func, buscado, n) || Busca(a->Arg, buscado, n);
    return false;
  }

  Termino& T;
  const std::size_t Tope, Largo;
  std::vector<Contraccion>& Pasos;
};

}  // namespace literal
