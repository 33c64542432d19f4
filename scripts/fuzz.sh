#!/usr/bin/env bash
# Builds the fuzz targets and runs each for the given seconds (default 30),
# starting from the checked-in corpus. New inputs go to a scratch copy; an
# input that breaks a check is kept as build/fuzz/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
for name in toolchain_paths shortcut_command; do
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  cp -n fuzz/corpus/$name/* "$corpus/"
  echo "== ${name}_fuzzer for ${seconds}s"
  status=0
  "build/fuzz/fuzz/${name}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ "$corpus" > "build/fuzz/$name.log" 2>&1 || status=$?
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)|ERROR|check failed' \
    "build/fuzz/$name.log" || true
  [ "$status" -eq 0 ] || { echo "FAILED: ${name}_fuzzer (build/fuzz/$name.log)"; exit 1; }
done
echo "fuzzing found nothing"
