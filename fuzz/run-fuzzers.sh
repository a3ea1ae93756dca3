#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a set time.
#
#   fuzz/run-fuzzers.sh [SECONDS_EACH] [HARNESS...]
#
# SECONDS_EACH defaults to 60; without names every harness runs, one after the
# other (one core each, so the machine stays usable). The build tree is
# build-fuzz/ (NELO_FUZZ_BUILD overrides it). New inputs that widen coverage go
# to build-fuzz/corpus/<harness>/ (the committed seeds in fuzz/corpus/ stay as
# they are); a crash leaves build-fuzz/artifacts/<harness>/crash-* and stops
# the script with a non-zero status. A summary line per harness gives the
# executions and the coverage reached.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${NELO_FUZZ_BUILD:-$repo/build-fuzz}
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(safepath hexpairs elementrules lesson sound wavwriter capturecore)

command -v clang++ >/dev/null || { echo "run-fuzzers: clang++ is needed (apt-get install clang)"; exit 2; }
cmake -S "$repo" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
grep -q 'NELO_HAVE_LIBFUZZER:INTERNAL=1' "$build/CMakeCache.txt" ||
  { echo "run-fuzzers: clang cannot link -fsanitize=fuzzer (libclang-rt-dev missing?)"; exit 2; }
cmake --build "$build" -j 2 --target "${harnesses[@]/%/_fuzzer}" >/dev/null

status=0
export NELO_FUZZ_SCRATCH="$build"
export UBSAN_OPTIONS=print_stacktrace=1
for h in "${harnesses[@]}"; do
  mkdir -p "$build/corpus/$h" "$build/artifacts/$h"
  log="$build/artifacts/$h/run.log"
  if nice "$build/bin/${h}_fuzzer" "$build/corpus/$h" "$repo/fuzz/corpus/$h" \
       -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
       -artifact_prefix="$build/artifacts/$h/" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"; status=1
  fi
  runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo '?')
  cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  printf '%-13s %-8s executions %-10s %s\n' "$h" "$result" "$runs" "$cov"
done
exit $status
