// SPDX-License-Identifier: GPL-3.0-or-later
#include "uPool.h"

#include <sys/mman.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>

#include "uLambdaInterno.h"
#include "uTextos.h"

std::size_t LimitePorDefecto() {
  long Paginas = sysconf(_SC_PHYS_PAGES);
  long Tam = sysconf(_SC_PAGE_SIZE);
  if (Paginas <= 0 || Tam <= 0) return std::size_t(1) << 26;
  return static_cast<std::size_t>(Paginas) / 4 * static_cast<std::size_t>(Tam) / TamNodo;
}

#ifndef LAMBDA_SIN_POOL
std::size_t TPool::PalabraConLibre() const {
  // Through the summary: a slot freed far below the last one handed out brings the cursor back,
  // and the words in between are all taken.
  const TCabecera* c = Bloques[Bloque];
  std::size_t p = Palabra;
  while (p < Palabras) {
    uint64_t r = c->Resumen[p / 64] & (~uint64_t(0) << (p % 64));
    if (r) return p / 64 * 64 + static_cast<std::size_t>(__builtin_ctzll(r));
    p = (p / 64 + 1) * 64;
  }
  return Palabras;
}

void* TPool::TomaLenta() {
  for (;;) {
    if (Bloque >= Bloques.size()) {
      NuevoBloque();
      continue;
    }
    std::size_t p = PalabraConLibre();
    if (p == Palabras) {
      SiguienteBloque();
      continue;
    }
    TCabecera* c = Bloques[Bloque];
    Palabra = p;
    uint64_t w = c->Libres[p];
    c->Libres[p] = w & (w - 1);
    if (!c->Libres[p]) c->Resumen[p / 64] &= ~(uint64_t(1) << (p % 64));
    if (--c->NumLibres == 0) ConLibres[Bloque / 64] &= ~(uint64_t(1) << (Bloque % 64));
    ++Vivos;
    return reinterpret_cast<char*>(c) +
           (p * 64 + static_cast<std::size_t>(__builtin_ctzll(w))) * TamNodo;
  }
}
#endif

char* TPool::NuevaReserva() {
  std::size_t t = TamReserva + TamBloque;
  char* m = static_cast<char*>(
      mmap(nullptr, t, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  if (m == MAP_FAILED) throw std::bad_alloc();
  char* b = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(m) + TamBloque - 1) &
                                    ~uintptr_t(TamBloque - 1));
  if (b > m) munmap(m, static_cast<std::size_t>(b - m));
  if (b + TamReserva < m + t)
    munmap(b + TamReserva, static_cast<std::size_t>(m + t - (b + TamReserva)));
  FinReserva = b + TamReserva;
  if (TamReserva < 32 * 1024 * 1024) TamReserva *= 2;
  return b;
}

void TPool::SiguienteBloque() {
  Palabra = 0;
  std::size_t i = Bloque + 1;
  while (i < Bloques.size()) {
    uint64_t w = ConLibres[i / 64] & (~uint64_t(0) << (i % 64));
    if (w) {
      i = i / 64 * 64 + static_cast<std::size_t>(__builtin_ctzll(w));
      break;
    }
    i = (i / 64 + 1) * 64;
  }
  Bloque = std::min(i, Bloques.size());
}

void TPool::NuevoBloque() {
  Bloques.reserve(Bloques.size() + 1);
  ConLibres.reserve(Bloques.size() / 64 + 1);
  if (Reserva == FinReserva) Reserva = NuevaReserva();
  char* b = Reserva;
  Reserva += TamBloque;
#ifdef MADV_POPULATE_WRITE
  // A block after the first is taken when the ones before are full: the term is growing and
  // will likely fill it too. Its pages are made in one call rather than at one fault each.
  if (!Bloques.empty()) madvise(b, TamBloque, MADV_POPULATE_WRITE);
#endif
  TCabecera* c = reinterpret_cast<TCabecera*>(b);
  for (uint64_t& w : c->Libres) w = ~uint64_t(0);
  for (std::size_t k = 0; k < NodosCabecera; ++k) c->Libres[k / 64] &= ~(uint64_t(1) << (k % 64));
  for (uint64_t& r : c->Resumen) r = ~uint64_t(0);
  c->NumLibres = NodosPorBloque - NodosCabecera;
  c->Indice = Bloques.size();
  Bloques.push_back(c);
  if (ConLibres.size() * 64 < Bloques.size()) ConLibres.push_back(0);
  ConLibres[c->Indice / 64] |= uint64_t(1) << (c->Indice % 64);
  Bloque = c->Indice;
  Palabra = 0;
}

