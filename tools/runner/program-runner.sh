# The one way to run the real program under test, sourced by the reliability scripts, the
# measurement scripts and the end-to-end tests. It owns the program folder, the JACK
# dummy server, the virtual X server, the environment and the points to click.
#
# Outside the virtual X server:
#   jack_start PERIOD [RATE]   a private JACK dummy server (scripts/jack-dummy, RATE
#                              default 44100), stopped at exit; jack_stop stops it sooner
#   "${headless[@]}" COMMAND   runs the command (the program with --headless, say) in the
#                              program's environment without any display: no DISPLAY or
#                              WAYLAND_DISPLAY, and a Qt platform that would fail if a
#                              window were tried (a command, not a function: $! of a
#                              background run is the program's own pid)
#   program_dir PROGRAM        a folder of its own holding a copy of PROGRAM (with the
#                              translations beside it), the settings file from stdin beside
#                              it (the program keeps its settings there), and a runtime
#                              folder (the single-instance lock); sets $app (the folder)
#                              and $work (removed at exit)
# SESSION_LANGUAGE chooses the program's language: "ja" sets Language=ja in the settings
# file, "en" leaves the setting out and runs on an English desktop; unset, the program
# follows the runner's locale. MAIN_TITLE and CONF_TITLE are the titles (patterns) of the
# main window and the settings dialog.
#   settings_value SECTION KEY   a value of that settings file (after the run)
#   effect_names               the sixteen effects, in the order of their buttons
#   effect_banks NAME          settings lines: every effect on in the working setting and
#                              in banks 1..12, named "NAME 01".."NAME 12"
#   in_x SCRIPT [ARGS]         runs the script (bash) under a virtual X server, in the
#                              program's environment; its status is the script's
#   build_when_missing FILE... installs the packages and builds build/normal when a file
#                              is missing, so that a clean clone needs one command
#   run_live_program MODE SECONDS   one measured run of $build's program (see below)
#   median A B C ...           the median (the lower middle one of an even count)
# Inside in_x's script (the runner is sourced there too):
#   main_window                waits for the main window and prints its id
#   window_titled TITLE        waits for a visible window of that exact title; its id
#   point WINDOW_KIND NAME     "x y" of a named point of the program's windows, in pixels
#                              of the window, as ampora-window-points measured them on this
#                              display (kinds main, editor, settings)
#   click WINDOW BUTTON X Y    a click at window pixels
#   pointer_on_main WINDOW     the pointer onto the main window's quiet point, where keys
#                              then go (there is no window manager)
#   sample PID                 "rss_kB open_files" of a process
# Run as a command, for the scripts written in Python (tools/runner/program_driver.py):
#   program-runner.sh PROGRAM COMMAND [ARGS]   builds PROGRAM when it is missing, makes the
#                              program folder (no settings file yet) and runs COMMAND under
#                              the virtual X server, in the environment in_x gives
# The program runs with AMPORA_TRACE=1: its standard error tells when it handled a key or
# a transport click and, at the end, what its streams and its MIDI input counted.

runner_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_root=$(cd "$runner_dir/../.." && pwd)

