#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages of the sections of scripts/packages.txt named as arguments
# (build, run, test, package, bench, chroot; all but chroot when none is named), and nothing else. Only
# Debian's own registry is used. Safe to run again: it installs only what is missing.
# usage: scripts/deps.sh [SECTION...]
set -euo pipefail
list="$(dirname "$0")/packages.txt"
[ $# -gt 0 ] || set -- build run test package bench

packages=()
for section; do
    grep -qx "\[$section\]" "$list" || { echo "deps.sh: no section '$section' in $list" >&2; exit 2; }
    # The words between "[section]" and the next heading, comments left out.
    packages+=($(awk -v want="[$section]" '/^\[/ { on = ($0 == want); next }
        on { sub(/#.*/, ""); print }' "$list"))
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo)
else
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them as root:  apt-get install ${missing[*]}" >&2
  exit 1
fi
apt=("${as_root[@]}" apt-get)

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A package of another architecture ("wine32:i386") needs that architecture known to dpkg.
for p in "${missing[@]}"; do
    arch="${p##*:}"
    [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] || continue
    dpkg --print-foreign-architectures | grep -qx "$arch" && continue
    echo "Adding the $arch architecture to dpkg, which $p needs"
    "${as_root[@]}" dpkg --add-architecture "$arch"
done
"${apt[@]}" -o DPkg::Lock::Timeout=600 update -q
"${apt[@]}" -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
