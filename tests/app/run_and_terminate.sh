#!/usr/bin/env bash
# The program from start to end, as a user's session runs it: started under a virtual X
# server with "F03" on its command line (start the stream, load bank 3), ended by SIGTERM
# (a logout). The settings file must then hold bank 3 as the working setting "Current".
#   run_and_terminate.sh <program>
set -euo pipefail
program="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A program folder of its own (the settings file lives beside the program) and a runtime
# folder of its own (the single-instance lock), so a running copy of the program elsewhere
# does not count as a first instance.
mkdir -m 700 "$work/app" "$work/runtime"
cp "$program" "$work/app/ampora"
cat >"$work/app/ampora.ini" <<'INI'
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

export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
# An ASan build: what system libraries keep is not the program's leak.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/../lsan.supp"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" F03 &
  pid=$!
  # Two seconds after the window is shown, the command line has long been obeyed.
  xdotool search --sync --onlyvisible --name "アンポラ" >/dev/null
  sleep 2
  kill -TERM "$pid"
  wait "$pid"
' run "$work/app/ampora" >"$work/run.log" 2>&1 || {
  echo "the program did not end normally:"; cat "$work/run.log"; exit 1
}

# The value of a key in a section of the settings file.
value() {
  awk -F= -v section="[$1]" -v key="$2" '
    /^\[/ { inside = ($0 == section); next }
    inside && $1 == key { print substr($0, length(key) + 2); exit }' "$work/app/ampora.ini"
}

status=0
expect() {
  local got
  got=$(value "$1" "$2")
  if [ "$got" != "$3" ]; then
    echo "[$1] $2: expected '$3', found '$got'"
    status=1
  fi
}
expect Current LevelOutL 7
expect Current LevelOutR 5
expect Current Fuzz-01 1
expect Current Echo-01 0
expect conf DeviceIn "demo guitar"
[ $status -eq 0 ] || { cat "$work/app/ampora.ini"; cat "$work/run.log"; }
exit $status
