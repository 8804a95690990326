# Sourced by the live measurements: the program on a private JACK server with the dummy
# driver (no sound card), in a folder of its own with its settings file beside it, under
# xvfb-run. The caller sets $build (the build folder) and $work (a scratch folder it
# removes) and calls stop_jack_server on exit.

export JACK_DEFAULT_SERVER="ampora-live-$$" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
jack_server_pid=""

# start_jack_server PERIOD_FRAMES
start_jack_server() {
  jackd --no-realtime -S -n "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p "$1" \
    >"$work/jackd.log" 2>&1 &
  jack_server_pid=$!
  timeout 20 jack_wait -w -t 15 >/dev/null 2>&1
}

stop_jack_server() {
  [ -n "$jack_server_pid" ] || return 0
  kill "$jack_server_pid" 2>/dev/null || true
  wait "$jack_server_pid" 2>/dev/null || true
  jack_server_pid=""
}

live_effects=(Limiter Compressor Enhancer OverDrive Distortion Fuzz GraphicEQ PitchShift
              Tremolo Flanger Phaser Chorus Vibrato Echo Delay Reverb)

# run_live_program MODE SECONDS: one run of the program, started streaming (switch S);
# MODE all|off (every effect on or off) or tuner (the tuner button clicked). Prints
# "startup_ms rss_kb cpu_percent", the CPU of all its threads as a share of one core over
# SECONDS after a 3 s settle.
run_live_program() {
  local mode="$1" seconds="$2" dir
  dir=$(mktemp -d "$work/run-XXXX")
  mkdir -p -m 700 "$dir/runtime"
  cp "$build/src/app/ampora" "$dir/ampora"
  {
    printf '[conf]\nAudioApi=jack\nDeviceIn=system\nDeviceOut=system\n[Current]\n'
    local on=1 e
    [ "$mode" = all ] || on=0
    for e in "${live_effects[@]}"; do printf '%s-01=%s\n' "$e" "$on"; done
  } >"$dir/ampora.ini"
  LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/config" \
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    mode=$1 seconds=$2
    t0=$(date +%s%N)
    "$3" S >/dev/null 2>&1 &
    pid=$!
    until wid=$(xdotool search --onlyvisible --name "アンポラ" 2>/dev/null | head -1) && [ -n "$wid" ]; do
      sleep 0.01
    done
    t1=$(date +%s%N)
    if [ "$mode" = tuner ]; then
      # The transport bar: 3585 twips from the client'"'"'s left, 315 from its top, four
      # buttons in 3570 twips; the client is 3990 twips high under the menu bar.
      eval "$(xdotool getwindowgeometry --shell "$wid")"
      y=$(( HEIGHT - 266 + 31 ))
      xdotool mousemove --window "$wid" 388 "$y" click 1
    fi
    sleep 3
    ticks() { awk "{ print \$14 + \$15 }" /proc/$pid/stat; }
    a=$(ticks); s0=$(date +%s%N)
    sleep "$seconds"
    b=$(ticks); s1=$(date +%s%N)
    rss=$(awk "/^VmRSS/ { print \$2 }" /proc/$pid/status)
    kill -TERM $pid; wait $pid || true
    hz=$(getconf CLK_TCK)
    echo "$(( (t1 - t0) / 1000000 )) $rss $(awk -v t=$((b - a)) -v hz=$hz -v ns=$((s1 - s0)) \
      "BEGIN { printf \"%.2f\", 100 * t / hz / (ns / 1e9) }")"
  ' run "$mode" "$seconds" "$dir/ampora"
  rm -rf "$dir"
}

# median A B C ...: the median of the numbers (the lower middle one of an even count).
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
