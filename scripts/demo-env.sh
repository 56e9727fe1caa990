# SPDX-License-Identifier: MIT
# The demo's embedded default: a simulated meter on a pseudo-terminal and a local SQLite file.
# Sourced by scripts/run and scripts/screenshot; needs a built tree and $root.

PIROLAN_DEMO_DIR=${PIROLAN_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/pirolan}
PIROLAN_DEMO_DB=$PIROLAN_DEMO_DIR/demo.sqlite
PIROLAN_DEMO_PORT=$PIROLAN_DEMO_DIR/devsim-port

# Creates the demo database if it is missing and starts the simulator in the background.
start_demo_device() {
    mkdir -p "$PIROLAN_DEMO_DIR"
    if [ ! -f "$PIROLAN_DEMO_DB" ]; then
        sqlite3 "$PIROLAN_DEMO_DB" < "$root/sql/sqlite.sql"
        echo "Created the demo database $PIROLAN_DEMO_DB"
    fi
    "$root/build/tools/pirolan-devsim" --link "$PIROLAN_DEMO_PORT" --interval 1000 >/dev/null &
    PIROLAN_DEVSIM_PID=$!
    for _ in $(seq 1 50); do
        [ -e "$PIROLAN_DEMO_PORT" ] && break
        sleep 0.1
    done
}

stop_demo_device() {
    [ -n "${PIROLAN_DEVSIM_PID:-}" ] && kill "$PIROLAN_DEVSIM_PID" 2>/dev/null || true
    rm -f "$PIROLAN_DEMO_PORT"
}
