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
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
# Two route folders: the README's snippet starts a server for each.
cartella="$lavoro/rotta"
seconda="$lavoro/seconda rotta"
"$build/scenario" init "$cartella" >/dev/null
"$build/scenario" init "$seconda" >/dev/null
# A station name with an accented letter, in Windows-1252 as the files hold it.
sed -i 's/ROVELLA/ROVELL\xC0/' "$seconda/Calvetra_2718 - 5340-.txt"
# The Neovim snippet of the README, as an author copies it, with the build
# folder of this build in place of the example's.
readme="$qui/../../README.md"
awk '/^Neovim 0\.7/ { dopo = 1 } dopo && /^```lua$/ { dentro = 1; next }
     dentro && /^```$/ { exit } dentro { print }' "$readme" |
  sed "s|vim.fn.expand(\"~/calvetra/build\")|\"$build\"|" >"$lavoro/init.lua"
grep -q "\"$build\"" "$lavoro/init.lua" || {
  echo "lsp_neovim: FALLITO: nel README non c'e' la cartella di build da sostituire"
  exit 1
}
# No user configuration, no plugins, no swap files: the client as it ships,
# with the README's snippet.
INIT="$lavoro/init.lua" SCENARIO="$build/scenario" CARTELLA="$cartella" SECONDA="$seconda" HOME="$lavoro" \
  timeout 120 nvim --headless --clean -n -u NONE -i NONE \
  -c "luafile $qui/nvim.lua" 2>&1
