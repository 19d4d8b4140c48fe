// SPDX-License-Identifier: GPL-3.0-or-later
// "Comparar estrategias": the current term reduced under every strategy, in slices of the
// window's own thread between its events, and a table of where each road ended.
#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QTableWidget;
class TSesionComparacion;
class TDefiniciones;
class TExprLambda;

class TDialogoComparar : public QDialog {
  Q_OBJECT

 public:
  explicit TDialogoComparar(QWidget* Padre);
  ~TDialogoComparar() override;

  // A new comparison of copies of `Termino` and of the definitions (the window goes on with its
  // own), with η as `Eta` says where it applies; the numbers are grouped with `Separador`
  // (Windows-1252). Whatever ran before is dropped.
  void Empieza(TExprLambda* Termino, const TDefiniciones& Definiciones, bool Eta,
               std::string Separador);
  // "Detener": the rows not ended say they were stopped.
  void Detiene();
  // Stops and frees the comparison, its copies and its terms; so does its end, and a close.
  void Termina();
  bool EnMarcha() const { return Sesion != nullptr; }
  // Asked before each slice: false while the window must not be touched (its events answered
  // from inside a view update, which may be reading the free variables the copies share).
  std::function<bool()> PuedeAvanzar;

  QTableWidget* Tabla;
  QPushButton* btnDetener;
  QLabel* Situacion;
  QLabel* EtiquetaTermino;  // which term is compared

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  void Avanza();
  void MuestraFilas();
  void Acaba();

  QTimer Reloj;
  std::unique_ptr<TSesionComparacion> Sesion;
};
