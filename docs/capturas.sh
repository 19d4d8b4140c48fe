#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes the manual's screenshots (docs/capturas/*.png) from the real window under Xvfb, so that
# they can follow any change of the window.
# Usage: docs/capturas.sh [program]   (needs xvfb, xauth, xdotool, imagemagick)
set -euo pipefail
docs=$(dirname "$(realpath "$0")")
programa=$(realpath "${1:-build/workbench/qt/lambda}")
exec xvfb-run -a -s "-screen 0 1280x800x24" bash -s "$programa" "$docs" <<'GUION'
set -euo pipefail
programa=$1 docs=$2
# A settings store of its own: the options of a first start, and none of the user's touched.
ajustes=$(mktemp -d)
XDG_CONFIG_HOME=$ajustes "$programa" "$docs/../examples/numerales.txt" & pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$ajustes"' EXIT
w=$(xdotool search --sync --name "Cálculo Lambda" | head -1)
xdotool windowfocus --sync "$w"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$w")"
fila=$((Y + HEIGHT - 19 - 47))  # top of the input row
# Narrow enough for the manual's own window inside the program.
captura() {
  sleep 0.7
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage -resize 760x -depth 8 "$docs/capturas/$1.png"
}
xdotool key Tab
xdotool type --delay 20 'SUMA 2 (MULT 2 2)'
xdotool key Return
xdotool mousemove $((X + 905)) $((fila + 22)) click 1   # β
xdotool mousemove $((X + 600)) $((Y + 8))   # the menu bar's empty end: no tooltip
captura ventana
xdotool mousemove $((X + 30)) $((fila - 30)) click 1    # the tab "Texto"
xdotool mousemove $((X + 600)) $((Y + 8))   # the menu bar's empty end: no tooltip
captura texto
xdotool key alt+d
captura definiciones
xdotool key Escape
GUION
