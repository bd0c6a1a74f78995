#!/usr/bin/env bash
# Peak memory of the command-line program (GNU time) where the input could make it grow:
#   - one item of N MB (a single line without any break, read as one word and as one line);
#   - standard input of M MB against the same text read from a file.
# An item is held at most twice at any time (by the reader while it is copied, then by the
# batch and the measuring side), each copy as UTF-16 text: for ASCII, 4 bytes per byte of the
# item. Standard input is streamed like a file, so its peak does not grow with its size.
#   bench/memory.sh [BUILD_DIR]
# TAVORA_BENCH_DATA      folder for the generated inputs and results (default /tmp/tavora-memory)
# TAVORA_MEMORY_ITEM_MB  size of the single item in MiB (default 500)
# TAVORA_MEMORY_STDIN_MB size of the standard input in MiB (default 300)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
CLI="$BUILD/src/cli/tavora-cli"
DATA=${TAVORA_BENCH_DATA:-/tmp/tavora-memory}
ITEM_MB=${TAVORA_MEMORY_ITEM_MB:-500}
STDIN_MB=${TAVORA_MEMORY_STDIN_MB:-300}
TIME=/usr/bin/time

[ -x "$CLI" ] || { echo "missing $CLI: build first" >&2; exit 1; }
[ -x "$TIME" ] || { echo "missing $TIME (Debian package time)" >&2; exit 1; }
mkdir -p "$DATA"

item="$DATA/item-$ITEM_MB.txt"
if [ ! -s "$item" ]; then
  head -c $((ITEM_MB * 1048576)) /dev/zero | tr '\0' 'a' > "$item"
fi
text="$DATA/text-$STDIN_MB.txt"
if [ ! -s "$text" ]; then
  # Ordinary text: 5,000 distinct words in lines of ten.
  awk -v bytes=$((STDIN_MB * 1048576)) 'BEGIN { srand(3); n = 0; a = "abcdefghijklmnopqrstuvwxyz";
    while (n < bytes) { line = "";
      for (i = 0; i < 10; i++) { k = int(5000 ^ rand()); w = "";
        do { w = w substr(a, k % 26 + 1, 1); k = int(k / 26) } while (k > 0);
        line = line w " " }
      print line; n += length(line) + 1 } }' > "$text"
fi

# Runs tavora-cli with the given arguments (and standard input from $STDIN when set); prints
# the peak memory in KiB.
peak() {
  local log="$DATA/time.txt"
  rm -rf "$DATA/out"
  if [ -n "${STDIN:-}" ]; then
    "$TIME" -v -o "$log" "$CLI" "$@" < "$STDIN" > /dev/null
  else
    "$TIME" -v -o "$log" "$CLI" "$@" > /dev/null
  fi
  awk -F': ' '/Maximum resident set size/ { print $2 }' "$log"
}

# name, peak KiB, input MiB
report() {
  awk -v name="$1" -v kib="$2" -v mib="$3" \
    'BEGIN { printf "%-32s peak memory %9d KiB = %5.2f x the input (%d MiB)\n", name, kib, kib / 1024 / mib, mib }'
}

echo "tavora-cli memory: one item of $ITEM_MB MiB, $STDIN_MB MiB of standard input (inputs in $DATA)"
for format in lines plain; do
  kib=$(peak measure -f "$format" -o "$DATA/out" "$item")
  report "one item, measure -f $format" "$kib" "$ITEM_MB"
done
kib=$(peak freqlist -f lines --word-list "$DATA/list.tsv" "$item")
report "one item, freqlist -f lines" "$kib" "$ITEM_MB"
fromFile=$(peak measure -o "$DATA/out" "$text")
report "text from a file" "$fromFile" "$STDIN_MB"
fromStdin=$(STDIN="$text" peak measure -o "$DATA/out" -)
report "text from standard input" "$fromStdin" "$STDIN_MB"
