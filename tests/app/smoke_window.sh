#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the real pirolan on the display the test run provides, with a tray host running:
# the window titled "Pirolan" must be mapped, its tray icon embedded in the tray host, and a
# SIGTERM must close it with exit code 0. Exit 77 (skipped) when there is no display.
set -u
bin=$1
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null && command -v xwininfo >/dev/null || { echo "no xdotool"; exit 77; }
pgrep -x trayer >/dev/null || { echo "no tray host (trayer) running: skipped"; exit 77; }

QT_QPA_PLATFORM=xcb "$bin" --server /nonexistent/demo.sqlite &
pid=$!
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }

window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name '^Pirolan$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && xwininfo -id "$window" | grep -q 'IsViewable' && break
    window=""
    sleep 0.1
done
[ -n "$window" ] || fail "no mapped window titled Pirolan"
xwininfo -id "$window" | grep -q 'Width: 317' || fail "window is not 317 pixels wide"

embedded=no
for _ in $(seq 1 50); do
    if xwininfo -root -tree | sed -n '/"panel": ("panel" "trayer")/,/^     0x/p' | grep -q '"Pirolan"'; then
        embedded=yes
        break
    fi
    sleep 0.1
done
[ "$embedded" = yes ] || fail "tray icon not embedded in the tray host"

kill -TERM "$pid"
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after SIGTERM"
echo "window mapped, tray icon embedded, closed cleanly"
