// SPDX-License-Identifier: GPL-3.0-or-later
// The node pool, and the limit on the number of nodes. Every node fits one 32-byte slot. Slots
// are handed out in address order, the lowest free one first, so a term made after others were
// destroyed still lies together in memory, in the order it was made, and walks over it stay in
// the cache however long the session has run. A free list would hand back freed slots in the
// order a term was destroyed, scattered. Blocks left empty by a big release go back to the
// system (Compacta, from DevuelveMemoria).
// Private to terms/: taking and giving back a slot are inline, for the walks that make and
// destroy nodes by the million.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "uLambda.h"

constexpr std::size_t TamNodo = 32;
static_assert(sizeof(TVariable) <= TamNodo);
static_assert(sizeof(TAplicacion) <= TamNodo);
static_assert(sizeof(TFuncion) <= TamNodo);

// A quarter of the physical memory, at one slot per node.
std::size_t LimitePorDefecto();

struct TPool {
  // Blocks aligned to their size, so that a slot's block is its address with the low bits
  // cleared. A block's first slots hold its header: a bit for each slot, set while it is free.
  static constexpr std::size_t TamBloque = 256 * 1024;
  static constexpr std::size_t NodosPorBloque = TamBloque / TamNodo;
  static constexpr std::size_t Palabras = NodosPorBloque / 64;
  struct TCabecera {
    uint64_t Libres[Palabras];
    uint64_t Resumen[Palabras / 64];  // a bit for each word of Libres that is not zero
    std::size_t Indice;               // in Bloques
    std::size_t NumLibres;            // bits set in Libres
  };
  static constexpr std::size_t NodosCabecera = (sizeof(TCabecera) + TamNodo - 1) / TamNodo;

  std::vector<TCabecera*> Bloques;
  // A bit for each block that has a free slot.
  std::vector<uint64_t> ConLibres;
  // Every free slot lies at or after this word of this block.
  std::size_t Bloque = 0;
  std::size_t Palabra = 0;
  std::size_t Vivos = 0;
  std::size_t Limite = LimitePorDefecto();

  // Memory mapped for blocks to come: runs growing up to 32 MiB, so that a big term makes a few
  // hundred mappings rather than one per block. Each run is mapped with room to spare and its
  // unaligned ends given back: an aligned malloc leaves pieces around that stay resident.
  char* Reserva = nullptr;
  char* FinReserva = nullptr;
  std::size_t TamReserva = TamBloque;

  void* Toma() {
    if (Vivos >= Limite) throw EDemasiadoGrande(Vivos + 1);
#ifdef LAMBDA_SIN_POOL
    void* p = std::malloc(TamNodo);
    if (!p) throw std::bad_alloc();
    ++Vivos;
    return p;
#else
    // Most often the word under the cursor still has a free slot.
    if (Bloque < Bloques.size()) {
      TCabecera* c = Bloques[Bloque];
      if (uint64_t w = c->Libres[Palabra]) {
        c->Libres[Palabra] = w & (w - 1);
        if (!(w & (w - 1))) c->Resumen[Palabra / 64] &= ~(uint64_t(1) << (Palabra % 64));
        if (--c->NumLibres == 0) ConLibres[Bloque / 64] &= ~(uint64_t(1) << (Bloque % 64));
        ++Vivos;
        return reinterpret_cast<char*>(c) +
               (Palabra * 64 + static_cast<std::size_t>(__builtin_ctzll(w))) * TamNodo;
      }
    }
    return TomaLenta();
#endif
  }

  void Devuelve(void* p) {
    --Vivos;
#ifdef LAMBDA_SIN_POOL
    std::free(p);
#else
    TCabecera* c =
        reinterpret_cast<TCabecera*>(reinterpret_cast<uintptr_t>(p) & ~uintptr_t(TamBloque - 1));
    std::size_t k =
        static_cast<std::size_t>(static_cast<char*>(p) - reinterpret_cast<char*>(c)) / TamNodo;
    c->Libres[k / 64] |= uint64_t(1) << (k % 64);
    c->Resumen[k / 4096] |= uint64_t(1) << (k / 64 % 64);
    if (c->NumLibres++ == 0) ConLibres[c->Indice / 64] |= uint64_t(1) << (c->Indice % 64);
    if (c->Indice < Bloque || (c->Indice == Bloque && k / 64 < Palabra)) {
      Bloque = c->Indice;
      Palabra = k / 64;
    }
#endif
  }

  // What the pool holds of the process's memory, live nodes or not.
  std::size_t Reservados() const {
#ifdef LAMBDA_SIN_POOL
    return Vivos * TamNodo;
#else
    return Bloques.size() * TamBloque;
#endif
  }

  // Whether the pool holds more than twice what its live nodes need, by more than Holgura.
  static constexpr std::size_t Holgura = std::size_t(64) << 20;
  bool Sobra() const {
    return Reservados() > 2 * Vivos * TamNodo + Holgura;
  }

  // Gives back to the system every block that holds no live node, but for the first few (a
  // quarter of Holgura, so that a term about to be made finds them ready). The blocks that stay
  // keep their order, numbered again, and the cursor goes back to the first free slot. No node
  // moves: the walks and the per-node paths never learn of it.
  __attribute__((noinline, cold)) void Compacta();
  // Every live bound variable's level and every node's bound to 0, which says nothing.
  void OlvidaNiveles();

 private:
  // The next free slot when the word under the cursor has none.
  __attribute__((noinline)) void* TomaLenta();
  // The next word with a free slot at or after Palabra in the cursor's block, or Palabras.
  std::size_t PalabraConLibre() const;
  char* NuevaReserva();
  // Moves the cursor to the next block with a free slot, or past the last block.
  void SiguienteBloque();
  void NuevoBloque();
};

// Never destroyed: terms held by static objects may outlive any order of destruction.
// Inlined into every allocation: the call cost more than the guard of the static.
__attribute__((always_inline)) inline TPool& Pool() {
  static TPool* p = new TPool;
  return *p;
}

// A slot for a node made where the allocation must inline (the copy): the same as the nodes'
// operator new, which other files reach through a call.
__attribute__((always_inline)) inline void* NuevoNodo() {
  return Pool().Toma();
}
