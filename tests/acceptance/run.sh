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
#
# DLL is a message-text library shaped like an installation's own
# velnorix.dll, with other texts than ours.
#
# Every Windows path the program sees lies in a sandbox: the prefix's drive
# Z: is the folder WORK/root instead of "/", so a removal that went wrong can
# reach nothing outside it. Exits non-zero when any case failed.
set -u

ONLY=
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

CASES_RUN=0 CASES_FAILED=0 FAULTS=0 BAD_INPUTS=0
FAILED_CASES=() LOST=()
IMMUTABLE=() MOUNTS=()

cleanup() {
  local f m
  [ -n "${XDISPLAY:-}" ] && DISPLAY=$XDISPLAY xdotool keyup shift 2>/dev/null
  for f in "${IMMUTABLE[@]}"; do chattr -i "$f" 2>/dev/null; done
  for m in "${MOUNTS[@]}"; do umount -l "$m" 2>/dev/null; done
  kill_ours
}
trap cleanup EXIT
trap 'exit 130' INT TERM

log() { echo "$*"; }

# --- sandboxed prefix -------------------------------------------------------

sandbox_drive() {
  [ "$(readlink "$PFX/dosdevices/z:" 2>/dev/null)" = "$ROOT" ] && return 0
  mkdir -p "$PFX/dosdevices"
  ln -sfn "$ROOT" "$PFX/dosdevices/z:"
}

# winpath UNIX_PATH: the path as the program sees it.
winpath() {
  local rel=${1#"$ROOT"}
  rel=${rel//\//\\}
  echo "Z:${rel:-\\}"
}

# esc TEXT: the driver's escaped form of TEXT's bytes.
esc() {
  printf '%s' "$1" | od -An -v -tu1 |
    LC_ALL=C awk '{for(i=1;i<=NF;i++){c=$i+0; if(c<=32||c>126||c==37) printf "%%%02X",c; else printf "%c",c}}'
}

# --- running programs ---------------------------------------------------------

OUT=
# drv1 ARGS...: one driver run (commands joined by --); its output is added
# to OUT and to the log.
drv1() {
  local o rc
  o=$(cd "$ROOT" && "$WINE_RUN" "$PFX" "$BIN/driver.exe" "$@" 2>&1)
  rc=$?
  o=${o//$'\r'/}
  [ -n "$o" ] && printf '%s\n' "$o" | sed -n '1,60p' | sed 's/^/    | /' | cut -c1-300
  OUT+=${OUT:+$'\n'}$o
  return $rc
}

# The X display the prefix's desktop is on, and where its desktop window
# sits on it: Windows screen coordinates are relative to that window.
XDISPLAY= XLEFT=0 XTOP=0
find_desktop() {
  XDISPLAY=${DISPLAY:-:$(cat "$PFX.display" 2>/dev/null)}
  local w g
  w=$(DISPLAY=$XDISPLAY xdotool search --name 'Wine desktop' 2>/dev/null | head -1)
  [ -n "$w" ] || return 0
  g=$(DISPLAY=$XDISPLAY xdotool getwindowgeometry "$w" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p')
  [ -n "$g" ] && read -r XLEFT XTOP <<<"$g"
  return 0
}

# xclick X Y COUNT: a real click (or a double click) at Windows screen
# coordinates, through the X server as a mouse would make it.
xclick() {
  [ -n "$XDISPLAY" ] || find_desktop
  DISPLAY=$XDISPLAY xdotool mousemove --sync $(($1 + XLEFT)) $(($2 + XTOP)) sleep 0.1 \
    click --repeat "$3" --delay 60 1
}

# xmove X Y: the pointer to Windows screen coordinates, no button pressed.
xmove() {
  [ -n "$XDISPLAY" ] || find_desktop
  DISPLAY=$XDISPLAY xdotool mousemove --sync $(($1 + XLEFT)) $(($2 + XTOP))
}

# mouse COMMAND ARGS...: one pointer step of a drv chain.
mouse() {
  local p
  case $1 in
    hover)
      drv1 point "$2" || return
      xmove $(printf '%s\n' "$OUT" | sed -n 's/^point //p' | tail -1)
      return
      ;;
    click) drv1 point "$2" || return ;;
    click-row | dblclick-row) drv1 point-row "$2" || return ;;
    answer) drv1 point-button "$2" || return ;;
  esac
  p=$(printf '%s\n' "$OUT" | sed -n 's/^point //p' | tail -1)
  xclick $p "$([ "$1" = dblclick-row ] && echo 2 || echo 1)" || return
  if [ "$1" = answer ]; then
    drv1 dialog-gone "$(printf '%s\n' "$OUT" | sed -n 's/^dialog-handle //p' | tail -1)" 10000 ||
      { echo "    | the dialog stayed after $2"; return 1; }
  else
    drv1 settle
  fi
}

