# What the whole-program benchmarks share; sourced, from the repository's root.

# The release build of the targets named.
costruisci_release() {
  cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCALVETRA_TESTS=OFF >/dev/null
  cmake --build build-release -j2 --target "$@" >/dev/null
}

# A fresh directory in $lavoro, removed at the end.
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT

mediana() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# The median microseconds of GIRI runs of the command, after one that warms
# the caches; its output is dropped. Microseconds from bash itself: a clock
# program forked for every reading would add its own milliseconds.
cronometra() {
  local giri=$1 t=() a b i
  shift
  "$@" >/dev/null 2>&1 || true
  for ((i = 0; i < giri; i++)); do
    a=${EPOCHREALTIME/[.,]/}; "$@" >/dev/null 2>&1 || true; b=${EPOCHREALTIME/[.,]/}
    t+=($((10#$b - 10#$a)))
  done
  mediana "${t[@]}"
}

# The peak resident memory of one run of the command, in KiB, and its
# processor time (user + system), which a loaded machine inflates less
# than the wall time.
picco() {
  /usr/bin/time -f '%M KiB, %U + %S s of processor' -o "$lavoro/.picco" "$@" >/dev/null 2>&1 || true
  cat "$lavoro/.picco"
}

# The synthetic sources of the 1000000 m route into the directory $1.
# Plainly (those of BM_PercorsoSintetico1000000): 2000 curves of every class
# and side, 2000 gradients, 80 mountains; 330 speed points, 330 signals, 60
# slowdowns, 70 stations. With $2 `avvisi`, the line holds instead 100,000
# warning lines (gradients written with a unit, `pendenza, X, 2 m`: past the
# 20103rd the compile stops, and the rest are examined one by one), and the
# train only its speed points and stations.
sorgenti_percorso_lungo() {
  local avvisi=${2:-}
  {
    printf '[generale]\r\nlunghezza percorso,  1000000\r\n'
    if [[ $avvisi == avvisi ]]; then
      printf '[pendenze]\r\n'
      for ((i = 0; i < 100000; i++)); do printf 'pendenza,  %d,   2 m\r\n' $((1900 + 9 * i)); done
    else
      printf '[curve]\r\n'
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
    fi
    printf '[fine]\r\n'
  } >"$1/Calvetra_linea.txt"
  {
    printf '[generale]\r\nnumero vetture, 3\r\naderenza, 0, 100\r\n'
    for ((i = 0; i < 330; i++)); do
      printf 'velocita, %d, %d\r\n' $((500 + 3000 * i)) $((60 + 5 * (i % 11)))
    done
    if [[ $avvisi != avvisi ]]; then
      for ((i = 0; i < 330; i++)); do
        printf 'segnale, %d, 2, 2, 3, 1, 0, 2, 3, 1, 1, 50\r\n' $((1000 + 3000 * i))
      done
      for ((j = 0; j < 60; j++)); do
        printf 'rallentamento, %d, 60, 100, 1, 1, 0\r\n' $((20000 + 15000 * j))
      done
    fi
    for ((k = 0; k < 70; k++)); do
      printf 'stazione, %d, 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n' \
        $((10000 + 12000 * k))
    done
    printf '[fine]\r\n'
  } >"$1/Calvetra_2718 - 5340-.txt"
}
