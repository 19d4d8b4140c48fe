// SPDX-License-Identifier: GPL-3.0-or-later
// The term builder, and Analiza: the tokens of a text into a term, or one message.
#include "uParser.h"

#include <utility>

#include "uLambda.h"
#include "uNombres.h"
#include "uTokensInterno.h"

// A recursive descent over the grammar at the top of uParser.h, run on an explicit stack so that
// nesting depth is bounded by memory, not by the machine stack. Each step either hands a result
// (Pendiente, Ok) to the frame on top or starts a call, whose result goes to the frame on top
// when it ends. The frames:
//   function  '\' variable '.' expression: after the body, the abstraction;
//   chain     atom {argument}: after each part, the application of the chain so far to it.

namespace {

// A copy of a whole term, which is closed whatever changes inside it have left of its marks.
TExprLambda* Entero(TExprLambda* t) {
  if (t && !EsVariable(t)) t->Marca |= TExprLambda::Cerrado;
  return t;
}

class TConstructor {
 public:
  // The tokens come with their parentheses matched and their names numbered (`Nombres` of
  // them), as TokenizaConExtra leaves them.
  TConstructor(std::string_view Texto, TLisToken& Tokens, int32_t Nombres,
               const TDefiniciones& definiciones, std::string& error, TEscritura* escritura)
      : Texto(Texto),
        T(Tokens.Lista),
        Num(Tokens.Num),
        Definiciones(definiciones),
        Error(error),
        Escritura(escritura),
        Libres(static_cast<std::size_t>(Nombres), nullptr),
        Ambito(static_cast<std::size_t>(Nombres), nullptr),
        Internos(static_cast<std::size_t>(Nombres), UINT32_MAX) {
    // Room for the deepest nesting the tokens allow (each frame above the first takes two of
    // them at least), so the stack never moves; only what a parse uses is touched.
    std::size_t Frames = static_cast<std::size_t>(Num) / 2 + 2;
    Pila.reserve(Frames);
    PaginasGrandes(Pila.data(), Frames * sizeof(TMarco));
  }

  ~TConstructor() {
    // Whatever a failed or interrupted parse left half-made, innermost first: the pending
    // result and the chains may hold occurrences of the variable of an abstraction further down.
    Libera(Pendiente);
    for (auto m = Pila.rbegin(); m != Pila.rend(); ++m) {
      if (m->Tipo == mCadena) Libera(m->Izq);
      if (m->Tipo == mFuncion) delete m->Funcion;
    }
    for (TVariable* v : Libres) Libera(v);
  }

  TExprLambda* ConstruyeExpr(int32_t First, int32_t Last);

  // The token at which the message in Error was found.
  int32_t ErrorEn = 0;

 private:
  enum TTipoMarco : uint8_t { mFuncion, mCadena };
  struct TMarco {
    TTipoMarco Tipo = mCadena;
    bool Cabeza = true;  // mCadena: its first part has not arrived yet
    // mCadena: where the next part starts; mFuncion: the position of its variable's name.
    int32_t Siguiente = 0;
    int32_t Ultimo = 0;  // mCadena: last position of the range
    // One or the other by Tipo: a deep nesting keeps one frame per level.
    union {
      TExprLambda* Izq = nullptr;  // mCadena: the chain so far; null when its first part failed
      TFuncion* Funcion;           // mFuncion: the abstraction whose body is being built
    };
  };

  // A call to make: an expression over a range, or the next part of the chain on top.
  enum TLlamada : uint8_t { cNinguna, cExpr, cParte };

  TTipoToken Tipo(int32_t p) const { return T[static_cast<std::size_t>(p)].Tipo; }
  TExprLambda* VariableLibre(int32_t p);
  uint32_t Nombre(int32_t p);
  TExprLambda* CopiaSimbolo(int32_t p);
  TExprLambda* Atomo(int32_t p);

