#!/bin/sh
# Walks the README's road for Windows developers exactly as written: writes
# the C program under the marker "<!-- example: app.c -->", then runs the
# shell block under "<!-- example: windows-ARCH -->" in a folder holding
# only the package's zip. On x64 the block ends by running the program under
# Wine, which must succeed; the x86 program cannot run here, so it must at
# least import Triangulate, undecorated, from vantrel.dll and nothing but
# system DLLs besides.
#
#   readme-example.sh README ZIP ARCH WORK_DIR OBJDUMP WINE_RUN WINE_PREFIX
set -eu
readme=$1 zip=$2 arch=$3 work=$4 objdump=$5 wine_run=$6 prefix=$7
here=$(cd "$(dirname "$0")" && pwd)

# The fenced block after the marker line.
block() {
  awk -v marker="<!-- example: $1 -->" '$0 == marker { armed = 1; next }
    armed && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$readme"
}

if [ ! -f "$zip" ]; then
  echo "readme-example: no package $zip (scripts/build-windows.sh makes it)" >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work"
block app.c >"$work/app.c"
block "windows-$arch" >"$work/commands.sh"
if [ ! -s "$work/app.c" ] || [ ! -s "$work/commands.sh" ]; then
  echo "readme-example: the README has no example for windows-$arch" >&2
  exit 1
fi
cp "$zip" "$work/"
cd "$work"
if [ "$arch" = x64 ]; then
  "$wine_run" --prefix "$prefix" --prepare
  export WINEPREFIX="$prefix" WINEDEBUG=-all
fi
status=0
sh -ex commands.sh >output.txt || status=$?
cat output.txt
if [ $status -ne 0 ]; then
  echo "readme-example: the README's commands failed" >&2
  exit 1
fi
if [ "$arch" = x64 ]; then
  block app-output >expected.txt
  if ! tr -d '\r' <output.txt | diff -u expected.txt -; then
    echo "readme-example: the program's output is not the README's" >&2
    exit 1
  fi
fi

if [ "$arch" = x86 ]; then
  for program in *.exe; do
    "$here/pe-check.sh" imports-name "$objdump" "$program" vantrel.dll Triangulate
    "$here/pe-check.sh" imports "$objdump" "$program" vantrel.dll
  done
fi
