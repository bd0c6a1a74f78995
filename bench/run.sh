#!/usr/bin/env bash
# End-to-end benchmark of tavora-cli against `wc -w` over the same input.
# Usage: bash bench/run.sh [BUILD_DIR]
#   TAVORA_BENCH_DATA   where the generated corpora live (default /tmp/tavora-bench)
#   TAVORA_BENCH_SCALE  size factor of every corpus (default 1; 0.1 for a quick run)
# Corpora are generated, seeded, only when missing. Prints one table: input,
# settings, MB/s, tokens/s, peak resident memory, the time ratio to wc -w over the same
# bytes (measured in the same run, just before), the target and whether it is met.
set -euo pipefail

BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
CLI=$BUILD/src/cli/tavora-cli
SCALE=${TAVORA_BENCH_SCALE:-1}
DATA=${TAVORA_BENCH_DATA:-/tmp/tavora-bench}/scale-$SCALE
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavora-bench-run.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

if [[ ! -x $CLI ]]; then
  echo "bench: $CLI not found; build the target tavora-cli first" >&2
  exit 1
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "bench: /usr/bin/time is needed for peak memory (Debian package: time)" >&2
  exit 1
fi

echo "Corpora in $DATA (scale $SCALE); generating what is missing..." >&2
python3 "$HERE/gen_corpus.py" --out "$DATA" --scale "$SCALE"

# Files of a set (first N when given) and their bytes and tokens from the manifest.
files() { awk -F'\t' -v d="$DATA/$1" -v n="${2:-0}" 'n == 0 || NR <= n { print d "/" $1 }' "$DATA/$1/manifest.tsv"; }
bytes() { awk -F'\t' -v n="${2:-0}" 'n == 0 || NR <= n { s += $2 } END { print s }' "$DATA/$1/manifest.tsv"; }
tokens() { awk -F'\t' -v n="${2:-0}" 'n == 0 || NR <= n { s += $3 } END { print s }' "$DATA/$1/manifest.tsv"; }

