// SPDX-License-Identifier: GPL-3.0-or-later
// The whole diagram as SVG: written from the layout, and, rasterised by rsvg-convert where it is
// installed, the same picture as the AGG bitmap within anti-aliasing.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Ayuda.h"
#include "uSvg.h"

namespace {

std::string Svg(const TDiagramaEntero& d) {
  std::string s;
  EscribeSvg(d, [&](std::string_view p) { s += p; });
  return s;
}

TEST(Svg, OneElementPerMarkAtTheBitmapsCoordinates) {
  TTermino t("(\\a.a) b");
  TDiagramaEntero d(t, 1.0);
  EXPECT_EQ(d.Ancho(), 45);  // the root's box, 25 by 64, and 10 units round it
  EXPECT_EQ(d.Alto(), 84);
  EXPECT_EQ(Svg(d),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"45\" "
            "height=\"84\" viewBox=\"0 0 45 84\">\n"
            "<rect width=\"45\" height=\"84\" fill=\"#fffff0\"/>\n"
            "<g stroke=\"#000000\" stroke-width=\"1.5\" stroke-linecap=\"round\" "
            "stroke-linejoin=\"round\">\n"
            "<line x1=\"22.5\" y1=\"10\" x2=\"15\" y2=\"32\" stroke=\"#ff0000\"/>\n"
            "<line x1=\"22.5\" y1=\"10\" x2=\"30\" y2=\"32\"/>\n"
            "<circle cx=\"22.5\" cy=\"10\" r=\"3\" fill=\"#000000\"/>\n"
            "<circle cx=\"30\" cy=\"32\" r=\"5\" fill=\"#80ff80\"/>\n"
            "<line x1=\"15\" y1=\"32\" x2=\"15\" y2=\"64\"/>\n"
            "<rect x=\"10\" y=\"32\" width=\"10\" height=\"10\" fill=\"#800000\"/>\n"
            "<circle cx=\"15\" cy=\"70\" r=\"5\" fill=\"#800000\"/>\n"
            "</g>\n"
            "</svg>\n");
  // A variable alone: the background only.
  TTermino v("a");
  EXPECT_EQ(Svg(TDiagramaEntero(v, 2.0)).find("<g"), Svg(TDiagramaEntero(v, 2.0)).rfind("<g"));
}

// The pixels of a PNG file as B, G, R, A rows; empty when it cannot be read.
std::vector<uint8_t> LeePNG(const std::string& Ruta, int& Ancho, int& Alto) {
  png_image Imagen;
  std::memset(&Imagen, 0, sizeof Imagen);
  Imagen.version = PNG_IMAGE_VERSION;
  std::vector<uint8_t> Pixeles;
  if (!png_image_begin_read_from_file(&Imagen, Ruta.c_str())) return {};
  Imagen.format = PNG_FORMAT_BGRA;
  Pixeles.resize(PNG_IMAGE_SIZE(Imagen));
  if (!png_image_finish_read(&Imagen, nullptr, Pixeles.data(), 0, nullptr)) return {};
  Ancho = int(Imagen.width);
  Alto = int(Imagen.height);
  return Pixeles;
}

TEST(Svg, RasterisedItIsTheBitmap) {
  if (std::system("rsvg-convert --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "rsvg-convert is not installed";
  const char* Terminos[] = {"\\a.a",
                            "a b",
                            "(\\a.a) b",
                            "a ((\\b.b) c)",
                            "(a b) c",
                            "\\a b c.a b c",
                            "(\\x y z.x z (y z)) (\\x y.x) (\\x y.x)",
                            "\\f x.f (f (f (f (f x))))"};
  double PeorMedia = 0;
  int PeorMaxima = 0;
  for (const char* Texto : Terminos) {
    for (double Zoom : {1.0, 1.2, 1.2 * 1.2 * 1.2, 1 / 1.2}) {
      TTermino t(Texto);
      TDiagramaEntero d(t, Zoom);
      TBitmap Bitmap;
      Bitmap.SetSize(int(d.Ancho()), int(d.Alto()));
      TAgg2DPlus Agg;
      ASSERT_TRUE(Agg.attach(Bitmap, false));
      d.Dibuja(Agg);
      const std::string Base = ::testing::TempDir() + "diagrama_svg";
      {
        std::ofstream f(Base + ".svg", std::ios::binary);
        f << Svg(d);
      }
      ASSERT_EQ(std::system(("rsvg-convert -o '" + Base + ".png' '" + Base + ".svg'").c_str()), 0);
      int Ancho = 0, Alto = 0;
      std::vector<uint8_t> Raster = LeePNG(Base + ".png", Ancho, Alto);
      ASSERT_EQ(Ancho, Bitmap.Width()) << Texto;
      ASSERT_EQ(Alto, Bitmap.Height()) << Texto;
      double Suma = 0;
      int Maxima = 0;
      for (std::size_t i = 0; i < Raster.size(); ++i) {
        int dif = std::abs(int(Raster[i]) - int(Bitmap.Pixeles()[i]));
        Suma += dif;
        Maxima = std::max(Maxima, dif);
      }
      const double Media = Suma / double(Raster.size());
      EXPECT_LT(Media, 0.5) << Texto << " at zoom " << Zoom;
      EXPECT_LE(Maxima, 32) << Texto << " at zoom " << Zoom;
      PeorMedia = std::max(PeorMedia, Media);
      PeorMaxima = std::max(PeorMaxima, Maxima);
    }
  }
  std::cout << "SVG against bitmap: worst mean channel difference " << PeorMedia
            << ", worst largest " << PeorMaxima << "\n";
}

}  // namespace
