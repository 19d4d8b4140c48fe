// SPDX-License-Identifier: GPL-3.0-or-later
#include "uComparar.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>
#include <iterator>

#include "uComparacion.h"
#include "uCp1252.h"
#include "uDefiniciones.h"
#include "uEstrategia.h"
#include "uLambda.h"
#include "uPrograma.h"
#include "uTextos.h"

namespace {

enum { ColEstrategia, ColReducciones, ColForma, ColResultado, Columnas };

// Characters of a printed form shown in its cell; the view elides what does not fit.
constexpr std::size_t InicioTexto = 200;

void PonCelda(QTableWidget* t, int Fila, int Col, const QString& Texto) {
  QTableWidgetItem* c = t->item(Fila, Col);
  if (c->text() == Texto) return;
  c->setText(Texto);
  c->setToolTip(Texto);
}

}  // namespace

TDialogoComparar::TDialogoComparar(QWidget* Padre) : QDialog(Padre) {
  setObjectName("DialogoComparar");
  setWindowTitle(QStringLiteral("Comparar estrategias"));
  setMinimumSize(640, 300);
  resize(820, 330);

  Tabla = new QTableWidget(int(std::size(Estrategias)), Columnas, this);
  Tabla->setObjectName("TablaComparacion");
  Tabla->setHorizontalHeaderLabels({QStringLiteral("Estrategia"), QStringLiteral("Reducciones"),
                                    QStringLiteral("Forma alcanzada"),
                                    QStringLiteral("Resultado")});
  Tabla->verticalHeader()->hide();
  Tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
  Tabla->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Tabla->horizontalHeader()->setStretchLastSection(true);
  for (int i = 0; i < Tabla->rowCount(); ++i) {
    for (int c = 0; c < Columnas; ++c) Tabla->setItem(i, c, new QTableWidgetItem);
    Tabla->item(i, ColEstrategia)->setText(DeCp1252(NombreEstrategia(Estrategias[i])));
    Tabla->item(i, ColReducciones)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }

  Situacion = new QLabel(this);
  Situacion->setObjectName("SituacionComparacion");
  auto* Botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* Cerrar = Botones->button(QDialogButtonBox::Close);
  Cerrar->setText(QStringLiteral("&Cerrar"));
  // Enter or Escape closes it, and no cell of the table looks chosen.
  Cerrar->setDefault(true);
  Cerrar->setFocus();
  btnDetener = Botones->addButton(QStringLiteral("&Detener"), QDialogButtonBox::ActionRole);
  btnDetener->setObjectName("btnDetener");
  connect(Botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(btnDetener, &QPushButton::clicked, this, [this] { Detiene(); });

  // Which term: the current one, which may be some steps after the one entered. A long one must
  // not widen the dialog; its whole text is the tooltip.
  EtiquetaTermino = new QLabel(this);
  EtiquetaTermino->setObjectName("TerminoComparado");
  EtiquetaTermino->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* Columna = new QVBoxLayout(this);
  Columna->addWidget(EtiquetaTermino);
  Columna->addWidget(Tabla, 1);
  Columna->addWidget(Situacion);
  Columna->addWidget(Botones);

  // Interval 0: a slice at every turn of the event loop, after the window's own events.
  Reloj.setInterval(0);
  connect(&Reloj, &QTimer::timeout, this, [this] { Avanza(); });
}

TDialogoComparar::~TDialogoComparar() = default;

void TDialogoComparar::Empieza(TExprLambda* t, const TDefiniciones& d, bool Eta, std::string Sep) {
  Termina();
  Sesion = std::make_unique<TSesionComparacion>(t, d, Eta, std::move(Sep));
  EtiquetaTermino->setText(DeCp1252(Sesion->TextoTermino(InicioTexto)));
  EtiquetaTermino->setToolTip(DeCp1252(Sesion->TextoTermino(2000)));
  MuestraFilas();
  btnDetener->setEnabled(true);
  Reloj.start();
}

void TDialogoComparar::Avanza() {
  if (!Sesion) return Reloj.stop();
  if (PuedeAvanzar && !PuedeAvanzar()) return;
  const bool Sigue = Sesion->Avanza();
  MuestraFilas();
  if (!Sigue) Acaba();
}

void TDialogoComparar::Detiene() {
  if (!Sesion) return;
  Sesion->Para();
  MuestraFilas();
  Acaba();
}

// The table keeps what it shows; the terms go at once.
void TDialogoComparar::Acaba() {
  Situacion->setText(DeCp1252(Sesion->Situacion()));
  Termina();
}

void TDialogoComparar::Termina() {
  Reloj.stop();
  btnDetener->setEnabled(false);
  Sesion.reset();  // the comparison first, then the copies it reads
}

void TDialogoComparar::MuestraFilas() {
  const std::vector<TSesionComparacion::TCeldas> Filas = Sesion->Celdas(InicioTexto);
  for (int i = 0; i < int(Filas.size()) && i < Tabla->rowCount(); ++i) {
    const TSesionComparacion::TCeldas& f = Filas[std::size_t(i)];
    PonCelda(Tabla, i, ColReducciones, DeCp1252(f.Reducciones));
    PonCelda(Tabla, i, ColForma, DeCp1252(f.Forma));
    PonCelda(Tabla, i, ColResultado, DeCp1252(f.Resultado));
  }
  Situacion->setText(DeCp1252(Sesion->Situacion()));
}

void TDialogoComparar::hideEvent(QHideEvent* e) {
  // Closed, not minimised: nothing goes on behind a dialog that is gone.
  if (!e->spontaneous()) Termina();
  QDialog::hideEvent(e);
}
