#!/usr/bin/env bash
# Installs what is missing, builds a Release binary and starts Tesselpad from this folder
# (where it finds help/readme.htm and keeps tspd.ini), with the files and options given:
#   tools/run.sh page.html
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh" run
build="$root/build"

# The files are named from the folder run.sh was started in; the program starts in $root.
# (The value of a Qt option such as -style fusion is not a file.)
args=()
files_only=0
prev=
for a in "$@"; do
  if [ "$files_only" = 0 ] && [ "$a" = -- ]; then files_only=1; args+=("$a"); continue; fi
  if [ "$files_only" = 1 ] || { [[ "$a" != -* ]] &&
       [[ ! "$prev" =~ ^-(style|stylesheet|platform|platformtheme|display|geometry|qwindowgeometry|qwindowtitle|qwindowicon|title)$ ]]; }; then
    [[ "$a" = /* ]] || a="$PWD/$a"
  fi
  args+=("$a")
  prev=$a
done

# A compiler cache, when installed, makes a build from nothing after the first one take seconds.
if command -v ccache >/dev/null; then
  launcher=ccache
  cache_note="ccache is installed: a build from nothing it has seen before takes under a minute"
else
  launcher=
  cache_note="install ccache (sudo apt-get install ccache) and later builds from nothing take under a minute"
fi
if [ ! -x "$build/tesselpad" ]; then
  echo "Building Tesselpad (Release, C++ with Qt 6 and QScintilla, about 90 files) in $build."
  echo "The first build takes about 3 minutes on a 2-core machine (more when it is busy or slow),"
  echo "$cache_note. Ninja counts the steps: [done/all]."
else
  echo "Bringing the build in $build up to date (seconds, unless sources changed)."
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELPAD_TESTS=OFF -DTESSELPAD_BENCH=OFF \
      -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" >/dev/null
NINJA_STATUS="[%f/%t, %es] " cmake --build "$build" --target tesselpad
echo "Starting $build/tesselpad${args[*]:+ ${args[*]}}"
cd "$root"
exec "$build/tesselpad" "${args[@]}"
