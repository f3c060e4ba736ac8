#!/usr/bin/env bash
# Times whole runs of calvetra against the floor of writing the same bytes
# (pavimento: files of the same sizes, one write each), alternating the two,
# and reports medians, their ratio and the peak memory of a run.
#
# usage: bench/tempi_esecuzione.sh [RUNS]   (default 41)
set -euo pipefail
cd "$(dirname "$0")/.."
giri=${1:-41}
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCALVETRA_TESTS=OFF >/dev/null
cmake --build build-release -j2 --target calvetra pavimento >/dev/null

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
mkdir "$lavoro/run" "$lavoro/floor"
cp build-release/calvetra "$lavoro/run/"
"$lavoro/run/calvetra" >/dev/null
dimensioni=$(find "$lavoro/run" -maxdepth 1 -type f ! -name calvetra -printf '%s ')

# Microseconds from bash itself: forking a clock program for every reading
# would add the same milliseconds to both sides and hide the real ratio.
run_t=(); floor_t=()
for ((i = 0; i < giri; i++)); do
  a=${EPOCHREALTIME/[.,]/}; "$lavoro/run/calvetra" >/dev/null; b=${EPOCHREALTIME/[.,]/}
  run_t+=($((10#$b - 10#$a)))
  a=${EPOCHREALTIME/[.,]/}; build-release/pavimento "$lavoro/floor" $dimensioni; b=${EPOCHREALTIME/[.,]/}
  floor_t+=($((10#$b - 10#$a)))
done
mediana() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
mr=$(mediana "${run_t[@]}"); mf=$(mediana "${floor_t[@]}")
picco=$(/usr/bin/time -f '%M' "$lavoro/run/calvetra" 2>&1 >/dev/null | tail -n 1)
picco_f=$(/usr/bin/time -f '%M' build-release/pavimento "$lavoro/floor" $dimensioni 2>&1 | tail -n 1)
totale=$(echo $dimensioni | awk '{s = 0; for (i = 1; i <= NF; i++) s += $i; print s}')
echo "bytes written per run: $totale in $(echo $dimensioni | wc -w) files"
echo "calvetra median: ${mr} us   floor median: ${mf} us   ratio: $(awk -v a="$mr" -v b="$mf" 'BEGIN {printf "%.2f", a / b}')"
echo "peak memory: calvetra ${picco} KiB, floor ${picco_f} KiB"
