// SPDX-License-Identifier: GPL-3.0-or-later
#include "uRitmo.h"

namespace {

// A burst starts once the credit pays for this many readings: enough consecutive passes to see
// any period the ring of recent terms can hold.
constexpr double LecturasPorRafaga = 20;
constexpr double CosteFijo = 40;  // nanoseconds around a reading, however small (the clock)
// The share of a run's time that its readings between view updates may take.
constexpr double ParteLectura = 1.0 / 32;
constexpr int64_t CreditoMaximo = 1'000'000'000;  // nanoseconds
constexpr std::size_t MedidaMinima = 4096;  // nodes; below, the clock costs more than the walk

}  // namespace

void TRitmo::FijaIntervalo(double Segundos) {
  if (!(Segundos > 0)) Segundos = 0;  // also NaN
  if (Segundos > 3600) Segundos = 3600;
  IntervaloPaso =
      std::chrono::duration_cast<Reloj::duration>(std::chrono::duration<double>(Segundos));
}

void TRitmo::AtiendeSiToca() {
  if (!EnActualizacion || Ocupada || IntervaloPaso.count() == 0) return;
  if (Reloj::now() - UltimosEventos < IntervaloPaso) return;
  Ocupada = true;
  const bool Abierta = Atiende();
  Ocupada = false;
  UltimosEventos = Reloj::now();
  if (!Abierta) throw TInterrumpido();
}

std::size_t TCreditoLectura::Tope() {
  Credito = std::min(Credito, CreditoMaximo);
  Rafaga = true;
  double Disponible = double(Credito) * ParteLectura - CosteFijo;
  return std::max(Previsto, static_cast<std::size_t>(std::max(0.0, Disponible) / NsPorNodo));
}

void TCreditoLectura::Cobra(Reloj::duration Tiempo, bool Completa, std::size_t Nodos,
                            std::size_t Tope) {
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Tiempo).count() +
            static_cast<int64_t>(CosteFijo);
  Credito -= static_cast<int64_t>(double(ns) / ParteLectura);
  Gastado += ns;
  if (!Completa) {
    // Bigger than the credit: wait for twice as much before the next try.
    Previsto = Tope * 2;
    return AcabaRafaga();
  }
  AjustaNsPorNodo(double(ns) - CosteFijo, Nodos);
  Preve(Nodos);
}

bool TCreditoLectura::Mide() const {
  return Previsto >= MedidaMinima;
}

void TCreditoLectura::Medida(Reloj::duration Tiempo, std::size_t Nodos) {
  AjustaNsPorNodo(std::chrono::duration<double, std::nano>(Tiempo).count(), Nodos);
}

void TCreditoLectura::AjustaNsPorNodo(double ns, std::size_t Nodos) {
  NsPorNodo = std::clamp((NsPorNodo + ns / double(Nodos)) / 2, 0.3, 50.0);
}

void TCreditoLectura::FijaUmbral() {
  double Coste = CosteFijo + double(Previsto) * NsPorNodo;
  Umbral = static_cast<int64_t>((Rafaga ? 1 : LecturasPorRafaga) * Coste / ParteLectura);
}

void TCreditoLectura::AcabaRafaga() {
  Rafaga = false;
  FijaUmbral();
}
