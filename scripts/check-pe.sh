#!/usr/bin/env bash
# Checks a Windows binary for a bare Windows: it imports system DLLs only (the C and C++
# runtimes are linked in), and a module DLL exports CheckModule and InitModule under
# their plain names.
set -uo pipefail
file=$1
dump=$(objdump -p "$file") || { echo "check-pe: cannot read $file"; exit 1; }
status=0
allowed='^(kernel32|user32|gdi32|winmm|msvcrt|advapi32|shell32|ole32|comdlg32)\.dll$'
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then
    echo "check-pe: $file imports $dll, which a bare Windows does not have"
    status=1
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
if [[ $file == *.dll ]]; then
  for name in CheckModule InitModule; do
    if ! grep -qE "^\s*\[ *[0-9]+\] +$name$|\s$name$" <<<"$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump")"; then
      echo "check-pe: $file does not export $name under its plain name"
      status=1
    fi
  done
fi
[ $status -eq 0 ] && echo "check-pe: $file ok ($(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr '\n' ' '))"
exit $status
