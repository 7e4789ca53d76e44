#!/usr/bin/env bash
# storage_host_test.sh WINE_RUN PREFIX PROBE_EXE
# Cases only the host can make: a full disk (a 64 KiB tmpfs) and files that
# even root cannot change (chattr +i). Needs root; a case the host cannot
# make prints SKIP, and exit code 77 says nothing could be made.
set -u
wine_run=$1 prefix=$2 probe=$3
if [ "$(id -u)" != 0 ]; then echo "SKIP: needs root for mount and chattr"; exit 77; fi
work=$(mktemp -d "${TMPDIR:-/tmp}/morvelle-storage.XXXXXX")
mnt=$work/disk
locked=()
cleanup() {
  for f in "${locked[@]}"; do chattr -i "$f" 2>/dev/null; done
  mountpoint -q "$mnt" && umount "$mnt"
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
made=0
check() {  # label, expected, actual
  if [ "$2" = "$3" ]; then echo "PASS: $1"; else echo "FAIL: $1: expected [$2], got [$3]"; failed=1; fi
}
same_bytes() {  # label, expected bytes, file: $(cat) would drop the final CR LF
  printf '%s' "$2" >"$work/expected"
  if cmp -s "$work/expected" "$3"; then echo "PASS: $1"; else
    echo "FAIL: $1: expected $(od -An -c "$work/expected"), got $(od -An -c "$3" 2>&1)"; failed=1; fi
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
probe() { "$wine_run" "$prefix" "$probe" "$@" | tr -d '\r'; }
old=$'Old 1\r\nOld 2\r\n'

mkdir -p "$mnt"
if mount -t tmpfs -o size=64k tmpfs "$mnt"; then
  made=1
  printf '%s' "$old" >"$mnt/lista.qmx"
  out=$(probe list "$(winpath "$mnt/lista.qmx")" 2000 98)  # about 200 KB
  check "full disk: error" "Stream write error" "$out"
  same_bytes "full disk: old list intact" "$old" "$mnt/lista.qmx"
  check "full disk: no temporary left" "no" "$([ -e "$mnt/lista.qmx.tmp" ] && echo yes || echo no)"
  out=$(probe list "$(winpath "$mnt/lista.qmx")" 3 5)
  check "after the full disk a small save works" "ok" "$out"
  same_bytes "small save content" $'nnnnn\r\nnnnnn\r\nnnnnn\r\n' "$mnt/lista.qmx"
  umount "$mnt"
else
  echo "SKIP: full disk: cannot mount a tmpfs"
fi

mkdir -p "$work/app"
printf '%s' "$old" >"$work/app/lista.qmx"
if chattr +i "$work/app/lista.qmx"; then
  locked+=("$work/app/lista.qmx")
  made=1
  out=$(probe list "$(winpath "$work/app/lista.qmx")" 1 3)
  case $out in "Cannot create file \"$(winpath "$work/app/lista.qmx")\". "?*) out=match ;; esac
  check "locked list: error" "match" "$out"
  same_bytes "locked list: old list intact" "$old" "$work/app/lista.qmx"
  check "locked list: no temporary left" "no" "$([ -e "$work/app/lista.qmx.tmp" ] && echo yes || echo no)"
else
  echo "SKIP: locked list: chattr +i refused"
fi

ini=$'[MAC]\r\nauto run=0\r\n'
printf '%s' "$ini" >"$work/app/radio.ini"
if chattr +i "$work/app/radio.ini"; then
  locked+=("$work/app/radio.ini")
  made=1
  out=$(probe flag "$(winpath "$work/app/radio.ini")" 1)
  check "locked radio.ini: error" "Unable to write to $(winpath "$work/app/radio.ini")" "$out"
  same_bytes "locked radio.ini: old value kept" "$ini" "$work/app/radio.ini"
else
  echo "SKIP: locked radio.ini: chattr +i refused"
fi

[ "$made" = 1 ] || exit 77
exit $failed
