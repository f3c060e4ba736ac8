#!/usr/bin/env bash
# Runs a browser test of `scenario view` (vista.test.js, or the one named
# second: vivo.test.js for the live page; further arguments go to the test)
# when node, the system Chromium and the node modules of this folder are
# there; otherwise
# says so and reports the test as skipped (exit 77). Under CI a missing piece
# is a failure: .ci/run installs them.
set -euo pipefail
qui="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?uso: esegui.sh BUILD_DIR [TEST.js]}" && pwd)"

mancanti=()
command -v node >/dev/null || mancanti+=("node")
[ -x /usr/bin/chromium ] || mancanti+=("/usr/bin/chromium (apt-get install chromium)")
[ -d "$qui/node_modules/playwright-core" ] ||
  mancanti+=("playwright-core (cd tests/browser && npm ci)")
if [ ${#mancanti[@]} -gt 0 ]; then
  echo "vista_browser: skipped: missing ${mancanti[*]}"
  [ -n "${CI:-}" ] && exit 1
  exit 77
fi
exec node "$qui/${2:-vista.test.js}" "$build" "${@:3}"
