# The world around the controller broken from the Linux side: sibling
# programs and the message-text library missing, many starts at once, a
# read-only settings file, a list held by another program, a full disk, a
# kill in the middle of a save, bad pictures, and an installation's own
# message-text library. Sourced by run.sh.

case_siblings_missing() {
  case_begin siblings_missing
  rm -f "$INST"/talvex.exe "$INST"/brevold.exe "$INST"/captelle.exe
  printf 'Rock\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  FAULTS=$((FAULTS + 1))
  run_ctl || return
  drv click-row 0 -- click SpeedButton2 -- click SpeedButton1 -- click SpeedButton3 -- sleep 1000
  no_dialog "missing sibling programs: nothing reported"
  add_station Pop
  state_is "the controller carries on" 2 1 "" 1 Rock Pop
  file_is "and saves" "$INST/lista.qmx" "Rock${CRLF}Pop${CRLF}"
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

case_list_held() {
  case_begin list_held_at_start
  printf 'A\r\nB\r\n' >"$INST/lista.qmx"
  hold "$INST/lista.qmx" || fail "could not hold the list"
  FAULTS=$((FAULTS + 1))
  start_ctl
  errbox "list held at start-up" "Cannot open file \"$(winpath "$INST")\\lista.qmx\". "
  started 10 && state_is "the window opens without rows" 0 -1 "" 0
  unhold
  add_station C -- sleep 500 -- dialog
  answer_if_shown
  intact "the unread list is not replaced" "$INST/lista.qmx" "A${CRLF}B${CRLF}" \
    "the list that was never loaded was overwritten"
  finish
  case_end

  case_begin list_held_at_save
  printf 'A\r\nB\r\n' >"$INST/lista.qmx"
  run_ctl || return
  hold "$INST/lista.qmx" || fail "could not hold the list"
  FAULTS=$((FAULTS + 1))
  add_station C
  errbox "list held at save" "Cannot create file \"$(winpath "$INST")\\lista.qmx\". "
  state_is "the rows keep the change" 3 2 "" 0 A B C
  check "the folders were created" test -d "$INST/C/data"
  unhold
  file_is "the held list is intact" "$INST/lista.qmx" "A${CRLF}B${CRLF}"
  add_station D -- wait rows 4 3000
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
  add_station Full
  errbox "save on a full disk" ""
  case $DTEXT in
    "$(esc "Stream write error.")"|"$(esc "Cannot create file")"*) pass "the failure is told as a write or create error" ;;
    *) fail "unexpected text for a full disk: $DTEXT" ;;
  esac
  intact "the old list is intact" "$INST/lista.qmx" "$list" \
    "the list was damaged by a save on a full disk ($(wc -c <"$INST/lista.qmx") bytes)"
  rm -f "$INST/filler" "$INST/filler2"
  drv wait rows 2001 3000 && add_station More -- sleep 300
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
    add_station New &
    local clicker=$!
    # Kill the moment a file in the folder changes, after DELAY ms more. The
    # 32-bit build under emulation takes seconds to get there.
    local until=$((SECONDS + 60)) hit=
    while [ $SECONDS -lt $until ]; do
      hit=$(find "$INST" -maxdepth 1 -type f -newer "$LOGS/mark" ! -name '*.log' -print -quit)
      [ -n "$hit" ] && break
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
    answer_if_shown
    case $want in
      "JPEG error #53." | "JPEG error #")
        state_is "$name: start-up ended early, no rows" 0 -1 "" 0
        add_station X -- sleep 300 -- dialog
        answer_if_shown
        intact "$name: the unread list kept" "$INST/lista.qmx" "Rock$CRLF" \
          "$name: the unread list was overwritten"
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
  remove_row 0
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
  add_station X
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
