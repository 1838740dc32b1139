#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (root on Debian 12).
set -euo pipefail
packages=(build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libjpeg62-turbo-dev
  libgdal-dev gdal-bin libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  librsvg2-bin desktop-file-utils appstream
  poppler-utils xdotool
  clang libclang-rt-14-dev clang-tidy
  qt6-websockets-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi
# Node.js and npm for the check of our output sentences against a Signal K parser. Some machines
# carry a Node.js build that brings its own npm (and conflicts with Debian's npm package): install
# each only when its command is missing.
install_command() {
  command -v "$1" >/dev/null 2>&1 && return 0
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "$2"
}
install_command node nodejs
install_command npm npm
