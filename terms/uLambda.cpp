#include "uLambda.h"

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
// Node pool. Every node fits one 32-byte slot; freed slots go on a free list and are reused
// first, so a term that is built and destroyed over and over does not grow memory.

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
  struct TLibre {
    TLibre* Sig;
  };
  struct TBloque {
    char* Inicio;
    std::size_t Nodos;
  };
  TLibre* Libres = nullptr;
  char* Actual = nullptr;
  char* Fin = nullptr;
  std::size_t TamBloque = 64 * 1024;
  std::size_t Vivos = 0;
  std::size_t Limite = LimitePorDefecto();
  // The blocks by address, and the counts that decide when the free list is put in order.
  std::vector<TBloque> Bloques;
  std::size_t NodosEnBloques = 0;
  std::size_t NumLibres = 0;
  std::size_t DevueltosDesdeOrden = 0;

  void* Toma() {
    if (Vivos >= Limite) throw EDemasiadoGrande(Vivos + 1);
#ifdef LAMBDA_SIN_POOL
    void* p = std::malloc(TamNodo);
    if (!p) throw std::bad_alloc();
    ++Vivos;
    return p;
#else
    if (Libres) {
      ++Vivos;
      --NumLibres;
      TLibre* l = Libres;
      Libres = l->Sig;
      return l;
    }
    if (Actual == Fin) NuevoBloque();
    ++Vivos;
    void* p = Actual;
    Actual += TamNodo;
    return p;
#endif
  }

  void NuevoBloque() {
    Bloques.reserve(Bloques.size() + 1);
    // Blocks grow up to 4 MiB, so small sessions stay small and big terms cost few mallocs.
    char* b = static_cast<char*>(std::malloc(TamBloque));
    if (!b) throw std::bad_alloc();
    TBloque Nuevo{b, TamBloque / TamNodo};
    Bloques.insert(
        std::upper_bound(Bloques.begin(), Bloques.end(), Nuevo,
                         [](const TBloque& x, const TBloque& y) { return x.Inicio < y.Inicio; }),
        Nuevo);
    NodosEnBloques += Nuevo.Nodos;
    Actual = b;
    Fin = b + TamBloque;
    if (TamBloque < 4 * 1024 * 1024) TamBloque *= 2;
  }

  void Devuelve(void* p) {
    --Vivos;
#ifdef LAMBDA_SIN_POOL
    std::free(p);
#else
    TLibre* l = static_cast<TLibre*>(p);
    l->Sig = Libres;
    Libres = l;
    ++NumLibres;
    ++DevueltosDesdeOrden;
#endif
  }

  // Freed nodes come back in the order a term is destroyed, which scatters the next term's nodes
  // over memory and makes every walk over it miss the cache. Once many nodes have come back (as
  // many as half the free list, and a fair share of the pool, so the cost stays a few steps per
  // node returned) the free list is put in address order.
  void OrdenaSiConviene() noexcept {
    std::size_t Umbral = std::max({std::size_t(65536), NumLibres / 2, NodosEnBloques / 256});
    if (DevueltosDesdeOrden < Umbral) return;
    DevueltosDesdeOrden = 0;
    try {
      Ordena();
    } catch (const std::bad_alloc&) {
      // Without room for the map the list stays as it is: only slower.
    }
  }

  // One bit a slot: set the bits of the free slots, then relink them from the highest address
  // down, so that the list starts at the lowest.
  void Ordena() {
    std::vector<std::size_t> Desde(Bloques.size() + 1, 0);
    for (std::size_t i = 0; i < Bloques.size(); ++i)
      Desde[i + 1] = Desde[i] + (Bloques[i].Nodos + 63) / 64;
    std::vector<uint64_t> Mapa(Desde.back(), 0);
    for (TLibre* l = Libres; l; l = l->Sig) {
      char* c = reinterpret_cast<char*>(l);
      auto b = std::upper_bound(Bloques.begin(), Bloques.end(), c,
                                [](char* x, const TBloque& y) { return x < y.Inicio; }) -
               1;
      std::size_t k = static_cast<std::size_t>(c - b->Inicio) / TamNodo;
      Mapa[Desde[b - Bloques.begin()] + k / 64] |= uint64_t(1) << (k % 64);
    }
    Libres = nullptr;
    for (std::size_t i = Bloques.size(); i-- > 0;) {
      for (std::size_t w = Desde[i + 1]; w-- > Desde[i];) {
        for (uint64_t m = Mapa[w]; m; m &= ~(uint64_t(1) << (63 - __builtin_clzll(m)))) {
          std::size_t k = (w - Desde[i]) * 64 + static_cast<std::size_t>(63 - __builtin_clzll(m));
          TLibre* l = reinterpret_cast<TLibre*>(Bloques[i].Inicio + k * TamNodo);
          l->Sig = Libres;
          Libres = l;
        }
      }
    }
  }
};

// Never destroyed: terms held by static objects may outlive any order of destruction.
TPool& Pool() {
  static TPool* p = new TPool;
  return *p;
}

}  // namespace

void* TExprLambda::operator new(std::size_t n) {
  if (n > TamNodo) return ::operator new(n);
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
    delete n;  // childless now: its destructor does nothing more
  }
  for (TVariable* v : Variables) delete v;
  Variables.clear();
  Pool().OrdenaSiConviene();
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
static_assert(Buscado < (1u << TExprLambda::PrimerBitSueltas));

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
// Marks. Closedness is counted: a node holds its children's occurrences of variables bound
// outside them, less those of its own variable, which all lie in its body.

