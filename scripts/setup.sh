#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: packages already present are skipped.
set -euo pipefail
PACKAGES=(
  # build
  g++ cmake ninja-build pkg-config
  # libraries
  zlib1g-dev libssl-dev qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
  # output checks used by the tests
  qpdf poppler-utils mupdf-tools
  # benchmark references
  libhpdf-dev libcairo2-dev
  # published font metrics (AFM) the built-in font tables are generated from
  libpdfbox2-java fonts-urw-base35
  # headless display for GUI tests
  xvfb xauth
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
