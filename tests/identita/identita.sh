#!/usr/bin/env bash
# Byte-identity check of the compiler. The outputs of the compiler must not
# change when code moves: this compiles several hundred scenarios (generated
# ones, and every input of the compile fuzz corpus and regression folder),
# runs calvetra itself once, and compares one digest line per case with
# tests/identita/attese.txt. A line holds the exit status, the error codes
# reported, and a digest of each binary file ('-' when absent), of stdout and
# of stderr. Rerun with --aggiorna only for an intended change of output, and
# say in the commit why the outputs changed.
#
#   tests/identita/identita.sh BUILD_DIR [--aggiorna] [--scenari N] [--parte K/N]
#                              [--windows BUILD_WIN]
#
# --scenari N checks only the first N generated scenarios (the lines of the
# others are not compared); every generated scenario depends on the seed and
# its own number only, so the first N are the same in any run. --parte K/N
# runs only the K-th of N parts of the cases (every N-th case from the K-th,
# calvetra's own run in the first part) and compares only their lines: CTest
# runs the parts side by side. --windows compares the programs of a Windows
# cross-build (BUILD_WIN, run under Wine) with the same lines: the scenarios
# are still made by BUILD_DIR's generator.
set -euo pipefail
# Byte-wise text handling and file order, whatever the user's locale.
export LC_ALL=C

radice=$(cd "$(dirname "$0")/../.." && pwd)
attese="$radice/tests/identita/attese.txt"
seme=2718
tutti=300

if [ $# -lt 1 ]; then
  echo "uso: identita.sh BUILD_DIR [--aggiorna] [--scenari N] [--parte K/N] [--windows BUILD_WIN]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
aggiorna=0
# The programs compared, and what runs them.
esegui=()
programmi=$build
estensione=""
quanti=$tutti
parte=1
parti=1
while [ $# -gt 0 ]; do
  case "$1" in
    --aggiorna) aggiorna=1 ;;
    --scenari) quanti=$2; shift ;;
    --parte)
      parte=${2%/*}; parti=${2#*/}; shift
      if ! [[ $parte =~ ^[0-9]+$ && $parti =~ ^[0-9]+$ ]] || [ "$parte" -lt 1 ] ||
         [ "$parte" -gt "$parti" ]; then
        echo "identita.sh: --parte vuole K/N con 1 <= K <= N" >&2
        exit 2
      fi ;;
    --windows)
      programmi=$(cd "$2" && pwd); estensione=.exe; esegui=("$radice/cmake/wine.sh"); shift ;;
    *) echo "identita.sh: argomento sconosciuto $1" >&2; exit 2 ;;
  esac
  shift
done
if [ $aggiorna = 1 ] && [ -n "$estensione" ]; then
  echo "identita.sh: --aggiorna riscrive le righe dalla build di questo sistema, non da --windows" >&2
  exit 2
fi
if [ $aggiorna = 1 ] && { [ "$quanti" != $tutti ] || [ "$parti" != 1 ]; }; then
  echo "identita.sh: --aggiorna riscrive tutte le righe: niente --scenari ne' --parte" >&2
  exit 2
fi

# The cases of this part: the n-th case met (from 0) belongs to part n % N + 1.
caso=-1
mia() {
  caso=$((caso + 1))
  [ $((caso % parti + 1)) = "$parte" ]
}

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
risultati="$lavoro/risultati.txt"

binari=("Calvetra_linea.dat" "Calvetra_2718 - 5340.sim" "Calvetra_2718 - 5340.dat")

# Messages may name the directories of this run: they become fixed words.
normalizza() {
  sed -i -e "s|$lavoro|LAVORO|g" -e "s|$build|BUILD|g" -e "s|$programmi|BUILD|g" "$@"
}

