#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang and runs each for a bounded time, two at a
# time on two cores. Prints each target's executions and verdict, leaves the logs and a verdict file
# per target in <build>/results (read by the sanitizer build's CTest run) and fails when any target
# crashed, found a mismatch or could not be built.
# Usage: tools/fuzz.sh [build-dir]     (TESSELPAD_FUZZ_SECONDS: seconds per target, default 20)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-fuzz}
seconds=${TESSELPAD_FUZZ_SECONDS:-20}
results=$out/results
rm -rf "$results" "$out/work"
mkdir -p "$results"

if ! { cmake -S "$root/tests/fuzz" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >"$results/build.log" 2>&1 &&
       cmake --build "$out" -j"$(nproc)" >>"$results/build.log" 2>&1; }; then
  echo failed >"$results/build.status"
  echo "fuzz: the targets could not be built:"
  tail -n 30 "$results/build.log"
  exit 1
fi

run() {   # name binary
  local name=$1 bin=$2 work=$out/work/$1
  mkdir -p "$work/corpus" "$work/artifacts"
  # New inputs go to the scratch corpus; the seeds in the repository are only read.
  "$bin" "$work/corpus" "$root/tests/fuzz/corpus/$name" -max_total_time="$seconds" -print_final_stats=1 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/" >"$results/$name.log" 2>&1
  echo $? >"$results/$name.rc"
}

jobs_max=$(nproc)
for bin in "$out"/fuzz_*; do
  [ -x "$bin" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do wait -n; done
  run "${bin##*/fuzz_}" "$bin" &
done
wait

failed=0
for rc in "$results"/*.rc; do
  name=$(basename "$rc" .rc)
  log=$results/$name.log
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if [ "$(cat "$rc")" = 0 ] && ! grep -q -e 'ERROR: libFuzzer' -e 'MISMATCH' -e 'runtime error' "$log"; then
    echo ok >"$results/$name.status"
    echo "fuzz $name: ${execs:-?} executions in ${seconds} s, no crash or mismatch"
  else
    echo failed >"$results/$name.status"
    failed=1
    echo "fuzz $name: FAILED after ${execs:-?} executions (log: $log, input: $out/work/$name/artifacts/)"
    grep -m1 -A4 -e 'MISMATCH' -e 'ERROR: ' "$log" | sed 's/^/    /'
  fi
done
exit $failed
