#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: packages already present are skipped.
set -euo pipefail
. "$(dirname "$0")/lib/packages.sh"
PACKAGES=(
  # build
  g++ cmake ninja-build pkg-config clang-format
  # libraries
  zlib1g-dev libssl-dev qt6-base-dev qt6-translations-l10n libgtest-dev libgmock-dev libbenchmark-dev
  # the spreadsheet export
  libxlsxwriter-dev
  # output checks used by the tests
  qpdf poppler-utils mupdf-tools
  # the fuzz targets (libFuzzer with clang's sanitizers)
  clang libfuzzer-14-dev libclang-rt-14-dev
  # real fonts and an independent font reader, and a barcode reader, for the PDF writer's tests
  libfreetype-dev fonts-dejavu-core fonts-opensymbol zbar-tools
  # spreadsheets read back by the tests (openpyxl, and gnumeric's ssconvert as a second reader); the
  # desktop entry checked by the install test
  python3-openpyxl gnumeric desktop-file-utils
  # benchmark references
  libhpdf-dev libcairo2-dev
  # published font metrics (AFM) the built-in font tables are generated from
  libpdfbox2-java fonts-urw-base35
  # headless display for GUI tests and the window's screenshot
  xvfb xauth
  # printing: the spooler library, and a private CUPS scheduler the printing tests start themselves;
  # Liberation Mono stands in for Courier New with the same metrics
  libcups2-dev cups cups-client cups-bsd fonts-liberation
  # the jobs read back: PostScript to text (ghostscript), a job's attributes (ipptool)
  ghostscript cups-ipp-utils
  # the Italian locale the tests run under once more
  locales
  # the Windows build: Debian's MinGW-w64 cross compilers and zlib, the tools that fetch Debian's
  # sources of the libraries it lacks for MinGW, and Wine, which runs the Windows tests
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  dpkg-dev googletest wine wine64
  # the Windows installer (NSIS), and a reader of Windows shortcuts for its test
  nsis liblnk-utils
)
install_missing "${PACKAGES[@]}"
# libxlsxwriter for Windows is built from Debian's source package: apt must know the sources.
ensure_debian_sources
# The tests run once more under an Italian locale (decimal comma), where PDF numbers and records
# must not change.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO sed -i 's/^# *it_IT.UTF-8 UTF-8/it_IT.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
