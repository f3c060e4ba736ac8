#!/usr/bin/env bash
# Times `scenario check` and `scenario view -o` on a line source of 100,000
# warning lines (gradients written with a unit, `pendenza, X, 2 m`, on the
# 1000000 m route; past the 20103rd the compile stops, and the rest are
# examined one by one, as the author would want to see them) as whole
# program runs: the page's data take each diagnostic to its record in one
# pass, so the page comes within twice the time of the check. Reports the
# median wall time and the peak memory of each, and their ratio.
#
# usage: bench/pagina_avvisi.sh [RUNS]   (default 11)
set -euo pipefail
cd "$(dirname "$0")/.."
giri=${1:-11}
source bench/comune.sh
costruisci_release scenario
{
  printf '[generale]\r\nlunghezza percorso,  1000000\r\n[pendenze]\r\n'
  for ((i = 0; i < 100000; i++)); do printf 'pendenza,  %d,   2 m\r\n' $((1900 + 9 * i)); done
  printf '[fine]\r\n'
} >"$lavoro/Calvetra_linea.txt"
{
  printf '[generale]\r\nnumero vetture, 3\r\naderenza, 0, 100\r\n'
  for ((i = 0; i < 330; i++)); do
    printf 'velocita, %d, %d\r\n' $((500 + 3000 * i)) $((60 + 5 * (i % 11)))
  done
  for ((k = 0; k < 70; k++)); do
    printf 'stazione, %d, 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n' \
      $((10000 + 12000 * k))
  done
  printf '[fine]\r\n'
} >"$lavoro/Calvetra_2718 - 5340-.txt"

check=$(cronometra "$giri" build-release/scenario check "$lavoro")
view=$(cronometra "$giri" build-release/scenario view "$lavoro" -o "$lavoro/vista.html")
echo "scenario check median: $check us over $giri runs; peak memory: $(picco build-release/scenario check "$lavoro") KiB"
echo "scenario view median: $view us over $giri runs; peak memory: $(picco build-release/scenario view "$lavoro" -o "$lavoro/vista.html") KiB"
echo "$(build-release/scenario check "$lavoro" 2>&1 >/dev/null | tail -n 1); page $(stat -c %s "$lavoro/vista.html") bytes"
echo "view / check: $(awk -v v="$view" -v c="$check" 'BEGIN {printf "%.2f", v / c}')"
