// SPDX-License-Identifier: GPL-3.0-or-later
#include "uVentPpalEjercicios.h"

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

void TEjerciciosVentana::Crea() {
  auto* p = new TPanelEjercicios(&V);
  V.Ejercicios1 = p;
  p->setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
  p->setFont(V.font());
  V.addDockWidget(Qt::RightDockWidgetArea, p);
  p->hide();
  V.MostrarEjercicios1 = p->toggleViewAction();
  V.MostrarEjercicios1->setText(QStringLiteral("Mostrar los e&jercicios"));
  V.MostrarEjercicios1->setObjectName("MostrarEjercicios1");
  V.Pciones1->insertAction(V.Centrar1, V.MostrarEjercicios1);
  p->AlPulsar = [this](TAccionEjercicio a, std::size_t i, const std::string& Texto) {
    V.Orden([&](TMesaTrabajo& m) { m.Ejercicio(a, i, Texto); });
  };
  V.Lecciones1 = new QMenu(QStringLiteral("&Lecciones"), &V);
  V.Lecciones1->setObjectName("Lecciones1");
  V.MainMenu1->insertMenu(V.Ayuda1->menuAction(), V.Lecciones1);
  LlenaLecciones(V.Lecciones1, [this](const std::string& Nombre, const std::string& Bytes) {
    V.Orden([&](TMesaTrabajo& m) { m.AbreLeccion(Nombre, Bytes); });
  });
}

void TEjerciciosVentana::Cambiados() {
  if (!V.MesaTrabajo || !V.Ejercicios1) return;
  const TPractica& p = V.MesaTrabajo->Practica;
  // A lesson newly open shows its exercises, or hides the panel when it has none.
  const QString Leccion = QString::fromStdString(p.Leccion());
  const bool Nueva = V.Ejercicios1->property("leccion").toString() != Leccion;
  V.Ejercicios1->setProperty("leccion", Leccion);
  V.Ejercicios1->Dibuja(p);
  if (Nueva) V.Ejercicios1->setVisible(!p.Filas().empty());
  if (!p.Leccion().empty())
    Ajustes().setValue(Clave(p.Leccion()), QString::fromStdString(p.Ejercicios.ProgresoGuardado()));
}

std::string TEjerciciosVentana::Progreso(const std::string& Leccion) {
  return Ajustes().value(Clave(Leccion)).toString().toStdString();
}

void TEjerciciosVentana::FijaEstrategia(TEstrategia e) {
  V.Menus.SigueEstrategia(e);
}
