// SPDX-License-Identifier: GPL-3.0-or-later
// "Texto": the printed term, of any length. Lines are wrapped with a table of each character's
// advance in the view's font, the first screen at once and the rest a slice at a time; only the
// visible lines become DOM, so showing a text costs its wrapping and a screenful. The next step's
// background (or the redex under the pointer) comes as ranges in threes (the redex, its function
// part, its argument), offsets into the text, which holds one character a byte. The selection is
// the view's own (a CSS highlight over the visible lines): Ctrl+A, Ctrl+C copy the whole of it.

const Margen = 4;         // around the text, as a plain text box has
const Trozo = 1 << 20;    // characters wrapped a slice
const AltoMaximo = 1e7;   // CSS pixels the scrolled area may take; a longer text scrolls by lines
const Clases = ["redex", "funcion", "argumento"];

export class TMemo {
  // hoja: the scrolled box; memo: the element inside it. apunta(pos) on the pointer's moves (-1:
  // it left), pulsa(pos) on a click that selected nothing.
  constructor(hoja, memo, { apunta, pulsa }) {
    Object.assign(this, { hoja, memo, apunta, pulsa });
    this.texto = "";
    this.resalte = [];
    this.apuntado = [];
    this.ancla = this.cursor = 0;
    this.lineas = document.createElement("div");
    this.lineas.className = "lineas";
    memo.replaceChildren(this.lineas);
    this.seleccion = new Highlight();
    CSS.highlights.set("seleccion", this.seleccion);
    this.mideFuente();
    this.reinicia(0);
    hoja.addEventListener("scroll", () => this.pinta());
    new ResizeObserver(() => this.cambiaAncho()).observe(hoja);
    this.eventos();
  }

  // A new text, scrolled to its start, with nothing selected and nothing highlighted.
  fijaTexto(t) {
    this.texto = t;
    this.resalte = [];
    this.apuntado = [];
    this.ancla = this.cursor = 0;
    this.hoja.scrollTop = 0;
    this.reinicia(0);
  }
  fijaResalte(r) {
    this.resalte = r;
    this.pinta();
  }
  fijaApuntado(r, mano) {
    this.apuntado = r;
    this.memo.classList.toggle("mano", mano && r.length > 0);
    this.pinta();
  }
  fijaFuente(pt) {
    this.memo.style.fontSize = pt + "pt";
    this.mideFuente();
    this.reinicia(this.inicios[this.primera()]);
  }
  selecciona(ancla, cursor) {
    this.ancla = Math.min(ancla, this.texto.length);
    this.cursor = Math.min(cursor, this.texto.length);
    this.pinta();
  }
  textoSeleccionado() {
    return this.texto.slice(Math.min(this.ancla, this.cursor), Math.max(this.ancla, this.cursor));
  }

  // Scrolls the line of offset pos into view, if it is not.
  muestraPosicion(pos) {
    const i = this.lineaDe(pos), p = this.primera();
    if (i >= p && i < p + this.visibles()) return;
    this.vaALinea(Math.max(0, i - (this.visibles() >> 1)));
  }

  // The table of advances: measured on demand, per character, in the view's font.
  mideFuente() {
    const e = getComputedStyle(this.memo);
    const c = document.createElement("canvas").getContext("2d");
    c.font = `${e.fontStyle} ${e.fontWeight} ${e.fontSize} ${e.fontFamily}`;
    this.contexto = c;
    this.ancho = new Float32Array(65536).fill(-1);
    this.alto = Math.ceil(parseFloat(e.fontSize) * 1.25);
    this.memo.style.setProperty("--alto", this.alto + "px");
  }
  avance(c) {
    let w = this.ancho[c];
    if (w < 0) w = this.ancho[c] = this.contexto.measureText(String.fromCharCode(c)).width;
    return w;
  }

  // Wrapping from the start again, keeping the line of offset conserva on top.
  reinicia(conserva) {
    clearTimeout(this.ocioso);
    this.inicios = [0];
    Object.assign(this, { pos: 0, anchoLinea: 0, corte: 0, anchoTrasCorte: 0 });
    this.completo = this.texto.length === 0;
    // A hidden view has no width: it wraps when it shows again.
    this.oculto = this.hoja.clientWidth === 0 ? conserva : null;
    if (this.oculto !== null) return;
    this.disponible = Math.max(1, this.hoja.clientWidth - 2 * Margen);
    this.envuelve(this.visibles() + 2, Infinity);
    this.siguienteTrozo();
    this.vaALinea(conserva > 0 ? this.lineaDe(conserva) : 0);
  }
  siguienteTrozo() {
    if (this.completo) return;
    this.ocioso = setTimeout(() => {
      this.envuelve(Infinity, Trozo);
      this.ajustaAlto();
      this.pinta();
      this.siguienteTrozo();
    }, 0);
  }
  cambiaAncho() {
    if (this.hoja.clientWidth === 0) return;
    if (this.oculto !== null) this.reinicia(this.oculto);
    else if (Math.max(1, this.hoja.clientWidth - 2 * Margen) !== this.disponible)
      this.reinicia(this.inicios[this.primera()] || 0);
    else this.pinta();
  }

