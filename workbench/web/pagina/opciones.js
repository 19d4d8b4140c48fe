// SPDX-License-Identifier: GPL-3.0-or-later
// The "Opciones" menu. The workbench holds its state and its rules (which entry is checked, which
// greyed out): a click goes to the worker, and the page draws each entry as the worker answers,
// keeping in the browser the ones it says are kept between sessions.
const $ = (id) => document.getElementById(id);
const ClaveOpciones = "calculo-lambda.opciones";

export class TMenuOpciones {
  // orden(nombre, extra) sends a command; alMostrarPasos(visible) follows "Mostrar los pasos".
  constructor(orden, alMostrarPasos) {
    this.orden = orden;
    this.alMostrarPasos = alMostrarPasos;
    this.estado = null;
    this.pasos = false;
  }

  // The strategies, in the menu's order: a radio entry each, chosen by its key.
  estrategias(lista) {
    $("Estrategias1").replaceChildren(...lista.map(({ nombre, clave }) => {
      const b = document.createElement("button");
      b.textContent = nombre;
      b.dataset.clave = clave;
      b.setAttribute("role", "menuitemradio");
      b.onclick = () => this.orden("estrategia", { clave });
      return b;
    }));
    if (this.estado) this.dibuja(this.estado);
  }

  // The menu as the workbench holds it: { estrategia, entradas: [{ nombre, marcada,
  // habilitada, recordada }] }.
  dibuja(estado) {
    this.estado = estado;
    for (const o of $("Estrategias1").children)
      o.setAttribute("aria-checked", String(o.dataset.clave === estado.estrategia));
    for (const e of estado.entradas) {
      const b = $(e.nombre);
      b.setAttribute("aria-checked", String(e.marcada));
      b.disabled = !e.habilitada;
      b.onclick = () => this.orden("opcion", { nombre: e.nombre, marcada: !e.marcada });
      if (e.nombre === "MostrarPasos1" && e.marcada !== this.pasos) {
        this.pasos = e.marcada;
        this.alMostrarPasos(e.marcada);
      }
    }
    this.guarda();
  }

  // The options kept in the browser between sessions; a browser that keeps nothing starts as the
  // first time.
  guarda() {
    const { estrategia, entradas } = this.estado;
    const marcas = Object.fromEntries(entradas.filter((e) => e.recordada).map((e) => [e.nombre, e.marcada]));
    try {
      localStorage.setItem(ClaveOpciones, JSON.stringify({ estrategia, marcas }));
    } catch (e) { /* storage refused: the options last this session */ }
  }
  // What the last session kept, to the workbench, which restores what it keeps of it.
  recupera() {
    let o = null;
    try { o = JSON.parse(localStorage.getItem(ClaveOpciones)); } catch (e) { return; }
    if (!o || typeof o !== "object") return;
    const marcas = o.marcas && typeof o.marcas === "object" ? o.marcas : {};
    this.orden("recuperaOpciones", { estrategia: String(o.estrategia ?? ""), marcas });
  }
}
