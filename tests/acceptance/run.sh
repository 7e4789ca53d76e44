#!/usr/bin/env bash
# The operator acceptance suite. Lays out fresh installations of the built
# controller, starts morvelle.exe under Wine, works its window through the
# driver as an operator would, breaks the world around it from the Linux side
# (read-only and held files, a full disk, a kill in the middle of a save,
# missing libraries and programs, bad pictures) and checks the window, the
# files and what the stand-in sibling programs recorded.
#
# run.sh --build DIR --standins DIR --driver EXE --order-sibling EXE
#        --maker-library DLL --wine-run SCRIPT --work DIR [--only REGEX]
#        [--label TEXT]
#
# DLL is a message-text library shaped like an installation's own
# velnorix.dll, with other texts than ours. TEXT names the build in the
# summary.
#
# Every Windows path the program sees lies in a sandbox: the prefix's drive
# Z: is the folder WORK/root instead of "/", so a removal that went wrong can
# reach nothing outside it. Exits non-zero when any case failed.
#
# This file sets up and reports; the shared pieces are in lib/ and the cases
# in cases_operator.sh, cases_faults.sh and cases_bad_input.sh.
set -u

ONLY= LABEL=
while [ $# -gt 0 ]; do
  case $1 in
    --build) BUILD=$2 ;;
    --standins) STANDINS=$2 ;;
    --driver) DRIVER_EXE=$2 ;;
    --order-sibling) ORDER_EXE=$2 ;;
    --maker-library) MAKER_DLL=$2 ;;
    --wine-run) WINE_RUN=$2 ;;
    --work) WORK=$2 ;;
    --only) ONLY=$2 ;;
    --label) LABEL=$2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
export LC_ALL=C.UTF-8

WORK=$(realpath -m "$WORK")
WINE_RUN=$(realpath "$WINE_RUN") BUILD=$(realpath "$BUILD") STANDINS=$(realpath "$STANDINS")
DRIVER_EXE=$(realpath "$DRIVER_EXE") ORDER_EXE=$(realpath "$ORDER_EXE") MAKER_DLL=$(realpath "$MAKER_DLL")
PFX=$WORK/prefix
ROOT=$WORK/root            # drive Z: of the prefix
TEMPLATE=$ROOT/template    # one installation, copied for every case
LOGS=$WORK/logs
BIN=$ROOT/bin
mkdir -p "$ROOT" "$LOGS" "$BIN"

HERE=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
. "$HERE/lib/sandbox.sh"
. "$HERE/lib/driver.sh"
. "$HERE/lib/operator.sh"
. "$HERE/lib/checks.sh"
. "$HERE/lib/case.sh"
. "$HERE/cases_operator.sh"
. "$HERE/cases_faults.sh"
. "$HERE/cases_bad_input.sh"

trap cleanup EXIT
trap 'exit 130' INT TERM

# --- main ---------------------------------------------------------------------------

log "acceptance: building the template installation"
rm -rf "$TEMPLATE" "$ROOT/cases"
mkdir -p "$TEMPLATE" "$ROOT/cases"
cmake --install "$BUILD" --prefix "$TEMPLATE" >"$LOGS/install.log" 2>&1 || { echo "install failed"; exit 1; }
for p in talvex brevold captelle; do cp "$STANDINS/$p.exe" "$TEMPLATE/" || exit 1; done
cp "$DRIVER_EXE" "$BIN/driver.exe" && cp "$ORDER_EXE" "$BIN/order_sibling.exe" || exit 1
# The prefix is made on first use, by a harmless driver run, and only then is
# its drive Z: turned into the sandbox: Wine's first-time set-up spins for
# ever in a prefix whose device folder already exists.
(cd "$ROOT" && "$WINE_RUN" "$PFX" "$BIN/driver.exe" count) >/dev/null 2>&1
WINEPREFIX="$PFX" /usr/lib/wine/wineserver -k >/dev/null 2>&1
sandbox_drive
echo sandbox >"$ROOT/sandbox-marker"
kill_ours

T103= T104= T105= M103= M104= M105=
cp "$MAKER_DLL" "$ROOT/maker-velnorix.dll" || exit 1
for n in 103 104 105; do
  drv text $n "$(winpath "$TEMPLATE")\\velnorix.dll" || { echo "cannot read text $n"; exit 1; }
  printf -v "T$n" '%s' "$(out "text $n")"
  drv text $n "$(winpath "$ROOT")\\maker-velnorix.dll" || { echo "cannot read the maker's text $n"; exit 1; }
  printf -v "M$n" '%s' "$(out "text $n")"
done
# The program's own texts, from its string table (ids of core/own_text_ids.h).
drv own-text 1001 "$(winpath "$TEMPLATE")\\morvelle.exe" || { echo "cannot read the program's own texts"; exit 1; }
OWN_KEPT=$(out "own-text 1001")
drv own-text 1002 "$(winpath "$TEMPLATE")\\morvelle.exe" || { echo "cannot read the program's own texts"; exit 1; }
OWN_NOT_LOADED=$(out "own-text 1002")

for c in first_start add_remove duplicates run_buttons hints siblings_missing autorun settings_close \
  second_start concurrency readonly_ini list_held disk_full kill_mid_save huge_line high_bytes \
  long_name dangerous_names pictures library_missing folder_path maker_library operator_keys \
  held_enter type_again shift_start; do
  wanted "$c" && "case_$c"
done

# The summary goes to the output and to WORK/summary.txt, for the test script.
{
  echo "================ acceptance summary${LABEL:+, $LABEL} ================"
  printf '%-28s %s\n' "cases run" "$CASES_RUN" "cases failed" "$CASES_FAILED" \
    "faults injected" "$FAULTS" "bad inputs tried" "$BAD_INPUTS" "data lost" "${#LOST[@]}"
  for f in "${FAILED_CASES[@]}"; do echo "  failed: $f"; done
  for l in "${LOST[@]}"; do echo "  lost: $l"; done
  echo "===================================================="
} >"$WORK/summary.txt"
echo
cat "$WORK/summary.txt"
[ "$CASES_FAILED" -eq 0 ]
