// SPDX-License-Identifier: GPL-3.0-or-later
// The page: its widgets are the window's, and every event goes to the workbench's worker as the
// command of the same name, with the boxes' texts; the options live in the worker (opciones.js).
import { TMemo } from "./texto.js";
import { TPasos } from "./pasos.js";
import { abreDialogo, sintaxis, manual, acercaDe } from "./ayuda.js";
import "./menus.js";
import { TMenuOpciones } from "./opciones.js";
import { TEjercicios, progresosGuardados } from "./ejercicios.js";

const $ = (id) => document.getElementById(id);
const trabajador = new Worker("trabajador.js");
const estado = { pestana: 1, ejecutando: false, texto: "", resalte: [], sinGuardar: false };
let siguienteId = 0;
const esperas = new Map();  // id -> resolve, for the tests and the menus that wait

export function orden(nombre, extra = {}) {
  const id = ++siguienteId;
  trabajador.postMessage({ orden: nombre, id, cajas: [$("edtEnt").value, $("edtDef").value], ...extra });
  return new Promise((r) => esperas.set(id, r));
}

function descarga(nombre, datos) {
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([datos]));
  a.download = nombre;
  a.click();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

// "Texto": the pointer over a redex shows it, a click contracts it. One question about the
// pointer at a time: a move while it is asked waits for the answer.
let apuntando = false, apuntarDespues = null;
function apunta(pos) {
  if (apuntando) { apuntarDespues = pos; return; }
  apuntando = true;
  orden("apunta", { pos }).then(() => {
    apuntando = false;
    const p = apuntarDespues;
    apuntarDespues = null;
    if (p !== null) apunta(p);
  });
}
const memo = new TMemo($("TabSheet1"), $("Memo1"), {
  apunta,
  pulsa: (pos) => trabajador.postMessage({ orden: "redexEn", pos }),
});
const pasos = new TPasos($("ListaPasos1"), {
  pide: (desde, hasta, caben) => trabajador.postMessage({ orden: "filasPasos", desde, hasta, caben }),
  elige: (fila) => orden("irALinea", { a: fila }),
});

const ejercicios = new TEjercicios(orden);

// Messages from the worker: the view's calls.
const vista = {
  estado: (m) => { $("estado").textContent = m.texto; },
  lectura: (m) => { $("lectura").textContent = m.texto; },
  memo: (m) => { estado.texto = m.texto; estado.resalte = []; memo.fijaTexto(m.texto); },
  resalte: (m) => { estado.resalte = m.rangos; memo.fijaResalte(m.rangos); },
  apuntado: (m) => {
    memo.fijaApuntado(m.rangos, m.mano);
    if (m.ir && m.rangos.length) memo.muestraPosicion(m.rangos[0]);
  },
  fuente: (m) => memo.fijaFuente(m.numero),
  pasos: (m) => pasos.fija(m.filas, m.actual),
  filasPasos: (m) => pasos.muestra(m.desde, m.filas),
  ejercicios: (m) => ejercicios.fija(m),
  mano: (m) => { $("Lienzo").classList.toggle("mano", !!m.mano); },
  back: (m) => { $("btnBack").disabled = !m.numero; },
  // β is disabled exactly while run-all runs: ∀β shows it pressed meanwhile.
  beta: (m) => {
    $("btnBeta").disabled = !m.numero;
    estado.ejecutando = !m.numero;
    $("btnBetaAll").setAttribute("aria-pressed", String(estado.ejecutando));
  },
  error: (m) => abreDialogo(textos.programa, document.createTextNode(m.texto)),
  vaciaDef: () => { $("edtDef").value = ""; },
  // An expression typed in the name box, as a new user's first one is, goes where it belongs.
  introNombre: (m) => {
    if (!m.mueve) return;
    $("edtEnt").value = $("edtDef").value;
    $("edtDef").value = "";
    orden("tecla", { a: 13 });
  },
  definiciones: (m) => menuDefiniciones(m.nombres),
  estrategias: (m) => menuOpciones.estrategias(m.estrategias),
  opciones: (m) => menuOpciones.dibuja(m),
  descarga: (m) => descarga(m.nombre, m.datos),
  lienzo: (m) => {
    const c = $("Lienzo");
    if (c.width !== m.ancho || c.height !== m.alto) { c.width = m.ancho; c.height = m.alto; }
    c.getContext("2d").putImageData(new ImageData(m.rgba, m.ancho, m.alto), 0, 0);
  },
  redexEn: (m) => { if (m.indice >= 0) orden("contrae", { a: m.indice }); },
  textos: (m) => { textos = m; explicaControles(m.consejos); },
  comparacion: (m) => muestraComparacion(m.filas, m.situacion),
  comparado: (m) => {
    $("TerminoComparado").textContent = m.texto;
    $("TerminoComparado").title = m.entero;
  },
  hecho: (m) => {
    if (m.sinGuardar !== undefined) estado.sinGuardar = m.sinGuardar;
    if (m.fichero) abierto(m.fichero, m.titulo);
    const r = esperas.get(m.id);
    if (r) { esperas.delete(m.id); r(); }
  },
  listo: () => { document.body.dataset.listo = "1"; },
};
// Each message by its name: one the page lacks is a fault, said as the worker's are.
trabajador.onmessage = (e) => {
  const f = vista[e.data.tipo];
  if (!f) throw new Error("Mensaje desconocido: " + e.data.tipo);
  f(e.data);
};
// A fault of the worker's (a command or an option it lacks) is the page's error, not a silence.
trabajador.onerror = (e) => { throw new Error(e.message); };
// The page is Spanish whatever the browser's language: so are its numbers ("3.873"). The
// exercises' progress that the browser kept goes with it.
trabajador.postMessage({ separador: ".", progresos: progresosGuardados() });

