#!/usr/bin/env bash
# The dialect check: runs the statements `quorvane-cli --print-sql` writes
# through Apache Derby's ij, an engine that holds to DB2's rules where
# SQLite and MariaDB forgive (no quoted literal into a number column,
# VARCHAR at most 32,672, CLOB(n), the date literal forms).
#
#   scripts/derby-check.sh QUORVANE_CLI [NAME...]    (default: every case)
#
# A case is tests/derby/NAME.args: quorvane-cli's arguments, one per line,
# file paths relative to the repository root (--print-sql is added here).
# Optional: tests/derby/NAME.setup.sql, statements each ending with ";" run
# first in the same database (a table to append to, say), and
# tests/derby/NAME.check.sql, run after the printed statements (a query of
# what they made). Each case has an in-memory database of its own,
# jdbc:derby:memory:NAME. A case fails when quorvane-cli fails, when ij
# reports any ERROR or SQLSTATE, or when it ran no statement.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cases_dir=$root/tests/derby
if (($# < 1)); then
  echo "usage: $0 QUORVANE_CLI [NAME...]" >&2
  exit 2
fi
cli=$(realpath "$1")
shift
derby_jars=/usr/share/java/derby.jar:/usr/share/java/derbytools.jar
for jar in ${derby_jars//:/ }; do
  if [[ ! -r $jar ]]; then
    echo "derby-check: $jar is missing (scripts/install-deps.sh installs libderby-java and derby-tools)" >&2
    exit 1
  fi
done

names=("$@")
if ((${#names[@]} == 0)); then
  for args in "$cases_dir"/*.args; do
    names+=("$(basename "$args" .args)")
  done
fi
if ((${#names[@]} == 0)); then
  echo "derby-check: no cases in $cases_dir" >&2
  exit 1
fi

scratch=$(mktemp -d /tmp/quorvane-derby.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failed=0
for name in "${names[@]}"; do
  mapfile -t arguments < <(grep -v '^$' "$cases_dir/$name.args")
  script=$scratch/$name.sql
  printf "connect 'jdbc:derby:memory:%s;create=true';\n" "$name" >"$script"
  [[ -f $cases_dir/$name.setup.sql ]] && cat "$cases_dir/$name.setup.sql" >>"$script"
  # Statements end with ";" already, as ij needs.
  if ! (cd "$root" && "$cli" --print-sql "${arguments[@]}" >>"$script" 2>"$scratch/$name.err"); then
    echo "derby-check $name: quorvane-cli failed:" >&2
    cat "$scratch/$name.err" >&2
    failed=1
    continue
  fi
  [[ -f $cases_dir/$name.check.sql ]] && cat "$cases_dir/$name.check.sql" >>"$script"
  # ij leaves a log file where it runs: the scratch folder.
  (cd "$scratch" && java -Dderby.stream.error.file=/dev/null -cp "$derby_jars" org.apache.derby.tools.ij \
    "$script" >"$scratch/$name.out" 2>&1) || true
  ran=$(grep -cE '^(ij> )?[0-9]+ rows? (inserted/updated/deleted|selected)' "$scratch/$name.out" || true)
  if grep -qE 'ERROR|SQLSTATE|Exception' "$scratch/$name.out" || ((ran == 0)); then
    echo "derby-check $name: FAILED ($ran statements ran)" >&2
    grep -B 3 -E 'ERROR|SQLSTATE|Exception' "$scratch/$name.out" | cut -c 1-400 >&2 || true
    failed=1
  else
    echo "derby-check $name: $ran statements accepted"
  fi
done
exit "$failed"