# drv COMMAND ARGS... [-- COMMAND ARGS...]...: runs the commands in order,
# stopping at the first that fails; their output in OUT. Runs of driver
# commands go to one driver run, clicks go through the X server.
drv() {
  OUT=
  local cmds=() seg=() a
  flush() {
    [ ${#cmds[@]} -eq 0 ] && return 0
    local c=("${cmds[@]}")
    cmds=()
    drv1 "${c[@]}"
  }
  step() {
    [ ${#seg[@]} -eq 0 ] && return 0
    case ${seg[0]} in
      hover | click | click-row | dblclick-row | answer) flush && mouse "${seg[@]}" ;;
      *) cmds+=(${cmds[0]+--} "${seg[@]}") ;;
    esac
  }
  for a in "$@"; do
    if [ "$a" = -- ]; then
      step || return 1
      seg=()
    else
      seg+=("$a")
    fi
  done
  step && flush
}

# out KEY: the rest of the first line of OUT that begins with KEY.
out() { printf '%s\n' "$OUT" | sed -n "s/^$1 //p" | head -1; }

CTL=
# start_ctl [INSTALLATION]: starts its morvelle.exe in the background.
start_ctl() {
  local inst=${1:-$INST}
  (cd "$ROOT" && exec "$WINE_RUN" "$PFX" "$inst/morvelle.exe") >>"$LOGS/$CASE.ctl.out" 2>&1 &
  CTL=$!
}

# wait_pid PID SECONDS: true when the process ended in time; its status in RC.
RC=
wait_pid() {
  local pid=$1 n=$(($2 * 20))
  while kill -0 "$pid" 2>/dev/null && [ $n -gt 0 ]; do sleep 0.05; n=$((n - 1)); done
  kill -0 "$pid" 2>/dev/null && return 1
  wait "$pid" 2>/dev/null
  RC=$?
  return 0
}

# Linux processes of Windows programs running from this suite's sandbox.
our_pids() { pgrep -f "^$ROOT/" 2>/dev/null; }
ctl_pids() { pgrep -f "^${1:-$INST}/morvelle.exe" 2>/dev/null; }

kill_ours() {
  local p
  for p in $(our_pids); do kill -9 "$p" 2>/dev/null; done
}

# close_ctl: closes the window like a user and waits for the program to end.
close_ctl() {
  drv close || return 1
  wait_pid "$CTL" 30
}

# --- checks -------------------------------------------------------------------

CASE= INST= CASE_FAILS=0
fail() {
  log "  FAIL [$CASE] $*"
  CASE_FAILS=$((CASE_FAILS + 1))
}
pass() { log "  ok   $*"; }
check() {
  local desc=$1
  shift
  if "$@"; then pass "$desc"; else fail "$desc"; fi
}
eq() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', want '$3'"; fi
}
lost() {
  LOST+=("$CASE: $*")
  fail "LOST: $*"
}

# Byte-for-byte comparison of a file with a text made by printf.
file_is() {
  local desc=$1 file=$2 want=$3
  if cmp -s "$file" <(printf '%s' "$want"); then
    pass "$desc"
  else
    fail "$desc: $(od -An -c "$file" 2>&1 | head -3 | tr -s ' ' | tr '\n' ' ')"
  fi
}

# Each case's view of its installation: names, kinds, sizes and contents.
snapshot() {
  (cd "$1" && find . -path ./standins.log -prune -o -path ./order.log -prune -o \
    -printf '%p %y %s\n' | LC_ALL=C sort && find . -type f ! -name standins.log ! -name order.log \
    -exec md5sum {} + | LC_ALL=C sort)
}

# params PROGRAM: the parameters each start of PROGRAM was given, in order.
params() {
  [ -f "$INST/standins.log" ] || return 0
  awk -F'|' -v p="$1" '$1 == p { print $2 }' "$INST/standins.log"
}
log_lines() { [ -f "$INST/standins.log" ] && wc -l <"$INST/standins.log" || echo 0; }

# wait_log N: waits (at most 20 s) until the stand-ins wrote N lines.
wait_log() {
  local n=400
  while [ "$(log_lines)" -lt "$1" ] && [ $n -gt 0 ]; do sleep 0.05; n=$((n - 1)); done
  [ "$(log_lines)" -ge "$1" ]
}

# The three dialogs as the operator sees them.
#   msgbox DESC TEXT   the message box with TEXT (escaped), answered with OK
#   errbox DESC PREFIX the error box whose text starts with PREFIX, answered OK
#   confirm DESC TEXT  the confirmation dialog, left open
dialog_common() {
  local title=$1
  if ! drv wait-dialog "$title" 15000; then
    fail "$DESC: no dialog \"$title\""
    return 1
  fi
  DTEXT=$(out dialog-text)
  DICONS=$(out dialog-icons)
  DBUTTONS=$(printf '%s\n' "$OUT" | sed -n 's/^dialog-button //p' | tr '\n' ',')
  local r
  r=$(out dialog-rect)
  set -- $r
  local cx=$((($1 + $3) / 2)) cy=$((($2 + $4) / 2)) sx=$(($6 / 2)) sy=$(($7 / 2))
  if [ $((cx - sx)) -gt 3 ] || [ $((sx - cx)) -gt 3 ] || [ $((cy - sy)) -gt 3 ] || [ $((sy - cy)) -gt 3 ]; then
    CENTRED=0
  else
    CENTRED=1
  fi
  return 0
}

msgbox() {
  DESC=$1
  dialog_common CONTROLLER || return 1
  eq "$DESC: message text" "$DTEXT" "$2"
  eq "$DESC: message box has no icon and one OK button" "$DICONS|$DBUTTONS" "0|OK default,"
  eq "$DESC: message box centred" "$CENTRED" 1
  drv answer OK || fail "$DESC: OK did not close the message box"
}

errbox() {
  DESC=$1
  dialog_common CONTROLLER || return 1
  local want
  want=$(esc "$2")
  case $DTEXT in
    "$want"*) pass "$DESC: error text '$DTEXT'" ;;
    *) fail "$DESC: error text '$DTEXT', want it to begin '$want'" ;;
  esac
  eq "$DESC: error box has the stop icon and one OK button" "$DICONS|$DBUTTONS" "1|OK default,"
  drv answer OK || fail "$DESC: OK did not close the error box"
}

confirm() {
  DESC=$1
  dialog_common Confirm || return 1
  eq "$DESC: confirmation text" "$DTEXT" "$2"
  eq "$DESC: question icon, Yes default, No" "$DICONS|$DBUTTONS" "1|&Yes default,&No,"
  eq "$DESC: confirmation centred" "$CENTRED" 1
}

# no_dialog DESC: nothing is shown over the window.
no_dialog() {
  drv get dialog
  eq "$1" "$(out dialog)" none
}

# state_is DESC ROWS HIGHLIGHT NAME AUTORUN [ROW...]: the window shows this.
state_is() {
  local desc=$1 rows=$2 hl=$3 name=$4 ar=$5
  shift 5
  drv wait rows "$rows" 5000 || true
  drv state 40 || { fail "$desc: no state"; return 1; }
  local got want i=0 r
  got="$(out rows)|$(out highlight)|$(out name)|$(out autorun)"
  want="$rows|$hl|$name|$ar"
  for r in "$@"; do
    got+="|$(printf '%s\n' "$OUT" | sed -n "s/^row $i //p")"
    want+="|$r"
    i=$((i + 1))
  done
  eq "$desc" "$got" "$want"
}

# --- cases --------------------------------------------------------------------

# case_begin NAME [FOLDER]: a fresh installation from the template.
case_begin() {
  CASE=$1
  INST=${2:-$ROOT/cases/$1}
  CASE_FAILS=0
  CASES_RUN=$((CASES_RUN + 1))
  log "=== $CASE"
  sandbox_drive
  rm -rf "$INST"
  mkdir -p "$INST"
  cp -a "$TEMPLATE/." "$INST/"
  : >"$LOGS/$CASE.ctl.out"
}

case_end() {
  local p
  if [ -n "$CTL" ] && kill -0 "$CTL" 2>/dev/null; then
    fail "the controller was still running at the end of the case"
    kill_ours
    wait_pid "$CTL" 10
  fi
  CTL=
  sleep 0.1
  p=$(our_pids)
  if [ -n "$p" ]; then
    fail "programs left running: $(ps -o args= -p "$(echo $p | tr ' ' ',')" | tr '\n' ';')"
    kill_ours
  fi
  if [ "$CASE_FAILS" -gt 0 ]; then
    CASES_FAILED=$((CASES_FAILED + 1))
    FAILED_CASES+=("$CASE ($CASE_FAILS)")
    log "--- $CASE: FAILED ($CASE_FAILS)"
  else
    log "--- $CASE: passed"
  fi
}

wanted() { [ -z "$ONLY" ] || [[ $1 =~ $ONLY ]]; }

# started [SECONDS]: the controller's window is up.
started() {
  if ! drv wait-window "$((${1:-30} * 1000))"; then
    fail "the window did not open"
    return 1
  fi
}

# Fresh start of a case's controller; false when its window did not open.
run_ctl() {
  start_ctl
  started "${1:-30}"
}

finish() {
  if close_ctl; then
    pass "closed and ended"
  else
    fail "closing did not end the program"
  fi
}

CRLF=$'\r\n'

