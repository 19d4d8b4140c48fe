// SPDX-License-Identifier: GPL-3.0-or-later
#include "uExporta.h"

#include <algorithm>
#include <cctype>

#include "uCp1252.h"
#include "uDiagrama.h"
#include "uFichero.h"
#include "uLambda.h"
#include "uPng.h"
#include "uSvg.h"
#include "uTextos.h"
#include "uTraza.h"

bool EsNombrePng(const std::string& Ruta) {
  if (Ruta.size() < 4) return false;
  std::string Fin = Ruta.substr(Ruta.size() - 4);
  std::transform(Fin.begin(), Fin.end(), Fin.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return Fin == ".png";
}

void ExportaDiagrama(TExprLambda* Actual, double Zoom, const std::string& Ruta,
                     std::size_t LimiteNodos, std::string_view Separador) {
  if (Actual == nullptr) throw EConMensaje(Mensajes::NoHayActual);
  const bool Png = EsNombrePng(Ruta);
  if (!Png) LimiteNodos = std::min(LimiteNodos, LimiteNodosSvg);
  // Every refusal comes before the file is touched.
  if (CuentaNodos(Actual, LimiteNodos, {}) > LimiteNodos)
    throw EConMensaje(
        Mensajes::DiagramaDemasiadoGrandeExportar(LimiteNodos, Mensajes::Nodos, Separador));
  TDiagramaEntero Diagrama(Actual, Zoom);
  if (!Png) {
    EscribeFichero(Ruta, [&](const TSumidero& Escribe) { EscribeSvg(Diagrama, Escribe); });
    return;
  }
  const double Ancho = Diagrama.Ancho(), Alto = Diagrama.Alto();
  if (!(Ancho * Alto <= double(LimitePixelesPng)) || Ancho > TAgg2D::LadoMaximo ||
      Alto > TAgg2D::LadoMaximo)
    throw EConMensaje(
        Mensajes::DiagramaDemasiadoGrandeExportar(LimitePixelesPng, Mensajes::Pixeles, Separador));
  std::string Bytes, Error;
  {
    TBitmap Bitmap;
    Bitmap.SetSize(int(Ancho), int(Alto));
    TAgg2D Agg;
    Agg.attach(Bitmap, false);
    Diagrama.Dibuja(Agg);
    if (!CodificaPNG(Bitmap, Bytes, Error)) throw EConMensaje(Error);
  }
  EscribeFichero(Ruta, Bytes);
}

void ExportaReduccion(const TTraza& Traza, bool MultipleAhora, const std::string& Ruta,
                      TModo ModoAhora, bool ConMarcas) {
  if (!Traza.Activa()) throw EConMensaje(Mensajes::NoHayActual);
  EscribeFichero(Ruta, Cp1252AUtf8(Traza.Texto(MultipleAhora, ModoAhora, ConMarcas)));
}
