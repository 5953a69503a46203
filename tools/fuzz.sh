#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) into
# build-fuzz/ and runs each of them for SECONDS (default 60) on one core:
#   bash tools/fuzz.sh [SECONDS]
# Each target starts from seed inputs made from the game's data and keeps what
# it learns in build-fuzz/corpus/NAME. A crash, leak, timeout or excessive
# allocation is saved under build-fuzz/findings/NAME/ and fails the script;
# build-fuzz/fuzz/fuzz_NAME FILE... replays saved inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash tools/install-deps.sh --fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKQ_FUZZ=ON -DKQ_BUILD_TESTS=OFF -DKQ_CCACHE=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz --target kq_fuzz -j "$(nproc)"
rm -rf build-fuzz/seeds
build-fuzz/fuzz/kq-fuzz-seeds build-fuzz/data build-fuzz/seeds

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=()
for name in state string wav png ogg; do
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/findings/$name"
  log="build-fuzz/fuzz_$name.log"
  # The save text lives in collected arrays that outlive an input until the
  # collector sweeps them, which the per-input leak check would take for
  # leaks (and scan the heap after every input).
  leaks=1
  if [ "$name" = state ]; then leaks=0; fi
  echo "fuzz_$name: $seconds s"
  if build-fuzz/fuzz/fuzz_$name -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -detect_leaks=$leaks \
      -artifact_prefix="build-fuzz/findings/$name/" -print_final_stats=1 \
      "build-fuzz/corpus/$name" "build-fuzz/seeds/$name" > "$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | sed 's/^/  /'
  else
    failed+=("fuzz_$name")
    tail -n 60 "$log"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in build-fuzz/findings/)" >&2
  exit 1
fi
echo "fuzzing: 5 targets, no findings"
