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
sorgenti_percorso_lungo "$lavoro" avvisi

check=$(cronometra "$giri" build-release/scenario check "$lavoro")
view=$(cronometra "$giri" build-release/scenario view "$lavoro" -o "$lavoro/vista.html")
echo "scenario check median: $check us over $giri runs; peak memory: $(picco build-release/scenario check "$lavoro")"
echo "scenario view median: $view us over $giri runs; peak memory: $(picco build-release/scenario view "$lavoro" -o "$lavoro/vista.html")"
echo "$(build-release/scenario check "$lavoro" 2>&1 >/dev/null | tail -n 1); page $(stat -c %s "$lavoro/vista.html") bytes"
echo "view / check: $(awk -v v="$view" -v c="$check" 'BEGIN {printf "%.2f", v / c}')"
