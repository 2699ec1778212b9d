#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# Runs apt-get as root, through sudo otherwise. BENCH=1 adds the benchmark-only packages.
set -euo pipefail

packages=(cmake ninja-build g++ make libgtest-dev qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev)
# The Forecast window's charts; Debian 12's Qt Charts asks CMake for Qt OpenGL without
# depending on its development package.
packages+=(qt6-charts-dev libqt6opengl6-dev)
# The user manual: compiled with chmcmd, read by the help window through chmlib.
packages+=(fp-utils libchm-dev)
# Installing and packaging: man pages, icons, the .deb and its checks.
packages+=(scdoc librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream)
# The dialog's screen-reader check: a virtual display, the session and accessibility
# buses, AT-SPI for Python, and the X tools that find the window and read its properties.
packages+=(xvfb dbus-daemon at-spi2-core python3-pyatspi xdotool x11-utils)
# The Windows build: MinGW-w64 (posix threads) for x86-64 and, as a 32-bit
# compile-and-link check, i686; GoogleTest's sources to build the tests for
# Windows; Wine to run them (wine64: /usr/lib/wine/wine64, not on PATH).
packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine64)
# The Windows dialog's icons, made from the pictures at build time, and its screenshot.
packages+=(imagemagick)
# The Windows zip and installer (`make windows`), and the installer's test, which unzips.
packages+=(nsis zip unzip)
if [ "${BENCH:-0}" = 1 ]; then
  packages+=(libfann-dev)
fi
# FUZZ=1: clang and its libFuzzer runtime, for `make fuzz` only.
if [ "${FUZZ:-0}" = 1 ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
