#!/usr/bin/env bash
# The byte identity of the Windows build over every scenario, under Wine:
# the parts that CI leaves out (it runs the first twelfth, tests/windows/).
# Each Wine start costs a good part of a second: about twenty minutes.
#   bench/identita_windows.sh BUILD_LINUX BUILD_WIN
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
for parte in $(seq 2 12); do
  bash "$radice/tests/identita/identita.sh" "$1" --windows "$2" --parte "$parte/12"
done
