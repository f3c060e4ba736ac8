#!/usr/bin/env bash
# Times `scenario compile`, `check`, `dump --json` and `view` on the synthetic longest
# route (1000000 m, 2000 curves, 2000 gradients, 80 mountains; 330 speed
# points, 330 signals, 60 slowdowns, 70 stations: the sources of
# BM_PercorsoSintetico1000000) as whole program runs, and reports the median
# wall time and the peak memory of each.
#
# usage: bench/percorso_lungo.sh [RUNS]   (default 21)
set -euo pipefail
cd "$(dirname "$0")/.."
giri=${1:-21}
source bench/comune.sh
costruisci_release scenario

sorgenti_percorso_lungo "$lavoro"
build-release/scenario compile "$lavoro" >/dev/null
for comando in compile check "dump --json" "view -o $lavoro/vista.html"; do
  read -r -a parole <<<"$comando"
  esegui=(build-release/scenario "${parole[0]}" "${parole[@]:1}" "$lavoro")
  echo "scenario ${parole[0]} median: $(cronometra "$giri" "${esegui[@]}") us over $giri runs;" \
    "peak memory: $(picco "${esegui[@]}")"
done
totale=$(find "$lavoro" -maxdepth 1 -name '*.dat' -o -maxdepth 1 -name '*.sim' | xargs -d '\n' stat -c %s |
  awk '{s += $1} END {print s}')
echo "sources: $(stat -c %s "$lavoro/Calvetra_linea.txt") + $(stat -c %s "$lavoro/Calvetra_2718 - 5340-.txt") bytes; binary files written by compile: $totale bytes"
