#!/usr/bin/env bash
# Cross-builds the library and the demonstration program for 64-bit and
# 32-bit Windows with MinGW-w64 (Release, warnings as errors) into build/win64
# and build/win32, and packages each: dist/vantrel-<version>-windows-<x64|x86>/
# and a zip of it.
#
#   bash scripts/build-windows.sh [CMAKE_ARGUMENT...]
#
# The package's contents (vantrel.dll, Project1.exe, the header and the import
# libraries) are declared in cmake/WindowsPackage.cmake.
#
# Arguments go to both configurations (scripts/test.sh passes the Linux
# build's tool for the identity test this way). Run the 64-bit tests under
# Wine with `ctest --test-dir build/win64`, the 32-bit file checks with
# `ctest --test-dir build/win32`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs="$(nproc)"

for arch in x64 x86; do
  case $arch in
    x64) build=build/win64 toolchain=cmake/toolchains/x86_64-w64-mingw32.cmake ;;
    x86) build=build/win32 toolchain=cmake/toolchains/i686-w64-mingw32.cmake ;;
  esac
  echo "== Windows $arch build ($build) =="
  cmake -S . -B "$build" --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release -DVANTREL_WERROR=ON "$@"
  cmake --build "$build" -j"$jobs"

  name="$(cat "$build/package-name.txt")"
  echo "== Package dist/$name =="
  rm -rf "dist/$name" "dist/$name.zip"
  cmake --install "$build" --component package --prefix "dist/$name"
  (cd dist && zip -q -r -X "$name.zip" "$name")
  ls -l "dist/$name.zip"
done