  void Llama(TLlamada llamada, int32_t First, int32_t Last) {
    Llamada = llamada;
    Primero = First;
    Ultimo = Last;
  }
  void Resultado(TExprLambda* t) {
    Pendiente = t;
    Ok = true;
  }
  void Falla(int32_t p, std::string mensaje) {
    Error = std::move(mensaje);
    ErrorEn = p;
    Ok = false;
    Pendiente = nullptr;
  }

  void Expresion(int32_t First, int32_t Last);
  void Parte(int32_t p, int32_t Last);
  void Abstraccion(int32_t First, int32_t Last);
  int32_t AbreGrupo(int32_t p, int32_t Last);
  void FallaCadena(int32_t p, const char* mensaje);
  void EntregaAFuncion();
  void EntregaACadena();

  std::string_view Texto;
  std::vector<TToken>& T;
  int32_t Num;
  const TDefiniciones& Definiciones;
  std::string& Error;
  TEscritura* Escritura;           // null: nothing is marked
  std::vector<uint32_t> Nombrada;  // by definition: the number of its name in Escritura, or 0
  std::vector<TVariable*> Libres;  // by name number
  std::vector<TVariable*> Ambito;  // binders in force, by name number
  std::vector<uint32_t> Internos;  // by name number: the name's number in the table of names
  std::vector<TMarco> Pila;

