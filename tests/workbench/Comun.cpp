// SPDX-License-Identifier: GPL-3.0-or-later
#include "Comun.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TCarpeta::TCarpeta() {
  std::string Plantilla = (std::filesystem::temp_directory_path() / "mesa_XXXXXX").string();
  if (!mkdtemp(Plantilla.data())) throw std::runtime_error("mkdtemp");
  Dir = Plantilla;
}

TCarpeta::~TCarpeta() {
  std::error_code e;
  std::filesystem::remove_all(Dir, e);
}

std::string LeeTodo(const std::string& Ruta) {
  std::ifstream f(Ruta, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void EscribeTodo(const std::string& Ruta, const std::string& Bytes) {
  std::ofstream f(Ruta, std::ios::binary | std::ios::trunc);
  f << Bytes;
}
