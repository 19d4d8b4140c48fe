// SPDX-License-Identifier: GPL-3.0-or-later
#include "uPractica.h"

#include <chrono>

#include "uComprobacion.h"
#include "vLambda.h"

TPractica::TPractica(TMesaTrabajo& mesa, IVista& vista) : Mesa(mesa), Vista(vista) {}

std::vector<TPractica::TFila> TPractica::Filas() const {
  std::vector<TFila> f;
  const std::vector<TEjercicio>& Lista = Ejercicios.Ejercicios();
  for (std::size_t i = 0; i < Lista.size(); ++i)
    f.push_back({TSesionEjercicios::TextoTipo(Lista[i].Tipo), Ejercicios.TextoProgreso(i),
                 Lista[i].Enunciado, Ejercicios.Progreso(i).Resuelto});
  return f;
}

void TPractica::Abierta(const std::string& Ruta) {
  Nombre = Ruta.substr(Ruta.find_last_of('/') + 1);
  // The open read the exercises already, and refused a file whose blocks break a rule.
  Ejercicios.Carga(Mesa.Sesion.Definiciones);
  if (Ejercicios.Ejercicios().empty()) Nombre.clear();
  if (!Nombre.empty()) Ejercicios.RecuperaProgreso(Vista.ProgresoGuardado(Nombre));
  Actual = 0;
  Lineas.clear();
  Cambiado();
}

void TPractica::Accion(TAccionEjercicio a, std::size_t i, const std::string& Respuesta) {
  if (EnComprobacion) return;  // one check at a time; the panel greys its buttons meanwhile
  if (a == TAccionEjercicio::Reinicia) {
    Ejercicios.Reinicia();
    Lineas.clear();
    return Cambiado();
  }
  if (i >= Ejercicios.Ejercicios().size()) return;
  Actual = i;
  Lineas.clear();
  switch (a) {
    case TAccionEjercicio::Comprueba:
      return Comprueba(i, Respuesta);
    case TAccionEjercicio::Empieza:
      return Empieza(i);
    case TAccionEjercicio::Pista:
      Lineas.push_back(Ejercicios.Pista(i));
      break;
    case TAccionEjercicio::Muestra:
    case TAccionEjercicio::Reinicia:
      break;
  }
  Cambiado();
}

void TPractica::Comprueba(std::size_t i, const std::string& Respuesta) {
  switch (Ejercicios.Ejercicios()[i].Tipo) {
    case TTipoEjercicio::Definir:
      return CompruebaDefinicion(i);
    case TTipoEjercicio::Reducir:
      return Empieza(i);
    case TTipoEjercicio::Normal:
      break;
  }
  std::string Aviso;
  const bool Bien = Ejercicios.CompruebaNormal(i, Respuesta, Mesa.Sesion.Definiciones, &Aviso);
  Lineas.push_back(TSesionEjercicios::TextoRespuesta(Bien, Aviso));
  Cambiado();
}

// Paced as run-all's view updates are: the window answers its events every so often, and the
// commands that come meanwhile wait for the check's end (the definitions it reads stay as they
// are). A close ends it.
void TPractica::CompruebaDefinicion(std::size_t i) {
  TComprobacionEnCurso c(Ejercicios, i, Mesa.Sesion.Definiciones, false);
  EnComprobacion = true;
  Cambiado();
  TRitmo& Ritmo = Mesa.Todo.Ritmo;
  const bool Entera = Ritmo.Actualiza([&] {
    while (c.Avanza(std::chrono::milliseconds(5)))
      if (const std::function<void()> Pulso = Ritmo.Pulso()) Pulso();
  });
  EnComprobacion = false;
  if (!Entera) return;
  Lineas = Ejercicios.TextoComprobacion(c.Resultado());
  Cambiado();
  Mesa.EjecutaPendientes();
}

void TPractica::Empieza(std::size_t i) {
  if (Ejercicios.Ejercicios()[i].Tipo != TTipoEjercicio::Reducir) return Cambiado();
  // The exercise's strategy, on its own: neither η nor "Beta múltiple".
  Vista.FijaEstrategia(Ejercicios.Ejercicios()[i].Estrategia);
  Entra(Ejercicios.Empieza(i));
  if (!Mesa.Sesion.TerminoActual()) Ejercicios.Abandona();
  Cambiado();
}

void TPractica::Entra(const std::string& Texto) {
  Entrando = true;
  Mesa.Sesion.Introduce(Texto, {});
  Entrando = false;
}

bool TPractica::Admite(TAplicacion* Elegido) {
  if (!Ejercicios.Activo()) return true;
  UltimoJuicio = Ejercicios.Juzga(Mesa.Sesion.TerminoActual(), Elegido);
  if (UltimoJuicio->Bien) return true;
  Vista.FijaEstado(UltimoJuicio->Razon);
  Actual = *Ejercicios.Activo();
  Lineas = {UltimoJuicio->Razon};
  Cambiado();
  return false;
}

void TPractica::TrasPaso() {
  if (!Ejercicios.Activo()) return;
  Actual = *Ejercicios.Activo();
  Lineas.clear();
  switch (Ejercicios.TrasContraer(Mesa.Sesion.TerminoActual())) {
    case TSesionEjercicios::TTras::Resuelto:
      Lineas.push_back(Mensajes::EjercicioResuelto);
      break;
    case TSesionEjercicios::TTras::Otro:
      Entra(Ejercicios.TerminoEnCurso());
      break;
    case TSesionEjercicios::TTras::Sigue:
      break;
  }
  Cambiado();
}

void TPractica::Abandona() {
  if (Entrando || !Ejercicios.Activo()) return;
  Ejercicios.Abandona();
  Cambiado();
}

void TPractica::Cambiado() {
  Vista.EjerciciosCambiados();
}
