#!/bin/sh
# Which program the tools build, found by trying a 32-bit program: against
# stand-ins for Wine's 32-bit loader that start or fail as on a host that
# runs only 64-bit programs; and what the tools say when a loader cannot
# start, or when a build folder holds the other program's build.
# Usage: ChooseBuildTest.sh path/to/tools
tools=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#!/bin/sh\necho "wine-8.0"\n' >"$work/loader-runs"
printf '#!/bin/sh\necho "sh: 1: $0: Exec format error" >&2\nexit 126\n' >"$work/loader-fails"
chmod +x "$work/loader-runs" "$work/loader-fails"

failures=0
fail() {
    echo "FAILED: $*"
    cat "$work/out"
    failures=$((failures + 1))
}

# $1: the loader; $2: FENDREL_ARCH given; $3: BUILD_DIR given; $4, $5: the
# choice and the build folder expected; $6: a text the choice says, or "".
check_choice() {
    (
        top=/checkout
        unset FENDREL_ARCH BUILD_DIR
        [ -n "$2" ] && FENDREL_ARCH=$2
        [ -n "$3" ] && BUILD_DIR=$3
        FENDREL_WINE32_LOADER=$1
        . "$tools/choose-build"
        echo "$FENDREL_ARCH $build"
    ) >"$work/out" 2>&1
    [ "$(tail -n 1 "$work/out")" = "$4 $5" ] || fail "loader $1, FENDREL_ARCH \"$2\": not $4 in $5"
    if [ -n "$6" ]; then
        grep -qF -- "$6" "$work/out" || fail "loader $1, FENDREL_ARCH \"$2\": no \"$6\""
    elif [ "$(wc -l <"$work/out")" != 1 ]; then
        fail "loader $1, FENDREL_ARCH \"$2\": says more than its choice"
    fi
}
check_choice "$work/loader-runs" "" "" x86 /checkout/build ""
check_choice "$work/loader-fails" "" "" x64 /checkout/build-x64 "This host runs only 64-bit programs"
check_choice "$work/loader-fails" "" /elsewhere x64 /elsewhere "building and running the 64-bit Fendrel4.exe"
check_choice "$work/loader-runs" x64 "" x64 /checkout/build-x64 ""
check_choice "$work/loader-fails" x86 "" x86 /checkout/build ""

# Without the loader, the smallest 32-bit program answers: it starts
# wherever Wine's 32-bit loader does. Where the loader fails, that may be the
# loader's own fault (an i386 library missing) as well as the host's, so
# only a loader that starts tells what the answer must be.
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    check_choice "$work/no-loader" "" "" x86 /checkout/build ""
fi

(top=/checkout FENDREL_ARCH=arm . "$tools/choose-build") >"$work/out" 2>&1
[ $? = 2 ] && grep -q "set it to x86" "$work/out" || fail "FENDREL_ARCH=arm is not refused"

# A loader that cannot start says why and names the fix; so does a missing
# one. Neither touches the prefix.
WINEARCH=win32 WINEPREFIX="$work/prefix" FENDREL_WINE32_LOADER="$work/loader-fails" DISPLAY=:0 \
    sh "$tools/wine-env" program.exe >"$work/out" 2>&1
[ $? = 126 ] && grep -q "FENDREL_ARCH=x64 ./tools/test" "$work/out" || fail "the failing loader is not explained"
WINEARCH=win32 WINEPREFIX="$work/prefix" FENDREL_WINE32_LOADER="$work/none" DISPLAY=:0 \
    sh "$tools/wine-env" program.exe >"$work/out" 2>&1
[ $? = 127 ] && grep -q "is not installed" "$work/out" || fail "the missing loader is not explained"
[ ! -e "$work/prefix" ] || fail "the prefix was made"

# A build folder keeps the program it was made for.
mkdir "$work/build"
echo "CMAKE_TOOLCHAIN_FILE:FILEPATH=$(cd "$tools/.." && pwd)/cmake/mingw-i686.cmake" >"$work/build/CMakeCache.txt"
FENDREL_ARCH=x64 BUILD_DIR="$work/build" sh "$tools/build" >"$work/out" 2>&1
[ $? = 2 ] && grep -q "holds a build of the other program" "$work/out" || fail "a 32-bit build folder took the 64-bit build"

[ $failures = 0 ] || exit 1
echo "choose-build: every case passed"
