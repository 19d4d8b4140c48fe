// SPDX-License-Identifier: GPL-3.0-or-later
// PNG files of a bitmap for the browser build, where there is no libpng: the same interface as
// diagram/uPng, the image data in deflate's stored blocks (no compression), which every PNG
// reader takes. The page itself exports PNG through its canvas.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "uPng.h"
#include "uTextos.h"

namespace {

uint32_t Crc(const unsigned char* p, std::size_t n, uint32_t c = 0xffffffffu) {
  static uint32_t Tabla[256];
  if (!Tabla[1]) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t k = i;
      for (int b = 0; b < 8; ++b) k = (k & 1) ? 0xedb88320u ^ (k >> 1) : k >> 1;
      Tabla[i] = k;
    }
  }
  for (std::size_t i = 0; i < n; ++i) c = Tabla[(c ^ p[i]) & 0xff] ^ (c >> 8);
  return c;
}

void Pon32(std::string& s, uint32_t v) {
  for (int d = 24; d >= 0; d -= 8) s.push_back(static_cast<char>((v >> d) & 0xff));
}

// A chunk: length, type, data, CRC of type and data.
void Trozo(std::string& s, const char* Tipo, const std::string& Datos) {
  Pon32(s, static_cast<uint32_t>(Datos.size()));
  const std::size_t Inicio = s.size();
  s.append(Tipo, 4);
  s += Datos;
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + Inicio;
  Pon32(s, Crc(p, s.size() - Inicio) ^ 0xffffffffu);
}

// The zlib stream of the rows, each after filter byte 0, in stored blocks.
std::string Zlib(const TBitmap& Bitmap) {
  std::string Crudo;
  Crudo.reserve((std::size_t(Bitmap.Stride()) + 1) * std::size_t(Bitmap.Height()));
  for (int y = 0; y < Bitmap.Height(); ++y) {
    Crudo.push_back(0);
    const uint8_t* f = Bitmap.Pixeles() + std::size_t(y) * std::size_t(Bitmap.Stride());
    for (int x = 0; x < Bitmap.Width(); ++x, f += 4)
      Crudo += {char(f[2]), char(f[1]), char(f[0]), char(f[3])};
  }
  std::string z = {char(0x78), char(0x01)};
  uint32_t a = 1, b = 0;
  for (unsigned char c : Crudo) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  std::size_t i = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, Crudo.size() - i);
    const bool Ultimo = i + n == Crudo.size();
    z += {char(Ultimo), char(n & 0xff), char(n >> 8), char(~n & 0xff), char((~n >> 8) & 0xff)};
    z.append(Crudo, i, n);
    i += n;
  } while (i < Crudo.size());
  Pon32(z, (b << 16) | a);
  return z;
}

}  // namespace

bool CodificaPNG(const TBitmap& Bitmap, std::string& Bytes, std::string& Error) {
  Bytes.clear();
  Error.clear();
  if (Bitmap.Pixeles() == nullptr) {
    Error = Mensajes::ImagenVacia;
    return false;
  }
  Bytes = "\x89PNG\r\n\x1a\n";
  std::string Cabecera;
  Pon32(Cabecera, static_cast<uint32_t>(Bitmap.Width()));
  Pon32(Cabecera, static_cast<uint32_t>(Bitmap.Height()));
  Cabecera += {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filter choice, no interlace
  Trozo(Bytes, "IHDR", Cabecera);
  Trozo(Bytes, "IDAT", Zlib(Bitmap));
  Trozo(Bytes, "IEND", {});
  return true;
}

bool EscribePNG(const TBitmap& Bitmap, const std::string& Ruta, std::string& Error) {
  std::string Bytes;
  if (!CodificaPNG(Bitmap, Bytes, Error)) return false;
  FILE* f = std::fopen(Ruta.c_str(), "wb");
  bool Bien = f && std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
  const int Causa = errno;
  if (f && std::fclose(f) != 0) Bien = false;
  if (!Bien) Error = Mensajes::NoSePudoEscribir(Ruta, std::strerror(Causa));
  return Bien;
}
