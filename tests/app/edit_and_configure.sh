#!/usr/bin/env bash
# The effect editor and the settings dialog with the mouse, as a user works them: a right
# click on the limiter's button opens its editor, the first slider is dragged up, "Close"
# closes it; the settings menu opens the dialog, the block length becomes 12 ms, "OK".
# After the program has ended, the settings file holds both changes.
#   edit_and_configure.sh <program> [screenshot folder]
set -euo pipefail
. "$(dirname "$0")/../../tools/runner/program-runner.sh"
shots="${2:-}"

program_dir "$1" <<'INI'
[conf]
DeviceIn=demo guitar
DeviceOut=null
BufferMS=7
[Current]
Limiter-02=80
INI
export SHOTS="$shots"

in_x '
  set -euo pipefail
  "$1/ampora" &
  pid=$!
  gone() { while xdotool search --onlyvisible --name "^$1\$" >/dev/null; do sleep 0.1; done; }
  shot() { [ -z "$SHOTS" ] || import -window root "$SHOTS/$1.png"; }
  click_slowly() {  # window, button, x, y
    xdotool mousemove --window "$1" $3 $4 sleep 0.2 click "$2"
    sleep 0.5
  }

  main=$(main_window)
  click_slowly "$main" 3 $(point main effect0)
  editor=$(window_titled Limiter)
  # Pressed beside the pointer, the pointer jumps there and follows the mouse: from low
  # on the first slider to high on it.
  read -r x y1 < <(point editor slider0-bottom)
  read -r x y2 < <(point editor slider0-top)
  xdotool mousemove --window "$editor" "$x" "$y1" sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove --window "$editor" "$x" "$((y1 - 10))" sleep 0.2 \
    mousemove --window "$editor" "$x" "$y2" sleep 0.2 mouseup 1
  sleep 0.5
  shot editor
  click_slowly "$editor" 1 $(point editor close)
  gone Limiter

  click_slowly "$main" 1 $(point main settings)
  dialog=$(window_titled "$CONF_TITLE")
  shot dialog
  click_slowly "$dialog" 1 $(point settings block-length)
  xdotool key --clearmodifiers ctrl+a type 12
  sleep 0.3
  click_slowly "$dialog" 1 $(point settings ok)
  gone "$CONF_TITLE"

  kill -TERM "$pid"
  wait "$pid"
' "$app" >"$work/run.log" 2>&1 || { echo "the program did not end normally:"; cat "$work/run.log"; exit 1; }

expect conf BufferMS 12
limiter=$(settings_value Current Limiter-02)
if [ -z "$limiter" ] || [ "$limiter" = 80 ]; then
  echo "[Current] Limiter-02: expected a value moved away from 80, found '$limiter'"
  status=1
fi
end_session
