#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and the program need; skips what is there.
set -euo pipefail

paquetes=(
  cmake ninja-build g++ pkg-config          # build
  clang libclang-rt-14-dev                  # sanitizer and fuzzer builds
  libgtest-dev libgmock-dev libbenchmark-dev # tests and benchmarks
  libagg-dev libpng-dev                     # diagram rendering, PNG export
  qt6-base-dev libgl-dev                    # the window
  qt6-translations-l10n                     # Qt's own dialogs and menus in Spanish
  fonts-dejavu-core fonts-crosextra-carlito # the window's fonts
  xvfb xauth                                # GUI tests and screenshots without a display
  librsvg2-bin                              # rasterises exported SVG diagrams in the tests
  cmark-gfm                                 # the manual's HTML, for the window and the page
  dpkg-dev lintian                          # the Debian package: its dependencies, its check
  emscripten chromium                       # the browser's build, the page's tests
)
# node and npm for the browser's tests: any node will do, Debian's when there is none.
command -v node >/dev/null || paquetes+=(nodejs)
command -v npm >/dev/null || paquetes+=(npm)

faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
done
if [ ${#faltan[@]} -eq 0 ]; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Instalando: ${faltan[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${faltan[@]}"
