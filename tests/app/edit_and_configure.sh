#!/usr/bin/env bash
# The effect editor and the settings dialog with the mouse, as a user works them: a right
# click on the limiter's button opens its editor, the first slider is dragged up, "Close"
# closes it; the settings menu opens the dialog, the block length becomes 12 ms, "OK".
# After the program has ended, the settings file holds both changes.
#   edit_and_configure.sh <program> [screenshot folder]
set -euo pipefail
. "$(dirname "$0")/program_session.sh"
shots="${2:-}"

new_session "$1" <<'INI'
[conf]
DeviceIn=demo guitar
DeviceOut=null
BufferMS=7
[Current]
Limiter-02=80
INI
export SHOTS="$shots"

run_session '
  set -euo pipefail
  "$1" &
  pid=$!
  # Waits until a visible window of that exact title exists (or, with "gone", does not).
  window() { xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
  gone() { while xdotool search --onlyvisible --name "^$1\$" >/dev/null; do sleep 0.1; done; }
  shot() { [ -z "$SHOTS" ] || import -window root "$SHOTS/$1.png"; }
  # Window coordinates of a point given in twips of a window of a known client width; the
  # menu bar, if any, lies above the client area of a known height.
  point() {  # window, client width, client height, x, y (twips)
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local top=$((HEIGHT - $3 * WIDTH / $2))
    echo "$(($4 * WIDTH / $2)) $((top + $5 * WIDTH / $2))"
  }
  click() {  # window, button, x, y
    xdotool mousemove --window "$1" $3 $4 sleep 0.2 click "$2"
    sleep 0.5
  }

  main=$(window "$MAIN_TITLE")
  # The limiter is the first effect button: the signal-flow area at (585, 1365), the
  # button at (465, 540) in it and 555 twips square.
  click "$main" 3 $(point "$main" 7785 3990 1327 2182)
  editor=$(window Limiter)
  # Its first slider spans 90..600 twips across and 270..4395 down; pressed beside the
  # pointer, the pointer jumps there and follows the mouse.
  read -r x y1 < <(point "$editor" 4785 4785 345 3000)
  read -r x y2 < <(point "$editor" 4785 4785 345 1500)
  xdotool mousemove --window "$editor" "$x" "$y1" sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove --window "$editor" "$x" "$((y1 - 10))" sleep 0.2 \
    mousemove --window "$editor" "$x" "$y2" sleep 0.2 mouseup 1
  sleep 0.5
  shot editor
  # "Close" ends 3 pixels before the right edge: 975 by 330 twips, top at 4350.
  eval "$(xdotool getwindowgeometry --shell "$editor")"
  click "$editor" 1 $((WIDTH - 3 - 975 * HEIGHT / 4785 / 2)) $(((4350 + 165) * HEIGHT / 4785))
  gone Limiter

  # The settings command is the first entry of the menu bar.
  click "$main" 1 20 8
  dialog=$(window "$CONF_TITLE")
  shot dialog
  # The block length box: 945 by 270 twips at (1875, 810) of a 5595 by 3660 client area.
  click "$dialog" 1 $(point "$dialog" 5595 3660 2347 945)
  xdotool key --clearmodifiers ctrl+a type 12
  sleep 0.3
  # "OK" is the right half of the 2400 by 330 bar at (3075, 3210).
  click "$dialog" 1 $(point "$dialog" 5595 3660 4875 3375)
  gone "$CONF_TITLE"

  kill -TERM "$pid"
  wait "$pid"
'

expect conf BufferMS 12
limiter=$(value Current Limiter-02)
if [ -z "$limiter" ] || [ "$limiter" = 80 ]; then
  echo "[Current] Limiter-02: expected a value moved away from 80, found '$limiter'"
  status=1
fi
end_session
