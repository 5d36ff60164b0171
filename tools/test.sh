#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under CTest, headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh" test
export QT_QPA_PLATFORM=offscreen
cmake -S "$root" -B "$root/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build-test" -j"$(nproc)"
cd "$root/build-test"
ctest --output-on-failure -j"$(nproc)" --timeout 600
