// SPDX-License-Identifier: GPL-3.0-or-later
// The tokenizer: byte classes, where a token's word ends, the token count, the tokens of a text
// (with what the builder needs besides, or alone), and the expansion of binder lists.
#include <algorithm>
#include <iterator>
#include <limits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <unordered_map>
#include <utility>
#include <vector>

#include "uLambda.h"
#include "uParser.h"
#include "uTokensInterno.h"

namespace {

// Byte classes of the tokenizer, one table lookup per byte.
enum TClase : uint8_t {
  clOtro,      // starts or continues a symbol
  clBlanco,    // ' '
  clSigno,     // '\\' '/' '.' '(' ')': a token of one character
  clActual,    // '%'
  clLetra,     // 'a'..'z'
  clApostrofo  // '\'': continues a variable, starts or continues a symbol
};
struct TTablaClases {
  TClase Clase[256] = {};
  TTipoToken Signo[256] = {};
  constexpr TTablaClases() {
    for (int c = 'a'; c <= 'z'; ++c) Clase[c] = clLetra;
    Clase[static_cast<unsigned char>('\'')] = clApostrofo;
    Clase[static_cast<unsigned char>(' ')] = clBlanco;
    Clase[static_cast<unsigned char>('%')] = clActual;
    const char Signos[] = {'\\', '/', '.', '(', ')'};
    const TTipoToken Tipos[] = {tokLambda, tokLambda, tokPunto, tokAbre, tokCierra};
    for (int k = 0; k < 5; ++k) {
      Clase[static_cast<unsigned char>(Signos[k])] = clSigno;
      Signo[static_cast<unsigned char>(Signos[k])] = Tipos[k];
    }
  }
};
constexpr TTablaClases Tabla;

inline TClase ClaseDe(char c) {
  return Tabla.Clase[static_cast<unsigned char>(c)];
}
inline bool EsDelimitador(char c) {
  TClase k = ClaseDe(c);
  return k == clBlanco || k == clSigno || k == clActual;
}
inline bool SigueVariable(char c) {
  TClase k = ClaseDe(c);
  return k == clLetra || k == clApostrofo;
}

// Where the word starting at s[i] ends: a variable at the first byte that cannot continue its
// name, a symbol at the first delimiter (or the end of the text, n).
[[gnu::always_inline]] inline std::size_t FinVariable(const char* s, std::size_t i, std::size_t n) {
  std::size_t j = i + 1;
  while (j < n && SigueVariable(s[j])) ++j;
  return j;
}
[[gnu::always_inline]] inline std::size_t FinSimbolo(const char* s, std::size_t i, std::size_t n) {
  std::size_t j = i + 1;
  while (j < n && !EsDelimitador(s[j])) ++j;
  return j;
}

// Sets the message and the bytes it is about; false, for the caller to return.
template <class TMensaje>
bool Fallo(std::string& Error, TRango& Falta, TMensaje&& Mensaje, TRango Donde) {
  Error = std::forward<TMensaje>(Mensaje);
  Falta = Donde;
  return false;
}

// Positions are 32-bit; a text this long could not be numbered by them after the expansion of
// binders (at most three tokens for every two characters).
constexpr std::size_t MaxTexto = 1'000'000'000;

}  // namespace

bool NombreLegible(std::string_view Nombre) {
  if (Nombre.empty() || ClaseDe(Nombre[0]) == clLetra) return false;
  return std::none_of(Nombre.begin(), Nombre.end(), EsDelimitador);
}

bool EsExpresionEnNombre(std::string_view Texto) {
  const std::size_t Desde = Texto.find_first_not_of(" \t");
  if (Desde == std::string_view::npos) return false;
  Texto = Texto.substr(Desde, Texto.find_last_not_of(" \t") + 1 - Desde);
  return std::any_of(Texto.begin(), Texto.end(), EsDelimitador);
}

