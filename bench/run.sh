#!/usr/bin/env bash
# Builds the Release benchmarks and runs them all once, printing every figure
# with the date and the machine. None of this is a test: nothing here fails
# on a timing, and CI does not run it.
#
#   bench/run.sh            full sizes (about 10 to 15 minutes)
#   bench/run.sh --quick    small sizes, a smoke run of a minute or two
#                           (or QUORVANE_BENCH_QUICK=1)
#
# BUILD_DIR (default build/bench) is the build folder; SCRATCH_PARENT (default
# /tmp) holds the generated files, the databases and the settings, all
# deleted at the end.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo/build/bench}
quick=${QUORVANE_BENCH_QUICK:-0}
[[ ${1:-} == --quick ]] && quick=1

if [[ $quick == 1 ]]; then
  overhead_rows=20000 repetitions=1 memory_bytes=$((64 << 20)) streaming_gb=0.05
else
  overhead_rows=200000 repetitions=3 memory_bytes=$((1 << 30)) streaming_gb=1.0
fi
# Lines of the memory file: long ones keep a 1 GB import to minutes.
memory_line_bytes=${MEMORY_LINE_BYTES:-4096}

section() { printf '\n== %s ==\n' "$*"; }
seconds_since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
best() { printf '%s\n' "$@" | sort -g | head -n 1; }
mean() { printf '%s\n' "$@" | awk '{ s += $1 } END { printf "%.3f", s / NR }'; }
# A benchmark's exit status is shown, never allowed to end the run.
noted_exit() { echo "(exit status $?)"; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v < t ? "met" : "missed") }'; }

# --- build -------------------------------------------------------------------
"$repo/scripts/install-deps.sh"
targets=(quorvane-cli generate_delimited_file bare_insert_loop ui_bench_responsiveness
         bench_streaming_memory)
[[ -f $repo/bench/bench_folder_scan.cpp ]] && targets+=(bench_folder_scan)
echo "Building ${targets[*]} in $build_dir ..."
mkdir -p "$build_dir"
cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BUILD_TESTS=OFF \
  >"$build_dir/run-cmake.log" 2>&1 || { cat "$build_dir/run-cmake.log"; exit 1; }
ninja -C "$build_dir" -j"${BUILD_JOBS:-2}" "${targets[@]}" >"$build_dir/run-ninja.log" 2>&1 ||
  { tail -n 40 "$build_dir/run-ninja.log"; exit 1; }
cli=$build_dir/src/cli/quorvane-cli
generate=$build_dir/bench/generate_delimited_file
bare=$build_dir/bench/bare_insert_loop

# --- scratch, drivers, databases ---------------------------------------------
scratch=$(mktemp -d "${SCRATCH_PARENT:-/tmp}/quorvane-bench.XXXXXX")
mariadb_dir=$scratch/mariadb
cleanup() {
  "$repo/scripts/mariadb-server.sh" stop "$mariadb_dir" >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$scratch/odbc-sqlite" "$scratch/odbc-mariadb" "$scratch/config" "$scratch/runtime"
chmod 700 "$scratch/runtime"
register_driver() {
  printf '[IBM DB2 ODBC DRIVER]\nDescription=stand-in for the benchmarks\nDriver=%s\n' "$2" >"$1/odbcinst.ini"
}
register_driver "$scratch/odbc-sqlite" /usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so
register_driver "$scratch/odbc-mariadb" /usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
export QUORVANE_PASSWORD=bench-secret

new_sqlite() { sqlite3 "$1" 'PRAGMA journal_mode=WAL;' >/dev/null; }

free_port() {
  local port
  for port in $(shuf -i 20000-60000 -n 100); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return
    fi
  done
  echo "no free port found" >&2
  return 1
}
mariadb_port=$(free_port)
"$repo/scripts/mariadb-server.sh" start "$mariadb_dir" "$mariadb_port" quorvane_bench bench "$QUORVANE_PASSWORD"
mariadb_sql() { mariadb --no-defaults --socket="$mariadb_dir/mysqld.sock" -uroot -N -B quorvane_bench -e "$1"; }
# Each autocommit INSERT would otherwise wait for a flush of the redo log to
# disk (about 2.4 ms on this kind of machine, 200,000 of them per run); that
# wait is the same for both programs and would hide the client side, which is
# what is compared. The log is still written at every commit.
mariadb_sql 'SET GLOBAL innodb_flush_log_at_trx_commit = 2'

# --- machine ---------------------------------------------------------------------
section "Quorvane benchmarks  $(date '+%Y-%m-%d %H:%M:%S %Z')"
echo "mode: $([[ $quick == 1 ]] && echo quick || echo full)  commit: $(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo "machine: $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -m), kernel $(uname -r)"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores available"
echo "memory: $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo); load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "drivers: SQLite $(dpkg-query -W -f='${Version}' libsqliteodbc 2>/dev/null), MariaDB ODBC $(dpkg-query -W -f='${Version}' odbc-mariadb 2>/dev/null), server $(mariadbd --version | awk '{ print $3 }'), unixODBC $(dpkg-query -W -f='${Version}' unixodbc 2>/dev/null)"

