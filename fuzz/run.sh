#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, ASan and UBSan, and runs each
# for a bounded time (seconds, default 60), starting from the coverage already
# reached: the committed corpus fuzz/corpus/<target>/ is read, never written.
# New inputs and crash inputs go to a scratch directory (FUZZ_USCITA, default a
# fresh temporary one) that is kept and named at the end; a crash fails the
# run. To keep what a long run has found, minimise it into the corpus:
#
#   build-fuzz/fuzz/<target>_fuzzer -merge=1 fuzz/corpus/<target> SCRATCH/<target>/nuovi
#
# Every run has the bounds that every input of at most 64 KB (1 MB for the
# language server) must respect: 2 s and 512 MB. ASan's quarantine of freed memory is held to 64 MB so that
# the memory bound measures the inputs, not the sanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-60}
uscita=${FUZZ_USCITA:-$(mktemp -d)}
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCALVETRA_FUZZ=ON -DCALVETRA_SANITIZE=ON -DCALVETRA_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target $(cd fuzz && ls *_fuzzer.cc | sed 's/\.cc$//')
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}
stato=0
for sorgente in fuzz/*_fuzzer.cc; do
  nome=$(basename "$sorgente" .cc)
  corpus=${nome%_fuzzer}
  mkdir -p "$uscita/$corpus/nuovi" "$uscita/$corpus/crash" "fuzz/corpus/$corpus"
  dizionario=()
  [ -f "fuzz/$corpus.dict" ] && dizionario=(-dict="fuzz/$corpus.dict")
  # The language server reads whole documents: its inputs go up to 1 MB, so
  # that a message can nest far past the depth it accepts.
  lunghezza=65536
  [ "$corpus" = lsp ] && lunghezza=1048576
  echo "== $nome for ${secondi}s"
  if ! ./build-fuzz/fuzz/"$nome" -max_total_time="$secondi" -timeout=2 -rss_limit_mb=512 \
      -max_len="$lunghezza" -print_final_stats=1 "${dizionario[@]}" \
      -artifact_prefix="$uscita/$corpus/crash/" "$uscita/$corpus/nuovi" "fuzz/corpus/$corpus" \
      2>"$uscita/$corpus/log"; then
    tail -n 40 "$uscita/$corpus/log"
    stato=1
  else
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units)' "$uscita/$corpus/log" || true
  fi
done
echo "new inputs and crashes in $uscita"
exit $stato
