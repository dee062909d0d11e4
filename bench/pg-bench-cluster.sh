#!/bin/sh
# The PostgreSQL cluster the benchmarks measure the server engine on: a data folder and a Unix
# socket in one folder, no TCP port, and commits as durable as on a shop's real server (fsync,
# synchronous commit and full page writes on, the server's defaults). Unlike the test cluster it
# is kept between runs, so the shops moved onto it are moved only once. As root the server runs
# as the postgres system user (the server refuses to run as root).
#   pg-bench-cluster.sh start DIR    creates the cluster on first use, then starts it
#   pg-bench-cluster.sh stop DIR     stops it and keeps its data
#   pg-bench-cluster.sh remove DIR   stops it and removes DIR
# Clients connect with "host=DIR user=postgres".
set -eu

action=${1:?start, stop or remove}
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
        as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    fi
}

case "$action" in
start)
    if [ ! -f "$dir/data/PG_VERSION" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
        as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --encoding=UTF8 \
            --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
            { cat "$dir/initdb.log" >&2; exit 1; }
    fi
    if [ -f "$dir/data/postmaster.pid" ] &&
        as_owner "$bin/pg_ctl" -D "$dir/data" status >/dev/null 2>&1; then
        exit 0
    fi
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 120 \
        -o "-c listen_addresses= -c unix_socket_directories=$dir -c fsync=on \
            -c synchronous_commit=on -c full_page_writes=on" start \
        >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    ;;
stop)
    stop_cluster
    ;;
remove)
    stop_cluster
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop|remove DIR" >&2
    exit 2
    ;;
esac
