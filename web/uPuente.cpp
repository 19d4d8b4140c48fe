// SPDX-License-Identifier: GPL-3.0-or-later
// The page's workbench: a TMesaTrabajo driven from JavaScript, in the page's Web Worker, through
// an IVista whose widgets are the page's. Texts cross as UTF-8 (the workbench's Windows-1252 is
// converted here); every view call becomes a message to the page (trabajador.js, `Vista`).
// Run-all answers the page between its passes: ProcesaEventos suspends the workbench (asyncify)
// until the worker has handled the messages waiting, the stop among them.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "uCp1252.h"
#include "uEstrategia.h"
#include "vLambda.h"

// The page's side, in biblioteca.js.
extern "C" {
void web_vista(int Que, const char* Texto, int Numero);
void web_resalte(const int32_t* Rangos, int n);
void web_lienzo(const uint8_t* Pixeles, int Ancho, int Alto);
void web_cede();
}

namespace {

// What web_vista's first argument says.
enum TQue { qEstado, qMemo, qFuente, qBack, qBeta, qError, qLectura, qVaciaDef, qDefiniciones };

class TVistaWeb : public IVista {
 public:
  std::string Ent, Def, Separador = ".", RutaDialogo;
  int Fuente = TMesaTrabajo::FuenteInicial, Pestana = 0;
  bool Multiple = false, Ciclo = false, Halo = false;
  TModo Modo;
  TMesaTrabajo* Mesa = nullptr;
  int AnchoLienzo = 0, AltoLienzo = 0;

  std::string TextoEnt() override { return Ent; }
  std::string TextoDef() override { return Def; }
  void VaciaDef() override {
    Def.clear();
    web_vista(qVaciaDef, "", 0);
  }
  void FijaEstado(const std::string& t) override { Envia(qEstado, t); }
  void FijaMemo(TTextoCompartido t) override { Envia(qMemo, *t); }
  int TamanoFuenteMemo() override { return Fuente; }
  void FijaTamanoFuenteMemo(int p) override {
    Fuente = p;
    web_vista(qFuente, "", p);
  }
  void HabilitaBack(bool h) override { web_vista(qBack, "", h); }
  void HabilitaBeta(bool h) override { web_vista(qBeta, "", h); }
  bool BetaMultiple() override { return Multiple; }
  int PestanaActiva() override { return Pestana; }
  void RefrescaLienzo() override {
    if (!Mesa || AnchoLienzo <= 0 || AltoLienzo <= 0) return;
    Mesa->LienzoPaint(AnchoLienzo, AltoLienzo);
    const TBitmap& b = Mesa->Bitmap;
    if (b.Pixeles()) web_lienzo(b.Pixeles(), b.Width(), b.Height());
  }
  void ProcesaEventos() override { web_cede(); }
  // The page hands a file over before it opens it, and fetches the one written after a save.
  bool DialogoAbrir(std::string& Ruta) override { return Dialogo(Ruta); }
  bool DialogoSalvar(std::string& Ruta) override { return Dialogo(Ruta); }
  bool DialogoExportarDiagrama(std::string& Ruta) override { return Dialogo(Ruta); }
  bool DialogoExportarReduccion(std::string& Ruta) override { return Dialogo(Ruta); }
  void MuestraError(const std::string& m) override { Envia(qError, m); }
  std::string SeparadorMillares() override { return Separador; }
  void FijaLectura(const std::string& t) override { Envia(qLectura, t); }
  bool DetenerEnCiclo() override { return Ciclo; }
  void DefinicionesCambiadas() override { web_vista(qDefiniciones, "", 0); }
  void FijaResalte(const std::vector<TRango>& r) override {
    // Texts here stay far below 2 GiB: the memory's own limit.
    std::vector<int32_t> v;
    v.reserve(r.size() * 2);
    for (const TRango& x : r) v.insert(v.end(), {int32_t(x.Desde), int32_t(x.Hasta)});
    web_resalte(v.data(), int(r.size()));
  }
  bool HaloDiagrama() override { return Halo; }
  TModo ModoReduccion() override { return Modo; }

 private:
  bool Dialogo(std::string& Ruta) {
    if (RutaDialogo.empty()) return false;
    Ruta = std::exchange(RutaDialogo, {});
    return true;
  }
  void Envia(TQue q, const std::string& Cp1252) {
    const std::string u = Cp1252AUtf8(Cp1252);
    web_vista(q, u.c_str(), int(u.size()));
  }
};

TVistaWeb Vista;
std::unique_ptr<TMesaTrabajo> Mesa;
std::string Devuelto;  // a text handed back to the page, alive until the next call

}  // namespace

