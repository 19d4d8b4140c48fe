#include "uParser.h"

#include <limits>
#include <unordered_map>
#include <utility>

#include "uLambda.h"

std::string Mensajes::CaracterNoPermitido(char c, std::string_view variable) {
  std::string s =
      "Car\xE1"
      "cter \"";
  s += c;
  s += "\" no permitido en variable ";
  s += variable;
  return s;
}

namespace {

inline bool EsDelimitador(unsigned char c) {
  return c == ' ' || c == '%' || c == '(' || c == ')' || c == '.' || c == '/' || c == '\\';
}
inline bool EsLetraVariable(unsigned char c) {
  return c >= 'a' && c <= 'z';
}

// Positions are 32-bit; a text this long could not be numbered by them after the expansion of
// binders (at most three tokens for every two characters).
constexpr std::size_t MaxTexto = 1'000'000'000;

void Agrega(TLisToken& t, TTipoToken tipo, std::string_view nombre = {}) {
  TToken k;
  k.Tipo = tipo;
  k.Nombre = nombre;
  t.Lista.push_back(k);
  ++t.Num;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tokenizer.

bool Tokeniza(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens, std::string& Error) {
  Tokens.Num = 0;
  Tokens.Lista.assign(1, TToken{});
  if (Texto.size() > MaxTexto) {
    Error = Mensajes::EntradaDemasiadoLarga;
    return false;
  }
  const std::size_t n = Texto.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(Texto[i]);
    switch (c) {
      case ' ':
        ++i;
        continue;
      case '\\':
      case '/':
        Agrega(Tokens, tokLambda);
        ++i;
        continue;
      case '.':
        Agrega(Tokens, tokPunto);
        ++i;
        continue;
      case '(':
        Agrega(Tokens, tokAbre);
        ++i;
        continue;
      case ')':
        Agrega(Tokens, tokCierra);
        ++i;
        continue;
      case '%':
        if (!Actual) {
          Error = Mensajes::NoHayActual;
          return false;
        }
        Agrega(Tokens, tokActual);
        Tokens.Lista.back().Expr = Actual->Copia();
        ++i;
        continue;
      default:
        break;
    }
    std::size_t j = i + 1;
    if (EsLetraVariable(c)) {
      while (j < n && (EsLetraVariable(static_cast<unsigned char>(Texto[j])) || Texto[j] == '\''))
        ++j;
      Agrega(Tokens, tokVariable, Texto.substr(i, j - i));
      // A variable name must end at a delimiter or at the end of the text.
      if (j < n && !EsDelimitador(static_cast<unsigned char>(Texto[j]))) {
        Error = Mensajes::CaracterNoPermitido(Texto[j], Texto.substr(i, j - i));
        return false;
      }
    } else {
      while (j < n && !EsDelimitador(static_cast<unsigned char>(Texto[j]))) ++j;
      Agrega(Tokens, tokSimbolo, Texto.substr(i, j - i));
    }
    i = j;
  }
  return true;
}

// Rewrites \x y z.M as \x.\y.\z.M. One pass into a new list gives the same tokens as inserting
// in place, without moving the tail once per variable.
bool ExpandeLambdas(TLisToken& Tokens, std::string& Error) {
  std::vector<TToken> nueva;
  nueva.reserve(Tokens.Lista.size());
  nueva.push_back(TToken{});
  const std::vector<TToken>& t = Tokens.Lista;
  const std::size_t num = static_cast<std::size_t>(Tokens.Num);
  bool enLista = false;
  std::size_t k = 1;
  while (k <= num) {
    if (!enLista) {
      nueva.push_back(t[k]);
      if (t[k].Tipo == tokLambda) {
        // The token after the lambda is its first variable, whatever it is.
        enLista = true;
        if (k + 1 <= num) nueva.push_back(t[k + 1]);
        k += 2;
      } else {
        ++k;
      }
    } else if (t[k].Tipo == tokPunto) {
      enLista = false;
      nueva.push_back(t[k]);
      ++k;
    } else if (t[k].Tipo == tokVariable) {
      TToken punto, lambda;
      punto.Tipo = tokPunto;
      lambda.Tipo = tokLambda;
      nueva.push_back(punto);
      nueva.push_back(lambda);
      nueva.push_back(t[k]);
      ++k;
    } else {
      Error = Mensajes::LambdaMalConstruido;
      return false;
    }
  }
  if (nueva.size() - 1 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    Error = Mensajes::EntradaDemasiadoLarga;
    return false;
  }
  Tokens.Lista.swap(nueva);
  Tokens.Num = static_cast<int32_t>(Tokens.Lista.size() - 1);
  return true;
}

void LiberaTokens(TLisToken& Tokens) {
  for (TToken& t : Tokens.Lista) {
    if (t.Tipo == tokActual && t.Expr) {
      Libera(t.Expr);
      t.Expr = nullptr;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Term builder.
//
// The builder is the recursive descent of ConstruyeExpr / ConstruyeAplic / ConstruyeFuncion,
// run on an explicit stack so that nesting depth is bounded by memory, not by the machine
// stack. Each "call" either yields a result at once or pushes a frame that receives the result
// of the call it starts:
//   group     '(' expression ')' {argument}: after the inner expression, the chain if any;
//   function  '\' variable '.' body: after the body, the abstraction;
//   chain     left {argument}: after each argument, the application with it.

namespace {

class TConstructor {
 public:
  TConstructor(TLisToken& tokens, const TDefiniciones& definiciones, std::string& error)
      : T(tokens.Lista), Num(tokens.Num), Definiciones(definiciones), Error(error) {}

  ~TConstructor() {
    // Whatever a failed or interrupted parse left half-made.
    for (TMarco& m : Pila) {
      if (m.Tipo == mCadena) Libera(m.Izq);
      if (m.Tipo == mFuncion) delete m.Funcion;
    }
    Libera(Pendiente);
    for (auto& [nombre, v] : Libres) Libera(v);
  }

  TExprLambda* ConstruyeExpr(int32_t first, int32_t last);

 private:
  enum TTipoMarco : uint8_t { mGrupo, mFuncion, mCadena };
  struct TMarco {
    TTipoMarco Tipo = mGrupo;
    int32_t Cierre = 0;           // mGrupo: position of the closing parenthesis
    int32_t Siguiente = 0;        // mCadena: where the next argument starts
    int32_t Ultimo = 0;           // last position of the range
    TExprLambda* Izq = nullptr;   // mCadena: the chain so far; null when the function failed
    TFuncion* Funcion = nullptr;  // mFuncion: the abstraction whose body is being built
    std::string_view Nombre;      // mFuncion: its variable's name
  };

  // A call to make: an expression over a range, or one argument of the chain on top.
  enum TLlamada : uint8_t { cNinguna, cExpr, cArg };

  int32_t BuscaCierre(int32_t abre, int32_t last) const {
    int32_t c = Cierres[static_cast<std::size_t>(abre)];
    return c >= 0 && c <= last ? c : -1;
  }
  void CalculaCierres();
  TExprLambda* VariableLibre(int32_t p);
  TExprLambda* CopiaSimbolo(int32_t p);
  TExprLambda* Atomo(int32_t p, bool& ok);
  bool ConstruyeFuncion(int32_t first, int32_t last);
  void Falla(const char* mensaje) {
    Error = mensaje;
    Ok = false;
    Pendiente = nullptr;
  }
  void EmpiezaCadena(TExprLambda* izq, bool izqOk, int32_t p, int32_t last);

  std::vector<TToken>& T;
  int32_t Num;
  const TDefiniciones& Definiciones;
  std::string& Error;
  std::vector<int32_t> Cierres;
  std::unordered_map<std::string_view, TVariable*> Libres;
  std::unordered_map<std::string_view, TVariable*> Ambito;  // binders in force, by name
  std::vector<TMarco> Pila;

  TLlamada Llamada = cNinguna;
  int32_t Primero = 0, Ultimo = 0;
  // The last result handed up, owned here until a frame takes it.
  TExprLambda* Pendiente = nullptr;
  bool Ok = false;
};

// The matching closing parenthesis of every opening one, in one pass; BuscaCierre then only
// checks that it lies within the range, which gives what scanning the range would.
void TConstructor::CalculaCierres() {
  Cierres.assign(T.size(), -1);
  std::vector<int32_t> abiertos;
  for (int32_t k = 1; k <= Num; ++k) {
    if (T[static_cast<std::size_t>(k)].Tipo == tokAbre) {
      abiertos.push_back(k);
    } else if (T[static_cast<std::size_t>(k)].Tipo == tokCierra && !abiertos.empty()) {
      Cierres[static_cast<std::size_t>(abiertos.back())] = k;
      abiertos.pop_back();
    }
  }
}

TExprLambda* TConstructor::VariableLibre(int32_t p) {
  TVariable*& v = Libres[T[static_cast<std::size_t>(p)].Nombre];
  if (!v) {
    v = new TVariable(true);
    // Libres holds a reference of its own, so a variable whose first occurrences were
    // discarded (the arguments after a failed function part) lives on for the later ones.
    v->Refs = 1;
  }
  ++v->Refs;  // the reference handed out
  return v;
}

TExprLambda* TConstructor::CopiaSimbolo(int32_t p) {
  std::string_view nombre = T[static_cast<std::size_t>(p)].Nombre;
  int i = Definiciones.Busca(nombre);
  if (i < 0) {
    Error = std::string(Mensajes::SimboloNoDefinido) + std::string(nombre);
    return nullptr;
  }
  return Definiciones[static_cast<std::size_t>(i)].Termino->Copia();
}

// A variable, symbol, bound variable or '%'. A variable inside the range of an abstraction of
// the same name is that abstraction's variable (the token is marked bound as it is used).
TExprLambda* TConstructor::Atomo(int32_t p, bool& ok) {
  TToken& t = T[static_cast<std::size_t>(p)];
  ok = true;
  switch (t.Tipo) {
    case tokVariable: {
      auto it = Ambito.find(t.Nombre);
      if (it == Ambito.end()) return VariableLibre(p);
      t.Tipo = tokLigada;
      t.Var = it->second;
      ++t.Var->Refs;
      return t.Var;
    }
    case tokLigada:
      ++t.Var->Refs;
      return t.Var;
    case tokActual: {
      TExprLambda* e = t.Expr;
      t.Expr = nullptr;
      return e;
    }
    default: {  // tokSimbolo
      TExprLambda* e = CopiaSimbolo(p);
      ok = e != nullptr;
      return e;
    }
  }
}

// Checks the abstraction at `first` and, if it is well made, pushes its frame and calls for its
// body. Returns false with the message set otherwise.
bool TConstructor::ConstruyeFuncion(int32_t first, int32_t last) {
  if (last - first < 3) {
    Falla(Mensajes::LambdaMalConstruidoP);
    return false;
  }
  const TToken& v = T[static_cast<std::size_t>(first) + 1];
  if (v.Tipo == tokLigada || (v.Tipo == tokVariable && Ambito.count(v.Nombre))) {
    Falla(Mensajes::Ambiguedad);
    return false;
  }
  if (v.Tipo != tokVariable || T[static_cast<std::size_t>(first) + 2].Tipo != tokPunto) {
    Falla(Mensajes::LambdaMalConstruidoP);
    return false;
  }
  TFuncion* f = new TFuncion;
  try {
    f->Param = new TVariable;
  } catch (...) {
    delete f;
    throw;
  }
  TMarco m;
  m.Tipo = mFuncion;
  m.Funcion = f;
  m.Nombre = v.Nombre;
  m.Ultimo = last;
  Pila.push_back(m);
  Ambito[v.Nombre] = f->Param;
  Llamada = cExpr;
  Primero = first + 3;
  Ultimo = last;
  return true;
}

// After a function part (an atom or a group) with more tokens behind it. When the function part
// failed, its message stands, and the arguments are still built, left to right, so that a
// failing argument can replace the message; the chain then fails whatever they give.
void TConstructor::EmpiezaCadena(TExprLambda* izq, bool izqOk, int32_t p, int32_t last) {
  TMarco m;
  m.Tipo = mCadena;
  m.Izq = izqOk ? izq : nullptr;
  m.Siguiente = p;
  m.Ultimo = last;
  Pila.push_back(m);
  Pendiente = nullptr;
  Llamada = cArg;
  Primero = p;
  Ultimo = last;
}

TExprLambda* TConstructor::ConstruyeExpr(int32_t first, int32_t last) {
  CalculaCierres();
  Llamada = cExpr;
  Primero = first;
  Ultimo = last;
  for (;;) {
    if (Llamada != cNinguna) {
      TLlamada llamada = Llamada;
      Llamada = cNinguna;
      const int32_t p = Primero, l = Ultimo;
      const TTipoToken tipo = T[static_cast<std::size_t>(p)].Tipo;
      if (llamada == cArg) {
        // The argument of a chain: an abstraction reaches to the end of the range.
        TMarco& cadena = Pila.back();
        if (tipo == tokLambda) {
          cadena.Siguiente = l + 1;
          if (!ConstruyeFuncion(p, l)) continue;
        } else if (tipo == tokAbre) {
          int32_t c = BuscaCierre(p, l);
          if (c < 0) {
            Falla(Mensajes::ParentesisNoCerrado);
            continue;
          }
          cadena.Siguiente = c + 1;
          Llamada = cExpr;
          Primero = p + 1;
          Ultimo = c - 1;
        } else if (tipo == tokPunto) {
          Falla(Mensajes::PuntoSinLambda);
        } else if (tipo == tokCierra) {
          Falla(Mensajes::CierreSinApertura);
        } else {
          cadena.Siguiente = p + 1;
          Pendiente = Atomo(p, Ok);
        }
        continue;
      }
      switch (tipo) {
        case tokLambda:
          ConstruyeFuncion(p, l);
          break;
        case tokPunto:
          Falla(Mensajes::PuntoSinLambda);
          break;
        case tokCierra:
          Falla(Mensajes::CierreSinApertura);
          break;
        case tokAbre: {
          int32_t c = BuscaCierre(p, l);
          if (c < 0) {
            Falla(Mensajes::ParentesisNoCerrado);
            break;
          }
          TMarco m;
          m.Tipo = mGrupo;
          m.Cierre = c;
          m.Ultimo = l;
          Pila.push_back(m);
          Llamada = cExpr;
          Primero = p + 1;
          Ultimo = c - 1;
          break;
        }
        default: {
          bool ok;
          TExprLambda* t = Atomo(p, ok);
          if (p == l) {
            Pendiente = t;
            Ok = ok;
          } else {
            EmpiezaCadena(t, ok, p + 1, l);
          }
          break;
        }
      }
      continue;
    }

    // A result (Pendiente, Ok) goes up to the frame on top.
    if (Pila.empty()) {
      TExprLambda* r = Ok ? Pendiente : nullptr;
      Pendiente = nullptr;
      return r;
    }
    TMarco& m = Pila.back();
    switch (m.Tipo) {
      case mGrupo: {
        int32_t c = m.Cierre, l = m.Ultimo;
        Pila.pop_back();
        if (c != l) EmpiezaCadena(Pendiente, Ok, c + 1, l);
        break;
      }
      case mFuncion: {
        TFuncion* f = m.Funcion;
        Ambito.erase(m.Nombre);
        Pila.pop_back();
        if (Ok) {
          f->Cuerpo = Pendiente;
          Pendiente = f;
        } else {
          delete f;  // with its variable; the body failed and left nothing
          Pendiente = nullptr;
        }
        break;
      }
      case mCadena: {
        if (!Ok) {
          // A failing argument ends the chain with its own message.
          Libera(m.Izq);
          Pila.pop_back();
          Pendiente = nullptr;
          break;
        }
        bool fallida = m.Izq == nullptr;
        if (fallida) {
          Libera(Pendiente);
        } else {
          m.Izq = new TAplicacion(m.Izq, Pendiente);
        }
        Pendiente = nullptr;
        if (m.Siguiente <= m.Ultimo) {
          Llamada = cArg;
          Primero = m.Siguiente;
          Ultimo = m.Ultimo;
          break;
        }
        Pendiente = m.Izq;
        Ok = !fallida;
        Pila.pop_back();
        break;
      }
    }
  }
}

}  // namespace

TExprLambda* Analiza(std::string_view Texto, const TDefiniciones& Definiciones, TExprLambda* Actual,
                     std::string& Error) {
  Error.clear();
  TLisToken tokens;
  TExprLambda* r = nullptr;
  try {
    if (Tokeniza(Texto, Actual, tokens, Error)) {
      if (tokens.Num == 0) {
        Error = Mensajes::EntradaVacia;
      } else if (ExpandeLambdas(tokens, Error)) {
        TConstructor c(tokens, Definiciones, Error);
        r = c.ConstruyeExpr(1, tokens.Num);
      }
    }
  } catch (const EDemasiadoGrande& e) {
    Error = e.what();
    r = nullptr;
  }
  LiberaTokens(tokens);
  if (!Error.empty() && r) {
    Libera(r);
    r = nullptr;
  }
  if (r) MarcaCerrados(r);
  return r;
}
