#!/usr/bin/env bash
# Installs every Debian 12 package the program needs to build, run and be tested.
# Nothing else is fetched: the build itself downloads nothing.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake pkg-config clang-format ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libqt6opengl6-dev libgl-dev
  libicu-dev libsqlite3-dev libquazip1-qt6-dev
  fonts-wqy-microhei fonts-arphic-uming fonts-arphic-ukai fonts-dejavu-core fontconfig
  xvfb xauth x11-utils imagemagick desktop-file-utils file
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  postgresql
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
