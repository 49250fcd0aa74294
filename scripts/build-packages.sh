#!/usr/bin/env bash
# Builds the Debian packages of the library and the program from this tree
# into dist/deb/ (and nothing else there):
#
#   libvantrel1_<version>-1_<arch>.deb     the library
#   libvantrel-dev_<version>-1_<arch>.deb  header, .so link, CMake package, vantrel.pc
#   vantrel-demo_<version>-1_<arch>.deb    Project1
#
#   bash scripts/build-packages.sh [CMAKE_ARGUMENT...]
#
# Release build in build/packages, with the compiler and linker flags
# Debian builds its own packages with (dpkg-buildflags); the packages are
# declared in cmake/DebianPackages.cmake and made by CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs="$(nproc)"
build=build/packages

# Hardening and the rest, as in any Debian build (with every hardening
# feature, as for a new package). Given on every configuration, not only the
# first, so that the build follows them; CMake has no CPPFLAGS.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
buildflags=(
  -DCMAKE_C_FLAGS="$(flags CFLAGS) $(flags CPPFLAGS)"
  -DCMAKE_CXX_FLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)"
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)"
  -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)"
)
# The changelog and the files in the packages are dated with the last
# commit (unless SOURCE_DATE_EPOCH says otherwise), so that the same tree
# makes the same packages.
: "${SOURCE_DATE_EPOCH:=$(git log -1 --format=%ct 2>/dev/null || true)}"
if [[ -n $SOURCE_DATE_EPOCH ]]; then
  export SOURCE_DATE_EPOCH
else
  unset SOURCE_DATE_EPOCH
fi

echo "== Debian packages: build ($build) =="
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVANTREL_DEBIAN_PACKAGES=ON -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF "${buildflags[@]}" "$@"
cmake --build "$build" -j"$jobs"

echo "== Debian packages: dist/deb =="
rm -rf "$build/cpack" dist/deb
(cd "$build" && cpack -G DEB -B "$PWD/cpack")
mkdir -p dist/deb
mv "$build"/cpack/*.deb dist/deb/
for deb in dist/deb/*.deb; do
  echo "$deb"
  dpkg-deb --field "$deb" Package Version Depends | sed 's/^/  /'
done
