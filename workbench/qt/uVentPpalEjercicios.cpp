// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of the lesson's exercises: the dock, "Lecciones", and the progress kept in the
// program's settings under each lesson's name.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "uEjercicios.h"
#include "uLecciones.h"
#include "uVentPpal.h"

namespace {

QSettings Ajustes() {
  return QSettings(QStringLiteral("calculo-lambda"), QStringLiteral("lambda"));
}
QString Clave(const std::string& Leccion) {
  return "Ejercicios/" + QString::fromStdString(Leccion);
}

}  // namespace

// Beside the views, hidden until a lesson with exercises opens; "Lecciones" before "Ayuda".
void TVentPpal::CreaEjercicios() {
  Ejercicios1 = new TPanelEjercicios(this);
  Ejercicios1->setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
  Ejercicios1->setFont(font());
  addDockWidget(Qt::RightDockWidgetArea, Ejercicios1);
  Ejercicios1->hide();
  MostrarEjercicios1 = Ejercicios1->toggleViewAction();
  MostrarEjercicios1->setText(QStringLiteral("Mostrar los e&jercicios"));
  MostrarEjercicios1->setObjectName("MostrarEjercicios1");
  Pciones1->insertAction(Centrar1, MostrarEjercicios1);
  Ejercicios1->AlPulsar = [this](TAccionEjercicio a, std::size_t i, const std::string& Texto) {
    if (MesaTrabajo) MesaTrabajo->Ejercicio(a, i, Texto);
  };
  Lecciones1 = new QMenu(QStringLiteral("&Lecciones"), this);
  Lecciones1->setObjectName("Lecciones1");
  MainMenu1->insertMenu(Ayuda1->menuAction(), Lecciones1);
  LlenaLecciones(Lecciones1, [this](const std::string& Nombre, const std::string& Bytes) {
    if (MesaTrabajo) MesaTrabajo->AbreLeccion(Nombre, Bytes);
  });
}

void TVentPpal::EjerciciosCambiados() {
  if (!MesaTrabajo || !Ejercicios1) return;
  const TPractica& p = MesaTrabajo->Practica;
  // A lesson newly open shows its exercises, or hides the panel when it has none.
  const QString Leccion = QString::fromStdString(p.Leccion());
  const bool Nueva = Ejercicios1->property("leccion").toString() != Leccion;
  Ejercicios1->setProperty("leccion", Leccion);
  Ejercicios1->Dibuja(p);
  if (Nueva) Ejercicios1->setVisible(!p.Filas().empty());
  if (!p.Leccion().empty())
    Ajustes().setValue(Clave(p.Leccion()), QString::fromStdString(p.Ejercicios.ProgresoGuardado()));
}

std::string TVentPpal::ProgresoGuardado(const std::string& Leccion) {
  return Ajustes().value(Clave(Leccion)).toString().toStdString();
}

void TVentPpal::FijaEstrategia(TEstrategia e) {
  Opciones_.Elige(e);
  Opciones_.Marca(TOpcion::Eta, false);
  Opciones_.Marca(TOpcion::Multiple, false);
  PintaOpciones();
}
