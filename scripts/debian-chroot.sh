#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command (the README's test command unless one is given) on another Debian release, in
# a chroot made with debootstrap from Debian's registry: a minimal system that scripts/deps.sh
# fills as on a fresh machine. The checkout's tracked files are copied to
# ROOT/work/<checkout's folder name> and the command runs there, as root, with /proc, /sys and
# /dev mounted and the root bind-mounted onto itself so that it is a mount point of its own.
#
# usage: scripts/debian-chroot.sh [--suite SUITE] [--root DIR] [COMMAND [ARG...]]
#   --suite SUITE  the release to make (trixie unless named): a code name (bookworm, trixie,
#                  forky, sid, ...) or stable, testing, unstable
#   --root DIR     make the chroot in DIR, or use the one there, and keep it; without it the
#                  chroot is made in a new folder under /var/tmp and removed afterwards
# Needs root; installs debootstrap where it is missing. The mounts live in a mount namespace of the
# command's own, so they go away with it, however it ends.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
mirror=http://deb.debian.org/debian
suite=trixie
root=
while [ $# -gt 0 ]; do
    case "$1" in
    --suite) suite="$2"; shift 2 ;;
    --root) root="$2"; shift 2 ;;
    --) shift; break ;;
    -*) echo "debian-chroot.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || set -- scripts/test.sh
[ "$(id -u)" -eq 0 ] || { echo "debian-chroot.sh: run as root (debootstrap and chroot need it)" >&2; exit 1; }
[[ "$suite" =~ ^[a-z][a-z0-9-]*$ ]] || { echo "debian-chroot.sh: no such suite: $suite" >&2; exit 2; }
"$top/scripts/deps.sh" chroot

# The suite's index, which says whether the registry has the suite at all, which suite a code
# name stands for ("Suite: testing" for forky) and until when the index is valid. A network
# failure is tried again; a suite the registry answers it does not have is not.
release="$(mktemp)"
for try in 1 2 3 4 5; do
    status=0
    wget -q -O "$release" "$mirror/dists/$suite/InRelease" || status=$?
    # wget's 8: the server answered with an error (404), which another try would not change.
    [ "$status" -eq 0 ] || [ "$status" -eq 8 ] || [ "$try" -eq 5 ] || { sleep $((try * 5)); continue; }
    break
done
[ "$status" -ne 8 ] || { echo "debian-chroot.sh: $mirror has no suite $suite" >&2; exit 1; }
[ "$status" -eq 0 ] || { echo "debian-chroot.sh: $mirror cannot be reached (wget status $status)" >&2; exit 1; }
kind="$(sed -n 's/^Suite: //p' "$release")"
valid_until="$(sed -n 's/^Valid-Until: //p' "$release")"
rm -f "$release"
# Testing and unstable change daily and the registry's copy of them may lag behind its index's
# Valid-Until date; apt would refuse the whole index. There, and only there, an outdated index
# is taken, and said so. A stable release's index is fresh, or something is wrong.
lenient=false
case "$kind" in
testing | unstable)
    lenient=true
    if [ -n "$valid_until" ] && [ "$(date -d "$valid_until" +%s)" -lt "$(date +%s)" ]; then
        echo "debian-chroot.sh: the registry's index of $suite ($kind) expired on $valid_until;" \
            "going on with it (Acquire::Check-Valid-Until=false)"
    fi
    ;;
esac

umask 022
if [ -z "$root" ]; then
    root="$(mktemp -d "/var/tmp/vexalo-$suite.XXXXXX")"
    # The chroot's /: the tests' unprivileged users (nobody, the writer's other users) must
    # reach everything below it, and mktemp made it private.
    chmod 755 "$root"
    # Nothing is mounted here outside the namespace below, so this removes only the chroot's
    # own files; --one-file-system guards against a mount that was left all the same.
    trap 'rm -rf --one-file-system "$root"' EXIT
fi
root="$(realpath -m "$root")"

# debootstrap removes its working folder once the system is complete: a root that still has
# it, or has no apt, was interrupted and is made again.
if [ ! -x "$root/usr/bin/apt-get" ] || [ -e "$root/debootstrap" ]; then
    if [ -e "$root" ] && [ -n "$(ls -A "$root")" ] && [ ! -e "$root/debootstrap" ]; then
        echo "debian-chroot.sh: $root is neither empty nor a chroot this script made" >&2
        exit 1
    fi
    # debootstrap has a script per release it knew when it was made; a newer testing or
    # unstable is made as sid is.
    script=/usr/share/debootstrap/scripts/$suite
    [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
    log="$(mktemp)"
    for try in 1 2 3; do
        echo "=== debootstrap $suite into $root (try $try)"
        # debootstrap mounts /proc and /sys in the target while it works: keep those mounts in
        # a namespace that ends with it, even if it fails half-way.
        if unshare --mount --propagation private \
            debootstrap --variant=minbase "$suite" "$root" "$mirror" "$script" 2>&1 | tee "$log"; then
            break
        fi
        # Only a download that failed is worth another try; anything else fails again.
        grep -qiE "couldn.t download|failed getting" "$log" &&
            [ "$try" -lt 3 ] || { rm -f "$log"; echo "debian-chroot.sh: debootstrap failed" >&2; exit 1; }
        rm -rf --one-file-system "${root:?}"/*
    done
    rm -f "$log"
    # Debian's users have the release's updates too; unstable has none of its own.
    case "$kind" in
    unstable) ;;
    *) printf 'deb %s %s-updates main\ndeb %s-security %s-security main\n' \
        "$mirror" "$suite" "$mirror" "$suite" >>"$root/etc/apt/sources.list" ;;
    esac
    # A download that fails once is tried again rather than failing the run.
    printf 'Acquire::Retries "5";\n' >"$root/etc/apt/apt.conf.d/80retries"
    # Packages start no services in the chroot: the tests start the servers they need.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
fi
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# Also set in a chroot made before: the index of a lenient suite may have expired since.
if $lenient; then
    printf 'Acquire::Check-Valid-Until "false";\n' >"$root/etc/apt/apt.conf.d/80valid-until"
fi

# The checkout as git tracks it, work in progress included, or, where there is no git (a
# tarball, a minimal CI image), the tree without its build folder; a build folder from an
# earlier run in the same root is kept, so that the build there is incremental.
work="/work/$(basename "$top")"
mkdir -p "$root$work"
find "$root$work" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
if command -v git >/dev/null && git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$top" ls-files -z | tar -C "$top" --null --ignore-failed-read -T - -c | tar -C "$root$work" -x
else
    tar -C "$top" --exclude=./build --exclude=./.git -c . | tar -C "$root$work" -x
fi

echo "=== $suite chroot $root: $* (in $work)"
unshare --mount --propagation private bash -euo pipefail -c '
    root="$1" work="$2"; shift 2
    mount --bind "$root" "$root"
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c "cd \"\$0\" && exec \"\$@\"" "$work" "$@"
' debian-chroot "$root" "$work" "$@"
