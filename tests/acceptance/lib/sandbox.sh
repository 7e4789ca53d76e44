# The sandboxed prefix and the programs the suite runs in it: drive Z: is
# WORK/root, Windows paths into it, starting the controller, waiting for and
# ending what the suite started, and a file held open by another program.
# Sourced by run.sh, which sets PFX, ROOT, BIN, LOGS and WINE_RUN.

# Files made immutable and folders mounted by a case, undone at exit.
IMMUTABLE=() MOUNTS=()

cleanup() {
  local f m
  [ -n "${XDISPLAY:-}" ] && xrelease
  for f in "${IMMUTABLE[@]}"; do chattr -i "$f" 2>/dev/null; done
  for m in "${MOUNTS[@]}"; do umount -l "$m" 2>/dev/null; done
  kill_ours
}

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

# --- running programs ---------------------------------------------------------

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

# in_prefix PID...: those of the PIDs that run in this suite's Wine prefix.
in_prefix() {
  local p
  for p in "$@"; do
    # Quiet before the read: a process may end before its environment is read.
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$PFX" && echo "$p"
  done
  return 0
}

# Linux processes of Windows programs running from this suite's sandbox. A
# 64-bit program started from Linux is named by its Unix path, which lies
# under ROOT; one that a Windows program started (a scheduler the controller
# runs) by its Windows path. A 32-bit one runs in qemu-i386, whose command
# line keeps Wine's loader and the Windows path. Z:\ here is ROOT, but every
# suite's Z:\ looks the same, so a Windows path is ours only when its
# program runs in our prefix.
our_pids() {
  pgrep -f "^$ROOT/" 2>/dev/null
  in_prefix $(pgrep -f '^"?Z:\\' 2>/dev/null) $(pgrep -f 'qemu-i386 [^ ]+ "?Z:\\' 2>/dev/null)
}
ctl_pids() {
  local exe=${1:-$INST}/morvelle.exe win
  win=$(winpath "$exe")
  win=${win//\\/\\\\}
  win=${win//./\\.}
  pgrep -f "^$exe" 2>/dev/null
  in_prefix $(pgrep -f "qemu-i386 [^ ]+ \"?$win" 2>/dev/null)
}

kill_ours() {
  local p
  for p in $(our_pids); do kill -9 "$p" 2>/dev/null; done
}

# close_ctl: closes the window like a user and waits for the program to end.
close_ctl() {
  drv close || return 1
  wait_pid "$CTL" 30
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
