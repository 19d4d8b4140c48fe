// SPDX-License-Identifier: GPL-3.0-or-later
#include "uComparacion.h"

#include <utility>

#include "uTextos.h"

TComparacion::TComparacion(TExprLambda* termino, const TDefiniciones& definiciones, bool eta,
                           int64_t tope, std::chrono::nanoseconds limite, std::string separador)
    : Termino(termino),
      Definiciones(definiciones),
      Eta(eta),
      Tope(tope),
      Limite(limite),
      Separador(std::move(separador)),
      Impreso(TextoCorto(termino, LargoTexto)) {
  for (TEstrategia e : Estrategias) {
    Tabla.emplace_back();
    Tabla.back().Estrategia = e;
  }
}

TComparacion::~TComparacion() {
  // The engine's path leads into the copy: it goes first.
  Motor.Olvida();
  Libera(Copia);
}

bool TComparacion::Avanza(std::chrono::nanoseconds Rodaja) {
  using Reloj = std::chrono::steady_clock;
  // The caller's count (the window's status shows it) is as it was, whatever happens here.
  struct TCuenta {
    int64_t Guardada = NumReducciones;
    ~TCuenta() { NumReducciones = Guardada; }
  } Cuenta;
  Reloj::time_point Antes = Reloj::now();
  const Reloj::time_point Fin = Antes + Rodaja;
  while (Turno < Tabla.size()) {
    const bool Sigue = Corre();
    const Reloj::time_point Ahora = Reloj::now();
    Gastado += Ahora - Antes;
    Antes = Ahora;
    if (Sigue && Limite.count() > 0 && Gastado >= Limite) Termina(TFila::TFin::Tiempo);
    if (Ahora >= Fin) break;
  }
  return Turno < Tabla.size();
}

void TComparacion::Para() {
  if (Turno < Tabla.size() && Copia) Termina(TFila::TFin::Parada);
  for (; Turno < Tabla.size(); ++Turno) Tabla[Turno].Fin = TFila::TFin::Parada;
}

bool TComparacion::Empieza() {
  const TEstrategia e = Tabla[Turno].Estrategia;
  Motor.FijaModo({e, Eta && AdmiteEta(e)});
  Gastado = {};
  try {
    Copia = Termino ? Termino->Copia() : nullptr;
  } catch (const EDemasiadoGrande&) {
    Copia = nullptr;
  }
  if (!Copia) Termina(Termino ? TFila::TFin::Grande : TFila::TFin::Parada);
  return Copia != nullptr;
}

bool TComparacion::Corre() {
  if (!Copia && !Empieza()) return false;
  TFila& f = Tabla[Turno];
  for (int i = 0; i < Lote; ++i) {
    if (f.Reducciones >= Tope) {
      Termina(SinRedex() ? TFila::TFin::Forma : TFila::TFin::Tope);
      return false;
    }
    bool Cambio = false;
    NumReducciones = 0;
    Copia = Motor.Reduce(Copia, Cambio, false);
    f.Reducciones += NumReducciones;
    if (Motor.Fin == TFinPasada::DemasiadoGrande) {
      Termina(TFila::TFin::Grande);
      return false;
    }
    if (!Cambio) {
      Termina(TFila::TFin::Forma);
      return false;
    }
  }
  return true;
}

// Resumes the engine's walk: about what the next step would cost.
bool TComparacion::SinRedex() {
  std::vector<TExprLambda*> Redex;
  Motor.Proximos(Copia, false, Redex);
  return Redex.empty();
}

void TComparacion::Termina(TFila::TFin Fin) {
  TFila& f = Tabla[Turno++];
  f.Fin = Fin;
  if (Copia) {
    f.Texto = TextoCorto(Copia, LargoTexto);
    f.Lectura = Lector.Reconoce(Copia, Definiciones, Separador, LimiteLectura);
  }
  // A later copy may come at the same address: the engine must not take it for this one.
  Motor.Olvida();
  Libera(Copia);
  Copia = nullptr;
}

std::string TComparacion::TextoForma(const TFila& f, bool Primera, const std::string& Separador) {
  using TFin = TFila::TFin;
  const std::string Tras =
      " tras " + ConMillares(uint64_t(f.Reducciones), Separador) + " reducciones";
  switch (f.Fin) {
    case TFin::EnCurso:
      return Primera ? "en curso\x85" : "en espera";
    case TFin::Forma:
      return NombreForma(FormaDe(f.Estrategia));
    case TFin::Tope:
    case TFin::Tiempo:
      return "sin terminar" + Tras;
    case TFin::Grande:
      return "t\xE9rmino demasiado grande" + Tras;
    case TFin::Parada:
      // A strategy whose turn never came did nothing to be stopped in.
      return f.Texto.empty() ? std::string(Mensajes::SinEmpezar) : "detenida" + Tras;
  }
  return {};
}

std::string TComparacion::TextoTermino(std::size_t Caben) const {
  const std::string Texto = Impreso.size() <= Caben ? Impreso : Impreso.substr(0, Caben) + "\x85";
  return Mensajes::TerminoComparado + Texto;
}

std::string TComparacion::TextoResultado(const TFila& f, std::size_t Caben) {
  if (!f.Lectura.empty()) return f.Lectura;
  if (f.Texto.size() <= Caben) return f.Texto;
  return f.Texto.substr(0, Caben) + "\x85";
}

TSesionComparacion::TSesionComparacion(TExprLambda* t, const TDefiniciones& d, bool Eta,
                                       std::string separador)
    : Separador(std::move(separador)) {
  for (const TDefinicion& Def : d) Definiciones.Agrega(Def.Nombre, Def.Termino->Copia());
  Termino.Toma(t->Copia());
  Comparacion =
      std::make_unique<TComparacion>(Termino.Get(), Definiciones, Eta, TComparacion::TopeVentana,
                                     TComparacion::LimiteVentana, Separador);
}

bool TSesionComparacion::Avanza() {
  if (Terminada()) return false;
  try {
    if (Comparacion->Avanza(TComparacion::RodajaVentana)) return true;
    Situacion_ = Mensajes::ComparacionTerminada;
  } catch (const std::exception& e) {
    Comparacion->Para();
    Situacion_ = MensajeExcepcion(e, Separador);
  }
  return false;
}

void TSesionComparacion::Para() {
  if (Terminada()) return;
  Comparacion->Para();
  Situacion_ = Mensajes::ComparacionDetenida;
}

std::vector<TSesionComparacion::TCeldas> TSesionComparacion::Celdas(std::size_t Caben) const {
  std::vector<TCeldas> c;
  bool Primera = true;  // the first row not ended is the one under way; the rest wait
  for (const TComparacion::TFila& f : Comparacion->Filas()) {
    const bool Acabada = f.Fin != TComparacion::TFila::TFin::EnCurso;
    c.push_back({NombreEstrategia(f.Estrategia),
                 Acabada || Primera ? ConMillares(uint64_t(f.Reducciones), Separador) : "",
                 TComparacion::TextoForma(f, Primera, Separador),
                 Acabada ? TComparacion::TextoResultado(f, Caben) : ""});
    if (!Acabada) Primera = false;
  }
  return c;
}

std::string TSesionComparacion::Situacion() const {
  return Terminada() ? Situacion_ : Mensajes::Comparando;
}
