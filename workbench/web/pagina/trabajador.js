// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's worker: it owns the TMesaTrabajo (lambda-web.wasm) and turns the page's
// messages into its commands and its view calls into messages to the page. Run-all waits
// between passes (biblioteca.js, web_cede) and this worker answers the page meanwhile: the stop
// is a second ∀β like any other.
/* global CreaLambda */
importScripts("lambda-web.js");

let M = null;
const pendientes = [];  // messages that came before the module was ready

// Run-all's wait: a message to itself comes back after those already waiting, the page's among
// them (a timer would add its clamp of some milliseconds to every wait).
const canal = new MessageChannel();
canal.port1.onmessage = () => M.reanuda();

function listaDefiniciones() {
  postMessage({ tipo: "definiciones", nombres: M.definiciones() });
}

// The workbench's commands by their names; a name it lacks is a fault of the page's.
function ordena(nombre, a = 0, b = 0, c = 0) {
  if (!M.orden(nombre, a, b, c)) throw new Error("Orden desconocida: " + nombre);
}

// The "Ejercicios" panel, at every change; `abierta` when an open brought the lesson, which
// shows the panel or hides it. The page keeps the progress line under the lesson's name.
let abriendo = false;
function ejercicios() {
  postMessage({ tipo: "ejercicios", ...M.ejercicios(), abierta: abriendo });
}

// A file the page chose, then the command that opens it.
function abre(nombre, bytes) {
  M.FS.mkdirTree("/abiertos");
  const ruta = "/abiertos/" + nombre.replace(/[\/\0]/g, "_");
  M.FS.writeFile(ruta, new Uint8Array(bytes));
  M.ruta(ruta);
  abriendo = true;
  try { ordena("abrir"); } finally { abriendo = false; }
  try { M.FS.unlink(ruta); } catch (e) { /* the workbench keeps nothing open */ }
}

// A command that writes a file (save, the exports): the file goes to the page as a download.
function escribe(orden, nombre) {
  const ruta = "/escritos/" + nombre;
  M.FS.mkdirTree("/escritos");
  M.ruta(ruta);
  ordena(orden);
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
  const { filas: total, actual } = M.pasos();
  postMessage({ tipo: "pasos", filas: total, actual });
  if (!ventanaPasos) return;
  const { desde, hasta, caben } = ventanaPasos;
  const d = Math.max(0, Math.min(desde, total - (hasta - desde)));  // as many rows, within the record
  filasPasos(d, Math.min(d + hasta - desde, total), caben);
}
function filasPasos(desde, hasta, caben) {
  postMessage({ tipo: "filasPasos", desde, filas: M.filasPasos(desde, hasta, caben) });
}

// "Comparar estrategias…": a slice of work at a time, the page's messages answered between two.
// The rows go to the page after each, with how the comparison stands: "" while it runs.
const canalComparacion = new MessageChannel();
let comparando = false;
canalComparacion.port1.onmessage = () => {
  if (!comparando) return;
  const sigue = M.comparaAvanza();
  filasComparacion(sigue ? "" : M.comparaSituacion());
  if (sigue) canalComparacion.port2.postMessage(0);
};
function filasComparacion(situacion) {
  const filas = M.comparaFilas(!!situacion);
  if (situacion) comparando = false;
  postMessage({ tipo: "comparacion", filas, situacion });
}

// The first message: the workbench, with the strategies' menu and the texts the page asks with;
// the exercises' progress the browser kept, by lesson.
function crea(separador, progresos) {
  M.progresos(progresos ?? {});
  M.crea(separador);
  postMessage({ tipo: "estrategias", estrategias: M.estrategias() });
  postMessage({ tipo: "textos", ...M.textos() });
}

