// SPDX-License-Identifier: GPL-3.0-or-later
// The names the user wrote for the variables, and the printing that keeps them ("Conservar los
// nombres").
//
// Every name met is kept once in a table, and a variable keeps the number of its own
// (TVariable::Nombre): the parser gives it, a copy passes it on. Printing follows one of two
// modes (TModoImpresion::ConservaNombres), the same for a term's numbering and its printing:
//  - off (the default): a, b, c... by order of appearance;
//  - on: each variable with its own name, changed only where the text would otherwise not read
//    back as the same term. A free variable keeps its name unless another free variable of the
//    same term already prints so; a binder whose name an enclosing binder already prints, or
//    that would capture a free variable of that name in its body, gets apostrophes added until
//    it is unique in its scope (above every name of its stem in scope when it clashes with one
//    of them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TExprLambda;
class TPliegue;

// The number of a name; SinNombre for a variable made without one.
constexpr uint32_t SinNombre = 0;
// Names that fit in a variable: past them a new name is not kept (SinNombre).
constexpr uint32_t MaximoNombres = (1u << 24) - 1;
uint32_t InternaNombre(std::string_view Texto);
// The text of a name; empty for SinNombre.
std::string TextoNombre(uint32_t Nombre);

// Renumera with names kept: the display numbers as Renumera gives them, and the names those
// numbers print as, until the next numbering with names kept. Returns the printed length, folded
// by `Pliegue` when it is `t`'s.
std::size_t RenumeraConNombres(TExprLambda* t, int32_t& NumVars,
                               const std::function<void()>& Pulso = {},
                               const TPliegue* Pliegue = nullptr);
