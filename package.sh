#!/usr/bin/env bash
# Builds a release installed for every user (/usr) and writes the Debian
# package build-package/tavi_<version>_<arch>.deb; its path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
bash tools/ensure-packages.sh "${TAVI_BUILD_PACKAGES[@]}" "${TAVI_PACKAGE_PACKAGES[@]}"

# Debian's own compiler and linker flags, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVI_SYSTEM_INSTALL=ON -DCMAKE_INSTALL_PREFIX=/usr \
  -DTAVI_TESTS=OFF -DTAVI_BENCH=OFF >/dev/null
cmake --build "$build"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/tavi_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
(cd "$build" && cpack -G DEB >cpack.log) || { cat "$build/cpack.log"; exit 1; }
[ -f "$deb" ] || { cat "$build/cpack.log"; echo "cpack wrote no $deb" >&2; exit 1; }
echo "$PWD/$deb"
