#!/usr/bin/env bash
# Load check of the command-line program: a run over many small files and a run over one large
# file, each reporting elapsed time and peak memory (GNU time). Memory must stay bounded: it
# may grow with the number of distinct words, not with the size or number of the inputs.
#   bench/load.sh [BUILD_DIR]
# TAVORA_BENCH_DATA  folder for the generated inputs and results (default /tmp/tavora-load)
# TAVORA_LOAD_FILES  number of small files (default 10000)
# TAVORA_LOAD_MB     size of the large file in MiB (default 1024)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
CLI="$BUILD/src/cli/tavora-cli"
DATA=${TAVORA_BENCH_DATA:-/tmp/tavora-load}
FILES=${TAVORA_LOAD_FILES:-10000}
MB=${TAVORA_LOAD_MB:-1024}
TIME=/usr/bin/time

[ -x "$CLI" ] || { echo "missing $CLI: build first" >&2; exit 1; }
[ -x "$TIME" ] || { echo "missing $TIME (Debian package time)" >&2; exit 1; }
mkdir -p "$DATA"

# One MiB of text: 50,000 distinct letter-only words drawn with a skewed (Zipf-like) frequency.
chunk="$DATA/chunk.txt"
if [ ! -s "$chunk" ]; then
  awk 'BEGIN { srand(7); n = 0; line = ""; a = "abcdefghijklmnopqrstuvwxyz";
    while (n < 1048576) {
      k = int(50000 ^ rand()); w = "";
      do { w = w substr(a, k % 26 + 1, 1); k = int(k / 26) } while (k > 0);
      line = line w " "; n += length(w) + 1;
      if (length(line) > 70) { print line; n += 1; line = "" } } print line }' > "$chunk"
fi

small="$DATA/small"
if [ "$(find "$small" -type f 2>/dev/null | wc -l)" -ne "$FILES" ]; then
  rm -rf "$small"
  mkdir -p "$small"
  # 10,000 files of about 1 KiB in folders of 100, cut from the chunk.
  split -b 1024 -a 5 -d "$chunk" "$DATA/piece-"
  pieces=("$DATA"/piece-*)
  for ((i = 0; i < FILES; i++)); do
    dir="$small/$((i / 100))"
    mkdir -p "$dir"
    cp "${pieces[$((i % ${#pieces[@]}))]}" "$dir/$i.txt"
  done
  rm -f "$DATA"/piece-*
fi

big="$DATA/big-$MB.txt"
if [ ! -s "$big" ]; then
  for ((i = 0; i < MB; i++)); do cat "$chunk"; done > "$big"
fi

run() {
  local name=$1
  shift
  rm -rf "$DATA/out-$name"
  "$TIME" -v -o "$DATA/time-$name.txt" "$CLI" measure -o "$DATA/out-$name" "$@" >/dev/null
  local rss elapsed
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$DATA/time-$name.txt")
  elapsed=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$DATA/time-$name.txt")
  printf '%-28s elapsed %10s   peak memory %8d KiB\n' "$name" "$elapsed" "$rss"
}

echo "tavora-cli load: $FILES small files, one file of $MB MiB (inputs in $DATA)"
run "small-files-$FILES" "$small"
run "one-file-${MB}MiB" "$big"
