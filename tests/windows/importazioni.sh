#!/usr/bin/env bash
# The Windows programs need nothing installed: every DLL their import table
# names is one that every Windows 10 has. A MinGW runtime DLL (libstdc++,
# libgcc, libwinpthread) named here would make them fail to start on a
# machine without MinGW.
#   tests/windows/importazioni.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
objdump=$1
shift
sistema='^(kernel32|user32|gdi32|advapi32|shell32|ole32|bcrypt|ws2_32|mswsock|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
falliti=0
for programma in "$@"; do
  nomi=$("$objdump" -p "$programma" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [ -z "$nomi" ]; then
    echo "$programma: nessuna tabella delle importazioni letta"; falliti=$((falliti + 1)); continue
  fi
  estranei=$(echo "$nomi" | tr 'A-Z' 'a-z' | grep -Ev "$sistema" || true)
  if [ -n "$estranei" ]; then
    echo "$programma: DLL che non sono del sistema: $(echo $estranei)"; falliti=$((falliti + 1))
  else
    echo "$(basename "$programma"): $(echo $nomi)"
  fi
done
exit $((falliti > 0))
