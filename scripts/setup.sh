#!/bin/sh
# Installs every Debian package the build, the tests and the program need.
# Safe to run again: apt-get skips what is already there.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config \
 qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins libgl-dev \
 libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev \
 libzip-dev libxlsxwriter-dev libshp-dev qt6-charts-dev libqt6opengl6-dev \
 xvfb xauth poppler-utils fonts-dejavu-core fonts-liberation fonts-liberation2 \
 fonts-crosextra-carlito fonts-crosextra-caladea \
 adwaita-icon-theme qt6-translations-l10n"
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends $missing
fi