summary=()

# --- import overhead ---------------------------------------------------------
section "Import overhead: quorvane-cli against a bare ODBC loop sending the same statements"
overhead_file=$scratch/overhead.csv
"$generate" "$overhead_file" "$overhead_rows" 8
statements=$scratch/overhead.sql
"$cli" --print-sql --create 'bench[counter]' "$overhead_file" >"$statements" 2>"$scratch/print-sql.log"
echo "file: $overhead_rows data lines of 8 fields, $(stat -c %s "$overhead_file") bytes;" \
  "statements from --print-sql: $(wc -l <"$statements") lines, $(stat -c %s "$statements") bytes"
echo "MariaDB runs with innodb_flush_log_at_trx_commit=2 (log written at every commit, flushed to disk once a second)"
echo "each run: a fresh table bench1; wall time of the whole process; $repetitions run(s) each, alternating which goes first"

sqlite_db=$scratch/overhead.sqlite
new_sqlite "$sqlite_db"

overhead_target() {  # NAME ODBCSYSINI SERVER PORT DATABASE USER COUNT_FN DROP_FN
  local name=$1 drivers=$2 server=$3 port=$4 database=$5 user=$6 count_rows=$7 drop_table=$8
  local connection="Driver={IBM DB2 ODBC DRIVER};Database=$database;Hostname=$server;Port=$port;Protocol=TCPIP;Uid=$user;Pwd=$QUORVANE_PASSWORD;"
  # Untimed warm-up: the first table of a fresh database costs more.
  head -n 2001 "$statements" >"$scratch/warm-up.sql"
  BARE_ODBC_CONNECTION=$connection ODBCSYSINI=$drivers "$bare" "$scratch/warm-up.sql" >/dev/null 2>&1 || true
  $drop_table
  local bare_times=() cli_times=() bare_cpu=() cli_cpu=() rep start elapsed order program
  # Processor time (user + system) of the process: the client side alone
  # with MariaDB, client and database engine together with SQLite.
  local cpu_time=(/usr/bin/time -f '%U %S' -o "$scratch/cpu.txt")
  cpu_seconds() { awk '{ printf "%.2f", $1 + $2 }' "$scratch/cpu.txt"; }
  for rep in $(seq 1 "$repetitions"); do
    order="bare cli"
    ((rep % 2 == 0)) && order="cli bare"
    for program in $order; do
      start=$EPOCHREALTIME
      if [[ $program == bare ]]; then
        BARE_ODBC_CONNECTION=$connection ODBCSYSINI=$drivers "${cpu_time[@]}" "$bare" "$statements" \
          >"$scratch/bare.log" 2>&1 || { echo "bare loop failed:"; cat "$scratch/bare.log"; }
        elapsed=$(seconds_since "$start")
        bare_times+=("$elapsed")
        bare_cpu+=("$(cpu_seconds)")
      else
        ODBCSYSINI=$drivers "${cpu_time[@]}" "$cli" --server "$server" --port "$port" --database "$database" \
          --user "$user" --create 'bench[counter]' "$overhead_file" \
          >"$scratch/cli.log" 2>&1 || { echo "quorvane-cli exited $?:"; cat "$scratch/cli.log"; }
        elapsed=$(seconds_since "$start")
        cli_times+=("$elapsed")
        cli_cpu+=("$(cpu_seconds)")
      fi
      echo "  $name run $rep, $program: $elapsed s, processor $(cpu_seconds) s, rows in table: $($count_rows)"
      $drop_table
    done
  done
  # The machine is shared: other work only ever adds time, so the best run of
  # each is the figure; the means show how much the runs spread.
  local bare_best cli_best r
  bare_best=$(best "${bare_times[@]}")
  cli_best=$(best "${cli_times[@]}")
  r=$(ratio "$cli_best" "$bare_best")
  echo "$name wall time, best of $repetitions: bare loop $bare_best s, quorvane-cli $cli_best s" \
    "($(awk -v n="$overhead_rows" -v t="$cli_best" 'BEGIN { printf "%.0f", n / t }') rows/s);" \
    "ratio $r; target <= 1.05: $(awk -v r="$r" 'BEGIN { print (r <= 1.05 ? "met" : "missed") }')"
  echo "$name wall time, means: bare loop $(mean "${bare_times[@]}") s, quorvane-cli $(mean "${cli_times[@]}") s;" \
    "ratio $(ratio "$(mean "${cli_times[@]}")" "$(mean "${bare_times[@]}")")"
  echo "$name processor time, means: bare loop $(mean "${bare_cpu[@]}") s, quorvane-cli $(mean "${cli_cpu[@]}") s;" \
    "ratio $(ratio "$(mean "${cli_cpu[@]}")" "$(mean "${bare_cpu[@]}")")"
  summary+=("import overhead, $name: wall-time ratio $r, best of $repetitions (target <= 1.05)")
}
sqlite_count() { sqlite3 "$sqlite_db" 'SELECT COUNT(*) FROM "bench1"' 2>/dev/null || echo none; }
sqlite_drop() { sqlite3 "$sqlite_db" 'DROP TABLE IF EXISTS "bench1"'; }
mariadb_count() { mariadb_sql 'SELECT COUNT(*) FROM bench1' 2>/dev/null || echo none; }
mariadb_drop() { mariadb_sql 'DROP TABLE IF EXISTS bench1'; }
overhead_target "SQLite (WAL)" "$scratch/odbc-sqlite" localhost 0 "$sqlite_db" bench sqlite_count sqlite_drop
overhead_target "MariaDB" "$scratch/odbc-mariadb" 127.0.0.1 "$mariadb_port" quorvane_bench bench \
  mariadb_count mariadb_drop
