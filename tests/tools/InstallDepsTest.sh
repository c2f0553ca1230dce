#!/bin/sh
# tools/install-deps against one stand-in for apt-get, dpkg and dpkg-query,
# which takes every package for missing. In MODE "sync" a mirror in the
# middle of a sync fails the security suite's i386 index, the first install
# fails on the skew it leaves and the retry works; in "broken" the retry
# fails too; in "clean" nothing fails. Each apt-get call goes to CALLS, a
# retry's sources list with it.
# Usage: InstallDepsTest.sh path/to/install-deps
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/stand-in" <<'EOF'
#!/bin/sh
case "$(basename "$0") $1" in
"dpkg-query "*) exit 1 ;;
"dpkg --print-architecture") echo amd64 ;;
"dpkg --print-foreign-architectures") echo i386 ;;
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
    MODE=$mode CALLS="$work/calls" PATH="$work/bin:$PATH" sh "$script" >"$work/out" 2>&1
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
[ $failures = 0 ] || exit 1
echo "install-deps: 3 cases passed"
