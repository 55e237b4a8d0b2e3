#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the tool and its tests need, and nothing else.
# Only Debian's own registry is used. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  # build
  cmake g++ ninja-build pkgconf clang-format
  qt6-base-dev qt6-qpa-plugins libxcb1-dev libxcb-randr0-dev libxcb-damage0-dev libxcb-xtest0-dev
  # run: a font, or Qt draws no text on a minimal system; Qt's own texts in the user's language
  fonts-dejavu-core qt6-translations-l10n
  # tests and benchmarks: a real X server, a window manager, input, screenshots
  xvfb xauth openbox xdotool x11-utils x11-xserver-utils imagemagick desktop-file-utils procps util-linux
  # a screen reader's view: a session bus, the accessibility bus, and Python's AT-SPI client
  dbus at-spi2-core python3-pyatspi
  # Qt's GTK theme, as on GNOME, and the Spanish locale's sources for a report in Spanish
  qt6-gtk-platformtheme locales
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
