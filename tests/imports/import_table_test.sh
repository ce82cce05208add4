#!/usr/bin/env bash
# The installer imports statically only DLLs on the system's KnownDLLs list
# (loaded from System32 whatever the folder it runs from); everything else
# must be delay-loaded after the entry restricted the DLL search.
#   import_table_test.sh INSTALLER.exe OBJDUMP
set -euo pipefail
exe="${1:?usage: import_table_test.sh INSTALLER.exe OBJDUMP}"
objdump="${2:?usage: import_table_test.sh INSTALLER.exe OBJDUMP}"
known="advapi32 clbcatq combase comdlg32 coml2 gdi32 gdiplus imagehlp imm32 kernel32
msctf msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32
shlwapi user32 wldap32 ws2_32"

imports="$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sed 's/\.dll$//' | sort -u)"
[ -n "$imports" ] || { echo "FAIL: no import table read from $exe"; exit 1; }
bad=0
for dll in $imports; do
  if ! grep -qw "$dll" <<<"$known"; then
    echo "FAIL: $dll.dll is imported statically but is not a KnownDLL"
    bad=1
  fi
done
[ "$bad" -eq 0 ] || exit 1
echo "ok: static imports are KnownDLLs only: $(echo $imports)"
