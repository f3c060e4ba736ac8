#!/usr/bin/env bash
# The Windows programs under Wine, checked as a Windows user would meet
# them (the unit suites run as their own CTest tests):
#   1. calvetra.exe's default run writes exactly the Linux build's bytes;
#   2. on a virtual screen (xvfb-run), its waiting window is found by its
#      label, the message box of a run ending in 1250 by its text, its OK is
#      pressed, and both exit statuses are right;
#   3. scenario.exe lsp answers initialize, didOpen and hover over real pipes;
#   4. scenario.exe view --serve, started in a console, answers the page
#      with its token and 404 without it, brings an event after a save, and
#      ends with status 0 on the console's Ctrl-Break or Ctrl-C;
#   5. the byte identity over a share of the scenarios, one case in 96 (the
#      rest: bench/identita_windows.sh).
#
#   tests/windows/prove.sh BUILD_WIN BUILD_LINUX [byte|finestre|lsp|vivo|identita]
# One check alone when named (CTest runs them as tests of their own, side by
# side), all five otherwise. Exit 77 (skipped) without Wine or without the
# Linux build to compare with.
set -euo pipefail
export LC_ALL=C
radice=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
linux=${2:-}
solo=${3:-}
passo() { [ -z "$solo" ] || [ "$solo" = "$1" ]; }
vino="$radice/cmake/wine.sh"
if ! command -v wine >/dev/null && [ ! -x /usr/lib/wine/wine64 ]; then
  echo "prove windows: Wine manca, saltate"; exit 77
fi
if [ -z "$linux" ] || [ ! -x "$linux/calvetra" ] || [ ! -x "$linux/genera_scenari" ]; then
  echo "prove windows: manca la build Linux da confrontare ($linux), saltate"; exit 77
fi
linux=$(cd "$linux" && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
falliti=0

if passo byte; then
echo "== 1. calvetra.exe scrive i byte della build Linux"
mkdir "$lavoro/win" "$lavoro/linux"
cp "$win/calvetra.exe" "$lavoro/win/"
cp "$linux/calvetra" "$lavoro/linux/"
stato_win=0; (cd "$lavoro/win" && "$vino" ./calvetra.exe > out 2> err) || stato_win=$?
stato_linux=0; (cd "$lavoro/linux" && ./calvetra > out 2> err) || stato_linux=$?
rm "$lavoro/win/calvetra.exe" "$lavoro/linux/calvetra"
if [ "$stato_win" != "$stato_linux" ] || ! diff -r "$lavoro/linux" "$lavoro/win"; then
  echo "calvetra.exe: uscita $stato_win (Linux $stato_linux) o file diversi"; falliti=$((falliti + 1))
else
  echo "uguali: $(ls "$lavoro/win" | grep -vc '^out$\|^err$') file, uscita $stato_win, stdout e stderr"
fi

fi

if passo finestre; then
echo "== 2. le finestre su uno schermo virtuale"
if command -v xvfb-run >/dev/null; then
  mkdir "$lavoro/finestre"
  cp "$win/calvetra.exe" "$win/finestre.exe" "$lavoro/finestre/"
  # A prefix of its own: run beside the suites, which share the build's
  # prefix and start with no screen, the windows were not found (seen once,
  # never when run alone); Wine's server keeps the display it started with.
  if ! (cd "$lavoro/finestre" && export WINEPREFIX="$win/wine-schermo" &&
        timeout 300 xvfb-run -a -s '-screen 0 1024x768x24' "$vino" ./finestre.exe ./calvetra.exe); then
    echo "finestre: non trovate o uscite sbagliate"; falliti=$((falliti + 1))
  fi
else
  echo "xvfb-run manca: finestre non provate"
fi

fi

if passo lsp; then
echo "== 3. scenario.exe lsp su pipe vere"
mkdir "$lavoro/lsp"
(cd "$lavoro/lsp" && "$vino" "$win/scenario.exe" init . > /dev/null)
if ! python3 "$radice/tests/windows/lsp_tubi.py" "$vino" "$win/scenario.exe" "$lavoro/lsp"; then
  falliti=$((falliti + 1))
fi

fi

if passo vivo; then
echo "== 4. scenario.exe view --serve in una console"
mkdir "$lavoro/vivo"
(cd "$lavoro/vivo" && "$vino" "$win/scenario.exe" init . > /dev/null)
if ! python3 "$radice/tests/windows/vivo_processo.py" "$vino" "$win/interrompi.exe" \
       "$win/scenario.exe" "$lavoro/vivo"; then
  falliti=$((falliti + 1))
fi

fi

if passo identita; then
echo "== 5. identita' dei byte su una parte degli scenari"
if ! bash "$radice/tests/identita/identita.sh" "$linux" --windows "$win" --parte 1/96; then
  falliti=$((falliti + 1))
fi
fi

[ $falliti = 0 ] && echo "prove windows: tutte passate" && exit 0
echo "prove windows: $falliti fallite"; exit 1
