#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz and runs each for TAVORA_FUZZ_SECONDS (default 60).
# Corpora grow in build-fuzz/corpus/<target>, seeded from the project's sample texts, the test
# data and fuzz/regressions; a crash leaves its input in build-fuzz/artifacts/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${TAVORA_FUZZ_SECONDS:-60}
JOBS=${JOBS:-2}
OUT=build-fuzz
TARGETS=(tokenization_stream_fuzz reference_dictionary_fuzz table_fuzz)

CC=clang CXX=clang++ cmake -S . -B "$OUT" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVORA_FUZZ=ON -DTAVORA_BUILD_TESTS=OFF -DTAVORA_BUILD_BENCH=OFF -DTAVORA_BUILD_GUI=OFF >/dev/null
# TAVORA_BUILD_LOCK names a lock file that serialises builds on a shared machine.
${TAVORA_BUILD_LOCK:+flock "$TAVORA_BUILD_LOCK"} cmake --build "$OUT" -j "$JOBS" --target "${TARGETS[@]}"

mkdir -p "$OUT/artifacts"
for target in "${TARGETS[@]}"; do
  corpus="$OUT/corpus/$target"
  mkdir -p "$corpus"
  while read -r f; do
    cp "$f" "$corpus/seed-$(basename "$f")"
  done < <(find data tests/data fuzz/regressions -type f -size -256k 2>/dev/null)

  echo "== $target: ${SECONDS_EACH}s"
  status=0
  "$OUT/fuzz/$target" "$corpus" -max_total_time="$SECONDS_EACH" -max_len=16384 -timeout=20 \
    -rss_limit_mb=2048 -artifact_prefix="$OUT/artifacts/$target-" -print_final_stats=1 \
    >"$OUT/$target.log" 2>&1 || status=$?
  grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|SUMMARY)" "$OUT/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$OUT/$target.log"
    echo "$target failed; the input is in $OUT/artifacts/" >&2
    exit "$status"
  fi
done
