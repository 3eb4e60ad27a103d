#!/usr/bin/env bash
# Starts or stops a throwaway MariaDB server that belongs to one folder:
#   mariadb-server.sh start DIR PORT DATABASE USER PASSWORD
#   mariadb-server.sh stop DIR
# The user may do anything on the server (tests make databases and users of
# their own), or, with GRANT_SCOPE=database, work in its database only, as a
# real login does.
# The server listens on 127.0.0.1 only, runs as a plain background process,
# and takes the SQL modes under which the DB2 texts run as they stand.
set -euo pipefail

command=${1:?start or stop}
dir=${2:?data folder}
socket="$dir/mysqld.sock"
pidfile="$dir/mysqld.pid"

stop_server() {
  if [[ -f "$pidfile" ]]; then
    local pid
    pid=$(cat "$pidfile")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid"
      for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
  fi
}

case "$command" in
  stop)
    stop_server
    ;;
  start)
    port=${3:?port}
    database=${4:?database}
    user=${5:?user}
    password=${6:?password}
    mkdir -p "$dir"
    stop_server
    if [[ ! -d "$dir/data/mysql" ]]; then
      mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$dir/data" \
        --auth-root-authentication-method=socket --skip-test-db >"$dir/install.log" 2>&1 || {
        cat "$dir/install.log" >&2
        echo "mariadb-install-db failed" >&2
        exit 1
      }
    fi
    mariadbd --no-defaults --user="$(id -un)" --datadir="$dir/data" --socket="$socket" \
      --pid-file="$pidfile" --port="$port" --bind-address=127.0.0.1 \
      --sql-mode=ANSI_QUOTES,NO_BACKSLASH_ESCAPES,STRICT_TRANS_TABLES \
      --character-set-server=utf8mb4 --collation-server=utf8mb4_bin \
      --log-error="$dir/error.log" >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
      if mariadb-admin --no-defaults --socket="$socket" -uroot ping >/dev/null 2>&1; then break; fi
      sleep 0.1
    done
    if ! mariadb-admin --no-defaults --socket="$socket" -uroot ping >/dev/null 2>&1; then
      echo "The MariaDB server in $dir did not start:" >&2
      tail -n 20 "$dir/error.log" >&2 || true
      exit 1
    fi
    sql_password=${password//\'/\'\'}
    if [[ ${GRANT_SCOPE:-server} == database ]]; then
      scope="\`$database\`.*" grant_option=""
      revoke="REVOKE ALL PRIVILEGES, GRANT OPTION FROM '$user'@'127.0.0.1', '$user'@'localhost';"
    else
      scope="*.*" grant_option="WITH GRANT OPTION" revoke=""
    fi
    mariadb --no-defaults --socket="$socket" -uroot <<SQL
CREATE DATABASE IF NOT EXISTS \`$database\`;
CREATE USER IF NOT EXISTS '$user'@'127.0.0.1' IDENTIFIED BY '$sql_password';
CREATE USER IF NOT EXISTS '$user'@'localhost' IDENTIFIED BY '$sql_password';
$revoke
GRANT ALL PRIVILEGES ON $scope TO '$user'@'127.0.0.1' $grant_option;
GRANT ALL PRIVILEGES ON $scope TO '$user'@'localhost' $grant_option;
FLUSH PRIVILEGES;
SQL
    ;;
  *)
    echo "usage: $0 start DIR PORT DATABASE USER PASSWORD | stop DIR" >&2
    exit 2
    ;;
esac
