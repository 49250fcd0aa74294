#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the
# optimised build and in an AddressSanitizer + UndefinedBehaviorSanitizer
# build, both with warnings as errors; the threaded tests of the library and
# of the raster canvas also in
# a ThreadSanitizer build. Then cross-builds and packages the
# Windows library (scripts/build-windows.sh) and runs its tests: the 64-bit
# build's under Wine, the 32-bit build's static checks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs="$(nproc)"

echo "== Release build =="
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVANTREL_WERROR=ON
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs"

echo "== Sanitizer build (address, undefined) =="
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON \
  -DVANTREL_SANITIZE=ON -DVANTREL_BUILD_BENCH=OFF
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"

echo "== Thread sanitizer build (the threaded tests of the library and the canvas) =="
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON -DVANTREL_TSAN=ON
cmake --build build/tsan -j"$jobs"
ctest --test-dir build/tsan --output-on-failure -j"$jobs"

echo "== Windows builds (x64 tested under Wine, x86 checked statically) =="
# The identity test compares the 64-bit DLL with this Linux build's library.
bash scripts/build-windows.sh -DVANTREL_LINUX_CANONICAL="$PWD/build/release/bin/trilib_canonical"
ctest --test-dir build/win64 --output-on-failure -j"$jobs"
ctest --test-dir build/win32 --output-on-failure -j"$jobs"
