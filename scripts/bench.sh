#!/usr/bin/env bash
# Launch benchmarks, natively and under Wine (not part of the tests).
# Usage: bench.sh [NATIVE_RUNS] [WINE_RUNS]   (defaults 2000 and 200)
# Natively hyperfine times the commands; under Wine launch_bench.exe does.
set -euo pipefail
cd "$(dirname "$0")/.."
native_runs=${1:-2000}
wine_runs=${2:-200}
bash scripts/install-deps.sh
bash scripts/build.sh native windows-x64 >/dev/null

work="$PWD/build/bench"
rm -rf "$work"
cmake --install build/native --prefix "$work/native" >/dev/null
cmake --install build/windows-x64 --prefix "$work/windows" >/dev/null
cp /usr/bin/true "$work/native/gcc/bin/true"
cp build/windows-x64/bench/noop.exe "$work/windows/gcc/bin/"

echo "== native ($(nproc) cores, $(uname -srm)), $(date -u +%F), $(hyperfine --version)"
bin="$work/native/gcc/bin"
path="PATH=$bin:$work/native/gcc/libexec/gcc/mingw32/3.4.5"
(cd "$work/native" && hyperfine -N --style none --warmup 100 --runs "$native_runs" \
  -n "true (direct)" "$bin/true" \
  -n "env PATH=... true" "/usr/bin/env $path true" \
  -n "toolrun true" "$bin/toolrun true" \
  --export-markdown "$work/native.md" --export-csv "$work/native.csv" >/dev/null)
cat "$work/native.md"
# Ratios of the median times (CSV columns: command,mean,stddev,median,...).
awk -F, 'NR > 1 { median[NR - 1] = $4 }
  END { printf "\n- toolrun/direct = %.2f (target at most 1.3)\n", median[3] / median[1]
        printf "- toolrun/env = %.2f (target at most 0.75)\n\n", median[3] / median[2] }' \
  "$work/native.csv"
echo "| launcher alone, asked for a program that does not exist | peak RSS (KiB) |"
echo "|---|---:|"
read -r env_kib _ < <(build/native/bench/peak_rss /usr/bin/env "$path" no_such 2>/dev/null)
read -r toolrun_kib _ < <(build/native/bench/peak_rss "$work/native/gcc/bin/toolrun" no_such)
echo "| env PATH=... no_such | $env_kib |"
echo "| toolrun no_such | $toolrun_kib |"
if [ "$toolrun_kib" -gt 0 ]; then
  echo; echo "- peak memory toolrun/env = $(awk "BEGIN { printf \"%.2f\", $toolrun_kib / $env_kib }")"
else
  # The kernel folds a process's page counts in batches; one this small ends
  # before any batch reaches the total it reports.
  echo; echo "- toolrun's peak is below what the kernel's accounting shows (0 KiB)"
fi

echo
echo "== under Wine ($(/usr/lib/wine/wine64 --version)), x86_64 build"
export WINEPREFIX="$PWD/build/windows-x64/wineprefix" WINEDEBUG=-all
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
/usr/lib/wine/wine64 build/windows-x64/bench/launch_bench.exe "Z:${work//\//\\}\\windows" "$wine_runs"
