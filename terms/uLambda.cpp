#include "uLambda.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
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
TPool& Pool() {
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
      ap->Func = ap->Arg = nullptr;
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      SueltaHijo(f->Cuerpo, Pendientes);
      if (f->Param) Variables.push_back(f->Param);
      f->Cuerpo = nullptr;
      f->Param = nullptr;
    }
    // Childless now, its destructor would do nothing more: the slot goes straight back.
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
  delete t;
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
  for (uint32_t k = i / 26; k; --k) *p++ = '\'';
  return p;
}

inline char* AgregaLiteral(char* p, const char* Literal) {
  while (*Literal) *p++ = *Literal++;
  return p;
}

std::size_t LongitudNombre(int32_t Indice) {
  return 1 + (Indice < 0 ? 0u : static_cast<uint32_t>(Indice)) / 26;
}

// Pulses of the long walks: one every 64 Ki nodes.
inline void Late(const std::function<void()>& Pulso, std::size_t& k) {
  if (Pulso && (++k & 0xFFFF) == 0) Pulso();
}

// Each entry of the printing stack is a node to print or a literal to append. Closing
// parentheses due one after another share one entry, so a chain of arguments keeps the stack
// small. An entry with none of the three is the end of a node whose range is wanted.
struct TTarea {
  TExprLambda* Nodo;
  const char* Literal;
  uint32_t Cierres = 0;
  // A node: the flags below; the end of a range: its place in the sorted list of wanted nodes.
  uint32_t Extra = 0;
};

constexpr uint32_t Envuelto = 1;  // its parent prints parentheses around it
constexpr uint32_t Registra = 2;  // a variable child of a wanted node, itself wanted

// Scratch bit of Marca on the wanted nodes while TextoConRangos prints.
constexpr uint32_t Buscado = 1u << 3;
static_assert(Buscado < (1u << TExprLambda::PrimerBitNivel));

// The pieces of an application, pushed so that they come off in printing order.
void ApilaAplicacion(std::vector<TTarea>& Pila, TAplicacion* ap, uint32_t FlagsArg = 0,
                     uint32_t FlagsFunc = 0) {
  bool ArgCompuesto = !EsVariable(ap->Arg);
  bool FuncAbs = EsFuncion(ap->Func);
  if (ArgCompuesto) {
    if (!Pila.empty() && Pila.back().Cierres && Pila.back().Cierres < UINT32_MAX)
      ++Pila.back().Cierres;
    else
      Pila.push_back({nullptr, nullptr, 1});
  }
  Pila.push_back({ap->Arg, nullptr, 0, FlagsArg | (ArgCompuesto ? Envuelto : 0u)});
  Pila.push_back({nullptr, ArgCompuesto ? " (" : " "});
  if (FuncAbs) Pila.push_back({nullptr, ")"});
  Pila.push_back({ap->Func, nullptr, 0, FlagsFunc | (FuncAbs ? Envuelto : 0u)});
  if (FuncAbs) Pila.push_back({nullptr, "("});
}

// The wanted nodes by address, with their places in the caller's list. A variable is one node
// for all its occurrences, so a wanted variable is sought as a child of an application instead.
struct TBuscados {
  std::vector<std::pair<TExprLambda*, std::size_t>> Orden;
  // A wanted variable: its application, which side (0 Func, 1 Arg), its place in the list.
  std::vector<std::tuple<TExprLambda*, int, std::size_t>> Hijos;
  std::vector<TRango>* Rangos = nullptr;

