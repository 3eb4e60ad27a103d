#!/usr/bin/env bash
# Builds the Release benchmarks and runs them all once, printing every figure
# with the date and the machine. None of this is a test: nothing here fails
# on a timing, and CI does not run it.
#
#   bench/run.sh            full sizes (about 15 minutes)
#   bench/run.sh --quick    small sizes, a smoke run of a minute or two
#                           (or QUORVANE_BENCH_QUICK=1)
#   bench/run.sh --only fast,responsiveness
#                           only the sections named (comma-separated), of:
#                           overhead fast types pile memory responsiveness streaming preview scan
#
# BUILD_DIR (default build/bench) is the build folder; SCRATCH_PARENT (default
# /tmp) holds the generated files, the databases and the settings, all
# deleted at the end.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo/build/bench}
quick=${QUORVANE_BENCH_QUICK:-0}
all_sections=(overhead fast types pile memory responsiveness streaming preview scan)
only=
while (($#)); do
  case $1 in
    --quick) quick=1 ;;
    --only) only=${2:?--only needs a list of sections}; shift ;;
    --only=*) only=${1#--only=} ;;
    *) echo "usage: $0 [--quick] [--only SECTION,...]   sections: ${all_sections[*]}" >&2; exit 2 ;;
  esac
  shift
done
for name in ${only//,/ }; do
  [[ " ${all_sections[*]} " == *" $name "* ]] ||
    { echo "unknown section $name; sections: ${all_sections[*]}" >&2; exit 2; }
done
wants() { [[ -z $only || ",$only," == *",$1,"* ]]; }

if [[ $quick == 1 ]]; then
  overhead_rows=20000 repetitions=1 memory_bytes=$((64 << 20)) streaming_gb=0.05 pile_counts=(100 200)
else
  overhead_rows=200000 repetitions=3 memory_bytes=$((1 << 30)) streaming_gb=1.0 pile_counts=(1000 2000)
fi
pile_lines=20
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
at_most() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t ? "met" : "missed") }'; }
at_least() { awk -v v="$1" -v t="$2" 'BEGIN { print (v >= t ? "met" : "missed") }'; }

# --- build -------------------------------------------------------------------
"$repo/scripts/install-deps.sh"
targets=(quorvane-cli generate_delimited_file bare_insert_loop ui_bench_responsiveness
         bench_streaming_memory bench_preview)
[[ -f $repo/bench/bench_folder_scan.cpp ]] && targets+=(bench_folder_scan)
echo "Building ${targets[*]} in $build_dir ..."
mkdir -p "$build_dir"
cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BUILD_TESTS=OFF \
  >"$build_dir/run-cmake.log" 2>&1 || { cat "$build_dir/run-cmake.log"; exit 1; }
ninja -C "$build_dir" -j"${BUILD_JOBS:-2}" "${targets[@]}" >"$build_dir/run-ninja.log" 2>&1 ||
  { tail -n 40 "$build_dir/run-ninja.log"; exit 1; }
# QUORVANE_CLI: another build of quorvane-cli to measure (an older one, say).
cli=${QUORVANE_CLI:-$build_dir/src/cli/quorvane-cli}
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
mariadb_sql() { mariadb --no-defaults --socket="$mariadb_dir/mysqld.sock" -uroot -N -B quorvane_bench -e "$1"; }
if wants overhead || wants fast || wants types || wants pile || wants responsiveness; then
  mariadb_port=$(free_port)
  "$repo/scripts/mariadb-server.sh" start "$mariadb_dir" "$mariadb_port" quorvane_bench bench "$QUORVANE_PASSWORD"
  # Each autocommit INSERT would otherwise wait for a flush of the redo log to
  # disk (about 2.4 ms on this kind of machine, 200,000 of them per run); that
  # wait is the same for both programs and would hide the client side, which is
  # what is compared. The log is still written at every commit.
  mariadb_sql 'SET GLOBAL innodb_flush_log_at_trx_commit = 2'
  # The mariadb client of the bulk loader logs in as quorvane-cli does (the
  # same user, over TCP); the password stays out of its arguments.
  printf '[client]\nuser=bench\npassword=%s\nhost=127.0.0.1\nport=%s\n' "$QUORVANE_PASSWORD" "$mariadb_port" \
    >"$scratch/mariadb-client.cnf"
  chmod 600 "$scratch/mariadb-client.cnf"