case_first_start() {
  case_begin first_start
  find "$INST" -mindepth 1 -maxdepth 1 ! -name morvelle.exe ! -name velnorix.dll -exec rm -rf {} +
  check "the installation holds only the program and the library" \
    test "$(ls "$INST" | tr '\n' ' ')" = "morvelle.exe velnorix.dll "
  run_ctl || return
  drv state
  eq "caption, client area" "$(out window | awk '{print $5, $6, $7}')" "client 308 164"
  set -- $(out window)
  local cx=$(($1 + $3 / 2)) cy=$(($2 + $4 / 2))
  check "window centred on the 1024x768 desktop ($cx,$cy)" \
    test $((cx > 509 && cx < 515 && cy > 381 && cy < 387)) = 1
  state_is "empty list, nothing highlighted, empty name, auto-run clear" 0 -1 "" 0
  no_dialog "no message at the first start"
  # Tab runs list, name field, check box.
  drv click-row 0 || drv click lista
  drv wait focus lista 3000 -- key TAB -- wait focus msname 3000 -- key TAB -- wait focus autorun 3000
  check "Tab runs list, name field, check box" test $? = 0
  finish
  check "nothing but radio.ini was written" test "$(ls "$INST" | tr '\n' ' ')" = "morvelle.exe radio.ini velnorix.dll "
  file_is "radio.ini holds the flag off" "$INST/radio.ini" "[MAC]${CRLF}auto run=0${CRLF}"
  case_end
}

# A new start in the same folder runs normally after the first has closed.
case_add_remove() {
  case_begin add_select_remove
  mkdir -p "$ROOT/trash-check"
  run_ctl || return
  # Blank names are refused.
  drv click syn
  msgbox "add with an empty name" "$T104"
  drv click msname -- type "%20%20%20" -- wait name "%20%20%20" 3000
  drv click syn
  msgbox "add with a name of spaces" "$T104"
  state_is "nothing added" 0 -1 "%20%20%20" 0
  check "no list file written by a refused add" test ! -e "$INST/lista.qmx"
  # Add Rock right after start-up: highlighted, but not the current station.
  drv click msname -- key CONTROL+a -- key BACK -- key BACK -- key BACK -- type Rock -- wait name Rock 3000 -- click syn
  state_is "Rock added and highlighted, the name field emptied" 1 0 "" 0 Rock
  file_is "list saved" "$INST/lista.qmx" "Rock${CRLF}"
  check "folders Rock, Rock\\history, Rock\\data" test -d "$INST/Rock/history" -a -d "$INST/Rock/data"
  drv click SpeedButton2
  msgbox "run before any row was chosen" "$T105"
  drv click plhn
  msgbox "remove before any row was chosen" "$T105"
  drv click msname -- type Jazz -- wait name Jazz 3000 -- click syn
  drv click msname -- type Q -- wait name Q 3000 -- click syn
  state_is "Jazz and the one-letter Q added" 3 2 "" 0 Rock Jazz Q
  file_is "list of three" "$INST/lista.qmx" "Rock${CRLF}Jazz${CRLF}Q${CRLF}"
  BAD_INPUTS=$((BAD_INPUTS + 1))
  echo canary >"$INST/Rock/history/old.txt"
  local before
  before=$(snapshot "$INST")
  # Remove Rock: No, Escape and the close box leave everything as it was.
  drv click-row 0 -- click plhn
  confirm "remove Rock" "$T103%20(Rock)"
  drv answer No
  drv click plhn
  confirm "remove Rock again" "$T103%20(Rock)"
  drv key ESCAPE -- wait dialog none 5000
  check "Escape answers No" test $? = 0
  drv click plhn
  confirm "remove Rock a third time" "$T103%20(Rock)"
  drv dialog-close
  eq "No, Escape and the close box change nothing" "$(snapshot "$INST")" "$before"
  # Enter answers Yes.
  drv click plhn
  confirm "remove Rock, answered with Enter" "$T103%20(Rock)"
  drv key RETURN -- wait dialog none 5000
  state_is "Rock gone, the next row highlighted" 2 0 "" 0 Jazz Q
  file_is "list saved without Rock" "$INST/lista.qmx" "Jazz${CRLF}Q${CRLF}"
  check "Rock's folder tree deleted" test ! -e "$INST/Rock"
  check "not moved to a recycle bin" test -z "$(find "$HOME/.local/share/Trash" -name old.txt 2>/dev/null)"
  # The current station still names the removed Rock.
  drv click SpeedButton2
  wait_log 1
  eq "run after the removal starts the scheduler for Rock" "$(params talvex.exe)" "Rock"
  # Remove the last row, then Remove again.
  drv click-row 1 -- click plhn
  confirm "remove Q" "$T103%20(Q)"
  drv answer Yes
  state_is "Q gone, nothing highlighted" 1 -1 "" 0 Jazz
  check "Q's folders deleted" test ! -e "$INST/Q"
  drv click plhn
  errbox "remove with no row highlighted" "List index out of bounds (-1)"
  state_is "nothing removed" 1 -1 "" 0 Jazz
  file_is "list unchanged by the failed remove" "$INST/lista.qmx" "Jazz${CRLF}"
  drv click-row 0 -- click plhn
  confirm "remove Jazz" "$T103%20(Jazz)"
  drv answer Yes
  file_is "empty list is a 0-byte file" "$INST/lista.qmx" ""
  finish
  # A new start after the first closed runs normally and loads no rows.
  run_ctl || return
  state_is "second start after close: empty list" 0 -1 "" 0
  finish
  case_end
}

case_duplicates() {
  case_begin duplicates
  run_ctl || return
  drv click msname -- type Rock -- wait name Rock 3000 -- click syn -- wait rows 1 3000
  drv click msname -- type Rock -- wait name Rock 3000 -- click syn
  drv click msname -- type ROCK -- wait name ROCK 3000 -- click syn
  state_is "Rock twice and ROCK" 3 2 "" 0 Rock Rock ROCK
  file_is "the file holds both Rock lines" "$INST/lista.qmx" "Rock${CRLF}Rock${CRLF}ROCK${CRLF}"
  echo canary >"$INST/Rock/data/keep.txt"
  drv click-row 0 -- click plhn
  confirm "remove the first Rock" "$T103%20(Rock)"
  drv answer Yes
  msgbox "the shared folder is kept" "$OWN_KEPT"
  check "Rock's folder kept while another row names it" test -f "$INST/Rock/data/keep.txt"
  drv click-row 1 -- click plhn
  confirm "remove ROCK" "$T103%20(ROCK)"
  drv answer Yes
  msgbox "the folder that differs only in case is kept" "$OWN_KEPT"
  check "Rock's folder kept for the remaining Rock" test -f "$INST/Rock/data/keep.txt"
  drv click-row 0 -- click plhn
  confirm "remove the last Rock" "$T103%20(Rock)"
  drv answer Yes
  no_dialog "nothing more to say when the folder goes"
  check "the last Rock takes its folder" test ! -e "$INST/Rock"
  file_is "empty list" "$INST/lista.qmx" ""
  finish
  case_end
}

