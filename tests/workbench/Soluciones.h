// SPDX-License-Identifier: GPL-3.0-or-later
// The solutions of the shipped lessons' exercises, kept out of the lessons: the test that solves
// them all and the benchmark of the checks read them.
#pragma once

#include <map>
#include <string>
#include <vector>

// A define exercise: a right and a wrong definition; a normal one: the answer (UTF-8).
struct TSolucion {
  std::string Bien, Mal;
};
using TSoluciones = std::map<std::string, std::vector<TSolucion>>;

// By lesson, in the order of its define and normal exercises (reduce ones solve themselves).
inline const TSoluciones& Soluciones() {
  static const TSoluciones s = {
      {"combinadores.txt",
       {{"K I", "K"}, {"\\f g h x.f (g (h x))", "B"}, {"\\x.x", ""}, {"\\u v.v", ""}}},
      {"logica.txt",
       {{"\\p q.NO (YLOG p q)", "YLOG"},
        {"\\p q.p q VERDADERO", "\\p q.OLOG (NO p) (NO q)"},
        {"\\p q.NO (OEXCL p q)", "OEXCL"},
        {"VERDADERO", ""},
        {"q", ""}}},
      {"numerales.txt",
       {{"\\n.SUMA n n", "SUC"},
        {"\\n.MULT n n", "\\n.SUMA n n"},
        {"\\n.IGUAL n 1", "ESCERO"},
        {"2", ""},
        {"\\f x.f (f (f (f x)))", ""}}},
      {"listas.txt",
       {{"\\x.CONS x VACIA", "\\x.CONS x (CONS x VACIA)"},
        {"\\l.CABEZA (COLA l)", "CABEZA"},
        {"\\p.PAR (SEGUNDO p) (PRIMERO p)", "\\p.p"},
        {"2", ""},
        {"VERDADERO", ""}}},
      {"recursion.txt",
       {{"Y (\\r n.ESCERO n 0 (SUMA n (r (PRED n))))", "Y (\\r n.SUMA n (r (PRED n)))"},
        {"\\n.n (MULT 2) 1", "\\n.MULT 2 n"},
        {"2", ""},
        {"no tiene", ""}}},
      {"estrategias.txt", {{"2", "1"}, {"2", ""}}},
  };
  return s;
}
