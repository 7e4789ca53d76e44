# The operator's own work with the window: the first start, adding and
# removing stations, the run buttons, hints, auto-run, the settings file, a
# second start, the operator keys, Enter held down, a letter typed again, a
# start with Shift held and an installation folder with spaces and accents.
# Sourced by run.sh.

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
  enter_name "%20%20%20"
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
  add_station Jazz
  add_station Q
  state_is "Jazz and the one-letter Q added" 3 2 "" 0 Rock Jazz Q
  file_is "list of three" "$INST/lista.qmx" "Rock${CRLF}Jazz${CRLF}Q${CRLF}"
  BAD_INPUTS=$((BAD_INPUTS + 1))
  echo canary >"$INST/Rock/history/old.txt"
  local before
  before=$(snapshot "$INST")
  # Remove Rock: No, Escape and the close box leave everything as it was.
  remove_row 0
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
  remove_row 1
  confirm "remove Q" "$T103%20(Q)"
  drv answer Yes
  state_is "Q gone, nothing highlighted" 1 -1 "" 0 Jazz
  check "Q's folders deleted" test ! -e "$INST/Q"
  drv click plhn
  errbox "remove with no row highlighted" "List index out of bounds (-1)"
  state_is "nothing removed" 1 -1 "" 0 Jazz
  file_is "list unchanged by the failed remove" "$INST/lista.qmx" "Jazz${CRLF}"
  remove_row 0
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
  add_station Rock -- wait rows 1 3000
  add_station Rock
  add_station ROCK
  state_is "Rock twice and ROCK" 3 2 "" 0 Rock Rock ROCK
  file_is "the file holds both Rock lines" "$INST/lista.qmx" "Rock${CRLF}Rock${CRLF}ROCK${CRLF}"
  echo canary >"$INST/Rock/data/keep.txt"
  remove_row 0
  confirm "remove the first Rock" "$T103%20(Rock)"
  drv answer Yes
  msgbox "the shared folder is kept" "$OWN_KEPT"
  check "Rock's folder kept while another row names it" test -f "$INST/Rock/data/keep.txt"
  remove_row 1
  confirm "remove ROCK" "$T103%20(ROCK)"
  drv answer Yes
  msgbox "the folder that differs only in case is kept" "$OWN_KEPT"
  check "Rock's folder kept for the remaining Rock" test -f "$INST/Rock/data/keep.txt"
  remove_row 0
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

case_autorun() {
  case_begin autorun_abc
  order_siblings
  printf 'A\r\nB\r\nC\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  run_ctl || return
  wait_order 3
  eq "auto-run starts A, B, C in order" "$(order_params)" "talvex.exe:A talvex.exe:B talvex.exe:C "
  state_is "the highlight is unchanged, the box checked" 3 -1 "" 1 A B C
  # Run on a station whose scheduler still runs only shows that one.
  wait_event 20 stopped 3
  drv click SpeedButton2
  wait_order 4
  eq "Run afterwards starts the last row, C" "$(order_params | awk '{print $4}')" "talvex.exe:C"
  drv click plhn
  errbox "Remove before a row was chosen" "List index out of bounds (-1)"
  # Dialogs closing, minimising and restoring run nothing again.
  drv click syn
  msgbox "blank add" "$T104"
  remove_row 0
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
    order_siblings
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
  enter_name Pop -- key RETURN
  state_is "Enter in the name field adds Pop, highlighted, the field emptied" 3 2 "" 0 Rock Jazz Pop
  file_is "the list saved with Pop" "$INST/lista.qmx" "Rock${CRLF}Jazz${CRLF}Pop${CRLF}"
  check "Pop's folders made" test -d "$INST/Pop/history" -a -d "$INST/Pop/data"
  drv key RETURN
  msgbox "Enter in the emptied name field" "$T104"
  drv click-row 1 -- key RETURN
  wait_log 1
  eq "Enter on Jazz starts the scheduler for Jazz" "$(params talvex.exe)" "Jazz"
  # Its exit, logged, is the last change this start makes.
  wait_event 20 stopped
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

# Enter held down acts once, in the list and in the name field: the key's
# repeats start nothing more, and neither close the box it brought up nor
# bring up another. Last, a held letter shows that the X server repeats held
# keys at all.
case_held_enter() {
  case_begin held_enter
  printf 'Jazz\r\nRock\r\n' >"$INST/lista.qmx"
  run_ctl || return
  drv click-row 0 && xhold Return 1.5
  wait_log 1
  drv settle -- sleep 1000
  eq "Enter held on Jazz starts the scheduler once" "$(params talvex.exe | tr '\n' ' ')" "Jazz "
  # The box the first key-down brought up is the one still up at the end:
  # no repeat closed it and opened another.
  local first=
  drv click msname && xkey keydown Return && drv wait-dialog CONTROLLER 15000 -- point-button OK
  first=$(out dialog-handle)
  sleep 1.5
  xkey keyup Return
  drv settle -- point-button OK
  eq "Enter held in the empty name field: the first box stays up" "$(out dialog-handle)" "${first:-none}"
  msgbox "Enter held in the empty name field" "$T104"
  no_dialog "one box only"
  drv click msname && xhold x 1.5
  drv get name
  check "a held letter repeats: the X server repeats held keys" test "$(out name)" != x
  finish
  case_end
}

# A letter typed again after a pause searches afresh, even the letter typed
# before: the operator moved to another row in between.
case_type_again() {
  case_begin type_again
  printf 'Jazz\r\nRock\r\n' >"$INST/lista.qmx"
  run_ctl || return
  drv click-row 1 -- type j -- wait highlight 0 3000 -- key DOWN -- wait highlight 1 3000 \
    -- sleep 800 -- type j
  state_is "j, Down, a pause and j again: Jazz highlighted" 2 0 "" 0 Jazz Rock
  drv key RETURN
  wait_log 1
  eq "Enter then starts the scheduler for Jazz" "$(params talvex.exe)" "Jazz"
  finish
  case_end
}

# Shift held while the controller starts: no auto-run this time, the box and
# its setting stay, and the next start runs auto-run again.
case_shift_start() {
  case_begin shift_start
  order_siblings
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

case_folder_path() {
  case_begin folder_path "$ROOT/cases/Radio Stätiön é/Installed here"
  run_ctl || return
  add_station "Rock%20FM" -- click-row 0 -- click SpeedButton2
  wait_log 1
  eq "the scheduler starts from a folder with spaces and accents" "$(params talvex.exe)" "Rock FM"
  check "the station's folders made there" test -d "$INST/Rock FM/history"
  file_is "the list saved there" "$INST/lista.qmx" "Rock FM${CRLF}"
  finish
  check "radio.ini written there" test -f "$INST/radio.ini"
  case_end
}
