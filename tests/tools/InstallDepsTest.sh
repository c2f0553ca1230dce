#!/bin/sh
# tools/install-deps against a stand-in apt-get, dpkg and dpkg-query on the
# path: a mirror in the middle of a sync fails the security suite's i386
# index, and the first install fails on the skew it leaves.
# Usage: InstallDepsTest.sh path/to/install-deps
script=$1
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $1"
    failures=$((failures + 1))
}

# $1: how the stand-in behaves: "sync" (an index fails, the first install
# fails, the retry works), "broken" (the retry fails too) or "clean".
run_case() {
    mode=$1
    bin="$work/$mode/bin"
    mkdir -p "$bin"
    calls="$work/$mode/calls"
    : >"$calls"
    cat >"$bin/dpkg-query" <<'EOF'
#!/bin/sh
exit 1
EOF
    cat >"$bin/dpkg" <<'EOF'
#!/bin/sh
case "$1" in
    --print-architecture) echo amd64 ;;
    --print-foreign-architectures) echo i386 ;;
esac
EOF
    cat >"$bin/apt-get" <<EOF
#!/bin/sh
mode=$mode
calls=$calls
EOF
    cat >>"$bin/apt-get" <<'EOF'
sources=
while [ "$1" = -o ]; do
    case "$2" in
        Dir::Etc::SourceList=*) sources=${2#*=} ;;
    esac
    shift 2
done
case "$1" in
update)
    echo "update" >>"$calls"
    if [ "$mode" = clean ]; then exit 0; fi
    echo "Err:4 http://deb.example/security bookworm-security/main i386 Packages"
    echo "E: Failed to fetch http://deb.example/security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    exit 100 ;;
indextargets)
    echo "deb http://deb.example/debian/ bookworm main amd64"
    echo "deb http://deb.example/debian/ bookworm main i386"
    echo "deb http://deb.example/debian/ bookworm-updates main amd64"
    echo "deb http://deb.example/debian/ bookworm-updates main i386"
    echo "deb http://deb.example/security/ bookworm-security main amd64"
    echo "deb-src http://deb.example/debian/ bookworm main source" ;;
install)
    if [ -z "$sources" ]; then
        echo "install" >>"$calls"
        [ "$mode" = clean ] && exit 0
        echo " zlib1g:i386 : Breaks: zlib1g (!= 1:1.2.13.dfsg-1) but 1:1.2.13.dfsg-1+deb12u1 is to be installed"
        exit 100
    fi
    echo "install with" >>"$calls"
    cat "$sources" >>"$calls"
    [ "$mode" = sync ] && exit 0
    exit 100 ;;
esac
EOF
    chmod +x "$bin/dpkg-query" "$bin/dpkg" "$bin/apt-get"
    PATH="$bin:$PATH" sh "$script" >"$work/$mode/out" 2>&1
    echo $? >"$work/$mode/rc"
}

expect_calls() {
    mode=$1
    shift
    printf '%s\n' "$@" >"$work/$mode/expected"
    if ! cmp -s "$work/$mode/expected" "$work/$mode/calls"; then
        fail "$mode: apt-get calls differ"
        diff "$work/$mode/expected" "$work/$mode/calls"
    fi
}

expect_output() {
    grep -qF -- "$2" "$work/$1/out" || fail "$1: the output does not say \"$2\""
}

run_case sync
[ "$(cat "$work/sync/rc")" = 0 ] || fail "sync: the set-up did not succeed after its retry"
expect_calls sync update install "install with" \
    "deb http://deb.example/debian/ bookworm main" \
    "deb http://deb.example/debian/ bookworm-updates main"
expect_output sync "some package indexes could not be fetched"
expect_output sync "Failed to fetch http://deb.example/security/dists/bookworm-security/main/binary-i386"

run_case broken
[ "$(cat "$work/broken/rc")" = 1 ] || fail "broken: a failed retry did not stop the set-up"
expect_calls broken update install "install with" \
    "deb http://deb.example/debian/ bookworm main" \
    "deb http://deb.example/debian/ bookworm-updates main"
expect_output broken "could not install: cmake make"
expect_output broken "package indexes that failed to download"

run_case clean
[ "$(cat "$work/clean/rc")" = 0 ] || fail "clean: the set-up failed"
expect_calls clean update install

if [ $failures -ne 0 ]; then
    for mode in sync broken clean; do
        echo "--- output of the $mode case"
        cat "$work/$mode/out"
    done
    exit 1
fi
echo "install-deps: 3 cases passed"
