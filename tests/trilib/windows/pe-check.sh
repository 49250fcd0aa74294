#!/bin/sh
# Static checks of a Windows DLL or program with the target's objdump, for
# what a 32-bit build cannot show by running here, and what is best seen in
# the file itself on 64-bit too:
#
#   pe-check.sh exports OBJDUMP FILE NAME...
#       FILE exports exactly the names NAME..., undecorated.
#   pe-check.sh stdcall OBJDUMP FILE EXPORT SYMBOL BYTES
#       FILE exports EXPORT, the code there is the function SYMBOL, and every return
#       in it removes BYTES bytes of arguments (ret $BYTES), as __stdcall
#       callers expect.
#   pe-check.sh imports OBJDUMP FILE [DLL...]
#       FILE imports from Windows's own DLLs only, and from the DLLs named.
#   pe-check.sh imports-name OBJDUMP FILE DLL NAME
#       FILE imports NAME from DLL, by that name.
set -eu

fail() {
  echo "pe-check: $*" >&2
  exit 1
}

# The DLLs every Windows installation has: the kernel, the C runtimes
# (msvcrt, the Universal CRT and its API sets) and the window system.
system_dll() {
  case $(echo "$1" | tr 'A-Z' 'a-z') in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll | user32.dll | gdi32.dll | comctl32.dll | \
      comdlg32.dll | shell32.dll | advapi32.dll | ole32.dll | oleaut32.dll | shlwapi.dll | uxtheme.dll) return 0 ;;
    *) return 1 ;;
  esac
}

mode=$1
objdump=$2
file=$3
shift 3
[ -f "$file" ] || fail "no file $file"
headers=$("$objdump" -p "$file") || fail "$objdump cannot read $file"

# Exported names, one a line, from the "[Ordinal/Name Pointer] Table".
exported() {
  echo "$headers" | awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
    table && /^[ \t]*\[ *[0-9]+\] / { print $NF; next }
    table { exit }'
}

# Imported DLLs, one a line.
imported_dlls() {
  echo "$headers" | awk '/^[ \t]*DLL Name: / { print $NF }'
}

case $mode in
exports)
  found=$(exported | sort | tr '\n' ' ')
  wanted=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ "$found" = "$wanted" ] || fail "$file exports [$found], expected [$wanted]"
  echo "$file exports: $found"
  ;;
stdcall)
  export_name=$1 symbol=$2 bytes=$3
  # The name's index in the name table is its entry in the address table
  # (an index into the ordinal table, which the linker makes the identity).
  index=$(echo "$headers" | awk -v n="$export_name" '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
    table && /^[ \t]*\[ *[0-9]+\] / { if ($NF == n) { gsub(/[^0-9]/, "", $0); print; exit } next }
    table { exit }')
  [ -n "$index" ] || fail "$file does not export $export_name"
  base=$(echo "$headers" | awk '$1 == "ImageBase" { print $2 }')
  rva=$(echo "$headers" | awk -v i="$index" '/Export RVA/ { line = $0; sub(/^[ \t]*\[ */, "", line);
    split(line, f, "]"); if (f[1] + 0 == i + 0) { print $(NF - 2); exit } }')
  [ -n "$base" ] && [ -n "$rva" ] || fail "no image base or export address in $file"
  # objdump may run on past the function into the next one: keep the lines
  # up to the next function's label.
  code=$("$objdump" -d --disassemble="$symbol" "$file" |
    awk -v s="<$symbol>:" '$2 == s { inside = 1; print; next } /^[0-9a-f]+ <.*>:$/ { inside = 0 } inside')
  start=$(echo "$code" | awk -v s="<$symbol>:" '$2 == s { print $1 }')
  [ -n "$start" ] || fail "no function $symbol in $file"
  [ $((0x$start)) -eq $((0x$base + 0x$rva)) ] || fail "$export_name is at $base + $rva, $symbol at $start"
  returns=$(echo "$code" | grep -E '[[:space:]]ret[lq]?([[:space:]]|$)' || true)
  [ -n "$returns" ] || fail "$symbol has no return"
  wrong=$(echo "$returns" | grep -v -E "[[:space:]]ret[[:space:]]+\\\$$bytes\$" || true)
  [ -z "$wrong" ] || fail "$symbol returns without removing $bytes bytes of arguments:
$wrong"
  echo "$symbol ($export_name) returns with: $(echo "$returns" | sed 's/.*\tret/ret/' | sort -u | tr '\n' ' ')"
  ;;
imports)
  dlls=$(imported_dlls)
  [ -n "$dlls" ] || fail "$file imports nothing"
  for dll in $dlls; do
    system_dll "$dll" && continue
    allowed=0
    for extra in "$@"; do
      [ "$(echo "$dll" | tr 'A-Z' 'a-z')" = "$(echo "$extra" | tr 'A-Z' 'a-z')" ] && allowed=1
    done
    [ $allowed -eq 1 ] || fail "$file needs $dll, which Windows does not have"
  done
  echo "$file imports from: $(echo "$dlls" | tr '\n' ' ')"
  ;;
imports-name)
  dll=$1 name=$2
  names=$(echo "$headers" | awk -v d="$dll" '/^[ \t]*DLL Name: / { inside = (tolower($NF) == tolower(d)); next }
    inside && /^[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[^ \t]+/ { print $3 }')
  echo "$names" | grep -q -x -F "$name" || fail "$file does not import $name from $dll (it imports: $names)"
  echo "$file imports $name from $dll"
  ;;
*)
  fail "unknown check $mode"
  ;;
esac
