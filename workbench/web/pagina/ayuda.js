// SPDX-License-Identifier: GPL-3.0-or-later
// Ayuda: "Sintaxis", the manual (docs/manual.md, as HTML since the build) and "Acerca de".

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

// "Sintaxis": the workbench's own help, the window's words.
export function sintaxis(contenido) {
  abreDialogo("Sintaxis", html(contenido));
}

export function acercaDe() {
  abreDialogo("Acerca de Cálculo Lambda", html(
    "<h3>Cálculo Lambda 1.0</h3><p>Un banco de trabajo para enseñar el cálculo lambda sin tipos: reducción beta paso a paso o hasta la forma normal, en texto y en diagrama.</p>" +
    "<p>En el navegador: el mismo banco de trabajo compilado a WebAssembly con emscripten. Bibliotecas: AGG (Anti-Grain Geometry).</p><p>Licencia: GPL-3.0 o posterior.</p>"));
}

export async function manual() {
  // Rendered when the site was built, as the window's.
  const texto = await (await fetch("manual.html")).text();
  abreDialogo("Manual de Cálculo Lambda", html(texto));
}
