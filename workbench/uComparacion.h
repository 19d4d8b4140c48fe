// SPDX-License-Identifier: GPL-3.0-or-later
// "Comparar estrategias…": the same term reduced under every strategy, each on a copy of its
// own, up to a limit of contractions and of time, in slices that the caller interleaves with
// its own work (a window answers events between two).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uEstrategia.h"
#include "uLambda.h"
#include "uLector.h"
#include "uReduccion.h"

class TComparacion {
 public:
  struct TFila {
    TEstrategia Estrategia;
    int64_t Reducciones = 0;
    // How its run ended: EnCurso while it runs or waits its turn; Forma, the strategy stopped by
    // itself at FormaDe(Estrategia); Tope, after Tope contractions; Tiempo, after the time limit;
    // Grande, a contraction would have passed the node limit; Parada, the comparison was stopped.
    enum class TFin { EnCurso, Forma, Tope, Tiempo, Grande, Parada } Fin = TFin::EnCurso;
    // The printed form of the term reached, renumbered (Windows-1252): its first LargoTexto
    // bytes and "…" when longer. A run stopped under way has the term it had reached; empty
    // when there was none (a copy past the node limit, a run stopped before it started).
    std::string Texto;
    // What the second panel reads it as: its numeral and "igual a NAME", numbers grouped with
    // the separator given; empty when neither, or when the term has over LimiteLectura nodes.
    std::string Lectura;
  };
  // The window's limits for each strategy, and the work it does between two of its events.
  static constexpr int64_t TopeVentana = 100'000;
  static constexpr std::chrono::seconds LimiteVentana{2};
  static constexpr std::chrono::milliseconds RodajaVentana{25};
  // Enough for any term a student reads whole; a larger one would print to gigabytes.
  static constexpr std::size_t LargoTexto = std::size_t(1) << 20;
  // Reading a larger term would hold a slice up for longer than a window may wait.
  static constexpr std::size_t LimiteLectura = 4'000'000;
  // Contractions between two looks at the clock.
  static constexpr int Lote = 256;

  // Compares `Termino` (copied, strategy by strategy, as each starts; the caller keeps it
  // unchanged until the comparison ends) with η as `Eta` says where it applies. `Tope`
  // contractions at most each; `Limite` of time each (zero: none). The definitions, which must
  // outlive the comparison, are read as each run ends.
  TComparacion(TExprLambda* Termino, const TDefiniciones& Definiciones, bool Eta, int64_t Tope,
               std::chrono::nanoseconds Limite, std::string Separador = {});
  ~TComparacion();
  TComparacion(const TComparacion&) = delete;
  TComparacion& operator=(const TComparacion&) = delete;

  // Works for about `Rodaja`; false once every strategy has ended. NumReducciones is as it was.
  bool Avanza(std::chrono::nanoseconds Rodaja);
  // Ends the comparison: the runs not ended yet end as Parada.
  void Para();
  const std::vector<TFila>& Filas() const { return Tabla; }
  // Which term is compared (the current one, maybe some steps after the one entered), as a line
  // above the table: its printed form, cut after Caben characters.
  std::string TextoTermino(std::size_t Caben) const;

  // A row's cells as the table shows them (Windows-1252): how its run ended, or "en curso…" for
  // the first that has not (Primera) and "en espera" for the others; and what the term reached
  // reads as, or the first Caben characters of its printed form.
  static std::string TextoForma(const TFila& f, bool Primera, const std::string& Separador);
  static std::string TextoResultado(const TFila& f, std::size_t Caben);

 private:
  // The run in turn: Empieza copies the term (false when the copy passes the node limit, and the
  // run has ended); Corre makes up to Lote contractions (false once the run has ended); Termina
  // fills its row and frees its copy.
  bool Empieza();
  bool Corre();
  void Termina(TFila::TFin Fin);
  bool SinRedex();

  TExprLambda* Termino;
  const TDefiniciones& Definiciones;
  bool Eta;
  int64_t Tope;
  std::chrono::nanoseconds Limite;
  std::string Separador;
  std::vector<TFila> Tabla;
  std::string Impreso;                  // Termino's printed form, its first LargoTexto bytes
  std::size_t Turno = 0;                // the row that runs, or runs next
  TExprLambda* Copia = nullptr;         // its term, once started
  std::chrono::nanoseconds Gastado{0};  // its time so far
  TMotor Motor;
  TLector Lector;
};

// "Comparar estrategias…" as both faces run it: copies of the term and of the definitions, which
// the comparison reads until it ends while the workbench goes on with its own; a slice of work at
// a time; the table's cells and the line below it, in the faces' words.
class TSesionComparacion {
 public:
  TSesionComparacion(TExprLambda* Termino, const TDefiniciones& Definiciones, bool Eta,
                     std::string Separador);
  TSesionComparacion(const TSesionComparacion&) = delete;
  TSesionComparacion& operator=(const TSesionComparacion&) = delete;

  // About RodajaVentana of work; false once it has ended, by itself or by an error (out of
  // memory, most likely: what has ended stays in the table, and Situacion says why).
  bool Avanza();
  // "Detener": the rows not ended say they were stopped.
  void Para();
  bool Terminada() const { return !Situacion_.empty(); }

  // A row as the table shows it (Windows-1252): the strategy, its count (none while it waits its
  // turn), how its run ended or goes on, and what it reached, cut after Caben characters.
  struct TCeldas {
    std::string Estrategia, Reducciones, Forma, Resultado;
  };
  std::vector<TCeldas> Celdas(std::size_t Caben) const;
  // The line below the table: under way, ended, stopped or the error; and the one above it.
  std::string Situacion() const;
  std::string TextoTermino(std::size_t Caben) const { return Comparacion->TextoTermino(Caben); }

 private:
  TDefiniciones Definiciones;
  TRetenido Termino;
  std::string Separador;
  std::unique_ptr<TComparacion> Comparacion;  // reads the copies: made after them, gone first
  std::string Situacion_;                     // empty while it runs
};
