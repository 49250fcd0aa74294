#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Only what is missing is installed; run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  qt6-base-dev libgl-dev
  libcgal-dev libgmp-dev libmpfr-dev libboost-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick xdg-utils fonts-dejavu-core
  # Debian packages: dpkg-shlibdeps, file and readelf for CPack, and the
  # checks of the packages made.
  dpkg-dev file binutils lintian desktop-file-utils
  # Windows: cross compilers, Wine's 64-bit loader for the tests (32-bit
  # programs cannot run on these machines), LLVM's dlltool for vantrel.lib,
  # clang and lld-link to check it, zip for the packages.
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
  # Wine's own fonts: the bitmap "MS Sans Serif" of Project1.exe's controls.
  fonts-wine
  llvm clang lld zip unzip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
