#!/usr/bin/env bash
# The rate of a fuzz target as it is to be held: a run of SECONDS (default
# 300) from the committed corpus, with the campaign bounds, its executions
# counted over 30-second windows; prints each window and their median.
# Needs the targets built by fuzz/run.sh. New inputs go to a scratch
# directory, never to the corpus.
#
#   fuzz/ritmo.sh [SECONDS] [TARGET]      # TARGET: compila (default), campi, dump
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-300}
corpus=${2:-compila}
uscita=$(mktemp -d)
mkdir -p "$uscita/nuovi" "$uscita/crash"
dizionario=()
[ -f "fuzz/$corpus.dict" ] && dizionario=(-dict="fuzz/$corpus.dict")
ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64} ./build-fuzz/fuzz/"${corpus}_fuzzer" \
  -max_total_time="$secondi" -timeout=2 -rss_limit_mb=512 -max_len=65536 -print_final_stats=1 \
  "${dizionario[@]}" -artifact_prefix="$uscita/crash/" "$uscita/nuovi" "fuzz/corpus/$corpus" 2>&1 |
  while IFS= read -r riga; do echo "$(date +%s) $riga"; done >"$uscita/log"
grep -E 'stat::(number_of_executed_units|peak_rss_mb)' "$uscita/log" | cut -d' ' -f2-
# Each libFuzzer line carries the count of executions so far (#N): the
# windows close at the first line 30 s or more after they open.
awk '$2 ~ /^#[0-9]+$/ {
       t = $1; n = substr($2, 2) + 0
       if (!aperta) { t0 = t; n0 = n; aperta = 1; next }
       if (t - t0 >= 30) { r[++k] = (n - n0) / (t - t0); t0 = t; n0 = n }
     }
     END {
       if (k == 0) { print "no window closed"; exit 1 }
       riga = "windows:"
       for (i = 1; i <= k; ++i) riga = riga sprintf(" %.0f", r[i])
       print riga
       for (i = 1; i <= k; ++i) for (j = i + 1; j <= k; ++j) if (r[j] < r[i]) { x = r[i]; r[i] = r[j]; r[j] = x }
       m = (k % 2) ? r[(k + 1) / 2] : (r[k / 2] + r[k / 2 + 1]) / 2
       printf "median of %d windows: %.0f executions a second\n", k, m
     }' "$uscita/log"
echo "log and new inputs in $uscita"
