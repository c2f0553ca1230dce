#!/bin/sh
# The tests run in a Wine prefix of their own. What a user stored through the
# program's prefix (build/wine-run's; a scratch prefix stands in for it here)
# is exactly as it was after a test that starts the program and rewrites its
# settings, while the tests' own prefix shows that the test did rewrite them.
# Usage: SettingsApartTest.sh build-folder test_app.exe
build=$1
test_program=$2
work=$(mktemp -d)
export FENDREL_WINEPREFIX="$work/user"
cleanup() {
    WINEPREFIX="$FENDREL_WINEPREFIX" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

key='HKCU\Software\Norvane\Fendrel 4'
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
# The program's settings in a prefix, one line a value, in a stable order.
list_settings() {
    "$build/$1" reg query "$key" 2>/dev/null | tr -d '\r' | grep '^    ' | sort
}

# What a user of the program may have stored: the graphics class tools/run
# chose, course defaults the tests reset, a kind's own default, a recent
# file and a hint left on.
for value in "GraphicsClass REG_DWORD 2" "SpecList REG_DWORD 3" "Metric REG_DWORD 1" \
             "CourseWidth REG_DWORD 9600" "360EditOnCreate REG_DWORD 0" \
             'File1 REG_SZ C:\Courses\Final.agl' "NeverShow2706 REG_DWORD 0"; do
    set -- $value
    "$build/wine-run" reg add "$key" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 ||
        fail "could not store $1 in the user's prefix"
done
list_settings wine-run >"$work/before"
[ "$(wc -l <"$work/before")" = 7 ] || fail "the user's prefix holds $(wc -l <"$work/before") values, not 7"

# A test that starts the program, resets its course defaults, stores
# GraphicsClass 0 and saves a course (a recent file).
"$build/wine-test" "$test_program" --gtest_filter='Program.SaveReadsBack*' >"$work/test.log" 2>&1 ||
    { cat "$work/test.log"; fail "the program-starting test failed"; }
grep -q '\[  PASSED  \] 1 test' "$work/test.log" || fail "no program-starting test ran"

list_settings wine-run >"$work/after"
if ! cmp -s "$work/before" "$work/after"; then
    fail "the user's settings changed:"
    diff "$work/before" "$work/after"
fi
list_settings wine-test >"$work/tests"
grep -q 'File1 *REG_SZ .*Kept\.agl$' "$work/tests" || fail "the test's own prefix holds no recent file of the test"
grep -q 'GraphicsClass *REG_DWORD *0x0$' "$work/tests" || fail "the test's own prefix holds no GraphicsClass 0"

[ "$failures" = 0 ] && echo "The user's settings stayed as they were."
exit "$failures"
