#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of the real window under Xvfb, for a person to look at: a term entered and stepped
# on the diagram tab, the same on the text tab, then run to normal form; the menu "Opciones" with
# its strategies, and the comparison of every strategy on K I Ω once it has ended.
# Usage: tests/window/captura.sh [program] [folder]   (needs xvfb, xauth, xdotool, imagemagick)
set -euo pipefail
programa=$(realpath "${1:-build/workbench/qt/lambda}")
destino=$(realpath "${2:-.}")
exec xvfb-run -a -s "-screen 0 1280x800x24" bash -s "$programa" "$destino" <<'GUION'
set -euo pipefail
programa=$1 destino=$2
# A settings store of its own: the options of a first start, and none of the user's touched.
ajustes=$(mktemp -d)
XDG_CONFIG_HOME=$ajustes "$programa" & pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$ajustes"' EXIT
w=$(xdotool search --sync --name "Cálculo Lambda" | head -1)
xdotool windowfocus --sync "$w"
eval "$(xdotool getwindowgeometry --shell "$w")"
fila=$((Y + HEIGHT - 19 - 47))  # top of the input row
xdotool type --delay 20 'DOS'
xdotool key Tab
xdotool type --delay 20 '\f x.f (f x)'
xdotool key Return
xdotool key ctrl+a
xdotool type --delay 20 'DOS DOS (\y.y) ((\z.z z) q)'
xdotool key Return
xdotool mousemove $((X + 905)) $((fila + 22)) click 1   # β
sleep 0.5
import -window root "$destino/graficos.png"
xdotool mousemove $((X + 30)) $((fila - 30)) click 1    # the tab "Texto"
sleep 0.5
import -window root "$destino/texto.png"
xdotool mousemove $((X + 998)) $((fila + 22)) click 1   # ∀β
sleep 0.5
import -window root "$destino/texto-forma-normal.png"
xdotool key alt+o e                                      # "Opciones", then "Estrategia"
sleep 0.5
import -window root "$destino/opciones.png"
xdotool key Escape Escape Escape
xdotool mousemove $((X + 400)) $((fila + 22)) click 1   # the expression box
xdotool key ctrl+a
xdotool type --delay 20 '(\x.\y.y) ((\x.x x) (\x.x x))'
xdotool key Return alt+o p                               # "Comparar estrategias…"
xdotool search --sync --name "Comparar estrategias" >/dev/null
sleep 3
import -window root "$destino/comparar.png"
GUION
