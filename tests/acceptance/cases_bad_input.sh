# Input the controller must survive unharmed: a 50 MiB line, bytes 128 to
# 255, a 5,000-character name and names that must never take more than their
# own folder with them. Sourced by run.sh.

case_huge_line() {
  case_begin huge_one_line
  head -c 52428800 /dev/zero | tr '\0' 'x' >"$INST/lista.qmx"
  BAD_INPUTS=$((BAD_INPUTS + 1))
  run_ctl 180 || { case_end; return; }
  # Shown, the window still paints the row for a while (some 15 s for the
  # 32-bit build under emulation) before it answers again.
  drv wait-answer 180000 -- rowlen 0 -- get rows
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
  add_station "St%E9%E4tion%A7%FF"
  state_is "typed high bytes added" 5 4 "" 0 "${escs[@]}" "St%E9%E4tion%A7%FF"
  file_is "saved byte for byte" "$INST/lista.qmx" "$want_file"$'St\xe9\xe4tion\xa7\xff'"$CRLF"
  finish
  run_ctl || return
  state_is "reloaded byte for byte" 5 -1 "" 0 "${escs[@]}" "St%E9%E4tion%A7%FF"
  remove_row 4
  confirm "remove the typed one" "$T103%20(St%E9%E4tion%A7%FF)"
  drv answer Yes -- sleep 300 -- dialog
  answer_if_shown
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
  # Typing 5,000 characters takes a while, the longer under emulation.
  add_station --within 180000 "$name" -- wait rows 1 5000 -- row 0
  eq "the 5,000-character name is one row" "$(out 'row 0' | cut -d' ' -f2)" 5000
  file_is "and one line of the file" "$INST/lista.qmx" "$name$CRLF"
  remove_row 0
  confirm "remove the long name" "$T103%20($name)"
  drv answer Yes -- sleep 300 -- dialog
  answer_if_shown
  file_is "removed" "$INST/lista.qmx" ""
  check "the installation is whole" test -f "$INST/morvelle.exe" -a -f "$INST/velnorix.dll"
  finish
  case_end
}

# names_outside: a digest of every name in the sandbox but those in the
# case's own installation.
names_outside() {
  (cd "$ROOT" && find . -path "./${INST#"$ROOT"/}" -prune -o -print | LC_ALL=C sort | md5sum)
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
  guard_before=$(names_outside)
  BAD_INPUTS=$((BAD_INPUTS + ${#names[@]}))
  run_ctl || return
  local count=$((${#names[@]} + 1)) k
  for k in "${!names[@]}"; do
    n=${names[$k]}
    # The row leaves the list before the folder is dealt with and the list
    # saved; the word that the folder was kept comes only after both, so it
    # is waited for, not looked for once after a short pause.
    local keeps=1
    case $n in "$(printf 'x%.0s' $(seq 300))" | " Rock") keeps=0 ;; esac
    remove_row 0 -- wait-dialog Confirm 10000 -- answer Yes -- wait rows $((count - 1)) 5000
    local removed=$?
    if [ $removed -ne 0 ]; then
      fail "removing '$(esc "$n")' did not go through"
      drv sleep 200 -- dialog && answer_if_shown
      drv dialog && answer_if_shown No
    elif [ $keeps = 1 ]; then
      count=$((count - 1))
      if drv wait-dialog CONTROLLER 10000; then
        eq "removing '$(esc "$n")': the folder is kept, and said so" "$(out dialog-text)" "$OWN_KEPT"
        drv answer OK
      else
        fail "removing '$(esc "$n")': no word that its folder was kept"
        drv dialog && answer_if_shown
      fi
    else
      # Its own folder, deleted without a word; or, for the name too long
      # for any folder, kept and said so.
      count=$((count - 1))
      drv sleep 1000 -- dialog
      if [ "$(out dialog)" = none ]; then
        pass "removing '$(esc "$n")': its own folder only"
      elif [ "$(out dialog)" = CONTROLLER ]; then
        eq "removing '$(esc "$n")': the folder is kept, and said so" "$(out dialog-text)" "$OWN_KEPT"
        drv answer OK
      else
        fail "removing '$(esc "$n")' left the dialog '$(out dialog)'"
        drv answer OK
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
    "$(names_outside)" "$guard_before"
  finish
  case_end
}