// The page's side: the boxes' texts and the options before every command, then the command.
extern "C" {

EMSCRIPTEN_KEEPALIVE void web_crea(const char* Separador) {
  Vista.Separador = Utf8ACp1252(Separador);
  Mesa = std::make_unique<TMesaTrabajo>(Vista);
  Vista.Mesa = Mesa.get();
  Mesa->FijaIntervalo(1.0 / 60);
  Mesa->FormCreate();
}

// The character of the expression box that Windows-1252 cannot hold, or empty: the page refuses
// the Enter with its message.
EMSCRIPTEN_KEEPALIVE const char* web_cajas(const char* Ent, const char* Def) {
  std::string NoCabe;
  Vista.Ent = Utf8ACp1252(Ent, &NoCabe);
  if (NoCabe.empty()) Vista.Def = Utf8ACp1252(Def, &NoCabe);
  Devuelto = NoCabe;
  return Devuelto.c_str();
}

EMSCRIPTEN_KEEPALIVE void web_opciones(int Multiple, int Pestana, int Ciclo, int Halo,
                                       int Estrategia, int Eta) {
  Vista.Multiple = Multiple;
  Vista.Pestana = Pestana;
  Vista.Ciclo = Ciclo;
  Vista.Halo = Halo;
  Vista.Modo.Estrategia = Estrategias[Estrategia];
  Vista.Modo.Eta = Eta && AdmiteEta(Vista.Modo.Estrategia);
}

EMSCRIPTEN_KEEPALIVE void web_lienzo_tamano(int Ancho, int Alto, double Escala) {
  Vista.AnchoLienzo = Ancho;
  Vista.AltoLienzo = Alto;
  Mesa->FijaEscala(Escala);
}

// A path in the worker's memory file system that the next dialog answers with.
EMSCRIPTEN_KEEPALIVE void web_ruta(const char* Ruta) {
  Vista.RutaDialogo = Ruta;
}

EMSCRIPTEN_KEEPALIVE void web_orden(int Orden, double a, double b, double c) {
  TMesaTrabajo& m = *Mesa;
  switch (Orden) {
    case 0:
      m.edtEntKeyPress(char(a));
      break;
    case 1:
      m.btnBetaClick();
      break;
    case 2:
      m.btnBackClick();
      break;
    case 3:
      m.btnBetaAllClick();
      break;
    case 4:
      m.UpDown1ChangingEx(a > 0 ? updUp : updDown);
      break;
    case 5:
      m.PageControl1Change();
      break;
    case 6:
      m.Abrir1Click();
      break;
    case 7:
      m.Salvar1Click();
      break;
    case 8:
      m.ExportarDiagrama1Click();
      break;
    case 9:
      m.ExportarReduccion1Click();
      break;
    case 10:
      m.LienzoArrastra(a, b);
      break;
    case 11:
      m.LienzoMouseWheel(a > 0 ? updUp : updDown, b, c);
      break;
    case 12:
      m.LienzoDblClick();
      break;
    case 13:
      m.AjustarDiagrama1Click();
      break;
    case 14:
      m.OpcionesClick();
      break;
    case 15:
      m.ContraeRedex(std::size_t(a));
      break;
    default:
      Vista.RefrescaLienzo();
      break;  // the canvas's new size
  }
}

// Byte Pos of the text shown: the redex under it, or -1.
EMSCRIPTEN_KEEPALIVE int web_redex_en(double Pos) {
  return int(Mesa->RedexEn(int64_t(Pos)));
}
// Every redex's three ranges, as FijaResalte's, for the hover.
EMSCRIPTEN_KEEPALIVE void web_rangos() {
  Vista.FijaResalte(Mesa->RangosRedex());
}

EMSCRIPTEN_KEEPALIVE int web_num_definiciones() {
  return int(Mesa->Definiciones.Cuenta());
}
EMSCRIPTEN_KEEPALIVE const char* web_definicion(int i) {
  Devuelto = Cp1252AUtf8(Mesa->Definiciones[std::size_t(i)].Nombre);
  return Devuelto.c_str();
}
// "Opciones > Estrategia", in the menu's order.
EMSCRIPTEN_KEEPALIVE const char* web_estrategia(int i) {
  Devuelto = Cp1252AUtf8(NombreEstrategia(Estrategias[i]));
  return Devuelto.c_str();
}
EMSCRIPTEN_KEEPALIVE int web_ejecutando() {
  return Mesa->Ejecutando;
}
EMSCRIPTEN_KEEPALIVE int web_sin_guardar() {
  return Mesa->SinGuardar();
}
}