  // The first place of `n` in Orden, or Orden.size().
  std::size_t Busca(TExprLambda* n) const {
    auto it = std::lower_bound(Orden.begin(), Orden.end(), n,
                               [](const auto& x, TExprLambda* y) { return x.first < y; });
    return it != Orden.end() && it->first == n ? static_cast<std::size_t>(it - Orden.begin())
                                               : Orden.size();
  }
  // Sets Desde or Hasta for every place of the node at Orden[k].
  void Fija(std::size_t k, std::size_t TRango::*Campo, std::size_t Valor) const {
    for (std::size_t j = k; j < Orden.size() && Orden[j].first == Orden[k].first; ++j)
      (*Rangos)[Orden[j].second].*Campo = Valor;
  }
  // The flags of the task of `ap`'s child on `Lado`: Registra and the child's first place in
  // Hijos, when it is wanted there.
  uint32_t Hijo(TAplicacion* ap, int Lado) const {
    if (Hijos.empty()) return 0;
    auto it =
        std::lower_bound(Hijos.begin(), Hijos.end(), std::make_tuple(ap, Lado, std::size_t(0)));
    if (it == Hijos.end() || std::get<0>(*it) != ap || std::get<1>(*it) != Lado) return 0;
    return Registra | static_cast<uint32_t>(it - Hijos.begin()) << 2;
  }
  // The range of a wanted variable child, from the flags of its task.
  void FijaHijo(uint32_t Extra, std::size_t Desde, std::size_t Hasta) const {
    std::size_t k = Extra >> 2;
    for (std::size_t j = k; j < Hijos.size() && std::get<0>(Hijos[j]) == std::get<0>(Hijos[k]) &&
                            std::get<1>(Hijos[j]) == std::get<1>(Hijos[k]);
         ++j)
      (*Rangos)[std::get<2>(Hijos[j])] = {Desde, Hasta};
  }
};

template <bool ConRangos>
std::string Imprime(TExprLambda* raiz, std::size_t Longitud, const std::function<void()>& Pulso,
                    const TBuscados* Buscados = nullptr) {
  // Made to its exact size, and written through a pointer: the length is known, so no write
  // needs to check for room.
  std::string s(Longitud, '\0');
  char* const Inicio = s.data();
  char* p = Inicio;
  std::vector<TTarea> Pila{{raiz, nullptr}};
  std::size_t k = 0;
  while (!Pila.empty()) {
    TTarea t = Pila.back();
    Pila.pop_back();
    Late(Pulso, k);
    if (t.Cierres) {
      p = static_cast<char*>(std::memset(p, ')', t.Cierres)) + t.Cierres;
      continue;
    }
    if (t.Literal) {
      p = AgregaLiteral(p, t.Literal);
      continue;
    }
    TExprLambda* n = t.Nodo;
    if constexpr (ConRangos) {
      if (!n) {
        Buscados->Fija(t.Extra, &TRango::Hasta, static_cast<std::size_t>(p - Inicio));
        continue;
      }
      if (EsVariable(n)) {
        char* Antes = p;
        p = AgregaNombre(p, static_cast<TVariable*>(n)->Indice);
        if (t.Extra & Registra)
          Buscados->FijaHijo(t.Extra, static_cast<std::size_t>(Antes - Inicio),
                             static_cast<std::size_t>(p - Inicio));
        continue;
      }
      if (n->Marca & Buscado) {
        std::size_t j = Buscados->Busca(n);
        bool Par = t.Extra & Envuelto;
        Buscados->Fija(j, &TRango::Desde, static_cast<std::size_t>(p - Inicio) - (Par ? 1 : 0));
        if (Par) {
          // The parenthesis that closes it is on top: it goes after the end of the range.
          TTarea& c = Pila.back();
          if (c.Cierres > 1)
            --c.Cierres;
          else
            Pila.pop_back();
        }
        Pila.push_back({nullptr, nullptr, 0, static_cast<uint32_t>(j)});
        if (Par) Pila.push_back({nullptr, nullptr, 1});
        if (TFuncion* f = ComoFuncion(n)) {
          p = AgregaLiteral(AgregaNombre(AgregaLiteral(p, "\\ "), f->Param->Indice), " . ");
          Pila.push_back({f->Cuerpo, nullptr});
        } else {
          TAplicacion* ap = static_cast<TAplicacion*>(n);
          ApilaAplicacion(Pila, ap, Buscados->Hijo(ap, 1), Buscados->Hijo(ap, 0));
        }
        continue;
      }
    }
    if (EsVariable(n)) {
      p = AgregaNombre(p, static_cast<TVariable*>(n)->Indice);
    } else if (TFuncion* f = ComoFuncion(n)) {
      p = AgregaLiteral(AgregaNombre(AgregaLiteral(p, "\\ "), f->Param->Indice), " . ");
      Pila.push_back({f->Cuerpo, nullptr});
    } else {
      ApilaAplicacion(Pila, static_cast<TAplicacion*>(n));
    }
  }
  return s;
}

}  // namespace