  // Wraps on until `lineas` lines are known, `presupuesto` characters are done, or the text ends.
  // Blanks hang past the edge and never start a line; a word that does not fit goes to the next
  // line whole, one longer than a line is cut where it reaches the edge.
  envuelve(lineas, presupuesto) {
    const t = this.texto, ini = this.inicios, disp = this.disponible;
    const fin = Math.min(t.length, this.pos + presupuesto);
    let { pos, anchoLinea, corte, anchoTrasCorte } = this;
    for (; pos < fin && ini.length < lineas; ++pos) {
      const c = t.charCodeAt(pos), w = this.avance(c);
      if (c === 10) {
        ini.push(pos + 1);
        anchoLinea = anchoTrasCorte = corte = 0;
      } else if (c === 32) {
        anchoLinea += w;
        corte = pos + 1;
        anchoTrasCorte = 0;
      } else {
        if (anchoLinea + w > disp && pos > ini[ini.length - 1]) {
          const entero = corte > ini[ini.length - 1] && anchoTrasCorte + w <= disp;
          ini.push(entero ? corte : pos);
          anchoLinea = entero ? anchoTrasCorte : 0;
          corte = anchoTrasCorte = 0;
        }
        anchoLinea += w;
        anchoTrasCorte += w;
      }
    }
    Object.assign(this, { pos, anchoLinea, corte, anchoTrasCorte });
    if (pos >= t.length) this.completo = true;
  }
  finLinea(i) {
    return i + 1 < this.inicios.length ? this.inicios[i + 1] : this.completo ? this.texto.length : this.pos;
  }
  lineaDe(p) {
    if (!this.completo && this.pos <= p) {
      this.envuelve(Infinity, p + 1 - this.pos);
      this.ajustaAlto();
    }
    let lo = 0, hi = this.inicios.length;
    while (hi - lo > 1) {
      const m = (lo + hi) >> 1;
      if (this.inicios[m] <= p) lo = m; else hi = m;
    }
    return lo;
  }

  // The scrolled area: the lines' height, or while wrapping goes on an estimate from its pace;
  // past AltoMaximo the bar moves by lines rather than pixels.
  ajustaAlto() {
    let n = this.inicios.length;
    if (!this.completo && this.pos > 0) n = Math.ceil(n * this.texto.length / this.pos);
    this.totalAlto = n * this.alto;
    this.memo.style.height = Math.min(this.totalAlto, AltoMaximo) + 2 * Margen + "px";
  }
  visibles() {
    return Math.max(1, Math.floor((this.hoja.clientHeight - Margen) / this.alto));
  }
  escala() {
    return this.totalAlto > AltoMaximo ? AltoMaximo / this.totalAlto : 1;
  }
  primera() {
    const i = Math.floor(this.hoja.scrollTop / (this.alto * this.escala()));
    return Math.max(0, Math.min(i, this.inicios.length - 1));
  }
  vaALinea(i) {
    this.ajustaAlto();
    this.hoja.scrollTop = i * this.alto * this.escala();
    this.pinta();
  }

  // The visible lines as DOM: each a block at its place, the highlight as nested spans.
  pinta() {
    const p = this.primera(), u = p + this.visibles() + 1;
    this.envuelve(u + 2, Infinity);
    if (this.completo) this.ajustaAlto();
    const f = document.createDocumentFragment();
    const fondo = this.apuntado.length ? this.apuntado : this.resalte;
    for (let i = p; i <= u && i < this.inicios.length; ++i) {
      const d = document.createElement("div");
      d.dataset.desde = this.inicios[i];
      tramosResaltados(d, this.texto, this.inicios[i], this.finLinea(i), fondo);
      f.append(d);
    }
    const arriba = this.escala() < 1 ? this.hoja.scrollTop : p * this.alto;
    this.lineas.style.top = arriba + Margen + "px";
    this.lineas.replaceChildren(f);
    this.pintaSeleccion();
  }
  // The selection over the visible lines' text nodes.
  pintaSeleccion() {
    this.seleccion.clear();
    const a = Math.min(this.ancla, this.cursor), z = Math.max(this.ancla, this.cursor);
    if (a === z) return;
    for (const d of this.lineas.children) {
      let pos = +d.dataset.desde;
      const w = document.createTreeWalker(d, NodeFilter.SHOW_TEXT);
      for (let n = w.nextNode(); n; n = w.nextNode()) {
        const x = Math.max(a, pos), y = Math.min(z, pos + n.length);
        if (x < y) {
          const r = new Range();
          r.setStart(n, x - pos);
          r.setEnd(n, y - pos);
          this.seleccion.add(r);
        }
        pos += n.length;
      }
    }
  }

