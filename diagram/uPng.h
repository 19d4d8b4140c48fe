// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a bitmap to a PNG file (8-bit RGBA), for tests and for export.
#pragma once

#include <string>

#include "uBitmap.h"

// Returns false with a message in Error when the bitmap is empty or the file cannot be written.
bool EscribePNG(const TBitmap& Bitmap, const std::string& Ruta, std::string& Error);
// The bytes of the PNG file, for a caller that writes them itself; false with a message in Error
// when the bitmap is empty or libpng refuses it.
bool CodificaPNG(const TBitmap& Bitmap, std::string& Bytes, std::string& Error);