// The input row.
$("edtEnt").addEventListener("keydown", (e) => {
  if (e.key === "Enter") { e.preventDefault(); orden("tecla", { a: 13 }); }
});
$("edtDef").addEventListener("keydown", (e) => {
  if (e.key === "Enter") { e.preventDefault(); $("edtEnt").focus(); orden("introNombre"); }
});
$("btnBeta").onclick = () => orden("beta");
$("btnBack").onclick = () => orden("atras");
$("btnBetaAll").onclick = () => orden("todo");
$("arriba").onclick = () => orden("flecha", { a: 1 });
$("abajo").onclick = () => orden("flecha", { a: -1 });
// The window's keys: F5, F6, F7 as β, ←, ∀β; F8 and Shift+F8 select the next and the previous
// redex, F9 contracts it; Ctrl+Tab, Ctrl+PgDn, Ctrl+PgUp change tab (where the browser lets them
// through); Ctrl+O and Ctrl+S open and save; F1 shows "Sintaxis".
document.addEventListener("keydown", (e) => {
  const teclas = { F5: ["beta"], F6: ["atras"], F7: ["todo"], F8: ["selecciona", { a: e.shiftKey ? 0 : 1 }],
                   F9: ["contraeSeleccionado"] };
  if (teclas[e.key] && !e.ctrlKey && !e.altKey) {
    e.preventDefault();
    orden(...teclas[e.key]);
  } else if (e.ctrlKey && ["Tab", "PageDown", "PageUp"].includes(e.key)) {
    e.preventDefault();
    pestana(1 - estado.pestana);
  } else if (e.key === "F1" && !e.ctrlKey && !e.altKey) {
    e.preventDefault();
    sintaxis(textos.sintaxis);
  } else if (e.ctrlKey && !e.altKey && !e.shiftKey && ["o", "s"].includes(e.key.toLowerCase())) {
    e.preventDefault();
    $(e.key.toLowerCase() === "o" ? "Abrir1" : "Salvar1").click();
  }
});

// The tabs.
function pestana(i) {
  estado.pestana = i;
  $("TabSheet1").hidden = i !== 0;
  $("TabSheet2").hidden = i !== 1;
  $("pestanaTexto").setAttribute("aria-selected", String(i === 0));
  $("pestanaGraficos").setAttribute("aria-selected", String(i === 1));
  // Tab reaches the chosen tab alone; the arrows move between them.
  $("pestanaTexto").tabIndex = i === 0 ? 0 : -1;
  $("pestanaGraficos").tabIndex = i === 1 ? 0 : -1;
  if (i === 1) tamanoLienzo();
  return orden("pestana", { a: i });
}
$("pestanaTexto").onclick = () => pestana(0);
$("pestanaGraficos").onclick = () => pestana(1);
$("pestanas").addEventListener("keydown", (e) => {
  if (!["ArrowLeft", "ArrowRight", "Home", "End"].includes(e.key)) return;
  e.preventDefault();
  const i = e.key === "Home" ? 0 : e.key === "End" ? 1 : 1 - estado.pestana;
  pestana(i);
  $(i === 0 ? "pestanaTexto" : "pestanaGraficos").focus();
});

