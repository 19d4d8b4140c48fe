// SPDX-License-Identifier: GPL-3.0-or-later
// The "Pasos" panel: every term since the last Enter, one row each, the contracted redex marked
// in the highlight's colours and how the step was taken at the right. The record may hold
// thousands of lines: only the visible rows are asked of the worker and become DOM. A click or
// Up/Down makes a line current.
import { tramosResaltados } from "./texto.js";

const AltoFila = 20;

export class TPasos {
  // pide(desde, hasta, caben): the rows to show; elige(fila): a line's row chosen.
  constructor(lista, { pide, elige }) {
    Object.assign(this, { lista, pide, elige, total: 0, actual: -1, filas: new Map() });
    this.alto = document.createElement("div");
    this.visibles = document.createElement("div");
    this.visibles.className = "filas";
    this.alto.append(this.visibles);
    lista.replaceChildren(this.alto);
    lista.addEventListener("scroll", () => this.pideVisibles());
    lista.addEventListener("click", (e) => {
      const f = e.target.closest(".fila");
      if (f && f.classList.contains("linea")) this.elige(+f.dataset.i);
    });
    lista.addEventListener("keydown", (e) => {
      const d = { ArrowUp: -1, ArrowDown: 1 }[e.key];
      if (!d) return;
      e.preventDefault();
      for (let i = this.actual + d; i >= 0 && i < this.total; i += d) {
        const f = this.filas.get(i);
        if (!f || f.tipo === "L") return this.elige(i);
      }
    });
  }

  // What the panel lists changed: its rows' number and the current one, kept in view.
  fija(total, actual) {
    Object.assign(this, { total, actual, filas: new Map() });
    this.alto.style.height = total * AltoFila + "px";
    if (actual >= 0) {
      const arriba = actual * AltoFila, l = this.lista;
      if (arriba < l.scrollTop || arriba + AltoFila > l.scrollTop + l.clientHeight)
        l.scrollTop = arriba - (l.clientHeight >> 1);
    }
    this.pideVisibles();
  }
  pideVisibles() {
    if (this.lista.offsetParent === null) return;
    const desde = Math.floor(this.lista.scrollTop / AltoFila);
    const hasta = Math.min(this.total, desde + Math.ceil(this.lista.clientHeight / AltoFila) + 1);
    const caben = Math.max(1, Math.floor(this.lista.clientWidth / 7));
    this.pide(desde, hasta, caben);
  }
  // The rows asked for, as the worker gave them.
  muestra(desde, filas) {
    const f = document.createDocumentFragment();
    filas.forEach((x, k) => {
      const i = desde + k;
      this.filas.set(i, x);
      const d = document.createElement("div");
      d.className = "fila" + (x.tipo === "L" ? " linea" : "") + (i === this.actual ? " actual" : "");
      d.dataset.i = i;
      if (x.tipo === "L" || x.tipo === "A") {
        const n = document.createElement("span");
        n.textContent = x.paso + ": ";
        d.append(n);
        tramosResaltados(d, x.texto, 0, x.texto.length, x.marcas);
      } else d.textContent = x.texto;
      if (x.como) {
        const c = document.createElement("span");
        c.className = "como";
        c.textContent = x.como;
        d.append(c);
      }
      f.append(d);
    });
    this.visibles.style.top = desde * AltoFila + "px";
    this.visibles.replaceChildren(f);
  }
}
