#!/usr/bin/env bash
# Installs what is missing, builds a Release binary and starts Tesselpad from this folder
# (where it finds help/readme.htm and keeps tspd.ini).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh" run
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELPAD_TESTS=OFF -DTESSELPAD_BENCH=OFF >/dev/null
cmake --build "$root/build" --target tesselpad
cd "$root"
exec "$root/build/tesselpad"
