#!/usr/bin/env bash
# check_exports.sh OBJDUMP DLL
# The library must export helpTXT under exactly that name and nothing else:
# no stdcall decoration (helpTXT@4, _helpTXT@4), no stray C++ symbols.
set -u
objdump=$1 dll=$2
table=$("$objdump" -p "$dll") || { echo "objdump failed on $dll"; exit 1; }
names=$(printf '%s\n' "$table" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
if [ "$names" != "helpTXT" ]; then
  echo "exports of $dll are not exactly helpTXT:"
  printf '%s\n' "${names:-<none>}"
  exit 1
fi
echo "$dll exports helpTXT only"
