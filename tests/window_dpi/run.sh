#!/usr/bin/env bash
# The controller window at 96, 144 and 192 DPI, each in a prefix of its own
# whose screen is set to that DPI (LogPixels), as an operator's monitor at
# 100 %, 150 % and 200 % would be. For each: every control that is a window
# sits at the layout's rectangle scaled by DPI / 96 (asked through the
# driver), and a screenshot of the client area shows the three labels
# whole: their ink clear of the controls beside them and as wide as at
# 96 DPI times the scale. At 96 DPI the screenshot is the reference picture
# pixel for pixel.
#
# run.sh --morvelle EXE --library DLL --driver EXE --wine-run SCRIPT
#        --work DIR --reference PNG [--label TEXT] [--write-reference]
#
# The screenshots stay in WORK for a person to look at.
set -u
LABEL= WRITE_REFERENCE=0
while [ $# -gt 0 ]; do
  case $1 in
    --morvelle) MORVELLE=$2 ;;
    --library) LIBRARY=$2 ;;
    --driver) DRIVER=$2 ;;
    --wine-run) WINE_RUN=$2 ;;
    --work) WORK=$2 ;;
    --reference) REFERENCE=$2 ;;
    --label) LABEL=$2 ;;
    --write-reference) WRITE_REFERENCE=1; shift; continue ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
WORK=$(realpath -m "$WORK")
INST=$WORK/installation
mkdir -p "$INST"
cp "$MORVELLE" "$INST/morvelle.exe" && cp "$LIBRARY" "$INST/velnorix.dll" && cp "$DRIVER" "$INST/driver.exe" || exit 1

FAILED=0
ok() { echo "  ok   $*"; }
bad() { echo "  FAIL $*"; FAILED=$((FAILED + 1)); }

PFX=
stop_prefix() {
  [ -n "$PFX" ] || return 0
  WINEPREFIX=$PFX /usr/lib/wine/wineserver -k >/dev/null 2>&1
  [ -f "$PFX.display.pid" ] && kill "$(cat "$PFX.display.pid")" >/dev/null 2>&1
  rm -f "$PFX.display.pid" "$PFX.display"
  return 0
}
trap stop_prefix EXIT

drv() { (cd "$INST" && "$WINE_RUN" "$PFX" "$INST/driver.exe" "$@") | tr -d '\r'; }

# scaled VALUE: VALUE at 96 DPI scaled to DPI, rounded half up.
scaled() { echo $((($1 * DPI + 48) / 96)); }

# ink PNG X0 Y0 X1 Y1 BACKGROUND: "left top right bottom pixels" of what
# differs from the background colour (r,g,b) inside [X0,X1) x [Y0,Y1).
ink() {
  convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    awk -v x0="$2" -v y0="$3" -v bg="$6" '
      BEGIN { split(bg, b, ","); l = 1e9; t = 1e9; r = -1; m = -1; n = 0 }
      /^[0-9]/ {
        split($1, p, /[,:]/); gsub(/[()]/, "", $2); split($2, c, ",")
        d = 0
        for (i = 1; i <= 3; i++) d += c[i] > b[i] ? c[i] - b[i] : b[i] - c[i]
        if (d > 90) {
          x = p[1] + x0; y = p[2] + y0; n++
          if (x < l) l = x
          if (y < t) t = y
          if (x + 1 > r) r = x + 1
          if (y + 1 > m) m = y + 1
        }
      }
      END { print l, t, r, m, n }'
}

pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

