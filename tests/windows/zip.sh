#!/usr/bin/env bash
# The release a Windows author downloads: `cpack -G ZIP` of the build makes
# calvetra-VERSION-win64.zip holding both programs, the README and every
# document of doc/ it refers to, in one folder, and nothing else; the
# programs in it name only the DLLs every Windows has.
#   tests/windows/zip.sh BUILD_WIN CPACK OBJDUMP VERSION
set -euo pipefail
radice=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
cpack=$2
objdump=$3
versione=$4
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT

if ! (cd "$win" && "$cpack" -G ZIP -B "$lavoro/pacchetto" > "$lavoro/cpack.txt" 2>&1); then
  cat "$lavoro/cpack.txt"; echo "zip: cpack non riuscito"; exit 1
fi
cartella="calvetra-$versione-win64"
zip="$lavoro/pacchetto/$cartella.zip"
if [ ! -f "$zip" ]; then
  echo "zip: manca $cartella.zip; fatti: $(ls "$lavoro/pacchetto")"; exit 1
fi
python3 - "$zip" > "$lavoro/contenuto.txt" <<'PY'
import sys, zipfile
for nome in zipfile.ZipFile(sys.argv[1]).namelist():
    if not nome.endswith("/"):
        print(nome)
PY
sort -o "$lavoro/contenuto.txt" "$lavoro/contenuto.txt"
printf '%s\n' calvetra.exe scenario.exe README.md doc/formats.md doc/vista.png \
  doc/finestra_attesa.png doc/finestra_errore.png | sed "s|^|$cartella/|" | sort > "$lavoro/attesi.txt"
if ! diff "$lavoro/attesi.txt" "$lavoro/contenuto.txt"; then
  echo "zip: il contenuto non e' quello atteso (< atteso, > nello zip)"; exit 1
fi
# Every picture and link of the README is in the zip beside it.
for riferito in $(grep -o '](doc/[^)]*)' "$radice/README.md" | sed 's/^](//; s/)$//' | sort -u); do
  grep -qx "$cartella/$riferito" "$lavoro/contenuto.txt" ||
    { echo "zip: il README rimanda a $riferito, che manca"; exit 1; }
done
python3 -m zipfile -e "$zip" "$lavoro/aperto"
bash "$radice/tests/windows/importazioni.sh" "$objdump" \
  "$lavoro/aperto/$cartella/calvetra.exe" "$lavoro/aperto/$cartella/scenario.exe"
echo "zip: $cartella.zip con $(grep -c . "$lavoro/contenuto.txt") file, programmi senza DLL estranee"
