// SPDX-License-Identifier: GPL-3.0-or-later
#include "uSesionEjercicios.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "uComprobacion.h"
#include "uLectura.h"
#include "uParser.h"
#include "uPliegue.h"
#include "uReduccion.h"

std::string Mensajes::SinDefinir(std::string_view Nombre) {
  return "Todav\xED"
         "a no has definido " +
         std::string(Nombre) + ": escribe " + std::string(Nombre) +
         " en la casilla del nombre y su expresi\xF3n en la otra.";
}

std::string Mensajes::NoTermina(int64_t Reducciones, std::string_view Separador) {
  return "no termina en " + ConMillares(uint64_t(Reducciones), Separador) + " reducciones";
}

std::string Mensajes::RazonEstrategia(TEstrategia e, TDondeRedex Donde) {
  static constexpr const char* Sujetos[] = {"El orden normal",
                                            "El orden aplicativo",
                                            "La llamada por nombre",
                                            "La llamada por valor",
                                            "La reducci\xF3n de cabeza",
                                            "La estrategia h\xED"
                                            "brida aplicativa",
                                            "La estrategia h\xED"
                                            "brida normal"};
  const std::string Sujeto = Sujetos[static_cast<int>(e)];
  switch (Donde) {
    case TDondeRedex::EnArgumento:
      return Sujeto + " reduce antes el argumento";
    case TDondeRedex::EnFuncion:
      return Sujeto + " reduce antes la funci\xF3n";
    case TDondeRedex::Fuera:
      return Sujeto + " reduce antes el redex de fuera";
    case TDondeRedex::Izquierda:
      return Sujeto + " reduce antes un redex de la izquierda";
    case TDondeRedex::BajoLambda:
      return Sujeto + " no reduce dentro de una lambda";
    case TDondeRedex::Otro:
      break;
  }
  return Sujeto + " no contrae ahora ese redex";
}

std::string TextoConNombres(TExprLambda* t, const TDefiniciones& d, std::size_t Maximo) {
  // As the text view folds: a name stands for the first definition an entry would read it as.
  std::vector<TPlegable> Plegables;
  for (std::size_t i = 0; i < d.Cuenta(); ++i)
    if (NombreLegible(d[i].Nombre) && d.Busca(d[i].Nombre) == static_cast<int>(i))
      Plegables.push_back({d[i].Nombre, d[i].Termino});
  TPliegue Pliegue;
  Pliegue.Pliega(t, Plegables, {});
  const TModoImpresion Modo{false, &Pliegue};
  int32_t NumVars = 0;
  const std::size_t Longitud = Renumera(t, NumVars, {}, Modo);
  if (Longitud > Maximo) return TextoCorto(t, Maximo);
  return TextoConPulso(t, Longitud, {}, Modo);
}

