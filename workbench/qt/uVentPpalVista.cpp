// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpalVista.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

#include "uAyuda.h"
#include "uCp1252.h"
#include "uLienzo.h"
#include "uLineaUnica.h"
#include "uMemo.h"
#include "uPasos.h"
#include "uPrograma.h"
#include "uVentPpal.h"

namespace {

std::string ACp1252(const QString& Texto) {
  return Utf8ACp1252(Texto.toStdString());
}

}  // namespace

TVistaVentana::TVistaVentana(TVentPpal& Ventana)
    : V(Ventana), FuenteMemo(TMesaTrabajo::FuenteInicial) {}

IVista::TEntrada TVistaVentana::Entrada() {
  return {ACp1252(V.edtEnt->text()), ACp1252(V.edtDef->text())};
}
void TVistaVentana::VaciaDef() {
  V.edtDef->clear();
}
void TVistaVentana::FijaEstado(const std::string& Texto) {
  V.Estado->setText(DeCp1252(Texto));
}
void TVistaVentana::FijaMemo(TTextoCompartido Texto) {
  V.Memo1->FijaTexto(std::move(Texto));
}
int TVistaVentana::TamanoFuenteMemo() {
  return FuenteMemo;
}
void TVistaVentana::FijaTamanoFuenteMemo(int Puntos) {
  // The count goes on as the workbench says; Qt only ever sees a size it can draw.
  FuenteMemo = Puntos;
  QFont f = V.Memo1->font();
  f.setPointSize(std::clamp(Puntos, 1, 1000));
  V.Memo1->setFont(f);
}
void TVistaVentana::Habilita(TBoton Boton, bool Habilitado) {
  (Boton == TBoton::Back ? V.btnBack : V.btnBeta)->setEnabled(Habilitado);
}
int TVistaVentana::PestanaActiva() {
  return V.PageControl1->currentIndex();
}
void TVistaVentana::RefrescaLienzo() {
  V.Lienzo->repaint();
}
void TVistaVentana::ProcesaEventos() {
  QCoreApplication::processEvents();
}
bool TVistaVentana::Dialogo(TDialogo Cual, std::string& Ruta) {
  return V.Dialogos.Elige(Cual, Ruta);
}
void TVistaVentana::MuestraError(const std::string& Mensaje) {
  MuestraCajaError(&V, DeCp1252(ConPuntoFinal(Mensaje)), Pintando > 0);
}
std::string TVistaVentana::SeparadorMillares() {
  return SeparadorDelLocale();
}
IVista::TRespuesta TVistaVentana::PreguntaGuardar(const std::string& Pregunta) {
  return V.Dialogos.PreguntaGuardar(DeCp1252(Pregunta));
}
void TVistaVentana::Cierra() {
  V.close();
}
void TVistaVentana::DefinicionesDeFichero(const std::string& Ruta) {
  const QString Nombre = QFileInfo(QFile::decodeName(QByteArray::fromStdString(Ruta))).fileName();
  V.setWindowTitle(QString::fromStdString(TituloVentana(Nombre.toStdString())));
}

void TVistaVentana::FijaLectura(const std::string& Texto) {
  QString t = DeCp1252(Texto);
  V.Lectura1->setText(t);
  V.Lectura1->setToolTip(t);
}
void TVistaVentana::DefinicionesCambiadas() {
  V.Menus.ReconstruyeDefiniciones();
}

void TVistaVentana::FijaResalte(const std::vector<TRango>& Rangos) {
  V.Memo1->FijaResalte(Rangos);
}
void TVistaVentana::PasosCambiados() {
  if (V.Pasos1) V.Pasos1->Actualiza();
}
void TVistaVentana::SeleccionaEnt(std::size_t Desde, std::size_t Hasta) {
  // One Windows-1252 byte is one character of the box.
  int n = V.edtEnt->text().size();
  int a = static_cast<int>(std::min<std::size_t>(Desde, n));
  int z = static_cast<int>(std::min<std::size_t>(std::max(Desde, Hasta), n));
  V.edtEnt->setSelection(a, z - a);
}
TAjustes TVistaVentana::Opciones() {
  return V.Menus.Opciones().Ajustes();
}
void TVistaVentana::EjerciciosCambiados() {
  V.EjerciciosV.Cambiados();
}
std::string TVistaVentana::ProgresoGuardado(const std::string& Leccion) {
  return V.EjerciciosV.Progreso(Leccion);
}
void TVistaVentana::FijaEstrategia(TEstrategia e) {
  V.EjerciciosV.FijaEstrategia(e);
}
