#!/usr/bin/env bash
# The program from start to end, as a user's session runs it: started under a virtual X
# server with "F03" on its command line (start the stream, load bank 3), ended by SIGTERM
# (a logout). The settings file must then hold bank 3 as the working setting "Current".
#   run_and_terminate.sh <program>
set -euo pipefail
. "$(dirname "$0")/../../tools/runner/program-runner.sh"

program_dir "$1" <<'INI'
[conf]
DeviceIn=demo guitar
DeviceOut=null
[Current]
LevelOutL=-4
LevelOutR=-4
Echo-01=1
[Bank03]
BankName=Third bank
LevelOutL=7
LevelOutR=5
Fuzz-01=1
INI

in_x '
  "$1/ampora" F03 &
  pid=$!
  # Two seconds after the window is shown, the command line has long been obeyed.
  xdotool search --sync --onlyvisible --name "^$MAIN_TITLE\$" >/dev/null
  sleep 2
  kill -TERM "$pid"
  wait "$pid"
' "$app" >"$work/run.log" 2>&1 || { echo "the program did not end normally:"; cat "$work/run.log"; exit 1; }

expect Current LevelOutL 7
expect Current LevelOutR 5
expect Current Fuzz-01 1
expect Current Echo-01 0
expect conf DeviceIn "demo guitar"
end_session