  TLlamada Llamada = cNinguna;
  int32_t Primero = 0, Ultimo = 0;
  // The last result handed up, owned here until a frame takes it.
  TExprLambda* Pendiente = nullptr;
  bool Ok = false;
};

// The number in the table of names of the variable token at p.
uint32_t TConstructor::Nombre(int32_t p) {
  const TToken& t = T[static_cast<std::size_t>(p)];
  uint32_t& n = Internos[static_cast<std::size_t>(t.Id)];
  if (n == UINT32_MAX) n = InternaNombre(NombreToken(Texto, t));
  return n;
}

TExprLambda* TConstructor::VariableLibre(int32_t p) {
  TVariable*& v = Libres[static_cast<std::size_t>(T[static_cast<std::size_t>(p)].Id)];
  if (!v) {
    v = new TVariable(true, Nombre(p));
    // Libres holds a reference of its own, so a variable whose first occurrences were
    // discarded (the arguments after a failed function part) lives on for the later ones.
    v->Refs = 1;
  }
  ++v->Refs;  // the reference handed out
  return v;
}

TExprLambda* TConstructor::CopiaSimbolo(int32_t p) {
  std::string_view Nombre = NombreToken(Texto, T[static_cast<std::size_t>(p)]);
  int i = Definiciones.Busca(Nombre);
  if (i < 0) {
    Falla(p, std::string(Mensajes::SimboloNoDefinido) + std::string(Nombre));
    return nullptr;
  }
  const std::size_t d = static_cast<std::size_t>(i);
  TExprLambda* t = Entero(Definiciones[d].Termino->Copia());
  if (Escritura) {
    if (Nombrada.size() <= d) Nombrada.resize(Definiciones.Cuenta(), 0);
    if (Nombrada[d] == 0) {
      Escritura->Nombres.push_back(Definiciones[d].Nombre);
      Nombrada[d] = static_cast<uint32_t>(Escritura->Nombres.size());
    }
    if (MarcaCopiaEscrita(t)) MarcaEscrito(t, Nombrada[d]);
  }
  return t;
}

// atom -> variable | symbol | '%'
// A variable inside the range of an abstraction of the same name is that abstraction's variable
// (the token is marked bound as it is used). Null, with the message set, for an unknown symbol.
TExprLambda* TConstructor::Atomo(int32_t p) {
  TToken& t = T[static_cast<std::size_t>(p)];
  switch (t.Tipo) {
    case tokVariable: {
      TVariable* b = Ambito[static_cast<std::size_t>(t.Id)];
      if (!b) return VariableLibre(p);
      t.Tipo = tokLigada;
      t.Var = b;
      ++t.Var->Refs;
      return t.Var;
    }
    case tokLigada:
      ++t.Var->Refs;
      return t.Var;
    case tokActual: {
      TExprLambda* e = t.Expr;
      t.Expr = nullptr;
      // The student wrote '%', not this: it stands as any part of a definition named.
      if (Escritura)
        MarcaCopiaEscrita(e);
      else if (!EsVariable(e))
        OlvidaEscritura(e);
      return Entero(e);
    }
    default:  // tokSimbolo
      return CopiaSimbolo(p);
  }
}

// expression -> abstraction | atom {argument}
void TConstructor::Expresion(int32_t First, int32_t Last) {
  if (Tipo(First) == tokLambda) return Abstraccion(First, Last);
  TMarco m;
  m.Tipo = mCadena;
  m.Ultimo = Last;
  Pila.push_back(m);
  Parte(First, Last);
}

// argument -> atom | abstraction      (the chain's first part too, which is never an abstraction)
void TConstructor::Parte(int32_t p, int32_t Last) {
  TMarco& Cadena = Pila.back();
  switch (Tipo(p)) {
    case tokLambda:
      Cadena.Siguiente = Last + 1;
      return Abstraccion(p, Last);
    case tokAbre: {
      int32_t c = AbreGrupo(p, Last);
      if (c < 0) return FallaCadena(p, Mensajes::ParentesisNoCerrado);
      Cadena.Siguiente = c + 1;
      return Llama(cExpr, p + 1, c - 1);
    }
    case tokPunto:
      return FallaCadena(p, Mensajes::PuntoSinLambda);
    case tokCierra:
      return FallaCadena(p, Mensajes::CierreSinApertura);
    default:
      Cadena.Siguiente = p + 1;
      if (TExprLambda* t = Atomo(p)) Resultado(t);
  }
}

// abstraction -> '\' variable '.' expression
// Pushes the abstraction's frame and calls for its body; fails with the message otherwise.
void TConstructor::Abstraccion(int32_t First, int32_t Last) {
  if (Last - First < 3) return Falla(First, Mensajes::LambdaMalConstruidoP);
  const TToken& v = T[static_cast<std::size_t>(First) + 1];
  if (v.Tipo == tokLigada || (v.Tipo == tokVariable && Ambito[static_cast<std::size_t>(v.Id)]))
    return Falla(First + 1, Mensajes::Ambiguedad);
  if (v.Tipo != tokVariable || Tipo(First + 2) != tokPunto)
    return Falla(First, Mensajes::LambdaMalConstruidoP);
  TRetenido Retenida(new TFuncion);
  TFuncion* f = static_cast<TFuncion*>(Retenida.Get());
  f->Param = new TVariable(false, Nombre(First + 1));
  TMarco m;
  m.Tipo = mFuncion;
  m.Funcion = f;
  m.Siguiente = First + 1;
  Pila.push_back(m);
  Retenida.Suelta();
  Ambito[static_cast<std::size_t>(v.Id)] = f->Param;
  Llama(cExpr, First + 3, Last);
}

// atom -> '(' expression ')'
// The position of the closing parenthesis within the range, or -1.
int32_t TConstructor::AbreGrupo(int32_t p, int32_t Last) {
  int32_t c = T[static_cast<std::size_t>(p)].Cierre;
  return c >= 0 && c <= Last ? c : -1;
}

// A token that cannot start a part ends its chain at once, first part or not.
void TConstructor::FallaCadena(int32_t p, const char* mensaje) {
  Libera(Pila.back().Izq);
  Pila.pop_back();
  Falla(p, mensaje);
}

// The body has arrived: the abstraction is whole, or goes with its failed body.
void TConstructor::EntregaAFuncion() {
  TMarco& m = Pila.back();
  TFuncion* f = m.Funcion;
  Ambito[static_cast<std::size_t>(T[static_cast<std::size_t>(m.Siguiente)].Id)] = nullptr;
  Pila.pop_back();
  if (Ok) {
    f->Cuerpo = Pendiente;
    f->ActualizaMarcas();
    if (Escritura) MarcaEscrito(f);
    Pendiente = f;
  } else {
    delete f;  // with its variable; the body failed and left nothing
  }
}

// A part of the chain has arrived. When the first part failed, its message stands, and the
// arguments are still built, left to right, so that a failing argument can replace the message;
// the chain then fails whatever they give. A failing argument ends the chain with its message.
void TConstructor::EntregaACadena() {
  TMarco& m = Pila.back();
  if (!Ok && !m.Cabeza) {
    Libera(m.Izq);
    Pila.pop_back();
    return;
  }
  if (m.Cabeza) {
    m.Cabeza = false;
    m.Izq = Pendiente;  // null when it failed
  } else if (m.Izq) {
    m.Izq = new TAplicacion(m.Izq, Pendiente);
    if (Escritura) MarcaEscrito(m.Izq);
  } else {
    Libera(Pendiente);
  }
  Pendiente = nullptr;
  if (m.Siguiente <= m.Ultimo) return Llama(cParte, m.Siguiente, m.Ultimo);
  Pendiente = m.Izq;
  Ok = Pendiente != nullptr;
  Pila.pop_back();
}

TExprLambda* TConstructor::ConstruyeExpr(int32_t First, int32_t Last) {
  Llama(cExpr, First, Last);
  for (;;) {
    if (Llamada != cNinguna) {
      TLlamada llamada = Llamada;
      Llamada = cNinguna;
      if (llamada == cExpr)
        Expresion(Primero, Ultimo);
      else
        Parte(Primero, Ultimo);
    } else if (Pila.empty()) {
      TExprLambda* r = Ok ? Pendiente : nullptr;
      Pendiente = nullptr;
      return r;
    } else if (Pila.back().Tipo == mFuncion) {
      EntregaAFuncion();
    } else {
      EntregaACadena();
    }
  }
}

}  // namespace