if [ -z "${IN_X:-}" ]; then
  work=$(mktemp -d)
  jack_running=""
  jack_stop() {
    [ -n "$jack_running" ] || return 0
    "$source_root/scripts/jack-dummy" stop
    jack_running=""
  }
  # A script that leaves a file "keep" there keeps the folder (logs, settings).
  trap 'jack_stop; [ -e "$work/keep" ] || rm -rf "$work"' EXIT

  # The server is named after this run, so that runs beside each other keep apart; until
  # jack_start, JACK_DEFAULT_SERVER stays as given (the test command's server).
  jack_start() {
    export JACK_DEFAULT_SERVER="ampora-run-$$" JACK_NO_START_SERVER=1
    "$source_root/scripts/jack-dummy" start "${2:-44100}" "$1"
    jack_running=1
  }

  program_dir() {
    app="$work/app"
    mkdir -p -m 700 "$app" "$work/runtime"
    cp "$1" "$app/ampora"
    # The translations lie beside the program in the build tree.
    [ ! -d "$(dirname "$1")/translations" ] || cp -r "$(dirname "$1")/translations" "$app/"
    if [ "${SESSION_LANGUAGE:-}" = ja ]; then
      sed 's/^\[conf\]$/[conf]\nLanguage=ja/' >"$app/ampora.ini"
    else
      cat >"$app/ampora.ini"
    fi
    # The points come from the build the program comes from.
    window_points="$(cd "$(dirname "$1")/../.." && pwd)/tools/ampora-window-points"
  }

  settings_value() {
    awk -F= -v section="[$1]" -v key="$2" '
      /^\[/ { inside = ($0 == section); next }
      inside && $1 == key { print substr($0, length(key) + 2); exit }' "$app/ampora.ini"
  }

  effect_names=(Limiter Compressor Enhancer OverDrive Distortion Fuzz GraphicEQ PitchShift
                Tremolo Flanger Phaser Chorus Vibrato Echo Delay Reverb)
  effect_banks() {
    local section e
    for section in Current Bank{01..12}; do
      printf '[%s]\n' "$section"
      [ "$section" = Current ] || printf 'BankName=%s %s\n' "$1" "${section#Bank}"
      for e in "${effect_names[@]}"; do printf '%s-01=1\n' "$e"; done
    done
  }

  build_when_missing() {
    local f
    for f in "$@"; do
      [ -x "$f" ] && continue
      echo "$f is missing: installing the packages and building build/normal" >&2
      "$source_root/scripts/install-deps"
      "$source_root/scripts/build" normal >&2
      return
    done
  }

  case "${SESSION_LANGUAGE:-}" in
    ja) export MAIN_TITLE="アンポラ" CONF_TITLE="設定" ;;
    en) export MAIN_TITLE=Ampora CONF_TITLE=Settings ;;
    *) export MAIN_TITLE="(アンポラ|Ampora)" CONF_TITLE="(設定|Settings)" ;;
  esac
  # xdotool matches window titles in the locale's encoding: the Japanese titles need a
  # UTF-8 locale.
  locale=C.UTF-8
  [ "${SESSION_LANGUAGE:-}" != en ] || locale=en_GB.UTF-8
  program_environment=(
    -u LANGUAGE XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" LC_ALL="$locale"
    # An ASan build: what system libraries keep is not the program's leak.
    LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$source_root/tests/lsan.supp")

  headless=(env -u DISPLAY -u WAYLAND_DISPLAY "${program_environment[@]}" QT_QPA_PLATFORM=xcb)

  # The X server chooses its display number itself (-displayfd): it takes the first free
  # one atomically, where xvfb-run -a's probe lets two runs side by side pick the same.
  in_x() {
    local script="$1" display_file="$work/x-display" xpid status=0
    shift
    rm -f "$display_file"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp \
      3>"$display_file" >"$work/xvfb.log" 2>&1 &
    xpid=$!
    until [ -s "$display_file" ]; do
      if ! kill -0 "$xpid" 2>/dev/null; then
        echo "runner: the virtual X server did not start:" >&2
        cat "$work/xvfb.log" >&2
        return 1
      fi
      sleep 0.05
    done
    env -u QT_QPA_PLATFORM "${program_environment[@]}" DISPLAY=":$(head -1 "$display_file")" \
      IN_X=1 WORK="$work" APP="${app:-}" WINDOW_POINTS="$window_points" AMPORA_TRACE=1 \
      bash -c ". '$runner_dir/program-runner.sh'; $script" run "$@" || status=$?
    kill "$xpid" 2>/dev/null || true
    wait "$xpid" 2>/dev/null || true
    return $status
  }

  # run_live_program MODE SECONDS: one run of $build's program, started streaming (switch
  # S), on the server of jack_start; MODE all|off (every effect on or off) or tuner (the
  # tuner button clicked); the [conf] lines are $live_program_conf when set (another audio
  # interface), else the JACK server's system ports. Prints "startup_ms rss_kb
  # cpu_percent", the CPU of all its threads as a share of one core over SECONDS after a
  # 3 s settle.
  run_live_program() {
    local mode="$1" seconds="$2" on=1 e
    [ "$mode" = all ] || on=0
    program_dir "$build/src/app/ampora" < <(
      printf '[conf]\n%s\n[Current]\n' "${live_program_conf:-AudioApi=jack
DeviceIn=system
DeviceOut=system}"
      for e in "${effect_names[@]}"; do printf '%s-01=%s\n' "$e" "$on"; done
    )
    in_x '
      mode=$1 seconds=$2 app=$3
      t0=$(date +%s%N)
      "$app/ampora" S >/dev/null 2>&1 &
      pid=$!
      until wid=$(xdotool search --onlyvisible --name "^$MAIN_TITLE\$" 2>/dev/null | head -1) &&
            [ -n "$wid" ]; do
        sleep 0.01
      done
      t1=$(date +%s%N)
      [ "$mode" != tuner ] || click "$wid" 1 $(point main tuner)
      sleep 3
      ticks() { awk "{ print \$14 + \$15 }" /proc/$pid/stat; }
      a=$(ticks); s0=$(date +%s%N)
      sleep "$seconds"
      b=$(ticks); s1=$(date +%s%N)
      rss=$(awk "/^VmRSS/ { print \$2 }" /proc/$pid/status)
      kill -TERM $pid; wait $pid || true
      hz=$(getconf CLK_TCK)
      echo "$(( (t1 - t0) / 1000000 )) $rss $(awk -v t=$((b - a)) -v hz=$hz \
        -v ns=$((s1 - s0)) "BEGIN { printf \"%.2f\", 100 * t / hz / (ns / 1e9) }")"
    ' "$mode" "$seconds" "$app"
  }

  median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
  }
