#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: install_test.sh BUILD [package]
# Installs the build into a scratch prefix and checks what a desktop finds there, with the
# ecosystem's own validators. With "package", builds the Debian package through
# scripts/package.sh (from the release build) instead,
# checks its files, its dependencies and lintian, and installs it into a scratch root.
set -euo pipefail
: "${VEXALO_EGL_STANDIN_DIR:?set VEXALO_EGL_STANDIN_DIR to the folder of the stand-in EGL vendor, e.g. lib/vexalo-config/egl}"
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# What a user gets, relative to the prefix.
files=(
    bin/vexalo-config
    share/applications/io.github.vexalo.Config.desktop
    share/icons/hicolor/32x32/apps/vexalo-config.png
    share/icons/hicolor/scalable/apps/vexalo-config.svg
    share/metainfo/io.github.vexalo.Config.metainfo.xml
    share/man/man1/vexalo-config.1.gz
    share/doc/vexalo-config/copyright
    share/doc/vexalo-config/changelog.gz
    "$VEXALO_EGL_STANDIN_DIR/libEGL_vexalo_standin.so"
)

# Files installed under $1.
check_installed() {
    local prefix="$1" file entry="$1/share/applications/io.github.vexalo.Config.desktop"
    for file in "${files[@]}"; do
        [ -s "$prefix/$file" ] || fail "$file not installed"
    done
    [ -x "$prefix/bin/vexalo-config" ] || fail "vexalo-config not executable"
    desktop-file-validate "$entry"
    grep -qx 'Name=Vexalo Configuration' "$entry" || fail "entry name"
    grep -qx 'Exec=vexalo-config %f' "$entry" || fail "entry command"
    # Also checks that the metainfo's launchable names an installed desktop entry.
    appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli"
    # groff reports a malformed page on stderr but still exits 0.
    local warnings
    warnings="$(zcat "$prefix/share/man/man1/vexalo-config.1.gz" |
        LC_ALL=C.UTF-8 groff -ww -man -Tutf8 -z 2>&1)"
    [ -z "$warnings" ] || fail "man page: $warnings"
}

if [ "${2:-}" != package ]; then
    cmake --install "$build" --prefix "$scratch" >/dev/null
    check_installed "$scratch"
    echo "PASS: installed"
    exit 0
fi

# Through the README's package step, which the release build is.
out="$("$(dirname "$0")/../scripts/package.sh" "$scratch" 2>&1)" || fail "package.sh: $out"
deb=("$scratch"/vexalo-config_*.deb)
[ -f "${deb[0]}" ] && [ ${#deb[@]} -eq 1 ] || fail "no single vexalo-config_*.deb"

# Exactly the user's files, under /usr; nothing from the build or the tests.
expected="$(printf './usr/%s\n' "${files[@]}" | sort)"
actual="$(dpkg-deb --fsys-tarfile "${deb[0]}" | tar -t | grep -v '/$' | sort)"
[ "$actual" = "$expected" ] || fail "package files differ:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"

[ "$(dpkg-deb -f "${deb[0]}" Package Version)" = $'Package: vexalo-config\nVersion: 1.00' ] ||
    fail "name or version: $(dpkg-deb -f "${deb[0]}" Package Version)"
# The libraries come from dpkg-shlibdeps; what Qt loads at run time is named by hand.
depends="$(dpkg-deb -f "${deb[0]}" Depends)"
for dep in libc6 libqt6widgets6 libxcb-randr0 qt6-qpa-plugins qt6-wayland fonts-dejavu-core; do
    grep -qE "(^|, | \| )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
# Where the installed Qt names its private ABI, the package is tied to exactly that one.
abi="$(dpkg-query -W -f='${Provides}\n' 'libqt6core6*' 'libqt6gui6*' 2>/dev/null |
    grep -o 'qt6-base-private-abi (= [^)]*)' | head -1)" || true
[ -z "$abi" ] || grep -qF "$abi" <<<"$depends" || fail "Depends lacks $abi: $depends"

# Informational tags are fine; an error or a warning is not.
tags="$(lintian --fail-on error,warning "${deb[0]}" 2>&1)" || fail "lintian: $tags"
echo "$tags"

# A real installation into an empty root; its dependencies live outside it.
root="$scratch/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
out="$(dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "${deb[0]}" 2>&1)" ||
    fail "dpkg -i: $out"
dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' vexalo-config | grep -qx 'install ok installed' ||
    fail "not installed"
check_installed "$root/usr"
# The packaged binary is the one built here, and it answers without a display.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vexalo-config" --version)"
[ "$version" = "vexalo-config 1.00" ] || fail "packaged --version: $version"
echo "PASS: package"
