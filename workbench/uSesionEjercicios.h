// SPDX-License-Identifier: GPL-3.0-or-later
// A lesson's exercises as a student works them, the same for every face: each one's state, its
// mistakes and the hints given, and the checks, each bounded by a cap of contractions so that a
// looping answer costs that much and never hangs. The faces draw what this gives: the states,
// the results and every word of them (Windows-1252).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uEjercicios.h"
#include "uLambda.h"
#include "uReduccion.h"

// The workbench's count of contractions (its status shows it) is as it was, whatever a check
// contracts meanwhile.
struct TCuentaGuardada {
  int64_t Guardada = NumReducciones;
  ~TCuentaGuardada() { NumReducciones = Guardada; }
};

// A term reduced by normal order towards its normal form: reached (Forma, the term holds it), or
// cut after `Tope` contractions or past NodosNormalizacion more nodes than at its start (Corte,
// the term holds where it got). NumReducciones is left as it was.
struct TNormalizacion {
  enum class TFin { Forma, Corte } Fin = TFin::Corte;
  int64_t Reducciones = 0;
};
TNormalizacion Normaliza(TRetenido& Termino, int64_t Tope);
// No answer a student writes needs more: past this a side is cut, well before the node limit.
inline constexpr std::size_t NodosNormalizacion = 2'000'000;

// The printed form of `t`, each closed part equal to one of `d` printed as its name (see
// uPliegue.h); cut after `Maximo` bytes with "…". Numbers the term.
std::string TextoConNombres(TExprLambda* t, const TDefiniciones& d, std::size_t Maximo);

// A random closed term for a drill under strategy `e`: two to four β-redexes, and the strategy's
// form reached in two to twelve contractions. Only `g`'s raw output is used, so a seed gives the
// same terms everywhere.
std::string TerminoAlAzar(TEstrategia e, std::mt19937& g);

// Where a strategy's next redex lies from the one chosen instead: in its argument, in its
// function part, around it, to its left, or elsewhere; or the one chosen lies inside a lambda,
// where a weak strategy never goes.
enum class TDondeRedex { EnArgumento, EnFuncion, Fuera, Izquierda, BajoLambda, Otro };

class TSesionEjercicios {
 public:
  static constexpr int64_t Tope = 100'000;  // contractions a side of a check may take
  static constexpr int RachaDeRepaso = 3;   // a drill is solved after this many clean terms
  // Longest printed form a result shows.
  static constexpr std::size_t LargoResultado = 4096;

  // The exercises of a lesson just opened (its definitions, with their comments); the progress
  // starts anew. Throws EEjercicioErroneo as LeeEjercicios.
  void Carga(const TDefiniciones& Leccion);
  const std::vector<TEjercicio>& Ejercicios() const { return Lista; }

  struct TProgreso {
    bool Resuelto = false;
    int64_t Errores = 0;     // failed checks and answers, refused contractions
    std::size_t Pistas = 0;  // hints shown
    int Racha = 0;           // a drill's clean terms in a row
  };
  const TProgreso& Progreso(std::size_t i) const { return Estado[i]; }
  // The progress a face kept (its settings, the browser's storage) given back; Reinicia forgets
  // it all, as "Reiniciar".
  void RestauraProgreso(std::size_t i, const TProgreso& p) { Estado[i] = p; }
  // All the progress as one line that a face keeps under the lesson's name, and that line given
  // back: false, and nothing changes, for a line that is not one of these exercises' (the lesson
  // was edited since, say).
  std::string ProgresoGuardado() const;
  bool RecuperaProgreso(std::string_view Guardado);
  void Reinicia() {
    Estado.assign(Lista.size(), {});
    EnCurso.reset();
  }

  // The next hint of exercise i, counted as shown; the last one again once all were.
  // Mensajes::SinPistas when it has none.
  std::string Pista(std::size_t i);

  // Definir: at once (TComprobacionEnCurso does it a slice at a time), each case's two sides
  // reduced with `d` (the lesson's definitions and the student's)
  // and compared up to the names of bound variables. Aviso says why nothing was checked (the
  // name is not defined yet). Solves the exercise when every case holds, counts a mistake
  // otherwise.
  struct TCaso {
    // Ilegible: a side does not parse (the name is not defined as a symbol, say).
    enum class TFin { Bien, Falla, Corte, Ilegible } Fin = TFin::Bien;
    std::string Texto;        // Falla: what the student's side gave; Ilegible: the parser's message
    int64_t Reducciones = 0;  // Corte: the contractions made
  };
  struct TComprobacion {
    std::string Aviso;
    std::vector<TCaso> Casos;
    bool Bien() const;
  };
  TComprobacion CompruebaDefinicion(std::size_t i, const TDefiniciones& d);
  // A check's outcome, counted: solved, or one mistake more (TComprobacionEnCurso, a slice at a
  // time, counts it so).
  void Anota(std::size_t i, bool Bien);

