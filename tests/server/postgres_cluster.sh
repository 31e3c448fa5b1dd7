#!/bin/sh
# A throwaway PostgreSQL cluster for tests: initdb in a temporary folder of its own, run as an
# unprivileged user (postgres when run as root, else oneself), listening only on a Unix
# socket in that folder. STATE is a folder that names the cluster for the other commands.
#
#   postgres_cluster.sh start STATE    makes and starts a cluster; STATE/url is the URL of its
#                                      "postgres" database. Without PostgreSQL's server
#                                      programs, writes why to STATE/skipped and exits 77.
#   postgres_cluster.sh replica STATE PRIMARY
#                                      makes and starts a streaming read replica of the
#                                      running cluster PRIMARY (another STATE)
#   postgres_cluster.sh halt STATE     stops it (fast shutdown), keeping its data
#   postgres_cluster.sh resume STATE   starts it again
#   postgres_cluster.sh remove STATE   stops it and removes every file of it (STATE keeps
#                                      only the reason of a skip)
#   postgres_cluster.sh skip STATE WHY records WHY as the reason of a skip and exits 77
set -eu

command=${1:-}
state=${2:-}
[ -n "$command" ] && [ -n "$state" ] || { echo "usage: $0 start|replica|halt|resume|remove|skip STATE" >&2; exit 2; }
extra=${3:-}
case "$state" in /*) ;; *) state="$PWD/$state" ;; esac
case "$command:$extra" in replica:/* | replica:) ;; replica:*) extra="$PWD/$extra" ;; esac
# PostgreSQL's programs, run as another user, may not be able to enter the caller's folder.
cd /

# PostgreSQL refuses to run as root.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

# CI sets ZEBROLITE_REQUIRE_POSTGRES=1: there a missing PostgreSQL is a failure, not a skip.
skip() {
  mkdir -p "$state"
  if [ "${ZEBROLITE_REQUIRE_POSTGRES:-0}" = 1 ]; then
    echo "PostgreSQL tests cannot run: $1" >&2
    exit 1
  fi
  echo "$1" >"$state/skipped"
  echo "PostgreSQL tests skipped: $1" >&2
  exit 77
}

# PostgreSQL's server programs: ZEBROLITE_POSTGRES_BIN when set, else the newest of Debian's.
bin_dir() {
  if [ -n "${ZEBROLITE_POSTGRES_BIN:-}" ]; then
    [ -x "$ZEBROLITE_POSTGRES_BIN/initdb" ] && echo "$ZEBROLITE_POSTGRES_BIN"
    return 0
  fi
  for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    [ -x "$dir/initdb" ] && { echo "$dir"; return; }
  done
  initdb=$(command -v initdb 2>/dev/null || true)
  [ -n "$initdb" ] && dirname "$initdb"
  return 0
}

pg_ctl_run() {
  folder=$(cat "$state/folder")
  as_owner "$(cat "$state/bin")/pg_ctl" -D "$folder/data" -l "$folder/log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$folder' -c port=5432 -c max_connections=300" "$@"
}

# Stops the cluster that $state names, if any, and removes its files.
remove_cluster() {
  if [ -f "$state/folder" ] && [ -f "$state/bin" ]; then
    pg_ctl_run -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$(cat "$state/folder")"
  fi
}

# A new folder for a cluster's files, owned by the user that runs it; a cluster that $state
# named before (a run that was cut short) is stopped first.
make_folder() {
  remove_cluster
  rm -rf "$state"
  mkdir -p "$state"
  bin=$(bin_dir)
  [ -n "$bin" ] || skip "initdb was not found (install Debian's postgresql package)"
  if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
    skip "running as root and there is no postgres user to run the cluster as"
  fi
  folder=$(mktemp -d "${TMPDIR:-/tmp}/zebrolite-pg.XXXXXX")
  echo "$bin" >"$state/bin"
  echo "$folder" >"$state/folder"
  [ "$(id -u)" -eq 0 ] && chown postgres "$folder"
  chmod 755 "$folder"
}

# Starts the cluster of $state and writes its URL.
serve() {
  if ! pg_ctl_run start >/dev/null; then
    cat "$folder/log" >&2
    exit 1
  fi
  echo "postgresql:///postgres?host=$folder&port=5432&user=zebrolite" >"$state/url"
  echo "PostgreSQL $("$bin/postgres" --version | awk "{print \$3}") cluster in $folder"
}

case "$command" in
  start)
    make_folder
    if ! as_owner "$bin/initdb" -D "$folder/data" -U zebrolite -A trust -E UTF8 --no-locale --no-sync >"$folder/initdb.log" 2>&1; then
      cat "$folder/initdb.log" >&2
      exit 1
    fi
    serve
    ;;
  replica)
    primary=$(cat "${extra:?the primary's STATE}/folder")
    make_folder
    # -R: a standby that follows the primary, streaming its WAL.
    if ! as_owner "$bin/pg_basebackup" -D "$folder/data" -R -X stream -c fast --no-sync -h "$primary" -p 5432 -U zebrolite >"$folder/basebackup.log" 2>&1; then
      cat "$folder/basebackup.log" >&2
      exit 1
    fi
    serve
    ;;
  halt)
    pg_ctl_run -m fast stop >/dev/null
    ;;
  resume)
    pg_ctl_run start >/dev/null
    ;;
  remove)
    remove_cluster
    find "$state" -mindepth 1 ! -name skipped -exec rm -rf {} + 2>/dev/null || true
    ;;
  skip)
    remove_cluster
    rm -rf "$state"
    skip "${extra:-no reason given}"
    ;;
  *)
    echo "unknown command $command" >&2
    exit 2
    ;;
esac
