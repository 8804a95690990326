#!/usr/bin/env bash
# The program without a window, end to end, on the JACK server of the test command
# (JACK_DEFAULT_SERVER), with no display variable and a Qt platform that would fail if a
# window were attempted: started with F03, then "bank 5" on standard input and a MIDI
# Program Change 7 through JACK MIDI load their banks, which the lines on standard output
# and the sound on the program's JACK ports both show; an unknown command changes
# nothing; a second start, headless or windowed, leaves at once; --list-devices lists the
# JACK ports; SIGTERM ends it saving the working setting [Current].
#   headless_session.sh <program> <ampora-program-change>
# Exits 77 (skipped) when JACK_DEFAULT_SERVER names no server.
set -euo pipefail
program=$1
sender=$2
if [ -z "${JACK_DEFAULT_SERVER:-}" ]; then
  echo "no JACK server: set JACK_DEFAULT_SERVER and run scripts/jack-dummy start (scripts/test does)"
  exit 77
fi
export JACK_NO_START_SERVER=1
timeout 20 jack_wait -w -t 15 >/dev/null 2>&1 || { echo "FAIL: no JACK server $JACK_DEFAULT_SERVER"; exit 1; }

. "$(dirname "$0")/../../tools/runner/program-runner.sh"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for f in out err sender; do [ -f "$work/$f" ] && { echo "--- $f"; cat "$work/$f"; }; done
  exit 1
}

client="ampora-keys-$$"
# The input is the built-in test tone, the output the JACK server's: the banks differ in
# their input level, which the sound on the JACK ports shows.
program_dir "$program" <<INI
[conf]
AudioApi=jack
DeviceIn=test tone
DeviceOut=system
MidiApi=jack
UseMIDIF=1
MidiCh=0
MidiInDeviceName=$client:keys
[Current]
LevelInL=-50
LevelInR=-50
[Bank03]
BankName=Three
Fuzz-01=1
[Bank05]
BankName=Five
LevelInL=-50
LevelInR=-50
Tremolo-01=1
[Bank08]
BankName=Eight
Reverb-01=1
INI

# The controller first: the program connects to its port when Start opens the input.
mkfifo "$work/to_sender" "$work/to_program"
"$sender" "$client" <"$work/to_sender" >"$work/sender" 2>&1 &
pids+=($!)
exec 4>"$work/to_sender"
timeout 20 bash -c "until grep -q ready '$work/sender'; do sleep 0.1; done" ||
  fail "the MIDI sender did not start"

"${headless[@]}" "$app/ampora" --headless F03 <"$work/to_program" >"$work/out" 2>"$work/err" &
pid=$!
pids+=($pid)
exec 3>"$work/to_program"

# wait_for TEXT: until standard output holds the line (fixed text), at most 30 s.
wait_for() {
  timeout 30 bash -c "until grep -qF -- '$1' '$work/out'; do sleep 0.05; done" ||
    fail "no line '$1'"
}
# level: the RMS amplitude of a second of the program's JACK output, from a quarter of a
# second on (the blocks under way and the lag window play out).
level() {
  sleep 0.25
  local ports
  ports=$(jack_lsp | grep '^ampora-out:' | head -1)
  [ -n "$ports" ] || fail "the program has no JACK output port"
  rm -f "$work/rec.wav"
  jack_rec -f "$work/rec.wav" -d 1 "$ports" >/dev/null 2>&1 || fail "jack_rec failed"
  sox "$work/rec.wav" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'
}
louder() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > 10 * b) }'; }

wait_for 'stream started: input "test tone", output "system", 44100 Hz'
wait_for 'bank 03 "Three" loaded by key'
wait_for "MIDI input opened: \"$client:keys\""
if grep -q 'platforms/' "/proc/$pid/maps"; then fail "a Qt platform plugin was loaded"; fi
bank3=$(level)

echo "bank 5" >&3
wait_for 'bank 05 "Five" loaded by command'
bank5=$(level)
louder "$bank3" "$bank5" || fail "bank 3 plays at $bank3, bank 5 at $bank5: not 20 dB apart"

echo 7 >&4
wait_for 'bank 08 "Eight" loaded by MIDI'
bank8=$(level)
louder "$bank8" "$bank5" || fail "bank 8 plays at $bank8, bank 5 at $bank5: not 20 dB apart"

# Wrong commands: a line on standard error each, nothing else.
lines=$(wc -l <"$work/out")
printf 'frobnicate\nbank 13\nlevel out loud\neffect Wah on\n' >&3
echo status >&3
wait_for 'status: stream running at 44100 Hz, normal, bank 08 "Eight"'
[ "$(wc -l <"$work/out")" -eq $((lines + 1)) ] || fail "a wrong command said more than its error"
[ "$(grep -c '^ampora: "' "$work/err")" -eq 4 ] || fail "not one error line per wrong command"

# A second program, without a window or with one, leaves at once without a word.
"${headless[@]}" timeout 20 "$app/ampora" --headless S </dev/null >"$work/second" 2>&1 ||
  fail "a second headless start did not leave at once and well"
[ ! -s "$work/second" ] || fail "a second headless start said: $(cat "$work/second")"
env "${program_environment[@]}" QT_QPA_PLATFORM=offscreen timeout 20 "$app/ampora" F01 >/dev/null 2>&1 ||
  fail "a second windowed start did not leave at once and well"

env "${program_environment[@]}" "$app/ampora" --list-devices >"$work/devices" 2>/dev/null || fail "--list-devices failed"
for expected in "AudioApi=jack" "DeviceIn=system" "DeviceOut=system" "MidiApi=jack" \
                "MidiInDeviceName=$client:keys"; do
  grep -qxF -- "    $expected" "$work/devices" || grep -qxF -- "  $expected" "$work/devices" ||
    { cat "$work/devices"; fail "--list-devices does not list $expected"; }
done

# The end of the input does not end the program; SIGTERM does, with the shut-down.
exec 3>&-
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the end of the input ended the program"
kill -TERM "$pid"
wait "$pid" || fail "the program ended with $? after SIGTERM"
grep -qx 'shut down' "$work/out" || fail "no shut-down"
[ "$(settings_value Current Reverb-01)" = 1 ] || fail "[Current] does not hold bank 8's reverb"
[ "$(settings_value Current LevelInL)" = 0 ] || fail "[Current] does not hold bank 8's input level"
[ "$(settings_value Current Tremolo-01)" = 0 ] || fail "[Current] still holds bank 5's tremolo"
echo "headless session: every check passed (RMS of bank 3 $bank3, bank 5 $bank5, bank 8 $bank8)"
