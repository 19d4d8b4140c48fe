// SPDX-License-Identifier: GPL-3.0-or-later
// "Pasos": the dock listing the expression typed and every term since the last Enter, one line
// each, the redex contracted from it marked in the highlight's colours and how it was chosen
// beside it. A click on a line, or Up/Down, makes its term current.
#pragma once

#include <QAbstractListModel>
#include <QDockWidget>
#include <QStyledItemDelegate>
#include <functional>
#include <vector>

#include "uFilasPasos.h"

class QListView;

// The rows, as the workbench makes them (uFilasPasos.h). A row holds a line's index, checked
// against its step when read: the record may move on between two rebuilds.
class TModeloPasos : public QAbstractListModel {
  Q_OBJECT

 public:
  using TTipo = TFilaPasos::TTipo;
  using TFila = TFilaPasos;
  explicit TModeloPasos(const TTraza& Traza, QObject* Padre = nullptr)
      : QAbstractListModel(Padre), Traza(Traza) {}
  void Reconstruye();
  int rowCount(const QModelIndex& Padre = {}) const override;
  QVariant data(const QModelIndex& i, int Rol) const override;
  Qt::ItemFlags flags(const QModelIndex& i) const override;
  // The row of the current line, and the line of a row (npos for any other row).
  int FilaActual() const;
  std::size_t LineaDe(int Fila) const;
  const TFila& Fila(int f) const { return Filas[static_cast<std::size_t>(f)]; }
  // Characters of the longest row, with its number and how its step was taken: every row is
  // that wide, and the list scrolls sideways to its end.
  std::size_t Columnas() const { return Columnas_; }
  const TTraza& Traza;

 private:
  std::vector<TFila> Filas;
  std::size_t Columnas_ = 0;
};

class TPanelPasos : public QDockWidget {
  Q_OBJECT

 public:
  TPanelPasos(const TTraza& Traza, QWidget* Padre);
  // The record changed: the rows again, the current one selected and in sight. Hidden, the
  // panel only notes it, and catches up when shown.
  void Actualiza();
  // A line made current by the user.
  std::function<void(std::size_t)> AlElegir;
  // Below the views, the panel asks for no more than this share of the screen's height, so that
  // on a small or scaled screen the views keep most of the window.
  static constexpr double PartePantalla = 0.3;
  QListView* Lista;
  TModeloPasos* Modelo;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  bool Pendiente = true;
  bool Fijando = false;  // the selection moved by Actualiza, not by the user
};
