#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, where missing.
set -eu
packages=(
  cmake ninja-build g++ googletest python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine64 xvfb xauth x11-utils imagemagick xdotool
  nsis wixl msitools osslsigncode openssl
  fonts-liberation2  # metric-compatible Arial, so Wine lays captions out as Windows does
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
