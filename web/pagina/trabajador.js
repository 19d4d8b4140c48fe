// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's worker: it owns the TMesaTrabajo (lambda-web.wasm) and turns the page's
// messages into its commands and its view calls into messages to the page. Run-all waits
// between passes (biblioteca.js, web_cede) and this worker answers the page meanwhile: the stop
// is a second ∀β like any other.
/* global CreaLambda */
importScripts("lambda-web.js");

const Orden = {
  tecla: 0, beta: 1, atras: 2, todo: 3, flecha: 4, pestana: 5, abrir: 6, salvar: 7,
  exportarDiagrama: 8, exportarReduccion: 9, arrastra: 10, rueda: 11, dobleClic: 12,
  ajustar: 13, opciones: 14, contrae: 15, selecciona: 16, contraeSeleccionado: 17, lienzoPulsa: 18,
  irALinea: 19, mostrarPasos: 20, nombres: 21,
};
const Que = ["estado", "memo", "fuente", "back", "beta", "error", "lectura", "vaciaDef", "definiciones",
             "pasos"];

let M = null;
const pendientes = [];  // messages that came before the module was ready

// Run-all's wait: a message to itself comes back after those already waiting, the page's among
// them (a timer would add its clamp of some milliseconds to every wait).
const canal = new MessageChannel();
canal.port1.onmessage = () => M._web_reanuda();

function cadena(s) {
  const n = M.lengthBytesUTF8(s) + 1;
  const p = M._malloc(n);
  M.stringToUTF8(s, p, n);
  return p;
}

function cajas(ent, def) {
  const a = cadena(ent), b = cadena(def);
  const noCabe = M.UTF8ToString(M._web_cajas(a, b));
  M._free(a);
  M._free(b);
  return noCabe;
}

function listaDefiniciones() {
  const nombres = [];
  const n = M._web_num_definiciones();
  for (let i = 0; i < n; ++i) nombres.push(M.UTF8ToString(M._web_definicion(i)));
  postMessage({ tipo: "definiciones", nombres });
}

// A file the page chose, then the command that opens it.
function abre(nombre, bytes) {
  M.FS.mkdirTree("/abiertos");
  const ruta = "/abiertos/" + nombre.replace(/[\/\0]/g, "_");
  M.FS.writeFile(ruta, new Uint8Array(bytes));
  const p = cadena(ruta);
  M._web_ruta(p);
  M._free(p);
  M._web_orden(Orden.abrir, 0, 0, 0);
  try { M.FS.unlink(ruta); } catch (e) { /* the workbench keeps nothing open */ }
}

// A command that writes a file (save, the exports): the file goes to the page as a download.
function escribe(orden, nombre) {
  const ruta = "/escritos/" + nombre;
  M.FS.mkdirTree("/escritos");
  const p = cadena(ruta);
  M._web_ruta(p);
  M._free(p);
  M._web_orden(orden, 0, 0, 0);
  let datos = null;
  try {
    M.FS.chmod(ruta, 0o644);  // emscripten's umask leaves a new file with no permissions at all
    datos = M.FS.readFile(ruta);
    M.FS.unlink(ruta);
  } catch (e) { return; }  // the command failed and said why
  if (nombre.endsWith(".png")) comprime(datos).then((d) => postMessage({ tipo: "descarga", nombre, datos: d }, [d.buffer]));
  else postMessage({ tipo: "descarga", nombre, datos }, [datos.buffer]);
}

// The workbench writes PNG uncompressed; the browser's own encoder compresses it. As it was when
// the browser cannot.
async function comprime(png) {
  try {
    const imagen = await createImageBitmap(new Blob([png], { type: "image/png" }),
                                           { premultiplyAlpha: "none", colorSpaceConversion: "none" });
    const lienzo = new OffscreenCanvas(imagen.width, imagen.height);
    lienzo.getContext("2d").drawImage(imagen, 0, 0);
    imagen.close();
    const blob = await lienzo.convertToBlob({ type: "image/png" });
    return new Uint8Array(await blob.arrayBuffer());
  } catch (e) {
    return png;
  }
}

// The "Pasos" panel: its rows' number and the current one at every change, the rows it shows
// when it asks (a row: kind, step, how it was taken, marks, text).
// With each change go the rows last asked for, so that the panel shows none of the old ones.
let ventanaPasos = null;
function pasos() {
  const total = M._web_pasos();
  postMessage({ tipo: "pasos", filas: total, actual: M._web_pasos_actual() });
  if (!ventanaPasos) return;
  const { desde, hasta, caben } = ventanaPasos;
  const d = Math.max(0, Math.min(desde, total - (hasta - desde)));  // as many rows, within the record
  filasPasos(d, Math.min(d + hasta - desde, total), caben);
}
function filasPasos(desde, hasta, caben) {
  const filas = [];
  for (let i = desde; i < hasta; ++i) {
    const [tipo, paso, como, marcas, ...texto] = M.UTF8ToString(M._web_pasos_fila(i, caben)).split("\t");
    filas.push({ tipo, paso, como, marcas: marcas ? marcas.split(",").slice(0, -1).map(Number) : [],
                 texto: texto.join("\t") });
  }
  postMessage({ tipo: "filasPasos", desde, filas });
}

// "Comparar estrategias…": a slice of work at a time, the page's messages answered between two.
// The rows go to the page after each, with how the comparison stands: "" while it runs.
const canalComparacion = new MessageChannel();
let comparando = false;
canalComparacion.port1.onmessage = () => {
  if (!comparando) return;
  const r = M._web_compara_avanza();
  filasComparacion(r === 1 ? "" : r === 2 ? M.UTF8ToString(M._web_compara_error()) : "Terminado.");
  if (r === 1) canalComparacion.port2.postMessage(0);
};
function filasComparacion(situacion) {
  const filas = M.UTF8ToString(M._web_compara_filas(situacion ? 1 : 0)).split("\n")
    .filter((l) => l).map((l) => l.split("\t"));
  if (situacion) comparando = false;
  postMessage({ tipo: "comparacion", filas, situacion });
}

