// SPDX-License-Identifier: GPL-3.0-or-later
// Ayuda: "Sintaxis", the manual (docs/manual.md, rendered here) and "Acerca de".

const $ = (id) => document.getElementById(id);

export function abreDialogo(titulo, contenido) {
  $("dialogoTitulo").textContent = titulo;
  $("dialogoTexto").replaceChildren(contenido);
  const d = $("dialogo");
  if (d.open) d.close();
  d.showModal();
}

function html(s) {
  const t = document.createElement("template");
  t.innerHTML = s;
  return t.content;
}
const escapa = (s) => s.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");

// "Sintaxis": the workbench's own help, the window's words.
export function sintaxis(contenido) {
  abreDialogo("Sintaxis", html(contenido));
}

export function acercaDe() {
  abreDialogo("Acerca de Cálculo Lambda", html(
    "<h3>Cálculo Lambda 1.0</h3><p>Un banco de trabajo para enseñar el cálculo lambda sin tipos: reducción beta paso a paso o hasta la forma normal, en texto y en diagrama.</p>" +
    "<p>En el navegador: el mismo banco de trabajo compilado a WebAssembly con emscripten. Bibliotecas: AGG (Anti-Grain Geometry).</p><p>Licencia: GPL-3.0 o posterior.</p>"));
}

// Markdown, as much of it as the manual uses: headings, paragraphs, lists, tables, code, images,
// links, bold and italics.
function enLinea(s) {
  return escapa(s)
    .replace(/!\[([^\]]*)\]\(([^)]+)\)/g, '<img alt="$1" src="$2">')
    .replace(/\[([^\]]+)\]\(([^)]+)\)/g, '<a href="$2" target="_blank" rel="noopener">$1</a>')
    .replace(/`([^`]+)`/g, "<code>$1</code>")
    .replace(/\*\*([^*]+)\*\*/g, "<strong>$1</strong>")
    .replace(/\*([^*]+)\*/g, "<em>$1</em>");
}

export function markdown(md) {
  const salida = [];
  const lineas = md.split("\n");
  let parrafo = [], lista = null, tablaFilas = null, codigo = null;
  const cierra = () => {
    if (parrafo.length) salida.push("<p>" + enLinea(parrafo.join(" ")) + "</p>");
    if (lista) salida.push(`<${lista.tipo}>` + lista.items.map((i) => "<li>" + enLinea(i) + "</li>").join("") + `</${lista.tipo}>`);
    if (tablaFilas) salida.push("<table>" + tablaFilas.map((f, i) => "<tr>" + f.map((c) => (i ? "<td>" : "<th>") + enLinea(c) + (i ? "</td>" : "</th>")).join("") + "</tr>").join("") + "</table>");
    parrafo = []; lista = null; tablaFilas = null;
  };
  for (const l of lineas) {
    if (codigo !== null) {
      if (l.startsWith("```")) { salida.push("<pre>" + escapa(codigo.join("\n")) + "</pre>"); codigo = null; } else codigo.push(l);
      continue;
    }
    let m;
    if (l.startsWith("```")) { cierra(); codigo = []; }
    else if ((m = l.match(/^(#{1,6})\s+(.*)$/))) { cierra(); salida.push(`<h${m[1].length}>${enLinea(m[2])}</h${m[1].length}>`); }
    else if (/^\|.*\|\s*$/.test(l)) {
      if (!tablaFilas) { cierra(); tablaFilas = []; }
      if (!/^\|[\s:|-]+\|\s*$/.test(l)) tablaFilas.push(l.trim().slice(1, -1).split("|").map((c) => c.trim()));
    } else if ((m = l.match(/^\s*([-*]|\d+\.)\s+(.*)$/))) {
      const tipo = /\d/.test(m[1]) ? "ol" : "ul";
      if (!lista || lista.tipo !== tipo) { cierra(); lista = { tipo, items: [] }; }
      lista.items.push(m[2]);
    } else if (!l.trim()) cierra();
    else if (lista && /^\s+/.test(l)) lista.items[lista.items.length - 1] += " " + l.trim();
    else { if (lista || tablaFilas) cierra(); parrafo.push(l.trim()); }
  }
  cierra();
  return salida.join("\n");
}

export async function manual() {
  const md = await (await fetch("manual.md")).text();
  abreDialogo("Manual de Cálculo Lambda", html(markdown(md)));
}
