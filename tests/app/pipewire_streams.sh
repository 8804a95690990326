#!/usr/bin/env bash
# The program without a window on a real PipeWire daemon of the test's own (a null sink,
# no sound card): through the Pulse API, through ALSA's "default" device and through
# pw-jack, SECONDS each at PipeWire's 48000 Hz, with no message box, the rate each
# interface streams at, and every block handled once; pw-jack also with the graph at 44100
# and 96000 Hz. Then the daemon is stopped under a running stream on each interface: the
# program must end the stream by itself with the lost device's message box.
#   pipewire_streams.sh <source dir> <program> [SECONDS]   (default 20)
# Exits 77 (skipped) when PipeWire is not installed.
set -euo pipefail
source_dir=$1
program=$2
seconds=${3:-20}
for needed in pipewire wireplumber pipewire-pulse pw-jack pactl dbus-run-session; do
  command -v "$needed" >/dev/null || { echo "$needed is missing: scripts/install-deps"; exit 77; }
done

export AMPORA_PIPEWIRE_NAME="test-$$"
session="$source_dir/scripts/pipewire-session"
work=$(mktemp -d)
program_pid=""
cleanup() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  "$session" stop
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for f in out err; do [ -f "$work/$f" ] && { echo "--- $f"; cat "$work/$f"; }; done
  exit 1
}

mkdir -m 700 "$work/app"
cp "$program" "$work/app/ampora"
export XDG_CONFIG_HOME="$work/config" AMPORA_TRACE=1
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$source_dir/tests/lsan.supp"
headless_env=(env -u DISPLAY -u WAYLAND_DISPLAY)

session_start() {
  "$session" start "$1" || fail "the PipeWire session did not start at $1 Hz"
  eval "$("$session" env)"
}

# Starts the program streaming on interface $1 (pulse, alsa, jack through pw-jack) with
# the default devices, in Japanese (the box text looked for below); its commands go to
# descriptor 3.
program_start() {
  printf '[conf]\nLanguage=ja\nAudioApi=%s\n' "$1" >"$work/app/ampora.ini"
  local wrapper=()
  [ "$1" = jack ] && wrapper=(pw-jack)
  rm -f "$work/to_program"
  mkfifo "$work/to_program"
  "${headless_env[@]}" "${wrapper[@]}" "$work/app/ampora" --headless S \
    <"$work/to_program" >"$work/out" 2>"$work/err" &
  program_pid=$!
  exec 3>"$work/to_program"
  timeout 20 bash -c "until grep -q '^stream' '$work/out'; do sleep 0.1; done" ||
    fail "$1: the stream did not start"
  grep -q '^stream started' "$work/out" || fail "$1: the stream did not start"
}

program_quit() {
  echo quit >&3
  exec 3>&-
  timeout 20 tail --pid="$program_pid" -f /dev/null || fail "$1: the program did not end"
  wait "$program_pid" || fail "$1: the program ended with status $?"
  program_pid=""
}

count() { sed -n "s/.*ampora-trace: counts.* $1=\([0-9]*\).*/\1/p" "$work/err"; }

# Streams on interface $1 for $2 seconds: the rate must be $3, no box may show, and every
# block filled must be handled once (or left at the close).
stream_for() {
  local api=$1 span=$2 rate=$3
  program_start "$api"
  grep -q "^stream started: .*, $rate Hz," "$work/out" || fail "$api: not streaming at $rate Hz"
  sleep "$span"
  echo status >&3
  timeout 10 bash -c "until grep -q '^status: stream running' '$work/out'; do sleep 0.1; done" ||
    fail "$api: the stream stopped"
  program_quit "$api"
  ! grep -q '^ampora: ' "$work/err" || fail "$api: a message box showed"
  ! grep -q 'device lost' "$work/out" || fail "$api: the device was lost"
  local filled handled left twice
  filled=$(count blocks_filled) handled=$(count blocks_handled)
  left=$(count blocks_left_at_close) twice=$(count blocks_handled_twice)
  [ -n "$filled" ] || fail "$api: no counts"
  # Blocks of 7 ms: half of them at the least, on a busy machine.
  [ "$handled" -ge $((span * 1000 / 7 / 2)) ] || fail "$api: only $handled blocks handled"
  [ "$twice" -eq 0 ] && [ "$filled" -eq $((handled + left)) ] ||
    fail "$api: $filled blocks filled, $handled handled, $left left at the close, $twice twice"
  echo "$api at $rate Hz, $span s: $handled blocks handled, $left left at the close"
}

# The daemon stops under a running stream on interface $1: the program ends the stream
# with the lost device's box, by itself, and answers afterwards.
lose_daemon_under() {
  local api=$1
  session_start 48000
  program_start "$api"
  sleep 1
  "$session" stop
  timeout 10 bash -c "until grep -q '^device lost: stream stopped' '$work/out'; do sleep 0.1; done" ||
    fail "$api: the lost daemon did not end the stream"
  grep -q "^ampora: オーディオデバイスとの接続が切れました。" "$work/err" ||
    fail "$api: no message box for the lost device"
  echo status >&3
  timeout 10 bash -c "until grep -q '^status: stream stopped' '$work/out'; do sleep 0.1; done" ||
    fail "$api: the program does not answer after the loss"
  program_quit "$api"
  echo "$api: the daemon's end ended the stream with its box"
}

session_start 48000
stream_for pulse "$seconds" 44100
stream_for alsa "$seconds" 44100
stream_for jack "$seconds" 48000
for rate in 44100 96000; do
  "$session" stop
  session_start "$rate"
  stream_for jack 2 "$rate"
done
"$session" stop
for api in pulse alsa jack; do lose_daemon_under "$api"; done
echo "PASS"
