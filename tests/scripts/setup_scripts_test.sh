#!/usr/bin/env bash
# The set-up scripts on machine states that the machine running the tests is not in:
# install-deps as root, as a user with sudo, as a user without sudo and with nothing
# missing, against stub dpkg-query, apt-get, sudo and id that record how they were
# called; scripts/run without a display; and every script's syntax.
#   setup_scripts_test.sh SOURCE_DIR
source "$(dirname "$0")/checks.sh"
source_dir=$1

# The stubs and the usual shell tools are all that is on PATH, so the real sudo and
# apt-get of this machine can never be reached.
tools="$work/tools"
mkdir -p "$tools"
for tool in bash env dirname basename cat grep sed tr cut head tail sort wc; do
  ln -s "$(command -v "$tool")" "$tools/$tool"
done

stub() {
  printf '#!/usr/bin/env bash\n%s\n' "$2" >"$tools/$1"
  chmod +x "$tools/$1"
}
# Calls are logged one a line, as "name arg arg ...".
log_call='printf "%s\n" "${0##*/} $*" >>"$STUB_LOG"'
# Installed unless named in STUB_MISSING: the first missing package is known but not
# installed, the others are unknown to dpkg (no output, exit 1), as dpkg-query answers.
stub dpkg-query "$log_call"'
pkg=${!#}
case " $STUB_MISSING " in
  *" $pkg "*)
    [ "$pkg" = "${STUB_MISSING%% *}" ] && { printf "unknown ok not-installed"; exit 0; }
    echo "dpkg-query: no packages found matching $pkg" >&2; exit 1 ;;
esac
printf "install ok installed"'
stub id '[ "$1" = "-u" ] && echo "$STUB_UID"'
stub apt-get "$log_call"'
[ "$1" = "install" ] && echo "apt-get frontend=${DEBIAN_FRONTEND:-unset}" >>"$STUB_LOG"
exit "${STUB_APT_STATUS:-0}"'
# Like the real one, sudo runs the command with a reset environment.
sudo_stub="$log_call"'
exec env -i PATH="$PATH" STUB_LOG="$STUB_LOG" STUB_APT_STATUS="${STUB_APT_STATUS:-0}" "$@"'

# run_install_deps UID MISSING WITH_SUDO [APT_STATUS]: runs the script, leaving its
# exit status in $status, the calls in $calls and its standard error in $errors.
run_install_deps() {
  rm -f "$work/log" "$tools/sudo"
  [ "$3" = yes ] && stub sudo "$sudo_stub"
  PATH="$tools" STUB_LOG="$work/log" STUB_UID=$1 STUB_MISSING=$2 STUB_APT_STATUS=${4:-0} \
    "$tools/bash" "$source_dir/scripts/install-deps" >/dev/null 2>"$work/stderr"
  status=$?
  calls=$(grep -v '^dpkg-query ' "$work/log" 2>/dev/null)
  errors=$(cat "$work/stderr")
}

expect_calls() {
  local situation=$1 expected=$2
  [ "$status" -eq 0 ] || fail "$situation: exit status $status ($errors)"
  [ "$calls" = "$expected" ] || fail "$situation: called
$calls
expected
$expected"
}

install="install -y -q --no-install-recommends sox desktop-file-utils"

run_install_deps 0 "" yes
expect_calls "root, nothing missing" ""
[ "$(grep -c '^dpkg-query ' "$work/log")" -gt 10 ] || fail "the installed packages were not asked for"

run_install_deps 1000 "" no
expect_calls "user without sudo, nothing missing" ""

run_install_deps 0 "sox desktop-file-utils" yes
expect_calls "root, two missing" "apt-get update -q
apt-get $install
apt-get frontend=noninteractive"

run_install_deps 1000 "sox desktop-file-utils" yes
expect_calls "user with sudo, two missing" "sudo apt-get update -q
apt-get update -q
sudo env DEBIAN_FRONTEND=noninteractive apt-get $install
apt-get $install
apt-get frontend=noninteractive"

run_install_deps 1000 "sox desktop-file-utils" no
[ "$status" -ne 0 ] || fail "user without sudo, two missing: succeeded"
[ -z "$calls" ] || fail "user without sudo, two missing: called $calls"
[[ "$errors" == *"sudo is not installed"*"apt-get install --no-install-recommends sox desktop-file-utils"* ]] ||
  fail "user without sudo, two missing: said '$errors'"

run_install_deps 0 "sox" yes 100
[ "$status" -ne 0 ] || fail "a failing apt-get install was reported as success"

# Without a display, scripts/run stops at once with one sentence that names xvfb-run,
# before it installs or builds anything.
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$tools" \
  "$tools/bash" "$source_dir/scripts/run" 2>&1)
status=$?
[ "$status" -ne 0 ] || fail "scripts/run without a display succeeded"
[ "$(printf '%s\n' "$output" | wc -l)" -eq 1 ] && [[ "$output" == *"xvfb-run -a scripts/run"* ]] ||
  fail "scripts/run without a display said: $output"

for script in "$source_dir"/scripts/* "$source_dir"/.ci/*; do
  bash -n "$script" || fail "syntax of $script"
done

finish "setup scripts"
