#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer, UBSan) and runs every fuzz target on
# its seed corpus for a bounded time: FUZZ_SECONDS each (default 30; six targets, about 3 minutes).
# Exits non-zero when a target crashes, leaks, times out or breaks one of its properties; the input
# that did it is kept and the command that replays it is printed.
#
#   scripts/fuzz-all.sh                    every target
#   scripts/fuzz-all.sh fuzz_workbook      only the ones named
#   FUZZ_SECONDS=600 scripts/fuzz-all.sh   a longer local run
#   FUZZ_BUILD_DIR=build/my-fuzz ...       another build folder (default build/fuzz)
#
# New inputs found are kept in <build>/fuzz-runs/<target>/corpus, never in the committed seeds.
# fuzz_datagram moves itself into a network namespace of its own, which needs root (or
# unprivileged user namespaces).
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
seconds=${FUZZ_SECONDS:-30}
build=${FUZZ_BUILD_DIR:-$repo/build/fuzz}
case "$build" in /*) ;; *) build="$repo/$build" ;; esac

echo "=== build: fuzz preset in $build"
cmake --preset fuzz -B "$build" >/dev/null && cmake --build "$build" --target fuzzers -j "$(nproc)" >/dev/null \
  || { echo "BUILD FAILED: fuzz"; exit 1; }

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for seeds in fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi

failed=()
for target in "${targets[@]}"; do
  run="$build/fuzz-runs/$target"
  rm -rf "$run/artifacts"
  mkdir -p "$run/corpus" "$run/artifacts"
  echo "=== fuzz: $target for ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$run/artifacts/" "$run/corpus" "fuzz/corpus/$target" >"$run/log" 2>&1
  status=$?
  grep -E '^(#[0-9]+ +DONE|Done [0-9]+ runs)|stat::number_of_executed_units|stat::peak_rss_mb' "$run/log" | sed 's/^/    /'
  if [ $status -ne 0 ]; then
    failed+=("$target")
    echo "    FAILED (exit $status); the end of its log ($run/log):"
    tail -n 40 "$run/log" | sed 's/^/    | /'
    for artifact in "$run"/artifacts/*; do
      [ -e "$artifact" ] && echo "    replay: $build/fuzz/$target $artifact"
    done
  fi
done

if [ ${#failed[@]} -eq 0 ]; then
  echo "FUZZING PASSED: ${#targets[@]} targets, ${seconds}s each"
  exit 0
fi
echo "FUZZING FAILED: ${failed[*]}"
exit 1
