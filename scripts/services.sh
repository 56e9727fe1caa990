# SPDX-License-Identifier: MIT
# Helpers to start and stop the services of the tests and the demo on this machine.
# Sourced by the other scripts; everything listens on loopback or a local socket only.

# Starts Xvfb on a free display with a tray host (trayer) and exports DISPLAY.
start_display() {
    local n
    for n in $(seq 91 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    PIROLAN_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    PIROLAN_TRAYER_PID=$!
    sleep 0.5
}

stop_display() {
    [ -n "${PIROLAN_TRAYER_PID:-}" ] && kill "$PIROLAN_TRAYER_PID" 2>/dev/null || true
    [ -n "${PIROLAN_XVFB_PID:-}" ] && kill "$PIROLAN_XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
}
