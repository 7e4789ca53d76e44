# What an operator does in the window, in the steps cases repeat: typing a
# name, adding a station, removing a row, answering what a step brought up.
# Each runs one drv chain; commands after a NAME or ROW (starting with --)
# go on the end of that chain. Sourced by run.sh.

# enter_name [--within MS] NAME [-- COMMAND ARGS...]...: clicks the name
# field and types NAME (escaped), then waits (3000 ms unless MS) until the
# field shows it.
enter_name() {
  local ms=3000 name
  if [ "$1" = --within ]; then
    ms=$2
    shift 2
  fi
  name=$1
  shift
  drv click msname -- type "$name" -- wait name "$name" "$ms" "$@"
}

# add_station [--within MS] NAME [-- COMMAND ARGS...]...: enter_name, then
# the Add button.
add_station() {
  local within=()
  if [ "$1" = --within ]; then
    within=("$1" "$2")
    shift 2
  fi
  enter_name "${within[@]}" "$1" -- click syn "${@:2}"
}

# remove_row ROW [-- COMMAND ARGS...]...: clicks the row, then the Remove
# button.
remove_row() {
  drv click-row "$1" -- click plhn "${@:2}"
}

# answer_if_shown [BUTTON]: when the last drv chain found a dialog up,
# answers it with BUTTON (OK unless given).
answer_if_shown() {
  [ "$(out dialog)" != none ] && drv answer "${1:-OK}"
}
