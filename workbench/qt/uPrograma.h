// The application: its default error handler and the error box.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

class QMessageBox;

// An exception that leaves an event handler is shown in the error box here instead of crossing
// Qt's event loop; the window goes on working.
class TPrograma : public QApplication {
  Q_OBJECT

 public:
  TPrograma(int& argc, char** argv);
  bool notify(QObject* Receptor, QEvent* Evento) override;
};

// The error box: error icon, the application's title as caption, the text (UTF-8 already) and
// OK. Inside a paint the box waits for the event loop, so that no modal loop runs in a paint.
void MuestraCajaError(QWidget* Padre, const QString& Texto, bool Diferida = false);
// The box's text for an exception: its message with a full stop added after a letter or digit.
QString TextoError(const std::exception& e);

// For tests: while set, the error box is handed here, ready, instead of being shown.
void FijaRespuestaCajaError(std::function<void(QMessageBox&)> Respuesta);
