#!/usr/bin/env bash
# The bundle of the build tree as hosts see it: its Turtle validates against the LV2
# schemas (lv2_validate, with sord_validate), and lv2info lists every port it declares.
#   bundle_test.sh BUNDLE_FOLDER PLUGIN_URI
source "$(dirname "$0")/../scripts/checks.sh"
bundle=$1
uri=$2

if ! lv2_validate "$bundle/manifest.ttl" "$bundle/ampora.ttl" >"$work/validate.log" 2>&1; then
  grep -v '^Skipping' "$work/validate.log" >&2
  fail "lv2_validate finds errors"
fi
grep -q '^Found 0 errors' "$work/validate.log" || fail "lv2_validate did not check the files"

declared=$(grep -o 'lv2:symbol "[A-Za-z0-9_]*"' "$bundle/ampora.ttl" | cut -d'"' -f2)
LV2_PATH="$(dirname "$bundle")" lv2info "$uri" >"$work/info.txt" 2>&1 || fail "lv2info failed"
listed=$(sed -n 's/^[[:space:]]*Symbol:[[:space:]]*//p' "$work/info.txt")
[ "$(wc -l <<<"$declared")" -gt 80 ] || fail "only $(wc -l <<<"$declared") ports declared"
[ "$declared" = "$listed" ] || fail "lv2info lists other ports than the bundle declares"
grep -q 'Has latency: *yes, reported by port 3' "$work/info.txt" || fail "no latency port"

finish "LV2 bundle"
