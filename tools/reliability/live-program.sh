# Sourced by the live measurements: program_on_jack.sh (a private JACK dummy server, a
# program folder, a virtual X server; $work, removed at exit) and the run they share.

# shellcheck source=tools/reliability/program_on_jack.sh
source "$(dirname "${BASH_SOURCE[0]}")/program_on_jack.sh"

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
    until wid=$(xdotool search --onlyvisible --name "^(アンポラ|Ampora)\$" 2>/dev/null | head -1) &&
          [ -n "$wid" ]; do
      sleep 0.01
    done
    t1=$(date +%s%N)
    # The transport bar: four buttons of 892 twips from 3585 twips left, their middle
    # 465 twips down; the third is Tuner.
    if [ "$mode" = tuner ]; then
      click "$wid" 1 $(point "$wid" 7785 3990 $((3585 + 446 + 892 * 2)) 465)
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
  ' "$mode" "$seconds" "$app"
}

# median A B C ...: the median of the numbers (the lower middle one of an even count).
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
