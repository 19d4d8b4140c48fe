// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLecciones.h"

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>

void LlenaLecciones(QMenu* Menu,
                    std::function<void(const std::string& Nombre, const std::string& Bytes)> Abre) {
  QFile Indice(QStringLiteral(":/lecciones/indice.json"));
  if (!Indice.open(QIODevice::ReadOnly)) return;
  const QJsonArray Lista = QJsonDocument::fromJson(Indice.readAll()).array();
  for (const QJsonValue& v : Lista) {
    const QString Fichero = v.toObject().value("fichero").toString();
    QAction* a = Menu->addAction(v.toObject().value("titulo").toString());
    a->setObjectName("Leccion_" + Fichero);
    QObject::connect(a, &QAction::triggered, Menu, [Fichero, Abre] {
      QFile f(":/lecciones/" + Fichero);
      if (f.open(QIODevice::ReadOnly)) Abre(Fichero.toStdString(), f.readAll().toStdString());
    });
  }
}
