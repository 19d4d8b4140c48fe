// SPDX-License-Identifier: GPL-3.0-or-later
// A byte range of a printed text, apart from the term model, so that a view that only marks
// ranges (the text panel) needs none of the rest.
#pragma once

#include <cstddef>

// A byte range [Desde, Hasta) of a text.
struct TRango {
  std::size_t Desde = 0, Hasta = 0;
};
