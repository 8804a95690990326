#!/usr/bin/env bash
# What a user's or a packager's configure gets: without the tests, neither GoogleTest nor
# Google Benchmark nor Qt Test is looked for, and the programs are still built; warnings
# are errors only when AMPORA_WERROR asks for it.
#   build_options_test.sh CMAKE SOURCE_DIR
source "$(dirname "$0")/checks.sh"
cmake=$1
source_dir=$2

# configure NAME ARGS...: configures the sources into $work/NAME, reporting a failure.
configure() {
  local name=$1
  shift
  "$cmake" -S "$source_dir" -B "$work/$name" "$@" >"$work/$name.log" 2>&1 ||
    { cat "$work/$name.log" >&2; fail "configure $name ($*) failed"; return 1; }
}

# The test packages are made unfindable: any attempt to look for them fails the configure.
if configure no-tests -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON; then
  targets=$("$cmake" --build "$work/no-tests" --target help)
  for program in ampora ampora-render ampora_lv2; do
    grep -qx "\.\.\. $program" <<<"$targets" || fail "no target $program without the tests"
  done
  for test_program in util_test settings_test chain_bench; do
    grep -qx "\.\.\. $test_program" <<<"$targets" && fail "$test_program is built without the tests"
  done
  grep -q -- '-Werror' "$work/no-tests/compile_commands.json" &&
    fail "-Werror in a default configure"
  grep -q -- '-Wall -Wextra' "$work/no-tests/compile_commands.json" ||
    fail "the warnings are off in a default configure"
fi

if configure werror -DBUILD_TESTING=OFF -DAMPORA_BUILD_UI=OFF -DAMPORA_WERROR=ON; then
  grep -q -- '-Werror.*src/render/main.cpp' "$work/werror/compile_commands.json" ||
    fail "AMPORA_WERROR=ON does not make warnings errors"
fi

finish "build options"
