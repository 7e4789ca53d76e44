# Working the controller's window: the driver program run under Wine, the
# pointer and the keyboard through the X server, and the driver's escaped
# texts. Sourced by run.sh.

# esc TEXT: the driver's escaped form of TEXT's bytes.
esc() {
  printf '%s' "$1" | od -An -v -tu1 |
    LC_ALL=C awk '{for(i=1;i<=NF;i++){c=$i+0; if(c<=32||c>126||c==37) printf "%%%02X",c; else printf "%c",c}}'
}

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

# xkey ACTION KEY: a key pressed or released through the X server, as a
# keyboard would.
xkey() {
  [ -n "$XDISPLAY" ] || find_desktop
  DISPLAY=$XDISPLAY xdotool "$1" "$2"
}

# xhold KEY SECONDS: KEY held down through the X server for SECONDS, long
# enough for the X server to repeat it as a keyboard does.
xhold() {
  xkey keydown "$1" && sleep "$2"
  xkey keyup "$1"
}

# xrelease: every key a case presses or holds and every mouse button up,
# and the pointer in the prefix desktop's corner, away from where the window
# opens (the keyboard goes to the X window under the pointer): whatever a
# case left behind, the next starts from here. Releasing what is not down
# sends nothing.
xrelease() {
  [ -n "$XDISPLAY" ] || find_desktop
  local b
  DISPLAY=$XDISPLAY xdotool keyup Shift_L Shift_R Control_L Control_R Alt_L Alt_R Return Delete x
  for b in 1 2 3; do DISPLAY=$XDISPLAY xdotool mouseup "$b"; done
  xmove 2 2
} 2>/dev/null

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

# The drv chain being run: driver commands gathered for one driver run, and
# the step being read.
DRV_CMDS=() DRV_STEP=()

# drv_flush: the gathered driver commands as one driver run.
drv_flush() {
  [ ${#DRV_CMDS[@]} -eq 0 ] && return 0
  local c=("${DRV_CMDS[@]}")
  DRV_CMDS=()
  drv1 "${c[@]}"
}

# drv_step: a pointer step goes out at once, after the commands gathered
# before it; any other step is gathered.
drv_step() {
  [ ${#DRV_STEP[@]} -eq 0 ] && return 0
  case ${DRV_STEP[0]} in
    hover | click | click-row | dblclick-row | answer) drv_flush && mouse "${DRV_STEP[@]}" ;;
    *) DRV_CMDS+=(${DRV_CMDS[0]+--} "${DRV_STEP[@]}") ;;
  esac
}

# drv COMMAND ARGS... [-- COMMAND ARGS...]...: runs the commands in order,
# stopping at the first that fails; their output in OUT. Runs of driver
# commands go to one driver run, clicks go through the X server.
drv() {
  OUT=
  DRV_CMDS=() DRV_STEP=()
  local a
  for a in "$@"; do
    if [ "$a" = -- ]; then
      drv_step || return 1
      DRV_STEP=()
    else
      DRV_STEP+=("$a")
    fi
  done
  drv_step && drv_flush
}

# out KEY: the rest of the first line of OUT that begins with KEY.
out() { printf '%s\n' "$OUT" | sed -n "s/^$1 //p" | head -1; }