std::size_t LongitudTexto(TExprLambda* raiz, std::size_t Tope, const std::function<void()>& Pulso) {
  // The pieces Imprime writes: a backslash, a blank, the name and " . " for an abstraction;
  // " " or " (" and ")" around an argument; "(" and ")" around an abstraction in function place.
  std::size_t n = 0, k = 0;
  std::vector<TExprLambda*> Pila{raiz};
  while (!Pila.empty()) {
    TExprLambda* t = Pila.back();
    Pila.pop_back();
    Late(Pulso, k);
    if (EsVariable(t)) {
      n += LongitudNombre(static_cast<TVariable*>(t)->Indice);
    } else if (TFuncion* f = ComoFuncion(t)) {
      n += 5 + LongitudNombre(f->Param->Indice);
      Pila.push_back(f->Cuerpo);
    } else {
      TAplicacion* ap = static_cast<TAplicacion*>(t);
      n += EsVariable(ap->Arg) ? 1 : 3;
      if (EsFuncion(ap->Func)) n += 2;
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    }
    if (n > Tope) return n;
  }
  return n;
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
  std::sort(b.Orden.begin(), b.Orden.end());
  std::sort(b.Hijos.begin(), b.Hijos.end());
  // The marks go again whatever happens: the pulse may throw.
  struct TDesmarca {
    TBuscados& b;
    ~TDesmarca() {
      for (auto& [n, i] : b.Orden) n->Marca &= ~Buscado;
    }
  } Desmarca{b};
  for (auto& [n, i] : b.Orden) n->Marca |= Buscado;
  return Imprime<true>(t, Longitud, Pulso, &b);
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
TExprLambda* CopiaConPila(TExprLambda* raiz, TPilasCopia& Pilas) {
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
      auto Hijo = [&](TExprLambda*& h) {
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
  auto Empuja = [&](TExprLambda* n) {
    if (k == Pila.size()) Pila.resize(2 * k + 64);
    Pila[k++] = n;
  };
  auto Marcado = [](TExprLambda* n) { return (reinterpret_cast<uintptr_t>(n) & 1) != 0; };
  auto Valor = [&](const TExprLambda* h) { return h == v ? NivelValor : NivelMinimo(h); };
  auto Sale = [&](TExprLambda* n) {
    n = reinterpret_cast<TExprLambda*>(reinterpret_cast<uintptr_t>(n) & ~uintptr_t(1));
    if (TAplicacion* ap = ComoAplicacion(n)) {
      PonNivelMinimo(n, std::min(Valor(ap->Func), Valor(ap->Arg)));
    } else {
      TFuncion* f = static_cast<TFuncion*>(n);
      PonNivelMinimo(n, NivelSinParam(Valor(f->Cuerpo), f->Param, false));
    }
  };
  auto Hijo = [&](TExprLambda*& h) {
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

namespace {

// Calls Visita on every variable in the order of a walk before the children, which meets the
// leaves in the same order as the walk after, with a stack that stays small down a chain of
// arguments. A direct loop: the handler is inlined rather than called through TProcNodo.
template <typename F>
void RecorreVariables(TExprLambda* raiz, std::vector<TExprLambda*>& Pila, F Visita) {
  Pila.assign(1, raiz);
  while (!Pila.empty()) {
    TExprLambda* n = Pila.back();
    Pila.pop_back();
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Pila.push_back(ap->Arg);
      Pila.push_back(ap->Func);
    } else if (TFuncion* f = ComoFuncion(n)) {
      Pila.push_back(f->Cuerpo);
      Visita(f->Param);
    } else {
      Visita(static_cast<TVariable*>(n));
    }
  }
}

}  // namespace

void Renumera(TExprLambda* t, int32_t& NumVars) {
  // The same steps as ReseteaVariable and NumeraVariable over RecorrePre.
  std::vector<TExprLambda*> Pila;
  RecorreVariables(t, Pila, [](TVariable* v) { v->Indice = -1; });
  NumVars = 0;
  RecorreVariables(t, Pila, [&NumVars](TVariable* v) {
    if (v->Indice < 0) v->Indice = NumVars++;
  });
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