case_run_buttons() {
  case_begin run_buttons
  printf 'Rock FM\r\nJazz\r\nBlues\r\n' >"$INST/lista.qmx"
  run_ctl || return
  drv click SpeedButton1
  msgbox "history before any row was chosen" "$T105"
  drv click SpeedButton3
  wait_log 1
  eq "the recorder starts with no parameters on no station" "$(params captelle.exe | od -An -c | tr -d ' \n')" "\\n"
  drv click-row 0 -- click SpeedButton2 -- click SpeedButton1
  wait_log 3
  eq "scheduler gets Rock FM as two words" "$(params talvex.exe)" "Rock FM"
  eq "history viewer gets Rock FM" "$(params brevold.exe)" "Rock FM"
  local cmd
  cmd=$(awk -F'|' '$1 == "talvex.exe" { print $4 }' "$INST/standins.log")
  case $cmd in
    *'"Rock FM"'*) fail "the station reached the scheduler quoted: $cmd" ;;
    *) pass "no quotes added: $cmd" ;;
  esac
  drv dblclick-row 1
  wait_log 4
  eq "double click starts the scheduler for its row" "$(params talvex.exe | tail -1)" Jazz
  drv click SpeedButton1
  wait_log 5
  eq "the double-clicked row is the current station" "$(params brevold.exe | tail -1)" Jazz
  # The keyboard changes the selection too.
  drv key DOWN -- wait highlight 2 3000 -- click SpeedButton2
  wait_log 6
  eq "a row chosen with the keyboard is the current station" "$(params talvex.exe | tail -1)" Blues
  no_dialog "no message from any start"
  file_is "running changes no file" "$INST/lista.qmx" "Rock FM${CRLF}Jazz${CRLF}Blues${CRLF}"
  finish
  case_end
}

# Hints: the mouse resting on a control brings up its hint, which stays for
# about three seconds; a click takes it away.
case_hints() {
  case_begin hints
  printf 'Rock\r\n' >"$INST/lista.qmx"
  run_ctl || return
  local control text shown gone
  local lista_hint="Select%20music%20station%20or%20double%20click%20to%20open%20it"
  # Away first: a pointer left over a control by an earlier case would not
  # move onto it, and a hint comes with a move.
  xmove 5 5
  for control in SpeedButton2 syn lista autorun; do
    case $control in
      SpeedButton2) text="Run%20TALVEX%20Scheduler" ;;
      syn) text="Add%20music%20station" ;;
      lista) text=$lista_hint ;;
      autorun) text="If%20checked,%20all%20music%20stations%20will%20be%20run%20on%20startup%20of%20controller" ;;
    esac
    drv hover "$control" -- wait hint "$text" 5000
    check "resting on $control shows its hint" test $? = 0
  done
  shown=$(date +%s%N)
  drv wait hint none 8000
  gone=$(date +%s%N)
  check "the hint goes by itself after the pause (shown $(((gone - shown) / 1000000)) ms)" \
    test $(((gone - shown) / 1000000 >= 2000)) = 1
  drv hover lista -- wait hint "$lista_hint" 5000 -- click-row 0 -- wait hint none 2000
  check "a click takes the hint away" test $? = 0
  state_is "the click chose the row" 1 0 "" 0
  no_dialog "hints show no dialog"
  finish
  case_end
}

case_siblings_missing() {
  case_begin siblings_missing
  rm -f "$INST"/talvex.exe "$INST"/brevold.exe "$INST"/captelle.exe
  printf 'Rock\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  FAULTS=$((FAULTS + 1))
  run_ctl || return
  drv click-row 0 -- click SpeedButton2 -- click SpeedButton1 -- click SpeedButton3 -- sleep 1000
  no_dialog "missing sibling programs: nothing reported"
  drv click msname -- type Pop -- wait name Pop 3000 -- click syn
  state_is "the controller carries on" 2 1 "" 1 Rock Pop
  file_is "and saves" "$INST/lista.qmx" "Rock${CRLF}Pop${CRLF}"
  finish
  case_end
}

# order_params: parameters of the recorded starts, in the order they were created.
order_params() {
  [ -f "$INST/order.log" ] || return 0
  # The sibling ends its lines with CR LF.
  tr -d '\r' <"$INST/order.log" | sort -t'|' -k2,2n | awk -F'|' '{print $1 ":" $3}' | tr '\n' ' '
}
wait_order() {
  local n=400
  while [ "$( [ -f "$INST/order.log" ] && wc -l <"$INST/order.log" || echo 0)" -lt "$1" ] && [ $n -gt 0 ]; do
    sleep 0.05
    n=$((n - 1))
  done
}

case_autorun() {
  case_begin autorun_abc
  cp "$BIN/order_sibling.exe" "$INST/talvex.exe"
  cp "$BIN/order_sibling.exe" "$INST/captelle.exe"
  printf 'A\r\nB\r\nC\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  run_ctl || return
  wait_order 3
  eq "auto-run starts A, B, C in order" "$(order_params)" "talvex.exe:A talvex.exe:B talvex.exe:C "
  state_is "the highlight is unchanged, the box checked" 3 -1 "" 1 A B C
  drv click SpeedButton2
  wait_order 4
  eq "Run afterwards starts the last row, C" "$(order_params | awk '{print $4}')" "talvex.exe:C"
  drv click plhn
  errbox "Remove before a row was chosen" "List index out of bounds (-1)"
  # Dialogs closing, minimising and restoring run nothing again.
  drv click syn
  msgbox "blank add" "$T104"
  drv click-row 0 -- click plhn
  confirm "remove A" "$T103%20(A)"
  drv answer No -- minimize -- restore
  drv click SpeedButton3
  wait_order 5
  eq "nothing started again by dialogs or restoring" "$(order_params | awk '{print $5}')|$(wc -l <"$INST/order.log")" "captelle.exe:|5"
  finish
  file_is "the checked box is written at close" "$INST/radio.ini" "[MAC]${CRLF}auto run=1${CRLF}"
  case_end

  case_begin autorun_blank_row
  printf 'A\r\n\r\nC\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  run_ctl || return
  msgbox "auto-run meets the empty row" "$T105"
  wait_log 2
  eq "A and C start, the empty row does not" "$(params talvex.exe | tr '\n' ' ')" "A C "
  sleep 0.5
  no_dialog "105 is shown once"
  eq "two starts only" "$(log_lines)" 2
  finish
  case_end

  local value want
  for row in "empty list|1|1" "clear box|0|0" "value 0x10|0x10|1" "value true|true|0" \
    "value -0x10|-0x10|1" "value 1 2|1 2|0" "value 2|2|1" "value x1A|x1A|1" "value +0|+0|0"; do
    IFS='|' read -r name value want <<<"$row"
    case_begin "autorun_${name// /_}"
    cp "$BIN/order_sibling.exe" "$INST/talvex.exe"
    cp "$BIN/order_sibling.exe" "$INST/captelle.exe"
    [ "$name" = "empty list" ] || printf 'A\r\nB\r\n' >"$INST/lista.qmx"
    printf '[Other]\r\nkey=v\r\n[MAC]\r\nauto run=%s\r\n' "$value" >"$INST/radio.ini"
    run_ctl || continue
    drv get autorun
    eq "the box reads '$value' as $want" "$(out autorun)" "$want"
    drv click SpeedButton3
    wait_order 1
    sleep 0.3
    local starts
    starts=
    [ "$want" = 1 ] && [ "$name" != "empty list" ] && starts="talvex.exe:A talvex.exe:B "
    eq "what auto-run started" "$(order_params)" "${starts}captelle.exe: "
    finish
    file_is "other sections kept, the flag rewritten" "$INST/radio.ini" \
      "[Other]${CRLF}key=v${CRLF}[MAC]${CRLF}auto run=${want}${CRLF}"
    case_end
  done
}

