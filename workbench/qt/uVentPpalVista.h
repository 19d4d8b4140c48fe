// SPDX-License-Identifier: GPL-3.0-or-later
// The view interface on the main window's widgets: what TMesaTrabajo reads from them and shows on
// them, each call forwarded to the widget of its name.
#pragma once

#include <string>
#include <vector>

#include "vLambda.h"

class TVentPpal;

class TVistaVentana : public IVista {
 public:
  explicit TVistaVentana(TVentPpal& Ventana);

  TEntrada Entrada() override;
  void VaciaDef() override;
  void FijaEstado(const std::string& Texto) override;
  void FijaMemo(TTextoCompartido Texto) override;
  int TamanoFuenteMemo() override;
  void FijaTamanoFuenteMemo(int Puntos) override;
  void Habilita(TBoton Boton, bool Habilitado) override;
  int PestanaActiva() override;
  void RefrescaLienzo() override;
  void ProcesaEventos() override;
  bool Dialogo(TDialogo Cual, std::string& Ruta) override;
  void MuestraError(const std::string& Mensaje) override;
  std::string SeparadorMillares() override;
  TRespuesta PreguntaGuardar(const std::string& Pregunta) override;
  void Cierra() override;
  // The caption names the file.
  void DefinicionesDeFichero(const std::string& Ruta) override;
  void FijaLectura(const std::string& Texto) override;
  void DefinicionesCambiadas() override;
  // The next step shown, and where a failed entry is wrong.
  void FijaResalte(const std::vector<TRango>& Rangos) override;
  void SeleccionaEnt(std::size_t Desde, std::size_t Hasta) override;
  void PasosCambiados() override;
  TAjustes Opciones() override;
  void EjerciciosCambiados() override;
  std::string ProgresoGuardado(const std::string& Leccion) override;
  void FijaEstrategia(TEstrategia e) override;

  int Pintando = 0;  // inside LienzoPaint: an error box waits for the paint's end

 private:
  TVentPpal& V;
  int FuenteMemo;  // the size the workbench counts, which may be no size at all
};