// The canvas at device pixels: the workbench draws the bitmap that large, the zoom times the
// ratio, and the page shows it unscaled.
function tamanoLienzo() {
  const c = $("Lienzo"), r = window.devicePixelRatio || 1;
  const ancho = Math.ceil(c.clientWidth * r), alto = Math.ceil(c.clientHeight * r);
  if (ancho > 0 && alto > 0) trabajador.postMessage({ orden: "lienzo", a: ancho, b: alto, c: r });
}
new ResizeObserver(tamanoLienzo).observe($("Lienzo"));
// Dragging moves the diagram; the pointer over a redex gives it a halo, a click that dragged
// nothing contracts it.
let arrastre = null, arrastrado = false;
const enLienzo = (e) => { const r = $("Lienzo").getBoundingClientRect(); return [e.clientX - r.left, e.clientY - r.top]; };
$("Lienzo").addEventListener("pointerdown", (e) => {
  arrastre = [e.clientX, e.clientY];
  arrastrado = false;
  e.target.setPointerCapture(e.pointerId);
});
$("Lienzo").addEventListener("pointermove", (e) => {
  if (!arrastre) {
    const [a, b] = enLienzo(e);
    trabajador.postMessage({ orden: "lienzoApunta", a, b });
    return;
  }
  const dx = e.clientX - arrastre[0], dy = e.clientY - arrastre[1];
  arrastre = [e.clientX, e.clientY];
  if (dx || dy) { arrastrado = true; orden("arrastra", { a: dx, b: dy }); }
});
$("Lienzo").addEventListener("pointerup", (e) => {
  if (arrastre && !arrastrado && e.detail < 2) {
    const [a, b] = enLienzo(e);
    orden("lienzoPulsa", { a, b });
  }
  arrastre = null;
});
$("Lienzo").addEventListener("pointerleave", () =>
  trabajador.postMessage({ orden: "lienzoApunta", a: NaN, b: NaN }));
$("Lienzo").addEventListener("wheel", (e) => {
  if (!e.ctrlKey) return;
  e.preventDefault();
  const r = e.target.getBoundingClientRect();
  orden("rueda", { a: e.deltaY < 0 ? 1 : -1, b: e.clientX - r.left, c: e.clientY - r.top });
}, { passive: false });
$("Lienzo").addEventListener("dblclick", () => orden("dobleClic"));


// The menus: see menus.js.
// "Opciones": drawn as the workbench says; "Mostrar los pasos" shows the panel under the views.
const menuOpciones = new TMenuOpciones(orden, (visible) => {
  $("Pasos1").hidden = !visible;
  pasos.fija(0, -1);
});
menuOpciones.recupera();
// Choosing a definition types its name into the expression box.
function menuDefiniciones(nombres) {
  const caja = $("Definiciones1");
  caja.replaceChildren();
  for (const n of nombres) {
    const b = document.createElement("button");
    b.textContent = n;
    b.onclick = () => {
      const ent = $("edtEnt"), i = ent.selectionStart ?? ent.value.length;
      ent.setRangeText(n, i, ent.selectionEnd ?? i, "end");
      ent.focus();
    };
    caja.append(b);
  }
}