# The keys that do what the buttons do, pressed as an operator presses them.
case_operator_keys() {
  case_begin operator_keys
  printf 'Rock\r\nJazz\r\n' >"$INST/lista.qmx"
  mkdir -p "$INST/Rock/data"
  echo c >"$INST/Rock/data/old.txt"
  run_ctl || return
  drv click msname -- type Pop -- wait name Pop 3000 -- key RETURN
  state_is "Enter in the name field adds Pop, highlighted, the field emptied" 3 2 "" 0 Rock Jazz Pop
  file_is "the list saved with Pop" "$INST/lista.qmx" "Rock${CRLF}Jazz${CRLF}Pop${CRLF}"
  check "Pop's folders made" test -d "$INST/Pop/history" -a -d "$INST/Pop/data"
  drv key RETURN
  msgbox "Enter in the emptied name field" "$T104"
  drv click-row 1 -- key RETURN
  wait_log 1
  eq "Enter on Jazz starts the scheduler for Jazz" "$(params talvex.exe)" "Jazz"
  local before
  before=$(snapshot "$INST")
  drv click-row 0 -- key DELETE
  confirm "Delete on Rock asks" "$T103%20(Rock)"
  drv answer No
  eq "answered No: nothing changed" "$(snapshot "$INST")" "$before"
  drv key DELETE
  confirm "Delete on Rock again" "$T103%20(Rock)"
  drv answer Yes
  state_is "answered Yes: Rock gone, the next row highlighted" 2 0 "" 0 Jazz Pop
  file_is "the list saved without Rock" "$INST/lista.qmx" "Jazz${CRLF}Pop${CRLF}"
  check "Rock's folder tree deleted" test ! -e "$INST/Rock"
  finish
  case_end
}

# xkey ACTION KEY: a key pressed or released through the X server, as a
# keyboard would.
xkey() {
  [ -n "$XDISPLAY" ] || find_desktop
  DISPLAY=$XDISPLAY xdotool "$1" "$2"
}

# Shift held while the controller starts: no auto-run this time, the box and
# its setting stay, and the next start runs auto-run again.
case_shift_start() {
  case_begin shift_start
  cp "$BIN/order_sibling.exe" "$INST/talvex.exe"
  cp "$BIN/order_sibling.exe" "$INST/captelle.exe"
  printf 'A\r\nB\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  xkey keydown shift
  start_ctl
  started 30
  local up=$?
  drv settle -- sleep 500
  xkey keyup shift
  [ $up = 0 ] || { case_end; return; }
  drv click SpeedButton3
  wait_order 1
  sleep 0.5
  eq "with Shift held nothing started but the recorder" "$(order_params)" "captelle.exe: "
  state_is "the box still checked" 2 -1 "" 1 A B
  finish
  file_is "the box written at close as it was" "$INST/radio.ini" "[MAC]${CRLF}auto run=1${CRLF}"
  run_ctl || return
  wait_order 3
  eq "the next start, without Shift, starts every scheduler" "$(order_params)" \
    "captelle.exe: talvex.exe:A talvex.exe:B "
  finish
  case_end
}

case_settings_close() {
  case_begin settings_other_sections
  # No blank lines: Windows keeps them, Wine's profile functions drop them.
  local body="; the suite's settings${CRLF}[Scheduler]${CRLF}path=C:\\music${CRLF}volume=7${CRLF}[Recorder]${CRLF}device=2${CRLF}"
  printf '%s' "$body" >"$INST/radio.ini"
  run_ctl || return
  drv click autorun -- wait autorun 1 3000
  check "the box toggles by mouse" test $? = 0
  finish
  file_is "MAC section added, the rest kept byte for byte" "$INST/radio.ini" "${body}[MAC]${CRLF}auto run=1${CRLF}"
  # The next start has the box checked; a click clears it, and 0 is written.
  run_ctl || return
  drv get autorun
  eq "read back on" "$(out autorun)" 1
  drv click autorun -- wait autorun 0 3000
  finish
  file_is "only the one value changed" "$INST/radio.ini" "${body}[MAC]${CRLF}auto run=0${CRLF}"
  case_end

  case_begin settings_long_values
  local long
  long=$(printf '1%.0s' $(seq 5000))
  local other
  other=$(printf 'v%.0s' $(seq 5000))
  body="[Big]${CRLF}key=${other}${CRLF}[MAC]${CRLF}note=${other}${CRLF}auto run=${long}${CRLF}"
  printf '%s' "$body" >"$INST/radio.ini"
  BAD_INPUTS=$((BAD_INPUTS + 1))
  run_ctl || return
  drv get autorun
  eq "a 5,000-digit value is no 32-bit integer: off" "$(out autorun)" 0
  drv click autorun
  finish
  file_is "long values elsewhere kept byte for byte" "$INST/radio.ini" \
    "[Big]${CRLF}key=${other}${CRLF}[MAC]${CRLF}note=${other}${CRLF}auto run=1${CRLF}"
  case_end
}

case_second_start() {
  case_begin second_start
  printf 'Rock\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=0\r\n' >"$INST/radio.ini"
  run_ctl || return
  local first=$CTL before
  drv minimize
  before=$(snapshot "$INST")
  local t0=$SECONDS
  start_ctl
  if wait_pid "$CTL" 60; then pass "the second copy ended ($((SECONDS - t0)) s)"; else fail "the second copy did not end"; fi
  CTL=$first
  drv count
  eq "one window only" "$(out windows)" "1 visible 1"
  drv wait iconic 0 5000 -- wait foreground 1 5000
  check "the minimised first copy is restored and in front" test $? = 0
  eq "the second start wrote nothing" "$(snapshot "$INST")" "$before"
  state_is "the first copy still works" 1 -1 "" 0 Rock
  finish
  case_end
}

case_concurrency() {
  local round i pids before ended
  for round in 1 2 3; do
    case_begin "concurrency_round_$round"
    printf 'A\r\n' >"$INST/lista.qmx"
    printf '[X]\r\ny=1\r\n[MAC]\r\nauto run=0\r\n' >"$INST/radio.ini"
    before=$(snapshot "$INST")
    pids=()
    for i in $(seq 20); do
      (cd "$ROOT" && exec "$WINE_RUN" "$PFX" "$INST/morvelle.exe") >>"$LOGS/$CASE.ctl.out" 2>&1 &
      pids+=($!)
    done
    local n=2400
    while [ $n -gt 0 ]; do
      ended=0
      for i in "${pids[@]}"; do kill -0 "$i" 2>/dev/null || ended=$((ended + 1)); done
      [ $ended -ge 19 ] && break
      sleep 0.1
      n=$((n - 1))
    done
    eq "19 of the 20 copies ended" "$ended" 19
    drv wait-window 30000 -- count
    eq "exactly one window" "$(out windows)" "1 visible 1"
    eq "the copies that ended wrote nothing" "$(snapshot "$INST")" "$before"
    CTL=
    for i in "${pids[@]}"; do kill -0 "$i" 2>/dev/null && CTL=$i; done
    if [ -n "$CTL" ]; then finish; fi
    for i in "${pids[@]}"; do wait_pid "$i" 5 || true; done
    case_end
  done
}

