#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: quiet, in a prefix of its
# own beside the build (WINEPREFIX when set), made once and then reused.
# The first start of a fresh prefix takes Wine tens of seconds; the prefix is
# made under a lock, so tests started side by side wait for it rather than
# each making one.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
  cartella=$(cd "$(dirname "$1")" && pwd)
  # The build dir is the nearest folder above the program with a CMakeCache.
  while [ "$cartella" != / ] && [ ! -f "$cartella/CMakeCache.txt" ]; do cartella=$(dirname "$cartella"); done
  [ "$cartella" = / ] && cartella=${TMPDIR:-/tmp}
  export WINEPREFIX="$cartella/wine"
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
# No desktop integration, no Mono or Gecko installers: a bare prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=d}
vino=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$vino" ] || vino=wine
if [ ! -f "$WINEPREFIX/.pronto" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.pronto" ]; then
      timeout 300 "$vino" wineboot --init >/dev/null 2>&1 || true
      timeout 60 wineserver -w 2>/dev/null || true
      touch "$WINEPREFIX/.pronto"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$vino" "$@"