// How many tokens the text gives at most (exactly, when it has no error): one per sign and '%',
// one per run of other characters. Sizing the list once spares the copies of its growth.
// A token starts at each delimiter but a blank, and at each other byte after a delimiter (or at
// the start): counted from two bit masks per 16 bytes, so that no branch depends on the text.
std::size_t CuentaTokens(std::string_view Texto) {
  std::size_t n = 0, i = 0;
  unsigned Antes = 1;  // the byte before was a delimiter (or there was none)
#ifdef __SSE2__
  const __m128i Blanco = _mm_set1_epi8(' '), Barra = _mm_set1_epi8('\\'),
                Inclinada = _mm_set1_epi8('/'), Punto = _mm_set1_epi8('.'),
                Abre = _mm_set1_epi8('('), Cierra = _mm_set1_epi8(')'), Actual = _mm_set1_epi8('%');
  for (; i + 16 <= Texto.size(); i += 16) {
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Texto.data() + i));
    __m128i e = _mm_cmpeq_epi8(b, Blanco);
    __m128i d = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, Barra), _mm_cmpeq_epi8(b, Inclinada)),
                             _mm_or_si128(_mm_cmpeq_epi8(b, Punto), _mm_cmpeq_epi8(b, Abre)));
    d = _mm_or_si128(d, _mm_or_si128(_mm_cmpeq_epi8(b, Cierra), _mm_cmpeq_epi8(b, Actual)));
    const unsigned Signos = static_cast<unsigned>(_mm_movemask_epi8(d));
    const unsigned Delim = Signos | static_cast<unsigned>(_mm_movemask_epi8(e));
    const unsigned Previo = ((Delim << 1) | Antes) & 0xFFFF;
    n += static_cast<std::size_t>(__builtin_popcount(Signos) +
                                  __builtin_popcount(~Delim & Previo & 0xFFFF));
    Antes = Delim >> 15;
  }
#endif
  for (; i < Texto.size(); ++i) {
    TClase k = ClaseDe(Texto[i]);
    unsigned Delim = k == clBlanco || k == clSigno || k == clActual;
    n += Delim ? k != clBlanco : Antes;
    Antes = Delim;
  }
  return n;
}

namespace {

inline void Agrega(TLisToken& t, TTipoToken Tipo, std::size_t Desde) {
  TToken& k = t.Lista.emplace_back();
  k.Tipo = Tipo;
  k.Desde = static_cast<uint32_t>(Desde);
  ++t.Num;
}

struct TExtra;
bool Tokeniza(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens, std::string& Error,
              TRango& Falta, TExtra* x);
bool ExpandeLambdas(TLisToken& Tokens, std::string& Error, TRango& Falta);

}  // namespace

static_assert(sizeof(TToken) <= 16);

std::string_view NombreToken(std::string_view Texto, const TToken& t) {
  const bool Variable = t.Tipo == tokVariable || t.Tipo == tokLigada;
  if ((!Variable && t.Tipo != tokSimbolo) || t.Desde >= Texto.size()) return {};
  // The tokenizer's own rules for where a word ends.
  const std::size_t j = Variable ? FinVariable(Texto.data(), t.Desde, Texto.size())
                                 : FinSimbolo(Texto.data(), t.Desde, Texto.size());
  return Texto.substr(t.Desde, j - t.Desde);
}

TRango RangoDe(std::string_view Texto, const TToken& t) {
  std::size_t Largo = 1;
  if (t.Tipo == tokVariable || t.Tipo == tokLigada || t.Tipo == tokSimbolo)
    Largo = NombreToken(Texto, t).size();
  return {t.Desde, t.Desde + Largo};
}

bool Tokeniza(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens, std::string& Error) {
  TRango Falta;
  return Tokeniza(Texto, Actual, Tokens, Error, Falta, nullptr);
}

namespace {

// What the tokenizer does besides, for the builder, in the same pass: binder lists expanded as
// ExpandeLambdas would, the matching closing parenthesis of every opening one found (-1 if none;
// the builder then only checks that it lies within its range, which gives what scanning the
// range would), and each variable name numbered (equal names, equal numbers), so that the
// builder finds binders and free variables by number rather than by hashing names.
struct TExtra {
  // Binder lists: 0 outside one, 1 right after a '\' (the next token is its first variable,
  // whatever it is), 2 in the list after it.
  int Estado = 0;
  uint32_t Lambda = 0;  // where the '\' of the list stands
  bool ErrorLista = false;
  TRango FaltaLista;
  std::vector<int32_t> Abiertos;  // opening parentheses not closed yet
  int32_t Corto[256];             // numbers of the one-letter names, -1 for none yet
  std::unordered_map<std::string_view, int32_t> Largos;
  int32_t Nombres = 0;

  TExtra() { std::fill(std::begin(Corto), std::end(Corto), -1); }

