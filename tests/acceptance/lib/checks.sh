# The checks a case makes and how they are told: passes and failures, data
# lost, files byte for byte, what the stand-in programs recorded, the dialogs
# and the window's state. Sourced by run.sh.

log() { echo "$*"; }

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

# --- files --------------------------------------------------------------------

# Byte-for-byte comparison of a file with a text made by printf.
file_is() {
  local desc=$1 file=$2 want=$3
  if cmp -s "$file" <(printf '%s' "$want"); then
    pass "$desc"
  else
    fail "$desc: $(od -An -c "$file" 2>&1 | head -3 | tr -s ' ' | tr '\n' ' ')"
  fi
}

# intact DESC FILE WANT LOSS: FILE still holds WANT byte for byte, or the
# data it held is lost, as LOSS says.
intact() {
  if cmp -s "$2" <(printf '%s' "$3"); then pass "$1"; else lost "$4"; fi
}

# Each case's view of its installation: names, kinds, sizes and contents.
snapshot() {
  (cd "$1" && find . -path ./standins.log -prune -o -path ./order.log -prune -o \
    -printf '%p %y %s\n' | LC_ALL=C sort && find . -type f ! -name standins.log ! -name order.log \
    -exec md5sum {} + | LC_ALL=C sort)
}

# --- what the sibling programs and the controller's event log recorded ---------

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

# air_events: the controller's event log without its times, one
# "station<TAB>event[<TAB>pid N]" a line.
air_events() { [ -f "$INST/morvelle.log" ] && tr -d '\r' <"$INST/morvelle.log" | cut -f2-; }

# wait_event SECONDS REGEX [COUNT]: waits until COUNT (1) events match.
wait_event() {
  local until=$((SECONDS + $1))
  while [ "$(air_events | grep -c -- "$2")" -lt "${3:-1}" ]; do
    [ $SECONDS -ge $until ] && return 1
    sleep 0.1
  done
}

# --- the window -----------------------------------------------------------------

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
