// SPDX-License-Identifier: GPL-3.0-or-later
// Expression parser: one line of single-byte text into a term, or one Spanish message.
//
//   expression -> abstraction | atom {argument}
//   atom       -> variable | symbol | '%' | '(' expression ')'
//   argument   -> atom | abstraction            (an abstraction is always the last argument)
//   abstraction-> ('\' | '/') variable {variable} '.' expression
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "uDefiniciones.h"
#include "uLambda.h"
#include "uTextos.h"

class TExprLambda;
class TVariable;

enum TTipoToken : uint8_t {
  tokLambda = 0,
  tokPunto = 1,
  tokAbre = 2,
  tokCierra = 3,
  tokVariable = 4,
  tokSimbolo = 5,
  tokLigada = 6,
  tokActual = 7,
};

struct TToken {
  TTipoToken Tipo = tokLambda;
  // Where it starts in the parsed text; a binder made by expanding \x y.M starts at its '\'.
  // The name of a variable or symbol is the word that starts here (NombreToken): kept out of
  // the token, which is then 16 bytes, a megabyte of text making up to 750,000 of them.
  uint32_t Desde = 0;
  // One or the other by Tipo, so that a long text's token list takes less memory.
  union {
    TVariable* Var = nullptr;  // tokLigada: the binder's Param (not owned)
    TExprLambda* Expr;         // tokActual: the copy of the current term, until it is used
    int32_t Cierre;            // tokAbre: the builder's position of the matching ')'
    int32_t Id;                // tokVariable, for the builder: a number per distinct name
  };
};

// The token list of one Analiza call. Positions run from 1 to Num; it grows as needed.
struct TLisToken {
  int32_t Num = 0;
  std::vector<TToken> Lista;  // Lista[0] is unused
};

// Whether an expression can name the definition `Nombre`: it reads as one symbol, not as a
// variable (a lowercase letter first) nor as several tokens (a blank, '%' or a sign inside).
bool NombreLegible(std::string_view Nombre);
// Whether a text typed in the name box is an expression typed in the wrong box: once trimmed of
// blanks, it holds a blank, '%' or a sign, which no name can.
bool EsExpresionEnNombre(std::string_view Texto);

// Parses `Texto` (Windows-1252 bytes). Returns a term, owned by the caller, exactly when
// `Error` comes back empty; otherwise no term and one message. `Actual` may be null: a '%' then
// fails with Mensajes::NoHayActual. Never changes the definitions or the current term.
TExprLambda* Analiza(std::string_view Texto, const TDefiniciones& Definiciones, TExprLambda* Actual,
                     std::string& Error);
// Analiza, and on failure where the fault lies: the bytes of Texto of the token the message is
// about (a variable with a character not allowed: the whole word as typed; a malformed binder
// list: its '\'); the whole text {0, size} when the fault is the end of the input, or the input
// or its term as a whole is too large. {0, 0} on success. The size of a term past the node limit
// is grouped with `Separador`, the view's thousands separator.
// `Escritura`, when given, gets the names the text wrote, and the term the marks of what it
// wrote (see TEscritura).
TExprLambda* Analiza(std::string_view Texto, const TDefiniciones& Definiciones, TExprLambda* Actual,
                     std::string& Error, TRango& Falta, std::string_view Separador = ".",
                     TEscritura* Escritura = nullptr);

// The tokenizer's two steps, exposed for tests. Both return false with `Error` set on failure.
bool Tokeniza(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens, std::string& Error);
bool ExpandeLambdas(TLisToken& Tokens, std::string& Error);
// How many tokens Tokeniza makes of the text, at most (exactly, when it has no error).
std::size_t CuentaTokens(std::string_view Texto);
// The name of a variable or symbol token in the text it came from; empty for other tokens.
std::string_view NombreToken(std::string_view Texto, const TToken& t);
// Releases the '%' copies still held by a token list.
void LiberaTokens(TLisToken& Tokens);