fi

# --- machine ---------------------------------------------------------------------
section "Quorvane benchmarks  $(date '+%Y-%m-%d %H:%M:%S %Z')"
echo "mode: $([[ $quick == 1 ]] && echo quick || echo full)  commit: $(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo "machine: $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -m), kernel $(uname -r)"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores available"
echo "memory: $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo); load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "drivers: SQLite $(dpkg-query -W -f='${Version}' libsqliteodbc 2>/dev/null), MariaDB ODBC $(dpkg-query -W -f='${Version}' odbc-mariadb 2>/dev/null), server $(mariadbd --version | awk '{ print $3 }'), unixODBC $(dpkg-query -W -f='${Version}' unixodbc 2>/dev/null)"
echo "clients: sqlite3 $(sqlite3 --version | awk '{ print $1 }'), mariadb $(mariadb --version | sed -n 's/.*Distrib \([^,]*\),.*/\1/p')"
echo "sections: ${only:-all}"

summary=()
# quorvane-cli has fast load when its help lists --fast.
fast_available=0
"$cli" --help 2>/dev/null | grep -q -- '--fast' && fast_available=1
fast_batch=${FAST_BATCH_SIZE:-1000}
fast_missing="skipped: quorvane-cli --help lists no --fast (this build has no fast load)"

# The file of the import sections: $overhead_rows data lines of 8 fields.
overhead_file=$scratch/overhead.csv
if wants overhead || wants fast || wants types || wants responsiveness; then
  "$generate" "$overhead_file" "$overhead_rows" 8
fi

# --- import overhead ---------------------------------------------------------
if wants overhead; then
section "Import overhead: quorvane-cli against a bare ODBC loop sending the same statements"
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
fi

# --- fast load -------------------------------------------------------------------
if wants fast; then
section "Fast load: quorvane-cli row by row and --fast against the database's own bulk loader"
echo "file: $overhead_rows data lines of 8 fields, $(stat -c %s "$overhead_file") bytes, CR LF line ends, a header line"
echo "each run: a fresh table fast1; wall time of the whole process; $repetitions run(s) each, alternating the order"
echo "quorvane-cli: --create 'fast[counter]'; fast mode adds --fast --batch-size $fast_batch"
# The loaders fill a table made by the statement quorvane-cli itself sends,
# so that all three fill tables of the same shape.
head -n 2 "$overhead_file" >"$scratch/fast-shape.csv"
fast_create=$("$cli" --print-sql --create 'fast[counter]' "$scratch/fast-shape.csv" 2>/dev/null | head -n 1)
fast_create=${fast_create%;}
echo "loaders' table: $fast_create"
fast_columns=$(head -n 1 "$overhead_file" | tr -d '\r' | tr ',' '\n' | sed 's/.*/"&"/' | paste -sd,)
if [[ $fast_available == 1 ]]; then
  fast_programs=(row fast loader)
else
  fast_programs=(row loader)
  echo "fast mode: $fast_missing; row mode and the loader still run"
fi

