#!/usr/bin/env bash
# Checks that the folders' includes point down their layers (tools/check-includes.sh); installs
# what is missing, builds, and runs every test under CTest, headless; then fuzzes the
# parsers and decoders for a bounded time (tools/fuzz.sh) and runs the whole suite again in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer, whose CTest run also carries the
# fuzz verdicts and ends the output with the summary line.
# TESSELPAD_FUZZ_SECONDS sets the time per fuzz target (default 20).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh" test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Include graph"
"$root/tools/check-includes.sh"

echo "== Build and tests"
cmake -S "$root" -B "$root/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build-test" -j"$jobs"
(cd "$root/build-test" && ctest --output-on-failure -j"$jobs" --timeout 600)

echo "== Fuzzing"
# A failing target fails its verdict test in the sanitizer run below.
"$root/tools/fuzz.sh" "$root/build-fuzz" || true

echo "== Build and tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DTESSELPAD_SANITIZE=ON -DTESSELPAD_BENCH=OFF \
  -DTESSELPAD_FUZZ_RESULTS="$root/build-fuzz/results" >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
cd "$root/build-asan"
ctest --output-on-failure -j"$jobs" --timeout 600
