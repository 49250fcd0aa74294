#!/usr/bin/env bash
# The Debian packages, walked as README.md tells a user, with README.md's
# own lines (the blocks under "<!-- example: debian-... -->").
#
#   packages.sh build SOURCE_DIR VERSION SOVERSION WORK_DIR
#     Runs the build line in SOURCE_DIR, then checks the packages in
#     dist/deb/ as files: lintian finds nothing it is not told about, the
#     computed and declared dependencies are there, the .so link is not in
#     the runtime package, the desktop entry is valid and its icon there.
#
#   packages.sh install SOURCE_DIR VERSION SOVERSION WORK_DIR
#     Installs them for real with the README's lines: first the program
#     alone, which it starts from its desktop entry under an X server of its
#     own and has triangulate with the installed library; then all three,
#     against which it builds the README's C examples through pkg-config and
#     through CMake and runs them. Then removes the packages with the
#     README's line and checks that nothing of theirs is left. Packages of these names
#     installed before are removed first; whatever happens, none is left
#     installed afterwards, nor anything apt brought in for them.
set -euo pipefail

mode=$1 source=$2 version=$3 soversion=$4 work=$5
runtime=libvantrel$soversion
packages=("$runtime" libvantrel-dev vantrel-demo)
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
debs=()
for p in "${packages[@]}"; do
  debs+=("$source/dist/deb/${p}_$version-1_$arch.deb")
done
title='Triangulation DLL example'

fail() {
  echo "packages: $*" >&2
  exit 1
}

# The fenced block after the marker line "<!-- example: $1 -->".
block() {
  awk -v marker="<!-- example: $1 -->" '$0 == marker { armed = 1; next }
    armed && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$source/README.md"
}
readme_lines() {  # name file
  block "$1" >"$2"
  [[ -s $2 ]] || fail "README.md has no block \"example: $1\""
}

rm -rf "$work"
mkdir -p "$work"

if [[ $mode == build ]]; then
  readme_lines debian-build "$work/build.sh"
  (cd "$source" && bash -ex "$work/build.sh") || fail "the README's build line failed"
  for deb in "${debs[@]}"; do
    [[ -f $deb ]] || fail "no package $deb"
  done

  # Warnings count as much as errors; the packages' own overrides name the
  # few that do not apply, each with its reason.
  lintian --fail-on error,warning --display-info "${debs[@]}" || fail "lintian objects (above)"

  # Dependencies: computed from the binaries (libc6 and libstdc++6 for the
  # library, Qt for the program), and the declared ones.
  depends() { dpkg-deb --field "$1" Depends; }
  expect_depends() {  # deb pattern...
    local deb=$1 field
    field=$(depends "$deb")
    shift
    for pattern; do
      [[ $field =~ $pattern ]] || fail "${deb##*/} depends on \"$field\", nothing like $pattern"
    done
  }
  expect_depends "${debs[0]}" '(^|, )libc6 \(>= ' '(^|, )libstdc\+\+6 \(>= '
  expect_depends "${debs[1]}" "(^|, )$runtime \\(= ${version//./\\.}-1\\)(,|$)"
  expect_depends "${debs[2]}" "(^|, )$runtime \\(>= ${version//./\\.}\\)(,|$)" \
    '(^|, )libqt6widgets6 \(>= ' '(^|, )libc6 \(>= '

  # The .so link is the linker's: in -dev alone, or two major versions of
  # the runtime could not be installed side by side.
  listing=$(dpkg-deb --contents "${debs[0]}")
  [[ $listing != *"/libvantrel.so -> "* ]] || fail "$runtime holds the development link libvantrel.so"

  # Built with Debian's hardening flags: the GOT read-only after start-up.
  demo=$work/vantrel-demo
  dpkg-deb -x "${debs[0]}" "$work/$runtime"
  dpkg-deb -x "${debs[2]}" "$demo"
  for binary in "$work/$runtime"/usr/lib/*/libvantrel.so.*.* "$demo/usr/bin/Project1"; do
    [[ $(readelf -d "$binary") == *"(FLAGS)"*BIND_NOW* ]] || fail "${binary#"$work"/} is not linked with -z now"
  done

  # The desktop entry: valid, and its icon is the program package's.
  desktop=$demo/usr/share/applications/project1.desktop
  [[ -f $desktop ]] || fail "vantrel-demo has no desktop entry project1.desktop"
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects project1.desktop"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  icons=$(for type in png xpm svg; do compgen -G "$demo/usr/share/icons/hicolor/*/apps/$icon.$type" || true; done)
  [[ -n $icons ]] || fail "the desktop entry's icon \"$icon\" is not in vantrel-demo's hicolor icons"
  echo "packages: the packages are sound"
  exit 0