// The first message: the workbench, with the strategies' menu and the texts the page asks with.
// Each strategy has its key (lambda-cli's name for it) and says whether η applies to it and
// whether it is the classic mode without and with η, which alone has "Beta múltiple".
function crea(separador) {
  const p = cadena(separador);
  M._web_crea(p);
  M._free(p);
  const estrategias = [];
  for (let i = 0; i < 7; ++i)
    estrategias.push({ nombre: M.UTF8ToString(M._web_estrategia(i)),
                       clave: M.UTF8ToString(M._web_clave_estrategia(i)), eta: !!M._web_admite_eta(i),
                       clasica: [!!M._web_clasico(i, 0), !!M._web_clasico(i, 1)] });
  postMessage({ tipo: "estrategias", estrategias });
  postMessage({ tipo: "textos", guardarAntesDeAbrir: M.UTF8ToString(M._web_pregunta_abrir()),
                sintaxis: M.UTF8ToString(M._web_sintaxis()) });
}

// A command; the file it opened or saved, if any, goes back with its answer (the page's name for
// it, not the worker's path).
function ejecuta(m) {
  M._web_de_fichero();
  switch (m.orden) {
    case "lienzo": M._web_lienzo_tamano(m.ancho, m.alto, m.escala); M._web_orden(-1, 0, 0, 0); break;
    case "abrir": abre(m.nombre, m.bytes); break;
    case "salvar": escribe(Orden.salvar, m.nombre); break;
    case "exportarDiagrama": escribe(Orden.exportarDiagrama, m.nombre); break;
    case "exportarReduccion": escribe(Orden.exportarReduccion, m.nombre); break;
    case "redexEn": postMessage({ tipo: "redexEn", indice: M._web_redex_en(m.pos), pos: m.pos }); break;
    case "apunta": M._web_apunta(m.pos); break;
    case "lienzoApunta": postMessage({ tipo: "mano", mano: M._web_lienzo_apunta(m.a, m.b) }); break;
    case "filasPasos":
      ventanaPasos = { desde: m.desde, hasta: m.hasta, caben: m.caben };
      filasPasos(m.desde, Math.min(m.hasta, M._web_pasos()), m.caben);
      break;
    case "definiciones": listaDefiniciones(); break;
    case "introNombre": postMessage({ tipo: "introNombre", mueve: !!M._web_expresion_en_nombre() }); break;
    case "comparar":
      comparando = !!M._web_compara();
      if (comparando) {
        // The line as the window's, its whole text (up to 2,000 characters) as the tooltip.
        postMessage({ tipo: "comparado", texto: M.UTF8ToString(M._web_compara_termino(200)),
                      entero: M.UTF8ToString(M._web_compara_termino(2000)) });
        filasComparacion("");
        canalComparacion.port2.postMessage(0);
      }
      break;
    case "detenerComparacion":
      if (comparando) {
        M._web_compara_para();
        filasComparacion("Detenido.");
      }
      break;
    case "cerrarComparacion":
      if (comparando) M._web_compara_filas(1);  // nothing goes on behind a table that is gone
      comparando = false;
      break;
    case undefined: break;
    default: M._web_orden(Orden[m.orden], m.a || 0, m.b || 0, m.c || 0);
  }
  return M._web_de_fichero() ? m.nombre : undefined;
}

// Every message gets its answer, whatever happens on the way: the page waits for it (the
// pointer's questions one at a time, the menus, the tests).
function atiende(m) {
  let fichero;
  try {
    if (m.separador !== undefined) {
      crea(m.separador);
      return;
    }
    // A character that Windows-1252 cannot hold refuses the Enter, as in the window; the other
    // commands do not read the boxes.
    const noCabe = m.cajas ? cajas(m.cajas[0], m.cajas[1]) : "";
    if (noCabe && m.orden === "tecla" && m.a === 13) {
      postMessage({ tipo: "estado", texto: noCabe });
      return;
    }
    if (m.opciones) M._web_opciones(...m.opciones);
    fichero = ejecuta(m);
  } finally {
    let sinGuardar;  // unknown when the workbench itself has failed: the page keeps what it knew
    try { sinGuardar = !!M._web_sin_guardar(); } catch (e) { /* the answer goes all the same */ }
    postMessage({ tipo: "hecho", id: m.id, sinGuardar, fichero });
  }
}

onmessage = (e) => {
  if (!M) pendientes.push(e.data);
  else atiende(e.data);
};

CreaLambda({
  vista: {
    texto(que, texto, numero) {
      if (Que[que] === "definiciones") listaDefiniciones();
      else if (Que[que] === "pasos") pasos();
      else postMessage({ tipo: Que[que], texto, numero });
    },
    resalte(rangos) { postMessage({ tipo: "resalte", rangos }); },
    apuntado(rangos, mano, ir) { postMessage({ tipo: "apuntado", rangos, mano, ir }); },
    lienzo(bgra, ancho, alto) {
      // The bitmap's B, G, R, A to the canvas's R, G, B, A.
      const rgba = new Uint8ClampedArray(bgra.length);
      for (let i = 0; i < bgra.length; i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = bgra[i + 3];
      }
      postMessage({ tipo: "lienzo", rgba, ancho, alto }, [rgba.buffer]);
    },
  },
  cede() { canal.port2.postMessage(0); },
}).then((modulo) => {
  M = modulo;
  postMessage({ tipo: "listo" });
  for (const m of pendientes.splice(0)) atiende(m);
});
