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

# Starts a throwaway PostgreSQL cluster on 127.0.0.1 with the database "Температура" and
# Pirolan's table, and exports PIROLAN_PG_HOST, _PORT, _USER, _PASSWORD_FILE for the tests.
start_postgres() {
    local bin root port
    bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    PIROLAN_PG_DIR=$(mktemp -d /tmp/pirolan-pg.XXXXXX)
    chmod 755 "$PIROLAN_PG_DIR"
    head -c 18 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' > "$PIROLAN_PG_DIR/password"
    local as=()
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres "$PIROLAN_PG_DIR" "$PIROLAN_PG_DIR/password"
        as=(runuser -u postgres --)
    fi
    PIROLAN_PG_AS=("${as[@]}")
    "${as[@]}" "$bin/initdb" -D "$PIROLAN_PG_DIR/data" -U pirolan --pwfile="$PIROLAN_PG_DIR/password" \
        -E UTF8 --locale=C.UTF-8 --auth=scram-sha-256 >"$PIROLAN_PG_DIR/initdb.log" 2>&1
    for port in $(seq 55432 55499); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
    done
    "${as[@]}" "$bin/pg_ctl" -D "$PIROLAN_PG_DIR/data" -l "$PIROLAN_PG_DIR/server.log" -w \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $PIROLAN_PG_DIR" start >/dev/null
    PIROLAN_PG_BIN=$bin
    export PIROLAN_PG_HOST=127.0.0.1 PIROLAN_PG_PORT=$port PIROLAN_PG_USER=pirolan
    export PIROLAN_PG_PASSWORD_FILE="$PIROLAN_PG_DIR/password"
    PGPASSWORD=$(cat "$PIROLAN_PG_PASSWORD_FILE") "$bin/createdb" -h 127.0.0.1 -p "$port" \
        -U pirolan -E UTF8 'Температура'
    PGPASSWORD=$(cat "$PIROLAN_PG_PASSWORD_FILE") "$bin/psql" -q -h 127.0.0.1 -p "$port" \
        -U pirolan -d 'Температура' -v ON_ERROR_STOP=1 -f "$root/sql/postgresql.sql"
}

stop_postgres() {
    [ -n "${PIROLAN_PG_DIR:-}" ] || return 0
    "${PIROLAN_PG_AS[@]}" "$PIROLAN_PG_BIN/pg_ctl" -D "$PIROLAN_PG_DIR/data" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$PIROLAN_PG_DIR"
    PIROLAN_PG_DIR=""
}