# NAME ODBCSYSINI SERVER PORT DATABASE COUNT_FN DROP_FN LOADER_FN LOADER_NAME FAST/LOADER_TARGET
# ROW/FAST_TARGET (empty: none)
fast_target() {
  local name=$1 drivers=$2 server=$3 port=$4 database=$5 count_rows=$6 drop_table=$7 loader=$8 loader_name=$9
  local fast_loader_target=${10} row_fast_target=${11}
  local -A times=()
  local rep program start elapsed order
  # Untimed warm-up: the first table of a fresh database costs more.
  head -n 2001 "$overhead_file" >"$scratch/fast-warm-up.csv"
  $drop_table
  ODBCSYSINI=$drivers "$cli" --server "$server" --port "$port" --database "$database" --user bench \
    --create 'fast[counter]' "$scratch/fast-warm-up.csv" >/dev/null 2>&1 || true
  $drop_table
  for rep in $(seq 1 "$repetitions"); do
    order=("${fast_programs[@]}")
    ((rep % 2 == 0)) && mapfile -t order < <(printf '%s\n' "${fast_programs[@]}" | tac)
    for program in "${order[@]}"; do
      start=$EPOCHREALTIME
      case $program in
        row | fast)
          local mode_options=()
          [[ $program == fast ]] && mode_options=(--fast --batch-size "$fast_batch")
          ODBCSYSINI=$drivers "$cli" --server "$server" --port "$port" --database "$database" --user bench \
            "${mode_options[@]}" --create 'fast[counter]' "$overhead_file" >"$scratch/fast-cli.log" 2>&1 ||
            { echo "quorvane-cli exited $?:"; tail -n 20 "$scratch/fast-cli.log"; }
          ;;
        loader)
          $loader >"$scratch/fast-loader.log" 2>&1 || { echo "$loader_name exited $?:"; tail -n 20 "$scratch/fast-loader.log"; }
          ;;
      esac
      elapsed=$(seconds_since "$start")
      times[$program]+="$elapsed "
      echo "  $name run $rep, $program: $elapsed s, $($count_rows)"
      $drop_table
    done
  done
  local row_best fast_best loader_best
  row_best=$(best ${times[row]})
  loader_best=$(best ${times[loader]})
  echo "$name wall time, best of $repetitions: row by row $row_best s, $loader_name $loader_best s" \
    "(row / $loader_name $(ratio "$row_best" "$loader_best"))"
  if [[ $fast_available != 1 ]]; then
    echo "$name fast mode: $fast_missing"
    summary+=("fast load, $name: $fast_missing")
    return
  fi
  fast_best=$(best ${times[fast]})
  echo "$name fast mode, best of $repetitions: $fast_best s" \
    "($(awk -v n="$overhead_rows" -v t="$fast_best" 'BEGIN { printf "%.0f", n / t }') rows/s)"
  local fast_ratio row_ratio
  fast_ratio=$(ratio "$fast_best" "$loader_best")
  row_ratio=$(ratio "$row_best" "$fast_best")
  echo "$name fast / $loader_name: $fast_ratio; target <= $fast_loader_target: $(at_most "$fast_ratio" "$fast_loader_target")"
  summary+=("fast load, $name: fast / $loader_name $fast_ratio (target <= $fast_loader_target): $(at_most "$fast_ratio" "$fast_loader_target")")
  if [[ -n $row_fast_target ]]; then
    echo "$name row / fast: $row_ratio; target >= $row_fast_target: $(at_least "$row_ratio" "$row_fast_target")"
    summary+=("fast load, $name: row / fast $row_ratio (target >= $row_fast_target): $(at_least "$row_ratio" "$row_fast_target")")
  else
    echo "$name row / fast: $row_ratio (no target)"
  fi
}
# Rows and characters in the table: the same figures from every program
# show that they loaded the same values.
fast_sum_sql() { printf '%s' "$fast_columns" | sed "s/\"[^\"]*\"/$1(&)/g; s/,/ + /g"; }
fast_sqlite_db=$scratch/fast.sqlite
new_sqlite "$fast_sqlite_db"
fast_sqlite_count() {
  sqlite3 "$fast_sqlite_db" "SELECT 'rows in table: ' || COUNT(*) || ', characters: ' || SUM($(fast_sum_sql length)) FROM \"fast1\"" \
    2>/dev/null || echo "rows in table: none"
}
fast_sqlite_drop() { sqlite3 "$fast_sqlite_db" 'DROP TABLE IF EXISTS "fast1"'; }
# The shell's CSV reader takes CR LF line ends; the generated file has no
# double quotes, so CSV reads it as quorvane-cli does.
fast_sqlite_import() {
  sqlite3 -bail "$fast_sqlite_db" "$fast_create" ".import --csv --skip 1 '$overhead_file' fast1"
}
fast_mariadb_count() {
  mariadb_sql "SELECT CONCAT('rows in table: ', COUNT(*), ', characters: ', SUM($(fast_sum_sql CHAR_LENGTH))) FROM fast1" \
    2>/dev/null || echo "rows in table: none"
}
fast_mariadb_drop() { mariadb_sql 'DROP TABLE IF EXISTS fast1'; }
# The server runs with NO_BACKSLASH_ESCAPES: the line end is given in hex,
# and no escape character is taken, as quorvane-cli takes none.
fast_mariadb_load() {
  mariadb --defaults-file="$scratch/mariadb-client.cnf" --local-infile=1 quorvane_bench -e "$fast_create;
    LOAD DATA LOCAL INFILE '$overhead_file' INTO TABLE fast1 CHARACTER SET utf8mb4
    FIELDS TERMINATED BY ',' ESCAPED BY '' LINES TERMINATED BY X'0D0A' IGNORE 1 LINES"
}
fast_target "SQLite (WAL)" "$scratch/odbc-sqlite" localhost 0 "$fast_sqlite_db" fast_sqlite_count \
  fast_sqlite_drop fast_sqlite_import "sqlite3 .import" 3 ""
