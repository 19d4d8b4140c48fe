// SPDX-License-Identifier: GPL-3.0-or-later
// lambda-cli --corregir: a class's definitions files checked against a lesson's exercises.
#include <exception>
#include <string>
#include <vector>

#include "uCp1252.h"
#include "uFichero.h"
#include "uGuion.h"
#include "uSesionEjercicios.h"

namespace {

// A CSV field: quoted when it holds a comma, a quote or a line end.
std::string Campo(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string r = "\"";
  for (char c : s) r += c == '"' ? std::string("\"\"") : std::string(1, c);
  return r + "\"";
}

// The lesson's definitions, then the student's: a student's record of a name the lesson has
// replaces the lesson's, as an Enter with that name does.
void CargaAlumno(const std::string& Leccion, const std::string& Fichero, TDefiniciones& d) {
  int32_t NumVars = 0;
  CargaDefiniciones(Leccion, d, NumVars);
  const std::size_t Propias = d.Cuenta();
  CargaDefiniciones(TextoDeFichero(LeeFichero(Fichero)), d, NumVars);
  for (std::size_t k = Propias; k < d.Cuenta(); ++k) {
    const int j = d.Busca(d[k].Nombre);
    if (j >= 0 && static_cast<std::size_t>(j) < k)
      d.Reemplaza(j, d[k].Termino->Copia(), d[k].Texto);
  }
}

}  // namespace

int Corrige(const std::string& RutaLeccion, const std::vector<std::string>& Ficheros,
            std::ostream& Salida, std::ostream& Errores) {
  std::string Leccion;
  TSesionEjercicios Sesion;
  try {
    Leccion = TextoDeFichero(LeeFichero(RutaLeccion));
    TDefiniciones d;
    int32_t NumVars = 0;
    CargaDefiniciones(Leccion, d, NumVars);
    Sesion.Carga(d);
  } catch (const std::exception& e) {
    Errores << "lambda-cli: " << RutaLeccion << ": " << Cp1252AUtf8(MensajeExcepcion(e)) << '\n';
    return 1;
  }
  std::vector<std::size_t> Definir;
  Salida << "fichero";
  for (std::size_t i = 0; i < Sesion.Ejercicios().size(); ++i)
    if (Sesion.Ejercicios()[i].Tipo == TTipoEjercicio::Definir) {
      Definir.push_back(i);
      Salida << ',' << i + 1;
    }
  Salida << ",total\n";
  int Estado = 0;
  for (const std::string& f : Ficheros) {
    std::vector<int> Notas(Definir.size(), 0);
    try {
      TDefiniciones d;
      CargaAlumno(Leccion, f, d);
      for (std::size_t k = 0; k < Definir.size(); ++k)
        Notas[k] = Sesion.CompruebaDefinicion(Definir[k], d).Bien() ? 1 : 0;
    } catch (const std::exception& e) {
      Errores << "lambda-cli: " << f << ": " << Cp1252AUtf8(MensajeExcepcion(e)) << '\n';
      Notas.assign(Definir.size(), 0);
      Estado = 1;
    }
    int Total = 0;
    Salida << Campo(f);
    for (int n : Notas) {
      Salida << ',' << n;
      Total += n;
    }
    Salida << ',' << Total << '\n';
    Salida.flush();
  }
  return Estado;
}
