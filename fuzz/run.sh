#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, ASan and UBSan, and runs each
# for a bounded time (seconds, default 60) over a copy of its seed corpus.
# A crash leaves its input in fuzz/regressioni/<target>/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-60}
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCALVETRA_FUZZ=ON -DCALVETRA_SANITIZE=ON -DCALVETRA_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target $(cd fuzz && ls *_fuzzer.cc | sed 's/\.cc$//')
stato=0
for sorgente in fuzz/*_fuzzer.cc; do
  nome=$(basename "$sorgente" .cc)
  corpus=${nome%_fuzzer}
  lavoro=$(mktemp -d)
  cp -r "fuzz/corpus/$corpus/." "$lavoro/"
  dizionario=()
  [ -f "fuzz/$corpus.dict" ] && dizionario=(-dict="fuzz/$corpus.dict")
  echo "== $nome for ${secondi}s"
  if ! ./build-fuzz/fuzz/"$nome" -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 \
      "${dizionario[@]}" -artifact_prefix="fuzz/regressioni/$corpus/" "$lavoro" 2>"$lavoro.log"; then
    tail -n 40 "$lavoro.log"
    stato=1
  else
    grep -E '^(#[0-9]+ +DONE|Done )' "$lavoro.log" | tail -n 1 || true
  fi
  rm -rf "$lavoro" "$lavoro.log"
done
exit $stato
