// SPDX-License-Identifier: GPL-3.0-or-later
// "Ayuda > Sintaxis", written once for the window and the page: what is written and what it
// means, and the keys. Both faces show this HTML as it is.
#pragma once

#include <string>

// The dialog's content, as HTML in UTF-8 (the help is read by the faces, never by the workbench).
// `Navegador`: the page's, which has no menu opened with Alt and a letter.
std::string HtmlSintaxis(bool Navegador);
