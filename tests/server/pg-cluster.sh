#!/bin/sh
# A throwaway PostgreSQL cluster for the server test runs: a data folder and a Unix socket in one
# temporary folder, no TCP port. As root the server runs as the postgres system user (the server
# refuses to run as root).
#   pg-cluster.sh start DIR   creates and starts the cluster (an old one in DIR is removed first)
#   pg-cluster.sh stop DIR    stops it and removes DIR
# Clients connect with "host=DIR user=postgres".
set -eu

action=${1:?start or stop}
dir=${2:?folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/pg_ctl" ] || { echo "PostgreSQL server programs not found (package postgresql)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

stop_cluster() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
}

case "$action" in
start)
    stop_cluster
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --encoding=UTF8 \
        --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    # Tests need no durability across a power cut; the crash harness runs its own cluster.
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses= -c unix_socket_directories=$dir -c fsync=off \
            -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" start \
        >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    ;;
stop)
    stop_cluster
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