rm -f "$fast_sqlite_db"*
fast_target "MariaDB" "$scratch/odbc-mariadb" 127.0.0.1 "$mariadb_port" quorvane_bench fast_mariadb_count \
  fast_mariadb_drop fast_mariadb_load "LOAD DATA LOCAL INFILE" 1.5 15
fi

# --- detected column types ---------------------------------------------------------
if wants types; then
section "Detected column types: what detection adds to a fast load into MariaDB and to the field-count pass"
if [[ $fast_available != 1 ]]; then
  echo "$fast_missing"
  summary+=("detected types: $fast_missing")
else
echo "file: $overhead_rows data lines of 8 fields (the fast-load file); --types text against --types detected," \
  "$repetitions run(s) each, alternating which goes first"
# The field-count pass alone: the same file with a last line of two fields,
# so the run stops at the pass's report and sends nothing.
pass_file=$scratch/types-pass.csv
{ cat "$overhead_file"; printf 'a,b\r\n'; } >"$pass_file"
types_drop() { mariadb_sql 'DROP TABLE IF EXISTS types1'; }
types_count() { mariadb_sql 'SELECT COUNT(*) FROM types1' 2>/dev/null || echo none; }
declare -A types_times=() types_cpu=()
# Processor time (user + system) of quorvane-cli: on a shared machine the
# wall time mostly says how long the process waited for a core.
types_timed=(/usr/bin/time -f '%U %S' -o "$scratch/types-cpu.txt")
types_cpu_seconds() { tail -n 1 "$scratch/types-cpu.txt" | awk '{ printf "%.2f", $1 + $2 }'; }
# Untimed warm-up: the first table of a fresh database costs more.
head -n 2001 "$overhead_file" >"$scratch/types-warm-up.csv"
ODBCSYSINI=$scratch/odbc-mariadb "$cli" --server 127.0.0.1 --port "$mariadb_port" --database quorvane_bench \
  --user bench --fast --types detected --create 'types[counter]' "$scratch/types-warm-up.csv" >/dev/null 2>&1 || true
