// SPDX-License-Identifier: GPL-3.0-or-later
// The reference reducer: a pass of beta reduction written exactly as the rules read, with
// recursion, a walk from the root on every pass, a copy of the argument for every occurrence and
// one `new` per node. The engine is measured against it and checked against it pass by pass.
// Deep terms need a big stack: run it through ConPilaGrande.
#pragma once

#include <pthread.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "uLambda.h"

namespace literal {

struct Var;

struct Expr {
  virtual ~Expr() = default;
  virtual Expr* Copia() = 0;
  virtual Expr* Sustituye(Var* v, Expr* valor) = 0;
  virtual Expr* Reduce(bool& cambio, bool multiple, long& contracciones) = 0;
  virtual void Numera(std::unordered_map<Var*, int>& nums) = 0;
  virtual void Imprime(std::string& s, std::unordered_map<Var*, int>& nums) = 0;
};

struct Var final : Expr {
  Expr* Copia() override { return this; }
  Expr* Sustituye(Var* v, Expr* valor) override { return this == v ? valor->Copia() : this; }
  Expr* Reduce(bool&, bool, long&) override { return this; }
  void Numera(std::unordered_map<Var*, int>& nums) override {
    nums.emplace(this, static_cast<int>(nums.size()));
  }
  void Imprime(std::string& s, std::unordered_map<Var*, int>& nums) override {
    s += NombreVariable(nums.at(this));
  }
};

inline void Suelta(Expr* e) {
  if (!dynamic_cast<Var*>(e)) delete e;
}

struct Fun final : Expr {
  Var* Param = nullptr;
  Expr* Cuerpo = nullptr;
  ~Fun() override {
    if (Cuerpo) Suelta(Cuerpo);
    delete Param;
  }
  Expr* Copia() override {
    Fun* f = new Fun;
    f->Param = new Var;
    f->Cuerpo = Cuerpo->Copia()->Sustituye(Param, f->Param);
    return f;
  }
  Expr* Sustituye(Var* v, Expr* valor) override {
    if (Cuerpo == v)
      Cuerpo = valor->Copia();
    else
      Cuerpo = Cuerpo->Sustituye(v, valor);
    return this;
  }
  Expr* Reduce(bool& cambio, bool multiple, long& n) override {
    Cuerpo = Cuerpo->Reduce(cambio, multiple, n);
    return this;
  }
  void Numera(std::unordered_map<Var*, int>& nums) override {
    Param->Numera(nums);
    Cuerpo->Numera(nums);
  }
  void Imprime(std::string& s, std::unordered_map<Var*, int>& nums) override {
    s += "\\ ";
    Param->Imprime(s, nums);
    s += " . ";
    Cuerpo->Imprime(s, nums);
  }
};

struct Apl final : Expr {
  Expr* Func = nullptr;
  Expr* Arg = nullptr;
  ~Apl() override {
    if (Func) Suelta(Func);
    if (Arg) Suelta(Arg);
  }
  Expr* Copia() override {
    Apl* a = new Apl;
    a->Func = Func->Copia();
    a->Arg = Arg->Copia();
    return a;
  }
  Expr* Sustituye(Var* v, Expr* valor) override {
    Func = Func == v ? valor->Copia() : Func->Sustituye(v, valor);
    Arg = Arg == v ? valor->Copia() : Arg->Sustituye(v, valor);
    return this;
  }
  Expr* Reduce(bool& cambio, bool multiple, long& n) override {
    if (Fun* f = dynamic_cast<Fun*>(Func)) {
      Expr* r = f->Cuerpo->Sustituye(f->Param, Arg);
      f->Cuerpo = nullptr;
      cambio = true;
      ++n;
      delete this;
      return r;
    }
    Func = Func->Reduce(cambio, multiple, n);
    if (multiple || !cambio) Arg = Arg->Reduce(cambio, multiple, n);
    return this;
  }
  void Numera(std::unordered_map<Var*, int>& nums) override {
    Func->Numera(nums);
    Arg->Numera(nums);
  }
  void Imprime(std::string& s, std::unordered_map<Var*, int>& nums) override {
    bool funcAbs = dynamic_cast<Fun*>(Func) != nullptr;
    if (funcAbs) s += "(";
    Func->Imprime(s, nums);
    if (funcAbs) s += ")";
    if (dynamic_cast<Var*>(Arg)) {
      s += " ";
      Arg->Imprime(s, nums);
    } else {
      s += " (";
      Arg->Imprime(s, nums);
      s += ")";
    }
  }
};

// A term of the reference reducer with its free variables, which no term owns.
struct Termino {
  Expr* Raiz = nullptr;
  std::vector<Var*> Libres;
  Termino() = default;
  Termino(const Termino&) = delete;
  Termino& operator=(const Termino&) = delete;
  ~Termino() {
    Suelta(Raiz);
    for (Var* v : Libres) delete v;
  }
  std::string Texto() {
    std::unordered_map<Var*, int> nums;
    Raiz->Numera(nums);
    std::string s;
    Raiz->Imprime(s, nums);
    return s;
  }
  // One pass; returns the contractions made.
  long Pasada(bool multiple, bool& cambio) {
    long n = 0;
    cambio = false;
    Raiz = Raiz->Reduce(cambio, multiple, n);
    return n;
  }
};

// The same term for the reference reducer.
inline void Convierte(TExprLambda* t, Termino& destino) {
  std::unordered_map<TVariable*, Var*> vars;
  std::function<Expr*(TExprLambda*)> conv = [&](TExprLambda* e) -> Expr* {
    if (TVariable* v = ComoVariable(e)) {
      auto it = vars.find(v);
      if (it != vars.end()) return it->second;
      Var* n = new Var;
      destino.Libres.push_back(n);
      vars[v] = n;
      return n;
    }
    if (TFuncion* f = ComoFuncion(e)) {
      Fun* n = new Fun;
      n->Param = new Var;
      vars[f->Param] = n->Param;
      n->Cuerpo = conv(f->Cuerpo);
      return n;
    }
    TAplicacion* a = static_cast<TAplicacion*>(e);
    Apl* n = new Apl;
    n->Func = conv(a->Func);
    n->Arg = conv(a->Arg);
    return n;
  };
  destino.Raiz = conv(t);
}

// Runs `f` on a thread with a 4 GiB stack (reserved, not committed), for the recursion above.
inline void ConPilaGrande(const std::function<void()>& f) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, std::size_t(4) << 30);
  pthread_t hilo;
  auto cuerpo = [](void* p) -> void* {
    (*static_cast<const std::function<void()>*>(p))();
    return nullptr;
  };
  pthread_create(&hilo, &attr, cuerpo, const_cast<std::function<void()>*>(&f));
  pthread_join(hilo, nullptr);
  pthread_attr_destroy(&attr);
}

}  // namespace literal
