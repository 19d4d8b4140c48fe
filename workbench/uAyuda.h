// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's own words for both faces, written once: "Ayuda > Sintaxis" (what is written and
// what it means, and the keys), "Acerca de", the window's caption, and what each control of the
// window says of itself. Both faces show these texts as they are; they are UTF-8, since the help
// is read by the faces, never by the workbench.
#pragma once

#include <span>
#include <string>
#include <string_view>

// The dialog's content, as HTML. `Navegador`: the page's, which has no menu opened with Alt and a
// letter.
std::string HtmlSintaxis(bool Navegador);

// The program's name, as the caption and the dialogs' titles show it.
extern const char* const NombrePrograma;
// The caption: the program's name and the course's, or once a file was opened or saved, the
// file's.
std::string TituloVentana(std::string_view Fichero = {});
// The manual's dialog title.
std::string TituloManual();
// "Acerca de": the version, what the program is, `Entorno` (the libraries the face was built
// with, already in words) and the licence.
std::string HtmlAcercaDe(std::string_view Version, std::string_view Entorno);

// A control's tooltip, its name for screen readers (its caption is a symbol, or it has none) and,
// for the two boxes, the grey text that says what they are for while empty.
struct TConsejo {
  const char* Control;  // the control's name in both faces: "edtEnt", "btnBeta"…
  const char* Consejo;
  const char* Nombre;
  const char* Indicacion;  // empty but for the boxes
};
std::span<const TConsejo> ConsejosControles();
// The entry of a control made later than the window (the steps' list); it must have one.
const TConsejo& ConsejoDe(std::string_view Control);
