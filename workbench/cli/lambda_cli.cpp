// SPDX-License-Identifier: GPL-3.0-or-later
// lambda-cli: runs the workbench from a script, one command a line (the interpreter is TGuion).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "uGuion.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::string_view(argv[1]) == "--corregir")
    return Corrige(argv[2], std::vector<std::string>(argv + 3, argv + argc), std::cout, std::cerr);
  std::string_view Opcion = argc == 2 ? argv[1] : "";
  if (Opcion == "--help" || Opcion == "-h") {
    std::cout << AyudaGuion;
    return 0;
  }
  if (Opcion == "--version") {
    std::cout << "lambda-cli " LAMBDA_VERSION "\n";
    return 0;
  }
  if (argc > 2 || (Opcion.size() > 1 && Opcion[0] == '-')) {
    std::cerr << "usage: lambda-cli [SCRIPT]   (or --help, --version)\n";
    return 2;
  }
  std::ifstream Fichero;
  if (argc == 2) {
    Fichero.open(argv[1], std::ios::binary);
    if (!Fichero) {
      std::cerr << "lambda-cli: cannot open " << argv[1] << '\n';
      return 1;
    }
  }
  std::istream& Entrada = argc == 2 ? static_cast<std::istream&>(Fichero) : std::cin;
  TGuion Guion(std::cout);
  std::string Linea;
  while (std::getline(Entrada, Linea)) {
    Guion.Ejecuta(Linea);
    std::cout.flush();
  }
#ifndef LAMBDA_SIN_POOL
  // The state goes with the process: freeing a term of millions of nodes one by one would only
  // delay the exit. The sanitizer builds (nodes from malloc) free it all, to vouch for no leak.
  std::_Exit(Guion.HuboError ? 1 : 0);
#endif
  return Guion.HuboError ? 1 : 0;
}
