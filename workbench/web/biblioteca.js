// SPDX-License-Identifier: GPL-3.0-or-later
// The view's calls of uPuente.cpp, answered by the worker (trabajador.js sets Module.vista).
mergeInto(LibraryManager.library, {
  web_vista: function (tipo, texto, numero) {
    Module.vista.texto(UTF8ToString(tipo), UTF8ToString(texto, numero), numero);
  },
  web_resalte: function (rangos, n) {
    Module.vista.resalte(Array.from(HEAP32.subarray(rangos >> 2, (rangos >> 2) + 2 * n)));
  },
  web_lienzo: function (pixeles, ancho, alto) {
    Module.vista.lienzo(HEAPU8.subarray(pixeles, pixeles + ancho * alto * 4), ancho, alto);
  },
  web_apuntado: function (rangos, n, mano, ir) {
    Module.vista.apuntado(Array.from(HEAP32.subarray(rangos >> 2, (rangos >> 2) + 2 * n)), mano, ir);
  },
  // Run-all between two passes: it waits, and the worker's `reanuda` goes on once the worker has handled
  // the messages that came meanwhile.
  web_cede: function () {
    Module.cede();
  },
});