fi

[[ $mode == install ]] || fail "the mode is build or install"
if [[ $(id -u) -ne 0 ]]; then
  echo "packages: installing packages needs root: skipped"
  exit 77
fi
for deb in "${debs[@]}"; do
  [[ -f $deb ]] || fail "no package $deb: packages.build makes them"
done

# apt-get as the README writes it, without questions, waiting for the
# package database if someone else holds it.
cat >"$work/apt.conf" <<'EOF'
APT::Get::Assume-Yes "true";
DPkg::Lock::Timeout "600";
Dpkg::Use-Pty "false";
EOF
export APT_CONFIG=$work/apt.conf DEBIAN_FRONTEND=noninteractive

installed() {  # the packages of ours that are installed (or half so)
  { dpkg-query -W -f '${Package} ${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null || true; } |
    awk '$2 !~ /^[up]n/ { print $1 }'
}
purge() {
  apt-get purge -qq "$@" >"$work/purge.log" 2>&1 || { cat "$work/purge.log" >&2; return 1; }
}
all_packages() { dpkg-query -W -f '${Package}:${Architecture} ${db:Status-Abbrev}\n' | awk '$2 == "ii" { print $1 }' | sort; }

pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  # Never leave ours installed, nor what apt brought in for them.
  local left
  left=$(installed | paste -sd ' ' -)
  if [[ -n $left ]]; then
    echo "packages: removing $left" >&2
    # shellcheck disable=SC2086
    purge $left || status=1
  fi
  if [[ -f $work/packages-before ]]; then
    local brought
    brought=$(comm -13 "$work/packages-before" <(all_packages) | paste -sd ' ' -)
    if [[ -n $brought ]]; then
      echo "packages: removing what the install brought in: $brought" >&2
      # shellcheck disable=SC2086
      purge $brought || status=1
    fi
  fi
  exit "$status"
}
trap cleanup EXIT

left=$(installed | paste -sd ' ' -)
if [[ -n $left ]]; then
  echo "packages: $left installed before the test: removed first"
  # shellcheck disable=SC2086
  purge $left || fail "could not remove $left"
fi

# Every path the packages hold, and which of them exist before: the same
# must exist after the removal.
for deb in "${debs[@]}"; do
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^$'
done | sort -u >"$work/paths"
exists() {
  while read -r path; do
    if [[ -e $path || -L $path ]]; then echo "$path"; fi
  done <"$work/paths"
}
exists >"$work/paths-before"
all_packages >"$work/packages-before"

# The program alone, installed with the README's line for it (the runtime
# package but no -dev, hence no libvantrel.so), started as a desktop would
# start its entry, on an X server of the test's own: it loads the installed
# library at its first triangulation.
readme_lines debian-program "$work/program.sh"
(cd "$source" && bash -ex "$work/program.sh") || fail "the README's line for the program failed"
mkdir -p "$work"/{home,runtime}
chmod 700 "$work/runtime"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
read -r -a started < <(sed -n 's/^Exec=//p' /usr/share/applications/project1.desktop | sed 's/ *%[a-zA-Z]//g')
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" DISPLAY=":$(head -n1 "$work/display")" \
  QT_QPA_PLATFORM=xcb "${started[@]}" >"$work/project1.log" 2>&1 &
program=$!
pids+=("$program")
export DISPLAY=":$(head -n1 "$work/display")"
wid=$(timeout 60 xdotool search --all --sync --onlyvisible --pid "$program" --name "^$title\$" | head -n1) ||
  fail "the program's window did not appear: $(cat "$work/project1.log")"
echo "packages: the installed Project1 shows its window ($wid)"
# Three points on the canvas (its interior starts at 10, 98), then TRIANGULATE.
for at in "110 178" "410 218" "260 478" "364 56"; do
  read -r x y <<<"$at"
  xdotool mousemove --window "$wid" --sync "$x" "$y" click 1
