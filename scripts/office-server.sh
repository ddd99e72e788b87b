#!/usr/bin/env bash
# A local PostgreSQL server for trying the shared register, and the one the tests use.
#
#   scripts/office-server.sh start FOLDER [DATABASE]   makes (once) and starts a server whose
#                                                      files and Unix socket are in FOLDER, creates
#                                                      DATABASE (default tarvik) and prints its URI
#   scripts/office-server.sh stop FOLDER               stops it
#
# The server listens on its socket in FOLDER only, never on a network port, unless
# OFFICE_SERVER_PORT names a port: then also on 127.0.0.1 at that port, and the URI printed is
# that address (for the Windows build's tests under Wine, whose libpq has no Unix sockets).
# Run as root, it runs as the unprivileged user nobody (PostgreSQL refuses to run as root).
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "PostgreSQL server not installed (Debian package postgresql-15)" >&2
    exit 1
fi

action=${1:-}
folder=${2:-}
if [ -z "$action" ] || [ -z "$folder" ]; then
    echo "usage: $0 start|stop FOLDER [DATABASE]" >&2
    exit 2
fi
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
database=${3:-tarvik}

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u nobody -- "$@"
    else
        "$@"
    fi
}
owner=$( [ "$(id -u)" -eq 0 ] && echo nobody || id -un )

case "$action" in
start)
    if [ ! -f "$folder/data/PG_VERSION" ]; then
        [ "$(id -u)" -eq 0 ] && chown nobody "$folder"
        as_owner "$bin/initdb" -D "$folder/data" -U "$owner" --auth=trust -E UTF8 \
            --locale=C.UTF-8 >"$folder/initdb.log" 2>&1 ||
            { cat "$folder/initdb.log" >&2; exit 1; }
    fi
    port=${OFFICE_SERVER_PORT:-}
    listen=${port:+127.0.0.1}
    as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 \
        -o "-c listen_addresses='$listen' ${port:+-p $port} -c unix_socket_directories='$folder' -c fsync=off -c max_connections=100" \
        start >/dev/null || { cat "$folder/server.log" >&2; exit 1; }
    as_owner "$bin/psql" -h "$folder" ${port:+-p $port} -U "$owner" -d postgres -qAt \
        -c "select 1 from pg_database where datname = '$database'" | grep -q 1 ||
        as_owner "$bin/createdb" -h "$folder" ${port:+-p $port} -U "$owner" "$database"
    if [ -n "$port" ]; then
        echo "postgresql://$owner@127.0.0.1:$port/$database"
    else
        echo "postgresql://$owner@/$database?host=$folder"
    fi
    ;;
stop)
    [ -f "$folder/data/postmaster.pid" ] && as_owner "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null
    ;;
*)
    echo "usage: $0 start|stop FOLDER [DATABASE]" >&2
    exit 2
    ;;
esac
