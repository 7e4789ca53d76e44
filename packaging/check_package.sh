#!/usr/bin/env bash
# check_package.sh BUILD_DIR PACKAGE_NAME FORMAT OBJDUMP WINDRES VERSION
# Builds the ZIP package of BUILD_DIR with CPack into a fresh folder and
# checks it: exactly one installation folder holding morvelle.exe,
# velnorix.dll and README.txt; the installation checks of
# tests/check_installation.sh on the unpacked folder (architecture FORMAT,
# no MinGW runtime DLL imported); the version information of both programs
# and the program's manifest.
set -euo pipefail
build=$1 name=$2 format=$3 objdump=$4 windres=$5 version=$6
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; exit 1; }
zip="$work/out/$name.zip"
[ -f "$zip" ] || { echo "no package $name.zip; made: $(ls "$work/out")"; exit 1; }

status=0
contents=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
expected=$(printf '%s/%s\n' "$name" README.txt "$name" morvelle.exe "$name" velnorix.dll | sort)
if [ "$contents" != "$expected" ]; then
  echo "package contents differ:"; diff <(echo "$expected") <(echo "$contents") || true
  status=1
fi

unzip -q "$zip" -d "$work/unpacked"
folder="$work/unpacked/$name"
bash "$here/../tests/check_installation.sh" "$objdump" "$folder" "$format" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"; status=1; }

# Version information: windres reads the resource section back as a script.
for pair in "morvelle.exe:TALVEX Morvelle station controller" \
            "velnorix.dll:TALVEX Morvelle message texts"; do
  file=${pair%%:*} description=${pair#*:}
  [ -f "$folder/$file" ] || continue
  rc=$("$windres" -i "$folder/$file" -O rc 2>&1) || { echo "$file: resources unreadable: $rc"; status=1; continue; }
  for value in "\"ProductName\", \"TALVEX Morvelle\"" "\"FileVersion\", \"$version\"" \
               "\"ProductVersion\", \"$version\"" "\"FileDescription\", \"$description\"" \
               "\"OriginalFilename\", \"$file\""; do
    grep -qF "VALUE $value" <<<"$rc" || { echo "$file: no version value $value"; status=1; }
  done
  if [ "$file" = morvelle.exe ]; then
    # The manifest is resource 1 of type 24, stored as its bytes.
    grep -qE '^1 24' <<<"$rc" || { echo "morvelle.exe: no manifest resource"; status=1; }
  fi
done

readme="$folder/README.txt"
if [ -f "$readme" ]; then
  grep -q "$version" "$readme" || { echo "README.txt does not name version $version"; status=1; }
  if grep -q $'[^\r]$' "$readme"; then echo "README.txt has lines without CR LF"; status=1; fi
fi

[ $status = 0 ] && echo "package $name.zip: $(tr '\n' ' ' <<<"$contents")"
exit $status
