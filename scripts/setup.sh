#!/usr/bin/env bash
# Installs the Debian packages Tanavo needs to build, run and test, and the
# ja_JP.UTF-8 locale. Only what is missing is installed.
set -euo pipefail

# libssl-dev: SHA-256 of the export (libcrypto).
packages=(cmake make g++ libgtest-dev libgmock-dev googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 xvfb locales
          fonts-ipafont-gothic fonts-ipafont-mincho
          clang libclang-rt-14-dev libssl-dev)
missing=()
# The screenshots (ImageMagick), the user manual and the test of the export's
# report (headless Chromium; pdfinfo and pdffonts to check the PDF).
packages+=(imagemagick chromium poppler-utils)
# Viewers the Wine prefix opens PDF and photos with (scripts/wine-env.sh).
packages+=(xpdf feh)
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
