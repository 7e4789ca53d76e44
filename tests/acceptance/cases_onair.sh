# Schedulers on air: the stand-ins stay running as a scheduler does, and the
# cases crash them, close them, run them twice, kill the controller under
# them, try to remove their station, put 70 of them on air and fill the
# event log. Sourced by run.sh.

# stay: the case's stand-ins stay running until a case ends them.
stay() { echo stay >"$INST/standins.stay"; }

# end_standins: with the controller closed, the stand-ins it left running
# end (killed: nothing is watching them any more).
end_standins() {
  local n=200
  kill_ours
  while [ -n "$(our_pids)" ] && [ $n -gt 0 ]; do sleep 0.05; n=$((n - 1)); done
}

# run_rock: Rock's scheduler started with the Run button; its pid in PID.
PID=
run_rock() {
  drv click-row 0 -- click SpeedButton2 -- wait-standin talvex.exe%20Rock 30000
  PID=$(out standin)
  [ -n "$PID" ] || fail "Run put no scheduler on air"
}

# crash_back CAPTION: the stand-in crashes with an access violation, and the
# controller brings a new one back; the crashed pid in PID, the new in BACK.
BACK=
crash_back() {
  FAULTS=$((FAULTS + 1))
  drv standin "$1" crash 0xC0000005 20000 -- wait-standin "$1" 30000
  PID=$(out standin-ended | cut -d' ' -f1)
  BACK=$(out standin)
  eq "the stand-in ended with an access violation" "$(out standin-ended | cut -d' ' -f2)" 0xC0000005
  local after
  after=$(out standin-back-after)
  check "back ${after:-never} ms after the crash" test "${after:-99999}" -le 2000
}

case_onair_crash() {
  case_begin onair_crash
  stay
  printf 'Rock\r\n' >"$INST/lista.qmx"
  run_ctl || return
  run_rock
  local first=$PID
  crash_back talvex.exe%20Rock
  wait_event 10 "^Rock	started	pid $BACK$"
  eq "the log says started, crashed, restarting in 1 s, started" "$(air_events)" \
    "Rock	started	pid $first
Rock	crashed 0xC0000005	pid $first
Rock	restarting in 1 s
Rock	started	pid $BACK"
  eq "started the same way again" "$(params talvex.exe | tr '\n' ' ')" "Rock Rock "
  no_dialog "nothing shown to the operator"
  finish
  drv get standins
  eq "closing the controller leaves the scheduler running" "$(out standins)" 1
  end_standins
  case_end
}

case_onair_stop() {
  case_begin onair_stop
  stay
  printf 'Rock\r\n' >"$INST/lista.qmx"
  run_ctl || return
  run_rock
  drv standin talvex.exe%20Rock close
  eq "closed by its operator, the scheduler exits with 0" "$(out standin-ended | cut -d' ' -f2)" 0x00000000
  wait_event 10 stopped
  # A restart would come 1 s after the exit.
  drv sleep 3000 -- get standins
  eq "no restart" "$(out standins)|$(params talvex.exe | tr '\n' ' ')" "0|Rock "
  eq "the log says started, exited (stopped)" "$(air_events)" \
    "Rock	started	pid $PID
Rock	exited 0x00000000 (stopped)	pid $PID"
  finish
  case_end
}

# Run, Enter and a double click on a station on air: no second scheduler,
# the one on air in front, restored when it was minimised.
case_onair_run_twice() {
  case_begin onair_run_twice
  stay
  printf 'Rock\r\nJazz\r\n' >"$INST/lista.qmx"
  run_ctl || return
  run_rock
  drv click-row 1 -- wait front TALVEX%20Morvelle 5000 -- click-row 0 -- click SpeedButton2 \
    -- wait front talvex.exe%20Rock 5000
  check "Run again brings Rock's scheduler to the front" test $? = 0
  drv click-row 0 -- wait front TALVEX%20Morvelle 5000 -- key RETURN -- wait front talvex.exe%20Rock 5000
  check "so does Enter" test $? = 0
  drv standin talvex.exe%20Rock minimize -- click-row 1 -- dblclick-row 0 -- wait front talvex.exe%20Rock 5000
  check "a double click brings it back from the task bar, in front" test $? = 0
  drv get standins
  eq "one scheduler, started once" "$(out standins)|$(params talvex.exe | tr '\n' ' ')" "1|Rock "
  eq "each try logged" "$(air_events | grep -c "^Rock	already on air	pid $PID$")" 3
  finish
  end_standins
  case_end
}

