// SPDX-License-Identifier: GPL-3.0-or-later
// "Texto": the printed term, with the next step's background. Ranges come in threes (the redex,
// its function part, its argument), offsets into the text, which holds one character a byte.

// The text as a few long text nodes and the highlighted spans between them.
export function muestraTexto(memo, texto, rangos) {
  const f = document.createDocumentFragment();
  let hecho = 0;
  const tramo = (hasta, clase, padre) => {
    if (hasta <= hecho) return;
    const t = document.createTextNode(texto.slice(hecho, hasta));
    if (clase) {
      const s = document.createElement("span");
      s.className = clase;
      s.append(t);
      padre.append(s);
    } else padre.append(t);
    hecho = hasta;
  };
  for (let i = 0; i + 6 <= rangos.length; i += 6) {
    const [rd, rh, fd, fh, ad, ah] = rangos.slice(i, i + 6);
    tramo(rd, null, f);
    const redex = document.createElement("span");
    redex.className = "redex";
    tramo(fd, null, redex);
    tramo(fh, "funcion", redex);
    tramo(ad, null, redex);
    tramo(ah, "argumento", redex);
    tramo(rh, null, redex);
    f.append(redex);
  }
  tramo(texto.length, null, f);
  memo.replaceChildren(f);
}

// The offset in the text under a point of the page, or -1.
export function posicionEnTexto(memo, x, y) {
  const c = document.caretRangeFromPoint ? document.caretRangeFromPoint(x, y) : null;
  if (!c || !memo.contains(c.startContainer)) return -1;
  let pos = 0;
  const w = document.createTreeWalker(memo, NodeFilter.SHOW_TEXT);
  for (let n = w.nextNode(); n; n = w.nextNode()) {
    if (n === c.startContainer) return pos + c.startOffset;
    pos += n.length;
  }
  return -1;
}
