#!/usr/bin/env bash
# The English translation covers the texts of the code exactly: scripts/update-translations
# leaves translations/ampora_en.ts as it is (no text missing, none left over) and every
# text in it is translated.
#   translations_test.sh SOURCE_DIR
source "$(dirname "$0")/checks.sh"
source_dir=$1
ts="$source_dir/translations/ampora_en.ts"

cp "$ts" "$work/ampora_en.ts"
"$source_dir/scripts/update-translations" "$work/ampora_en.ts" >"$work/lupdate.log" 2>&1 ||
  { cat "$work/lupdate.log" >&2; fail "lupdate failed"; }
changes=$(diff "$ts" "$work/ampora_en.ts") ||
  fail "the texts of the code and of ampora_en.ts differ (run scripts/update-translations):" \
       "$changes"
unfinished=$(grep -c 'type="unfinished"' "$ts")
[ "$unfinished" -eq 0 ] || fail "$unfinished texts of ampora_en.ts are not translated"
finish "translations"
