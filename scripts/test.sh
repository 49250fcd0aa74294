#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the
# optimised build and in an AddressSanitizer + UndefinedBehaviorSanitizer
# build, both with warnings as errors.
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
