// SPDX-License-Identifier: GPL-3.0-or-later
// The read-back of the current term that the window's second panel shows ("número 6 · igual a
// SEIS · 243 nodos"), and the cycles that run-all goes through ("se repite cada 2 pasos").
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uLambda.h"
#include "uLectura.h"
#include "uRitmo.h"

class TExprLambda;

// "NOMBRE = printed form" for the menu of definitions, the form cut with "…" past 60 bytes.
std::string EntradaDefinicion(const TDefinicion& d);

class TLector {
 public:
  using Reloj = TRitmo::Reloj;

  // The definitions' fingerprints, made when they are stored: all of them (after an open), or
  // entry i (after an Enter with a name).
  void Recalcula(const TDefiniciones& d);
  void Recalcula(const TDefiniciones& d, std::size_t i);

  // The panel's text for `t` (none: empty), from this pass's reading if there is one.
  std::string Texto(TExprLambda* t, const TDefiniciones& d, const std::string& Separador);

  // What `t`, which need not be the current term, is: its numeral and the names it equals,
  // joined as on the panel; empty when neither. Read afresh, and only up to `Tope` nodes: a
  // larger term gives empty.
  std::string Reconoce(TExprLambda* t, const TDefiniciones& d, const std::string& Separador,
                       std::size_t Tope);

  // Numbers `t` as Renumera does for `Modo` and returns its printed length; reads it in the same
  // walk when it has not been read as it is now, since a view that numbers it shows the reading
  // next.
  std::size_t Numera(TExprLambda* t, int32_t& NumVars, const std::function<void()>& Pulso,
                     const TModoImpresion& Modo = {});

  // The term was changed by a command, not by a pass of the run: what was read is stale, and
  // the run's sequence of terms starts again.
  void Invalida();

  // Run-all: Empieza before the first pass, TrasPasada after each, Termina after the last.
  void Empieza(bool Multiple, Reloj::time_point Ahora);
  // Reads the term when the time that the pass took leaves room for it (never when a view
  // update follows every pass: that one reads it). True when it repeats a recent term; a pass
  // that changed nothing (the last one, at a normal form) repeats nothing. `Vigila`: the run is
  // to stop at a cycle, so on a term of fewer than LimiteVigilancia nodes every pass is looked
  // at, whatever it costs.
  bool TrasPasada(TExprLambda* t, bool Cambio, bool Multiple, Reloj::time_point Ahora,
                  bool VistaCadaPasada, bool Vigila = false) {
    // Every pass goes through here, and a pass may cost a hundred nanoseconds: the common case
    // is a few additions.
    ++Pasada;
    if (Cambio) Leida = false;  // the same term reads the same
    Cambiado = Cambio;
    MultipleActual = Multiple;
    Credito.Abona(Ahora);
    if (Vigila && !VistaCadaPasada && NodosVivos() - Apartados < LimiteVigilancia)
      return VigilaPasada(t);
    if (Vigilando) DejaDeVigilar();
    if (!Credito.Alcanza()) return false;
    if (VistaCadaPasada || !Cambio) return false;
    return LeePasada(t);
  }
  void Termina() { Corriendo = false; }
  // Nodes of the pool held apart from the run's terms (the copies the steps panel keeps), which
  // the watch for a cycle leaves out of its counts.
  void Aparta(std::size_t Nodos) { Apartados = Nodos; }
  static constexpr std::size_t LimiteVigilancia = 1'000'000;

  // Period of the cycle that the last run was seen to go through; 0: none.
  int64_t Ciclo() const { return Periodo; }

 private:
  std::size_t Apartados = 0;
  struct TVisto {
    uint64_t Huella;
    std::size_t Nodos;
    uint64_t Pasada;
    bool Multiple;
  };
  // This pass's reading, made now if it has none; noted among the recent terms while running.
  const TLectura& Lectura(TExprLambda* t);
  void Toma(const TLectura& r);
  // The numeral and the names of the term `t` read as `r`, the fingerprints up to date.
  std::string Identidad(TExprLambda* t, const TLectura& r, const TDefiniciones& d,
                        const std::string& Miles) const;
  bool Anota(const TLectura& r);
  void OlvidaRecientes() { NumRecientes = 0; }
  bool LeePasada(TExprLambda* t);
  // Watching for a cycle: a term can only repeat one of the same size, and the pool's count of
  // live nodes gives the size for free (nothing else changes during a run). A pass is read when
  // its size is that of one of the last Tamanos passes; a cycle of period p up to Recientes is
  // then read at least twice in a row of p passes, and the period found is exact.
  bool VigilaPasada(TExprLambda* t);
  void DejaDeVigilar();
  static constexpr std::size_t Tamanos = 2 * 16;
  std::array<std::size_t, Tamanos> UltimosTamanos{};
  std::size_t NumTamanos = 0;
  bool Vigilando = false;
  bool MultipleVigilado = false;
  uint64_t PasadaInicial = 0;  // Pasada when the run started

  std::vector<TLectura> Definiciones;  // beside the list, entry by entry
  std::vector<uintptr_t> Pila;         // the walks' stack, kept so that a reading allocates nothing

  TLectura Ultima;  // the reading of the term of pass `Pasada`, when Leida
  bool Leida = false;
  uint64_t Pasada = 0;  // counts passes and changes of the term
  bool Corriendo = false;
  bool Cambiado = false;  // the last pass contracted something
  bool MultipleActual = false;
  int64_t Periodo = 0;

  // The last few terms of consecutive passes, oldest first (a ring).
  static constexpr std::size_t Recientes = 16;
  std::array<TVisto, Recientes> Anillo{};
  std::size_t PrimeroAnillo = 0, NumRecientes = 0;

  // What a run's readings may cost it.
  TCreditoLectura Credito;
};
