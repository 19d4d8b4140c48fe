// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark workloads: name, contraction limit (0: to normal form) and expression text.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct TCarga {
  std::string Nombre;
  long Limite = 0;
  std::string Texto;
};

// Reads workloads.txt from `dir`, adding the Church numeral 100000 written out, which is
// generated rather than stored.
inline std::vector<TCarga> LeeCargas(const std::string& dir) {
  std::vector<TCarga> cargas;
  std::ifstream f(dir + "/workloads.txt");
  std::string linea;
  while (std::getline(f, linea)) {
    if (linea.empty() || linea[0] == '#') continue;
    std::istringstream s(linea);
    TCarga c;
    std::string limite;
    std::getline(s, c.Nombre, '\t');
    std::getline(s, limite, '\t');
    std::getline(s, c.Texto);
    c.Limite = std::stol(limite);
    cargas.push_back(c);
  }
  TCarga church{"church_100k_literal", 0, "\\f.\\x."};
  for (int i = 0; i < 100000; ++i) church.Texto += "f (";
  church.Texto += "x";
  church.Texto.append(100000, ')');
  cargas.push_back(church);
  return cargas;
}

struct TEsperado {
  long Contracciones = 0, Nodos = 0, Profundidad = 0, Church = 0, ContraccionesMultiple = 0,
       PasadasMultiple = 0;
};

inline std::vector<std::pair<std::string, TEsperado>> LeeEsperados(const std::string& dir) {
  std::vector<std::pair<std::string, TEsperado>> r;
  std::ifstream f(dir + "/expected.tsv");
  std::string linea;
  std::getline(f, linea);  // header
  while (std::getline(f, linea)) {
    std::istringstream s(linea);
    std::string nombre;
    long limite;
    TEsperado e;
    s >> nombre >> limite >> e.Contracciones >> e.Nodos >> e.Profundidad >> e.Church >>
        e.ContraccionesMultiple >> e.PasadasMultiple;
    r.push_back({nombre, e});
  }
  return r;
}