declare -A WIDTH96=()
for DPI in 96 144 192; do
  echo "=== ${LABEL:+$LABEL, }$DPI DPI"
  stop_prefix
  PFX=$WORK/prefix-$DPI
  # The first run makes the prefix; the screen's DPI is read at the
  # wineserver's start.
  drv sleep 1 >/dev/null
  WINEPREFIX=$PFX /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$DPI" /f >/dev/null 2>&1
  WINEPREFIX=$PFX /usr/lib/wine/wineserver -k >/dev/null 2>&1
  WINEPREFIX=$PFX /usr/lib/wine/wineserver -w >/dev/null 2>&1

  (cd "$INST" && exec "$WINE_RUN" "$PFX" "$INST/morvelle.exe") >"$WORK/morvelle-$DPI.out" 2>&1 &
  ctl=$!
  out=$(drv wait-window 30000 -- settle -- layout)
  printf '%s\n' "$out" | sed 's/^/    | /'
  if printf '%s\n' "$out" | grep -qx "layout ok" && printf '%s\n' "$out" | grep -qx "dpi $DPI"; then
    ok "every control at its place at $DPI DPI"
  else
    bad "the window is not laid out for $DPI DPI"
  fi

  display=:$(cat "$PFX.display")
  desktop=$(DISPLAY=$display xdotool search --name 'Wine desktop' 2>/dev/null | head -1)
  dx=0 dy=0
  if [ -n "$desktop" ]; then
    read -r dx dy < <(DISPLAY=$display xdotool getwindowgeometry "$desktop" |
      sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p')
  fi
  # The pointer away from the window: no hover frame, no hint.
  DISPLAY=$display xdotool mousemove 0 0 >/dev/null 2>&1
  drv sleep 700 -- settle >/dev/null
  read -r _ cx cy cw ch < <(printf '%s\n' "$out" | grep '^client ' | head -1)
  shot=$WORK/window-$DPI.png
  DISPLAY=$display import -window root "$WORK/screen-$DPI.png" &&
    convert "$WORK/screen-$DPI.png" -crop "${cw}x${ch}+$((cx + dx))+$((cy + dy))" +repage "$shot"

  top=$(pixel "$shot" "$(scaled 20)" "$(scaled 16)")
  face=$(pixel "$shot" "$(scaled 230)" "$(scaled 97)")
  # label, region in client pixels at this DPI (between the controls
  # beside it), background
  while read -r name x0 y0 x1 y1 bg; do
    read -r l t r b n < <(ink "$shot" "$x0" "$y0" "$x1" "$y1" "$bg")
    if [ "${n:-0}" -eq 0 ]; then
      bad "$name: no text drawn"
      continue
    fi
    width=$((r - l))
    if [ "$l" -gt "$x0" ] && [ "$r" -lt "$x1" ]; then
      ok "$name: its ink ($l..$r) clear of the controls beside it ($x0..$x1)"
    else
      bad "$name: its ink ($l..$r) runs into the controls beside it ($x0..$x1)"
    fi
    if [ "$DPI" = 96 ]; then
      WIDTH96[$name]=$width
    elif [ -n "${WIDTH96[$name]:-}" ]; then
      want=$((WIDTH96[$name] * DPI / 96))
      if [ $((width * 100)) -ge $((want * 90)) ]; then
        ok "$name: $width pixels wide, whole (96 DPI: ${WIDTH96[$name]})"
      else
        bad "$name: $width pixels wide, cut (want about $want)"
      fi
    fi
  done <<EOT
Morvelle $(scaled 60) 1 $(($(scaled 256) - 1)) $(($(scaled 32) - 1)) $top
Name $(($(scaled 162) + 1)) $(($(scaled 41) + 1)) $(($(scaled 204) - 1)) $(($(scaled 63) - 1)) $face
Auto_run_music_stations $(($(scaled 162) + 1)) $(scaled 66) $(($(scaled 285) - 1)) $(scaled 84) $face
EOT

  if [ "$DPI" = 96 ]; then
    if [ "$WRITE_REFERENCE" = 1 ]; then
      cp "$shot" "$REFERENCE" && echo "  wrote $REFERENCE"
    else
      diff=$(compare -metric AE "$REFERENCE" "$shot" null: 2>&1)
      if [ "$diff" = 0 ]; then
        ok "96 DPI: the client area is the reference picture, pixel for pixel"
      else
        bad "96 DPI: $diff pixels differ from the reference picture (see $shot)"
      fi
    fi
  fi

  drv close >/dev/null
  for _ in $(seq 100); do kill -0 "$ctl" 2>/dev/null || break; sleep 0.1; done
  kill "$ctl" 2>/dev/null
done

echo "window at 96, 144 and 192 DPI${LABEL:+, $LABEL}: $FAILED failed"
[ "$FAILED" -eq 0 ]