// Ficheros. The name of the file open, or last saved, which the next save takes; the page's title
// names it once an open or a save has succeeded, as the window's caption does.
let nombreFichero = "definiciones.txt", textos = {};
function abierto(nombre, titulo) {
  nombreFichero = nombre;
  document.title = titulo;
}
// Tooltips, the names for screen readers, and the boxes' grey hints: the workbench's, as the
// window's.
function explicaControles(consejos) {
  for (const c of consejos) {
    const e = $(c.control);
    if (!e) continue;
    if (c.consejo) e.title = c.consejo;
    e.setAttribute("aria-label", c.nombre);
    if (c.indicacion) e.placeholder = c.indicacion;
  }
}
// Definitions changed since they were opened or saved: the window's question before another file
// replaces them. "Guardar" downloads them first; true when the opening goes on.
function guardaSiCambiaron() {
  if (!estado.sinGuardar) return Promise.resolve(true);
  const d = $("pregunta");
  $("preguntaTexto").textContent = textos.guardarAntesDeAbrir;
  d.returnValue = "cancelar";
  d.showModal();
  // Escape closes it with no button's value: as Cancelar.
  return new Promise((r) => d.addEventListener("close", async () => {
    if (d.returnValue === "guardar") await orden("salvar", { nombre: nombreFichero });
    r(d.returnValue === "guardar" || d.returnValue === "descartar");
  }, { once: true }));
}
// Closing the page would lose them as well: the browser asks.
window.addEventListener("beforeunload", (e) => { if (estado.sinGuardar) e.preventDefault(); });
$("Abrir1").onclick = async () => { if (await guardaSiCambiaron()) $("OpenDialog1").click(); };
$("OpenDialog1").onchange = async (e) => {
  const f = e.target.files[0];
  if (!f) return;
  await orden("abrir", { nombre: f.name, bytes: await f.arrayBuffer() });
  e.target.value = "";
};
$("Salvar1").onclick = () => orden("salvar", { nombre: nombreFichero });
$("ExportarSvg1").onclick = () => orden("exportarDiagrama", { nombre: "diagrama.svg" });
$("ExportarPng1").onclick = () => orden("exportarDiagrama", { nombre: "diagrama.png" });
$("ExportarReduccion1").onclick = () => orden("exportarReduccion", { nombre: "reduccion.txt" });
$("Centrar1").onclick = () => orden("dobleClic");
$("Ajustar1").onclick = () => orden("ajustar");

// "Comparar estrategias…": a table beside the window that fills as the worker compares; closing
// it ends the comparison.
$("CompararEstrategias1").onclick = () => orden("comparar");
function muestraComparacion(filas, situacion) {
  const d = $("Comparar1");
  if (!d.open) d.show();
  $("TablaComparacion").tBodies[0].replaceChildren(...filas.map((f) => {
    const tr = document.createElement("tr");
    for (const c of [f.estrategia, f.reducciones, f.forma, f.resultado]) {
      const td = document.createElement("td");
      td.textContent = td.title = c;
      tr.append(td);
    }
    return tr;
  }));
  $("SituacionComparacion").textContent = situacion || textos.comparando;
  $("btnDetener").disabled = !!situacion;
}
$("btnDetener").onclick = () => orden("detenerComparacion");
$("CerrarComparacion").onclick = () => $("Comparar1").close();
$("Comparar1").addEventListener("close", () => orden("cerrarComparacion"));

// Lecciones: each opens as "Abrir.." opens a file.
// A file of the site that cannot be fetched (no network, say) is said where the user looks.
async function trae(ruta) {
  const r = await fetch(ruta);
  if (!r.ok) throw new Error(r.status + " " + r.statusText);
  return r;
}
export async function abreLeccion(fichero) {
  if (!(await guardaSiCambiaron())) return;
  let bytes;
  try {
    bytes = await (await trae("lecciones/" + fichero)).arrayBuffer();
  } catch (e) {
    $("estado").textContent = $("SinLeccion").textContent + " " + fichero + ": " + e.message;
    return;
  }
  return orden("abrir", { nombre: fichero, bytes });
}
trae("lecciones/indice.json").then((r) => r.json()).then((lista) => {
  for (const l of lista) {
    const b = document.createElement("button");
    b.textContent = l.titulo;
    b.onclick = () => abreLeccion(l.fichero);
    $("Lecciones1").append(b);
  }
}).catch((e) => {
  const b = document.createElement("button");
  b.textContent = $("SinLecciones").textContent + ": " + e.message;
  b.disabled = true;
  $("Lecciones1").append(b);
});

// Ayuda.
$("Sintaxis1").onclick = () => sintaxis(textos.sintaxis);
$("Manual1").onclick = () => manual(textos);
$("AcercaDe1").onclick = () => acercaDe(textos);

$("edtEnt").focus();
window.lambda = { orden, abreLeccion, pestana, estado, memo };
