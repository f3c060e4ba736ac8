#!/usr/bin/env bash
# The pictures of calvetra.exe's two windows in doc/, taken under Wine on a
# virtual screen: the waiting window of the default run, and the message box
# of a run that ends in 1250 (finestre.exe --fatale). Needs xvfb-run,
# xwininfo (x11-utils) and import (imagemagick); not run by the tests.
#   tests/windows/schermate.sh BUILD_WIN
set -euo pipefail
radice=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1024x768x24' bash "$0" "$@"
fi
lavoro=$(mktemp -d)
export WINEPREFIX="$win/wine-schermo"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$lavoro"' EXIT
vino="$radice/cmake/wine.sh"

# The X window of the newest of $2 Windows windows titled "calvetra", once
# there are that many (the message box comes over the waiting window).
finestra() {
  for _ in $(seq 600); do
    local ids
    ids=$(xwininfo -root -tree 2>/dev/null | awk '$2 == "\"calvetra\":" {print $1}' | sort)
    if [ "$(echo "$ids" | grep -c .)" -ge "$1" ]; then echo "$ids" | tail -1; return 0; fi
    sleep 0.05
  done
  return 1
}

# Waits for the window, lets it paint, and takes it.
scatta() {
  local id
  id=$(finestra "$1") || { echo "schermate: nessuna finestra" >&2; return 1; }
  sleep "$2"
  import -window "$id" "$3"
  echo "schermate: $3"
}

mkdir "$lavoro/attesa" "$lavoro/fatale"
cp "$win/calvetra.exe" "$lavoro/attesa/"
cp "$win/finestre.exe" "$lavoro/fatale/"
# Wine's first start in a prefix is slow: made before the windows are timed.
"$vino" "$win/calvetra.exe" --version > /dev/null

(cd "$lavoro/attesa" && "$vino" ./calvetra.exe > /dev/null 2>&1) &
scatta 1 0.3 "$radice/doc/finestra_attesa.png"
wait

(cd "$lavoro/fatale" && "$vino" ./finestre.exe --fatale > /dev/null 2>&1) &
scatta 2 1 "$radice/doc/finestra_errore.png"
wineserver -k 2>/dev/null || true
wait || true
