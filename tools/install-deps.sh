#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running 墨舟 need.
# Does nothing when they are all present already. Needs root (or sudo).
set -euo pipefail
packages=(g++ cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev libespeak-ng-dev
          espeak-ng-data libgumbo-dev pkg-config fonts-wqy-microhei libqt6svg6 xvfb xauth
          imagemagick xdotool desktop-file-utils qt6-base-private-dev appstream dpkg-dev file clang-format
          qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
