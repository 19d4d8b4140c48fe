// SPDX-License-Identifier: GPL-3.0-or-later
#include "uEjercicios.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "uAyuda.h"
#include "uCp1252.h"
#include "uPrograma.h"

namespace {

QPushButton* Boton(const char* Texto, const char* Nombre, QWidget* Padre) {
  auto* b = new QPushButton(QString::fromUtf8(Texto), Padre);
  b->setObjectName(Nombre);
  return b;
}

}  // namespace

TPanelEjercicios::TPanelEjercicios(QWidget* Padre)
    : QDockWidget(QStringLiteral("Ejercicios"), Padre) {
  setObjectName("Ejercicios1");
  auto* Cuerpo = new QWidget(this);
  auto* Columna = new QVBoxLayout(Cuerpo);
  Lista = new QListWidget(Cuerpo);
  Lista->setObjectName("ListaEjercicios1");
  // Each statement whole, wrapped to the panel's width, its kind and progress below it.
  Lista->setWordWrap(true);
  Lista->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Enunciado = new QLabel(Cuerpo);
  Enunciado->setWordWrap(true);
  Enunciado->setTextFormat(Qt::PlainText);
  Respuesta1 = new QLineEdit(Cuerpo);
  Respuesta1->setObjectName("Respuesta1");
  auto* Botones = new QHBoxLayout;
  Comprobar1 = Boton("&Comprobar", "Comprobar1", Cuerpo);
  Empezar1 = Boton("&Empezar", "Empezar1", Cuerpo);
  Pista1 = Boton("&Pista", "Pista1", Cuerpo);
  Reiniciar1 = Boton("&Reiniciar", "Reiniciar1", Cuerpo);
  for (QPushButton* b : {Comprobar1, Empezar1, Pista1, Reiniciar1}) Botones->addWidget(b);
  Botones->addStretch();
  Resultado = new QLabel(Cuerpo);
  Resultado->setObjectName("ResultadoEjercicio1");
  Resultado->setWordWrap(true);
  Resultado->setTextFormat(Qt::PlainText);
  Resultado->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Columna->addWidget(Lista, 1);
  Columna->addWidget(Enunciado);
  Columna->addWidget(Respuesta1);
  Columna->addLayout(Botones);
  Columna->addWidget(Resultado);
  setWidget(Cuerpo);
  for (QWidget* w : {static_cast<QWidget*>(Lista), static_cast<QWidget*>(Respuesta1),
                     static_cast<QWidget*>(Comprobar1), static_cast<QWidget*>(Empezar1),
                     static_cast<QWidget*>(Pista1), static_cast<QWidget*>(Reiniciar1)}) {
    const TConsejo& c = ConsejoDe(w->objectName().toStdString());
    w->setToolTip(QString::fromUtf8(c.Consejo));
    w->setAccessibleName(QString::fromUtf8(c.Nombre));
    if (auto* Caja = qobject_cast<QLineEdit*>(w))
      Caja->setPlaceholderText(QString::fromUtf8(c.Indicacion));
  }

  connect(Lista, &QListWidget::currentRowChanged, this, [this](int Fila) {
    if (!Dibujando && Fila >= 0 && AlPulsar)
      AlPulsar(TAccionEjercicio::Muestra, std::size_t(Fila), {});
  });
  connect(Comprobar1, &QPushButton::clicked, this, [this] { Pulsa(TAccionEjercicio::Comprueba); });
  connect(Respuesta1, &QLineEdit::returnPressed, this,
          [this] { Pulsa(TAccionEjercicio::Comprueba); });
  connect(Empezar1, &QPushButton::clicked, this, [this] { Pulsa(TAccionEjercicio::Empieza); });
  connect(Pista1, &QPushButton::clicked, this, [this] { Pulsa(TAccionEjercicio::Pista); });
  connect(Reiniciar1, &QPushButton::clicked, this, [this] { Pulsa(TAccionEjercicio::Reinicia); });
}

void TPanelEjercicios::Pulsa(TAccionEjercicio a) {
  if (!AlPulsar || Lista->currentRow() < 0) return;
  std::string NoCabe;
  std::string Texto = Utf8ACp1252(Respuesta1->text().toStdString(), &NoCabe);
  if (!NoCabe.empty()) Texto.clear();
  AlPulsar(a, std::size_t(Lista->currentRow()), Texto);
}

void TPanelEjercicios::Dibuja(const TPractica& p) {
  Dibujando = true;
  const std::vector<TPractica::TFila> Filas = p.Filas();
  Lista->clear();
  for (std::size_t i = 0; i < Filas.size(); ++i) {
    const TPractica::TFila& f = Filas[i];
    auto* Elemento = new QListWidgetItem(QString::number(i + 1) + ". " + DeCp1252(f.Enunciado) +
                                             "\n" + DeCp1252(f.Tipo) + " · " + DeCp1252(f.Estado),
                                         Lista);
    Elemento->setToolTip(DeCp1252(f.Enunciado));
    if (f.Resuelto) Elemento->setForeground(QColor(0, 110, 0));
  }
  const bool Hay = !Filas.empty();
  if (Hay) Lista->setCurrentRow(int(std::min(p.Mostrado(), Filas.size() - 1)));
  Dibujando = false;
  const TTipoEjercicio Tipo =
      Hay ? p.Ejercicios.Ejercicios()[p.Mostrado()].Tipo : TTipoEjercicio::Definir;
  Enunciado->setText(Hay ? DeCp1252(Filas[p.Mostrado()].Enunciado) : QString());
  Respuesta1->setVisible(Hay && Tipo == TTipoEjercicio::Normal);
  Comprobar1->setVisible(Tipo != TTipoEjercicio::Reducir);
  Empezar1->setVisible(Tipo == TTipoEjercicio::Reducir);
  for (QPushButton* b : {Comprobar1, Empezar1, Pista1, Reiniciar1})
    b->setEnabled(Hay && !p.Comprobando());
  QStringList Lineas;
  for (const std::string& l : p.Resultado()) Lineas << DeCp1252(l);
  Resultado->setText(Lineas.join('\n'));
}
