#include "uPng.h"

#include <png.h>

#include <cstring>

#include "uTextos.h"

bool EscribePNG(const TBitmap& Bitmap, const std::string& Ruta, std::string& Error) {
  Error.clear();
  if (Bitmap.Pixeles() == nullptr) {
    Error = Mensajes::ImagenVacia;
    return false;
  }
  // The simplified API reports failures in the image record rather than by longjmp, which
  // would skip C++ destructors.
  png_image imagen;
  std::memset(&imagen, 0, sizeof imagen);
  imagen.version = PNG_IMAGE_VERSION;
  imagen.width = png_uint_32(Bitmap.Width());
  imagen.height = png_uint_32(Bitmap.Height());
  imagen.format = PNG_FORMAT_BGRA;
  if (!png_image_write_to_file(&imagen, Ruta.c_str(), 0, Bitmap.Pixeles(), Bitmap.Stride(),
                               nullptr)) {
    Error = Mensajes::NoSePudoEscribir(Ruta, imagen.message);
    png_image_free(&imagen);
    return false;
  }
  return true;
}
