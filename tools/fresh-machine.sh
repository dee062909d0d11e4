#!/usr/bin/env bash
# Proves the dependency list on a fresh Debian 12: builds a minimal bookworm tree with debootstrap
# in a temporary folder, copies the sources in, runs scripts/deps inside it with chroot, then
# configures and builds the program there (the Release build of scripts/run, tests off, and the
# configure of scripts/test with the tests on). Says which step failed.
#   tools/fresh-machine.sh                 a new tree, removed afterwards
#   tools/fresh-machine.sh --keep          keep the tree (its folder is printed)
#   tools/fresh-machine.sh --tree DIR      reuse a tree made with --keep (skips debootstrap)
#   tools/fresh-machine.sh --full          also build the tests in the tree
# Run as root (debootstrap and chroot need it); Debian's packages must be reachable.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
keep=0
full=0
tree=
while [ $# -gt 0 ]; do
    case $1 in
    --keep) keep=1 ;;
    --full) full=1 ;;
    --tree) tree=$2; keep=1; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done
mirror=${LMS_DEBIAN_MIRROR:-http://deb.debian.org/debian}

step=
fail() {
    echo "fresh-machine: FAILED at step: $step" >&2
    [ -n "$tree" ] && [ -d "$tree" ] && echo "fresh-machine: the tree is kept in $tree" >&2
    exit 1
}
trap fail ERR

mounted=()
cleanup() {
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
    if [ "$keep" -eq 0 ] && [ -n "$tree" ] && [ -d "$tree" ]; then rm -rf "$tree"; fi
}
trap cleanup EXIT

[ "$(id -u)" -eq 0 ] || { echo "fresh-machine: run as root" >&2; exit 2; }
command -v debootstrap >/dev/null || {
    step="install debootstrap on this machine"
    apt-get update -qq && apt-get install -y -qq debootstrap >/dev/null
}

if [ -z "$tree" ]; then
    tree=$(mktemp -d /var/tmp/lms-fresh.XXXXXX)
    # A system's root is world-readable; the postgres user must reach its files.
    chmod 755 "$tree"
    step="debootstrap --variant=minbase bookworm into $tree"
    echo "== $step"
    debootstrap --variant=minbase bookworm "$tree" "$mirror" >"$tree.debootstrap.log" 2>&1 ||
        { tail -20 "$tree.debootstrap.log"; false; }
    rm -f "$tree.debootstrap.log"
fi

step="mount /proc, /dev and /sys in the tree"
for fs in proc dev sys; do
    mount --bind "/$fs" "$tree/$fs"
    mounted+=("$tree/$fs")
done
cp /etc/resolv.conf "$tree/etc/resolv.conf" 2>/dev/null || true

step="copy the sources into the tree"
echo "== $step"
rm -rf "$tree/src"
mkdir -p "$tree/src"
# The committed files and the work in progress, without build folders.
(cd "$root" && git ls-files -co --exclude-standard -z | tr '\0' '\n' |
    while IFS= read -r file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    tar --null -T - -cf -) | tar -xf - -C "$tree/src"

in_tree() { chroot "$tree" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    LANG=C.UTF-8 /bin/bash -c "$1"; }

step="scripts/deps in the tree"
echo "== $step"
in_tree "cd /src && scripts/deps" >"$tree/deps.log" 2>&1 || { tail -40 "$tree/deps.log"; false; }

# Configures a build in the tree; a package CMake looked for and did not find fails the step.
configure() {
    local build=$1
    shift
    step="configure $build"
    echo "== $step"
    in_tree "cd /src && cmake -S . -B $build $*" >"$tree/configure-$build.log" 2>&1 ||
        { cat "$tree/configure-$build.log"; false; }
    if grep -q 'Could NOT find' "$tree/configure-$build.log"; then
        echo "fresh-machine: the configure of $build reported missing packages:"
        grep -A2 'Could NOT find' "$tree/configure-$build.log"
        false
    fi
}

# The program as scripts/run builds it, then the tests' configure of scripts/test.
configure build-release -DCMAKE_BUILD_TYPE=Release -DLMS_BUILD_TESTS=OFF
step="build the program"
echo "== $step"
in_tree "cd /src && cmake --build build-release -j$(nproc)" >"$tree/build-release.log" 2>&1 ||
    { tail -40 "$tree/build-release.log"; false; }
configure build-test -DCMAKE_BUILD_TYPE=Debug -DLMS_BUILD_TESTS=ON

if [ "$full" -eq 1 ]; then
    step="build the tests"
    echo "== $step"
    in_tree "cd /src && cmake --build build-test -j$(nproc)" >"$tree/build-test.log" 2>&1 ||
        { tail -40 "$tree/build-test.log"; false; }
fi

step="Qt's Chinese translations and the Chinese font in the tree"
echo "== $step"
in_tree "test -f /usr/share/qt6/translations/qtbase_zh_CN.qm && fc-list :lang=zh | grep -q ."

step="start the program on a virtual display until its first dialog"
echo "== $step"
in_tree "cd /src && rm -f build-release/bin/dbase.zqd && timeout 20 xvfb-run -a \
    build-release/bin/zqdlibrary >/tmp/start.log 2>&1; status=\$?; cat /tmp/start.log; \
    [ \$status -eq 124 ]"

# The README's server set-up as a shop owner types it (the password typed twice for createuser),
# then the program started with server.conf beside it: it must have worked in the shop's database
# (it found it empty and waits in the super-user dialog; a refused login would have no
# transactions there).
step="the README's server set-up, and the program connecting to it"
echo "== $step"
in_tree "pg_ctlcluster 15 main start && \
    printf 'pw\npw\n' | runuser -u postgres -- createuser --pwprompt shop && \
    runuser -u postgres -- createdb --owner=shop --template=template0 --locale=C.UTF-8 shop && \
    echo 'localhost:5432:shop:shop:pw' >> ~/.pgpass && chmod 600 ~/.pgpass && \
    echo 'host=localhost dbname=shop user=shop' > /src/build-release/bin/server.conf && \
    (cd /src && timeout 20 xvfb-run -a build-release/bin/zqdlibrary >/tmp/server-start.log 2>&1 &) && \
    sleep 12 && \
    runuser -u postgres -- psql -Atc \"SELECT xact_commit + xact_rollback FROM pg_stat_database \
        WHERE datname = 'shop'\" | grep -qx '[1-9][0-9]*'; status=\$?; sleep 9; \
    cat /tmp/server-start.log; \
    rm -f /src/build-release/bin/server.conf; pg_ctlcluster 15 main stop; exit \$status"

trap - ERR
echo "fresh-machine: every step passed (scripts/deps, configure and build$([ "$full" -eq 1 ] && echo ', tests built'), first start, server set-up)"
