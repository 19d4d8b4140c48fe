// SPDX-License-Identifier: GPL-3.0-or-later
#include "uCp1252.h"

#include <cstdint>
#include <cstring>
#include <ostream>

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char32_t Tabla80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ACp1252(char32_t c) {
  // Students paste λ from notes and slides: it is the lambda, which the syntax writes '\'.
  if (c == 0x03BB) return '\\';
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (Tabla80[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

void PonUtf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Utf8ACp1252(std::string_view u, std::string* NoCabe) {
  if (NoCabe) NoCabe->clear();
  auto Anota = [&](char32_t c) {
    if (NoCabe && NoCabe->empty()) PonUtf8(*NoCabe, c);
  };
  std::string s;
  s.reserve(u.size());
  std::size_t i = 0;
  while (i < u.size()) {
    unsigned char b = static_cast<unsigned char>(u[i]);
    if (b < 0x80) {
      // An expression may run to megabytes, nearly all of it ASCII: runs go across whole.
      std::size_t j = i + 1;
      for (uint64_t Ocho; u.size() - j >= 8; j += 8) {
        std::memcpy(&Ocho, u.data() + j, 8);
        if (Ocho & 0x8080808080808080ull) break;
      }
      while (j < u.size() && static_cast<unsigned char>(u[j]) < 0x80) ++j;
      s.append(u.data() + i, j - i);
      i = j;
      continue;
    }
    int Seguidos;
    char32_t c;
    char32_t Minimo;
    if (b >= 0xC2 && b <= 0xDF) {
      Seguidos = 1, c = b & 0x1F, Minimo = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      Seguidos = 2, c = b & 0x0F, Minimo = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      Seguidos = 3, c = b & 0x07, Minimo = 0x10000;
    } else {
      s += '?';
      Anota(0xFFFD);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    int Leidos = 0;
    while (Leidos < Seguidos && j < u.size() && (static_cast<unsigned char>(u[j]) & 0xC0) == 0x80) {
      c = (c << 6) | (static_cast<unsigned char>(u[j]) & 0x3F);
      ++j;
      ++Leidos;
    }
    // A cut sequence, an overlong form, a surrogate or a value past U+10FFFF is one '?'.
    bool Valido =
        Leidos == Seguidos && c >= Minimo && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    char b1252 = Valido ? ACp1252(c) : '?';
    if (b1252 == '?') Anota(Valido ? c : 0xFFFD);
    s += b1252;
    i = j;
  }
  return s;
}

bool EsUtf8(std::string_view u) {
  std::size_t i = 0;
  while (i < u.size()) {
    unsigned char b = static_cast<unsigned char>(u[i]);
    if (b < 0x80) {
      for (uint64_t Ocho; u.size() - i >= 8; i += 8) {
        std::memcpy(&Ocho, u.data() + i, 8);
        if (Ocho & 0x8080808080808080ull) break;
      }
      while (i < u.size() && static_cast<unsigned char>(u[i]) < 0x80) ++i;
      continue;
    }
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    int Seguidos;
    unsigned char Desde = 0x80, Hasta = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      Seguidos = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      Seguidos = 2;
      if (b == 0xE0) Desde = 0xA0;
      if (b == 0xED) Hasta = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      Seguidos = 3;
      if (b == 0xF0) Desde = 0x90;
      if (b == 0xF4) Hasta = 0x8F;
    } else {
      return false;
    }
    if (u.size() - i <= static_cast<std::size_t>(Seguidos)) return false;
    unsigned char s = static_cast<unsigned char>(u[i + 1]);
    if (s < Desde || s > Hasta) return false;
    for (int k = 2; k <= Seguidos; ++k)
      if ((static_cast<unsigned char>(u[i + k]) & 0xC0) != 0x80) return false;
    i += Seguidos + 1;
  }
  return true;
}

namespace {

// Calls Ascii(run) for each run of ASCII bytes and Otro(code point) for each other byte, in
// order. Printed terms are all ASCII and may run to many megabytes: the runs are found 32 and 8
// bytes at a time and handed over whole.
template <typename FA, typename FO>
void RecorreCp1252(std::string_view w, FA Ascii, FO Otro) {
  const char* p = w.data();
  const char* const Fin = p + w.size();
  while (p < Fin) {
    const char* q = p;
    for (uint64_t o[4]; Fin - q >= 32; q += 32) {
      std::memcpy(o, q, 32);
      if ((o[0] | o[1] | o[2] | o[3]) & 0x8080808080808080ull) break;
    }
    for (uint64_t Ocho; Fin - q >= 8; q += 8) {
      std::memcpy(&Ocho, q, 8);
      if (Ocho & 0x8080808080808080ull) break;
    }
    while (q < Fin && static_cast<unsigned char>(*q) < 0x80) ++q;
    if (q != p) Ascii(std::string_view(p, static_cast<std::size_t>(q - p)));
    if (q == Fin) break;
    unsigned char b = static_cast<unsigned char>(*q);
    Otro(b < 0xA0 ? Tabla80[b - 0x80] : char32_t(b));
    p = q + 1;
  }
}

}  // namespace

std::string Cp1252AUtf8(std::string_view w) {
  std::string s;
  s.reserve(w.size() + w.size() / 4);
  RecorreCp1252(
      w, [&](std::string_view a) { s.append(a); }, [&](char32_t c) { PonUtf8(s, c); });
  return s;
}

void EscribeUtf8(std::ostream& o, std::string_view w) {
  RecorreCp1252(
      w, [&](std::string_view a) { o.write(a.data(), static_cast<std::streamsize>(a.size())); },
      [&](char32_t c) {
        std::string u;
        PonUtf8(u, c);
        o << u;
      });
}