types_drop
for rep in $(seq 1 "$repetitions"); do
  order=(text detected)
  ((rep % 2 == 0)) && order=(detected text)
  for types in "${order[@]}"; do
    start=$EPOCHREALTIME
    ODBCSYSINI=$scratch/odbc-mariadb "${types_timed[@]}" "$cli" --server 127.0.0.1 --port "$mariadb_port" \
      --database quorvane_bench --user bench --fast --batch-size "$fast_batch" --types "$types" \
      --create 'types[counter]' "$overhead_file" >"$scratch/types.log" 2>&1 ||
      { echo "quorvane-cli exited $?:"; tail -n 20 "$scratch/types.log"; }
    elapsed=$(seconds_since "$start")
    types_times[load-$types]+="$elapsed "
    types_cpu[load-$types]+="$(types_cpu_seconds) "
    echo "  fast load run $rep, --types $types: $elapsed s, processor $(types_cpu_seconds) s, rows in table: $(types_count)"
    types_drop
    start=$EPOCHREALTIME
    "${types_timed[@]}" "$cli" --print-sql --types "$types" --create 'types[counter]' "$pass_file" \
      >/dev/null 2>&1 || true
    elapsed=$(seconds_since "$start")
    types_times[pass-$types]+="$elapsed "
    types_cpu[pass-$types]+="$(types_cpu_seconds) "
    echo "  field-count pass alone run $rep, --types $types: $elapsed s, processor $(types_cpu_seconds) s"
  done
done
types_create=$("$cli" --print-sql --types detected --create 'types[counter]' "$overhead_file" 2>/dev/null | head -n 1 || true)
echo "detected table: $types_create"
for part in load pass; do
  text_best=$(best ${types_times[$part-text]})
  detected_best=$(best ${types_times[$part-detected]})
  r=$(ratio "$detected_best" "$text_best")
  text_cpu=$(best ${types_cpu[$part-text]})
  detected_cpu=$(best ${types_cpu[$part-detected]})
  label=$([[ $part == load ]] && echo "fast load into MariaDB" || echo "field-count pass alone")
  if [[ $part == load ]]; then
    echo "$label, best of $repetitions: text $text_best s, detected $detected_best s; detected / text $r;" \
      "target <= 1.10: $(at_most "$r" 1.10)"
    summary+=("detected types, $label: detected / text $r (target <= 1.10): $(at_most "$r" 1.10)")
  else
    echo "$label, best of $repetitions: text $text_best s, detected $detected_best s; detected / text $r (no target)"
    summary+=("detected types, $label: detected / text $r (no target)")
  fi
  echo "$label, processor time, best of $repetitions: text $text_cpu s, detected $detected_cpu s;" \
    "added by detection $(awk -v a="$detected_cpu" -v b="$text_cpu" 'BEGIN { printf "%.2f", a - b }') s"
done
fi
fi

# --- a pile of small files ---------------------------------------------------------
if wants pile; then
section "A pile of small files: quorvane-cli against one loader session doing CREATE TABLE + load for each"
# FOLDER COUNT: COUNT files of $pile_lines data lines of 3 fields, named so
# that every listing order is the same.
pile_make() {
  mkdir -p "$1"
  awk -v dir="$1" -v n="$2" -v lines="$pile_lines" 'BEGIN {
    for (f = 1; f <= n; f++) {
      path = sprintf("%s/pile%05d.txt", dir, f)
      print "Code,Amount,Note" > path
      for (l = 1; l <= lines; l++)
        printf "F%d-L%d,%d.%02d,line %d of file %d\n", f, l, f * l, l % 100, l, f > path
      close(path)
    }
  }'
}
pile_folder() { echo "$scratch/pile-$1"; }
for count in "${pile_counts[@]}"; do pile_make "$(pile_folder "$count")" "$count"; done
# The loaders fill tables made by the very statement quorvane-cli sends.
pile_create=$("$cli" --print-sql --create 'P[counter]' "$(pile_folder "${pile_counts[0]}")/pile00001.txt" \
  2>/dev/null | head -n 1)
pile_create=${pile_create%;}
echo "files: ${pile_counts[*]} files of $pile_lines data lines, 3 fields, LF line ends, a header line"
echo "quorvane-cli: --create 'P[counter]' FOLDER, row by row and with --fast (batch size $fast_batch);" \
  "each run into a fresh database; $repetitions run(s) each, alternating the order"
