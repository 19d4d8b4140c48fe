#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the workbench for the browser and serves it: build-web/web/sitio/ is the folder to copy
# to any static web server. With --solo-construir it builds and stops; PUERTO sets the port.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependencias.sh
# Debian's emscripten finds its node modules (acorn) here, whichever node runs it.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
lanzador=()
if command -v ccache >/dev/null; then lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DLAMBDA_QT=OFF \
  -DLAMBDA_BENCH=OFF "${lanzador[@]}" >/dev/null
cmake --build build-web -j2
if [ "${1:-}" = "--solo-construir" ]; then exit 0; fi
puerto=${PUERTO:-8000}
echo "Cálculo Lambda en el navegador: http://localhost:$puerto/"
exec python3 -m http.server "$puerto" --bind 127.0.0.1 --directory build-web/web/sitio
