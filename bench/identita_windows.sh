#!/usr/bin/env bash
# The byte identity of the Windows build over every scenario, under Wine:
# the parts that CI leaves out (it runs one case in 96, tests/windows/).
# Each Wine start costs a second or two: one to three hours.
#   bench/identita_windows.sh BUILD_LINUX BUILD_WIN
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
for parte in $(seq 2 96); do
  bash "$radice/tests/identita/identita.sh" "$1" --windows "$2" --parte "$parte/96"
done
