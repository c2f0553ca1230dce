#!/bin/sh
# tools/install-deps against one stand-in for apt-get, dpkg and dpkg-query,
# which takes every package for missing. In MODE "sync" a mirror in the
# middle of a sync fails the security suite's i386 index, the first install
# fails on the skew it leaves and the retry works; in "broken" the retry
# fails too; in "clean" nothing fails. Each apt-get call goes to CALLS, a
# retry's sources list with it; the packages asked for and a new dpkg
# architecture go to ASKED. FOREIGN is the machine's foreign architecture,
# if any. The build is the one FENDREL_ARCH names (x86 unless set).
# Usage: InstallDepsTest.sh path/to/install-deps
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/stand-in" <<'EOF'
#!/bin/sh
case "$(basename "$0") $1" in
"dpkg-query "*) exit 1 ;;
"dpkg --print-architecture") echo amd64 ;;
"dpkg --print-foreign-architectures") [ -n "$FOREIGN" ] && echo "$FOREIGN" ;;
"dpkg --add-architecture") echo "architecture $2" >>"$ASKED" ;;
"apt-get update")
    echo update >>"$CALLS"
    [ "$MODE" = clean ] && exit 0
    echo "E: Failed to fetch http://deb.example/security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    exit 100 ;;
"apt-get indextargets")
    for target in "debian/ bookworm main amd64" "debian/ bookworm main i386" "debian/ bookworm-updates main amd64" \
        "debian/ bookworm-updates main i386" "security/ bookworm-security main amd64"; do
        echo "deb http://deb.example/$target"
    done
    echo "deb-src http://deb.example/debian/ bookworm main source" ;;
"apt-get install")
    echo install >>"$CALLS"
    echo "$@" >>"$ASKED"
    [ "$MODE" = clean ] ;;
"apt-get -o")
    echo "install with" >>"$CALLS"
    cat "${2#*=}" >>"$CALLS"
    [ "$MODE" = sync ] ;;
esac
EOF
chmod +x "$work/stand-in"
for name in apt-get dpkg dpkg-query; do ln -s "$work/stand-in" "$work/bin/$name"; done

failures=0
# $1: the mode; $2: the exit status expected; $3: the apt-get calls, each
# ended by "|"; the rest: what the output says.
check() {
    mode=$1 status=$2 calls=$3
    shift 3
    : >"$work/calls"
    : >"$work/asked"
    MODE=$mode CALLS="$work/calls" ASKED="$work/asked" FOREIGN="${FOREIGN-i386}" FENDREL_ARCH="${ARCH:-x86}" \
        PATH="$work/bin:$PATH" sh "$script" >"$work/out" 2>&1
    failed=$([ $? = "$status" ] || echo " the exit status;")
    [ "$(tr '\n' '|' <"$work/calls")" = "$calls" ] || failed="$failed the apt-get calls;"
    for said; do
        grep -qF -- "$said" "$work/out" || failed="$failed no \"$said\";"
    done
    [ -z "$failed" ] && return
    echo "FAILED: $mode:$failed calls and output:"
    cat "$work/calls" "$work/out"
    failures=$((failures + 1))
}

script=$1
retry="update|install|install with|deb http://deb.example/debian/ bookworm main|"
retry="${retry}deb http://deb.example/debian/ bookworm-updates main|"
check sync 0 "$retry" "some package indexes could not be fetched" \
    "Failed to fetch http://deb.example/security/dists/bookworm-security/main/binary-i386"
check broken 1 "$retry" "could not install: cmake make" "package indexes that failed to download"
check clean 0 "update|install|"

# Each build asks for its own packages: the 32-bit one for the i386
# architecture and 32-bit Wine, the 64-bit one for neither. $1 and $2: the
# build and the machine's foreign architecture; $3: the architecture added,
# or none; the rest: packages asked for, or, after "-", never asked for.
check_asked() {
    ARCH=$1 FOREIGN=$2 added=$3 build=$1 foreign=$2
    shift 3
    check clean 0 "update|install|"
    failed=
    grep -qx "architecture $added" "$work/asked" || [ "$added" = none ] || failed=" i386 not added;"
    [ "$added" != none ] || ! grep -q "^architecture" "$work/asked" || failed=" an architecture added;"
    never=
    for package; do
        if [ "$package" = - ]; then
            never=1
        elif [ -n "$never" ]; then
            ! grep -q -- "$package" "$work/asked" || failed="$failed asked for $package;"
        else
            grep -qw -- "$package" "$work/asked" || failed="$failed $package not asked for;"
        fi
    done
    unset ARCH FOREIGN
    [ -z "$failed" ] && return
    echo "FAILED: the $build build on a machine with foreign architectures \"$foreign\":$failed asked:"
    cat "$work/asked"
    failures=$((failures + 1))
}
check_asked x86 "" i386 g++-mingw-w64-i686 wine32:i386 libgl1:i386 libcups2:i386 - x86-64
check_asked x86 i386 none wine32:i386
check_asked x64 "" none g++-mingw-w64-x86-64 wine64 libgl1:amd64 libcups2:amd64 - :i386 i686
check_asked x64 i386 none g++-mingw-w64-x86-64 - :i386
[ $failures = 0 ] || exit 1
echo "install-deps: 7 cases passed"
