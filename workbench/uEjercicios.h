// SPDX-License-Identifier: GPL-3.0-or-later
// The exercises a lesson carries in its comment lines, a block each:
//
//   #ejercicio STATEMENT          starts an exercise
//   #definir NAME                 the student defines NAME, checked by the cases:
//   #caso EXPRESSION = EXPECTED   (one or more) both sides reduce to one normal form
//   #reducir KEY TERM             the student contracts TERM redex by redex as strategy KEY
//   #reducir KEY azar             the same on a fresh random term at each start
//   #normal TERM                  the student types TERM's normal form ("no tiene": none)
//   #pista TEXT                   (any number) shown one at a time on request
//
// Exactly one of #definir, #reducir and #normal follows #ejercicio; other comment lines and
// blank lines may stand among them. The texts are Windows-1252, as the rest of the core, and
// every word about exercises that the faces show is here or in uSesionEjercicios.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "uDefiniciones.h"
#include "uEstrategia.h"
#include "uTextos.h"

// An exercise block that does not parse; Linea is the file's line at fault, from 1.
class EEjercicioErroneo : public EConMensaje {
 public:
  EEjercicioErroneo(std::size_t linea, const std::string& error);
  std::size_t Linea;
};

enum class TTipoEjercicio : uint8_t { Definir, Reducir, Normal };

struct TEjercicio {
  TTipoEjercicio Tipo = TTipoEjercicio::Definir;
  std::string Enunciado;
  std::size_t Linea = 0;  // of its #ejercicio line
  // Definir: the name asked for, and the cases that check it.
  std::string Nombre;
  struct TCaso {
    std::string Expresion, Esperado;
  };
  std::vector<TCaso> Casos;
  // Reducir: the strategy, and the term (none when Azar: a random one at each start).
  TEstrategia Estrategia = TEstrategia::Normal;
  bool Azar = false;
  // Reducir and Normal: the term, as written.
  std::string Termino;
  std::vector<std::string> Pistas;
};

// The exercises of the comment lines of `d` from the one numbered `Desde` on. The terms of
// #reducir and #normal must parse with the definitions of `d`, and a fixed #reducir term must
// have a redex for its strategy; a block that breaks a rule throws EEjercicioErroneo.
std::vector<TEjercicio> LeeEjercicios(const TDefiniciones& d, std::size_t Desde = 0);

// The Spanish texts of exercises, Windows-1252.
namespace Mensajes {
// "Error en el ejercicio (línea 7): ERROR"
std::string EjercicioErroneo(std::size_t Linea, const std::string& Error);
// What EjercicioErroneo says is wrong.
inline constexpr const char* FaltaTipo = "falta #definir, #reducir o #normal";
inline constexpr const char* SobraTipo = "solo puede tener uno de #definir, #reducir y #normal";
inline constexpr const char* FueraDeEjercicio = "esta l\xEDnea va despu\xE9s de un #ejercicio";
inline constexpr const char* FaltaTexto = "falta el texto";
inline constexpr const char* CasoSinDefinir = "#caso solo va en un ejercicio con #definir";
inline constexpr const char* DefinirSinCaso = "falta al menos un #caso";
inline constexpr const char* CasoSinIgual =
    "#caso necesita \"=\" entre la expresi\xF3n y lo esperado";
// "«x» no sirve como nombre: ..." (NombreIlegible)
std::string NombreNoValido(std::string_view Nombre);
// "clave de estrategia desconocida: KEY (normal, applicative, ...)"
std::string ClaveDesconocida(std::string_view Clave);
// "el término ya está en forma normal de cabeza"
std::string SinRedexParaEstrategia(TEstrategia e);
}  // namespace Mensajes
