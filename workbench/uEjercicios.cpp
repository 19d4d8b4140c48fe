// SPDX-License-Identifier: GPL-3.0-or-later
#include "uEjercicios.h"

#include <string_view>
#include <vector>

#include "uLambda.h"
#include "uParser.h"
#include "uReduccion.h"

EEjercicioErroneo::EEjercicioErroneo(std::size_t linea, const std::string& error)
    : EConMensaje(Mensajes::EjercicioErroneo(linea, error)), Linea(linea) {}

std::string Mensajes::EjercicioErroneo(std::size_t Linea, const std::string& Error) {
  return "Error en el ejercicio (l\xEDnea " + std::to_string(Linea) + "): " + Error;
}

std::string Mensajes::NombreNoValido(std::string_view Nombre) {
  return Nombre.empty() ? std::string(FaltaTexto) : NombreIlegible(Nombre);
}

std::string Mensajes::ClaveDesconocida(std::string_view Clave) {
  std::string s = "clave de estrategia desconocida: \"" + std::string(Clave) + "\" (";
  for (TEstrategia e : Estrategias) {
    if (e != TEstrategia::Normal) s += ", ";
    s += ClaveEstrategia(e);
  }
  return s + ")";
}

std::string Mensajes::SinRedexParaEstrategia(TEstrategia e) {
  return "el t\xE9rmino ya est\xE1 en " + std::string(NombreForma(FormaDe(e)));
}

namespace {

std::string_view SinBlancos(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// An exercise line: '#' and one of the keywords, then a blank or the end. Any other comment is
// the teacher's own.
bool EsLineaDeEjercicio(std::string_view Linea, std::string_view& Clave, std::string_view& Resto) {
  if (Linea.empty() || Linea[0] != '#') return false;
  const std::size_t Fin = Linea.find_first_of(" \t");
  Clave = Linea.substr(1, Fin == std::string_view::npos ? std::string_view::npos : Fin - 1);
  Resto = Fin == std::string_view::npos ? std::string_view() : SinBlancos(Linea.substr(Fin));
  for (std::string_view k : {"ejercicio", "definir", "caso", "reducir", "normal", "pista"})
    if (Clave == k) return true;
  return false;
}

// The block being read: the exercise, and whether its kind line came.
class TLectorBloques {
 public:
  explicit TLectorBloques(const TDefiniciones& d) : Defs(d) {}

  void Linea(std::string_view Clave, std::string_view Resto, std::size_t n) {
    if (Clave == "ejercicio") return Empieza(Resto, n);
    if (Lista.empty()) throw EEjercicioErroneo(n, Mensajes::FueraDeEjercicio);
    TEjercicio& e = Lista.back();
    if (Clave == "pista") {
      if (Resto.empty()) throw EEjercicioErroneo(n, Mensajes::FaltaTexto);
      e.Pistas.emplace_back(Resto);
    } else if (Clave == "caso") {
      Caso(e, Resto, n);
    } else {
      if (ConTipo) throw EEjercicioErroneo(n, Mensajes::SobraTipo);
      ConTipo = true;
      Tipo(e, Clave, Resto, n);
    }
  }

  std::vector<TEjercicio> Termina() {
    Cierra();
    return std::move(Lista);
  }

 private:
  const TDefiniciones& Defs;
  std::vector<TEjercicio> Lista;
  bool ConTipo = false;

  void Empieza(std::string_view Resto, std::size_t n) {
    if (Resto.empty()) throw EEjercicioErroneo(n, Mensajes::FaltaTexto);
    Cierra();
    Lista.emplace_back();
    Lista.back().Enunciado = Resto;
    Lista.back().Linea = n;
    ConTipo = false;
  }

  void Cierra() {
    if (Lista.empty()) return;
    const TEjercicio& e = Lista.back();
    if (!ConTipo) throw EEjercicioErroneo(e.Linea, Mensajes::FaltaTipo);
    if (e.Tipo == TTipoEjercicio::Definir && e.Casos.empty())
      throw EEjercicioErroneo(e.Linea, Mensajes::DefinirSinCaso);
  }

  static void Caso(TEjercicio& e, std::string_view Resto, std::size_t n) {
    if (e.Tipo != TTipoEjercicio::Definir || e.Nombre.empty())
      throw EEjercicioErroneo(n, Mensajes::CasoSinDefinir);
    const std::size_t Igual = Resto.find('=');
    if (Igual == std::string_view::npos || Resto.find('=', Igual + 1) != std::string_view::npos)
      throw EEjercicioErroneo(n, Mensajes::CasoSinIgual);
    const std::string_view a = SinBlancos(Resto.substr(0, Igual));
    const std::string_view b = SinBlancos(Resto.substr(Igual + 1));
    if (a.empty() || b.empty()) throw EEjercicioErroneo(n, Mensajes::CasoSinIgual);
    e.Casos.push_back({std::string(a), std::string(b)});
  }

  void Tipo(TEjercicio& e, std::string_view Clave, std::string_view Resto, std::size_t n) {
    if (Clave == "definir") {
      e.Tipo = TTipoEjercicio::Definir;
      if (Resto.empty() || !NombreLegible(Resto))
        throw EEjercicioErroneo(n, Mensajes::NombreNoValido(Resto));
      e.Nombre = Resto;
      return;
    }
    if (Clave == "normal") {
      e.Tipo = TTipoEjercicio::Normal;
      e.Termino = Resto;
      CompruebaTermino(e, n);
      return;
    }
    e.Tipo = TTipoEjercicio::Reducir;
    const std::size_t Blanco = Resto.find_first_of(" \t");
    const std::string_view k = Resto.substr(0, Blanco);
    if (!EstrategiaDeClave(k, e.Estrategia))
      throw EEjercicioErroneo(n, Mensajes::ClaveDesconocida(k));
    const std::string_view t =
        Blanco == std::string_view::npos ? std::string_view() : SinBlancos(Resto.substr(Blanco));
    e.Azar = t == "azar";
    if (!e.Azar) {
      e.Termino = t;
      CompruebaTermino(e, n);
    }
  }

  // The term parses with the lesson's definitions; one to reduce has a redex to start with.
  void CompruebaTermino(const TEjercicio& e, std::size_t n) const {
    std::string Error;
    TRetenido t(Analiza(e.Termino, Defs, nullptr, Error));
    if (!t.Get()) throw EEjercicioErroneo(n, Error);
    if (e.Tipo != TTipoEjercicio::Reducir) return;
    TMotor Motor;
    Motor.FijaModo({e.Estrategia, false});
    std::vector<TExprLambda*> Redex;
    Motor.Proximos(t.Get(), false, Redex);
    Motor.Olvida();
    if (Redex.empty()) throw EEjercicioErroneo(n, Mensajes::SinRedexParaEstrategia(e.Estrategia));
  }
};

}  // namespace

std::vector<TEjercicio> LeeEjercicios(const TDefiniciones& d, std::size_t Desde) {
  TLectorBloques Lector(d);
  const std::vector<TComentario>& c = d.Comentarios();
  for (std::size_t i = Desde; i < c.size(); ++i) {
    std::string_view Clave, Resto;
    if (EsLineaDeEjercicio(c[i].Texto, Clave, Resto)) Lector.Linea(Clave, Resto, c[i].Linea);
  }
  return Lector.Termina();
}
