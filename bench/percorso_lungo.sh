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

{
  printf '[generale]\r\nlunghezza percorso,  1000000\r\n[curve]\r\n'
  for ((i = 0; i < 2000; i++)); do
    lato=d; ((i % 3 == 0)) && lato=s
    printf 'curva%s%d,  %d,  300\r\n' "$lato" $((1 + i % 6)) $((500 * i + 100))
  done
  for ((i = 0; i < 2000; i++)); do
    printf 'pendenza,  %d,   %d\r\n' $((1900 + 450 * i)) $((i % 13 - 6))
  done
  for ((i = 0; i < 80; i++)); do
    printf 'montagna,   %d,  %d,  11\r\n' $((5000 + 12000 * i)) $((9000 + 12000 * i))
  done
  printf '[fine]\r\n'
} >"$lavoro/Calvetra_linea.txt"
{
  printf '[generale]\r\nnumero vetture, 3\r\naderenza, 0, 100\r\n'
  for ((i = 0; i < 330; i++)); do
    printf 'velocita, %d, %d\r\n' $((500 + 3000 * i)) $((60 + 5 * (i % 11)))
  done
  for ((i = 0; i < 330; i++)); do
    printf 'segnale, %d, 2, 2, 3, 1, 0, 2, 3, 1, 1, 50\r\n' $((1000 + 3000 * i))
  done
  for ((j = 0; j < 60; j++)); do
    printf 'rallentamento, %d, 60, 100, 1, 1, 0\r\n' $((20000 + 15000 * j))
  done
  for ((k = 0; k < 70; k++)); do
    printf 'stazione, %d, 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n' \
      $((10000 + 12000 * k))
  done
  printf '[fine]\r\n'
} >"$lavoro/Calvetra_2718 - 5340-.txt"

build-release/scenario compile "$lavoro" >/dev/null
for comando in compile check "dump --json" "view -o $lavoro/vista.html"; do
  read -r -a parole <<<"$comando"
  esegui=(build-release/scenario "${parole[0]}" "${parole[@]:1}" "$lavoro")
  echo "scenario ${parole[0]} median: $(cronometra "$giri" "${esegui[@]}") us over $giri runs;" \
    "peak memory: $(picco "${esegui[@]}") KiB"
done
totale=$(find "$lavoro" -maxdepth 1 -name '*.dat' -o -maxdepth 1 -name '*.sim' | xargs -d '\n' stat -c %s |
  awk '{s += $1} END {print s}')
echo "sources: $(stat -c %s "$lavoro/Calvetra_linea.txt") + $(stat -c %s "$lavoro/Calvetra_2718 - 5340-.txt") bytes; binary files written by compile: $totale bytes"
