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

export function acercaDe(textos) {
  abreDialogo($("AcercaDe1").textContent, html(textos.acercaDe));
}

export async function manual(textos) {
  // Rendered when the site was built, as the window's.
  let texto;
  try {
    const r = await fetch("manual.html");
    if (!r.ok) throw new Error(r.status + " " + r.statusText);
    texto = await r.text();
  } catch (e) {
    return abreDialogo(textos.manual, document.createTextNode($("SinManual").textContent + ": " + e.message));
  }
  abreDialogo(textos.manual, html(texto));
}