rm -f "$sqlite_db"*

# --- memory --------------------------------------------------------------------
section "Memory: peak resident size of quorvane-cli importing a generated file into SQLite (WAL)"
memory_rows=$((memory_bytes / memory_line_bytes))
memory_file=$scratch/memory.csv
start=$EPOCHREALTIME
"$generate" "$memory_file" "$memory_rows" 8 "$memory_line_bytes"
echo "file: $memory_rows data lines of about $memory_line_bytes bytes, 8 fields," \
  "$(stat -c %s "$memory_file") bytes, generated in $(seconds_since "$start") s"
memory_db=$scratch/memory.sqlite
new_sqlite "$memory_db"
set +e
ODBCSYSINI=$scratch/odbc-sqlite /usr/bin/time -v -o "$scratch/memory.time" "$cli" --server localhost \
  --port 0 --database "$memory_db" --user bench --create 'memory[counter]' "$memory_file" \
  >"$scratch/memory.log" 2>&1
status=$?
set -e
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$scratch/memory.time")
echo "quorvane-cli exit $status, wall time $(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$scratch/memory.time")," \
  "rows in table: $(sqlite3 "$memory_db" 'SELECT COUNT(*) FROM "memory1"' 2>/dev/null || echo none)"
((status == 0)) || cat "$scratch/memory.log"
peak_mb=$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')
echo "peak resident (time -v, maximum resident set size): $peak_mb MB; target < 100 MB: $(verdict "$peak_mb" 100)"
summary+=("memory, $(awk -v b="$(stat -c %s "$memory_file")" 'BEGIN { printf "%.2f GB", b / 1073741824 }') file: peak $peak_mb MB (target < 100 MB)")
rm -f "$memory_file" "$memory_db"*

# --- responsiveness ------------------------------------------------------------
section "Responsiveness: longest time without event handling during an import in the window (offscreen)"
ui_db=$scratch/ui.sqlite
new_sqlite "$ui_db"
ODBCSYSINI=$scratch/odbc-sqlite QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$scratch/ui-config \
  "$build_dir/bench/ui_bench_responsiveness" "$overhead_file" "$ui_db" | tee "$scratch/ui.out" || noted_exit
summary+=("responsiveness: $(sed -n 's/^target: .*-> //p' "$scratch/ui.out") (target < 50 ms)")
rm -f "$ui_db"*

# --- the readers' streaming memory ---------------------------------------------
section "Streaming memory of the readers (bench_streaming_memory)"
"$build_dir/bench/bench_streaming_memory" "$streaming_gb" "$scratch" | tee "$scratch/streaming.out" || noted_exit
summary+=("readers' streaming memory: $(sed -n 's/^target: .*-> //p' "$scratch/streaming.out") (target < 100 MB)")
section "Streaming memory of the readers with quoted fields (bench_streaming_memory --quoted)"
"$build_dir/bench/bench_streaming_memory" "$streaming_gb" "$scratch" --quoted | tee "$scratch/streaming-quoted.out" || noted_exit
summary+=("readers' streaming memory, quoted fields: $(sed -n 's/^target: .*-> //p' "$scratch/streaming-quoted.out") (target < 100 MB)")

# --- folder scan -------------------------------------------------------------------
if [[ -x $build_dir/bench/bench_folder_scan ]]; then
  section "Folder scan against find (bench_folder_scan)"
  if [[ $quick == 1 ]]; then
    "$build_dir/bench/bench_folder_scan" 500 10 || noted_exit
  else
    "$build_dir/bench/bench_folder_scan" || noted_exit
  fi
  summary+=("folder scan: see its section above")
fi

section "Summary  $(date '+%Y-%m-%d %H:%M:%S %Z')"
printf '%s\n' "${summary[@]}"
