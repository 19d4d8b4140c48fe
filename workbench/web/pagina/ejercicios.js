// SPDX-License-Identifier: GPL-3.0-or-later
// The "Ejercicios" panel: the open lesson's exercises as the workbench gives them (every word is
// its own, but the buttons' captions), the one shown with its statement, and its buttons. The
// workbench checks; the page only draws, and keeps each lesson's progress line in the browser,
// which the worker cannot reach: all of them go to the worker at the start.
const $ = (id) => document.getElementById(id);
const ClaveProgreso = "calculo-lambda.ejercicios";

// The lines kept, by lesson: an empty object when the browser keeps nothing.
export function progresosGuardados() {
  try {
    const o = JSON.parse(localStorage.getItem(ClaveProgreso));
    return o && typeof o === "object" ? o : {};
  } catch (e) {
    return {};
  }
}

export class TEjercicios {
  // orden(nombre, extra) sends a command to the worker.
  constructor(orden) {
    Object.assign(this, { orden, estado: null, visible: false });
    this.panel = $("Ejercicios1");
    this.marca = $("MostrarEjercicios1");
    this.marca.onclick = () => this.muestra(!this.visible);
    $("ListaEjercicios1").addEventListener("click", (e) => {
      const f = e.target.closest(".fila");
      if (f) this.accion("muestra", +f.dataset.i);
    });
    $("Comprobar1").onclick = () => this.comprueba();
    $("Empezar1").onclick = () => this.accion("empieza");
    $("Pista1").onclick = () => this.accion("pista");
    $("Reiniciar1").onclick = () => this.accion("reinicia");
    $("Respuesta1").addEventListener("keydown", (e) => {
      if (e.key === "Enter") { e.preventDefault(); this.comprueba(); }
    });
  }

  accion(accion, i = this.estado?.mostrado ?? 0, respuesta = "") {
    return this.orden("ejercicio", { accion, i, respuesta });
  }
  // A normal form's answer is the box's text; a definition is checked as the boxes left it.
  comprueba() {
    return this.accion("comprueba", undefined, $("Respuesta1").value);
  }

  // "Mostrar los ejercicios": the panel beside the views, for a lesson that has some.
  muestra(visible) {
    this.visible = visible && !!this.estado?.filas.length;
    this.panel.hidden = !this.visible;
    this.marca.setAttribute("aria-checked", String(this.visible));
    this.marca.disabled = !this.estado?.filas.length;
  }

  // The panel as the workbench holds it: { leccion, progreso, filas: [{ clave, tipo, estado,
  // enunciado, resuelto }], mostrado, resultado, comprobando, abierta }.
  fija(m) {
    const cambia = this.estado?.mostrado !== m.mostrado || m.abierta;
    this.estado = m;
    if (m.leccion) this.guarda(m.leccion, m.progreso);
    if (m.abierta) this.muestra(m.filas.length > 0);
    else this.muestra(this.visible);
    // The rows are made anew: the keyboard stays on the row it was on.
    const enfocada = document.activeElement?.closest?.("#ListaEjercicios1 .fila")?.dataset.i;
    $("ListaEjercicios1").replaceChildren(...m.filas.map((f, i) => {
      const d = document.createElement("button");
      d.className = "fila" + (i === m.mostrado ? " actual" : "") + (f.resuelto ? " resuelto" : "");
      d.dataset.i = i;
      d.title = f.enunciado;
      if (i === m.mostrado) d.setAttribute("aria-current", "true");
      const cabeza = document.createElement("span");
      cabeza.className = "cabeza";
      cabeza.textContent = `${i + 1}. ${f.tipo} · ${f.estado}`;
      const enunciado = document.createElement("span");
      enunciado.className = "enunciado";
      enunciado.textContent = f.enunciado;
      d.append(cabeza, enunciado);
      return d;
    }));
    if (enfocada !== undefined) $("ListaEjercicios1").children[enfocada]?.focus();
    const f = m.filas[m.mostrado];
    $("EnunciadoEjercicio").textContent = f ? `${m.mostrado + 1}. ${f.enunciado}` : "";
    $("ResultadoEjercicio1").replaceChildren(...m.resultado.map((t) => {
      const d = document.createElement("div");
      d.textContent = t;
      return d;
    }));
    const respuesta = $("Respuesta1");
    respuesta.hidden = f?.clave !== "normal";
    if (cambia) respuesta.value = "";
    $("Empezar1").hidden = f?.clave !== "reduce";
    // One check at a time: the buttons wait for its end.
    for (const b of ["Comprobar1", "Empezar1", "Pista1", "Reiniciar1", "Respuesta1"])
      $(b).disabled = m.comprobando || !f;
    $("Comprobar1").disabled ||= f?.clave === "reduce";
    if (cambia) $("ListaEjercicios1").querySelector(".actual")?.scrollIntoView({ block: "nearest" });
  }

  // The lesson's progress line, kept for the next session; a browser that keeps nothing keeps it
  // for this one (the worker holds it).
  guarda(leccion, linea) {
    const todas = progresosGuardados();
    if (todas[leccion] === linea) return;
    todas[leccion] = linea;
    try {
      localStorage.setItem(ClaveProgreso, JSON.stringify(todas));
    } catch (e) { /* storage refused */ }
  }
}
