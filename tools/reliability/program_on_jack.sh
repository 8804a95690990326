# The real program on a JACK dummy server of its own, for the reliability scripts
# (sourced). Outside the virtual X server:
#   jack_start <period>        a private server (-r 44100 -p <period>), stopped at exit
#   program_dir <program>      a folder of its own holding the program, the settings file
#                              from stdin beside it, and a runtime folder (the single-
#                              instance lock); sets $app, $work
#   effect_banks <name>        settings lines: all sixteen effects on in the working
#                              setting and in banks 1..12, named "<name> 01".."<name> 12"
#   in_x <script> [args]       runs the script (bash) under a virtual X server
#   build_when_missing <file>...  installs the packages and builds build/normal when a
#                              file is missing, so that a clean clone needs one command
# Inside in_x's script (also sourced there):
#   main_window                waits for the main window and prints its id
#   point <window> <client width> <client height> <x> <y>   twips to window pixels
#   click <window> <button> <x> <y>
#   pointer_on_main <window>   the pointer onto the main window, where keys then go
#   sample <pid>               "rss_kB open_files" of a process
# The program runs with AMPORA_TRACE=1: its standard error tells when it handled a key
# and, at the end, what its streams and its MIDI input counted.

reliability_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${IN_X:-}" ]; then
  work=$(mktemp -d)
  jack_pid=""
  jack_stop() {
    [ -n "$jack_pid" ] || return 0
    kill "$jack_pid" 2>/dev/null || true
    wait "$jack_pid" 2>/dev/null || true
    jack_pid=""
  }
  trap 'jack_stop; rm -rf "$work"' EXIT

  export JACK_DEFAULT_SERVER="ampora-reliability-$$" JACK_NO_START_SERVER=1 \
    JACK_NO_AUDIO_RESERVATION=1
  jack_start() {
    jackd --no-realtime -S -n "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p "$1" \
      >"$work/jackd.log" 2>&1 &
    jack_pid=$!
    timeout 20 jack_wait -w -t 15 >/dev/null 2>&1 || {
      echo "the JACK dummy server did not start:"; cat "$work/jackd.log"; exit 1
    }
  }

  program_dir() {
    app="$work/app"
    mkdir -p -m 700 "$app" "$work/runtime"
    cp "$1" "$app/ampora"
    cat >"$app/ampora.ini"
  }

  effect_names=(Limiter Compressor Enhancer OverDrive Distortion Fuzz GraphicEQ PitchShift
                Tremolo Flanger Phaser Chorus Vibrato Echo Delay Reverb)
  effect_banks() {
    local section
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
      "$reliability_dir/../../scripts/install-deps"
      "$reliability_dir/../../scripts/build" normal >&2
      return
    done
  }

  in_x() {
    local script="$1"
    shift
    # xdotool matches window titles in the locale's encoding: the Japanese titles need
    # a UTF-8 locale.
    # An ASan build: what system libraries keep is not the program's leak.
    IN_X=1 LC_ALL=C.UTF-8 AMPORA_TRACE=1 XDG_RUNTIME_DIR="$work/runtime" \
      XDG_CONFIG_HOME="$work/config" \
      LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$reliability_dir/../../tests/lsan.supp" \
      env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" \
      bash -c ". '$reliability_dir/program_on_jack.sh'; $script" run "$@"
  }
else
  main_window() { xdotool search --sync --onlyvisible --name "^(アンポラ|Ampora)\$" | head -1; }
  point() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local top=$((HEIGHT - $3 * WIDTH / $2))
    echo "$(($4 * WIDTH / $2)) $((top + $5 * WIDTH / $2))"
  }
  click() {
    xdotool mousemove --window "$1" "$3" "$4" click "$2"
  }
  # Keys go to the window under the pointer (there is no window manager): a point of the
  # main window beside the transport bar, where a key does nothing but reach the window.
  pointer_on_main() { xdotool mousemove --window "$1" $(point "$1" 7785 3990 1500 465); }
  sample() {
    echo "$(awk '/^VmRSS/ { print $2 }' "/proc/$1/status") $(ls "/proc/$1/fd" | wc -l)"
  }
fi
