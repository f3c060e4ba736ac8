#!/usr/bin/env bash
# The Windows build under Wine beside the Linux build, as whole processes:
# a program that returns at once (Wine's own start), calvetra's default run,
# and `scenario compile` of the 1000000 m route (bench/percorso_lungo.sh's
# sources). Median wall times over RUNS runs each, after one that warms the
# caches, with the Wine server kept running between them; the load of the
# machine is printed first, since Wine's start follows it closely.
#
# usage: bench/sotto_wine.sh [BUILD_LINUX [BUILD_WIN [RUNS]]]   (build build-win 5)
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$(cd "${1:-build}" && pwd)
win=$(cd "${2:-build-win}" && pwd)
giri=${3:-5}
source bench/comune.sh
vino="$PWD/cmake/wine.sh"
export WINEPREFIX="$win/wine"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$lavoro"' EXIT
"$vino" "$win/scenario.exe" --version >/dev/null
wineserver -p 2>/dev/null || true

mkdir "$lavoro/linux" "$lavoro/win" "$lavoro/percorso"
cp "$linux/calvetra" "$lavoro/linux/"
cp "$win/calvetra.exe" "$lavoro/win/"
sorgenti_percorso_lungo "$lavoro/percorso"

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; $giri runs each"
riga() { printf '%-44s Linux %8s us   Wine %9s us\n' "$1" "$2" "$3"; }
riga "a program that returns at once (--version)" \
  "$(cronometra "$giri" "$linux/scenario" --version)" \
  "$(cronometra "$giri" "$vino" "$win/scenario.exe" --version)"
riga "calvetra, the default run" \
  "$(cd "$lavoro/linux" && cronometra "$giri" ./calvetra)" \
  "$(cd "$lavoro/win" && cronometra "$giri" "$vino" ./calvetra.exe)"
riga "scenario compile, the 1000000 m route" \
  "$(cronometra "$giri" "$linux/scenario" compile "$lavoro/percorso")" \
  "$(cronometra "$giri" "$vino" "$win/scenario.exe" compile "Z:$lavoro/percorso")"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
