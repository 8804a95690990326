# The program run as a user's session runs it, for the end-to-end tests (sourced):
#   new_session <program>    a program folder of its own with the settings file from stdin,
#                            in the language of SESSION_LANGUAGE: "ja" (the default) sets
#                            Language=ja; "en" leaves the setting out and runs on an English
#                            desktop. MAIN_TITLE and CONF_TITLE are then the titles of the
#                            main window and the settings dialog.
#   run_session <script>     runs the script under a virtual X server; $1 is the program
#   expect <section> <key> <value>   compares a value of the settings file afterwards
#   end_session              prints the file and the log when a value differed
# A folder of its own keeps the settings file beside the program, and a runtime folder of
# its own (the single-instance lock) keeps a copy running elsewhere from counting as the
# first instance.

new_session() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -m 700 "$work/app" "$work/runtime"
  cp "$1" "$work/app/ampora"
  # The translations lie beside the program in the build tree.
  [ ! -d "$(dirname "$1")/translations" ] || cp -r "$(dirname "$1")/translations" "$work/app/"
  if [ "${SESSION_LANGUAGE:-ja}" = en ]; then
    cat >"$work/app/ampora.ini"
    export MAIN_TITLE=Ampora CONF_TITLE=Settings
  else
    sed 's/^\[conf\]$/[conf]\nLanguage=ja/' >"$work/app/ampora.ini"
    export MAIN_TITLE="アンポラ" CONF_TITLE="設定"
  fi
  export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
  # An ASan build: what system libraries keep is not the program's leak.
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/../lsan.supp"
  unset QT_QPA_PLATFORM
  # xdotool matches window titles in the locale's encoding: without a UTF-8 locale (a
  # bare environment has none) the Japanese titles are never found.
  export LC_ALL=C.UTF-8
  unset LANGUAGE
  [ "${SESSION_LANGUAGE:-ja}" != en ] || export LC_ALL=en_GB.UTF-8
  status=0
}

run_session() {
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$1" run "$work/app/ampora" \
    >"$work/run.log" 2>&1 || {
    echo "the program did not end normally:"; cat "$work/run.log"; exit 1
  }
}

# The value of a key in a section of the settings file.
value() {
  awk -F= -v section="[$1]" -v key="$2" '
    /^\[/ { inside = ($0 == section); next }
    inside && $1 == key { print substr($0, length(key) + 2); exit }' "$work/app/ampora.ini"
}

expect() {
  local got
  got=$(value "$1" "$2")
  if [ "$got" != "$3" ]; then
    echo "[$1] $2: expected '$3', found '$got'"
    status=1
  fi
}

end_session() {
  [ $status -eq 0 ] || { cat "$work/app/ampora.ini"; cat "$work/run.log"; }
  exit $status
}