# timed OUT_PREFIX cmd...: wall seconds and peak RSS (kB) of cmd into OUT_PREFIX.{s,kb}. A run
# under a second is repeated twice more and the median kept: on a shared machine one short
# run can take half as long again.
timed() {
  local out=$1
  shift
  local runs=() kb=0 start end
  while :; do
    start=$(date +%s%N)
    if ! /usr/bin/time -v -o "$out.time" "$@" >"$out.stdout" 2>"$out.stderr"; then
      echo "bench: failed: $*" >&2
      tail -n 5 "$out.stderr" >&2
      return 1
    fi
    end=$(date +%s%N)
    runs+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')")
    kb=$(awk -F': ' -v k="$kb" '/Maximum resident set size/ { print ($2 > k ? $2 : k) }' "$out.time")
    if ((${#runs[@]} == 3)) || awk -v s="${runs[0]}" 'BEGIN { exit !(s >= 1) }'; then break; fi
  done
  printf '%s\n' "${runs[@]}" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }' >"$out.s"
  echo "$kb" >"$out.kb"
}

ROWS=()
# row LABEL SETTINGS TARGET BYTES TOKENS INPUT_FILES... -- tavora arguments...
# TARGET: "x<=R" (time ratio to wc -w), "s<=S" (seconds), "tps>=N" (tokens per second) or "-".
row() {
  local label=$1 settings=$2 target=$3 nbytes=$4 ntokens=$5
  shift 5
  local inputs=()
  while [[ $1 != -- ]]; do inputs+=("$1"); shift; done
  shift
  local id=$WORK/case${#ROWS[@]}
  echo "  $label: $settings" >&2
  timed "$id.wc" wc -w "${inputs[@]}"
  timed "$id.tv" "$CLI" "$@"
  ROWS+=("$(awk -v l="$label" -v st="$settings" -v g="$target" -v b="$nbytes" -v t="$ntokens" \
    -v s="$(cat "$id.tv.s")" -v w="$(cat "$id.wc.s")" -v kb="$(cat "$id.tv.kb")" 'BEGIN {
      x = s / w; tps = t / s; verdict = "-"
      if (g ~ /^x<=/) verdict = (x <= substr(g, 4) + 0) ? "met" : "missed"
      if (g ~ /^s<=/) verdict = (s <= substr(g, 4) + 0) ? "met" : "missed"
      if (g ~ /^tps>=/) verdict = (tps >= substr(g, 6) + 0) ? "met" : "missed"
      printf "%s\t%s\t%.1f\t%.0f\t%.1f\t%.2f\t%.2f\t%s\t%s", l, st, b / 1e6 / s, tps, kb / 1024, s, x, g, verdict }')")
  LAST_SECONDS=$(cat "$id.tv.s")
}

PLAIN_SET=types,perplexity,ttr
ALL_BUT_DIFFERENCE_AND_CROSS=tokens,types,hapax,perplexity,rrr,hill,length,autosemantics,ttr,log-ttr,root-ttr,entropy,repeat-rate,loglog-ttr,logloglog-ttr,log-types
SHARED=$HERE/../../shared/corpora

echo "Running..." >&2
# (a) plain text at three sizes (5, 15 and 50 of the 50 files): cost should be linear, memory
# flat; then on one thread, for the scaling line.
for n in 5 15 50; do
  mapfile -t in < <(files plain "$n")
  mb=$(awk -v b="$(bytes plain "$n")" 'BEGIN { printf "%.0f", b / 1e6 }')
  row "a plain ${mb} MB" "w200 $PLAIN_SET; averages,wholetexts" "x<=0.6" "$(bytes plain "$n")" "$(tokens plain "$n")" \
    "${in[@]}" -- measure -f plain -o "$WORK/out-a$n" -w 200 -m "$PLAIN_SET" --outputs averages,wholetexts "${in[@]}"
done
TWO_THREADS=$LAST_SECONDS
row "a plain ${mb} MB, 1 thread" "the same, --threads 1" "x<=1.0" "$(bytes plain)" "$(tokens plain)" \
  "${in[@]}" -- measure --threads 1 -f plain -o "$WORK/out-a1" -w 200 -m "$PLAIN_SET" --outputs averages,wholetexts "${in[@]}"
ONE_THREAD=$LAST_SECONDS

# (a') English-like text: copies of the shared Austen chapters (400 at scale 1).
austen=$SHARED/plain_text/en_austen_pride_and_prejudice_ch01-25.txt
if [[ -f $austen ]]; then
  copies=$(awk -v s="$SCALE" 'BEGIN { c = int(400 * s + 0.5); print (c < 2 ? 2 : c) }')
  mkdir -p "$WORK/english"
  for ((i = 0; i < copies; i++)); do cp "$austen" "$WORK/english/austen$(printf %04d "$i").txt"; done
  mapfile -t ein < <(ls "$WORK"/english/*.txt)
  ebytes=$(cat "${ein[@]}" | wc -c)
  etokens=$(cat "${ein[@]}" | wc -w)
  row "a' English ($copies x Austen)" "w200 $PLAIN_SET; averages,wholetexts" "x<=0.6" "$ebytes" "$etokens" \
    "${ein[@]}" -- measure -f plain -o "$WORK/out-e2" -w 200 -m "$PLAIN_SET" --outputs averages,wholetexts "${ein[@]}"
  row "a' English, 1 thread" "the same, --threads 1" "x<=1.0" "$ebytes" "$etokens" \
    "${ein[@]}" -- measure --threads 1 -f plain -o "$WORK/out-e1" -w 200 -m "$PLAIN_SET" --outputs averages,wholetexts "${ein[@]}"
fi

# Frequency list of word forms of plain text.
row "f plain freqlist" "word forms" "x<=0.6" "$(bytes plain)" "$(tokens plain)" \
  "${in[@]}" -- freqlist -f plain --kinds word --word-list "$WORK/plain-words.tsv" "${in[@]}"

# (d) frequency lists of word forms and lemmata; (b) then measures without the cross measures
# and distributions.
mapfile -t vin < <(files vertical)
row "d vertical freqlist" "word,lemma lists" "x<=1.0" "$(bytes vertical)" "$(tokens vertical)" \
  "${vin[@]}" -- freqlist -f vertical --kinds word,lemma \
  --word-list "$WORK/words.tsv" --lemma-list "$WORK/lemmata.tsv" "${vin[@]}"
row "b vertical" "w200 word,lemma; all but difference and cross; averages,wholetexts" "x<=1.0" \
  "$(bytes vertical)" "$(tokens vertical)" "${vin[@]}" -- measure -f vertical --kinds word,lemma \
  -o "$WORK/out-b" -w 200 -m "$ALL_BUT_DIFFERENCE_AND_CROSS" --outputs averages,wholetexts "${vin[@]}"
rm -rf "$WORK/out-b"

# (c) one large document with series output.
mapfile -t sin < <(files single)
row "c single file" "w200 $PLAIN_SET; averages,series" "-" "$(bytes single)" "$(tokens single)" \
  "${sin[@]}" -- measure -f plain -o "$WORK/out-c" -w 200 -m "$PLAIN_SET" --outputs averages,series "${sin[@]}"
case_c=$WORK/case$((${#ROWS[@]} - 1))
csv_bytes=$(du -b "$WORK/out-c"/Serie1Word200.csv | cut -f1)
rm -rf "$WORK/out-c"

# (f) the same series into the results database instead, and (c0) the run without series:
# what writing the series costs in each.
row "c0 single file" "w200 $PLAIN_SET; averages" "-" "$(bytes single)" "$(tokens single)" \
  "${sin[@]}" -- measure -f plain -o "$WORK/out-c0" -w 200 -m "$PLAIN_SET" --outputs averages "${sin[@]}"
case_c0=$WORK/case$((${#ROWS[@]} - 1))
row "f single file database" "w200 $PLAIN_SET; averages,series,sqlite" "-" "$(bytes single)" "$(tokens single)" \
  "${sin[@]}" -- measure -f plain -o "$WORK/out-f" -w 200 -m "$PLAIN_SET" --outputs averages,series,sqlite "${sin[@]}"
case_f=$WORK/case$((${#ROWS[@]} - 1))
db_bytes=$(du -b "$WORK/out-f/Tavora.sqlite" | cut -f1)
rm -rf "$WORK/out-f" "$WORK/out-c0"
SERIES=$(awk -v c="$(cat "$case_c.tv.s")" -v c0="$(cat "$case_c0.tv.s")" -v f="$(cat "$case_f.tv.s")" \
  -v cb="$csv_bytes" -v fb="$db_bytes" 'BEGIN {
    printf "Series of (c): CSV file %.2f s, %.0f MB; database %.2f s, %.0f MB; database / CSV time %.2f (target <= 1.5)",
      c - c0, cb / 1e6, f - c0, fb / 1e6, (f - c0) / (c - c0) }')

# One token per line, MATTR only: the whole process.
mapfile -t lin < <(files lines)
row "l lines, 1 M tokens" "w200 ttr; averages" "s<=0.1" "$(bytes lines)" "$(tokens lines)" \
  "${lin[@]}" -- measure -f lines -o "$WORK/out-l" -w 200 -m ttr --outputs averages "${lin[@]}"

# (e) the edit-distance measure alone, on long Czech-like words and on the shared German text.
mapfile -t din < <(files difference)
row "e plain difference" "w200 difference; averages" "tps>=200000" "$(bytes difference)" "$(tokens difference)" \
  "${din[@]}" -- measure -f plain -o "$WORK/out-e" -w 200 -m difference --outputs averages "${din[@]}"
german=$SHARED/plain_text/de_kafka_die_verwandlung.txt
if [[ -f $german ]]; then
  row "e German text" "w200 difference; averages" "tps>=200000" "$(wc -c <"$german")" "$(wc -w <"$german")" \
    "$german" -- measure -f plain -o "$WORK/out-g" -w 200 -m difference --outputs averages "$german"
  # The whole-text difference compares every pair of the text's types: quadratic.
  row "w German whole text" "difference; wholetexts (every pair of types)" "-" "$(wc -c <"$german")" "$(wc -w <"$german")" \
    "$german" -- measure -f plain -o "$WORK/out-w" -w 200 -m difference --outputs wholetexts "$german"
fi

echo
{
  printf 'input\tsettings\tMB/s\ttokens/s\tpeak MB\tseconds\tx wc -w\ttarget\t\n'
  printf '%s\n' "${ROWS[@]}"
} | column -t -s $'\t'
echo
echo "$SERIES"
awk -v one="$ONE_THREAD" -v two="$TWO_THREADS" 'BEGIN {
  printf "Scaling (a, all files): 1 thread %.2f s, 2 threads %.2f s: %.2fx\n", one, two, one / two }'
# Memory must not grow with the input: a's peak at 5, 15 and 50 files.
printf '%s\n' "${ROWS[@]:0:3}" | awk -F'\t' '{ mb[NR] = $5 } END {
  printf "Memory (a, 5 / 15 / 50 files): %.1f / %.1f / %.1f MB peak: %s\n", mb[1], mb[2], mb[3],
    (mb[3] <= 1.25 * mb[2]) ? "flat (met)" : "grows (missed)" }'

# For missed targets: the profile of case a (when perf can record here) and where what was
# tried is written down.
if printf '%s\n' "${ROWS[@]}" | grep -q $'\tmissed$'; then
  echo
  echo "Targets missed: what was tried, and the profiles behind it, are in README.md"
  echo "(\"Where the time goes\", \"Tried and left out\")."
  mapfile -t pin < <(files plain 15)
  if command -v perf >/dev/null 2>&1 &&
    perf record -q -o "$WORK/perf.data" "$CLI" measure -f plain -o "$WORK/out-p" -w 200 \
      -m "$PLAIN_SET" --outputs averages,wholetexts "${pin[@]}" >/dev/null 2>&1; then
    echo "Profile of a (15 files, perf record), functions over 2%:"
    perf report -i "$WORK/perf.data" --no-children --percent-limit 2 --stdio 2>/dev/null |
      awk '/^ +[0-9.]+%/ { printf "  %7s  %s\n", $1, $NF }'
  else
    echo "(perf is not available here: no profile printed)"
  fi
fi