  // Normal: whether `Respuesta` is the normal form of the exercise's term ("no tiene": it has
  // none within the cap). An answer that does not parse is wrong, and `Aviso` says why.
  bool CompruebaNormal(std::size_t i, std::string_view Respuesta, const TDefiniciones& d,
                       std::string* Aviso = nullptr);

  // Reducir: exercise i starts (again), and gives the text of the term to make current with its
  // strategy. A drill makes a fresh term.
  std::string Empieza(std::size_t i);
  // The exercise under way, while one is; Abandona ends it (another term was entered).
  std::optional<std::size_t> Activo() const { return EnCurso; }
  void Abandona() { EnCurso.reset(); }
  // Whether the strategy would contract redex K of `t` (every β-redex in printing order, as
  // TodosLosRedex and the redexes' list give them) next; when not, a mistake, and Razon says
  // why in a few words.
  struct TJuicio {
    bool Bien = false;
    std::string Razon;
  };
  TJuicio Juzga(TExprLambda* t, std::size_t K);
  // The same for a redex given as its node (a click on the canvas: RedexEnLienzo).
  TJuicio Juzga(TExprLambda* t, const TAplicacion* Elegido);
  // After a contraction that Juzga allowed, on the term it left: Sigue, more to do; Otro, a
  // drill's term is done and TerminoEnCurso() holds the next one; Resuelto.
  enum class TTras { Sigue, Otro, Resuelto };
  TTras TrasContraer(TExprLambda* t);
  const std::string& TerminoEnCurso() const { return Texto; }

  // A seed for the drills' terms (a test wants them repeatable); otherwise a random one.
  void FijaSemilla(uint32_t s) { Azar.seed(s); }

  // The words the faces show: the kind, the state ("pendiente", "resuelto"), the line for a
  // result, and the glad words of a solved exercise.
  static const char* TextoTipo(TTipoEjercicio t);
  std::string TextoEstado(std::size_t i) const;
  // "resuelto · 2 errores · 1 pista": the state with the mistakes and the hints shown.
  std::string TextoProgreso(std::size_t i) const;
  // "Caso 2: da FALSO", "Caso 3: no termina en 100.000 reducciones" (k from 1).
  std::string TextoCaso(std::size_t k, const TCaso& c) const;
  // A check as a face shows it: the notice, or a line a case, then the glad words or "Todavía
  // no", a line each.
  std::vector<std::string> TextoComprobacion(const TComprobacion& r) const;
  // The words after an answer to a normal exercise: the glad ones, or "Todavía no" and why.
  static std::string TextoRespuesta(bool Bien, const std::string& Aviso);
  std::string Separador = ".";

 private:
  std::vector<TEjercicio> Lista;
  std::vector<TProgreso> Estado;
  std::optional<std::size_t> EnCurso;
  std::string Texto;           // the term under way
  int64_t ErroresTermino = 0;  // mistakes on it
  std::mt19937 Azar{std::random_device{}()};
  void Resuelve(std::size_t i);
};

namespace Mensajes {
inline constexpr const char* Pendiente = "pendiente";
inline constexpr const char* Resuelto = "resuelto";
inline constexpr const char* EjercicioResuelto = "\xA1Muy bien! Ejercicio resuelto.";
inline constexpr const char* SinPistas = "Este ejercicio no tiene pistas.";
inline constexpr const char* TodaviaNo =
    "Todav\xED"
    "a no: sigue probando.";
inline constexpr const char* NoEsLaForma =
    "Todav\xED"
    "a no: esa no es la forma normal.";
inline constexpr const char* NoTiene = "no tiene";
// "Todavía no has definido NO: escribe NO en la casilla del nombre y su expresión en la otra."
std::string SinDefinir(std::string_view Nombre);
// "no termina en 100.000 reducciones"
std::string NoTermina(int64_t Reducciones, std::string_view Separador);
// Why a strategy does not contract the chosen redex now, by where its own next redex lies: "El
// orden aplicativo reduce antes el argumento"...
std::string RazonEstrategia(TEstrategia e, TDondeRedex Donde);
}  // namespace Mensajes
