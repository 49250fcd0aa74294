#!/bin/sh
# vantrel.lib serves Microsoft's toolchain: a C caller compiled for the MSVC
# ABI (clang in its place) and linked with an MSVC-compatible linker
# (lld-link, which demands SafeSEH-compatible objects on x86 by default, as
# Microsoft's does) imports Triangulate, undecorated, from vantrel.dll.
#
#   msvc-import.sh CLANG LLD_LINK ARCH INCLUDE_DIR LIB OBJDUMP WORK_DIR
set -eu
clang=$1 lld_link=$2 arch=$3 include=$4 lib=$5 objdump=$6 work=$7
here=$(cd "$(dirname "$0")" && pwd)
case $arch in
  x86) target=i686-pc-windows-msvc machine=x86 ;;
  x64) target=x86_64-pc-windows-msvc machine=x64 ;;
  *) echo "msvc-import: unknown architecture $arch" >&2; exit 1 ;;
esac
rm -rf "$work"
mkdir -p "$work"
cd "$work"
cat >caller.c <<'C'
#include <vantrel.h>

int32_t callTriangulate(PointRecord *points, TriangleRecord *triangles)
{
    TriangulateFn viaPointer = Triangulate;
    return Triangulate(5, 10, 5, points, triangles, VANTREL_FLAG_DELAUNAY) +
           viaPointer(5, 10, 5, points, triangles, VANTREL_FLAG_DELAUNAY);
}
C
# No C library for that ABI here: the header needs only <stdint.h>, which
# the compiler itself provides when freestanding.
"$clang" --target=$target -ffreestanding -std=c99 -Wall -Wextra -Werror -I"$include" -c caller.c -o caller.obj
"$lld_link" /nologo /dll /noentry /machine:$machine /out:caller.dll caller.obj "$lib"
"$here/pe-check.sh" imports-name "$objdump" caller.dll vantrel.dll Triangulate
