// SPDX-License-Identifier: GPL-3.0-or-later
// lambda-cli's commands for the lesson's exercises: the words are the session's, the keys
// (define, reduce, normal, ok, fail, cut) the script's.
#include <charconv>

#include "uCp1252.h"
#include "uGuion.h"

namespace {

const char* ClaveTipo(TTipoEjercicio t) {
  switch (t) {
    case TTipoEjercicio::Definir:
      return "define";
    case TTipoEjercicio::Reducir:
      return "reduce";
    case TTipoEjercicio::Normal:
      break;
  }
  return "normal";
}

// The command's first word and what follows it.
std::string_view Primera(std::string_view s, std::string_view& Resto) {
  const std::size_t Blanco = s.find(' ');
  Resto = Blanco == std::string_view::npos ? std::string_view() : s.substr(Blanco + 1);
  return s.substr(0, Blanco);
}

}  // namespace

bool TGuion::Ejercicios(std::string_view Orden, std::string_view Resto, bool SinArgumento) {
  if (Orden == "exercises" && SinArgumento) {
    ListaEjercicios();
  } else if (Orden == "check") {
    CompruebaEjercicio(Resto);
  } else if (Orden == "answer") {
    Responde(Resto);
  } else if (Orden == "start") {
    EmpiezaEjercicio(Resto);
  } else if (Orden == "hint") {
    Pista(Resto);
  } else if (Orden == "seed") {
    Semilla(Resto);
  } else {
    return false;
  }
  return true;
}

// The lesson's exercises come with the open (TPractica).
void TGuion::Abre(bool SinArgumento, std::string_view Ruta) {
  Vista.RutaAbrir = SinArgumento ? std::nullopt : std::optional<std::string>(Ruta);
  Mesa.Abrir1Click();
}

bool TGuion::NumeroEjercicio(std::string_view Texto, const TTipoEjercicio* Tipo, const char* Uso,
                             std::size_t& i) {
  int n = 0;
  auto r = std::from_chars(Texto.data(), Texto.data() + Texto.size(), n);
  if (r.ec != std::errc() || r.ptr != Texto.data() + Texto.size() || n < 1) {
    Error(std::string("usage: ") + Uso + ", N from 1");
    return false;
  }
  const std::size_t Cuenta = Sesion.Ejercicios().size();
  if (static_cast<std::size_t>(n) > Cuenta) {
    Error("no exercise " + std::to_string(n) + " (the lesson has " + std::to_string(Cuenta) + ")");
    return false;
  }
  i = static_cast<std::size_t>(n - 1);
  const TTipoEjercicio Suyo = Sesion.Ejercicios()[i].Tipo;
  if (Tipo && Suyo != *Tipo) {
    Error("exercise " + std::to_string(n) + " is " + ClaveTipo(Suyo) + ", not " + ClaveTipo(*Tipo));
    return false;
  }
  return true;
}

void TGuion::LineaEjercicio(std::size_t i) {
  const TEjercicio& e = Sesion.Ejercicios()[i];
  Salida << "exercise " << i + 1 << ": " << ClaveTipo(e.Tipo) << ' '
         << Cp1252AUtf8(Sesion.TextoEstado(i)) << ' ' << Cp1252AUtf8(e.Enunciado) << '\n';
}

void TGuion::ListaEjercicios() {
  for (std::size_t i = 0; i < Sesion.Ejercicios().size(); ++i) LineaEjercicio(i);
}

void TGuion::CompruebaEjercicio(std::string_view Resto) {
  const TTipoEjercicio Tipo = TTipoEjercicio::Definir;
  std::size_t i;
  if (!NumeroEjercicio(Resto, &Tipo, "check N", i)) return;
  using TFin = TSesionEjercicios::TCaso::TFin;
  const TSesionEjercicios::TComprobacion r =
      Sesion.CompruebaDefinicion(i, Mesa.Sesion.Definiciones);
  if (!r.Aviso.empty()) return Error(Cp1252AUtf8(r.Aviso));
  for (std::size_t k = 0; k < r.Casos.size(); ++k) {
    const TSesionEjercicios::TCaso& c = r.Casos[k];
    Salida << "case " << k + 1 << ": ";
    if (c.Fin == TFin::Bien)
      Salida << "ok";
    else if (c.Fin == TFin::Corte)
      Salida << "cut " << c.Reducciones;
    else
      Salida << "fail " << Cp1252AUtf8(c.Texto);
    Salida << '\n';
  }
  LineaEjercicio(i);
}

void TGuion::Responde(std::string_view Resto) {
  const TTipoEjercicio Tipo = TTipoEjercicio::Normal;
  std::string_view Texto;
  std::size_t i;
  if (!NumeroEjercicio(Primera(Resto, Texto), &Tipo, "answer N TEXT", i)) return;
  std::string NoCabe;
  const std::string Respuesta = Utf8ACp1252(Texto, &NoCabe);
  if (!NoCabe.empty()) return Error(Cp1252AUtf8(Mensajes::CaracterNoAdmitido) + NoCabe);
  const bool Bien = Sesion.CompruebaNormal(i, Respuesta, Mesa.Sesion.Definiciones);
  Salida << "answer " << i + 1 << ": " << (Bien ? "ok" : "no") << '\n';
  if (Bien) LineaEjercicio(i);
}

void TGuion::EmpiezaEjercicio(std::string_view Resto) {
  const TTipoEjercicio Tipo = TTipoEjercicio::Reducir;
  std::size_t i;
  if (!NumeroEjercicio(Resto, &Tipo, "start N", i)) return;
  // The name box keeps what the script put in it: the exercise's term is no definition.
  const std::string Nombre = std::exchange(Vista.Def, std::string());
  Mesa.Ejercicio(TAccionEjercicio::Empieza, i);
  Vista.Def = Nombre;
  if (!Mesa.Sesion.TerminoActual()) Error(Cp1252AUtf8(Vista.Estado));
}

void TGuion::ContraeJuzgado(std::size_t n) {
  const std::size_t i = *Sesion.Activo();
  Mesa.Practica.UltimoJuicio.reset();
  const std::string Nombre = std::exchange(Vista.Def, std::string());
  Mesa.ContraeRedex(n);
  Vista.Def = Nombre;
  if (!Mesa.Practica.UltimoJuicio) return;
  const TSesionEjercicios::TJuicio& j = *Mesa.Practica.UltimoJuicio;
  if (!j.Bien) {
    Salida << "judge: no " << Cp1252AUtf8(j.Razon) << '\n';
    return;
  }
  Salida << "judge: ok\n";
  if (!Sesion.Activo() && Sesion.Progreso(i).Resuelto) LineaEjercicio(i);
}

void TGuion::Pista(std::string_view Resto) {
  std::size_t i;
  if (!NumeroEjercicio(Resto, nullptr, "hint N", i)) return;
  Salida << "hint " << i + 1 << ": " << Cp1252AUtf8(Sesion.Pista(i)) << '\n';
}

void TGuion::Semilla(std::string_view Resto) {
  uint32_t s = 0;
  auto r = std::from_chars(Resto.data(), Resto.data() + Resto.size(), s);
  if (r.ec != std::errc() || r.ptr != Resto.data() + Resto.size())
    return Error("usage: seed N, N from 0");
  Sesion.FijaSemilla(s);
}
