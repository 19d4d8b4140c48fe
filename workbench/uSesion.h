// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's session: the current term and the one before it (btnBack), the definitions and
// their file, the entry that makes a term current, and the β step, with the engine that takes it
// and the reader that numbers and reads back the terms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uLector.h"
#include "uRango.h"
#include "uReduccion.h"

class IVista;
class TAplicacion;
class TExprLambda;
class TMesaTrabajo;
class TRetenido;

class TSesion {
 public:
  TSesion(TMesaTrabajo& Mesa, IVista& Vista);
  TSesion(const TSesion&) = delete;
  TSesion& operator=(const TSesion&) = delete;
  ~TSesion();

  // The current term, and the one operation that replaces it from outside the commands: the
  // workbench takes the term, releases the old one and forgets the engine's path into it.
  TExprLambda* TerminoActual() const { return Actual; }
  void CambiaActual(TExprLambda* Nuevo);
  // Actual changed, by a command (CambiaActual, a β step) or by a pass of run-all: the one place
  // that marks what the views hold of it as stale (the numbering, the text, the chosen redex's
  // list and drawing and, after a command, the reader's reading and its sequence of terms;
  // run-all's passes tell the reader themselves).
  enum class TCambio { Orden, Pasada };
  void TerminoCambiado(TCambio Causa);
  // Counts CambiaActual: a run-all sees an entry made meanwhile.
  uint64_t Reemplazos() const { return Reemplazos_; }
  // Period of the cycle the last run-all was seen to go through, until the term changes; 0: none.
  int64_t Ciclo() const { return Lector.Ciclo(); }
  // The definitions changed since the last open or save (or since the start).
  bool SinGuardar() const { return Modificadas; }
  // The expression line a save would write for definition i (renumbers its term).
  std::string LineaDefinicion(std::size_t i);

  // FormCreate: the terms and the definitions go (Vacia), then the session starts empty.
  void Vacia();
  void Empieza();
  // Enter: parse Texto, make the result current, and define it under Nombre.
  void Introduce(const std::string& Texto, const std::string& Nombre);
  // Step: one pass (or the contraction of a chosen redex), keeping the term before it for back.
  void Paso(TAplicacion* Elegido = nullptr);
  void Atras();
  // Puts the engine on the road the view's options say; whether its passes are multiple ("Beta
  // múltiple" belongs to the classic mode alone).
  bool TomaModo();
  // The redexes the next β contracts, as the engine gives them.
  void Proximos(std::vector<TExprLambda*>& Redex);
  // When the strategy in force has no next redex in Actual: the name of the form reached
  // (Windows-1252). Null otherwise.
  const char* FormaAlcanzada();
  // One pass of β on Actual, noted in the trace; true when it changed the term.
  bool PasadaBeta(bool Multiple);

  // The definitions file: "Abrir.." (the dialog, then AbreRuta) and "Salvar.." (false when the
  // dialog was cancelled). GuardaSiCambiaron asks about changed definitions, saving them if so
  // chosen: true when what asked may go on.
  void Abre();
  void AbreRuta(const std::string& Ruta);
  // A lesson the face carries (its "Lecciones" menu): opened as a file of that name with those
  // bytes, after the question about changed definitions.
  void AbreLeccion(const std::string& Nombre, std::string Contenido);
  bool Salva();
  bool GuardaSiCambiaron(const char* Pregunta);

  TDefiniciones Definiciones;
  TEscritura Escritura;  // what the entry of the current term wrote
  TExprLambda* Anterior = nullptr;
  int32_t NumVars = 0;
  // After an entry that did not parse, the bytes of its text that the message is about.
  std::optional<TRango> FaltaEntrada;
  TMotor Motor;
  TLector Lector;

 private:
  // Copia holds a copy of t for a definition: the message why it could not, or empty.
  std::string CopiaDefinicion(TExprLambda* t, TRetenido& Copia);
  // Stores Copia under Nombre, in place of the definition of that name or as a new one.
  void Define(const std::string& Nombre, TRetenido& Copia, const std::string& Texto);
  // Whether the strategy in force has a redex to contract in Actual.
  bool HayRedex();
  // The pass of a step that contracts Elegido, noted in the trace; true when it changed the term.
  bool ContraeEnPaso(TAplicacion* Elegido);
  void DefinicionesAbiertas();  // after an open, whole or not
  void AbreBytes(const std::string& Ruta, std::string Contenido);

  // A step refused at the node limit: the term's version, the way, the redex chosen, the live
  // nodes and the limit when it was tried, and the size it asked for.
  struct TRechazo {
    uint64_t Version;
    TModo Modo;
    bool Multiple;
    TAplicacion* Elegido;
    std::size_t Vivos, Limite, Pedidos;
    bool Repite(const TRechazo& o) const {
      return Version == o.Version && Modo == o.Modo && Multiple == o.Multiple &&
             Elegido == o.Elegido && o.Vivos >= Vivos && o.Limite <= Limite;
    }
  };
  std::optional<TRechazo> Rechazo;

  TMesaTrabajo& Mesa;
  IVista& Vista;
  TExprLambda* Actual = nullptr;
  uint64_t Version = 0;  // counts the changes of Actual
  uint64_t Reemplazos_ = 0;
  bool Modificadas = false;  // set by an Enter with a name, cleared by an open or a save
};
