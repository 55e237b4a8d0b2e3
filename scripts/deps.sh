#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages of the sections of scripts/packages.txt named as arguments
# (build, run, test, test-optional, package, bench, chroot; all but chroot when none is named),
# and nothing else. Only Debian's own registry is used. Safe to run again: it installs only what
# is missing. A section named "...-optional" holds what a release may lack: its packages are
# installed where the release has them, and the others are named and left out.
# usage: scripts/deps.sh [SECTION...]
#        scripts/deps.sh --missing SECTION...   prints the sections' packages not installed
set -euo pipefail
list="$(dirname "$0")/packages.txt"
report_missing=false
[ "${1:-}" != --missing ] || { report_missing=true; shift; }
[ $# -gt 0 ] || set -- build run test test-optional package bench

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=() optional=()
for name; do
    grep -qx "\[$name\]" "$list" || { echo "deps.sh: no section '$name' in $list" >&2; exit 2; }
    # The words between "[section]" and the next heading, comments left out.
    for p in $(awk -v want="[$name]" '/^\[/ { on = ($0 == want); next }
        on { sub(/#.*/, ""); print }' "$list"); do
        installed "$p" && continue
        case "$name" in
        *-optional) optional+=("$p") ;;
        *) missing+=("$p") ;;
        esac
    done
done
if $report_missing; then
    echo "${missing[*]} ${optional[*]}" | xargs
    exit 0
fi
[ ${#missing[@]} -eq 0 ] && [ ${#optional[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo)
elif [ ${#missing[@]} -eq 0 ]; then
  echo "Not installed, and optional: ${optional[*]} (as root: apt-get install ${optional[*]})" >&2
  exit 0
else
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them as root:  apt-get install ${missing[*]}" >&2
  exit 1
fi
apt=("${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600)

export DEBIAN_FRONTEND=noninteractive
# A package of another architecture ("wine32:i386") needs that architecture known to dpkg, also
# to learn whether the release has it.
for p in "${missing[@]}" "${optional[@]}"; do
    arch="${p##*:}"
    [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] || continue
    dpkg --print-foreign-architectures | grep -qx "$arch" && continue
    echo "Adding the $arch architecture to dpkg, which $p needs"
    "${as_root[@]}" dpkg --add-architecture "$arch"
done
if ! "${apt[@]}" update -q; then
    # What is required cannot be had; what is optional is left out, as where the release lacks it.
    [ ${#missing[@]} -eq 0 ] || exit 1
    echo "deps.sh: the package index could not be updated; left out, as optional: ${optional[*]}" >&2
    exit 0
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
fi
# The optional packages this release has, installed apart so that one that cannot be installed
# leaves the others and the required ones alone.
have=() lack=()
for p in "${optional[@]}"; do
    candidate="$(LC_ALL=C apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: //p')"
    if [ -n "$candidate" ] && [ "$candidate" != "(none)" ]; then have+=("$p"); else lack+=("$p"); fi
done
if [ ${#have[@]} -gt 0 ]; then
    echo "Installing (optional): ${have[*]}"
    "${apt[@]}" install -y -q --no-install-recommends "${have[@]}" ||
        { echo "deps.sh: the optional ${have[*]} could not be installed, and are left out" >&2; }
fi
[ ${#lack[@]} -eq 0 ] || echo "deps.sh: this release has no ${lack[*]}: left out, as optional" >&2
exit 0
