// SPDX-License-Identifier: GPL-3.0-or-later
// The lessons' exercises, each solved through lambda-cli's interpreter with the solutions kept
// here; a wrong definition fails; a class graded with --corregir.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Comun.h"
#include "Soluciones.h"
#include "uComprobacion.h"
#include "uCp1252.h"
#include "uEjercicios.h"
#include "uFichero.h"
#include "uGuion.h"
#include "uReduccion.h"
#include "uSesionEjercicios.h"
#include "uVistaGrabadora.h"

namespace {

std::string Utf8DeEnunciado(const TEjercicio& e) {
  return Cp1252AUtf8(e.Enunciado);
}

class Ejercicios : public ::testing::TestWithParam<const char*> {
 protected:
  std::ostringstream Salida;
  TGuion g{Salida};

  std::string Orden(const std::string& Linea) {
    Salida.str("");
    g.Ejecuta(Linea);
    return Salida.str();
  }
  // The index, in the redexes' list, of the redex strategy `e` contracts next; how many there
  // are in `Cuenta`.
  std::size_t Siguiente(TEstrategia e, std::size_t& Cuenta) {
    TExprLambda* t = g.MesaDeTrabajo().Sesion.TerminoActual();
    std::vector<TAplicacion*> Todos;
    TodosLosRedex(t, Todos);
    Cuenta = Todos.size();
    TMotor m;
    m.FijaModo({e, false});
    std::vector<TExprLambda*> Suyo;
    m.Proximos(t, false, Suyo);
    m.Olvida();
    for (std::size_t k = 0; k < Todos.size(); ++k)
      if (!Suyo.empty() && Todos[k] == Suyo[0]) return k;
    ADD_FAILURE() << "no redex for the strategy";
    return 0;
  }
  // Contracts as the strategy does, a wrong redex first where there is one, until solved.
  void Reduce(std::size_t n, TEstrategia e) {
    const std::string Fin = "exercise " + std::to_string(n) + ": reduce resuelto";
    ASSERT_EQ(Orden("start " + std::to_string(n)), "");
    for (int Paso = 0; Paso < 200; ++Paso) {
      std::size_t Cuenta = 0;
      const std::size_t k = Siguiente(e, Cuenta);
      if (Paso == 0 && Cuenta > 1) {
        // Refused: the term stays, and the status bar says why.
        auto Termino = [this] {
          const std::string s = Orden("show");
          return s.substr(0, s.find("\nstatus: "));
        };
        const std::string Antes = Termino();
        const std::string Juicio = Orden("contract " + std::to_string(k == 0 ? 1 : 0));
        EXPECT_EQ(Juicio.substr(0, 10), "judge: no ");
        EXPECT_EQ(Termino(), Antes);
        EXPECT_NE(Orden("show").find("status: " + Juicio.substr(10)), std::string::npos);
      }
      const std::string s = Orden("contract " + std::to_string(k));
      ASSERT_EQ(s.substr(0, 10), "judge: ok\n") << s;
      if (s.find(Fin) != std::string::npos) return;
    }
    FAIL() << "exercise " << n << " not solved";
  }
};

TEST_P(Ejercicios, CadaUnoSeResuelve) {
  Orden("seed 1");
  Orden("open " + std::string(EJEMPLOS_DIR) + "/" + GetParam());
  const std::vector<TEjercicio> Lista = LeeEjercicios(g.MesaDeTrabajo().Sesion.Definiciones);
  const std::vector<TSolucion>& s = Soluciones().at(GetParam());
  std::size_t j = 0;
  for (std::size_t i = 0; i < Lista.size(); ++i) {
    const TEjercicio& e = Lista[i];
    const std::string n = std::to_string(i + 1);
    SCOPED_TRACE(e.Enunciado);
    EXPECT_FALSE(e.Pistas.empty());
    EXPECT_EQ(Orden("hint " + n).substr(0, 6 + n.size()), "hint " + n + ":");
    if (e.Tipo == TTipoEjercicio::Reducir) {
      Reduce(i + 1, e.Estrategia);
      continue;
    }
    ASSERT_LT(j, s.size());
    const TSolucion& Sol = s[j++];
    const std::string Resuelto = "exercise " + n + ": " +
                                 (e.Tipo == TTipoEjercicio::Definir ? "define" : "normal") +
                                 " resuelto ";
    if (e.Tipo == TTipoEjercicio::Normal) {
      EXPECT_EQ(Orden("answer " + n + " " + Sol.Bien),
                "answer " + n + ": ok\n" + Resuelto + Utf8DeEnunciado(e) + "\n");
      continue;
    }
    // The wrong one first: a case fails or is cut; then the right one solves it.
    Orden("name " + e.Nombre);
    Orden("enter " + Sol.Mal);
    const std::string Mal = Orden("check " + n);
    EXPECT_NE(Mal.find("case "), std::string::npos) << Mal;
    EXPECT_TRUE(Mal.find(": fail ") != std::string::npos || Mal.find(": cut ") != std::string::npos)
        << Mal;
    Orden("name " + e.Nombre);
    Orden("enter " + Sol.Bien);
    EXPECT_NE(Orden("check " + n).find(Resuelto), std::string::npos);
  }
  EXPECT_EQ(j, s.size());
  EXPECT_FALSE(g.HuboError);
}

INSTANTIATE_TEST_SUITE_P(Lecciones, Ejercicios,
                         ::testing::Values("combinadores.txt", "logica.txt", "numerales.txt",
                                           "listas.txt", "recursion.txt", "estrategias.txt"));

// A block that breaks a rule fails the open at its line.
TEST(Ejercicio, MalEscrito) {
  const struct {
    const char* Texto;
    std::size_t Linea;
    std::string Error;
  } Casos[] = {
      {"#caso A = B\n", 1, Mensajes::FueraDeEjercicio},
      {"#ejercicio\n", 1, Mensajes::FaltaTexto},
      {"#ejercicio X\n# otro\n\n#pista P\n", 1, Mensajes::FaltaTipo},
      {"#ejercicio X\n#definir N\n#ejercicio Y\n", 1, Mensajes::DefinirSinCaso},
      {"#ejercicio X\n#definir N\n#caso N\n", 3, Mensajes::CasoSinIgual},
      {"#ejercicio X\n#normal x\n#caso N = x\n", 3, Mensajes::CasoSinDefinir},
      {"#ejercicio X\n#normal x\n#definir N\n", 3, Mensajes::SobraTipo},
      {"#ejercicio X\n#definir n\n", 2, Mensajes::NombreNoValido("n")},
      {"#ejercicio X\n#reducir pronto I I\n", 2, Mensajes::ClaveDesconocida("pronto")},
      {"#ejercicio X\n#reducir name \\x.I x\n", 2,
       Mensajes::SinRedexParaEstrategia(TEstrategia::PorNombre)},
      {"#ejercicio X\n#normal NADA\n", 2, ""},
  };
  for (const auto& c : Casos) {
    TDefiniciones d;
    int32_t n = 0;
    try {
      CargaDefiniciones(std::string("I\n\\x.x\n") + c.Texto, d, n);
      ADD_FAILURE() << c.Texto;
    } catch (const EEjercicioErroneo& e) {
      EXPECT_EQ(e.Linea, c.Linea + 2) << c.Texto;
      if (!c.Error.empty()) {
        EXPECT_EQ(e.Mensaje, Mensajes::EjercicioErroneo(c.Linea + 2, c.Error)) << c.Texto;
      }
    }
  }
}

// A student's term a million deep is checked, printed and compared without a deep stack.
TEST(Ejercicio, DefinicionProfunda) {
  constexpr int Hondo = 1'000'000;
  std::string Texto = "#ejercicio X\n#definir P\n#caso P = P\n#caso P = \\x.x\nP\n\\x.";
  for (int i = 0; i < Hondo; ++i) Texto += "x (";
  Texto += "x" + std::string(Hondo, ')') + "\n";
  TDefiniciones d;
  int32_t n = 0;
  CargaDefiniciones(Texto, d, n);
  TSesionEjercicios s;
  s.Carga(d);
  const TSesionEjercicios::TComprobacion r = s.CompruebaDefinicion(0, d);
  ASSERT_EQ(r.Casos.size(), 2u);
  EXPECT_EQ(r.Casos[0].Fin, TSesionEjercicios::TCaso::TFin::Bien);
  EXPECT_EQ(r.Casos[1].Fin, TSesionEjercicios::TCaso::TFin::Falla);
  EXPECT_EQ(r.Casos[1].Texto, "P");  // what it gave, by the name that fits
}

// A check a slice at a time, on copies: the definitions may change meanwhile, and a looping side
// is cut after the cap as at once.
TEST(Ejercicio, PorRodajas) {
  TDefiniciones d;
  int32_t n = 0;
  CargaDefiniciones(
      "#ejercicio X\n#definir P\n#caso P = \\x.x\n#caso P P = P\nP\n"
      "(\\x.x x) (\\x.x x)\n",
      d, n);
  TSesionEjercicios s;
  s.Carga(d);
  TComprobacionEnCurso c(s, 0, d, true);
  d.Vacia();
  int Rodajas = 1;
  while (c.Avanza(std::chrono::nanoseconds(0))) ++Rodajas;
  EXPECT_GT(Rodajas, 2 * TSesionEjercicios::Tope / 256);
  ASSERT_EQ(c.Resultado().Casos.size(), 2u);
  EXPECT_EQ(c.Resultado().Casos[0].Fin, TSesionEjercicios::TCaso::TFin::Corte);
  EXPECT_EQ(c.Resultado().Casos[0].Reducciones, TSesionEjercicios::Tope);
  EXPECT_EQ(s.Progreso(0).Errores, 1);
}

// The workbench's own practice, as the window and the page drive it: a check answers the
// window's events as it goes, its words reach the panel, the progress kept under the lesson's
// name comes back with the next open (another session), and a β ends a reduction under way.
TEST(Practica, ComoEnLaVentana) {
  TCarpeta c;
  EscribeTodo(c.Ruta("l.txt"),
              "#ejercicio Define P\n#definir P\n#caso P = \\x.x\n#caso P P = P\n"
              "#caso P P P = P\n#caso P P P P = P\n\n"
              "#ejercicio Reduce\n#reducir applicative (\\x.x) ((\\y.y) z)\n");
  std::map<std::string, std::string> Guardado;
  for (int Vez = 0; Vez < 2; ++Vez) {
    TVistaGrabadora v;
    v.Progresos = Guardado;
    TMesaTrabajo m(v);
    v.Mesa = &m;
    m.FormCreate();
    m.FijaIntervalo(1e-6);  // the events after every slice
    m.AbreAlEmpezar(c.Ruta("l.txt"));
    ASSERT_EQ(m.Practica.Filas().size(), 2u);
    if (Vez == 1) {
      EXPECT_TRUE(m.Practica.Filas()[0].Resuelto);  // kept from the first session
      continue;
    }
    auto Define = [&](const char* Texto) {
      v.Ent = Texto;
      v.Def = "P";
      m.edtEntKeyPress('\r');
      m.Ejercicio(TAccionEjercicio::Comprueba, 0);
    };
    Define("(\\x.x x) (\\x.x x)");  // cut at the cap, the window answering meanwhile
    EXPECT_GT(v.Eventos, 0);
    EXPECT_FALSE(m.Practica.Filas()[0].Resuelto);
    Define("\\x.(\\y.y) x");
    EXPECT_EQ(m.Practica.Resultado().back(), Mensajes::EjercicioResuelto);
    m.Ejercicio(TAccionEjercicio::Empieza, 1);
    EXPECT_TRUE(m.Practica.Ejercicios.Activo());
    EXPECT_EQ(v.Modo.Estrategia, TEstrategia::Aplicativo);
    m.btnBetaClick();
    EXPECT_FALSE(m.Practica.Ejercicios.Activo());
    Guardado = v.Progresos;
  }
}

// A class of thirty: right, wrong, looping and unreadable files, each a row.
TEST(Corregir, UnaClase) {
  TCarpeta c;
  const char* Tipos[] = {"NOY\n\\p q.NO (YLOG p q)\nIMPLICA\n\\p q.p q VERDADERO\n",
                         "NOY\n\\p q.p\nEQUIV\n\\p q.NO (OEXCL p q)\n",
                         "NOY\n\\p q.(\\x.x x) (\\x.x x)\nIMPLICA\n\\p q.(\\x.x x x) (\\x.x x x)\n",
                         "NOY\n(\\p\n"};
  const char* Filas[] = {"1,1,0,2", "0,0,1,1", "0,0,0,0", "0,0,0,0"};
  std::string Ordenes = std::string(LAMBDA_CLI) + " --corregir " + EJEMPLOS_DIR + "/logica.txt";
  std::string Esperado = "fichero,1,2,3,total\n";
  for (int i = 0; i < 30; ++i) {
    const std::string f = c.Ruta("alumno" + std::to_string(i) + ".txt");
    if (i != 29) EscribeTodo(f, Tipos[i % 4]);  // the last one is missing
    Ordenes += " " + f;
    Esperado += f + "," + (i == 29 ? "0,0,0,0" : Filas[i % 4]) + "\n";
  }
  std::string Salida;
  FILE* p = popen((Ordenes + " 2>" + c.Ruta("errores")).c_str(), "r");
  char Trozo[4096];
  for (std::size_t n; p && (n = std::fread(Trozo, 1, sizeof Trozo, p)) > 0;)
    Salida.append(Trozo, n);
  const int Estado = p ? pclose(p) : -1;
  EXPECT_EQ(Salida, Esperado);
  EXPECT_NE(Estado, 0);
  // One line for each unreadable file: seven that do not load, one missing.
  const std::string Errores = LeeTodo(c.Ruta("errores"));
  EXPECT_EQ(std::count(Errores.begin(), Errores.end(), '\n'), 8) << Errores;
}

}  // namespace
