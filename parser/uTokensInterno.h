// SPDX-License-Identifier: GPL-3.0-or-later
// What the tokenizer hands the term builder, and nothing outside parser/ uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uParser.h"

// Tokeniza, and in the same pass what the builder needs besides: binder lists expanded, in each
// '(' token's Cierre the position of its matching ')' (-1 if none), and in each variable's Id a
// number for its name, `Nombres` distinct names in all. `Falta` gets the bytes of the fault as
// Analiza reports them.
bool TokenizaConExtra(std::string_view Texto, TExprLambda* Actual, TLisToken& Tokens,
                      std::string& Error, TRango& Falta, int32_t& Nombres);

// The bytes of a token in the parsed text.
TRango RangoDe(std::string_view Texto, const TToken& t);
