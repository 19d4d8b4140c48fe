#include "uPrograma.h"
#include "uVentPpal.h"

int main(int argc, char** argv) {
  TPrograma Aplicacion(argc, argv);
  // The workbench goes with the window, after the event loop has returned: a run-all loop
  // that the closing ended has left the stack by then.
  TVentPpal VentPpal;
  VentPpal.show();
  return Aplicacion.exec();
}