  int32_t Numero(std::string_view Nombre) {
    if (Nombre.size() == 1) {
      int32_t& k = Corto[static_cast<unsigned char>(Nombre[0])];
      if (k < 0) k = Nombres++;
      return k;
    }
    auto [it, Nuevo] = Largos.try_emplace(Nombre, Nombres);
    if (Nuevo) ++Nombres;
    return it->second;
  }
};

// Appends a token; with `x`, expands binder lists and matches parentheses on the way.
[[gnu::always_inline]] inline void Emite(TLisToken& t, TExtra* x, TTipoToken Tipo,
                                         std::size_t Desde, std::string_view Nombre = {}) {
  if (x) {
    if (x->Estado == 2) {
      if (Tipo == tokPunto) {
        x->Estado = 0;
      } else if (Tipo == tokVariable) {
        Agrega(t, tokPunto, x->Lambda);
        Agrega(t, tokLambda, x->Lambda);
      } else if (!x->ErrorLista) {
        x->ErrorLista = true;
        x->FaltaLista = {x->Lambda, x->Lambda + std::size_t(1)};
      }
    } else if (x->Estado == 1) {
      x->Estado = 2;
    } else if (Tipo == tokLambda) {
      x->Estado = 1;
      x->Lambda = static_cast<uint32_t>(Desde);
    }
  }
  Agrega(t, Tipo, Desde);
  if (!x) return;
  if (Tipo == tokAbre) {
    t.Lista.back().Cierre = -1;
    x->Abiertos.push_back(t.Num);
  } else if (Tipo == tokCierra && !x->Abiertos.empty()) {
    t.Lista[static_cast<std::size_t>(x->Abiertos.back())].Cierre = t.Num;
    x->Abiertos.pop_back();
  } else if (Tipo == tokVariable) {
    t.Lista.back().Id = x->Numero(Nombre);
  }
}

// Sizes the list once for all the tokens of the text (see CuentaTokens), on large pages.
void ReservaTokens(TLisToken& Tokens, std::string_view Texto, bool Expande) {
  std::size_t Cuenta = CuentaTokens(Texto) + 1;
  // Room for a few expanded binders too; what goes unused is never touched.
  Tokens.Lista.reserve(Expande ? Cuenta + Cuenta / 8 + 16 : Cuenta);
  PaginasGrandes(Tokens.Lista.data(), Tokens.Lista.capacity() * sizeof(TToken));
}

// A variable name that stops at a byte which can neither continue nor end it: the message
// names that byte and the name, and points at the whole word as typed.
bool FallaVariable(std::string_view Texto, std::size_t i, std::size_t j, TLisToken& Tokens,
                   std::string& Error, TRango& Falta) {
  Agrega(Tokens, tokVariable, i);
  const std::size_t Fin = FinSimbolo(Texto.data(), j, Texto.size());
  return Fallo(Error, Falta, Mensajes::CaracterNoPermitido(Texto[j], Texto.substr(i, j - i)),
               {i, Fin});
}

// The faults of a whole text that the builder's pass finds along the way: a malformed binder
// list, and more tokens after the expansion than positions can number.
bool RevisaExtra(const TExtra& x, const TLisToken& Tokens, std::size_t Largo, std::string& Error,
                 TRango& Falta) {
  if (x.ErrorLista) return Fallo(Error, Falta, Mensajes::LambdaMalConstruido, x.FaltaLista);
  if (Tokens.Lista.size() - 1 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
    return Fallo(Error, Falta, Mensajes::EntradaDemasiadoLarga, {0, Largo});
  return true;
}

bool Tokeniza(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens, std::string& Error,
              TRango& Falta, TExtra* x) {
  Tokens.Num = 0;
  Tokens.Lista.assign(1, TToken{});
  if (Texto.size() > MaxTexto)
    return Fallo(Error, Falta, Mensajes::EntradaDemasiadoLarga, {0, Texto.size()});
  const char* const s = Texto.data();
  const std::size_t n = Texto.size();
  ReservaTokens(Tokens, Texto, x != nullptr);
  std::size_t i = 0;
  while (i < n) {
    switch (ClaseDe(s[i])) {
      case clBlanco:
        ++i;
        break;
      case clSigno:
        Emite(Tokens, x, Tabla.Signo[static_cast<unsigned char>(s[i])], i);
        ++i;
        break;
      case clActual:
        if (!Actual) return Fallo(Error, Falta, Mensajes::NoHayActual, {i, i + 1});
        Emite(Tokens, x, tokActual, i);
        Tokens.Lista.back().Expr = Actual->Copia();
        ++i;
        break;
      case clLetra: {
        const std::size_t j = FinVariable(s, i, n);
        // A variable name must end at a delimiter or at the end of the text.
        if (j < n && !EsDelimitador(s[j])) return FallaVariable(Texto, i, j, Tokens, Error, Falta);
        Emite(Tokens, x, tokVariable, i, Texto.substr(i, j - i));
        i = j;
        break;
      }
      default: {
        const std::size_t j = FinSimbolo(s, i, n);
        Emite(Tokens, x, tokSimbolo, i, Texto.substr(i, j - i));
        i = j;
      }
    }
  }
  return !x || Tokens.Num == 0 || RevisaExtra(*x, Tokens, Texto.size(), Error, Falta);
}

}  // namespace

bool TokenizaConExtra(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens,
                      std::string& Error, TRango& Falta, int32_t& Nombres) {
  TExtra x;
  const bool Bien = Tokeniza(Texto, Actual, Tokens, Error, Falta, &x);
  Nombres = x.Nombres;
  return Bien;
}

namespace {

// Whether some binder has several variables, and the error of a malformed list if one comes
// first: the same verdict as the expansion below, reached without copying the list. `Lambda`
// gets the position of the binder found.
enum TRevision { rNada, rExpandir, rError };
TRevision RevisaLambdas(const std::vector<TToken>& t, std::size_t Num, std::size_t& Lambda) {
  std::size_t k = 1;
  while (k <= Num) {
    if (t[k].Tipo != tokLambda) {
      ++k;
      continue;
    }
    Lambda = k;
    k += 2;
    if (k > Num || t[k].Tipo == tokPunto) continue;
    return t[k].Tipo == tokVariable ? rExpandir : rError;
  }
  return rNada;
}

}  // namespace

bool ExpandeLambdas(TLisToken& Tokens, std::string& Error) {
  TRango Falta;
  return ExpandeLambdas(Tokens, Error, Falta);
}

namespace {

// Rewrites \x y z.M as \x.\y.\z.M. One pass into a new list gives the same tokens as inserting
// in place, without moving the tail once per variable.
// A fault is always at a binder's backslash, whose range needs no text.
bool ExpandeLambdas(TLisToken& Tokens, std::string& Error, TRango& Falta) {
  std::size_t Lambda = 0;
  switch (RevisaLambdas(Tokens.Lista, static_cast<std::size_t>(Tokens.Num), Lambda)) {
    case rNada:
      return true;
    case rError:
      Error = Mensajes::LambdaMalConstruido;
      Falta = RangoDe({}, Tokens.Lista[Lambda]);
      return false;
    case rExpandir:
      break;
  }
  std::vector<TToken> Nueva;
  Nueva.reserve(Tokens.Lista.size());
  Nueva.push_back(TToken{});
  const std::vector<TToken>& t = Tokens.Lista;
  const std::size_t Num = static_cast<std::size_t>(Tokens.Num);
  bool EnLista = false;
  std::size_t k = 1;
  while (k <= Num) {
    if (!EnLista) {
      Nueva.push_back(t[k]);
      if (t[k].Tipo == tokLambda) {
        // The token after the lambda is its first variable, whatever it is.
        EnLista = true;
        Lambda = k;
        if (k + 1 <= Num) Nueva.push_back(t[k + 1]);
        k += 2;
      } else {
        ++k;
      }
    } else if (t[k].Tipo == tokPunto) {
      EnLista = false;
      Nueva.push_back(t[k]);
      ++k;
    } else if (t[k].Tipo == tokVariable) {
      TToken Punto, Nuevo;
      Punto.Tipo = tokPunto;
      Nuevo.Tipo = tokLambda;
      Punto.Desde = Nuevo.Desde = t[Lambda].Desde;
      Nueva.push_back(Punto);
      Nueva.push_back(Nuevo);
      Nueva.push_back(t[k]);
      ++k;
    } else {
      Error = Mensajes::LambdaMalConstruido;
      Falta = RangoDe({}, t[Lambda]);
      return false;
    }
  }
  if (Nueva.size() - 1 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    Error = Mensajes::EntradaDemasiadoLarga;
    Falta = {0, SIZE_MAX};  // the whole text: the caller knows its size
    return false;
  }
  Tokens.Lista.swap(Nueva);
  Tokens.Num = static_cast<int32_t>(Tokens.Lista.size() - 1);
  return true;
}

}  // namespace

void LiberaTokens(TLisToken& Tokens) {
  for (TToken& t : Tokens.Lista) {
    if (t.Tipo == tokActual && t.Expr) {
      Libera(t.Expr);
      t.Expr = nullptr;
    }
  }
}
