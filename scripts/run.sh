#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the workbench and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependencias.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target lambda
exec ./build/workbench/qt/lambda "$@"
