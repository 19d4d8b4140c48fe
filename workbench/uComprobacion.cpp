// SPDX-License-Identifier: GPL-3.0-or-later
#include "uComprobacion.h"

#include <utility>
#include <vector>

#include "uLectura.h"
#include "uParser.h"

TNormalizador::~TNormalizador() {
  // The engine's path leads into the term: it goes first.
  Motor.Olvida();
  Libera(T);
}

void TNormalizador::Empieza(TExprLambda* t) {
  Motor.Olvida();
  Libera(T);
  T = t;
  Techo = NodosVivos() + NodosNormalizacion;
  R = {};
}

bool TNormalizador::Avanza(int64_t Lote, int64_t Tope) {
  TCuentaGuardada Cuenta;
  for (int64_t i = 0; i < Lote; ++i) {
    if (R.Reducciones >= Tope || NodosVivos() > Techo) {
      // Cut where the last contraction may have reached the form.
      std::vector<TAplicacion*> Redex;
      SiguientesRedex(T, false, Redex);
      if (Redex.empty()) R.Fin = TNormalizacion::TFin::Forma;
      return false;
    }
    bool Cambio = false;
    T = Motor.Reduce(T, Cambio, false);
    if (Motor.Fin == TFinPasada::DemasiadoGrande) return false;
    if (!Cambio) {
      R.Fin = TNormalizacion::TFin::Forma;
      return false;
    }
    ++R.Reducciones;
  }
  return true;
}

TExprLambda* TNormalizador::Suelta() {
  Motor.Olvida();
  return std::exchange(T, nullptr);
}

TNormalizacion Normaliza(TRetenido& Termino, int64_t Tope) {
  TNormalizador n;
  n.Empieza(Termino.Suelta());
  // Whatever way it ends, the term goes back to its holder.
  struct TDevuelve {
    TNormalizador& n;
    TRetenido& h;
    ~TDevuelve() { h.Toma(n.Suelta()); }
  } Devuelve{n, Termino};
  while (n.Avanza(Tope, Tope)) {
  }
  return n.Resultado();
}

TComprobacionEnCurso::TComprobacionEnCurso(TSesionEjercicios& s, std::size_t i,
                                           const TDefiniciones& d, bool Copia)
    : Sesion(s), Ejercicio(i), Defs(&d) {
  const std::string& Nombre = s.Ejercicios()[i].Nombre;
  if (d.Busca(Nombre) < 0) {
    R.Aviso = Mensajes::SinDefinir(Nombre);
    Hecha = true;
    return;
  }
  if (Copia) {
    for (const TDefinicion& x : d) Propias.Agrega(x.Nombre, x.Termino->Copia(), x.Texto);
    Defs = &Propias;
  }
}

bool TComprobacionEnCurso::Avanza(std::chrono::nanoseconds Rodaja) {
  using Reloj = std::chrono::steady_clock;
  const Reloj::time_point Fin = Reloj::now() + Rodaja;
  while (!Hecha) {
    if (!Paso()) {
      Hecha = true;
      Sesion.Anota(Ejercicio, R.Bien());
      break;
    }
    if (Reloj::now() >= Fin) break;
  }
  return !Hecha;
}

bool TComprobacionEnCurso::Paso() {
  const std::vector<TEjercicio::TCaso>& Casos = Sesion.Ejercicios()[Ejercicio].Casos;
  if (Caso == Casos.size()) return false;
  if (!EnMarcha) {
    EmpiezaCaso();
    return true;
  }
  if (Normalizador.Avanza(Lote, TSesionEjercicios::Tope)) return true;
  using TCaso = TSesionEjercicios::TCaso;
  const TNormalizacion n = Normalizador.Resultado();
  if (n.Fin == TNormalizacion::TFin::Corte) {
    AcabaCaso({TCaso::TFin::Corte, {}, n.Reducciones});
  } else if (!SegundoLado) {
    A.Toma(Normalizador.Suelta());
    Normalizador.Empieza(B.Suelta());
    SegundoLado = true;
  } else {
    TRetenido b(Normalizador.Suelta());
    if (MismoTerminoEscrito(A.Get(), b.Get()))
      AcabaCaso({});
    else
      AcabaCaso({TCaso::TFin::Falla,
                 TextoConNombres(A.Get(), *Defs, TSesionEjercicios::LargoResultado), 0});
  }
  return true;
}

void TComprobacionEnCurso::EmpiezaCaso() {
  const TEjercicio::TCaso& c = Sesion.Ejercicios()[Ejercicio].Casos[Caso];
  std::string Error;
  A.Toma(Analiza(c.Expresion, *Defs, nullptr, Error));
  B.Toma(A.Get() ? Analiza(c.Esperado, *Defs, nullptr, Error) : nullptr);
  if (!B.Get()) return AcabaCaso({TSesionEjercicios::TCaso::TFin::Ilegible, Error, 0});
  Normalizador.Empieza(A.Suelta());
  EnMarcha = true;
  SegundoLado = false;
}

void TComprobacionEnCurso::AcabaCaso(TSesionEjercicios::TCaso c) {
  R.Casos.push_back(std::move(c));
  Normalizador.Empieza(nullptr);
  A.Toma(nullptr);
  B.Toma(nullptr);
  EnMarcha = false;
  ++Caso;
}
