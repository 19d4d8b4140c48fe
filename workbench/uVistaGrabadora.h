// SPDX-License-Identifier: GPL-3.0-or-later
// A view without widgets: it records what the commands set and answers from fields. lambda-cli,
// the tests and the benchmarks drive the workbench through it.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vLambda.h"

class TVistaGrabadora : public IVista {
 public:
  std::string Ent, Def, Estado;
  TTextoCompartido Forma = std::make_shared<const std::string>();  // Memo1's text
  int Fuente = TMesaTrabajo::FuenteInicial;
  bool Back = false;
  bool Beta = true;
  bool Multiple = false;
  TModo Modo;       // "Opciones > Estrategia" and "Reducción η"
  int Pestana = 1;  // the diagram tab is active at start
  int AnchoLienzo = 0, AltoLienzo = 0;
  std::string Separador = ".";
  // Answers of the file dialogs; none cancels.
  std::optional<std::string> RutaAbrir, RutaSalvar;
  std::optional<std::string> RutaDiagrama, RutaReduccion;  // the two export dialogs
  // The second panel, "Detener ∀β en un ciclo", and how often the definitions changed.
  std::string Lectura;
  bool DetenerCiclo = false;
  int CambiosDefiniciones = 0;
  bool Nombres = false;  // "Conservar los nombres"
  bool Pliega = false;   // "Mostrar los nombres de las definiciones"

  // What happened, for the tests.
  int Memos = 0, Refrescos = 0, Eventos = 0;
  std::function<void()> AlProcesarEventos, AlTerminarPasada;
  std::function<void(const std::string&)> AlMostrarError;
  std::string UltimoError;
  int Errores = 0;

  // The repaint goes through the workbench's paint handler, as a window's would.
  TMesaTrabajo* Mesa = nullptr;

  TEntrada Entrada() override { return {Ent, Def}; }
  void VaciaDef() override { Def.clear(); }
  void FijaEstado(const std::string& t) override { Estado = t; }
  const std::string& Memo() const { return *Forma; }
  void FijaMemo(TTextoCompartido t) override {
    Forma = std::move(t);
    ++Memos;
  }
  int TamanoFuenteMemo() override { return Fuente; }
  void FijaTamanoFuenteMemo(int p) override { Fuente = p; }
  void Habilita(TBoton b, bool h) override { (b == TBoton::Back ? Back : Beta) = h; }
  int PestanaActiva() override { return Pestana; }
  void RefrescaLienzo() override {
    ++Refrescos;
    if (Mesa) Mesa->LienzoPaint(AnchoLienzo, AltoLienzo);
  }
  void ProcesaEventos() override {
    ++Eventos;
    if (AlProcesarEventos && !Cede) AlProcesarEventos();
  }
  // Cede: as the browser's page, run-all waits between passes and the events come once the
  // command has returned. AtiendeEsperas gives them and goes on with the run, until it ends.
  bool Cede = false, EnEspera = false;
  bool CedeEntrePasadas() override { return EnEspera = Cede; }
  void AtiendeEsperas() {
    while (std::exchange(EnEspera, false)) {
      if (AlProcesarEventos) AlProcesarEventos();
      Mesa->ReanudaTodo();
    }
  }
  void PasadaHecha() override {
    if (AlTerminarPasada) AlTerminarPasada();
  }
  bool Dialogo(TDialogo Cual, std::string& Ruta) override {
    switch (Cual) {
      case TDialogo::Abrir:
        return Responde(RutaAbrir, Ruta);
      case TDialogo::Salvar:
        return Responde(RutaSalvar, Ruta);
      case TDialogo::ExportarDiagrama:
        return Responde(RutaDiagrama, Ruta);
      case TDialogo::ExportarReduccion:
        return Responde(RutaReduccion, Ruta);
    }
    return false;
  }
  void MuestraError(const std::string& m) override {
    UltimoError = m;
    ++Errores;
    if (AlMostrarError) AlMostrarError(m);
  }
  std::string SeparadorMillares() override { return Separador; }
  void FijaLectura(const std::string& t) override { Lectura = t; }
  void DefinicionesCambiadas() override { ++CambiosDefiniciones; }

  // The next step shown, and where a failed entry is wrong.
  std::vector<TRango> Resalte;
  bool Halo = false;
  bool Pasos = false;  // "Mostrar los pasos"
  int CambiosPasos = 0;
  void PasosCambiados() override { ++CambiosPasos; }
  std::optional<TRango> SeleccionEnt;
  void FijaResalte(const std::vector<TRango>& r) override { Resalte = r; }
  void SeleccionaEnt(std::size_t Desde, std::size_t Hasta) override {
    SeleccionEnt = TRango{Desde, Hasta};
  }
  // The menu as the fields say, set freely, even as its rules would not let them: the workbench
  // leaves aside what they grey out (η where the strategy has none, "Beta múltiple" outside the
  // classic mode).
  TAjustes Opciones() override {
    return {Modo, Multiple, Halo, DetenerCiclo, Pasos, Nombres, Pliega};
  }
  // The exercises' panel: its redraws counted, and the progress kept per lesson as a face's
  // settings would keep it.
  int CambiosEjercicios = 0;
  std::map<std::string, std::string> Progresos;
  void EjerciciosCambiados() override {
    ++CambiosEjercicios;
    if (Mesa && !Mesa->Practica.Leccion().empty())
      Progresos[Mesa->Practica.Leccion()] = Mesa->Practica.Ejercicios.ProgresoGuardado();
  }
  std::string ProgresoGuardado(const std::string& Leccion) override {
    auto i = Progresos.find(Leccion);
    return i == Progresos.end() ? std::string() : i->second;
  }
  void FijaEstrategia(TEstrategia e) override {
    Modo = TModo{e, false};
    Multiple = false;
  }

 private:
  static bool Responde(const std::optional<std::string>& Respuesta, std::string& Ruta) {
    if (!Respuesta) return false;
    Ruta = *Respuesta;
    return true;
  }
};
