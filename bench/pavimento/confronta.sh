#!/usr/bin/env bash
# Times `scenario compile` of the 1000000 m route and `calvetra`'s default run
# against the floor of streaming their own bytes (pavimento_flusso: the same
# files through one 256 KB buffer, with the same temporary files, syncs and
# renames, nothing computed), alternating each program with its floor, and
# reports the medians, their ratio and the peak memory of a run. The floor's
# reading of the bytes it copies, before its work starts, is taken off its
# time.
#
# usage: bench/pavimento/confronta.sh [RUNS]   (default 21)
set -euo pipefail
cd "$(dirname "$0")/../.."
giri=${1:-21}
source bench/comune.sh
costruisci_release scenario calvetra pavimento_flusso

# Alternates GIRI runs of the command in $2.. with its floor (the files
# named in the array `file`, the last three a set) and prints the medians.
confronta() {
  local nome=$1 t=() f=() a b i letti
  shift
  "$@" >/dev/null 2>&1 || true
  for ((i = 0; i < giri; i++)); do
    a=${EPOCHREALTIME/[.,]/}; "$@" >/dev/null 2>&1 || true; b=${EPOCHREALTIME/[.,]/}
    t+=($((10#$b - 10#$a)))
    a=${EPOCHREALTIME/[.,]/}; letti=$(build-release/pavimento_flusso "$lavoro/floor" "${file[@]}"); b=${EPOCHREALTIME/[.,]/}
    f+=($((10#$b - 10#$a - letti)))
  done
  local mt mf
  mt=$(mediana "${t[@]}"); mf=$(mediana "${f[@]}")
  echo "$nome median: $mt us   floor median: $mf us   ratio: $(awk -v a="$mt" -v b="$mf" 'BEGIN {printf "%.2f", a / b}')"
  echo "  peak memory: $(picco "$@");" \
    "floor: $(/usr/bin/time -f '%M KiB' build-release/pavimento_flusso "$lavoro/floor" "${file[@]}" 2>&1 >/dev/null)"
}

mkdir "$lavoro/lungo" "$lavoro/contenuto" "$lavoro/floor" "$lavoro/calvetra"
sorgenti_percorso_lungo "$lavoro/lungo"
build-release/scenario compile "$lavoro/lungo" >/dev/null
binari=("Calvetra_linea.dat" "Calvetra_2718 - 5340.sim" "Calvetra_2718 - 5340.dat")
file=(--insieme)
for n in "${binari[@]}"; do cp "$lavoro/lungo/$n" "$lavoro/contenuto/"; file+=("$lavoro/contenuto/$n"); done
echo "bytes: $(cat "${file[@]:1}" | wc -c) in ${#binari[@]} files"
confronta "scenario compile (1000000 m)" build-release/scenario compile "$lavoro/lungo"

# calvetra's run: its text files are replaced one by one, its binary files as a set.
cp build-release/calvetra "$lavoro/calvetra/"
"$lavoro/calvetra/calvetra" >/dev/null
rm -rf "$lavoro/contenuto" "$lavoro/floor"
mkdir "$lavoro/contenuto" "$lavoro/floor"
file=()
while IFS= read -r -d '' n; do
  n=${n##*/}
  [[ $n == calvetra || " ${binari[*]} " == *" $n "* ]] && continue
  cp "$lavoro/calvetra/$n" "$lavoro/contenuto/"; file+=("$lavoro/contenuto/$n")
done < <(find "$lavoro/calvetra" -maxdepth 1 -type f -print0)
file+=(--insieme)
for n in "${binari[@]}"; do cp "$lavoro/calvetra/$n" "$lavoro/contenuto/"; file+=("$lavoro/contenuto/$n"); done
echo "calvetra's files: ${#file[@]} arguments, $(cat "${file[@]/--insieme/}" 2>/dev/null | wc -c) bytes"
confronta "calvetra" "$lavoro/calvetra/calvetra"