TExprLambda* Analiza(std::string_view Texto, const TDefiniciones& Definiciones, TExprLambda* Actual,
                     std::string& Error) {
  TRango Falta;
  return Analiza(Texto, Definiciones, Actual, Error, Falta);
}

TExprLambda* Analiza(std::string_view Texto, const TDefiniciones& Definiciones, TExprLambda* Actual,
                     std::string& Error, TRango& Falta, std::string_view Separador,
                     TEscritura* Escritura) {
  Error.clear();
  Falta = {};
  if (Escritura) Escritura->Nombres.clear();
  TLisToken Tokens;
  TExprLambda* r = nullptr;
  try {
    int32_t Nombres = 0;
    if (TokenizaConExtra(Texto, Actual, Tokens, Error, Falta, Nombres)) {
      if (Tokens.Num == 0) {
        Error = Mensajes::EntradaVacia;
      } else {
        TConstructor c(Texto, Tokens, Nombres, Definiciones, Error, Escritura);
        r = c.ConstruyeExpr(1, Tokens.Num);
        if (!Error.empty() && c.ErrorEn > 0 && c.ErrorEn <= Tokens.Num)
          Falta = RangoDe(Texto, Tokens.Lista[static_cast<std::size_t>(c.ErrorEn)]);
      }
    }
  } catch (const EDemasiadoGrande& e) {
    Error = MensajeDemasiadoGrande(e.Nodos, Separador);
    Falta = {};
    r = nullptr;
  }
  // The end of the input, or the input as a whole.
  if (!Error.empty() && Falta.Hasta == 0) Falta = {0, Texto.size()};
  if (Falta.Hasta > Texto.size()) Falta = {0, Texto.size()};
  if (Error.empty()) Falta = {};
  // Only '%' makes tokens that hold a term.
  if (Texto.find('%') != std::string_view::npos) LiberaTokens(Tokens);
  if (!Error.empty() && r) {
    Libera(r);
    r = nullptr;
  }
  return r;
}