# Formats one line from the sha256sum output of the files that exist (the
# first 16 hex digits of each): `etichette` names them in order, '-' for a
# file that does not exist; the error codes come from the stderr file `err`.
riga_awk='
  { impronta[NR] = substr($1, 1, 16) }
  END {
    codici = ""
    while ((getline r < err) > 0) {
      # An error as reported, not a warning that names one.
      while (match(r, /(errore [0-9]+ \(posizione|Errore n\. [0-9]+)/)) {
        m = substr(r, RSTART, RLENGTH)
        r = substr(r, RSTART + RLENGTH)
        match(m, /[0-9]+/)
        codici = codici (codici == "" ? "" : ",") substr(m, RSTART, RLENGTH)
      }
    }
    riga = nome " stato=" stato " codici=" (codici == "" ? "-" : codici)
    k = split(etichette, e, " ")
    j = 0
    for (i = 1; i <= k; ++i) {
      split(e[i], coppia, "=")
      riga = riga " " coppia[1] "=" (coppia[2] == "1" ? impronta[++j] : "-")
    }
    print riga
  }'

# One run of `scenario compile` in a scenario directory, as one line.
compila() {
  local nome=$1 cartella=$2
  shift 2
  rm -f "${binari[@]/#/$cartella/}"
  local stato=0
  (cd "$cartella" &&
    exec "${esegui[@]}" "$programmi/scenario$estensione" compile "$@" . > "$lavoro/out" 2> "$lavoro/err") ||
    stato=$?
  normalizza "$lavoro/out" "$lavoro/err"
  local presenti=() etichette="" i
  local nomi=(geometria tabella celle)
  for i in 0 1 2; do
    if [ -f "$cartella/${binari[$i]}" ]; then
      presenti+=("$cartella/${binari[$i]}")
      etichette+="${nomi[$i]}=1 "
    else
      etichette+="${nomi[$i]}=0 "
    fi
  done
  sha256sum "${presenti[@]}" "$lavoro/out" "$lavoro/err" |
    awk -v nome="$nome" -v stato="$stato" -v err="$lavoro/err" \
        -v etichette="${etichette}stdout=1 stderr=1" "$riga_awk" >> "$risultati"
}

"$build/genera_scenari" "$seme" "$quanti" "$lavoro/gen"
for cartella in "$lavoro"/gen/*/; do
  mia || continue
  numero=$(basename "$cartella")
  compila "gen/$numero" "$cartella"
  # A third of them also without geometry, the other mode of the compiler.
  if [ $((10#$numero % 3)) = 0 ]; then
    compila "gen/$numero-senza-geometria" "$cartella" --senza-geometria
  fi
done

for gruppo in corpus regressioni; do
  for input in "$radice/fuzz/$gruppo/compila"/*; do
    [ -f "$input" ] || continue
    mia || continue
    nome="$gruppo/$(basename "$input")"
    "$build/genera_scenari" --da-input "$input" "$lavoro/$nome"
    compila "$nome" "$lavoro/$nome"
    compila "$nome-senza-geometria" "$lavoro/$nome" --senza-geometria
  done
done

# calvetra itself, alone in a directory: every file it leaves there.
if [ "$parte" = 1 ]; then
mkdir "$lavoro/calvetra"
cp "$programmi/calvetra$estensione" "$lavoro/calvetra/"
stato=0
(cd "$lavoro/calvetra" && exec "${esegui[@]}" "./calvetra$estensione" > "$lavoro/out" 2> "$lavoro/err") ||
  stato=$?
rm "$lavoro/calvetra/calvetra$estensione"
normalizza "$lavoro/out" "$lavoro/err"
sha256sum "$lavoro/out" "$lavoro/err" |
  awk -v nome=calvetra -v stato="$stato" -v err="$lavoro/err" \
      -v etichette="stdout=1 stderr=1" "$riga_awk" >> "$risultati"
lasciati=("$lavoro/calvetra"/*)
if [ -e "${lasciati[0]}" ]; then
  (cd "$lavoro/calvetra" && sha256sum -- *) |
    awk '{ impronta = substr($1, 1, 16); sub(/^[^ ]+  /, ""); print "calvetra/" impronta " " $0 }' \
    >> "$risultati"
fi
fi

if [ $aggiorna = 1 ]; then
  {
    echo "# Digests of the compiler's outputs: tests/identita/identita.sh BUILD_DIR --aggiorna"
    cat "$risultati"
  } > "$attese"
  echo "identita: $(wc -l < "$risultati") righe scritte in tests/identita/attese.txt"
  exit 0
fi

# The expected lines of the cases run here: with --scenari N, the generated
# scenarios from N on are left out; with --parte, the cases of other parts
# (a case's lines are those named after it, with or without geometry, and
# every line of calvetra's run goes with it).
confronto="$lavoro/attese.txt"
nome_caso='{ nome = $1; sub(/-senza-geometria$/, "", nome); if (nome ~ /^calvetra/) nome = "calvetra" }'
awk "$nome_caso"' { print nome }' "$risultati" | sort -u > "$lavoro/casi"
grep -v '^#' "$attese" | awk -v n="$quanti" -v tutte="$((parti == 1))" -v casi="$lavoro/casi" '
  BEGIN { while ((getline c < casi) > 0) mio[c] = 1 }
  '"$nome_caso"'
  $1 ~ /^gen\// { split($1, parti, /[\/-]/); if (parti[2] + 0 >= n) next }
  tutte || mio[nome] { print }' > "$confronto"
if ! diff -u --label attese.txt --label ottenute "$confronto" "$risultati"; then
  echo "identita: le uscite del compilatore sono cambiate (righe - attese, + ottenute)." >&2
  echo "identita: se il cambiamento e' voluto (o e' un nuovo input del fuzzer):" >&2
  echo "identita:   tests/identita/identita.sh BUILD_DIR --aggiorna" >&2
  exit 1
fi
echo "identita: $(wc -l < "$risultati") righe identiche"
