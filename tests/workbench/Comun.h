// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the workbench tests: a workbench on a recording view, and scratch files.
#pragma once

#include <string>

#include "uVistaGrabadora.h"
#include "vLambda.h"

// A workbench on a recording view of type V.
template <typename V>
struct TBancoCon {
  V Vista;
  TMesaTrabajo Mesa{Vista};

  TBancoCon() {
    Vista.Mesa = &Mesa;
    Mesa.FormCreate();
  }
  // Name box, expression box, Enter.
  void Entra(const std::string& Expresion, const std::string& Nombre = "") {
    Vista.Def = Nombre;
    Vista.Ent = Expresion;
    Mesa.edtEntKeyPress('\r');
  }
  void Pestana(int p) {
    Vista.Pestana = p;
    Mesa.PageControl1Change();
  }
};
using TBanco = TBancoCon<TVistaGrabadora>;

// A fresh directory under the system's temporary folder, removed with its files at the end.
class TCarpeta {
 public:
  TCarpeta();
  ~TCarpeta();
  std::string Ruta(const std::string& Nombre) const { return Dir + "/" + Nombre; }
  std::string Dir;
};

std::string LeeTodo(const std::string& Ruta);
void EscribeTodo(const std::string& Ruta, const std::string& Bytes);
