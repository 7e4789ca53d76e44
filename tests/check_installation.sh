#!/usr/bin/env bash
# check_installation.sh OBJDUMP BUILD_DIR|FOLDER FORMAT
# Installs the build into a fresh folder (or takes an installation folder
# as it is) and checks what an installation
# needs: morvelle.exe and velnorix.dll side by side, both of the expected
# architecture, the program a GUI-subsystem one that imports velnorix.dll by
# name, and neither importing a MinGW runtime DLL.
set -euo pipefail
objdump=$1 build=$2 format=$3
if [ -f "$build/CMakeCache.txt" ]; then
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  cmake --install "$build" --prefix "$dir" >/dev/null
else
  dir=$build  # an installation folder made already (an unpacked package)
fi
status=0
for f in morvelle.exe velnorix.dll; do
  if [ ! -f "$dir/$f" ]; then echo "missing $f"; status=1; continue; fi
  head=$("$objdump" -f "$dir/$f")
  # objdump names a linked image pei-*, an object pe-*: either spelling is taken.
  grep -q -E "file format pei?-${format#pe*-}\$" <<<"$head" || { echo "$f: not $format"; status=1; }
  imports=$("$objdump" -p "$dir/$f" | sed -n 's/^\s*DLL Name: //p')
  if grep -i -E 'libgcc|libstdc|libwinpthread|mingw' <<<"$imports"; then
    echo "$f imports a MinGW runtime DLL"; status=1
  fi
done
if [ -f "$dir/morvelle.exe" ]; then
  # Read whole first: grep -q stops early, and pipefail would count objdump's SIGPIPE.
  headers=$("$objdump" -p "$dir/morvelle.exe")
  grep -q -E 'Subsystem.*\(Windows GUI\)' <<<"$headers" || { echo "morvelle.exe is not a GUI program"; status=1; }
  grep -q -i 'DLL Name: velnorix.dll' <<<"$headers" || { echo "morvelle.exe does not import velnorix.dll"; status=1; }
fi
ls "$dir"
exit $status
