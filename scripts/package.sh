#!/usr/bin/env bash
# Builds the Debian package build-package/kvteso_<version>_<arch>.deb with CPack and checks it with
# lintian, which must find no error. The build folder is its own (build-package/), so build/ is left
# alone. Installs the Debian tools it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
OUT=build-package   # the package preset's build folder (CMakePresets.json)

# dpkg-shlibdeps (dpkg-dev) finds the dependencies; lintian and desktop-file-validate check the result.
install_missing dpkg-dev file lintian desktop-file-utils

desktop-file-validate packaging/kvteso.desktop

# Debian's hardening flags (fortified functions, stack protector, read-only relocations, bind now),
# as a Debian build of the package would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
# The `package` presets: optimised with debug information (stripped in the package), without tests and benchmarks (nor GoogleTest and Google Benchmark),
# building only the program and its installed files, into $OUT.
cmake --preset package >/dev/null
cmake --build --preset package -j"$(nproc)"

rm -f "$OUT"/kvteso_*.deb
(cd "$OUT" && cpack -G DEB >/dev/null)
debs=("$OUT"/kvteso_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "package.sh: cpack wrote no kvteso_*.deb" >&2; exit 1; }

# The changelog's latest entry names the version being packaged.
version=$(dpkg-deb -f "$deb" Version)
if ! head -n1 packaging/changelog | grep -q "^kvteso ($version) "; then
  echo "package.sh: packaging/changelog has no entry for version $version at its top" >&2
  exit 1
fi

dpkg-deb --field "$deb"
dpkg-deb --contents "$deb"
# Root is fine here: the package is only read.
lintian --allow-root --fail-on error --display-info "$deb"
echo "package.sh: $deb"
