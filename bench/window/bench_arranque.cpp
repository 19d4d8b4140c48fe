// SPDX-License-Identifier: GPL-3.0-or-later
// Time from process start to the first painted window: the program starts itself again and
// again as a child, which builds the window as the real program does and writes one byte as
// soon as the window has been painted. Usage: bench_arranque [runs]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "uLienzo.h"
#include "uPrograma.h"
#include "uVentPpal.h"

extern char** environ;

namespace {

constexpr double Objetivo = 300;  // ms

// The window's first paint is over once the event loop runs again after it.
class TVigia : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && !Visto) {
      Visto = true;
      QTimer::singleShot(0, [] {
        if (write(STDOUT_FILENO, "1", 1) != 1) std::_Exit(2);
        std::_Exit(0);
      });
    }
    return false;
  }
  bool Visto = false;
};

int Hijo(int argc, char** argv) {
  TPrograma Aplicacion(argc, argv);
  TVentPpal VentPpal;
  TVigia Vigia;
  VentPpal.Lienzo->installEventFilter(&Vigia);
  VentPpal.show();
  return Aplicacion.exec();
}

// Milliseconds from spawning the child to its byte; negative on failure.
double Una(const char* Programa) {
  int Tubo[2];
  if (pipe(Tubo) != 0) return -1;
  posix_spawn_file_actions_t Acciones;
  posix_spawn_file_actions_init(&Acciones);
  posix_spawn_file_actions_adddup2(&Acciones, Tubo[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&Acciones, Tubo[0]);
  char Arg0[] = "bench_arranque", Arg1[] = "--hijo";
  char* Args[] = {Arg0, Arg1, nullptr};
  auto Inicio = std::chrono::steady_clock::now();
  pid_t Pid;
  int r = posix_spawn(&Pid, Programa, &Acciones, nullptr, Args, environ);
  posix_spawn_file_actions_destroy(&Acciones);
  close(Tubo[1]);
  double Ms = -1;
  char c;
  if (r == 0 && read(Tubo[0], &c, 1) == 1)
    Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Inicio)
             .count();
  close(Tubo[0]);
  int Estado = 0;
  if (r == 0) waitpid(Pid, &Estado, 0);
  return Ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--hijo") == 0) return Hijo(argc, argv);
  int Veces = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  // Without a display the window is painted on the offscreen platform.
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", PANTALLA_OFFSCREEN, 1);
  std::vector<double> Tiempos;
  Una("/proc/self/exe");  // the first run loads the libraries from disk
  for (int i = 0; i < Veces; ++i) {
    double Ms = Una("/proc/self/exe");
    if (Ms < 0) {
      std::fprintf(stderr, "the child did not paint its window\n");
      return 1;
    }
    Tiempos.push_back(Ms);
  }
  std::sort(Tiempos.begin(), Tiempos.end());
  double Mediana = Tiempos[Tiempos.size() / 2];
  const char* Plataforma = std::getenv("QT_QPA_PLATFORM");
  std::printf(
      "start to first painted window (%s, %d runs): min %.1f ms, median %.1f ms, max %.1f ms"
      " (target %.0f ms: %s)\n",
      Plataforma ? Plataforma : "xcb", Veces, Tiempos.front(), Mediana, Tiempos.back(), Objetivo,
      Mediana < Objetivo ? "met" : "missed");
  return 0;
}
