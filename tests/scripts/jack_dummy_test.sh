#!/usr/bin/env bash
# scripts/jack-dummy with real JACK servers of the test's own names: a second start keeps
# the running server when the rate and period are those asked for and fails otherwise,
# a server of that name that the script did not start is left alone, and stop ends the
# server it started.
#   jack_dummy_test.sh SOURCE_DIR TEST_JACKD
source "$(dirname "$0")/checks.sh"
script="$1/scripts/jack-dummy"
export JACK_DEFAULT_SERVER="ampora-jack-dummy-test-$$" JACK_NO_START_SERVER=1
pidfile="$1/build/jackd-$JACK_DEFAULT_SERVER.pid"
foreign=""
trap '"$script" stop 2>/dev/null; [ -n "$foreign" ] && kill "$foreign" 2>/dev/null
  rm -rf "$work" "${pidfile%.pid}.log"' EXIT

answers() { [ "$(jack_wait -c 2>/dev/null)" = running ]; }

"$script" start 2>"$work/err" || fail "first start: $(cat "$work/err")"
pid=$(cat "$pidfile")
"$script" start 2>"$work/err" || fail "second start at the same rate: $(cat "$work/err")"
grep -q "already runs at 44100 Hz, 256 frames (pid $pid)" "$work/err" ||
  fail "second start said: $(cat "$work/err")"
[ "$(cat "$pidfile")" = "$pid" ] || fail "second start replaced the pid file"
for other in "48000" "44100 128"; do
  # shellcheck disable=SC2086  # RATE and PERIOD as two words
  if "$script" start $other 2>"$work/err"; then fail "start $other succeeded beside the server"; fi
  grep -q "not at ${other%% *} Hz" "$work/err" || fail "start $other said: $(cat "$work/err")"
  [ "$(cat "$pidfile")" = "$pid" ] || fail "start $other replaced the pid file"
done
kill -0 "$pid" 2>/dev/null || fail "the first server ended"
"$script" stop
kill -0 "$pid" 2>/dev/null && fail "stop left the server running"
answers && fail "a server still answers after stop"
"$script" stop || fail "a second stop failed"

# A server that dies (killed, as in a crash): its test-jackd ends, and a start brings up
# another at once.
"$script" start 2>"$work/err" || fail "start: $(cat "$work/err")"
runner=$(cat "$pidfile")
server=$(cat "/proc/$runner/task/$runner/children")
kill -9 "$server"
for _ in $(seq 50); do kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
kill -0 "$runner" 2>/dev/null && fail "test-jackd outlived its server"
"$script" start 2>"$work/err" || fail "start after the server died: $(cat "$work/err")"
answers || fail "no server answers after the restart"
"$script" stop

# A server of the same name started by someone else.
"$2" "$JACK_DEFAULT_SERVER" 44100 256 >"$work/foreign" 2>&1 &
foreign=$!
for _ in $(seq 250); do grep -qx ready "$work/foreign" && break; sleep 0.1; done
answers || fail "the other server did not start: $(cat "$work/foreign")"
if "$script" start 2>"$work/err"; then fail "start succeeded beside a server it did not start"; fi
grep -q "did not start" "$work/err" || fail "start beside a foreign server said: $(cat "$work/err")"
"$script" stop
kill -0 "$foreign" 2>/dev/null || fail "stop ended a server the script did not start"

finish "jack-dummy"
