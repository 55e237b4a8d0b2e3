#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the tool and its tests need, and nothing else.
# Only Debian's own registry is used. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  # build
  cmake g++ ninja-build pkgconf clang-format
  qt6-base-dev qt6-qpa-plugins libxcb1-dev libxcb-randr0-dev libxcb-damage0-dev libxcb-xtest0-dev
  libx11-dev libwayland-dev libwayland-bin wayland-protocols
  # build: the focus hand-over (Qt's native handles)
  qt6-base-private-dev
  # run: a font, or Qt draws no text on a minimal system; Qt's own plugin in a
  # Wayland session, Qt's own texts in the user's language
  fonts-dejavu-core qt6-wayland qt6-translations-l10n
  # tests and benchmarks: a real X server, a window manager, input, screenshots
  xvfb xauth openbox xdotool x11-utils x11-xserver-utils imagemagick desktop-file-utils procps util-linux
  # several monitors: Xorg's dummy driver (X11) and weston with Xwayland (Wayland)
  xserver-xorg-core xserver-xorg-video-dummy weston xwayland
  # a screen reader's view: a session bus, the accessibility bus, and Python's AT-SPI client
  dbus at-spi2-core python3-pyatspi
  # the Debian package and its checks: CPack's dependency scan (dpkg-dev, file), lintian,
  # AppStream's validator and groff for the man page
  dpkg-dev file lintian appstream groff-base
  # the writer's hostile cases: fault injection, an ext4 image on a loop device, chattr
  strace e2fsprogs mount
  # the desktop's font through Qt's GTK theme, in GNOME's font and at larger sizes
  qt6-gtk-platformtheme fonts-cantarell
  # the focus hand-over on Wayland: a compositor that grants activation (sway), one that
  # lacks it (weston, listed above), and a virtual keyboard
  sway wtype
  # the Spanish locale's sources, for a report in Spanish
  locales
)

# The benchmark also runs the dialogs a user would script instead, and Qt's GTK theme.
if [ "${1:-}" = "--bench" ]; then
  packages+=(zenity yad qt6-gtk-platformtheme)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  apt=(apt-get)
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  apt=(sudo apt-get)
else
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them as root:  apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${apt[@]}" -o DPkg::Lock::Timeout=600 update -q
"${apt[@]}" -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