case_readonly_ini() {
  case_begin readonly_ini
  printf 'Rock\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=0\r\n' >"$INST/radio.ini"
  run_ctl || return
  chattr +i "$INST/radio.ini" && IMMUTABLE+=("$INST/radio.ini")
  FAULTS=$((FAULTS + 1))
  drv click autorun -- close
  errbox "close with radio.ini read-only" "Unable to write to $(winpath "$INST")\\radio.ini"
  drv wait-window 3000
  check "the window stays open" test $? = 0
  drv close
  errbox "the next close does the same" "Unable to write to"
  state_is "and stays usable" 1 -1 "" 1 Rock
  chattr -i "$INST/radio.ini"
  file_is "the old value kept" "$INST/radio.ini" "[MAC]${CRLF}auto run=0${CRLF}"
  finish
  file_is "once writable, the close writes" "$INST/radio.ini" "[MAC]${CRLF}auto run=1${CRLF}"
  case_end
}

# hold FILE: another program holds FILE open, sharing nothing, until unhold.
HOLDER=
hold() {
  rm -f "$1.held" "$1.release"
  (cd "$ROOT" && exec "$WINE_RUN" "$PFX" "$BIN/driver.exe" hold "$(winpath "$1")" \
    "$(winpath "$1.held")" "$(winpath "$1.release")" 120000) >>"$LOGS/$CASE.hold.out" 2>&1 &
  HOLDER=$!
  HELD=$1
  local n=400
  while [ ! -e "$1.held" ] && [ $n -gt 0 ]; do sleep 0.05; n=$((n - 1)); done
  [ -e "$1.held" ]
}
unhold() {
  touch "$HELD.release"
  wait_pid "$HOLDER" 20
  rm -f "$HELD.held" "$HELD.release"
}

case_list_held() {
  case_begin list_held_at_start
  printf 'A\r\nB\r\n' >"$INST/lista.qmx"
  hold "$INST/lista.qmx" || fail "could not hold the list"
  FAULTS=$((FAULTS + 1))
  start_ctl
  errbox "list held at start-up" "Cannot open file \"$(winpath "$INST")\\lista.qmx\". "
  started 10 && state_is "the window opens without rows" 0 -1 "" 0
  unhold
  drv click msname -- type C -- wait name C 3000 -- click syn -- sleep 500 -- dialog
  [ "$(out dialog)" != none ] && drv answer OK
  if cmp -s "$INST/lista.qmx" <(printf 'A\r\nB\r\n'); then
    pass "the unread list is not replaced"
  else
    lost "the list that was never loaded was overwritten"
  fi
  finish
  case_end

  case_begin list_held_at_save
  printf 'A\r\nB\r\n' >"$INST/lista.qmx"
  run_ctl || return
  hold "$INST/lista.qmx" || fail "could not hold the list"
  FAULTS=$((FAULTS + 1))
  drv click msname -- type C -- wait name C 3000 -- click syn
  errbox "list held at save" "Cannot create file \"$(winpath "$INST")\\lista.qmx\". "
  state_is "the rows keep the change" 3 2 "" 0 A B C
  check "the folders were created" test -d "$INST/C/data"
  unhold
  file_is "the held list is intact" "$INST/lista.qmx" "A${CRLF}B${CRLF}"
  drv click msname -- type D -- wait name D 3000 -- click syn -- wait rows 4 3000
  file_is "the next save writes every row" "$INST/lista.qmx" "A${CRLF}B${CRLF}C${CRLF}D${CRLF}"
  finish
  case_end
}

case_disk_full() {
  case_begin disk_full "$ROOT/cases/disk_full"
  local size
  size=$(du -sk "$TEMPLATE" | cut -f1)
  rm -rf "$INST"
  mkdir -p "$INST"
  mount -t tmpfs -o size=$((size + 64))k tmpfs "$INST" && MOUNTS+=("$INST") || { fail "no tmpfs"; case_end; return; }
  cp -a "$TEMPLATE/." "$INST/"
  local i list=
  for i in $(seq 2000); do list+="Station $i${CRLF}"; done
  printf '%s' "$list" >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=0\r\n' >"$INST/radio.ini"
  run_ctl 60 || { umount -l "$INST"; case_end; return; }
  dd if=/dev/zero of="$INST/filler" bs=4k >/dev/null 2>&1
  dd if=/dev/zero of="$INST/filler2" bs=1 >/dev/null 2>&1
  FAULTS=$((FAULTS + 1))
  drv click msname -- type Full -- wait name Full 3000 -- click syn
  errbox "save on a full disk" ""
  case $DTEXT in
    "$(esc "Stream write error.")"|"$(esc "Cannot create file")"*) pass "the failure is told as a write or create error" ;;
    *) fail "unexpected text for a full disk: $DTEXT" ;;
  esac
  if cmp -s "$INST/lista.qmx" <(printf '%s' "$list"); then
    pass "the old list is intact"
  else
    lost "the list was damaged by a save on a full disk ($(wc -c <"$INST/lista.qmx") bytes)"
  fi
  rm -f "$INST/filler" "$INST/filler2"
  drv wait rows 2001 3000 -- click msname -- type More -- wait name More 3000 -- click syn -- sleep 300
  drv get dialog
  eq "with space again the save succeeds" "$(out dialog)" none
  file_is "every row saved" "$INST/lista.qmx" "${list}Full${CRLF}More${CRLF}"
  finish
  cd / && umount "$INST" 2>/dev/null || umount -l "$INST"
  MOUNTS=()
  case_end
}

case_kill_mid_save() {
  local base old delay round
  base=$ROOT/big-list.qmx
  seq -f 'Station %07.0f' 1 1000000 | sed 's/$/\r/' >"$base"
  for round in 1 2 3; do
    delay=$(( (round - 1) * 15 ))
    case_begin "kill_mid_save_$round"
    cp "$base" "$INST/lista.qmx"
    BAD_INPUTS=$((BAD_INPUTS + 1))
    run_ctl 180 || { case_end; continue; }
    if [ $round = 1 ]; then
      drv wait rows 1000000 5000 -- get rows -- row 999999
      eq "a list of 1,000,000 rows shows them all" "$(out rows)|$(printf '%s\n' "$OUT" | sed -n 's/^row 999999 //p')" \
        "1000000|length 15 Station%201000000"
    fi
    touch "$LOGS/mark"
    drv click msname -- type New -- wait name New 3000 -- click syn &
    local clicker=$!
    # Kill the moment a file in the folder changes, after DELAY ms more.
    local n=0 hit=
    while [ $n -lt 6000 ]; do
      hit=$(find "$INST" -maxdepth 1 -type f -newer "$LOGS/mark" ! -name '*.log' -print -quit)
      [ -n "$hit" ] && break
      n=$((n + 1))
    done
    [ $delay -gt 0 ] && sleep "0.0$delay"
    FAULTS=$((FAULTS + 1))
    local p
    p=$(ctl_pids)
    [ -n "$p" ] && kill -9 $p
    wait "$clicker" 2>/dev/null
    wait_pid "$CTL" 20
    CTL=
    log "    killed after '${hit##*/}' changed, +$delay ms"
    if cmp -s "$INST/lista.qmx" "$base"; then
      pass "after the kill the list is the old one"
    elif cmp -s "$INST/lista.qmx" <(cat "$base"; printf 'New\r\n'); then
      pass "after the kill the list is the new one"
    else
      lost "after the kill the list is neither old nor new ($(wc -c <"$INST/lista.qmx") bytes)"
    fi
    case_end
  done
}

