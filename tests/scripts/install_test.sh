#!/usr/bin/env bash
# Installs this build tree into a temporary prefix, as a user would, and checks what
# lands there: the programs, the desktop entry, the icon, the manual page and the LV2
# bundle.
#   install_test.sh CMAKE BUILD_DIR WITH_UI(ON|OFF) LV2APPLY_TEST
source "$(dirname "$0")/checks.sh"
cmake=$1
build_dir=$2
with_ui=$3
lv2apply_test=$4

prefix="$work/prefix"
"$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; exit 1; }

render="$prefix/bin/ampora-render"
entry="$prefix/share/applications/ampora.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/ampora.svg"
manual="$prefix/share/man/man1/ampora-render.1"

[ -x "$render" ] || fail "no $render"
[ -f "$manual" ] || fail "no $manual"

# The installed renderer runs away from the build tree, and its manual page describes
# exactly the options that its --help lists, and renders without a warning.
options_of() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
help_text=$("$render" --help) || fail "ampora-render --help failed"
help_options=$(printf '%s\n' "$help_text" | options_of)
manual_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$manual" | sed 's/\\-/-/g' | options_of)
[ -n "$help_options" ] && [ "$help_options" = "$manual_options" ] ||
  fail "options of --help: $(echo $help_options); of the manual page: $(echo $manual_options)"
warnings=$(groff -t -man -Tutf8 -ww -z "$manual" 2>&1) || fail "groff failed on the manual page"
[ -z "$warnings" ] || fail "the manual page gives warnings: $warnings"
grep -q '@[A-Z_]*@' "$manual" && fail "the manual page has an unreplaced placeholder"

# Hosts find the installed bundle through LV2_PATH, and lv2apply renders through it as
# the installed renderer does.
lv2_dir="$prefix/lib/lv2"
for file in ampora.so manifest.ttl ampora.ttl; do
  [ -f "$lv2_dir/ampora.lv2/$file" ] || fail "no $lv2_dir/ampora.lv2/$file"
done
LV2_PATH="$lv2_dir" lv2ls | grep -qx 'https://ampora.invalid/lv2/chain' ||
  fail "lv2ls does not list the plugin installed in $lv2_dir"
XDG_CONFIG_HOME="$work/config" LV2_PATH="$lv2_dir" AMPORA_RENDER="$render" "$lv2apply_test" >"$work/lv2apply.log" 2>&1 ||
  { cat "$work/lv2apply.log" >&2; fail "lv2apply through the installed plugin differs from the installed ampora-render"; }

if [ "$with_ui" = ON ]; then
  [ -x "$prefix/bin/ampora" ] || fail "no $prefix/bin/ampora"
  grep -q '<svg' "$icon" 2>/dev/null || fail "no SVG icon at $icon"

  # The entry is valid, says what it must, and starts the installed program by its path.
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
  value_of() { sed -n "s/^$1=//p" "$entry"; }
  [ "$(value_of 'Name')" = "ampora" ] || fail "Name is '$(value_of 'Name')'"
  [ "$(value_of 'Name\[ja\]')" = "アンポラ" ] || fail "Name[ja] is '$(value_of 'Name\[ja\]')'"
  [ -n "$(value_of 'Comment')" ] || fail "no English comment"
  value_of 'Comment\[ja\]' | LC_ALL=C grep -q '[^ -~]' || fail "no Japanese comment"
  [ "$(value_of 'Categories')" = "AudioVideo;Audio;Music;" ] ||
    fail "Categories are '$(value_of 'Categories')'"
  [ "$(value_of 'Icon')" = "$(basename "$icon" .svg)" ] || fail "Icon is '$(value_of 'Icon')'"
  [ "$(value_of 'Exec')" = "$prefix/bin/ampora" ] || fail "Exec is '$(value_of 'Exec')'"

  # A packager stages the files under DESTDIR for the prefix /usr: the entry names the
  # program where it will finally lie, not where it was staged.
  DESTDIR="$work/stage" "$cmake" --install "$build_dir" --prefix /usr >/dev/null 2>&1 ||
    fail "staged install failed"
  staged_exec=$(sed -n 's/^Exec=//p' "$work/stage/usr/share/applications/ampora.desktop")
  [ "$staged_exec" = "/usr/bin/ampora" ] || fail "staged Exec is '$staged_exec'"
fi

finish "install"
