#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quillet need, and only
# those that are missing. Runs apt-get as root, through sudo when started by another user.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-translations-l10n libxcb1-dev
  libicu-dev libisal-dev zlib1g-dev
  libbenchmark-dev clang libclang-rt-14-dev
  fonts-ipafont-gothic fonts-symbola
  dosfstools fusefat rhash
  xvfb xauth at-spi2-core dbus-daemon dbus-bin
  dpkg-dev file desktop-file-utils libglib2.0-bin shared-mime-info
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo: missing ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