  // The offset under a point of the page: within a visible line, or past the end of the nearest.
  posicionEn(x, y) {
    const c = document.caretRangeFromPoint(x, y);
    const d = c && c.startContainer.parentElement && c.startContainer.parentElement.closest(".lineas > div");
    if (d && this.lineas.contains(d)) {
      let pos = +d.dataset.desde;
      const w = document.createTreeWalker(d, NodeFilter.SHOW_TEXT);
      for (let n = w.nextNode(); n; n = w.nextNode()) {
        if (n === c.startContainer) return pos + c.startOffset;
        pos += n.length;
      }
    }
    const caja = this.lineas.getBoundingClientRect();
    const i = this.primera() + Math.floor((y - caja.top) / this.alto);
    if (i < 0) return 0;
    return i >= this.inicios.length ? this.texto.length : this.finLinea(i);
  }
  // Whether the point lies on text, not on the blank past a line's end.
  sobreTexto(x, y) {
    const e = document.elementFromPoint(x, y), d = e && e.closest(".lineas > div");
    if (!d || !this.lineas.contains(d)) return false;
    const r = document.createRange();
    r.selectNodeContents(d);
    const c = r.getBoundingClientRect();
    return x >= c.left && x < c.right;
  }

  eventos() {
    const m = this.memo;
    let arrastre = false, movido = false;
    m.addEventListener("mousedown", (e) => {
      if (e.button !== 0) return;
      const p = this.posicionEn(e.clientX, e.clientY);
      this.selecciona(e.shiftKey ? this.ancla : p, p);
      arrastre = true;
      movido = e.shiftKey;
    });
    m.addEventListener("mousemove", (e) => {
      if (arrastre && e.buttons & 1) {
        const p = this.posicionEn(e.clientX, e.clientY);
        if (p !== this.cursor) {
          movido = true;
          this.selecciona(this.ancla, p);
        }
        return;
      }
      this.apunta(this.sobreTexto(e.clientX, e.clientY) ? this.posicionEn(e.clientX, e.clientY) : -1);
    });
    m.addEventListener("mouseleave", () => this.apunta(-1));
    m.addEventListener("mouseup", (e) => {
      if (!arrastre) return;
      arrastre = false;
      if (!movido && this.sobreTexto(e.clientX, e.clientY)) this.pulsa(this.posicionEn(e.clientX, e.clientY));
    });
    m.addEventListener("keydown", (e) => {
      if ((e.ctrlKey || e.metaKey) && e.key === "a") {
        e.preventDefault();
        this.selecciona(0, this.texto.length);
      }
    });
    document.addEventListener("copy", (e) => {
      if (document.activeElement !== m || this.ancla === this.cursor) return;
      e.clipboardData.setData("text/plain", this.textoSeleccionado());
      e.preventDefault();
    });
  }
}

// Characters [desde, hasta) of t into element d, with the highlight r (ranges in threes, redexes
// apart in text order) as nested spans: the redex, its function part and its argument.
export function tramosResaltados(d, t, desde, hasta, r) {
  let hecho = desde;
  const tramo = (h, clase, padre) => {
    h = Math.min(Math.max(h, hecho), hasta);
    if (h <= hecho) return;
    const n = document.createTextNode(t.slice(hecho, h));
    if (clase) {
      const s = document.createElement("span");
      s.className = clase;
      s.append(n);
      padre.append(s);
    } else padre.append(n);
    hecho = h;
  };
  // The first redex that ends after the start.
  let lo = 0, hi = Math.floor(r.length / 6);
  while (lo < hi) {
    const m = (lo + hi) >> 1;
    if (r[6 * m + 1] <= desde) lo = m + 1; else hi = m;
  }
  for (let k = 6 * lo; k + 6 <= r.length && r[k] < hasta; k += 6) {
    tramo(r[k], null, d);
    const redex = document.createElement("span");
    redex.className = Clases[0];
    tramo(r[k + 2], null, redex);
    tramo(r[k + 3], Clases[1], redex);
    tramo(r[k + 4], null, redex);
    tramo(r[k + 5], Clases[2], redex);
    tramo(r[k + 1], null, redex);
    d.append(redex);
  }
  tramo(hasta, null, d);
}
