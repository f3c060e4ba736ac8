#!/usr/bin/env bash
# The installed documents are whole: the documentation component is
# installed into a fresh prefix, and every relative link or picture of every
# installed Markdown file must name a file installed there too (a README
# showing a picture that was not installed is a broken page).
set -euo pipefail
build="$(cd "${1:?uso: installazione.sh BUILD_DIR}" && pwd)"
prefisso="$(mktemp -d)"
trap 'rm -rf "$prefisso"' EXIT

cmake --install "$build" --component documentazione --prefix "$prefisso" >/dev/null
mancanti=0
contati=0
while IFS= read -r -d '' md; do
  cartella="$(dirname "$md")"
  # [testo](destinazione) and ![testo](destinazione): the destination up to a
  # blank, a closing bracket or a #fragment.
  while IFS= read -r destinazione; do
    case "$destinazione" in
      ''|http://*|https://*|mailto:*|'#'*) continue ;;
    esac
    contati=$((contati + 1))
    if [ ! -e "$cartella/$destinazione" ]; then
      echo "documenti installati: ${md#"$prefisso"/} rimanda a $destinazione, che non e' installato"
      mancanti=$((mancanti + 1))
    fi
  done < <(grep -o '\]([^) #]*' "$md" | sed 's/^](//')
done < <(find "$prefisso" -name '*.md' -print0)

if [ "$(find "$prefisso" -name 'README.md' | wc -l)" -ne 1 ]; then
  echo "documenti installati: manca il README"
  exit 1
fi
[ "$mancanti" -eq 0 ] || exit 1
echo "documenti installati: $contati rimandi, tutti installati"