// A command; the file it opened or saved, if any, goes back with its answer (the page's name for
// it, not the worker's path).
function ejecuta(m) {
  M.deFichero();
  switch (m.orden) {
    case "abrir": abre(m.nombre, m.bytes); break;
    case "salvar": case "exportarDiagrama": case "exportarReduccion": escribe(m.orden, m.nombre); break;
    case "redexEn": postMessage({ tipo: "redexEn", indice: M.redexEn(m.pos), pos: m.pos }); break;
    case "apunta": M.apunta(m.pos); break;
    case "lienzoApunta": postMessage({ tipo: "mano", mano: M.lienzoApunta(m.a, m.b) }); break;
    case "filasPasos":
      ventanaPasos = { desde: m.desde, hasta: m.hasta, caben: m.caben };
      M.pasos();  // the rows made again
      filasPasos(m.desde, m.hasta, m.caben);
      break;
    case "definiciones": listaDefiniciones(); break;
    case "introNombre": postMessage({ tipo: "introNombre", mueve: M.expresionEnNombre() }); break;
    case "opcion": if (!M.marcaOpcion(m.nombre, m.marcada)) throw new Error("Opción desconocida: " + m.nombre); break;
    case "estrategia": if (!M.eligeEstrategia(m.clave)) throw new Error("Estrategia desconocida: " + m.clave); break;
    case "recuperaOpciones": M.recuperaOpciones(m.estrategia ?? "", m.marcas ?? {}); break;
    case "ejercicio":
      if (!M.ejercicio(m.accion, m.i ?? 0, m.respuesta ?? "")) throw new Error("Acción desconocida: " + m.accion);
      break;
    case "comparar": compara(); break;
    case "detenerComparacion":
      if (comparando) {
        M.comparaPara();
        filasComparacion(M.comparaSituacion());
      }
      break;
    case "cerrarComparacion":
      if (comparando) M.comparaFilas(true);  // nothing goes on behind a table that is gone
      comparando = false;
      break;
    case undefined: break;
    default: ordena(m.orden, m.a, m.b, m.c);
  }
  return M.deFichero() ? m.nombre : undefined;
}
function compara() {
  comparando = M.compara();
  if (!comparando) return;
  // The line as the window's, its whole text (up to 2,000 characters) as the tooltip.
  postMessage({ tipo: "comparado", texto: M.comparaTermino(200), entero: M.comparaTermino(2000) });
  filasComparacion("");
  canalComparacion.port2.postMessage(0);
}

// Every message gets its answer, whatever happens on the way: the page waits for it (the
// pointer's questions one at a time, the menus, the tests).
function atiende(m) {
  let fichero;
  try {
    if (m.separador !== undefined) {
      crea(m.separador, m.progresos);
      return;
    }
    // A character that Windows-1252 cannot hold refuses the Enter, as in the window; the other
    // commands do not read the boxes.
    const noCabe = m.cajas ? M.cajas(m.cajas[0], m.cajas[1]) : "";
    if (noCabe && m.orden === "tecla" && m.a === 13) {
      postMessage({ tipo: "estado", texto: noCabe });
      return;
    }
    fichero = ejecuta(m);
  } finally {
    let sinGuardar;  // unknown when the workbench itself has failed: the page keeps what it knew
    try { sinGuardar = M.sinGuardar(); } catch (e) { /* the answer goes all the same */ }
    const titulo = fichero ? M.titulo(fichero) : undefined;
    postMessage({ tipo: "hecho", id: m.id, sinGuardar, fichero, titulo });
  }
}

onmessage = (e) => {
  if (!M) pendientes.push(e.data);
  else atiende(e.data);
};

CreaLambda({
  vista: {
    texto(que, texto, numero) {
      if (que === "definiciones") listaDefiniciones();
      // The "Opciones" menu as the workbench holds it, for the page to draw.
      else if (que === "opciones") postMessage({ tipo: "opciones", ...M.opciones() });
      else if (que === "pasos") pasos();
      else if (que === "ejercicios") ejercicios();
      else postMessage({ tipo: que, texto, numero });
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
