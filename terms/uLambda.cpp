// SPDX-License-Identifier: GPL-3.0-or-later
#include "uLambda.h"

#include <sys/mman.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "uLambdaInterno.h"
#include "uTextos.h"

// ---------------------------------------------------------------------------------------------
// Node pool. Every node fits one 32-byte slot. Slots are handed out in address order, the lowest
// free one first, so a term made after others were destroyed still lies together in memory, in
// the order it was made, and walks over it stay in the cache however long the session has run.
// A free list would hand back freed slots in the order a term was destroyed, scattered.
// Blocks left empty by a big release go back to the system (Compacta, from DevuelveMemoria).

namespace {

constexpr std::size_t TamNodo = 32;
static_assert(sizeof(TVariable) <= TamNodo);
static_assert(sizeof(TAplicacion) <= TamNodo);
static_assert(sizeof(TFuncion) <= TamNodo);

std::size_t LimitePorDefecto() {
  long Paginas = sysconf(_SC_PHYS_PAGES);
  long Tam = sysconf(_SC_PAGE_SIZE);
  if (Paginas <= 0 || Tam <= 0) return std::size_t(1) << 26;
  // A quarter of the physical memory, at one slot per node.
  return static_cast<std::size_t>(Paginas) / 4 * static_cast<std::size_t>(Tam) / TamNodo;
}

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

#ifndef LAMBDA_SIN_POOL
  __attribute__((noinline)) void* TomaLenta() {
    for (;;) {
      if (Bloque < Bloques.size()) {
        // The next word with a free slot, through the summary: a slot freed far below the
        // last one handed out brings the cursor back, and the words in between are all taken.
        TCabecera* c = Bloques[Bloque];
        std::size_t p = Palabra;
        while (p < Palabras) {
          uint64_t r = c->Resumen[p / 64] & (~uint64_t(0) << (p % 64));
          if (r) {
            p = p / 64 * 64 + static_cast<std::size_t>(__builtin_ctzll(r));
            break;
          }
          p = (p / 64 + 1) * 64;
        }
        if (p < Palabras) {
          Palabra = p;
          uint64_t w = c->Libres[p];
          c->Libres[p] = w & (w - 1);
          if (!c->Libres[p]) c->Resumen[p / 64] &= ~(uint64_t(1) << (p % 64));
          if (--c->NumLibres == 0) ConLibres[Bloque / 64] &= ~(uint64_t(1) << (Bloque % 64));
          ++Vivos;
          return reinterpret_cast<char*>(c) +
                 (p * 64 + static_cast<std::size_t>(__builtin_ctzll(w))) * TamNodo;
        }
        SiguienteBloque();
      } else {
        NuevoBloque();
      }
    }
  }
#endif

  // Memory mapped for blocks to come: runs growing up to 32 MiB, so that a big term makes a few
  // hundred mappings rather than one per block. Each run is mapped with room to spare and its
  // unaligned ends given back: an aligned malloc leaves pieces around that stay resident.
  char* Reserva = nullptr;
  char* FinReserva = nullptr;
  std::size_t TamReserva = TamBloque;

