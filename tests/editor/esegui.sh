#!/usr/bin/env bash
# Runs the end-to-end test of `scenario lsp` with a real editor as the
# client: Debian's Neovim, headless, its built-in LSP client (nvim.lua). A
# missing nvim reports the test as skipped (exit 77); under CI it is a
# failure: .ci/run installs neovim.
set -euo pipefail
qui="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?uso: esegui.sh BUILD_DIR}" && pwd)"

if ! command -v nvim >/dev/null; then
  echo "lsp_neovim: skipped: missing nvim (apt-get install neovim)"
  [ -n "${CI:-}" ] && exit 1
  exit 77
fi
cartella="$(mktemp -d)"
trap 'rm -rf "$cartella"' EXIT
"$build/scenario" init "$cartella" >/dev/null
# No user configuration, no plugins, no swap files: the client as it ships.
SCENARIO="$build/scenario" CARTELLA="$cartella" HOME="$cartella" \
  timeout 120 nvim --headless --clean -n -u NONE -i NONE \
  -c "luafile $qui/nvim.lua" 2>&1
