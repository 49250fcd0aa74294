#!/bin/sh
# The Windows DLL triangulates point files exactly as the Linux library
# does: the Linux build's trilib_canonical writes the files (uniform,
# screen-sized with duplicates, grid, circles, int32 corners; up to 1e5
# points) and hashes its library's triangle lists; the Windows build's copy,
# run under Wine, must print the same lines.
#
#   identity.sh LINUX_TOOL WINDOWS_TOOL WORK_DIR RUNNER...
set -eu
linux=$1 windows=$2 work=$3
shift 3
if [ ! -x "$linux" ]; then
  echo "identity: no Linux trilib_canonical at $linux (build the Linux release first, as scripts/test.sh does)" >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$linux" generate .
files=$(ls *.txt)
"$linux" hash $files >linux.out
"$@" "$windows" hash $files | tr -d '\r' >windows.out
cat windows.out
if ! awk '$2 <= 0 { bad = 1 } END { exit bad || NR < 8 }' linux.out; then
  echo "identity: the Linux library found no triangles somewhere" >&2
  exit 1
fi
if ! diff -u linux.out windows.out; then
  echo "identity: the Windows DLL's triangles differ from the Linux library's" >&2
  exit 1
fi
echo "identical on $(wc -l <linux.out) point files"
