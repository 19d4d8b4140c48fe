// SPDX-License-Identifier: GPL-3.0-or-later
// The application: its default error handler and the error box.
#pragma once

#include <QApplication>
#include <QTranslator>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

class QMessageBox;

// An exception that leaves an event handler is shown in the error box here instead of crossing
// Qt's event loop; the window goes on working. By default Qt is given the program's name alone,
// so that it takes none of its options (-reverse, -qwindowtitle...) from a command line meant
// for something else. Qt's own texts (the file dialogs, the context menus) are in Spanish, whatever
// the user's locale.
class TPrograma : public QApplication {
  Q_OBJECT

 public:
  // With `OpcionesQt` Qt takes its own options (-platform...) out of the command line first, and
  // arguments() holds what is left: the program's start does that, to look for a file there.
  TPrograma(int& argc, char** argv, bool OpcionesQt = false);
  bool notify(QObject* Receptor, QEvent* Evento) override;

 private:
  QTranslator Traduccion;
};

// The caption of the error box.
extern const QString TituloPrograma;

// The program's title: the error box's caption, and the start of the window's.
extern const QString TituloPrograma;

// The error box: error icon, the caption TituloPrograma, the text (UTF-8 already, shown as plain
// text) and OK. Inside a paint the box waits for the event loop, so that no modal loop runs in a
// paint.
void MuestraCajaError(QWidget* Padre, const QString& Texto, bool Diferida = false);
// The box's text for an exception: its message with a full stop added after a letter or digit.
QString TextoError(const std::exception& e);
// A Windows-1252 text of the workbench, for a widget.
QString DeCp1252(std::string_view Texto);

// The thousands separator of the user's locale (QLocale()), in Windows-1252: the no-break space
// stands in for a narrow or thin space, which it cannot hold. Every number the window shows is
// grouped with it.
std::string SeparadorDelLocale();

// For tests: while set, the error box is handed here, ready, instead of being shown.
void FijaRespuestaCajaError(std::function<void(QMessageBox&)> Respuesta);
