// SPDX-License-Identifier: GPL-3.0-or-later
// The pace of run-all: when its views are brought up to date, when the window answers its events
// (between passes, and through the heartbeat inside a long view update), the commands that wait
// meanwhile, and the share of the run's time that reading its terms may take.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class TRitmo {
 public:
  using Reloj = std::chrono::steady_clock;

  // `AtiendeEventos` answers the window's pending events and says whether the window is still
  // open.
  explicit TRitmo(std::function<bool()> AtiendeEventos) : Atiende(std::move(AtiendeEventos)) {}

  // The time of a pass of run-all. A reading of the exact clock costs about 20 ns, a tenth of a
  // small pass; the coarse one costs a quarter of that and lags by a few milliseconds at most,
  // which only stretches the window's 1/60 s between views a little. Both count from the same
  // origin.
  static Reloj::time_point HoraDePasada();

  // Seconds between two view updates of run-all (from 0 to an hour); 0 updates after every pass.
  void FijaIntervalo(double Segundos);
  double Intervalo() const { return std::chrono::duration<double>(IntervaloPaso).count(); }
  bool CadaPasada() const { return IntervaloPaso.count() == 0; }

  // Run-all, pass by pass: Empieza before the first; after each, Toca says what is due (the views;
  // the count; nothing), VistaHecha follows a view update, and AtiendeEntrePasadas answers the
  // window's events after either; Termina after the last, however the run ends.
  enum class TToca { Nada, Cuenta, Vista };
  void Empieza() {
    UltimaVista = HoraDePasada();
    UltimosEventos = UltimaVista;
    Espera = IntervaloPaso;
  }
  // Drawing or printing every pass would cost the size of the term each time; the views are
  // brought up to date at the interval, and always after the last pass. A view that costs more
  // than the interval waits four times its cost, so that it never takes more than a fifth of the
  // run; meanwhile the count still moves and the window still answers.
  TToca Toca(Reloj::time_point Ahora, bool Ultima) const {
    if (Ultima || CadaPasada() || Ahora - UltimaVista >= Espera) return TToca::Vista;
    if (Ahora - UltimosEventos >= IntervaloPaso) return TToca::Cuenta;
    return TToca::Nada;
  }
  // `Coste`: the view update's own time, on the exact clock.
  void VistaHecha(Reloj::duration Coste) {
    Espera = std::max(IntervaloPaso, 4 * Coste);
    UltimaVista = HoraDePasada();
  }
  // The window answers its events between two passes; false once it has closed.
  bool AtiendeEntrePasadas() {
    if (!Atiende()) return false;
    UltimosEventos = HoraDePasada();
    return true;
  }
  void Termina() {
    EnActualizacion = false;
    Ocupada = false;
    Pendientes.clear();
  }

  // Runs `Vista` as run-all's view update: its walks beat the heartbeat. False when the window
  // closed under it, which cut it short.
  template <typename F>
  bool Actualiza(F&& Vista) {
    EnActualizacion = true;
    try {
      std::forward<F>(Vista)();
    } catch (const TInterrumpido&) {
      return false;
    }
    EnActualizacion = false;
    return true;
  }
  // The heartbeat that a long walk calls every so often (the `Pulso` of the term model's walks).
  // Inside a view update of run-all, once an interval has passed since the window last answered,
  // it answers its events; a close cuts the update short. Outside one it is empty.
  std::function<void()> Pulso() {
    if (!EnActualizacion) return {};
    return [this] { AtiendeSiToca(); };
  }
  // Events are being answered from inside a view update: commands wait in a queue.
  bool Atendiendo() const { return Ocupada; }
  // Queues a command that arrives meanwhile, to run after the update.
  template <typename F>
  void Encola(F&& Orden) {
    Pendientes.emplace_back(std::forward<F>(Orden));
  }
  // The commands that waited, in their order; none waits any more.
  std::vector<std::function<void()>> TomaPendientes() { return std::exchange(Pendientes, {}); }

 private:
  struct TInterrumpido {};  // thrown by the heartbeat when the window closes under an update
  void AtiendeSiToca();

  std::function<bool()> Atiende;
  Reloj::duration IntervaloPaso{0};
  Reloj::time_point UltimaVista, UltimosEventos;
  Reloj::duration Espera{0};     // from one view update to the next
  bool EnActualizacion = false;  // run-all's own view update is on the stack
  bool Ocupada = false;          // events are being answered from inside that update
  std::vector<std::function<void()>> Pendientes;
};

inline TRitmo::Reloj::time_point TRitmo::HoraDePasada() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec t;
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &t) == 0)
    return Reloj::time_point(std::chrono::duration_cast<Reloj::duration>(
        std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec)));
#endif
  return Reloj::now();
}

// Reading every pass of run-all would cost the size of the term each time, where a pass may cost
// next to nothing: a run reads in bursts, paid for by a share of the time its passes took. The
// credit is in nanoseconds of the run's own work not yet spent on readings.
class TCreditoLectura {
 public:
  using Reloj = TRitmo::Reloj;

  // The run starts at `Ahora` with no credit.
  void Empieza(Reloj::time_point Ahora) {
    Credito = Gastado = 0;
    Rafaga = false;
    FijaUmbral();
    UltimoAhora = Ahora;
  }
  // A pass ended at `Ahora`: its time, less what readings spent since the previous one, is credit.
  void Abona(Reloj::time_point Ahora) {
    Credito +=
        std::chrono::duration_cast<std::chrono::nanoseconds>(Ahora - UltimoAhora).count() - Gastado;
    UltimoAhora = Ahora;
    Gastado = 0;
  }
  // The credit pays for the next reading; when it does not, a burst under way ends.
  bool Alcanza() {
    if (Credito >= Umbral) return true;
    if (Rafaga) AcabaRafaga();
    return false;
  }
  // A reading paid for by the credit starts (a burst with it): the most nodes it may read.
  std::size_t Tope();
  // That reading took `Tiempo` for `Nodos` nodes, whole when `Completa`, else cut at `Tope`.
  void Cobra(Reloj::duration Tiempo, bool Completa, std::size_t Nodos, std::size_t Tope);
  // A reading the run could not do without (a cycle watched for) took `Tiempo` for `Nodos` nodes.
  void Gasta(Reloj::duration Tiempo, std::size_t Nodos) {
    Gastado += std::chrono::duration_cast<std::chrono::nanoseconds>(Tiempo).count();
    Previsto = Nodos;
  }
  // A reading outside the credit (for a view) of `Nodos` nodes: the next one is costed on it.
  // Mide, before such a reading: whether its time is worth measuring, and then given to Medida.
  void Preve(std::size_t Nodos) {
    Previsto = Nodos;
    FijaUmbral();
  }
  bool Mide() const;
  void Medida(Reloj::duration Tiempo, std::size_t Nodos);

 private:
  void AcabaRafaga();
  void FijaUmbral();
  void AjustaNsPorNodo(double ns, std::size_t Nodos);

  int64_t Credito = 0;            // nanoseconds of the run's own work not yet spent on readings
  int64_t Umbral = 0;             // the credit that the next reading waits for
  int64_t Gastado = 0;            // nanoseconds spent reading since the end of the previous pass
  double NsPorNodo = 3;           // measured
  std::size_t Previsto = 0;       // nodes of the last reading, or more than its budget was
  bool Rafaga = false;            // reading every pass for as long as the credit lasts
  Reloj::time_point UltimoAhora;  // the end of the previous pass
};