# The controller killed and started again with auto-run on: it knows the
# schedulers the first run started, starts none again, and still brings a
# crashed one back.
case_onair_controller_again() {
  case_begin onair_controller_again
  stay
  printf 'A\r\nB\r\nC\r\n' >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  run_ctl || return
  drv wait standins 3 60000
  local n=200
  while [ "$(wc -l <"$INST/morvelle.onair" 2>/dev/null || echo 0)" -lt 3 ] && [ $n -gt 0 ]; do
    sleep 0.05
    n=$((n - 1))
  done
  FAULTS=$((FAULTS + 1))
  kill -9 $(ctl_pids) 2>/dev/null
  wait_pid "$CTL" 20
  run_ctl || return
  wait_event 30 "already on air" 3
  drv get standins
  eq "no second set: three schedulers, three starts" "$(out standins)|$(log_lines)" "3|3"
  eq "each one adopted, then passed by" \
    "$(air_events | sed -n 's/	\(adopted at start-up\|already on air\)	pid [0-9]*$/ \1/p' | tr '\n' ',')" \
    "A adopted at start-up,B adopted at start-up,C adopted at start-up,A already on air,B already on air,C already on air,"
  crash_back talvex.exe%20B
  wait_event 10 "^B	started	pid $BACK$"
  check "the log has B's crash and its restart" \
    test "$(air_events | grep -c "^B	crashed 0xC0000005	pid $PID$\|^B	started	pid $BACK$")" = 2
  finish
  end_standins
  case_end
}

case_onair_remove_refused() {
  case_begin onair_remove_refused
  stay
  printf 'Rock\r\nJazz\r\n' >"$INST/lista.qmx"
  mkdir -p "$INST/Rock/history" "$INST/Rock/data"
  echo c >"$INST/Rock/data/canary.txt"
  drv own-text 1004 "$(winpath "$INST")\\morvelle.exe"
  local text
  text=$(out "own-text 1004")
  run_ctl || return
  run_rock
  wait_event 10 started
  local before
  before=$(snapshot "$INST")
  remove_row 0
  msgbox "removing Rock on air" "${text/\%25s/Rock}"
  state_is "the row stays" 2 0 "" 0 Rock Jazz
  eq "the list file and the folders stay" "$(snapshot "$INST")" "$before"
  # Off air, the removal asks as always.
  drv standin talvex.exe%20Rock close
  wait_event 10 stopped
  drv click plhn
  confirm "removing Rock off air" "$T103%20(Rock)"
  drv answer No
  finish
  case_end
}

# More stations on air than one wait on 64 handles holds: the last one
# started crashes and comes back.
case_onair_seventy() {
  case_begin onair_seventy
  stay
  local i list=
  for i in $(seq -w 1 70); do list+="S$i$CRLF"; done
  printf '%s' "$list" >"$INST/lista.qmx"
  printf '[MAC]\r\nauto run=1\r\n' >"$INST/radio.ini"
  run_ctl 60 || return
  drv wait standins 70 300000
  check "auto-run puts 70 schedulers on air" test $? = 0
  crash_back talvex.exe%20S70
  wait_event 10 "^S70	started	pid $BACK$"
  check "the log has S70's crash and its restart" \
    test "$(air_events | grep -c "^S70	crashed 0xC0000005	pid $PID$\|^S70	started	pid $BACK$")" = 2
  drv get standins
  eq "70 on air, 71 starts" "$(out standins)|$(log_lines)" "70|71"
  finish
  end_standins
  case_end
}

# A start with the event log just short of its limit: the full log becomes
# morvelle.log.1 (the older one there replaced), and a new one begins.
case_onair_log_size() {
  case_begin onair_log_size
  printf 'Rock\r\n' >"$INST/lista.qmx"
  # 31,775 lines of 33 bytes: one byte short of 1 MiB.
  yes $'2026-01-01 00:00:00\tOld\tstarted\r' | head -n 31775 >"$INST/morvelle.log"
  echo older >"$INST/morvelle.log.1"
  cp "$INST/morvelle.log" "$LOGS/full.log"
  check "the log is one byte short of 1 MiB" test "$(stat -c %s "$INST/morvelle.log")" = 1048575
  run_ctl || return
  drv click-row 0 -- click SpeedButton2
  wait_event 20 stopped
  check "the full log is morvelle.log.1" cmp -s "$INST/morvelle.log.1" "$LOGS/full.log"
  eq "the new log holds this run's events" "$(air_events | cut -f1-2 | tr '\n' ',')" \
    "Rock	started,Rock	exited 0x00000000 (stopped),"
  finish
  case_end
}