case_huge_line() {
  case_begin huge_one_line
  head -c 52428800 /dev/zero | tr '\0' 'x' >"$INST/lista.qmx"
  BAD_INPUTS=$((BAD_INPUTS + 1))
  run_ctl 180 || { case_end; return; }
  drv rowlen 0 -- get rows
  eq "one row of 50 MiB" "$(out rowlen)|$(out rows)" "0 52428800|1"
  no_dialog "no message"
  finish
  check "the list file untouched" test "$(stat -c %s "$INST/lista.qmx")" = 52428800
  case_end
}

case_high_bytes() {
  case_begin high_bytes
  local rows=() i j r want_file= escs=()
  for i in 0 1 2 3; do
    r=
    for j in $(seq $((128 + i * 32)) $((159 + i * 32))); do r+=$(printf "\\x$(printf %x "$j")"); done
    rows+=("$r")
    want_file+="$r$CRLF"
    escs+=("$(esc "$r")")
  done
  printf '%s' "$want_file" >"$INST/lista.qmx"
  BAD_INPUTS=$((BAD_INPUTS + 2))
  run_ctl || return
  state_is "bytes 128-255 shown byte for byte" 4 -1 "" 0 "${escs[@]}"
  # Typed characters of the code page are stored as their bytes.
  drv click msname -- type "St%E9%E4tion%A7%FF" -- wait name "St%E9%E4tion%A7%FF" 3000 -- click syn
  state_is "typed high bytes added" 5 4 "" 0 "${escs[@]}" "St%E9%E4tion%A7%FF"
  file_is "saved byte for byte" "$INST/lista.qmx" "$want_file"$'St\xe9\xe4tion\xa7\xff'"$CRLF"
  finish
  run_ctl || return
  state_is "reloaded byte for byte" 5 -1 "" 0 "${escs[@]}" "St%E9%E4tion%A7%FF"
  drv click-row 4 -- click plhn
  confirm "remove the typed one" "$T103%20(St%E9%E4tion%A7%FF)"
  drv answer Yes -- sleep 300 -- dialog
  [ "$(out dialog)" != none ] && drv answer OK
  file_is "the other rows kept byte for byte" "$INST/lista.qmx" "$want_file"
  finish
  case_end
}

case_long_name() {
  case_begin long_name
  local name
  name=$(printf 'n%.0s' $(seq 5000))
  BAD_INPUTS=$((BAD_INPUTS + 1))
  run_ctl || return
  drv click msname -- type "$name" -- wait name "$name" 20000 -- click syn -- wait rows 1 5000 -- row 0
  eq "the 5,000-character name is one row" "$(out 'row 0' | cut -d' ' -f2)" 5000
  file_is "and one line of the file" "$INST/lista.qmx" "$name$CRLF"
  drv click-row 0 -- click plhn
  confirm "remove the long name" "$T103%20($name)"
  drv answer Yes -- sleep 300 -- dialog
  [ "$(out dialog)" != none ] && drv answer OK
  file_is "removed" "$INST/lista.qmx" ""
  check "the installation is whole" test -f "$INST/morvelle.exe" -a -f "$INST/velnorix.dll"
  finish
  case_end
}

