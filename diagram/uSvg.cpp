// SPDX-License-Identifier: GPL-3.0-or-later
#include "uSvg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

#ifndef __cpp_lib_to_chars
// std::to_chars(double) where the standard library lacks it (emscripten's): the fewest
// significant digits that read back as v, in fixed or scientific notation, whichever is shorter.
char* ACaracteres(char* b, double v) {
  char e[320];  // the widest double in full: 309 digits
  for (int p = 0; p < 17; ++p) {
    std::snprintf(e, sizeof e, "%.*e", p, v);
    if (std::strtod(e, nullptr) == v) break;
  }
  const char* c = e;
  std::string Signo = *c == '-' ? "-" : "", Cifras;
  for (c += Signo.size(); *c != 'e'; ++c)
    if (*c != '.') Cifras += *c;
  while (Cifras.size() > 1 && Cifras.back() == '0') Cifras.pop_back();
  const int x = std::atoi(c + 1), k = static_cast<int>(Cifras.size());
  std::string Fija;
  if (x >= k - 1) {  // a whole number: every digit exact, as printf writes it
    std::snprintf(e, sizeof e, "%.0f", std::fabs(v));
    Fija = e;
  } else if (x >= 0) {
    Fija = Cifras.substr(0, std::size_t(x + 1)) + "." + Cifras.substr(std::size_t(x + 1));
  } else {
    Fija = "0." + std::string(std::size_t(-x - 1), '0') + Cifras;
  }
  char Exp[8];
  std::snprintf(Exp, sizeof Exp, "e%c%02d", x < 0 ? '-' : '+', std::abs(x));
  std::string Cientifica = Cifras.substr(0, 1) + (k > 1 ? "." + Cifras.substr(1) : "") + Exp;
  const std::string r = Signo + (Fija.size() <= Cientifica.size() ? Fija : Cientifica);
  return std::copy(r.begin(), r.end(), b);
}
#endif

constexpr std::size_t Tanda = 1 << 16;  // bytes handed on at a time

// Each drawing call becomes one element. Strokes are black unless said otherwise, with round
// caps and joins, like Agg2D's; fills come before strokes in SVG as in Agg2D.
class TLapizSvg : public ILapiz {
 public:
  explicit TLapizSvg(const std::function<void(std::string_view)>& escribe, double ancho,
                     double alto)
      : Escribe(escribe), Ancho(ancho), Alto(alto) {}

  void clearAll(uint8_t r, uint8_t g, uint8_t b, uint8_t) override {
    // The background goes before the group of marks, as a rectangle over the whole picture.
    Texto += "<rect width=\"";
    Numero(Ancho);
    Texto += "\" height=\"";
    Numero(Alto);
    Texto += "\" fill=\"";
    Color(r, g, b);
    Texto += "\"/>\n";
  }
  void lineWidth(double w) override {
    Cierra();
    Texto += "<g stroke=\"#000000\" stroke-width=\"";
    Numero(w);
    Texto += "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    Abierto = true;
  }
  void lineColor(uint8_t r, uint8_t g, uint8_t b, uint8_t) override { Linea = {r, g, b}; }
  void fillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t) override { Relleno = {r, g, b}; }

  void line(double x1, double y1, double x2, double y2) override {
    Texto += "<line x1=\"";
    Numero(x1);
    Texto += "\" y1=\"";
    Numero(y1);
    Texto += "\" x2=\"";
    Numero(x2);
    Texto += "\" y2=\"";
    Numero(y2);
    Texto += '"';
    Fin(false);
  }
  void rectangle(double x1, double y1, double x2, double y2) override {
    Texto += "<rect x=\"";
    Numero(std::fmin(x1, x2));
    Texto += "\" y=\"";
    Numero(std::fmin(y1, y2));
    Texto += "\" width=\"";
    Numero(std::fabs(x2 - x1));
    Texto += "\" height=\"";
    Numero(std::fabs(y2 - y1));
    Texto += '"';
    Fin(true);
  }
  void ellipse(double cx, double cy, double rx, double ry) override {
    rx = std::fabs(rx), ry = std::fabs(ry);
    Texto += rx == ry ? "<circle cx=\"" : "<ellipse cx=\"";
    Numero(cx);
    Texto += "\" cy=\"";
    Numero(cy);
    if (rx == ry) {
      Texto += "\" r=\"";
      Numero(rx);
    } else {
      Texto += "\" rx=\"";
      Numero(rx);
      Texto += "\" ry=\"";
      Numero(ry);
    }
    Texto += '"';
    Fin(true);
  }

  void Empieza() {
    Texto +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    Numero(Ancho);
    Texto += "\" height=\"";
    Numero(Alto);
    Texto += "\" viewBox=\"0 0 ";
    Numero(Ancho);
    Texto += ' ';
    Numero(Alto);
    Texto += "\">\n";
  }
  void Termina() {
    Cierra();
    Texto += "</svg>\n";
    Escribe(Texto);
    Texto.clear();
  }

 private:
  struct TColor {
    uint8_t R = 0, G = 0, B = 0;
    bool Negro() const { return R == 0 && G == 0 && B == 0; }
  };

  void Cierra() {
    if (Abierto) Texto += "</g>\n";
    Abierto = false;
  }
  // The element's colours, its end, and a piece handed on when enough has gathered.
  void Fin(bool Rellena) {
    if (Rellena) {
      Texto += " fill=\"";
      Color(Relleno.R, Relleno.G, Relleno.B);
      Texto += '"';
    }
    if (!Linea.Negro()) {
      Texto += " stroke=\"";
      Color(Linea.R, Linea.G, Linea.B);
      Texto += '"';
    }
    Texto += "/>\n";
    if (Texto.size() >= Tanda) {
      Escribe(Texto);
      Texto.clear();
    }
  }
  // The shortest decimal that reads back as the same double: the bitmap's very coordinates.
  void Numero(double v) {
    char b[32];
#ifdef __cpp_lib_to_chars
    char* Fin = std::to_chars(b, b + sizeof b, std::isfinite(v) ? v : 0.0).ptr;
#else
    char* Fin = ACaracteres(b, std::isfinite(v) ? v : 0.0);
#endif
    Texto.append(b, Fin);
  }
  void Color(uint8_t r, uint8_t g, uint8_t b) {
    static constexpr char Hex[] = "0123456789abcdef";
    Texto += '#';
    for (uint8_t c : {r, g, b}) {
      Texto += Hex[c >> 4];
      Texto += Hex[c & 15];
    }
  }

  const std::function<void(std::string_view)>& Escribe;
  const double Ancho, Alto;
  std::string Texto;
  bool Abierto = false;
  TColor Linea, Relleno{255, 255, 255};
};

}  // namespace

void EscribeSvg(const TDiagramaEntero& Diagrama,
                const std::function<void(std::string_view)>& Escribe) {
  TLapizSvg Lapiz(Escribe, Diagrama.Ancho(), Diagrama.Alto());
  Lapiz.Empieza();
  Diagrama.Dibuja(Lapiz);
  Lapiz.Termina();
}
