#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for a
# bounded time:   scripts/fuzz.sh [SECONDS]   (default 30, at most 60).
# Fails when a target finds a crash or a broken rule; the input that did it
# is left in build/fuzz/crashes/<target>/ and should become a regular test.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/fuzz"
seconds=${1:-30}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || (( seconds < 1 )); then
  echo "usage: $0 [SECONDS]   (1 to 60)" >&2
  exit 2
fi
(( seconds > 60 )) && seconds=60

targets=(split_fields field_count_check sql_statements normalize_path)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVANE_FUZZ=ON -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

failed=0
printf '%-20s %12s %8s %s\n' target runs seconds result
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  log="$build/fuzz-$target.log"
  mkdir -p "$corpus" "$crashes"
  start=$(date +%s)
  # New inputs go to the working corpus; the committed seeds are only read.
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$crashes/" "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"
    failed=1
  fi
  elapsed=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-20s %12s %8s %s\n' "$target" "${runs:-?}" "$elapsed" "$result"
done
exit "$failed"