done
library=/usr/lib/$multiarch/$(cd "/usr/lib/$multiarch" && readlink libvantrel.so.$soversion)
for _ in $(seq 100); do
  grep -q " $library\$" "/proc/$program/maps" 2>/dev/null && break
  sleep 0.2
done
grep -q " $library\$" "/proc/$program/maps" ||
  fail "the program has not loaded $library (it shows an error box, if any): $(cat "$work/project1.log")"
kill "$program"
wait "$program" 2>/dev/null || true
echo "packages: the installed Project1 triangulates with $library"

readme_lines debian-install "$work/install.sh"
(cd "$source" && bash -ex "$work/install.sh") || fail "the README's install line failed"

# The README's C examples, each built and run through pkg-config and
# through CMake with the README's lines, from the installed files alone.
app=$work/app
mkdir -p "$app"
awk -v dir="$app" '/^```c$/ { n++; inside = 1; next } /^```/ { inside = 0; next }
  inside { print > (dir "/example" n ".c") }' "$source/README.md"
awk '/^```cmake$/ { inside = 1; next } /^```/ { if (inside) exit } inside { print }' \
  "$source/README.md" >"$app/readme-lines.cmake"
[[ -s $app/example1.c && -s $app/readme-lines.cmake ]] || fail "README.md has no C example or no CMake lines"
readme_lines debian-app "$app/pkg-config.sh"
# Each example prints what the README says: the plain one starts with "4
# triangles", the one with neighbours ends with its hull.
check_output() {  # what output
  if grep -q TriangulateMesh "$app/$name/app.c"; then
    [[ $(tail -n1 "$2") == "$(block mesh-output)" ]] || fail "$1 printed: $(cat "$2")"
  else
    [[ $(head -n1 "$2") == "$(block app-output)" ]] || fail "$1 printed: $(cat "$2")"
  fi
}
# The installed pkg-config file names the system's folders, as every .pc
# file there does: the flags name none, the compiler searches them anyway.
[[ $(pkg-config --cflags --libs vantrel | xargs) == -lvantrel ]] ||
  fail "vantrel.pc gives $(pkg-config --cflags --libs vantrel)"
mkdir -p "$app/debian"
: >"$app/debian/control"
for example in "$app"/example*.c; do
  name=$(basename "$example" .c)
  mkdir -p "$app/$name"
  cp "$example" "$app/$name/app.c"
  (cd "$app/$name" && env -u PKG_CONFIG_PATH bash -e "$app/pkg-config.sh" >output) ||
    fail "$name: the README's pkg-config lines failed"
  check_output "$name through pkg-config" "$app/$name/output"
  # What a package of the program would depend on: the shlibs file at work.
  shlibs=$(cd "$app" && dpkg-shlibdeps -O "$name/a.out" 2>&1) || fail "dpkg-shlibdeps on $name: $shlibs"
  wanted="(=|, )$runtime \\(>= ${version//./\\.}"
  [[ $shlibs =~ $wanted ]] ||
    fail "a program using the library would depend on: $shlibs"

  cmake -S "$source/tests/trilib/consumer" -B "$app/$name/cmake" -DAPP_SOURCE="$app/$name/app.c" \
    -DREADME_LINES="$app/readme-lines.cmake" >"$app/$name/cmake.log" 2>&1 &&
    cmake --build "$app/$name/cmake" >>"$app/$name/cmake.log" 2>&1 ||
    fail "$name: the CMake build failed: $(tail -n 20 "$app/$name/cmake.log")"
  "$app/$name/cmake/app" >"$app/$name/cmake-output" || fail "$name: the CMake build's program failed"
  check_output "$name through CMake" "$app/$name/cmake-output"
done
echo "packages: the README's C examples build and run against the installed files"


readme_lines debian-remove "$work/remove.sh"
(cd "$source" && bash -ex "$work/remove.sh") || fail "the README's removal line failed"
[[ -z $(installed) ]] || fail "still installed after the removal: $(installed)"
left=$(comm -13 "$work/paths-before" <(exists)) || true
[[ -z $left ]] || fail "left behind: $left"
[[ $(ldconfig -p) != *libvantrel.so* ]] || fail "the loader's cache still names libvantrel"
echo "packages: installed, used and removed without a trace"
