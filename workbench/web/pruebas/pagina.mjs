// SPDX-License-Identifier: GPL-3.0-or-later
// The page in headless Chromium (Debian's), driven by puppeteer-core: node pagina.mjs SITIO.
// Serves the folder itself on a free port, and fails with the first check that does not hold.
import assert from "node:assert/strict";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const sitio = path.resolve(process.argv[2]);
const tipos = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                ".wasm": "application/wasm", ".json": "application/json" };
const servidor = http.createServer((q, r) => {
  const f = path.join(sitio, decodeURIComponent(new URL(q.url, "http://x").pathname));
  if (!f.startsWith(sitio) || !fs.existsSync(f) || fs.statSync(f).isDirectory()) {
    r.writeHead(404).end();
    return;
  }
  r.writeHead(200, { "Content-Type": tipos[path.extname(f)] || "application/octet-stream" });
  fs.createReadStream(f).pipe(r);
}).listen(0, "127.0.0.1");
await new Promise((r) => servidor.on("listening", r));

const descargas = fs.mkdtempSync(path.join(os.tmpdir(), "lambda-web-"));
// A fresh profile, gone at the end: the page keeps its options in it. The browser speaks
// English; the page stays Spanish.
const perfil = fs.mkdtempSync(path.join(os.tmpdir(), "lambda-web-perfil-"));
const navegador = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  userDataDir: perfil,
  args: ["--no-sandbox", "--lang=en-US"],
});
const p = await navegador.newPage();
const errores = [];
p.on("pageerror", (e) => errores.push(e.message));
await p.setViewport({ width: 900, height: 600, deviceScaleFactor: 2 });
const cdp = await p.createCDPSession();
await cdp.send("Page.setDownloadBehavior", { behavior: "allow", downloadPath: descargas });
await p.goto(`http://127.0.0.1:${servidor.address().port}/index.html`);
await p.waitForSelector("body[data-listo]");

const texto = (sel) => p.$eval(sel, (e) => e.textContent);
const espera = (ms) => new Promise((r) => setTimeout(r, ms));
// A command through the page's own function, once the worker has answered it.
const orden = (nombre, extra) => p.evaluate((n, x) => window.lambda.orden(n, x), nombre, extra);
async function escribe(sel, t) {
  await p.$eval(sel, (e) => { e.value = ""; });
  await p.type(sel, t);
}
async function entra(nombre, expresion) {
  await escribe("#edtDef", nombre);
  await escribe("#edtEnt", expresion);
  await orden("tecla", { a: 13 });
}
async function clic(sel) {
  await p.click(sel);
  await orden(undefined);  // every message before this one has been answered
}
const definidas = () => p.$$eval("#Definiciones1 button", (bs) => bs.map((b) => b.textContent));
const menu = (n) => p.click(`.menu:nth-child(${n}) > button`);
async function eligeLeccion(n) {
  await menu(4);
  // The list comes with the page's index of lessons, which a fresh page may still be fetching.
  await (await p.waitForSelector(`#Lecciones1 button:nth-child(${n})`)).click();
}
// A file downloaded under that name, once it is whole.
async function descargado(nombre) {
  const f = path.join(descargas, nombre);
  for (let i = 0; i < 50 && !(fs.existsSync(f) && fs.statSync(f).size); ++i) await espera(100);
  return fs.readFileSync(f, "latin1");
}
async function prueba(nombre, f) {
  await f();
  console.log("ok", nombre);
}