echo "loaders' tables: $pile_create (P1 .. Pn)"
# Each loader reads one script: CREATE TABLE and the load, for every file.
# FOLDER COUNT KIND(mariadb|sqlite)
pile_script() {
  local folder=$1 count=$2 kind=$3 i path
  for ((i = 1; i <= count; i++)); do
    path=$(printf '%s/pile%05d.txt' "$folder" "$i")
    printf '%s;\n' "${pile_create/\"P1\"/\"P$i\"}"
    if [[ $kind == mariadb ]]; then
      printf "LOAD DATA LOCAL INFILE '%s' INTO TABLE \"P%d\" CHARACTER SET utf8mb4 FIELDS TERMINATED BY ','" "$path" "$i"
      printf " ESCAPED BY '' LINES TERMINATED BY X'0A' IGNORE 1 LINES;\n"
    else
      printf ".import --csv --skip 1 '%s' P%d\n" "$path" "$i"
    fi
  done
}

# NAME ODBCSYSINI SERVER PORT KIND FRESH_FN TALLY_FN LOADER_FN LOADER_NAME FAST/LOADER_TARGET
pile_target() {
  local name=$1 drivers=$2 server=$3 port=$4 kind=$5 fresh=$6 tally=$7 loader=$8 loader_name=$9 target=${10}
  local -A times=()
  local programs=(row loader) count rep program order start elapsed
  [[ $fast_available == 1 ]] && programs=(row fast loader)
  for count in "${pile_counts[@]}"; do
    pile_script "$(pile_folder "$count")" "$count" "$kind" >"$scratch/pile-$kind-$count.sql"
    # Untimed warm-up: the first tables of a fresh database cost more.
    $fresh
    ODBCSYSINI=$drivers "$cli" --server "$server" --port "$port" --database "$pile_database" --user bench \
      --create 'P[counter]' "$(pile_folder "${pile_counts[0]}")/pile00001.txt" >/dev/null 2>&1 || true
    for rep in $(seq 1 "$repetitions"); do
      order=("${programs[@]}")
      ((rep % 2 == 0)) && mapfile -t order < <(printf '%s\n' "${programs[@]}" | tac)
      for program in "${order[@]}"; do
        $fresh
        start=$EPOCHREALTIME
        case $program in
          row | fast)
            local mode_options=()
            [[ $program == fast ]] && mode_options=(--fast --batch-size "$fast_batch")
            ODBCSYSINI=$drivers "$cli" --server "$server" --port "$port" --database "$pile_database" --user bench \
              "${mode_options[@]}" --create 'P[counter]' "$(pile_folder "$count")" >"$scratch/pile-cli.log" 2>&1 ||
              { echo "quorvane-cli exited $?:"; tail -n 20 "$scratch/pile-cli.log"; }
            ;;
          loader)
            $loader "$scratch/pile-$kind-$count.sql" >"$scratch/pile-loader.log" 2>&1 ||
              { echo "$loader_name exited $?:"; tail -n 20 "$scratch/pile-loader.log"; }
            ;;
        esac
        elapsed=$(seconds_since "$start")
        times[$program-$count]+="$elapsed "
        echo "  $name, $count files, run $rep, $program: $elapsed s" \
          "($(awk -v t="$elapsed" -v n="$count" 'BEGIN { printf "%.2f", 1000 * t / n }') ms per file), $($tally "$count")"
      done
    done
  done
  local small=${pile_counts[0]} large=${pile_counts[1]} best_small best_large growth
  for program in "${programs[@]}"; do
    best_small=$(best ${times[$program-$small]})
    best_large=$(best ${times[$program-$large]})
    growth=$(ratio "$best_large" "$best_small")
    echo "$name $program, best of $repetitions: $small files $best_small s," \
      "$(awk -v t="$best_small" -v n="$small" 'BEGIN { printf "%.2f", 1000 * t / n }') ms per file;" \
      "$large files $best_large s, $(awk -v t="$best_large" -v n="$large" 'BEGIN { printf "%.2f", 1000 * t / n }') ms per file;" \
      "$large / $small files: $growth$([[ $program != loader ]] && echo "; target <= 2.2: $(at_most "$growth" 2.2)")"
    [[ $program != loader ]] &&
      summary+=("pile, $name, $program: $large / $small files $growth (target <= 2.2): $(at_most "$growth" 2.2)")
  done
  local loader_best ratio_fast
  loader_best=$(best ${times[loader-$small]})
  echo "$name row / $loader_name, $small files: $(ratio "$(best ${times[row-$small]})" "$loader_best") (no target)"
  if [[ $fast_available != 1 ]]; then
    summary+=("pile, $name: $fast_missing")
    return
  fi
  ratio_fast=$(ratio "$(best ${times[fast-$small]})" "$loader_best")
  echo "$name fast / $loader_name, $small files: $ratio_fast; target <= $target: $(at_most "$ratio_fast" "$target")"
  summary+=("pile, $name: fast / $loader_name, $small files $ratio_fast (target <= $target): $(at_most "$ratio_fast" "$target")")
}

