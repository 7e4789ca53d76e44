# A case's life: a fresh installation from the template, the controller
# started and closed, and the tally of cases, faults, bad inputs and data
# lost that the summary reports. Sourced by run.sh, which sets TEMPLATE and
# ONLY.

CASES_RUN=0 CASES_FAILED=0 FAULTS=0 BAD_INPUTS=0
FAILED_CASES=() LOST=()
CASE= INST= CASE_FAILS=0

CRLF=$'\r\n'

# case_begin NAME [FOLDER]: a fresh installation from the template.
case_begin() {
  CASE=$1
  INST=${2:-$ROOT/cases/$1}
  CASE_FAILS=0
  CASES_RUN=$((CASES_RUN + 1))
  log "=== $CASE"
  sandbox_drive
  xrelease
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

# order_siblings: the scheduler and the recorder of the case's installation
# become the sibling that records the order it was started in.
order_siblings() {
  cp "$BIN/order_sibling.exe" "$INST/talvex.exe"
  cp "$BIN/order_sibling.exe" "$INST/captelle.exe"
}

# started [SECONDS]: the controller's window is up, and in front unless a
# box of its own is: a window that came up behind another is brought forward
# as the operator would, by a click on its caption.
started() {
  if ! drv wait-window "$((${1:-30} * 1000))"; then
    fail "the window did not open"
    return 1
  fi
  drv get foreground -- dialog
  [ "$(out foreground)" = 1 ] || [ "$(out dialog)" != none ] && return 0
  log "  (the window opened behind another: a click on its caption)"
  drv state 0
  set -- $(out window)
  xclick $(($1 + $3 / 2)) $(($2 + 12)) 1
  drv wait foreground 1 3000 || true
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
