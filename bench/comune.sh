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

# The peak resident memory of one run of the command, in KiB.
picco() { (/usr/bin/time -f '%M' "$@" >/dev/null 2>/dev/null) 2>&1 | tail -n 1; }
