// SPDX-License-Identifier: GPL-3.0-or-later
// motor.html in headless Chromium (Debian's), served from its folder: node chromium.mjs FOLDER
// [RONDAS].
// Prints the page's lines as the program printed them.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { createRequire } from "node:module";

// puppeteer-core as the page's tests install it.
const require = createRequire(new URL("../../workbench/web/pruebas/", import.meta.url));
const puppeteer = require("puppeteer-core");

const carpeta = path.resolve(process.argv[2]);
const tipos = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };
const servidor = http.createServer((q, r) => {
  const f = path.join(carpeta, path.basename(new URL(q.url, "http://x").pathname));
  if (!fs.existsSync(f)) return r.writeHead(404).end();
  r.writeHead(200, { "Content-Type": tipos[path.extname(f)] || "application/octet-stream" });
  fs.createReadStream(f).pipe(r);
}).listen(0, "127.0.0.1");
await new Promise((r) => servidor.on("listening", r));
const navegador = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true, args: ["--no-sandbox"],
});
try {
  const p = await navegador.newPage();
  await p.goto(`http://127.0.0.1:${servidor.address().port}/motor.html?${process.argv[3] || 1}`);
  await p.waitForSelector("body[data-fin]", { timeout: 0 });
  process.stdout.write(await p.$eval("#salida", (e) => e.textContent));
} finally {
  await navegador.close();
  servidor.close();
}
