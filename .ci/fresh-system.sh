#!/usr/bin/env bash
# Runs the README's commands in a Debian 12 system that has nothing but
# minbase in it, as a newcomer's machine would: a missing install step in
# .ci/common.sh fails here even where the machine running this has the
# package.
#
#   .ci/fresh-system.sh            ./test.sh inside, then ./run.sh (it must
#                                  build and keep the program running on the
#                                  sample archives for a few seconds)
#   .ci/fresh-system.sh --no-run   ./test.sh only
#
# Needs root (debootstrap, chroot, bind mounts) and Debian's package mirror.
# The new system lives below $TMPDIR and is removed at the end, whatever
# happens. Downloaded .deb files are kept in $VALDRAN_FRESH_CACHE (default
# /var/cache/valdran-fresh) so later runs download less; that cache stays
# outside the new system, which starts without any package beyond minbase.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
with_run=1
case "${1:-}" in
    "") ;;
    --no-run) with_run=0 ;;
    *) echo "usage: $0 [--no-run]" >&2; exit 2 ;;
esac

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-system: needs root (debootstrap, chroot, mounts)" >&2
    exit 2
fi

. "$repo/.ci/common.sh"
command -v debootstrap >/dev/null || valdran_install_packages debootstrap
command -v git >/dev/null || valdran_install_packages git
command -v ip >/dev/null || valdran_install_packages iproute2

# The machine's own Debian mirror, as its apt sources name it.
mirror=""
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '/^URIs:/{u=$2} /^Suites:/{s=$0} /^$/{if (s ~ /bookworm([ ]|$)/ && u) print u; u=""; s=""} END{if (s ~ /bookworm([ ]|$)/ && u) print u}' "$f"
done > /tmp/valdran-fresh-mirrors.$$ || true
mirror="$(head -n1 /tmp/valdran-fresh-mirrors.$$)"
rm -f /tmp/valdran-fresh-mirrors.$$
if [ -z "$mirror" ] && [ -f /etc/apt/sources.list ]; then
    mirror="$(awk '$1=="deb" && $3 ~ /^bookworm$/ {print $2; exit}' /etc/apt/sources.list)"
fi
mirror="${mirror:-http://deb.debian.org/debian}"
security="${mirror%/debian}/debian-security"

cache="${VALDRAN_FRESH_CACHE:-/var/cache/valdran-fresh}"
mkdir -p "$cache/debootstrap" "$cache/apt"
base="$(mktemp -d "${TMPDIR:-/tmp}/valdran-fresh.XXXXXX")"
root="$base/root"
mkdir -p "$root"

mounts=()
cleanup() {
    local rc=$?
    set +e
    # Anything still running inside (a LibreOffice, an X server) would keep
    # the mounts busy.
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    sleep 0.2
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -R "${mounts[i]}" 2>/dev/null || umount -R -l "${mounts[i]}"
    done
    # Remove the tree only when nothing of the machine is mounted in it any more.
    if ! grep -q " $root" /proc/mounts; then
        rm -rf --one-file-system "$base"
    else
        echo "fresh-system: $root still has mounts; left in place" >&2
    fi
    exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Two runs at once would fight over apt's lock in the cache: a run that finds
# it in use downloads everything into its own system instead.
use_cache=1
cache_opt=(--cache-dir="$cache/debootstrap")
exec 9>"$cache/.in-use"
if ! flock -n 9; then
    echo "fresh-system: $cache is in use by another run; downloading without it"
    use_cache=0
    cache_opt=()
fi

start=$(date +%s)
echo "fresh-system: debootstrap --variant=minbase bookworm from $mirror into $root"
debootstrap --variant=minbase "${cache_opt[@]}" bookworm "$root" "$mirror" \
    > "$base/debootstrap.log" 2>&1 || { tail -n 40 "$base/debootstrap.log"; exit 1; }

cat > "$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

for d in proc sys dev; do
    mount --rbind "/$d" "$root/$d"
    mount --make-rslave "$root/$d"
    mounts+=("$root/$d")
done
# apt's downloads go to the cache outside the new system.
if [ "$use_cache" = 1 ]; then
    mkdir -p "$root/var/cache/apt/archives"
    mount --bind "$cache/apt" "$root/var/cache/apt/archives"
    mounts+=("$root/var/cache/apt/archives")
fi

git clone -q "$repo" "$root/valdran"

# Runs a command in the new system. It runs as a background job that this
# shell waits for, so a signal to this script ends it at once (the trap then
# stops what runs inside) instead of after the whole test run.
inside_with_network() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 CI="${CI:-}" TERM=dumb /bin/bash -c "$1" &
    wait "$!"
}
# The same in a network namespace of its own with only loopback: the tests'
# X servers and sockets in the abstract namespace cannot meet those of tests
# that run on this machine at the same time.
inside() {
    unshare --net -- /bin/sh -c 'ip link set lo up && exec "$@"' sh \
        chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 CI="${CI:-}" TERM=dumb /bin/bash -c "$1" &
    wait "$!"
}

# The packages come first, with the network, through the README commands' own
# install step; the commands then find them installed.
echo "fresh-system: installing the packages of .ci/common.sh"
t0=$(date +%s)
inside_with_network 'cd /valdran && . .ci/common.sh && valdran_install_packages $VALDRAN_TEST_PACKAGES'
echo "fresh-system: packages installed in $(( $(date +%s) - t0 )) s"

echo "fresh-system: ./test.sh inside"
t0=$(date +%s)
inside 'cd /valdran && ./test.sh'
echo "fresh-system: ./test.sh passed in $(( $(date +%s) - t0 )) s"

if [ "$with_run" = 1 ]; then
    echo "fresh-system: ./run.sh inside"
    t0=$(date +%s)
    # run.sh ends by exec'ing the program: once the process is valdran, the
    # build is done; it must then still be running on the sample archives
    # ten seconds later (a crash or a program that ends by itself fails).
    cat > "$root/valdran-run-check.sh" <<'EOF2'
cd /valdran
QT_QPA_PLATFORM=offscreen ./run.sh > /valdran-run.log 2>&1 &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
    case "$(readlink "/proc/$pid/exe")" in */build/bin/valdran) break ;; esac
    sleep 1
done
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"; echo "run.sh ended with status $? before the program started"; tail -n 40 /valdran-run.log; exit 1
fi
sleep 10
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"; echo "valdran ended by itself with status $?"; tail -n 40 /valdran-run.log; exit 1
fi
kill "$pid"; wait "$pid" 2>/dev/null || true
exit 0
EOF2
    inside 'bash /valdran-run-check.sh'
    echo "fresh-system: ./run.sh built and started valdran in $(( $(date +%s) - t0 )) s"
fi
echo "fresh-system: passed in $(( $(date +%s) - start )) s"