# Names that must never take more than their own folder with them.
case_dangerous_names() {
  case_begin dangerous_names
  local names=(
    "." ".." "\\" "/" "a\\b" "a/b" "..\\x" "a\\..\\.." "..\\.." "C:x" "C:" "Z:" "\\\\?\\Z:\\x"
    "*" "?" "a*" "Ro?k" "nul.txt" "CON" "con" "COM1" "LPT9.txt" "AUX" "PRN" "Rock." "Rock "
    " Rock" "a:b" "<x>" "x|y" 'a"b' $'tab\there' $'ctl\x01' "..\\cases" "..\\..\\bin"
    "$(printf ' %.0s' $(seq 251))" "$(printf 'x%.0s' $(seq 300))" "ROCK" "rock\\data"
  )
  local list= n
  for n in "${names[@]}"; do list+="$n$CRLF"; done
  list+="Rock$CRLF"
  printf '%s' "$list" >"$INST/lista.qmx"
  mkdir -p "$INST/Rock/data" "$INST/a/b" "$INST/x"
  echo c >"$INST/canary.txt"
  echo c >"$INST/Rock/data/canary.txt"
  echo c >"$INST/a/b/canary.txt"
  echo c >"$ROOT/cases/canary-above.txt"
  echo c >"$ROOT/canary-root.txt"
  echo c >"$INST/x/canary.txt"
  local guard_before
  guard_before=$(cd "$ROOT" && find . -path ./cases/dangerous_names -prune -o -print | LC_ALL=C sort | md5sum)
  BAD_INPUTS=$((BAD_INPUTS + ${#names[@]}))
  run_ctl || return
  local count=$((${#names[@]} + 1)) k
  for k in "${!names[@]}"; do
    n=${names[$k]}
    drv click-row 0 -- click plhn -- wait-dialog Confirm 10000 -- answer Yes -- wait rows $((count - 1)) 5000
    local removed=$?
    drv sleep 200 -- dialog
    if [ $removed -ne 0 ]; then
      fail "removing '$(esc "$n")' did not go through"
      drv dialog && [ "$(out dialog)" != none ] && drv answer OK
      drv dialog && [ "$(out dialog)" != none ] && drv answer No
    else
      count=$((count - 1))
      if [ "$(out dialog)" = CONTROLLER ]; then
        eq "removing '$(esc "$n")': the folder is kept, and said so" "$(out dialog-text)" "$OWN_KEPT"
        drv answer OK
      elif [ "$(out dialog)" != none ]; then
        fail "removing '$(esc "$n")' left the dialog '$(out dialog)'"
        drv answer OK
      else
        case $n in
          "$(printf 'x%.0s' $(seq 300))" | " Rock") pass "removing '$(esc "$n")': its own folder only" ;;
          *) fail "removing '$(esc "$n")': no word that its folder was kept" ;;
        esac
      fi
    fi
    for c in "$INST/canary.txt" "$INST/Rock/data/canary.txt" "$INST/a/b/canary.txt" \
      "$ROOT/cases/canary-above.txt" "$ROOT/canary-root.txt" "$INST/x/canary.txt" \
      "$INST/morvelle.exe" "$INST/velnorix.dll" "$BIN/driver.exe"; do
      [ -f "$c" ] || lost "'$(esc "$n")' took ${c#"$ROOT"/}"
    done
  done
  # Each removal highlights the row that followed the removed one.
  state_is "only Rock is left, highlighted" 1 0 "" 0 Rock
  file_is "the list holds Rock" "$INST/lista.qmx" "Rock$CRLF"
  eq "nothing outside the installation changed" \
    "$(cd "$ROOT" && find . -path ./cases/dangerous_names -prune -o -print | LC_ALL=C sort | md5sum)" "$guard_before"
  finish
  case_end
}

case_pictures() {
  local row name logo back want
  mkdir -p "$WORK/pics"
  local good=$WORK/pics/good.jpg
  [ -f "$good" ] || convert -size 400x200 gradient:red-blue -quality 90 "$good" 2>/dev/null ||
    printf '\xff\xd8' >"$good"
  local half=$WORK/pics/half.jpg
  head -c $(($(stat -c %s "$good") / 2)) "$good" >"$half"
  local headcut=$WORK/pics/headcut.jpg
  head -c 60 "$good" >"$headcut"
  printf 'this is no picture\n' >"$WORK/pics/text.jpg"
  : >"$WORK/pics/empty.jpg"
  for row in "good pictures|good|good|" "logo not a JPEG|text|good|JPEG error #53." \
    "background cut in its header|good|headcut|JPEG error #" "empty background|none|empty|JPEG error #42." \
    "background cut half way|none|half|"; do
    IFS='|' read -r name logo back want <<<"$row"
    case_begin "pictures_${name// /_}"
    mkdir -p "$INST/images"
    [ "$logo" = none ] || cp "$WORK/pics/$logo.jpg" "$INST/images/tvxlogo.jpg"
    [ "$back" = none ] || cp "$WORK/pics/$back.jpg" "$INST/images/tvxback.jpg"
    printf 'Rock\r\n' >"$INST/lista.qmx"
    printf '[MAC]\r\nauto run=0\r\n' >"$INST/radio.ini"
    [ "$name" = "good pictures" ] || FAULTS=$((FAULTS + 1))
    start_ctl
    if [ -n "$want" ]; then
      errbox "$name" "$want"
    fi
    started 20 || { case_end; continue; }
    drv minimize -- restore -- sleep 300 -- dialog
    eq "$name: no further message after a redraw" "$(out dialog)" none
    [ "$(out dialog)" != none ] && drv answer OK
    case $want in
      "JPEG error #53." | "JPEG error #")
        state_is "$name: start-up ended early, no rows" 0 -1 "" 0
        drv click msname -- type X -- wait name X 3000 -- click syn -- sleep 300 -- dialog
        [ "$(out dialog)" != none ] && drv answer OK
        if cmp -s "$INST/lista.qmx" <(printf 'Rock\r\n'); then pass "$name: the unread list kept"; else lost "$name: the unread list was overwritten"; fi
        ;;
      *) state_is "$name: the window works" 1 -1 "" 0 Rock ;;
    esac
    finish
    case_end
  done
}

case_library_missing() {
  case_begin library_missing
  rm -f "$INST/velnorix.dll"
  local before
  before=$(snapshot "$INST")
  FAULTS=$((FAULTS + 1))
  start_ctl
  if wait_pid "$CTL" 60; then
    pass "the program ends without the message-text library"
    check "and says why (exit status $RC is not success)" test "$RC" -ne 0
  else
    fail "the program did not end without its library"
    drv dialog
  fi
  CTL=
  drv count
  eq "no window opened" "$(out windows)" "0 visible 0"
  eq "nothing written" "$(snapshot "$INST")" "$before"
  case_end
}

case_folder_path() {
  case_begin folder_path "$ROOT/cases/Radio Stätiön é/Installed here"
  run_ctl || return
  drv click msname -- type "Rock%20FM" -- wait name "Rock%20FM" 3000 -- click syn -- click-row 0 -- click SpeedButton2
  wait_log 1
  eq "the scheduler starts from a folder with spaces and accents" "$(params talvex.exe)" "Rock FM"
  check "the station's folders made there" test -d "$INST/Rock FM/history"
  file_is "the list saved there" "$INST/lista.qmx" "Rock FM${CRLF}"
  finish
  check "radio.ini written there" test -f "$INST/radio.ini"
  case_end
}

# The installation's own message-text library, with other wording and texts
# under other numbers: the controller shows its 103 to 105 and its own texts
# for everything else.
case_maker_library() {
  case_begin maker_library
  cp "$MAKER_DLL" "$INST/velnorix.dll"
  printf '.\r\nRock\r\n' >"$INST/lista.qmx"
  mkdir -p "$INST/Rock/data"
  echo c >"$INST/canary.txt"
  check "the maker's texts differ from ours" test "$M103|$M104|$M105" != "$T103|$T104|$T105"
  run_ctl || return
  drv click syn
  msgbox "add without a name" "$M104"
  drv click SpeedButton2
  msgbox "run without a station" "$M105"
  drv click-row 0 -- click plhn
  confirm "removing ." "$M103%20(.)"
  drv answer Yes
  msgbox "the installation folder is kept, in the program's own words" "$OWN_KEPT"
  check "the installation is whole" test -f "$INST/canary.txt" -a -f "$INST/velnorix.dll"
  file_is "the list holds Rock" "$INST/lista.qmx" "Rock$CRLF"
  finish
  case_end

  case_begin maker_library_list_unread
  cp "$MAKER_DLL" "$INST/velnorix.dll"
  mkdir -p "$INST/images"
  printf 'this is no picture\n' >"$INST/images/tvxlogo.jpg"
  printf 'Rock\r\n' >"$INST/lista.qmx"
  FAULTS=$((FAULTS + 1))
  start_ctl
  errbox "a logo that is no JPEG" "JPEG error #53."
  started 20 || { case_end; return; }
  drv click msname -- type X -- wait name X 3000 -- click syn
  DESC="adding while the list is unread"
  if dialog_common CONTROLLER; then
    local want=${OWN_NOT_LOADED%%%25s*}
    case $DTEXT in
      "$want"*) pass "$DESC: the program's own text '$DTEXT'" ;;
      *) fail "$DESC: '$DTEXT', want the program's own text '$OWN_NOT_LOADED'" ;;
    esac
    drv answer OK
  fi
  file_is "the unread list kept" "$INST/lista.qmx" "Rock$CRLF"
  finish
  case_end
}

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
# The program's own texts, from its string table (ids of app/own_text_ids.h).
drv own-text 1001 "$(winpath "$TEMPLATE")\\morvelle.exe" || { echo "cannot read the program's own texts"; exit 1; }
OWN_KEPT=$(out "own-text 1001")
drv own-text 1002 "$(winpath "$TEMPLATE")\\morvelle.exe" || { echo "cannot read the program's own texts"; exit 1; }
OWN_NOT_LOADED=$(out "own-text 1002")

for c in first_start add_remove duplicates run_buttons hints siblings_missing autorun settings_close \
  second_start concurrency readonly_ini list_held disk_full kill_mid_save huge_line high_bytes \
  long_name dangerous_names pictures library_missing folder_path maker_library operator_keys \
  shift_start; do
  wanted "$c" && "case_$c"
done

# The summary goes to the output and to WORK/summary.txt, for the test script.
{
  echo "================ acceptance summary ================"
  printf '%-28s %s\n' "cases run" "$CASES_RUN" "cases failed" "$CASES_FAILED" \
    "faults injected" "$FAULTS" "bad inputs tried" "$BAD_INPUTS" "data lost" "${#LOST[@]}"
  for f in "${FAILED_CASES[@]}"; do echo "  failed: $f"; done
  for l in "${LOST[@]}"; do echo "  lost: $l"; done
  echo "===================================================="
} >"$WORK/summary.txt"
echo
cat "$WORK/summary.txt"
[ "$CASES_FAILED" -eq 0 ]