pile_sqlite_db=$scratch/pile.sqlite
pile_sqlite_fresh() { rm -f "$pile_sqlite_db"*; new_sqlite "$pile_sqlite_db"; pile_database=$pile_sqlite_db; }
pile_sqlite_tally() {
  sqlite3 "$pile_sqlite_db" "SELECT 'tables: ' || (SELECT COUNT(*) FROM sqlite_master WHERE type = 'table') ||
    ', rows in P1 and P$1: ' || (SELECT COUNT(*) FROM \"P1\") || ' and ' || (SELECT COUNT(*) FROM \"P$1\")" \
    2>/dev/null || echo "tables: not all there"
}
# Commits through the ODBC driver do not wait for the disk (WAL, synchronous
# NORMAL: no fdatasync per commit under strace); the shell is set alike.
pile_sqlite_load() { sqlite3 -bail -cmd 'PRAGMA synchronous=NORMAL' "$pile_sqlite_db" <"$1"; }
pile_mariadb_fresh() {
  mariadb_sql 'DROP DATABASE IF EXISTS quorvane_pile; CREATE DATABASE quorvane_pile'
  pile_database=quorvane_pile
}
pile_mariadb_tally() {
  mariadb --no-defaults --socket="$mariadb_dir/mysqld.sock" -uroot -N -B quorvane_pile -e "SELECT CONCAT('tables: ',
    (SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'quorvane_pile'),
    ', rows in P1 and P$1: ', (SELECT COUNT(*) FROM P1), ' and ', (SELECT COUNT(*) FROM P$1))" \
    2>/dev/null || echo "tables: not all there"
}
pile_mariadb_load() {
  mariadb --defaults-file="$scratch/mariadb-client.cnf" --local-infile=1 quorvane_pile <"$1"
}
pile_target "SQLite (WAL)" "$scratch/odbc-sqlite" localhost 0 sqlite pile_sqlite_fresh pile_sqlite_tally \
  pile_sqlite_load "sqlite3 .import" 2.5
rm -f "$pile_sqlite_db"*
pile_target "MariaDB" "$scratch/odbc-mariadb" 127.0.0.1 "$mariadb_port" mariadb pile_mariadb_fresh \
  pile_mariadb_tally pile_mariadb_load "LOAD DATA LOCAL INFILE" 1.2
mariadb_sql 'DROP DATABASE IF EXISTS quorvane_pile'
rm -rf "$scratch"/pile-*
fi

# --- memory --------------------------------------------------------------------
if wants memory; then
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
fi

# --- responsiveness ------------------------------------------------------------
if wants responsiveness; then
section "Responsiveness: longest time without event handling during an import in the window (offscreen)"
echo "cases: row by row and fast load into SQLite (WAL); both again into MariaDB while a second session" \
  "holds LOCK TABLES ... WRITE on the table for 2 s once the first rows are in, so that one statement waits 2 s"
