#!/usr/bin/env bash
# calvetra's command line, one case a line: the arguments, the exit status,
# and the start of what it prints (stdout for 0, stderr otherwise). The run
# that compiles is left to the other tests: every case here ends before it.
set -uo pipefail
programma=$1
fallite=0
caso() {
  local stato_atteso=$1 atteso=$2
  shift 2
  local uscita errori stato
  uscita=$("$programma" "$@" 2>/tmp/calvetra_argomenti.$$)
  stato=$?
  errori=$(cat /tmp/calvetra_argomenti.$$)
  local letto=$uscita
  [ "$stato_atteso" = 0 ] || letto=$errori
  if [ "$stato" != "$stato_atteso" ] || [[ "$letto" != "$atteso"* ]]; then
    echo "calvetra $*: stato $stato, stdout <$uscita>, stderr <$errori>" >&2
    fallite=1
  fi
}
caso 0 "calvetra " --version
caso 0 "uso: calvetra" --help
caso 0 "uso: calvetra" -h
caso 0 "uso: calvetra" --version --help
caso 0 "uso: calvetra" --help --version
caso 2 "calvetra: argomento non accettato extra" extra
caso 2 "calvetra: argomento non accettato extra" --version extra
caso 2 "calvetra: argomento non accettato --verbose" --help --verbose
rm -f /tmp/calvetra_argomenti.$$
exit $fallite