namespace {

constexpr uint64_t SueltasDesconocidas = UINT32_MAX;  // past every count the bits can hold

// The occurrences of variables bound outside `h` that the child `h` brings to its parent.
inline uint64_t Sueltas(const TExprLambda* h) {
  if (EsVariable(h)) return static_cast<const TVariable*>(h)->Libre ? 0 : 1;
  if (h->Marca & TExprLambda::Cerrado) return 0;
  uint32_t s = h->Marca >> TExprLambda::PrimerBitSueltas;
  return s ? s : SueltasDesconocidas;
}

inline uint32_t MarcasDeSueltas(uint64_t s) {
  if (s == 0) return TExprLambda::Cerrado;
  if (s > (UINT32_MAX >> TExprLambda::PrimerBitSueltas)) return 0;  // not known
  return static_cast<uint32_t>(s) << TExprLambda::PrimerBitSueltas;
}

}  // namespace

void TAplicacion::ActualizaMarcas() {
  bool SinRedexDebajo = !EsFuncion(Func) && Limpio(Func) && Limpio(Arg);
  Marca = (SinRedexDebajo ? SinRedex : 0u) | MarcasDeSueltas(Sueltas(Func) + Sueltas(Arg));
}

void TFuncion::ActualizaMarcas() {
  uint64_t s = Sueltas(Cuerpo);
  s = s >= SueltasDesconocidas || s < Param->Refs ? SueltasDesconocidas : s - Param->Refs;
  Marca = (Limpio(Cuerpo) ? SinRedex : 0u) | MarcasDeSueltas(s);
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

TExprLambda* CopiaConPila(TExprLambda* raiz, std::vector<TTareaCopia>& Pila) {
  if (EsVariable(raiz)) return CopiaOcurrencia(static_cast<TVariable*>(raiz));
  TExprLambda* Copia = nullptr;
  Pila.assign(1, {raiz, &Copia, nullptr});
  try {
    while (!Pila.empty()) {
      TTareaCopia t = Pila.back();
      Pila.pop_back();
      if (!t.Origen) {
        t.Limpia->Copiada = nullptr;
      } else if (EsVariable(t.Origen)) {
        *t.Destino = CopiaOcurrencia(static_cast<TVariable*>(t.Origen));
      } else if (TAplicacion* ap = ComoAplicacion(t.Origen)) {
        TAplicacion* n = new TAplicacion;
        n->Marca = ap->Marca;
        *t.Destino = n;
        Pila.push_back({ap->Arg, &n->Arg, nullptr});
        Pila.push_back({ap->Func, &n->Func, nullptr});
      } else {
        TFuncion* f = static_cast<TFuncion*>(t.Origen);
        TFuncion* n = new TFuncion;
        n->Marca = f->Marca;
        *t.Destino = n;
        n->Param = new TVariable;
        f->Param->Copiada = n->Param;
        Pila.push_back({nullptr, nullptr, f->Param});
        Pila.push_back({f->Cuerpo, &n->Cuerpo, nullptr});
      }
    }
  } catch (...) {
    // Out of room: undo the scratch links and drop the half-made copy.
    for (const TTareaCopia& t : Pila)
      if (!t.Origen) t.Limpia->Copiada = nullptr;
    Libera(Copia);
    throw;
  }
  return Copia;
}

namespace {

TExprLambda* CopiaTermino(TExprLambda* raiz) {
  std::vector<TTareaCopia> Pila;
  return CopiaConPila(raiz, Pila);
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
                      std::vector<TExprLambda**>& huecos, std::vector<TExprLambda*>& Pila) {
  huecos.clear();
  Pila.clear();
  const uint32_t salta = LigadaFuera ? TExprLambda::Cerrado : 0u;
  if (EsVariable(raiz) || (raiz->Marca & salta)) return;
  const std::size_t Total = v->Refs;
  auto Hijo = [&](TExprLambda*& h) {
    if (h == v)
      huecos.push_back(&h);
    else if (!EsVariable(h) && !(h->Marca & salta))
      Pila.push_back(h);
  };
  Pila.push_back(raiz);
  while (!Pila.empty() && huecos.size() < Total) {
    TExprLambda* n = Pila.back();
    Pila.pop_back();
    n->Marca &= ~Borra;
    if (TAplicacion* ap = ComoAplicacion(n)) {
      Hijo(ap->Arg);
      Hijo(ap->Func);
    } else {
      Hijo(static_cast<TFuncion*>(n)->Cuerpo);
    }
  }
}

namespace {

// Replaces every occurrence of Vble below `raiz` (not `raiz` itself) by a copy of Valor.
void SustituyeDebajo(TExprLambda* raiz, TVariable* Vble, TExprLambda* Valor) {
  // A copy put in place of a variable may form a redex anywhere above it, and a free variable
  // may occur inside a closed subtree whose replacement is not closed.
  uint32_t Borra =
      (EsVariable(Valor) ? 0u : TExprLambda::SinRedex) | (Vble->Libre ? TExprLambda::Cerrado : 0u);
  std::vector<TExprLambda**> Huecos;
  std::vector<TExprLambda*> Pila;
  BuscaOcurrencias(raiz, Vble, Borra, false, Huecos, Pila);
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
  static_assert(EnAmbito < (1u << TExprLambda::PrimerBitSueltas));
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