ui_case() {  # LABEL NAME ODBCSYSINI BENCH_ARGUMENTS...
  local label=$1 name=$2 drivers=$3 status=0
  shift 3
  printf '\n-- %s\n' "$label"
  ODBCSYSINI=$drivers QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$scratch/ui-config-$name \
    "$build_dir/bench/ui_bench_responsiveness" "$@" | tee "$scratch/ui-$name.out" || status=$?
  local figure
  case $status in
    0)
      figure="$(sed -n 's/^target: .*-> //p' "$scratch/ui-$name.out") (target < 50 ms)"
      grep -q '^longest interval while the lock' "$scratch/ui-$name.out" &&
        figure+="; while the lock was held: $(sed -n 's/^longest interval while the lock was held: //p' "$scratch/ui-$name.out")"
      summary+=("responsiveness, $label: $figure") ;;
    3) summary+=("responsiveness, $label: $(grep -m 1 '^skipped: ' "$scratch/ui-$name.out")") ;;
    *) echo "(exit status $status)"; summary+=("responsiveness, $label: exit status $status") ;;
  esac
}
ui_skip() { printf '\n-- %s\n%s\n' "$1" "$fast_missing"; summary+=("responsiveness, $1: $fast_missing"); }
for mode in row fast; do
  label="$([[ $mode == row ]] && echo "row by row" || echo "fast load"), SQLite (WAL)"
  if [[ $mode == fast && $fast_available != 1 ]]; then ui_skip "$label"; continue; fi
  ui_db=$scratch/ui-$mode.sqlite
  new_sqlite "$ui_db"
  ui_mode=()
  [[ $mode == fast ]] && ui_mode=(--fast)
  ui_case "$label" "sqlite-$mode" "$scratch/odbc-sqlite" "${ui_mode[@]}" "$overhead_file" "$ui_db"
  rm -f "$ui_db"*
done
for mode in row fast; do
  label="$([[ $mode == row ]] && echo "row by row" || echo "fast load"), MariaDB, a statement waiting 2 s on a lock"
  if [[ $mode == fast && $fast_available != 1 ]]; then ui_skip "$label"; continue; fi
  ui_mode=()
  [[ $mode == fast ]] && ui_mode=(--fast)
  ui_case "$label" "mariadb-$mode" "$scratch/odbc-mariadb" "${ui_mode[@]}" --mariadb "127.0.0.1:$mariadb_port" \
    --lock-seconds 2 "$overhead_file" quorvane_bench
done
fi

# --- the readers' streaming memory ---------------------------------------------
if wants streaming; then
section "Streaming memory of the readers (bench_streaming_memory)"
"$build_dir/bench/bench_streaming_memory" "$streaming_gb" "$scratch" | tee "$scratch/streaming.out" || noted_exit
summary+=("readers' streaming memory: $(sed -n 's/^target: .*-> //p' "$scratch/streaming.out") (target < 100 MB)")
section "Streaming memory of the readers with quoted fields (bench_streaming_memory --quoted)"
"$build_dir/bench/bench_streaming_memory" "$streaming_gb" "$scratch" --quoted | tee "$scratch/streaming-quoted.out" || noted_exit
summary+=("readers' streaming memory, quoted fields: $(sed -n 's/^target: .*-> //p' "$scratch/streaming-quoted.out") (target < 100 MB)")
fi

# --- the preview of a large file --------------------------------------------------
if wants preview; then
section "Preview of a large file (bench_preview)"
"$build_dir/bench/bench_preview" "$streaming_gb" "$scratch" | tee "$scratch/preview.out" || noted_exit
summary+=("preview, first 1,000 records: $(sed -n 's/^target: first .*-> //p' "$scratch/preview.out") (target < 300 ms)")
summary+=("preview, peak resident: $(sed -n 's/^target: peak .*-> //p' "$scratch/preview.out") (target < 100 MB)")
fi

# --- folder scan -------------------------------------------------------------------
if wants scan && [[ -x $build_dir/bench/bench_folder_scan ]]; then
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