try {
  await prueba("el ejemplo de cinco órdenes, como en el escritorio", async () => {
    // As the window, the page starts on "Gráficos", with the window's caption.
    assert.equal(await p.$eval("#pestanaGraficos", (e) => e.ariaSelected), "true");
    assert.equal(await p.title(), "Cálculo Lambda - Lógica y computabilidad");
    // The controls say what they are as the window's do: the workbench's words.
    assert.equal(await p.$eval("#btnBetaAll", (e) => e.title),
                 "Reducir hasta la forma normal (pulsar otra vez para parar)");
    assert.equal(await p.$eval("#edtEnt", (e) => e.placeholder), "expresión, como \\x.x, e Intro");
    assert.equal(await p.$eval("#ListaPasos1", (e) => e.ariaLabel), "Los pasos desde la última expresión");
    await clic("#pestanaTexto");
    await entra("I", "\\x.x");
    assert.equal(await texto("#Memo1"), "\\ a . a");
    assert.equal(await texto("#edtDef"), "");
    await entra("", "I I");
    assert.equal(await texto("#Memo1"), "(\\ a . a) (\\ b . b)");
    await clic("#btnBeta");
    assert.equal(await texto("#Memo1"), "\\ a . a");
    assert.equal(await p.$eval("#btnBack", (e) => e.disabled), false);
    await clic("#btnBack");
    assert.equal(await texto("#Memo1"), "(\\ a . a) (\\ b . b)");
    assert.equal(await p.$eval("#btnBack", (e) => e.disabled), true);
    await clic("#btnBetaAll");
    await p.waitForFunction(() => document.getElementById("btnBetaAll").ariaPressed === "false");
    assert.equal(await texto("#Memo1"), "\\ a . a");
    assert.equal(await texto("#estado"), " 1 reducciones");
  });

  await prueba("el resalte del siguiente paso", async () => {
    await entra("", "(\\x y.y x) a b");
    assert.equal(await texto("#Memo1 .redex"), "(\\ a . \\ b . b a) c");
    assert.equal(await texto("#Memo1 .funcion"), "(\\ a . \\ b . b a)");
    assert.equal(await texto("#Memo1 .argumento"), "c");
    assert.equal(await texto("#lectura"), "9 nodos");
  });

  await prueba("una lección desde el menú «Lecciones»", async () => {
    await p.click(".menu:nth-child(4) > button");
    // The headings of the guide, accents and all.
    assert.deepEqual(await p.$$eval("#Lecciones1 button", (bs) => bs.map((b) => b.textContent)),
                     ["1. combinadores", "2. lógica", "3. numerales de Church y aritmética",
                      "4. pares y listas", "5. recursión", "6. estrategias de reducción"]);
    const [boton] = await p.$$("#Lecciones1 button");
    await boton.click();
    // "I", defined above, is not saved: the window's question first.
    await p.waitForSelector("#pregunta[open]");
    await p.click("#pregunta button[value=descartar]");
    await p.waitForFunction(() => document.querySelectorAll("#Definiciones1 button").length > 5);
    // The title names the lesson's file, as the window's caption names the file open.
    assert.equal(await p.title(), "Cálculo Lambda - combinadores.txt");
    await entra("", "S K K");
    await clic("#btnBetaAll");
    await p.waitForFunction(() => document.getElementById("btnBetaAll").ariaPressed === "false");
    assert.equal(await texto("#Memo1"), "\\ a . a");
    assert.equal(await texto("#estado"), " 4 reducciones");
  });

  await prueba("el panel «Pasos»: se llena con β, un clic en la línea 0 vuelve al primer término", async () => {
    await p.click(".menu:nth-child(2) > button");
    await p.click("#MostrarPasos1");
    await entra("", "(\\x y.y x) a b");
    await clic("#btnBeta");
    const filas = () => p.$$eval("#ListaPasos1 .fila", (f) => f.map((x) => x.textContent));
    await p.waitForFunction(() => document.querySelectorAll("#ListaPasos1 .fila").length === 3);
    assert.deepEqual(await filas(), ["Expresión: (\\x y.y x) a b",
                                     "0: (\\ a . \\ b . b a) c dOrden normal", "1: (\\ a . a b) c"]);
    assert.equal(await texto("#ListaPasos1 .fila:nth-child(2) .funcion"), "(\\ a . \\ b . b a)");
    await clic("#ListaPasos1 .fila:nth-child(2)");
    assert.equal(await texto("#Memo1"), "(\\ a . \\ b . b a) c d");
    await p.click(".menu:nth-child(2) > button");
    await p.click("#MostrarPasos1");
  });

  await prueba("«Conservar los nombres»: el término con los nombres escritos", async () => {
    await p.click(".menu:nth-child(2) > button");
    await p.click("#ConservarNombres1");
    await entra("", "\\x y.y x");
    assert.equal(await texto("#Memo1"), "\\ x . \\ y . y x");
    await p.click(".menu:nth-child(2) > button");
    await p.click("#ConservarNombres1");
    await p.waitForFunction(() => document.getElementById("Memo1").textContent === "\\ a . \\ b . b a");
  });

  await prueba("el diagrama: la raíz dibujada, los colores del escritorio", async () => {
    await entra("", "\\x.x x");
    await p.click("#pestanaGraficos");
    await p.waitForFunction(() => document.getElementById("Lienzo").width > 0);
    await espera(200);
    const px = await p.$eval("#Lienzo", (c) => {
      const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
      const en = (x, y) => Array.from(d.slice((y * c.width + x) * 4, (y * c.width + x) * 4 + 4));
      let tinta = 0;
      for (let y = 0; y < 200 && y < c.height; ++y)
        for (let x = 0; x < c.width; ++x) if (en(x, y).join() !== "255,255,240,255") ++tinta;
      return { ancho: c.width, esquina: en(2, c.height - 3), tinta, css: c.clientWidth };
    });
    assert.equal(px.ancho, px.css * 2);  // device pixels
    assert.deepEqual(px.esquina, [255, 255, 240, 255]);  // ColorFondo
    assert.ok(px.tinta > 100, `the root's drawing: ${px.tinta} pixels`);
    await p.click("#pestanaTexto");
    await orden(undefined);
  });

  await prueba("∀β sobre Ω se detiene con otra pulsación", async () => {
    await entra("", "(\\x.x x) (\\x.x x)");
    await p.click("#btnBetaAll");
    await espera(600);
    const antes = await texto("#estado");
    await espera(300);
    assert.notEqual(await texto("#estado"), antes);  // the count moves
    // A second press stops it: the button comes up again.
    await p.evaluate(() => new Promise((listo) => {
      const b = document.getElementById("btnBetaAll");
      new MutationObserver(() => {
        if (b.ariaPressed === "false") listo();
      }).observe(b, { attributes: true });
      b.click();
    }));
    assert.equal(await texto("#Memo1"), "(\\ a . a a) (\\ b . b b)");
  });

  await prueba("«Sintaxis» con las palabras de la ventana, que da el banco de trabajo", async () => {
    await p.$eval("#Sintaxis1", (b) => b.click());
    await p.waitForFunction(() => document.getElementById("dialogo").open);
    const t = await texto("#dialogoTexto");
    for (const parte of ["λx.M", "una copia del término actual", "arrastrar", "F9"])
      assert.ok(t.includes(parte), parte);
    assert.ok(!t.includes("Alt y la letra"));
    await p.keyboard.press("Escape");
  });

  await prueba("una expresión escrita en la caja del nombre se introduce con Intro", async () => {
    await escribe("#edtEnt", "");
    await escribe("#edtDef", "(\\x.x) y");
    await p.keyboard.press("Enter");
    await p.waitForFunction(() => document.getElementById("edtEnt").value === "(\\x.x) y");
    assert.equal(await p.$eval("#edtDef", (e) => e.value), "");
    await p.waitForFunction(() => document.getElementById("Memo1").textContent === "(\\ a . a) b");
    // A name goes on to the expression box, and stays.
    await escribe("#edtEnt", "");
    await escribe("#edtDef", "DOS");
    await p.keyboard.press("Enter");
    await orden("definiciones");
    assert.equal(await p.evaluate(() => document.activeElement.id), "edtEnt");
    assert.equal(await p.$eval("#edtDef", (e) => e.value), "DOS");
  });

  await prueba("«Comparar estrategias…»: una fila por estrategia, como en el escritorio", async () => {
    await entra("", "(\\a.\\b.b) ((\\c.c) (\\d.d))");
    await p.click(".menu:nth-child(2) > button");
    await p.click("#CompararEstrategias1");
    await p.waitForFunction(() => document.getElementById("SituacionComparacion").textContent === "Terminado.");
    // The current term, as the window says.
    assert.equal(await texto("#TerminoComparado"), "Término comparado: (\\ a . \\ b . b) ((\\ c . c) (\\ d . d))");
    const filas = await p.$$eval("#TablaComparacion tbody tr",
                                 (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent).join("|")));
    assert.equal(filas.length, 7);
    assert.deepEqual(filas.slice(0, 2), ["Orden normal|1|forma normal|igual a I",
                                         "Orden aplicativo|2|forma normal|igual a I"]);
    await p.click("#CerrarComparacion");
  });

  await prueba("definiciones sin guardar: se pregunta antes de abrir una lección y al cerrar", async () => {
    const leccion = async () => {
      await p.click(".menu:nth-child(4) > button");
      await (await p.$("#Lecciones1 button")).click();
      await p.waitForSelector("#pregunta[open]");
    };
    const alCerrar = () => p.evaluate(() => {
      const e = new Event("beforeunload", { cancelable: true });
      window.dispatchEvent(e);
      return e.defaultPrevented;
    });
    assert.equal(await alCerrar(), false);
    await entra("TRES", "\\f x.f (f (f x))");
    assert.equal(await alCerrar(), true);
    await leccion();
    assert.match(await texto("#preguntaTexto"), /^Las definiciones han cambiado\. ¿Guardarlas/);
    await p.click("#pregunta button[value=cancelar]");
    await orden(undefined);
    assert.ok((await definidas()).includes("TRES"));
    await leccion();
    await p.click("#pregunta button[value=descartar]");
    await p.waitForFunction(() => ![...document.querySelectorAll("#Definiciones1 button")]
      .some((b) => b.textContent === "TRES"));
    assert.equal(await alCerrar(), false);
  });

  await prueba("un fichero de definiciones salvado y abierto de nuevo", async () => {
    await entra("DOS", "\\f x.f (f x)");
    await p.click(".menu:nth-child(1) > button");
    await p.click("#Salvar1");
    const fichero = path.join(descargas, "combinadores.txt");
    for (let i = 0; i < 50 && !(fs.existsSync(fichero) && fs.statSync(fichero).size); ++i)
      await espera(100);
    const guardado = fs.readFileSync(fichero, "latin1");
    assert.match(guardado, /\r\nDOS\r\n\\ a \. \\ b \. a \(a b\)\r\n$/);
    await p.reload();
    await p.waitForSelector("body[data-listo]");
    const entrada = await p.$("#OpenDialog1");
    await entrada.uploadFile(fichero);
    await p.waitForFunction(() =>
      [...document.querySelectorAll("#Definiciones1 button")].some((b) => b.textContent === "DOS"));
    await entra("", "DOS");
    assert.equal(await texto("#lectura"), "forma normal · número 2 · igual a DOS · 7 nodos");
  });
  await prueba("un fichero que no se abre no cambia el título ni el nombre con que se salva", async () => {
    fs.rmSync(path.join(descargas, "combinadores.txt"));
    await (await p.$("#OpenDialog1")).uploadFile(path.join(sitio, "capturas", "navegador.png"));
    await p.waitForSelector("#dialogo[open]");
    await p.click("#dialogoCerrar");
    await menu(1);
    await p.click("#Salvar1");
    assert.match(await descargado("combinadores.txt"), /\r\nDOS\r\n/);
    assert.equal(await p.title(), "Cálculo Lambda - combinadores.txt");
  });

  await prueba("λ se lee como \\ en la caja de la expresión y en un fichero", async () => {
    await clic("#pestanaTexto");
    await entra("", "(λx y.y x) a b");
    assert.equal(await texto("#Memo1"), "(\\ a . \\ b . b a) c d");
    const fichero = path.join(descargas, "lambdas.txt");
    fs.writeFileSync(fichero, "DOSL\r\nλf x.f (f x)\r\n");
    await (await p.$("#OpenDialog1")).uploadFile(fichero);
    await p.waitForFunction(() => document.title === "Cálculo Lambda - lambdas.txt");
    await entra("", "DOSL");
    assert.equal(await texto("#lectura"), "forma normal · número 2 · igual a DOSL · 7 nodos");
  });

  await prueba("Escape en la pregunta por las definiciones sin guardar es «Cancelar»", async () => {
    await eligeLeccion(3);
    await p.waitForFunction(() => [...document.querySelectorAll("#Definiciones1 button")]
      .some((b) => b.textContent === "SUC"));
    await entra("OTRO", "\\x.x");
    await eligeLeccion(2);
    await p.waitForSelector("#pregunta[open]");
    await p.keyboard.press("Escape");
    await orden(undefined);
    assert.equal(await p.$eval("#pregunta", (d) => d.open), false);
    assert.ok((await definidas()).includes("OTRO"));
    // Through "Abrir..": no file picker after Escape.
    await p.$eval("#OpenDialog1", (e) => {
      window.selectores = 0;
      e.addEventListener("click", () => ++window.selectores);
    });
    await menu(1);
    await p.click("#Abrir1");
    await p.waitForSelector("#pregunta[open]");
    await p.keyboard.press("Escape");
    await orden(undefined);
    assert.equal(await p.evaluate(() => window.selectores), 0);
    assert.ok((await definidas()).includes("OTRO"));
    assert.equal(await p.title(), "Cálculo Lambda - numerales.txt");
  });

  await prueba("un carácter que no cabe rehúsa el Intro y nada más", async () => {
    await clic("#pestanaTexto");
    await entra("", "(\\x.x) y");
    await escribe("#edtEnt", "Ωx.x");
    await p.keyboard.press("Enter");
    await p.waitForFunction(() => document.getElementById("estado").textContent === "Carácter no admitido: Ω");
    assert.equal(await texto("#Memo1"), "(\\ a . a) b");
    // The pointer over the redex still shows it, β still steps, the tabs still change.
    const linea = await (await p.$("#Memo1 .lineas > div")).boundingBox();
    await p.mouse.move(linea.x + 8, linea.y + linea.height / 2);
    await p.waitForSelector("#Memo1.mano", { timeout: 5000 });
    await p.mouse.move(0, 0);
    await p.click("#btnBeta");
    await p.waitForFunction(() => document.getElementById("Memo1").textContent === "a", { timeout: 5000 });
    await clic("#pestanaGraficos");
    await clic("#pestanaTexto");
    assert.equal(await p.$eval("#edtEnt", (e) => e.value), "Ωx.x");
  });

  await prueba("los números en español aunque el navegador hable inglés", async () => {
    await p.$eval("#edtEnt", (e, t) => { e.value = t; }, "\\x." + " x".repeat(1000));
    await orden("tecla", { a: 13 });
    assert.equal(await texto("#lectura"), "forma normal · 2.000 nodos");
  });

  await prueba("η y «Beta múltiple»: la regla de la ventana", async () => {
    const como = () => p.$$eval("#Betamltiple1, #ReduccionEta1",
                                (bs) => bs.map((b) => `${b.ariaChecked} ${b.disabled ? "gris" : "activa"}`));
    const opcion = async (sel) => { await menu(2); await p.click(sel); await orden(undefined); };
    await opcion("#Betamltiple1");
    await opcion("#ReduccionEta1");
    // With η the mode is no longer the classic one: "Beta múltiple" unchecked and disabled.
    assert.deepEqual(await como(), ["false gris", "true activa"]);
    await opcion("#ReduccionEta1");
    assert.deepEqual(await como(), ["false activa", "false activa"]);
    await opcion("#Estrategias1 button:nth-child(3)");  // "Por nombre": no η
    assert.deepEqual(await como(), ["false gris", "false gris"]);
    await opcion("#Estrategias1 button:nth-child(1)");
    assert.deepEqual(await como(), ["false activa", "false activa"]);
  });

  await prueba("el panel «Ejercicios»: comprobar, reducir a mano, el progreso tras recargar, «Reiniciar»", async () => {
    const filas = () => p.$$eval("#ListaEjercicios1 .cabeza", (fs) => fs.map((f) => f.textContent));
    const resultado = () => p.$$eval("#ResultadoEjercicio1 div", (ds) => ds.map((d) => d.textContent));
    const abreLogica = async () => {
      await eligeLeccion(2);
      await p.waitForFunction(() => document.title === "Cálculo Lambda - logica.txt" ||
                              document.getElementById("pregunta").open);
      if (await p.$eval("#pregunta", (d) => d.open)) await p.click("#pregunta button[value=descartar]");
      await p.waitForFunction(() => document.querySelectorAll("#ListaEjercicios1 .fila").length === 7);
      assert.equal(await p.$eval("#Ejercicios1", (e) => e.hidden), false);
    };
    await abreLogica();
    assert.equal((await filas())[0], "1. definir · pendiente");
    assert.match(await texto("#EnunciadoEjercicio"), /^1\. Escribe NOY/);
    assert.equal(await p.$eval("#Respuesta1", (e) => e.placeholder), "forma normal, o «no tiene»");
    await entra("NOY", "YLOG");
    await clic("#Comprobar1");
    assert.equal((await resultado()).at(-1), "Todavía no: sigue probando.");
    await entra("NOY", "\\p q.NO (YLOG p q)");
    await clic("#Comprobar1");
    assert.equal((await resultado()).at(-1), "¡Muy bien! Ejercicio resuelto.");
    assert.equal((await filas())[0], "1. definir · resuelto · 1 error");
    // A reduction by hand: the argument first is not the normal order's way; the term stays.
    await clic("#pestanaTexto");
    await clic("#ListaEjercicios1 .fila:nth-child(6)");
    await clic("#Empezar1");
    const antes = await texto("#Memo1");
    const [x, y] = await p.evaluate((i) => {
      const w = document.createTreeWalker(document.querySelector("#Memo1 .lineas"), NodeFilter.SHOW_TEXT);
      for (let n; (n = w.nextNode()); i -= n.length) {
        if (i >= n.length) continue;
        const r = document.createRange();
        r.setStart(n, i);
        r.setEnd(n, i + 1);
        const b = r.getBoundingClientRect();
        return [b.x + b.width / 2, b.y + b.height / 2];
      }
    }, (await p.evaluate(() => window.lambda.estado.resalte[1])) + 3);  // the argument's own redex
    await p.mouse.click(x, y);
    await p.waitForFunction(() => document.getElementById("estado").textContent.startsWith("El orden normal"));
    assert.equal(await texto("#Memo1"), antes);
    assert.equal((await filas())[5], "6. reducir · pendiente · 1 error");
    // The progress stays in the browser.
    const sal = (d) => d.accept();
    p.on("dialog", sal);
    await p.reload();
    p.off("dialog", sal);
    await p.waitForSelector("body[data-listo]");
    await abreLogica();
    assert.equal((await filas())[0], "1. definir · resuelto · 1 error");
    await clic("#Reiniciar1");
    assert.equal((await filas())[0], "1. definir · pendiente");
    await menu(2);
    await p.click("#MostrarEjercicios1");
    assert.equal(await p.$eval("#Ejercicios1", (e) => e.hidden), true);
  });

  await prueba("en el límite de nodos, la barra de estado dice qué cuenta cada cifra", async () => {
    // "y y y" doubled 21 times: 6.291.456 occurrences of a free variable, which memory holds once,
    // and the applications between them. The second β needs the term, the one before it for ←
    // and the step's copy: more than a page's memory takes, for a term of 12.582.914 nodes as
    // written.
    await clic("#pestanaGraficos");
    await entra("", "y y y");
    for (let i = 0; i < 21; ++i) await entra("", "% %");
    await entra("", "(\\z.z) ((\\z.z) %)");
    await clic("#btnBeta");
    await clic("#btnBeta");
    assert.match(await texto("#estado"), /^Término demasiado grande: [\d.]+ nodos en memoria$/);
    assert.equal(await texto("#lectura"), "12.582.914 nodos");
  });

  await prueba("las opciones quedan para otra sesión; «Beta múltiple» y «Gráficos», como al empezar", async () => {
    const opcion = async (sel) => { await menu(2); await p.click(sel); await orden(undefined); };
    const marcas = ["#HaloDiagrama1", "#DetenerCiclo1", "#MostrarPasos1", "#ConservarNombres1",
                    "#NombresDefiniciones1"];
    const marcadas = () => p.$$eval(marcas.join(), (bs) => bs.map((b) => b.ariaChecked));
    for (const m of ["#Betamltiple1", ...marcas]) await opcion(m);
    // OTRO is not saved: the browser asks before it leaves, and is told to go on.
    const otraSesion = async () => {
      const sal = (d) => d.accept();
      p.on("dialog", sal);
      await p.reload();
      p.off("dialog", sal);
      await p.waitForSelector("body[data-listo]");
      await orden(undefined);
    };
    await otraSesion();
    assert.deepEqual(await marcadas(), marcas.map(() => "true"));
    assert.equal(await p.$eval("#Betamltiple1", (b) => b.ariaChecked), "false");
    assert.equal(await p.$eval("#Pasos1", (e) => e.hidden), false);
    assert.equal(await p.$eval("#pestanaGraficos", (e) => e.ariaSelected), "true");
    assert.equal(await p.title(), "Cálculo Lambda - Lógica y computabilidad");
    await opcion("#Estrategias1 button:nth-child(2)");  // "Orden aplicativo"
    await opcion("#ReduccionEta1");
    await otraSesion();
    assert.equal(await p.$eval("#Estrategias1 button:nth-child(2)", (b) => b.ariaChecked), "true");
    assert.equal(await p.$eval("#ReduccionEta1", (b) => b.ariaChecked), "true");
    // In force, not only shown: the argument first, the names kept.
    await clic("#pestanaTexto");
    await entra("", "(\\x.y) ((\\x.x) z)");
    await clic("#btnBeta");
    assert.equal(await texto("#Memo1"), "(\\ x . y) z");
  });
  await prueba("abierta desde el disco lo dice; sin red, la lección y el manual dicen que no llegan", async () => {
    assert.equal(await p.$eval("#DesdeDisco", (e) => e.hidden), true);
    const disco = await navegador.newPage();
    await disco.goto("file://" + path.join(sitio, "index.html"));
    assert.equal(await disco.$eval("#DesdeDisco", (e) => e.hidden), false);
    assert.match(await disco.$eval("#DesdeDisco", (e) => e.textContent), /scripts\/web\.sh/);
    await disco.close();
    await p.setRequestInterception(true);
    const corta = (q) => (/logica\.txt$|manual\.html$/.test(q.url()) ? q.abort() : q.continue());
    p.on("request", corta);
    await eligeLeccion(2);
    await p.waitForFunction(() => document.getElementById("estado").textContent.startsWith(
      "No se pudo cargar la lección logica.txt"));
    await p.$eval("#Manual1", (b) => b.click());
    await p.waitForFunction(() => document.getElementById("dialogo").open);
    assert.match(await texto("#dialogoTexto"), /^No se pudo cargar el manual/);
    await p.keyboard.press("Escape");
    p.off("request", corta);
    await p.setRequestInterception(false);
  });

  await prueba("los menús con el teclado: Alt y la letra, las flechas, Escape", async () => {
    const foco = () => p.evaluate(() => document.activeElement.id || document.activeElement.textContent);
    await p.keyboard.down("Alt");
    await p.keyboard.press("o");
    await p.keyboard.up("Alt");
    assert.equal(await p.$eval(".menu:nth-child(2)", (m) => m.classList.contains("abierto")), true);
    // The first entry it can choose has the focus (greyed ones are passed over).
    const primera = await foco();
    assert.equal(await p.evaluate(() => document.activeElement.closest(".lista").parentElement
      === document.querySelectorAll(".menu")[1]), true);
    assert.equal(await p.$eval("#Betamltiple1", (b) => b.getAttribute("role")), "menuitemcheckbox");
    await p.keyboard.press("ArrowDown");
    assert.notEqual(await foco(), primera);
    await p.keyboard.press("ArrowRight");
    assert.equal(await p.$eval(".menu:nth-child(3)", (m) => m.classList.contains("abierto")), true);
    await p.keyboard.press("Escape");
    assert.equal(await p.$$eval(".menu.abierto", (l) => l.length), 0);
    assert.equal(await foco(), "Definiciones");
    // The tabs as ARIA tabs: the arrows change them; the diagram takes the focus too.
    const antes = await p.$eval("#pestanaTexto", (b) => b.ariaSelected);
    await p.focus(antes === "true" ? "#pestanaTexto" : "#pestanaGraficos");
    await p.keyboard.press("ArrowRight");
    assert.notEqual(await p.$eval("#pestanaTexto", (b) => b.ariaSelected), antes);
    assert.equal(await foco(), antes === "true" ? "pestanaGraficos" : "pestanaTexto");
    await p.keyboard.press("ArrowLeft");
    assert.equal(await p.$eval("#pestanaTexto", (b) => b.ariaSelected), antes);
    assert.equal(await p.$eval("#Lienzo", (c) => c.tabIndex), 0);
  });

  await prueba("una orden que el banco de trabajo no tiene es un error, no otra orden", async () => {
    await orden("sinNombre");
    for (let i = 0; i < 50 && !errores.length; ++i) await espera(20);
    assert.match(errores.splice(0).join(), /Orden desconocida: sinNombre/);
  });
  assert.deepEqual(errores, []);
} finally {
  await navegador.close();
  servidor.close();
  fs.rmSync(descargas, { recursive: true, force: true });
  fs.rmSync(perfil, { recursive: true, force: true });
}
