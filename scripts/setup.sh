#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# As root it installs what is missing; otherwise it prints the one line to run and stops.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libjpeg-dev libsqlite3-dev xvfb xauth fonts-dejavu-core qt6-translations-l10n
          librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian poppler-utils
          shared-mime-info xdg-utils libfile-mimeinfo-perl)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are missing: ${missing[*]}"
  echo "Install them with:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
