#!/usr/bin/env bash
# tools/runner/program-runner.sh without a display: the program folder and its settings
# file in each language, the work folder's end, the bank lines, and the lookup of the
# points to click.
#   program_runner_test.sh SOURCE_DIR
source "$(dirname "$0")/checks.sh"
runner="$1/tools/runner/program-runner.sh"
printf '[conf]\nDeviceIn=demo guitar\n[Current]\nEcho-01=1\n' >"$work/settings"

# Each case in a shell of its own, which sources the runner: "LANGUAGE|key|expected".
for case in "ja|Language|ja" "en|Language|" "|Language|" "ja|DeviceIn|demo guitar" \
            "en|DeviceIn|demo guitar"; do
  IFS='|' read -r language key expected <<<"$case"
  got=$(SESSION_LANGUAGE="$language" bash -c '. "$1"; program_dir /bin/true <"$2"
    settings_value conf "$3"' run "$runner" "$work/settings" "$key")
  [ "$got" = "$expected" ] || fail "SESSION_LANGUAGE=$language: [conf] $key is '$got', not '$expected'"
done
titles=$(SESSION_LANGUAGE=en bash -c '. "$1"; echo "$MAIN_TITLE/$CONF_TITLE ${program_environment[*]}"' \
  run "$runner")
[[ "$titles" == "Ampora/Settings "*"LC_ALL=en_GB.UTF-8"* ]] || fail "English session: $titles"
titles=$(SESSION_LANGUAGE=ja bash -c '. "$1"; echo "$MAIN_TITLE/$CONF_TITLE"' run "$runner")
[ "$titles" = "アンポラ/設定" ] || fail "Japanese session: $titles"

# The folder: the program's copy beside its settings, a private runtime folder; all of it
# gone at the end unless the run left a file "keep".
for keep in no yes; do
  folder=$(bash -c '. "$1"; program_dir /bin/true </dev/null
    [ -x "$app/ampora" ] && [ -f "$app/ampora.ini" ] || echo "no program or settings" >&2
    [ "$(stat -c %a "$work/runtime")" = 700 ] || echo "runtime folder not private" >&2
    [ "$2" = no ] || touch "$work/keep"
    echo "$work"' run "$runner" "$keep")
  if [ "$keep" = no ]; then
    [ ! -e "$folder" ] || fail "the work folder was left behind"
  else
    [ -d "$folder" ] || fail "a kept work folder was removed"
    rm -rf "$folder"
  fi
done

banks=$(bash -c '. "$1"; effect_banks Test' run "$runner")
[ "$(grep -c '^\[' <<<"$banks")" = 13 ] || fail "effect_banks: not Current and twelve banks"
[ "$(grep -c -- '-01=1$' <<<"$banks")" = $((13 * 16)) ] || fail "effect_banks: not every effect on"
grep -qx 'BankName=Test 12' <<<"$banks" || fail "effect_banks: bank 12 is not named 'Test 12'"

# Inside the virtual X server: the points the measuring tool wrote.
printf 'main start 275 48\nmain tuner 385 48\neditor close 220 300\n' >"$work/points"
point() { IN_X=1 WORK="$work" WINDOW_POINTS=/bin/false bash -c '. "$1"; point "$2" "$3"' \
  run "$runner" "$@" 2>/dev/null; }
[ "$(point main tuner)" = "385 48" ] || fail "point main tuner: '$(point main tuner)'"
[ "$(point editor close)" = "220 300" ] || fail "point editor close: '$(point editor close)'"
point main effect3 && fail "a point the tool did not measure was found"
point editor start && fail "a point of another window was found"

finish "program runner"