void TPool::OlvidaNiveles() {
  constexpr uint32_t Bajos = (1u << TExprLambda::PrimerBitNivel) - 1;
  for (TCabecera* c : Bloques) {
    for (std::size_t k = NodosCabecera; k < NodosPorBloque; ++k) {
      if ((c->Libres[k / 64] >> (k % 64)) & 1) continue;
      TExprLambda* e = reinterpret_cast<TExprLambda*>(reinterpret_cast<char*>(c) + k * TamNodo);
      if (!(e->Marca & TExprLambda::Cerrado) || EsVariable(e)) e->Marca &= Bajos;
    }
  }
}

void TPool::Compacta() {
#ifndef LAMBDA_SIN_POOL
  constexpr std::size_t Conservados = Holgura / 4 / TamBloque;
  std::size_t Vacios = 0, n = 0;
  for (TCabecera* c : Bloques) {
    if (c->NumLibres == NodosPorBloque - NodosCabecera && Vacios++ >= Conservados &&
        munmap(c, TamBloque) == 0)
      continue;
    c->Indice = n;
    Bloques[n++] = c;
  }
  Bloques.resize(n);
  Bloques.shrink_to_fit();
  ConLibres.assign((n + 63) / 64, 0);
  ConLibres.shrink_to_fit();
  Bloque = n;
  Palabra = 0;
  for (std::size_t i = n; i-- > 0;) {
    if (Bloques[i]->NumLibres == 0) continue;
    ConLibres[i / 64] |= uint64_t(1) << (i % 64);
    Bloque = i;
  }
#endif
}

void* TExprLambda::operator new(std::size_t n) {
  if (n > TamNodo) [[unlikely]]
    return ::operator new(n);
  return Pool().Toma();
}

void TExprLambda::operator delete(void* p, std::size_t n) noexcept {
  if (!p) return;
  if (n > TamNodo) {
    ::operator delete(p);
    return;
  }
  Pool().Devuelve(p);
}

std::size_t NodosVivos() {
  return Pool().Vivos;
}
std::size_t LimiteNodos() {
  return Pool().Limite;
}
void FijaLimiteNodos(std::size_t Limite) {
  Pool().Limite = Limite;
}
std::size_t BytesDeNodos() {
  return Pool().Reservados();
}

void DevuelveMemoria() {
  TPool& P = Pool();
  if (!P.Sobra()) return;
  P.Compacta();
#ifdef __GLIBC__
  // The allocator keeps what was freed below the top of its heap (scratch of walks and views
  // of the big term, grown up to its size): its wholly free pages go back too.
  malloc_trim(0);
#endif
}

void CompruebaLimite(std::size_t Mas) {
  std::size_t Vivos = Pool().Vivos;
  if (Mas > Pool().Limite || Vivos > Pool().Limite - Mas) throw EDemasiadoGrande(Vivos + Mas);
}

EDemasiadoGrande::EDemasiadoGrande(std::size_t nodos)
    : std::runtime_error(MensajeDemasiadoGrande(nodos)), Nodos(nodos) {}

void PaginasGrandes(void* p, std::size_t n) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t Grande = uintptr_t(2) << 20;
  if (n < 2 * Grande) return;
  uintptr_t Desde = (reinterpret_cast<uintptr_t>(p) + Grande - 1) & ~(Grande - 1);
  uintptr_t Hasta = (reinterpret_cast<uintptr_t>(p) + n) & ~(Grande - 1);
  if (Hasta > Desde) madvise(reinterpret_cast<void*>(Desde), Hasta - Desde, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}