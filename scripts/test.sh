#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs every test: first a normal build (all tests, the window's on Qt's
# offscreen platform), then a clang build under AddressSanitizer and UndefinedBehaviorSanitizer
# (every Qt-free test, the lambda-cli scripts and the fuzzers' corpora), then the browser's build
# (lambda-cli's scripts under node, the page in headless Chromium).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependencias.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2

CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLAMBDA_SANITIZE=ON -DLAMBDA_QT=OFF -DLAMBDA_FUZZ=ON -DLAMBDA_BENCH=OFF
cmake --build build-san -j2
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-san --output-on-failure -j2

inicio=$SECONDS
bash scripts/web.sh --solo-construir
(cd workbench/web/pruebas && npm ci --no-audit --no-fund --loglevel=error)
ctest --test-dir build-web --output-on-failure -j2
echo "Etapa web: $((SECONDS - inicio)) s"