namespace {

// The redex strategy `e` contracts next in `t`, or null at its form.
TExprLambda* SiguienteDe(TEstrategia e, TExprLambda* t) {
  TMotor Motor;
  Motor.FijaModo({e, false});
  std::vector<TExprLambda*> Redex;
  Motor.Proximos(t, false, Redex);
  Motor.Olvida();
  return Redex.empty() ? nullptr : Redex[0];
}

bool Contiene(TExprLambda* Raiz, const TExprLambda* n) {
  bool Esta = false;
  Raiz->RecorrePre([&](TExprLambda* x) { Esta = Esta || x == n; });
  return Esta;
}

// Whether `n` lies inside an abstraction of `t`.
bool BajoLambda(TExprLambda* t, const TExprLambda* n) {
  std::vector<std::pair<TExprLambda*, bool>> Pila{{t, false}};
  while (!Pila.empty()) {
    const auto [x, Bajo] = Pila.back();
    Pila.pop_back();
    if (x == n) return Bajo;
    if (TAplicacion* a = ComoAplicacion(x)) {
      Pila.push_back({a->Arg, Bajo});
      Pila.push_back({a->Func, Bajo});
    } else if (TFuncion* f = ComoFuncion(x)) {
      Pila.push_back({f->Cuerpo, true});
    }
  }
  return false;
}

// Redexes nest or lie apart; of two that lie apart, the one printed first is to the left. A weak
// strategy never enters an abstraction, which says it all.
TDondeRedex Donde(TEstrategia e, TExprLambda* t, const TAplicacion* Elegido, TExprLambda* Suyo,
                  const std::vector<TAplicacion*>& Todos) {
  if (!Elegido) return TDondeRedex::Otro;
  const TForma f = FormaDe(e);
  if ((f == TForma::Debil || f == TForma::CabezaDebil) && BajoLambda(t, Elegido))
    return TDondeRedex::BajoLambda;
  if (!Suyo) return TDondeRedex::Otro;
  if (Contiene(Elegido->Arg, Suyo)) return TDondeRedex::EnArgumento;
  if (Contiene(Elegido->Func, Suyo)) return TDondeRedex::EnFuncion;
  if (Contiene(Suyo, Elegido)) return TDondeRedex::Fuera;
  for (const TAplicacion* a : Todos) {
    if (a == Elegido) break;
    if (a == Suyo) return TDondeRedex::Izquierda;
  }
  return TDondeRedex::Otro;
}

std::string_view SinBlancos(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

namespace {

// What a kept line is made for: the exercises' kinds and statements, so that the progress of an
// edited lesson is not given to other exercises.
uint32_t Huella(const std::vector<TEjercicio>& Lista) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (const TEjercicio& e : Lista)
    for (char c : std::to_string(int(e.Tipo)) + e.Enunciado + '\n')
      h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

}  // namespace

std::string TSesionEjercicios::ProgresoGuardado() const {
  std::string s = std::to_string(Huella(Lista));
  for (const TProgreso& p : Estado)
    s += ' ' + std::to_string(p.Resuelto) + ',' + std::to_string(p.Errores) + ',' +
         std::to_string(p.Pistas) + ',' + std::to_string(p.Racha);
  return s;
}

bool TSesionEjercicios::RecuperaProgreso(std::string_view Guardado) {
  std::vector<TProgreso> Leido;
  const char* p = Guardado.data();
  const char* Fin = p + Guardado.size();
  uint32_t h = 0;
  auto r = std::from_chars(p, Fin, h);
  if (r.ec != std::errc() || h != Huella(Lista)) return false;
  p = r.ptr;
  while (p != Fin) {
    int64_t Campos[4];
    for (int k = 0; k < 4; ++k) {
      if (p == Fin || *p != (k ? ',' : ' ')) return false;
      r = std::from_chars(p + 1, Fin, Campos[k]);
      if (r.ec != std::errc() || Campos[k] < 0) return false;
      p = r.ptr;
    }
    Leido.push_back({Campos[0] != 0, Campos[1], std::size_t(Campos[2]),
                     int(std::min<int64_t>(Campos[3], RachaDeRepaso))});
  }
  if (Leido.size() != Lista.size()) return false;
  Estado = std::move(Leido);
  return true;
}

void TSesionEjercicios::Carga(const TDefiniciones& Leccion) {
  std::vector<TEjercicio> Nuevos = LeeEjercicios(Leccion);
  Lista = std::move(Nuevos);
  Estado.assign(Lista.size(), {});
  EnCurso.reset();
}

bool TSesionEjercicios::TComprobacion::Bien() const {
  return Aviso.empty() && std::all_of(Casos.begin(), Casos.end(),
                                      [](const TCaso& c) { return c.Fin == TCaso::TFin::Bien; });
}

void TSesionEjercicios::Resuelve(std::size_t i) {
  Estado[i].Resuelto = true;
  if (EnCurso == i) EnCurso.reset();
}

std::string TSesionEjercicios::Pista(std::size_t i) {
  const std::vector<std::string>& p = Lista[i].Pistas;
  if (p.empty()) return Mensajes::SinPistas;
  std::size_t& n = Estado[i].Pistas;
  const std::string& r = p[std::min(n, p.size() - 1)];
  if (n < p.size()) ++n;
  return r;
}

TSesionEjercicios::TComprobacion TSesionEjercicios::CompruebaDefinicion(std::size_t i,
                                                                        const TDefiniciones& d) {
  TComprobacionEnCurso c(*this, i, d, false);
  while (c.Avanza(std::chrono::hours(1))) {
  }
  return c.Resultado();
}

void TSesionEjercicios::Anota(std::size_t i, bool Bien) {
  if (Bien)
    Resuelve(i);
  else
    ++Estado[i].Errores;
}

bool TSesionEjercicios::CompruebaNormal(std::size_t i, std::string_view Respuesta,
                                        const TDefiniciones& d, std::string* Aviso) {
  std::string Error;
  TRetenido t(Analiza(Lista[i].Termino, d, nullptr, Error));
  bool Bien = false;
  if (t.Get()) {
    const bool Tiene = Normaliza(t, Tope).Fin == TNormalizacion::TFin::Forma;
    Respuesta = SinBlancos(Respuesta);
    if (MismoNombre(Respuesta, Mensajes::NoTiene)) {
      Bien = !Tiene;
    } else {
      TRetenido r(Analiza(Respuesta, d, nullptr, Error));
      Bien = r.Get() && Tiene && MismoTerminoEscrito(r.Get(), t.Get());
    }
  }
  if (Aviso) *Aviso = Error;
  Anota(i, Bien);
  return Bien;
}

std::string TSesionEjercicios::Empieza(std::size_t i) {
  const TEjercicio& e = Lista[i];
  EnCurso = i;
  ErroresTermino = 0;
  Estado[i].Racha = 0;
  Texto = e.Azar ? TerminoAlAzar(e.Estrategia, Azar) : e.Termino;
  return Texto;
}

TSesionEjercicios::TJuicio TSesionEjercicios::Juzga(TExprLambda* t, std::size_t K) {
  if (!EnCurso || !t) return {true, {}};
  std::vector<TAplicacion*> Todos;
  TodosLosRedex(t, Todos);
  return Juzga(t, K < Todos.size() ? Todos[K] : nullptr);
}

TSesionEjercicios::TJuicio TSesionEjercicios::Juzga(TExprLambda* t, const TAplicacion* Elegido) {
  if (!EnCurso || !t) return {true, {}};
  const TEstrategia e = Lista[*EnCurso].Estrategia;
  TExprLambda* Suyo = SiguienteDe(e, t);
  if (Suyo && Suyo == Elegido) return {true, {}};
  ++Estado[*EnCurso].Errores;
  ++ErroresTermino;
  std::vector<TAplicacion*> Todos;
  TodosLosRedex(t, Todos);
  return {false, Mensajes::RazonEstrategia(e, Donde(e, t, Elegido, Suyo, Todos))};
}

TSesionEjercicios::TTras TSesionEjercicios::TrasContraer(TExprLambda* t) {
  if (!EnCurso) return TTras::Sigue;
  const std::size_t i = *EnCurso;
  const TEjercicio& e = Lista[i];
  if (t && SiguienteDe(e.Estrategia, t)) return TTras::Sigue;
  TProgreso& p = Estado[i];
  p.Racha = ErroresTermino == 0 ? p.Racha + 1 : 0;
  if (!e.Azar || p.Racha >= RachaDeRepaso) {
    Resuelve(i);
    return TTras::Resuelto;
  }
  ErroresTermino = 0;
  Texto = TerminoAlAzar(e.Estrategia, Azar);
  return TTras::Otro;
}

const char* TSesionEjercicios::TextoTipo(TTipoEjercicio t) {
  switch (t) {
    case TTipoEjercicio::Definir:
      return "definir";
    case TTipoEjercicio::Reducir:
      return "reducir";
    case TTipoEjercicio::Normal:
      break;
  }
  return "forma normal";
}

std::string TSesionEjercicios::TextoEstado(std::size_t i) const {
  return Estado[i].Resuelto ? Mensajes::Resuelto : Mensajes::Pendiente;
}

std::string TSesionEjercicios::TextoCaso(std::size_t k, const TCaso& c) const {
  std::string s = "Caso " + std::to_string(k) + ": ";
  switch (c.Fin) {
    case TCaso::TFin::Bien:
      return s + "bien";
    case TCaso::TFin::Falla:
      return s + "da " + c.Texto;
    case TCaso::TFin::Ilegible:
      return s + c.Texto;
    case TCaso::TFin::Corte:
      break;
  }
  return s + Mensajes::NoTermina(c.Reducciones, Separador);
}

namespace {

// Terms built at random from a few letters, each variable bound by an enclosing lambda.
class TGenerador {
 public:
  explicit TGenerador(std::mt19937& g) : G(g) {}
  // Each draw in its own statement: the order in which the operands of `+` are evaluated is
  // the compiler's, and a seed must give the same term with any.
  std::string Termino(int Prof, int Ambito) {
    const unsigned r = Tira(100);
    if (Ambito == 0 && Prof <= 0) return Cerrados[Tira(3)];
    if (Prof <= 0 || Ambito >= 5) return Variable(Ambito);
    if (r < 35) {
      const std::string f = Lambda(Prof, Ambito);
      return "(" + f + ") " + Atomo(Termino(Prof - 1, Ambito));
    }
    if (r < 60) {
      const std::string f = Atomo(Termino(Prof - 1, Ambito));
      return f + " " + Atomo(Termino(Prof - 1, Ambito));
    }
    if (r < 85 || Ambito == 0) return Lambda(Prof, Ambito);
    return Variable(Ambito);
  }

 private:
  static constexpr const char* Letras = "xyzuvw";
  static constexpr const char* Cerrados[] = {"\\x.x", "\\x.\\y.x", "\\x.x x"};
  std::mt19937& G;
  unsigned Tira(unsigned n) { return static_cast<unsigned>(G() % n); }
  std::string Variable(int Ambito) {
    return std::string(1, Letras[Tira(static_cast<unsigned>(Ambito))]);
  }
  std::string Lambda(int Prof, int Ambito) {
    return "\\" + std::string(1, Letras[Ambito]) + "." + Termino(Prof - 1, Ambito + 1);
  }
  static std::string Atomo(const std::string& s) { return s.size() == 1 ? s : "(" + s + ")"; }
};

// Whether strategy `e` takes `t` (taken) to its form in two to twelve contractions, staying
// small on the way.
bool BuenRepaso(TEstrategia e, TRetenido& t) {
  TMotor Motor;
  Motor.FijaModo({e, false});
  TExprLambda* x = t.Suelta();
  int Pasos = 0;
  bool Cambio = true;
  for (; Cambio && Pasos <= 12 && CuentaNodos(x) < 200; ++Pasos) {
    Cambio = false;  // a pass only ever sets it
    x = Motor.Reduce(x, Cambio, false);
    if (Motor.Fin == TFinPasada::DemasiadoGrande) break;
  }
  Motor.Olvida();
  t.Toma(x);
  return !Cambio && Pasos - 1 >= 2;
}

}  // namespace

std::string TerminoAlAzar(TEstrategia e, std::mt19937& g) {
  TCuentaGuardada Cuenta;
  const TDefiniciones Ninguna;
  TGenerador Generador(g);
  for (int Intento = 0; Intento < 10'000; ++Intento) {
    std::string Texto = Generador.Termino(4, 0);
    std::string Error;
    TRetenido t(Analiza(Texto, Ninguna, nullptr, Error));
    if (!t.Get()) continue;
    std::vector<TAplicacion*> Redex;
    TodosLosRedex(t.Get(), Redex);
    if (Redex.size() >= 2 && Redex.size() <= 4 && BuenRepaso(e, t)) return Texto;
  }
  return "(\\x.x) ((\\y.y) (\\z.z))";  // never reached in practice: any strategy takes 2 steps
}

std::string TSesionEjercicios::TextoProgreso(std::size_t i) const {
  const TProgreso& p = Estado[i];
  std::string s = TextoEstado(i);
  if (p.Errores > 0)
    s += Mensajes::SeparadorLectura + std::to_string(p.Errores) +
         (p.Errores == 1 ? " error" : " errores");
  if (p.Pistas > 0)
    s += Mensajes::SeparadorLectura + std::to_string(p.Pistas) +
         (p.Pistas == 1 ? " pista" : " pistas");
  return s;
}

std::vector<std::string> TSesionEjercicios::TextoComprobacion(const TComprobacion& r) const {
  if (!r.Aviso.empty()) return {r.Aviso};
  std::vector<std::string> Lineas;
  for (std::size_t k = 0; k < r.Casos.size(); ++k) Lineas.push_back(TextoCaso(k + 1, r.Casos[k]));
  Lineas.emplace_back(r.Bien() ? Mensajes::EjercicioResuelto : Mensajes::TodaviaNo);
  return Lineas;
}

std::string TSesionEjercicios::TextoRespuesta(bool Bien, const std::string& Aviso) {
  if (Bien) return Mensajes::EjercicioResuelto;
  return Aviso.empty() ? std::string(Mensajes::NoEsLaForma) : Mensajes::NoEsLaForma + (" " + Aviso);
}
