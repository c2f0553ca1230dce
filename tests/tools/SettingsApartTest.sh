#!/bin/sh
# The tests keep to a Wine prefix of their own: what a user stored through
# the program's prefix (build/wine-run's; a scratch one stands in for it) is
# exactly as it was after a test that starts the program, while the tests'
# prefix shows that the test rewrote its settings there.
# Usage: SettingsApartTest.sh build-folder test_app.exe
build=$1
test_program=$2
work=$(mktemp -d)
export FENDREL_WINEPREFIX="$work/user"
trap 'WINEPREFIX="$FENDREL_WINEPREFIX" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
key='HKCU\Software\Norvane\Fendrel 4'
status=0
settings() { "$build/$1" reg query "$key" 2>/dev/null | tr -d '\r' | grep '^    ' | sort; }

# A user's graphics class, course defaults, a kind's own default, a recent
# file and a hint left on: all of which the tests rewrite.
for value in "GraphicsClass REG_DWORD 2" "SpecList REG_DWORD 3" "Metric REG_DWORD 1" "360EditOnCreate REG_DWORD 0" \
             'File1 REG_SZ C:\Courses\Final.agl' "NeverShow2706 REG_DWORD 0"; do
    set -- $value
    "$build/wine-run" reg add "$key" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1
done
settings wine-run >"$work/before"
[ "$(wc -l <"$work/before")" = 6 ] || { echo "FAILED: the user's values were not stored"; status=1; }

"$build/wine-test" "$test_program" --gtest_filter='Program.SaveReadsBack*' >"$work/log" 2>&1
grep -q '\[  PASSED  \] 1 test' "$work/log" || { cat "$work/log"; echo "FAILED: the program-starting test"; status=1; }
settings wine-run | diff "$work/before" - || { echo "FAILED: the user's settings changed"; status=1; }
settings wine-test | grep -q 'File1 *REG_SZ .*Kept\.agl$' || { echo "FAILED: no recent file in the tests' prefix"; status=1; }
exit $status
