// SPDX-License-Identifier: GPL-3.0-or-later
#include "uPng.h"

#include <png.h>

#include <cstring>

#include "uTextos.h"

namespace {

// The image record of a bitmap. The simplified API reports failures in it rather than by
// longjmp, which would skip C++ destructors.
bool Registro(const TBitmap& Bitmap, png_image& Imagen, std::string& Error) {
  Error.clear();
  if (Bitmap.Pixeles() == nullptr) {
    Error = Mensajes::ImagenVacia;
    return false;
  }
  std::memset(&Imagen, 0, sizeof Imagen);
  Imagen.version = PNG_IMAGE_VERSION;
  Imagen.width = png_uint_32(Bitmap.Width());
  Imagen.height = png_uint_32(Bitmap.Height());
  Imagen.format = PNG_FORMAT_BGRA;
  return true;
}

}  // namespace

bool EscribePNG(const TBitmap& Bitmap, const std::string& Ruta, std::string& Error) {
  png_image Imagen;
  if (!Registro(Bitmap, Imagen, Error)) return false;
  if (!png_image_write_to_file(&Imagen, Ruta.c_str(), 0, Bitmap.Pixeles(), Bitmap.Stride(),
                               nullptr)) {
    Error = Mensajes::NoSePudoEscribir(Ruta, Imagen.message);
    png_image_free(&Imagen);
    return false;
  }
  return true;
}

bool CodificaPNG(const TBitmap& Bitmap, std::string& Bytes, std::string& Error) {
  Bytes.clear();
  png_image Imagen;
  if (!Registro(Bitmap, Imagen, Error)) return false;
  // The first call only measures; the second writes into memory of that size.
  png_alloc_size_t Tamano = 0;
  bool Bien = png_image_write_to_memory(&Imagen, nullptr, &Tamano, 0, Bitmap.Pixeles(),
                                        Bitmap.Stride(), nullptr);
  if (Bien) {
    Bytes.resize(Tamano);
    Bien = png_image_write_to_memory(&Imagen, Bytes.data(), &Tamano, 0, Bitmap.Pixeles(),
                                     Bitmap.Stride(), nullptr);
    Bytes.resize(Tamano);
  }
  if (!Bien) {
    Error = Imagen.message;
    png_image_free(&Imagen);
    Bytes.clear();
    return false;
  }
  return true;
}