  char* NuevaReserva() {
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

  // Moves the cursor to the next block with a free slot, or past the last block.
  void SiguienteBloque() {
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

  void NuevoBloque() {
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

  // Every live bound variable's level and every node's bound to 0, which says nothing.
  void OlvidaNiveles() {
    constexpr uint32_t Bajos = (1u << TExprLambda::PrimerBitNivel) - 1;
    for (TCabecera* c : Bloques) {
      for (std::size_t k = NodosCabecera; k < NodosPorBloque; ++k) {
        if ((c->Libres[k / 64] >> (k % 64)) & 1) continue;
        TExprLambda* e = reinterpret_cast<TExprLambda*>(reinterpret_cast<char*>(c) + k * TamNodo);
        if (!(e->Marca & TExprLambda::Cerrado) || EsVariable(e)) e->Marca &= Bajos;
      }
    }
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
  __attribute__((noinline, cold)) void Compacta() {
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
};

// Never destroyed: terms held by static objects may outlive any order of destruction.
// Inlined into every allocation: the call cost more than the guard of the static.
__attribute__((always_inline)) inline TPool& Pool() {
  static TPool* p = new TPool;
  return *p;
}

}  // namespace

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

// ---------------------------------------------------------------------------------------------
// Release. Children are detached and destroyed from a work list, so destroying a deep term
// never nests destructors more than one level.

namespace {

// Drops one reference to a child; applications and abstractions go on the work list.
inline void SueltaHijo(TExprLambda* h, std::vector<TExprLambda*>& Pendientes) {
  if (!h) return;
  if (EsVariable(h)) {
    TVariable* v = static_cast<TVariable*>(h);
    if (--v->Refs == 0 && v->Libre) delete v;
    return;
  }
  Pendientes.push_back(h);
}

// Bound variables are freed last: until the whole body is gone, its nodes still point at them.
void DestruyeHijos(TExprLambda* a, TExprLambda* b, TVariable* Param) {
  if (!a && !b) {
    delete Param;
    return;
  }
  // Reused from call to call: the destructors called below find their children already gone
  // and return before reaching here, so the lists are never in use twice at once.
  thread_local std::vector<TExprLambda*> Pendientes;
  thread_local std::vector<TVariable*> Variables;
  TPool& P = Pool();
  if (Param) Variables.push_back(Param);
  SueltaHijo(a, Pendientes);
  SueltaHijo(b, Pendientes);
  while (!Pendientes.empty()) {
    TExprLambda* n = Pendientes.back();
    Pendientes.pop_back();
    if (TAplicacion* ap = ComoAplicacion(n)) {
      SueltaHijo(ap->Func, Pendientes);
      SueltaHijo(ap->Arg, Pendientes);
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      SueltaHijo(f->Cuerpo, Pendientes);
      if (f->Param) Variables.push_back(f->Param);
    }
    // Its children are in hand: the slot goes straight back, no destructor runs to look at them.
    P.Devuelve(n);
  }
  for (TVariable* v : Variables) P.Devuelve(v);
  Variables.clear();
  if (Pendientes.capacity() > (1u << 20)) Pendientes.shrink_to_fit();
  if (Variables.capacity() > (1u << 20)) Variables.shrink_to_fit();
}

}  // namespace

TAplicacion::~TAplicacion() {
  TExprLambda* f = Func;
  TExprLambda* a = Arg;
  Func = Arg = nullptr;
  DestruyeHijos(f, a, nullptr);
}

TFuncion::~TFuncion() {
  TExprLambda* c = Cuerpo;
  TVariable* p = Param;
  Cuerpo = nullptr;
  Param = nullptr;
  DestruyeHijos(c, nullptr, p);
}

void SueltaRedex(TAplicacion* ap) {
  TFuncion* f = static_cast<TFuncion*>(ap->Func);
  if (ap->Arg || f->Cuerpo) {
    delete ap;
    return;
  }
  // Childless but for the variable, which nothing points at any more: no destructor would do
  // anything, and the generic release costs more than the contraction's other bookkeeping.
  TPool& P = Pool();
  P.Devuelve(f->Param);
  P.Devuelve(f);
  P.Devuelve(ap);
}

TExprLambda* Retiene(TExprLambda* t) {
  if (t && EsVariable(t)) ++static_cast<TVariable*>(t)->Refs;
  return t;
}

void Libera(TExprLambda* t) {
  if (!t) return;
  if (EsVariable(t)) {
    TVariable* v = static_cast<TVariable*>(t);
    if (--v->Refs == 0 && v->Libre) delete v;
    return;
  }
  TPool& P = Pool();
  const std::size_t Antes = P.Vivos;
  delete t;
  // A release of at least a sixteenth of the pool pays for a look at its blocks: a big term
  // gives its memory back to the system as it goes.
  if ((Antes - P.Vivos) * TamNodo * 16 >= P.Reservados()) DevuelveMemoria();
}

// ---------------------------------------------------------------------------------------------
// Walks.

namespace {

void RecorridoPre(TExprLambda* raiz, TProcNodo Visita) {
  std::vector<TExprLambda*> Pila{raiz};
  while (!Pila.empty()) {
    TExprLambda* n = Pila.back();
    Pila.pop_back();
    Visita(n);
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back(f->Cuerpo);
      Pila.push_back(f->Param);
    }
  }
}

void RecorridoPost(TExprLambda* raiz, TProcNodo Visita) {
  // A node goes on the stack twice: first to push its children, then (marked) to visit it.
  std::vector<std::pair<TExprLambda*, bool>> Pila{{raiz, false}};
  while (!Pila.empty()) {
    auto [n, hijosHechos] = Pila.back();
    Pila.pop_back();
    if (hijosHechos) {
      Visita(n);
      continue;
    }
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back({n, true});
      Pila.push_back({ap->Arg, false});
      Pila.push_back({ap->Func, false});
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back({n, true});
      Pila.push_back({f->Cuerpo, false});
      Pila.push_back({f->Param, false});
    } else {
      Visita(n);
    }
  }
}

}  // namespace

void TAplicacion::RecorrePre(TProcNodo Visita) {
  RecorridoPre(this, Visita);
}
void TAplicacion::RecorrePost(TProcNodo Visita) {
  RecorridoPost(this, Visita);
}
void TFuncion::RecorrePre(TProcNodo Visita) {
  RecorridoPre(this, Visita);
}
void TFuncion::RecorrePost(TProcNodo Visita) {
  RecorridoPost(this, Visita);
}

// ---------------------------------------------------------------------------------------------
// Printing.

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

std::string NombreVariable(int32_t Indice) {
  // A negative number only appears while a numbering runs; print it as the first name.
  uint32_t i = Indice < 0 ? 0u : static_cast<uint32_t>(Indice);
  std::string s(1, static_cast<char>('a' + i % 26));
  s.append(i / 26, '\'');
  return s;
}

namespace {

// Writes the name at p; returns the end of what it wrote.
inline char* AgregaNombre(char* p, int32_t Indice) {
  uint32_t i = Indice < 0 ? 0u : static_cast<uint32_t>(Indice);
  *p++ = static_cast<char>('a' + i % 26);
  // Past a few hundred variables the apostrophes are most of the text.
  const uint32_t k = i / 26;
  if (k > 8) return static_cast<char*>(std::memset(p, '\'', k)) + k;
  for (uint32_t j = 0; j < k; ++j) *p++ = '\'';
  return p;
}

inline char* AgregaLiteral(char* p, const char* Literal) {
  while (*Literal) *p++ = *Literal++;
  return p;
}

// Pulses of the long walks: one every 64 Ki nodes.
inline void Late(const std::function<void()>& Pulso, std::size_t& k) {
  if (Pulso && (++k & 0xFFFF) == 0) Pulso();
}

// Scratch bit of Marca on the wanted nodes while TextoConRangos prints.
constexpr uint32_t Buscado = 1u << 3;
static_assert(Buscado < (1u << TExprLambda::PrimerBitNivel));

// The wanted nodes by address, with their places in the caller's list. A variable is one node
// for all its occurrences, so a wanted variable is sought as a child of an application instead.
struct TBuscados {
  std::vector<std::pair<TExprLambda*, std::size_t>> Orden;
  // A wanted variable: its application, which side (0 Func, 1 Arg), its place in the list.
  std::vector<std::tuple<TExprLambda*, int, std::size_t>> Hijos;
  std::vector<TRango>* Rangos = nullptr;
  // What the walk met, in its order: a wanted node (Lado 0) or a variable child of one (Lado 1
  // Func, 2 Arg), and where it printed. Looking each up as it comes would cost a cache miss
  // apiece, the walk having pushed the table out; they are looked up together afterwards.
  struct TEvento {
    TExprLambda* Nodo;
    int Lado;
    std::size_t Desde, Hasta;
  };
  std::vector<TEvento> Eventos;

  // Out of the printing loop, which meets them seldom.
  // A wanted node starts at Desde: the place of its range's end, once known, in Eventos.
  [[gnu::noinline]] std::size_t Empieza(TExprLambda* n, std::size_t Desde) {
    Eventos.push_back({n, 0, Desde, 0});
    return Eventos.size() - 1;
  }
  // A variable child of a wanted application, on Lado 1 (Func) or 2 (Arg).
  [[gnu::noinline]] void Hijo(TAplicacion* ap, int Lado, std::size_t Desde, std::size_t Hasta) {
    if (!Hijos.empty()) Eventos.push_back({ap, Lado, Desde, Hasta});
  }
  // The first place in Orden of a node, and in Hijos of an application's side (its address plus
  // one or two), by open addressing: a binary search over a few thousand nodes for each of them
  // would cost more than the walk.
  std::vector<std::pair<uintptr_t, uint32_t>> Tabla;
  int Desplaza = 64;

  std::size_t Celda(uintptr_t Clave) const {
    return static_cast<std::size_t>((Clave * 0x9E3779B97F4A7C15ull) >> Desplaza);
  }
  void Pon(uintptr_t Clave, uint32_t Valor) {
    std::size_t c = Celda(Clave);
    while (Tabla[c].first) c = (c + 1) & (Tabla.size() - 1);
    Tabla[c] = {Clave, Valor};
  }
  // The value of a key, or UINT32_MAX.
  uint32_t Mira(uintptr_t Clave) const {
    for (std::size_t c = Celda(Clave);; c = (c + 1) & (Tabla.size() - 1)) {
      if (Tabla[c].first == Clave) return Tabla[c].second;
      if (!Tabla[c].first) return UINT32_MAX;
    }
  }
  void Indexa() {
    std::sort(Orden.begin(), Orden.end());
    std::sort(Hijos.begin(), Hijos.end());
    std::size_t Tam = 16;
    while (Tam < 2 * (Orden.size() + Hijos.size())) Tam *= 2;
    Desplaza = 64 - std::countr_zero(Tam);
    Tabla.assign(Tam, {0, 0});
    for (std::size_t j = 0; j < Orden.size(); ++j)
      if (j == 0 || Orden[j].first != Orden[j - 1].first)
        Pon(reinterpret_cast<uintptr_t>(Orden[j].first), static_cast<uint32_t>(j));
    for (std::size_t j = 0; j < Hijos.size(); ++j)
      if (j == 0 || std::get<0>(Hijos[j]) != std::get<0>(Hijos[j - 1]) ||
          std::get<1>(Hijos[j]) != std::get<1>(Hijos[j - 1]))
        Pon(ClaveHijo(std::get<0>(Hijos[j]), std::get<1>(Hijos[j])), static_cast<uint32_t>(j));
  }
  static uintptr_t ClaveHijo(TExprLambda* ap, int Lado) {
    return reinterpret_cast<uintptr_t>(ap) + 1 + static_cast<uintptr_t>(Lado);
  }

  // The first place of a wanted node in Orden.
  std::size_t Busca(TExprLambda* n) const { return Mira(reinterpret_cast<uintptr_t>(n)); }
  // Sets Desde or Hasta for every place of the node at Orden[k].
  void Fija(std::size_t k, std::size_t TRango::*Campo, std::size_t Valor) const {
    for (std::size_t j = k; j < Orden.size() && Orden[j].first == Orden[k].first; ++j)
      (*Rangos)[Orden[j].second].*Campo = Valor;
  }
  // The range of `ap`'s variable child on `Lado`, for every place that wants it there.
  void FijaHijo(TAplicacion* ap, int Lado, std::size_t Desde, std::size_t Hasta) const {
    uint32_t k = Mira(ClaveHijo(ap, Lado));
    if (k == UINT32_MAX) return;
    for (std::size_t j = k;
         j < Hijos.size() && std::get<0>(Hijos[j]) == ap && std::get<1>(Hijos[j]) == Lado; ++j)
      (*Rangos)[std::get<2>(Hijos[j])] = {Desde, Hasta};
  }
};

// The printing stack holds what is still due once the node being printed is done, one word an
// entry, the kind in the low bits (nodes are at least 8-byte aligned):
//   eSigue, eSigueCierra: an application whose function part is being printed; its argument
//     comes next, after the ")" that closes an abstraction in function place for eSigueCierra;
//   eCierres: so many closing parentheses, shared by arguments that end together, so that a
//     chain of arguments keeps the stack small;
//   eFin: the end of the range of Eventos[k] of a TBuscados.
enum : uintptr_t { eSigue = 0, eCierres = 1, eFin = 2, eSigueCierra = 3, eTipo = 3, eUno = 4 };

template <bool ConRangos>
std::string Imprime(TExprLambda* raiz, std::size_t Longitud, const std::function<void()>& Pulso,
                    TBuscados* Buscados = nullptr) {
  // Made to its exact size, and written through a pointer: the length is known, so no write
  // needs to check for room.
  std::string s;
  s.reserve(Longitud);
  PaginasGrandes(s.data(), Longitud);
  s.resize(Longitud);
  char* const Inicio = s.data();
  char* p = Inicio;
  auto Pos = [&](const char* q) { return static_cast<std::size_t>(q - Inicio); };
  // Not kept between calls: the pulse may let a window print meanwhile.
  std::vector<uintptr_t> Pila;
  Pila.reserve(64);
  std::size_t k = 0;
  // The part of an application after its function: its argument, a variable at once, a
  // compound one between parentheses that close once it is done (the node to print next).
  // `Quiere`: `ap` is wanted (read before anything is written, which might alias it).
  auto Argumento = [&](TAplicacion * ap, bool Quiere) __attribute__((always_inline))->TExprLambda* {
    TExprLambda* a = ap->Arg;
    *p++ = ' ';
    if (EsVariable(a)) {
      char* Antes = p;
      p = AgregaNombre(p, static_cast<TVariable*>(a)->Indice);
      if (__builtin_expect(Quiere, 0)) Buscados->Hijo(ap, 2, Pos(Antes), Pos(p));
      return nullptr;
    }
    *p++ = '(';
    if (!Pila.empty() && (Pila.back() & eTipo) == eCierres && Pila.back() < UINTPTR_MAX - eUno)
      Pila.back() += eUno;
    else
      Pila.push_back(eUno | eCierres);
    return a;
  };
  auto EsBuscado = [](TExprLambda* e) { return ConRangos && (e->Marca & Buscado); };
  TExprLambda* n = raiz;
  for (;;) {
    while (n) {
      if (Pulso && (++k & 0xFFFF) == 0) Pulso();
      if (EsVariable(n)) {
        p = AgregaNombre(p, static_cast<TVariable*>(n)->Indice);
        n = nullptr;
        break;
      }
      bool Quiere = false;
      if constexpr (ConRangos) {
        Quiere = n->Marca & Buscado;
        if (__builtin_expect(Quiere, 0)) {
          // Its range takes in the parentheses its parent prints around it: the "(" just
          // written, and the ")" that the entry on top of the stack writes, so the eFin that ends
          // the range goes after that one. Right after a "(" is an argument when the entry on
          // top is its closing eCierres, an abstraction in function place when it is the
          // eSigueCierra of its application; any other node starts after a blank, or at the
          // start of its parent with another entry on top.
          int Sitio = 0;
          if (p > Inicio && p[-1] == '(' && !Pila.empty()) {
            uintptr_t Tipo = Pila.back() & eTipo;
            Sitio = Tipo == eCierres ? 1 : Tipo == eSigueCierra ? 2 : 0;
          }
          std::size_t j = Buscados->Empieza(n, Pos(p) - (Sitio ? 1 : 0));
          if (Sitio == 1) {
            if ((Pila.back() >> 2) > 1)
              Pila.back() -= eUno;
            else
              Pila.pop_back();
          } else if (Sitio == 2) {
            Pila.back() &= ~eTipo;  // eSigue
          }
          Pila.push_back(static_cast<uintptr_t>(j) << 2 | eFin);
          if (Sitio) Pila.push_back(eUno | eCierres);
        }
      }
      if (EsFuncion(n)) {
        TFuncion* f = static_cast<TFuncion*>(n);
        p = AgregaLiteral(AgregaNombre(AgregaLiteral(p, "\\ "), f->Param->Indice), " . ");
        n = f->Cuerpo;
        continue;
      }
      TAplicacion* ap = static_cast<TAplicacion*>(n);
      TExprLambda* fn = ap->Func;
      if (EsVariable(fn)) {
        char* Antes = p;
        p = AgregaNombre(p, static_cast<TVariable*>(fn)->Indice);
        if (__builtin_expect(Quiere, 0)) Buscados->Hijo(ap, 1, Pos(Antes), Pos(p));
        n = Argumento(ap, Quiere);
      } else {
        // The argument comes after the whole function part: fetching it now overlaps its cache
        // miss with that walk, which matters on a term scattered in memory.
        __builtin_prefetch(ap->Arg);
        if (EsFuncion(fn)) {
          *p++ = '(';
          Pila.push_back(reinterpret_cast<uintptr_t>(ap) | eSigueCierra);
        } else {
          Pila.push_back(reinterpret_cast<uintptr_t>(ap) | eSigue);
        }
        n = fn;
      }
    }
    if (Pila.empty()) break;
    uintptr_t e = Pila.back();
    Pila.pop_back();
    switch (e & eTipo) {
      case eCierres: {
        std::size_t c = e >> 2;
        p = static_cast<char*>(std::memset(p, ')', c)) + c;
        break;
      }
      case eFin:
        if constexpr (ConRangos) Buscados->Eventos[e >> 2].Hasta = Pos(p);
        break;
      case eSigueCierra:
        n = reinterpret_cast<TExprLambda*>(e & ~eTipo);
        *p++ = ')';
        n = Argumento(static_cast<TAplicacion*>(n), EsBuscado(n));
        break;
      default:
        n = reinterpret_cast<TExprLambda*>(e);
        n = Argumento(static_cast<TAplicacion*>(n), EsBuscado(n));
    }
  }
  return s;
}

}  // namespace

std::size_t LongitudTexto(TExprLambda* raiz, std::size_t Tope, const std::function<void()>& Pulso) {
  // The pieces Imprime writes: a backslash, a blank, the name and " . " for an abstraction;
  // " " or " (" and ")" around an argument; "(" and ")" around an abstraction in function place.
  // Variable children are counted with their parent; of two compound children one waits on the
  // stack while the walk goes down the other.
  std::size_t n = 0, k = 0;
  std::vector<TExprLambda*> Pila;
  Pila.reserve(64);
  TExprLambda* t = raiz;
  if (EsVariable(t)) return LongitudNombre(static_cast<TVariable*>(t)->Indice);
  for (;;) {
    if (Pulso && (++k & 0xFFFF) == 0) Pulso();
    if (EsFuncion(t)) {
      TFuncion* f = static_cast<TFuncion*>(t);
      n += 5 + LongitudNombre(f->Param->Indice);
      t = f->Cuerpo;
      if (EsVariable(t)) {
        n += LongitudNombre(static_cast<TVariable*>(t)->Indice);
        t = nullptr;
      }
    } else {
      TAplicacion* ap = static_cast<TAplicacion*>(t);
      TExprLambda* fn = ap->Func;
      TExprLambda* a = ap->Arg;
      t = nullptr;
      if (EsVariable(a)) {
        n += 1 + LongitudNombre(static_cast<TVariable*>(a)->Indice);
      } else {
        n += 3;
        t = a;
      }
      if (EsVariable(fn)) {
        n += LongitudNombre(static_cast<TVariable*>(fn)->Indice);
      } else {
        if (EsFuncion(fn)) n += 2;
        if (t) Pila.push_back(t);
        t = fn;
      }
    }
    if (n > Tope) return n;
    if (!t) {
      if (Pila.empty()) return n;
      t = Pila.back();
      Pila.pop_back();
    }
  }
}

std::string TVariable::Texto() {
  return NombreVariable(Indice);
}
std::string TAplicacion::Texto() {
  return Imprime<false>(this, LongitudTexto(this), {});
}
std::string TFuncion::Texto() {
  return Imprime<false>(this, LongitudTexto(this), {});
}
std::string TextoConPulso(TExprLambda* t, std::size_t Longitud,
                          const std::function<void()>& Pulso) {
  if (EsVariable(t)) return t->Texto();
  return Imprime<false>(t, Longitud, Pulso);
}

std::string TextoConRangos(TExprLambda* t, std::size_t Longitud,
                           const std::vector<TExprLambda*>& Nodos, std::vector<TRango>& Rangos,
                           const std::function<void()>& Pulso) {
  Rangos.assign(Nodos.size(), TRango{});
  if (EsVariable(t)) {
    std::string s = t->Texto();
    for (std::size_t i = 0; i < Nodos.size(); ++i)
      if (Nodos[i] == t) Rangos[i] = {0, s.size()};
    return s;
  }
  TBuscados b;
  b.Rangos = &Rangos;
  b.Orden.reserve(Nodos.size());
  for (std::size_t i = 0; i < Nodos.size(); ++i) {
    TExprLambda* n = Nodos[i];
    if (!n) continue;
    if (!EsVariable(n)) {
      b.Orden.push_back({n, i});
      continue;
    }
    // The nearest application before it in the list that has it as a child.
    for (std::size_t j = i; j-- > 0;) {
      TAplicacion* ap = Nodos[j] ? ComoAplicacion(Nodos[j]) : nullptr;
      if (ap && (ap->Arg == n || ap->Func == n)) {
        b.Hijos.emplace_back(ap, ap->Arg == n ? 1 : 0, i);
        break;
      }
    }
  }
  if (b.Orden.size() >= UINT32_MAX / 4) throw std::bad_alloc();
  b.Indexa();
  b.Eventos.reserve(3 * b.Orden.size());
  // The marks go again whatever happens: the pulse may throw.
  struct TDesmarca {
    TBuscados& b;
    ~TDesmarca() {
      for (auto& [n, i] : b.Orden) n->Marca &= ~Buscado;
    }
  } Desmarca{b};
  for (auto& [n, i] : b.Orden) n->Marca |= Buscado;
  std::string s = Imprime<true>(t, Longitud, Pulso, &b);
  for (const TBuscados::TEvento& e : b.Eventos) {
    if (e.Lado == 0) {
      std::size_t j = b.Busca(e.Nodo);
      b.Fija(j, &TRango::Desde, e.Desde);
      b.Fija(j, &TRango::Hasta, e.Hasta);
    } else {
      b.FijaHijo(static_cast<TAplicacion*>(e.Nodo), e.Lado - 1, e.Desde, e.Hasta);
    }
  }
  return s;
}

// ---------------------------------------------------------------------------------------------
// Marks. Closedness is known through the levels: an abstraction made over its body, whose
// variable is the newest of those that occur there, lets none of the others through once its own
// is left out.

uint32_t UltimoNivel = 0;

void RenuevaNiveles() {
#ifndef LAMBDA_SIN_POOL
  if (UltimoNivel < TExprLambda::NivelTope) return;
  Pool().OlvidaNiveles();
  UltimoNivel = 0;
#endif
}

void TAplicacion::ActualizaMarcas() {
  bool SinRedexDebajo = !EsFuncion(Func) && Limpio(Func) && Limpio(Arg);
  Marca = SinRedexDebajo ? SinRedex : 0u;
  PonNivelMinimo(this, std::min(NivelMinimo(Func), NivelMinimo(Arg)));
}

void TFuncion::ActualizaMarcas() {
  Marca = Limpio(Cuerpo) ? SinRedex : 0u;
  PonNivelMinimo(this, NivelSinParam(NivelMinimo(Cuerpo), Param, true));
}

// ---------------------------------------------------------------------------------------------
// Copying. A bound variable met inside the copy is replaced by its binder's new variable, found
// through the old variable's Copiada; this gives the same result as copying the body and then
// substituting the new variable for the old, in one walk.

namespace {

// The copy of a variable occurrence: the new binder's variable, or the variable itself.
inline TExprLambda* CopiaOcurrencia(TVariable* v) {
  TVariable* r = v->Copiada ? v->Copiada : v;
  ++r->Refs;
  return r;
}

}  // namespace

// Marks are set as each node is made, before its children. A copied node keeps its original's
// SinRedex and Cerrado. Its level bound comes from its original's, m: the variables bound outside
// the copy that occur in it lie at m or above, and at the bound of the copy's root or above; the
// copy's own binders that occur in it are among those above it whose originals lie at m or above,
// and the outermost of those has the lowest level of them, being made first.
// Flattened: the allocations inline, which the copy of a small argument spends most on.
__attribute__((flatten)) TExprLambda* CopiaConPila(TExprLambda* raiz, TPilasCopia& Pilas) {
  if (EsVariable(raiz)) return CopiaOcurrencia(static_cast<TVariable*>(raiz));
  using TTarea = TPilasCopia::TTarea;
  using TLigador = TPilasCopia::TLigador;
  constexpr uint32_t Marcas = TExprLambda::SinRedex | TExprLambda::Cerrado;
  std::vector<TTarea>& Tareas = Pilas.Tareas;
  std::vector<TLigador>& Ligadores = Pilas.Ligadores;
  std::vector<TVariable*>& Copiadas = Pilas.Copiadas;
  Copiadas.clear();
  const uint32_t NivelRaiz = NivelMinimo(raiz);
  TExprLambda* Copia = nullptr;
  // The stacks are used through indexes, grown by hand: the vector's own push is not inlined,
  // and it cost as much as the copying.
  std::size_t k = 0, h = 0;
  auto Apila = [&](TTarea t) {
    if (k == Tareas.size()) Tareas.resize(2 * k + 64);
    Tareas[k++] = t;
  };
  auto Marca = [&](TExprLambda* n, const TExprLambda* o) {
    n->Marca = o->Marca & Marcas;
    if (n->Marca & TExprLambda::Cerrado) return;
    uint32_t m = o->Marca >> TExprLambda::PrimerBitNivel;
    uint32_t Fuera = std::max(m, NivelRaiz);
    // The first binder whose highest level so far reaches m: the maxima never decrease.
    std::size_t Bajo = 0, Alto = h;
    while (Bajo < Alto) {
      std::size_t Medio = (Bajo + Alto) / 2;
      if (Ligadores[Medio].Maximo >= m)
        Alto = Medio;
      else
        Bajo = Medio + 1;
    }
    uint32_t Dentro = Bajo < h ? Ligadores[Bajo].Nuevo : SinNivel;
    PonNivelMinimo(n, std::min(Fuera, Dentro));
  };
  // Down the function parts, pushing the arguments; a variable is copied where it is met.
  TExprLambda* Origen = raiz;
  TExprLambda** Destino = &Copia;
  try {
    for (;;) {
      if (TAplicacion* ap = ComoAplicacion(Origen)) {
        TAplicacion* n = new TAplicacion;
        Marca(n, ap);
        *Destino = n;
        if (EsVariable(ap->Arg))
          n->Arg = CopiaOcurrencia(static_cast<TVariable*>(ap->Arg));
        else
          Apila({ap->Arg, &n->Arg, h});
        Origen = ap->Func;
        Destino = &n->Func;
        continue;
      }
      if (TFuncion* f = ComoFuncion(Origen)) {
        TFuncion* n = new TFuncion;
        Marca(n, f);
        *Destino = n;
        n->Param = new TVariable;
        f->Param->Copiada = n->Param;
        Copiadas.push_back(f->Param);
        if (h == Ligadores.size()) Ligadores.resize(2 * h + 16);
        uint32_t l = Nivel(f->Param);
        Ligadores[h] = {l, Nivel(n->Param), h ? std::max(l, Ligadores[h - 1].Maximo) : l};
        ++h;
        Origen = f->Cuerpo;
        Destino = &n->Cuerpo;
        continue;
      }
      *Destino = CopiaOcurrencia(static_cast<TVariable*>(Origen));
      if (k == 0) break;
      const TTarea& t = Tareas[--k];
      Origen = t.Origen;
      Destino = t.Destino;
      h = t.Ligadores;
    }
  } catch (...) {
    // Out of room: undo the scratch links and drop the half-made copy.
    for (TVariable* v : Copiadas) v->Copiada = nullptr;
    Libera(Copia);
    throw;
  }
  for (TVariable* v : Copiadas) v->Copiada = nullptr;
  return Copia;
}

namespace {

TExprLambda* CopiaTermino(TExprLambda* raiz) {
  TPilasCopia Pilas;
  return CopiaConPila(raiz, Pilas);
}

}  // namespace

TExprLambda* TVariable::Copia() {
  return CopiaTermino(this);
}
TExprLambda* TAplicacion::Copia() {
  return CopiaTermino(this);
}
TExprLambda* TFuncion::Copia() {
  return CopiaTermino(this);
}

// ---------------------------------------------------------------------------------------------
// Substitution.

void BuscaOcurrencias(TExprLambda* raiz, TVariable* v, uint32_t Borra, bool LigadaFuera,
                      uint32_t NivelValor, std::vector<TExprLambda**>& huecos,
                      std::vector<TExprLambda*>& Pila) {
  huecos.clear();
  const std::size_t Total = v->Refs;
  if (EsVariable(raiz) || Total == 0) return;
  if (!LigadaFuera) {
    Pila.assign(1, raiz);
    while (!Pila.empty() && huecos.size() < Total) {
      TExprLambda* n = Pila.back();
      Pila.pop_back();
      n->Marca &= ~Borra;
      auto Hijo = [&](TExprLambda * &h) __attribute__((always_inline)) {
        if (h == v)
          huecos.push_back(&h);
        else if (!EsVariable(h))
          Pila.push_back(h);
      };
      if (TAplicacion* ap = ComoAplicacion(n)) {
        Hijo(ap->Arg);
        Hijo(ap->Func);
      } else {
        Hijo(static_cast<TFuncion*>(n)->Cuerpo);
      }
    }
    return;
  }
  // A walk before and after the children: a node entered goes back on the stack tagged in its
  // lowest bit (nodes are aligned), to have its bound set as the walk leaves it. The stack is the
  // first k of Pila, grown by hand so that pushing stays inline.
  const uint32_t L = Nivel(v);
  std::size_t k = 0;
  // The lambdas are forced inline: called at every node of a small body, the calls cost more
  // than the search.
  auto Empuja = [&](TExprLambda * n) __attribute__((always_inline)) {
    if (k == Pila.size()) Pila.resize(2 * k + 64);
    Pila[k++] = n;
  };
  auto Marcado = [](TExprLambda* n) { return (reinterpret_cast<uintptr_t>(n) & 1) != 0; };
  auto Valor = [&](const TExprLambda* h) __attribute__((always_inline)) {
    return h == v ? NivelValor : NivelMinimo(h);
  };
  auto Sale = [&](TExprLambda * n) __attribute__((always_inline)) {
    n = reinterpret_cast<TExprLambda*>(reinterpret_cast<uintptr_t>(n) & ~uintptr_t(1));
    if (TAplicacion* ap = ComoAplicacion(n)) {
      PonNivelMinimo(n, std::min(Valor(ap->Func), Valor(ap->Arg)));
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      PonNivelMinimo(n, NivelSinParam(Valor(f->Cuerpo), f->Param, false));
    }
  };
  auto Hijo = [&](TExprLambda * &h) __attribute__((always_inline)) {
    if (h == v)
      huecos.push_back(&h);
    else if (!EsVariable(h) && NivelMinimo(h) <= L)
      Empuja(h);
  };
  Empuja(raiz);
  while (k > 0) {
    TExprLambda* n = Pila[--k];
    if (Marcado(n)) {
      Sale(n);
      continue;
    }
    n->Marca &= ~Borra;
    Empuja(reinterpret_cast<TExprLambda*>(reinterpret_cast<uintptr_t>(n) | 1));
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Hijo(ap->Arg);
      Hijo(ap->Func);
    } else {
      Hijo(static_cast<TFuncion*>(n)->Cuerpo);
    }
    if (huecos.size() == Total) break;
  }
  // Every occurrence found: what is left to enter holds none; the nodes entered and not yet
  // left lie on one path, the deepest last on the stack.
  while (k > 0) {
    TExprLambda* n = Pila[--k];
    if (Marcado(n)) Sale(n);
  }
}

namespace {

// Replaces every occurrence of Vble below `raiz` (not `raiz` itself) by a copy of Valor.
void SustituyeDebajo(TExprLambda* raiz, TVariable* Vble, TExprLambda* Valor) {
  // A copy put in place of a variable may form a redex anywhere above it, and a free variable
  // may occur inside a closed subtree whose replacement is not closed.
  // What each node knows of the levels below it goes too: the copies bring variables of their own.
  constexpr uint32_t Niveles = ~((1u << TExprLambda::PrimerBitNivel) - 1);
  uint32_t Borra = (EsVariable(Valor) ? 0u : TExprLambda::SinRedex) |
                   (Vble->Libre ? TExprLambda::Cerrado : 0u) | Niveles;
  std::vector<TExprLambda**> Huecos;
  std::vector<TExprLambda*> Pila;
  BuscaOcurrencias(raiz, Vble, Borra, false, 0, Huecos, Pila);
  for (TExprLambda** h : Huecos) {
    *h = Valor->Copia();
    --Vble->Refs;  // the caller holds Vble, so a free one never reaches zero here
  }
}

}  // namespace

TExprLambda* TVariable::Sustituye(TVariable* Vble, TExprLambda* Valor) {
  if (this != Vble) return this;
  TExprLambda* r = Valor->Copia();
  --Refs;  // the receiver's place now holds the copy
  return r;
}

TExprLambda* TAplicacion::Sustituye(TVariable* Vble, TExprLambda* Valor) {
  SustituyeDebajo(this, Vble, Valor);
  return this;
}

TExprLambda* TFuncion::Sustituye(TVariable* Vble, TExprLambda* Valor) {
  SustituyeDebajo(this, Vble, Valor);
  return this;
}

// ---------------------------------------------------------------------------------------------
// Numbering.

void ReseteaVariable(TExprLambda* Nodo) {
  if (EsVariable(Nodo)) static_cast<TVariable*>(Nodo)->Indice = -1;
}

void NumeraVariable(int32_t& NumVars, TExprLambda* Nodo) {
  if (!EsVariable(Nodo)) return;
  TVariable* v = static_cast<TVariable*>(Nodo);
  if (v->Indice < 0) v->Indice = NumVars++;
}

std::size_t Renumera(TExprLambda* t, int32_t& NumVars) {
  return Renumera(t, NumVars, {});
}

std::size_t Renumera(TExprLambda* t, int32_t& NumVars, const std::function<void()>& Pulso) {
  // The numbers the two walks of ReseteaVariable and NumeraVariable over RecorrePre give, in one
  // walk: a bound variable is first met as its binder's Param, so it takes the next number
  // there; a free one takes it at its first occurrence, which a scratch bit tells, cleared again
  // at the end. Down the function spine, with the arguments waiting on the stack. The printed
  // length is summed on the way, piece by piece as LongitudTexto counts it, each name as soon
  // as it has its number: a view that prints next spares a walk.
  constexpr uint32_t Numerada = 1u << 2;
  static_assert(Numerada < (1u << TExprLambda::PrimerBitNivel));
  std::vector<TVariable*> Libres;
  struct TLimpia {
    std::vector<TVariable*>& Libres;
    ~TLimpia() {
      for (TVariable* v : Libres) v->Marca &= ~Numerada;
    }
  } Limpia{Libres};
  std::vector<TExprLambda*> Pila;
  Pila.reserve(64);
  int32_t Num = 0;
  std::size_t k = 0, Longitud = 0;
  auto Ocurrencia = [&](TExprLambda* e) {
    TVariable* v = static_cast<TVariable*>(e);
    if (v->Libre && !(v->Marca & Numerada)) {
      Libres.push_back(v);
      v->Marca |= Numerada;
      v->Indice = Num++;
    }
    Longitud += LongitudNombre(v->Indice);
  };
  // Where n stands, for the parentheses around it: a compound argument and an abstraction in
  // function place have them. Told by the parent, so that no child is loaded early.
  enum { Otro, Argumento, Funcion } Lugar = Otro;
  TExprLambda* n = t;
  for (;;) {
    if (Pulso && (++k & 0xFFFF) == 0) Pulso();
    if (EsVariable(n)) {
      Ocurrencia(n);
      n = nullptr;
    } else if (EsFuncion(n)) {
      TFuncion* f = static_cast<TFuncion*>(n);
      f->Param->Indice = Num++;
      Longitud += 5 + LongitudNombre(f->Param->Indice) + (Lugar == Otro ? 0 : 2);
      n = f->Cuerpo;
      Lugar = Otro;
    } else {
      TAplicacion* ap = static_cast<TAplicacion*>(n);
      Longitud += Lugar == Argumento ? 3 : 1;
      if (EsVariable(ap->Func)) {
        Ocurrencia(ap->Func);
        n = ap->Arg;
        Lugar = Argumento;
      } else {
        __builtin_prefetch(ap->Arg);  // as in Imprime
        Pila.push_back(ap->Arg);
        n = ap->Func;
        Lugar = Funcion;
      }
    }
    if (!n) {
      if (Pila.empty()) break;
      n = Pila.back();
      Pila.pop_back();
      Lugar = Argumento;
    }
  }
  NumVars = Num;
  return Longitud;
}

// ---------------------------------------------------------------------------------------------
// Checks and measures.

bool EsValido(TExprLambda* t) {
  // Pre-order with an exit marker per abstraction. Scratch bits of Marca say which nodes were
  // seen and which binders are in scope; they are cleared again before returning. Bound
  // variables must count exactly their occurrences.
  constexpr uint32_t Visto = 1u << 2, EnAmbito = 1u << 3;
  static_assert(EnAmbito < (1u << TExprLambda::PrimerBitNivel));
  std::vector<TExprLambda*> Marcados;
  std::vector<TVariable*> Ocurrencias, Ligadas;
  std::vector<std::pair<TExprLambda*, TVariable*>> Pila{{t, nullptr}};
  bool Valido = true;
  while (Valido && !Pila.empty()) {
    auto [n, sale] = Pila.back();
    Pila.pop_back();
    if (!n) {
      sale->Marca &= ~EnAmbito;
      continue;
    }
    if (TVariable* v = ComoVariable(n)) {
      if (v->Libre ? v->Refs == 0 : !(v->Marca & EnAmbito)) Valido = false;
      if (!v->Libre) Ocurrencias.push_back(v);
      continue;
    }
    if (n->Marca & Visto) {
      Valido = false;
      break;
    }
    n->Marca |= Visto;
    Marcados.push_back(n);
    if (TAplicacion* ap = ComoAplicacion(n)) {
      if (!ap->Func || !ap->Arg) Valido = false;
      Pila.push_back({ap->Arg, nullptr});
      Pila.push_back({ap->Func, nullptr});
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      if (!f->Param || !f->Cuerpo || f->Param->Libre || (f->Param->Marca & Visto)) {
        Valido = false;
        break;
      }
      f->Param->Marca |= Visto | EnAmbito;
      Ligadas.push_back(f->Param);
      Pila.push_back({nullptr, f->Param});
      Pila.push_back({f->Cuerpo, nullptr});
    }
  }
  for (TExprLambda* n : Marcados) n->Marca &= ~Visto;
  for (TVariable* v : Ligadas) v->Marca &= ~(Visto | EnAmbito);
  if (!Valido) return false;
  // Every binder's count against its occurrences (binders that never occur must count 0).
  std::sort(Ocurrencias.begin(), Ocurrencias.end());
  std::sort(Ligadas.begin(), Ligadas.end());
  std::size_t i = 0;
  for (TVariable* v : Ligadas) {
    std::size_t j = i;
    while (j < Ocurrencias.size() && Ocurrencias[j] == v) ++j;
    if (v->Refs != j - i) return false;
    i = j;
  }
  return i == Ocurrencias.size();
}

std::size_t CuentaNodos(TExprLambda* t) {
  std::size_t n = 0;
  t->RecorrePre([&n](TExprLambda*) { ++n; });
  return n;
}

std::size_t CuentaNodos(TExprLambda* t, std::size_t Tope, const std::function<void()>& Pulso) {
  std::size_t n = 0, k = 0;
  std::vector<TExprLambda*> Pila{t};
  while (!Pila.empty() && n <= Tope) {
    TExprLambda* e = Pila.back();
    Pila.pop_back();
    Late(Pulso, k);
    ++n;
    if (TAplicacion* ap = ComoAplicacion(e)) {
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    } else if (TFuncion* f = ComoFuncion(e)) {
      ++n;  // its variable
      Pila.push_back(f->Cuerpo);
    }
  }
  return n;
}

std::size_t Profundidad(TExprLambda* t) {
  std::size_t Maxima = 0;
  std::vector<std::pair<TExprLambda*, std::size_t>> Pila{{t, 1}};
  while (!Pila.empty()) {
    auto [n, d] = Pila.back();
    Pila.pop_back();
    Maxima = std::max(Maxima, d);
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back({ap->Func, d + 1});
      Pila.push_back({ap->Arg, d + 1});
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back({f->Cuerpo, d + 1});
    }
  }
  return Maxima;
}