else
  window_titled() { xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
  main_window() { window_titled "$MAIN_TITLE"; }
  # Measured before the script runs, so that the measuring windows are gone when the
  # script looks for the program's; the display of every in_x is alike.
  [ -s "$WORK/points" ] || "$WINDOW_POINTS" >"$WORK/points" 2>/dev/null ||
    echo "runner: $WINDOW_POINTS gave no points" >&2
  point() {
    awk -v kind="$1" -v name="$2" '$1 == kind && $2 == name { print $3, $4; found = 1 }
      END { exit !found }' "$WORK/points" || { echo "runner: no point $1 $2" >&2; return 1; }
  }
  click() {
    xdotool mousemove --window "$1" "$3" "$4" click "$2"
  }
  pointer_on_main() {
    local x y
    read -r x y < <(point main quiet)
    xdotool mousemove --window "$1" "$x" "$y"
  }
  sample() {
    echo "$(awk '/^VmRSS/ { print $2 }' "/proc/$1/status") $(ls "/proc/$1/fd" | wc -l)"
  }
fi

# The end-to-end tests' checks of the settings file after a run:
#   expect SECTION KEY VALUE   compares a value, noting a difference
#   end_session                exits, with the file and $work/run.log shown after a difference
status=0
expect() {
  local got
  got=$(settings_value "$1" "$2")
  if [ "$got" != "$3" ]; then
    echo "[$1] $2: expected '$3', found '$got'"
    status=1
  fi
}
end_session() {
  [ $status -eq 0 ] || { cat "$app/ampora.ini"; cat "$work/run.log" 2>/dev/null; }
  exit $status
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  program=$1
  shift
  build_when_missing "$program"
  [ -x "$program" ] || { echo "program-runner: no program at $program" >&2; exit 2; }
  program_dir "$program" </dev/null
  export JACK_DEFAULT_SERVER="ampora-run-$$" JACK_NO_START_SERVER=1
  # shellcheck disable=SC2016  # expanded by the shell under the virtual X server
  in_x '"$@"' "$@"
fi
