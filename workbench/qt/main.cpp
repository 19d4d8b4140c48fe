// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTimer>
#include <cstdio>

#include "uPrograma.h"
#include "uVentPpal.h"

int main(int argc, char** argv) {
  TPrograma Aplicacion(argc, argv, true);
  // Once Qt has taken its own options, at most one argument is left: a definitions file to open,
  // as the desktop entry hands it over from a file manager.
  const QStringList Argumentos = QCoreApplication::arguments();
  if (Argumentos.size() > 2) {
    std::fputs("uso: lambda [FICHERO_DE_DEFINICIONES]\n", stderr);
    return 2;
  }
  // The workbench goes with the window, after the event loop has returned: a run-all loop
  // that the closing ended has left the stack by then.
  TVentPpal VentPpal;
  VentPpal.Menus.RecuerdaOpciones();
  VentPpal.show();
  // Opened once the loop runs, so that an error box stands over the window.
  if (Argumentos.size() == 2)
    QTimer::singleShot(0, &VentPpal, [&] { VentPpal.AbreAlEmpezar(Argumentos[1]); });
  return Aplicacion.exec();
}
