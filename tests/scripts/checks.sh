# Shared by the shell tests: a scratch folder removed at exit, failures counted and
# reported one a line, and the exit status they add up to.
#   source checks.sh; ...; fail "what went wrong"; ...; finish "name of the checks"
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  [ "$failures" -eq 0 ] && echo "$1: all checks passed"
  exit $((failures > 0))
}
