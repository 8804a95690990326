#!/usr/bin/env bash
# Installs this build tree into a temporary prefix, as a user would, and checks what
# lands there: the programs, the desktop entry, the icon, the user service, the manual
# pages, the translation and the LV2 bundle.
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

# An installed program runs away from the build tree, and its manual page describes
# exactly the options that its --help lists, and renders without a warning.
#   check_manual <program> <manual page>
options_of() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
check_manual() {
  local help_text help_options manual_options warnings
  help_text=$("$1" --help) || fail "$(basename "$1") --help failed"
  help_options=$(printf '%s\n' "$help_text" | sed -n '/^Options:/,/^$/p' | options_of)
  manual_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$2" | sed 's/\\-/-/g' | options_of)
  [ -n "$help_options" ] && [ "$help_options" = "$manual_options" ] ||
    fail "options of $(basename "$1") --help: $(echo $help_options); of its manual page:" \
         "$(echo $manual_options)"
  warnings=$(groff -t -man -Tutf8 -ww -z "$2" 2>&1) || fail "groff failed on $2"
  [ -z "$warnings" ] || fail "$2 gives warnings: $warnings"
  grep -q '@[A-Z_]*@' "$2" && fail "$2 has an unreplaced placeholder"
}
check_manual "$render" "$manual"

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
  [ -f "$prefix/share/man/man1/ampora.1" ] || fail "no manual page ampora.1"
  # The program finds its English texts relative to its own folder.
  [ -s "$prefix/share/ampora/translations/ampora_en.qm" ] || fail "no English translation"
  # Without a display: --help must not need one.
  DISPLAY='' WAYLAND_DISPLAY='' check_manual "$prefix/bin/ampora" "$prefix/share/man/man1/ampora.1"

  # The user service runs the installed program without a window, and the user's
  # service manager finds it under the prefix (XDG_DATA_HOME or XDG_DATA_DIRS).
  service="$prefix/share/systemd/user/ampora.service"
  [ -f "$service" ] || fail "no user service at $service"
  [ "$(sed -n 's/^ExecStart=//p' "$service")" = "$prefix/bin/ampora --headless S" ] ||
    fail "ExecStart is '$(sed -n 's/^ExecStart=//p' "$service")'"
  grep -qx 'Restart=on-failure' "$service" || fail "the service is not restarted on failure"
  grep -qx 'WantedBy=default.target' "$service" || fail "the service cannot be enabled"
  # The check runs a user manager of its own (in a runtime folder of the test's) and
  # looks up the manual page the service names.
  mkdir -m 700 "$work/runtime"
  verify=$(XDG_RUNTIME_DIR="$work/runtime" MANPATH="$prefix/share/man" \
           systemd-analyze --user verify "$service" 2>&1) ||
    fail "systemd-analyze rejects the service: $verify"

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
  staged_start=$(sed -n 's/^ExecStart=//p' "$work/stage/usr/share/systemd/user/ampora.service")
  [ "$staged_start" = "/usr/bin/ampora --headless S" ] || fail "staged ExecStart is '$staged_start'"
fi

finish "install"
