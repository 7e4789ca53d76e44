#!/usr/bin/env bash
# check_package.sh BUILD_DIR PACKAGE_NAME FORMAT OBJDUMP WINDRES VERSION LIBFOLDER
# Builds the ZIP package of BUILD_DIR with CPack into a fresh folder and
# checks it: one installation folder holding morvelle.exe and README.txt,
# with our velnorix.dll only in its subfolder LIBFOLDER; unpacked over an
# installation of the suite, the installation's own velnorix.dll stays; the
# installation checks of tests/check_installation.sh on a new installation
# made from it (architecture FORMAT, no MinGW runtime DLL imported); the
# version information of both programs and the program's manifest.
set -euo pipefail
build=$1 name=$2 format=$3 objdump=$4 windres=$5 version=$6 libfolder=$7
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; exit 1; }
zip="$work/out/$name.zip"
[ -f "$zip" ] || { echo "no package $name.zip; made: $(ls "$work/out")"; exit 1; }

status=0
contents=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
expected=$(printf '%s/%s\n' "$name" README.txt "$name" morvelle.exe "$name" "$libfolder/velnorix.dll" | sort)
if [ "$contents" != "$expected" ]; then
  echo "package contents differ:"; diff <(echo "$expected") <(echo "$contents") || true
  status=1
fi

unzip -q "$zip" -d "$work/unpacked"
folder="$work/unpacked/$name"

# Unpacked over an installation of the suite: its own library and programs
# stay byte for byte, the controller joins them.
suite="$work/suite"
mkdir -p "$suite"
for f in velnorix.dll talvex.exe brevold.exe captelle.exe; do echo "the installation's own $f" >"$suite/$f"; done
before=$(cd "$suite" && md5sum velnorix.dll talvex.exe brevold.exe captelle.exe)
cp -a "$folder/." "$suite/"
after=$(cd "$suite" && md5sum velnorix.dll talvex.exe brevold.exe captelle.exe)
[ "$before" = "$after" ] || { echo "unpacking over an installation replaced its files:"; diff <(echo "$before") <(echo "$after") || true; status=1; }
[ -f "$suite/morvelle.exe" ] || { echo "unpacking over an installation left out morvelle.exe"; status=1; }

# A new installation: our library copied up from its subfolder.
fresh="$work/fresh"
cp -a "$folder" "$fresh"
cp "$fresh/$libfolder/velnorix.dll" "$fresh/velnorix.dll"
bash "$here/../tests/check_installation.sh" "$objdump" "$fresh" "$format" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"; status=1; }

# Version information: windres reads the resource section back as a script.
for pair in "morvelle.exe:TALVEX Morvelle station controller" \
            "velnorix.dll:TALVEX Morvelle message texts"; do
  file=${pair%%:*} description=${pair#*:}
  [ -f "$fresh/$file" ] || continue
  rc=$("$windres" -i "$fresh/$file" -O rc 2>&1) || { echo "$file: resources unreadable: $rc"; status=1; continue; }
  for value in "\"ProductName\", \"TALVEX Morvelle\"" "\"FileVersion\", \"$version\"" \
               "\"ProductVersion\", \"$version\"" "\"FileDescription\", \"$description\"" \
               "\"OriginalFilename\", \"$file\""; do
    grep -qF "VALUE $value" <<<"$rc" || { echo "$file: no version value $value"; status=1; }
  done
  if [ "$file" = morvelle.exe ]; then
    # The manifest is resource 1 of type 24, stored as its bytes.
    grep -qE '^1 24' <<<"$rc" || { echo "morvelle.exe: no manifest resource"; status=1; }
    # Its bytes are the manifest's UTF-8 text. The i686 program, for the
    # suite's installations, declares no execution level, as the suite's
    # programs do not, so that Windows virtualises its writes as theirs;
    # the x86-64 one runs as invoker. Both keep their DPI awareness.
    level=$(grep -ao 'requestedExecutionLevel[^>]*' "$fresh/$file" | head -n 1 || true)
    if [ "$format" = pei-i386 ]; then
      [ -z "$level" ] || { echo "morvelle.exe (i686) declares an execution level: $level"; status=1; }
    else
      grep -q 'level="asInvoker"' <<<"$level" || { echo "morvelle.exe (x86-64): not asInvoker: $level"; status=1; }
    fi
    grep -aq 'PerMonitorV2, System</dpiAwareness>' "$fresh/$file" || { echo "morvelle.exe: no DPI awareness in its manifest"; status=1; }
  fi
done

readme="$folder/README.txt"
if [ -f "$readme" ]; then
  grep -q "$version" "$readme" || { echo "README.txt does not name version $version"; status=1; }
  if grep -q $'[^\r]$' "$readme"; then echo "README.txt has lines without CR LF"; status=1; fi
  grep -q "$libfolder folder" "$readme" || { echo "README.txt does not name the $libfolder folder"; status=1; }
fi

[ $status = 0 ] && echo "package $name.zip: $(tr '\n' ' ' <<<"$contents")"
exit $status
