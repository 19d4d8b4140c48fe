// SPDX-License-Identifier: GPL-3.0-or-later
// What checking the shipped lessons' exercises costs, each define and normal-form exercise
// answered rightly (the solutions the tests keep), and the worst a student can do: a define
// exercise answered with a term that never ends, cut at the cap.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "Soluciones.h"
#include "uCp1252.h"
#include "uFichero.h"
#include "uParser.h"
#include "uSesionEjercicios.h"

namespace {

void Leccion(const std::string& Nombre, TDefiniciones& d, int32_t& NumVars) {
  CargaDefiniciones(TextoDeFichero(LeeFichero(std::string(LAMBDA_EJEMPLOS) + "/" + Nombre)), d,
                    NumVars);
}

void Comprueba(benchmark::State& Estado, const std::string& Nombre) {
  int32_t n = 0;
  TDefiniciones d;
  Leccion(Nombre, d, n);
  TSesionEjercicios s;
  s.Carga(d);
  // The student's definitions, after the lesson's; the answers typed.
  std::vector<std::string> Respuestas(s.Ejercicios().size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < s.Ejercicios().size(); ++i) {
    const TEjercicio& e = s.Ejercicios()[i];
    if (e.Tipo == TTipoEjercicio::Reducir) continue;
    const std::string Bien = Utf8ACp1252(Soluciones().at(Nombre).at(k++).Bien);
    if (e.Tipo == TTipoEjercicio::Normal) {
      Respuestas[i] = Bien;
      continue;
    }
    std::string Error;
    d.Agrega(e.Nombre, Analiza(Bien, d, nullptr, Error), Bien);
  }
  for (auto _ : Estado)
    for (std::size_t i = 0; i < s.Ejercicios().size(); ++i) {
      const TEjercicio& e = s.Ejercicios()[i];
      if (e.Tipo == TTipoEjercicio::Definir && !s.CompruebaDefinicion(i, d).Bien())
        Estado.SkipWithError("a right definition failed");
      else if (e.Tipo == TTipoEjercicio::Normal && !s.CompruebaNormal(i, Respuestas[i], d))
        Estado.SkipWithError("a right answer failed");
    }
  Estado.counters["comprobados"] = double(k);
}

void Bucle(benchmark::State& Estado) {
  int32_t n = 0;
  TDefiniciones d;
  CargaDefiniciones("#ejercicio X\n#definir P\n#caso P = P\nP\n(\\x.x x) (\\x.x x)\n", d, n);
  TSesionEjercicios s;
  s.Carga(d);
  for (auto _ : Estado) benchmark::DoNotOptimize(s.CompruebaDefinicion(0, d).Bien());
}

[[maybe_unused]] const bool Registradas = [] {
  for (const auto& f : std::filesystem::directory_iterator(LAMBDA_EJEMPLOS))
    if (f.path().extension() == ".txt")
      benchmark::RegisterBenchmark(("ejercicios/" + f.path().filename().string()).c_str(),
                                   Comprueba, f.path().filename().string())
          ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ejercicios/respuesta_sin_fin", Bucle)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
